// The two short system sounds that end a run or report an error. They play
// without waiting and stay silent where there is no audio output device.
#pragma once

#include <memory>

class QSoundEffect;

namespace tesmora {

class SystemSounds {
  public:
    SystemSounds();
    ~SystemSounds();
    void playAsterisk();
    void playHand();

  private:
    void play(std::unique_ptr<QSoundEffect> &effect, const char *source);
    std::unique_ptr<QSoundEffect> asterisk_;
    std::unique_ptr<QSoundEffect> hand_;
};

} // namespace tesmora
