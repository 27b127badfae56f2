#include "system_sounds.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace tesmora {

SystemSounds::SystemSounds() = default;
SystemSounds::~SystemSounds() = default;

void SystemSounds::play(std::unique_ptr<QSoundEffect> &effect, const char *source)
{
    // Created on first use, and only when some output device exists.
    if (!effect) {
        if (QMediaDevices::audioOutputs().isEmpty())
            return;
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl(QString::fromLatin1(source)));
        effect->setVolume(0.5);
    }
    effect->play();
}

void SystemSounds::playAsterisk()
{
    play(asterisk_, "qrc:/sounds/asterisk.wav");
}
void SystemSounds::playHand()
{
    play(hand_, "qrc:/sounds/hand.wav");
}

} // namespace tesmora
