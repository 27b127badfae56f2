// The media adapter over Qt Multimedia.
#pragma once

#include "core/media.h"

namespace tesmora {

class QtMediaPlayer : public MediaPlayer {
public:
    QtMediaPlayer();
    ~QtMediaPlayer() override;
    qint64 play(const QString &path, QString &error) override;
    void stop() override;
};

} // namespace tesmora
