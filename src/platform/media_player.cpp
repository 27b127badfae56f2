#include "media_player.h"

namespace tesmora {

QtMediaPlayer::QtMediaPlayer() = default;
QtMediaPlayer::~QtMediaPlayer() = default;

qint64 QtMediaPlayer::play(const QString &path, QString &error)
{
    (void)path;
    error.clear();
    return 0;
}

void QtMediaPlayer::stop() {}

} // namespace tesmora
