// The media adapter over Qt Multimedia and the shell adapter over Qt Gui.
#pragma once

#include "ports/media.h"

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace tesmora {

// Plays .wav and .mp3 files. The Qt player is created on the first sound,
// and only when the playback back end is installed: without its GStreamer
// plugins QMediaPlayer does not survive its constructor. Without a back end
// or an audio output device every sound is silence of the recording's length.
class QtMediaPlayer : public MediaPlayer {
  public:
    // `needsOutputDevice` false plays even where no audio output device is
    // listed (the back end then decodes into nowhere); tests use it to drive
    // the back end on machines without sound.
    explicit QtMediaPlayer(bool needsOutputDevice = true);
    ~QtMediaPlayer() override;
    // Blocks at most briefly (kLengthProbeMs) while a recording whose length
    // the file does not state is loaded.
    qint64 play(const QString &path, QString &error) override;
    void stop() override;

    // The longest wait for the back end to tell the length of a recording.
    static constexpr int kLengthProbeMs = 1500;

    // True when the playback back end is installed.
    static bool backendAvailable();
    // True when sounds can be heard: a back end and an audio output device.
    static bool audible();

  private:
    bool ensurePlayer();
    std::unique_ptr<QAudioOutput> output_;
    std::unique_ptr<QMediaPlayer> player_;
    bool needsOutputDevice_ = true;
    bool unavailable_ = false;
};

// The length of a PCM .wav recording in milliseconds, read from its header;
// false when the file is no readable RIFF/WAVE file.
bool wavLengthMs(const QString &path, qint64 &ms);

} // namespace tesmora
