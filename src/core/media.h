// Playing sound files, as the interpreter sees it.
#pragma once

#include <QString>

namespace tesmora {

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    // Starts playing `path` (.wav or .mp3). Returns the recording's length in
    // milliseconds (0 when it is not known), or -1 with `error` set when the
    // file cannot be played. Never blocks and never throws.
    virtual qint64 play(const QString &path, QString &error) = 0;
    // Stops whatever plays.
    virtual void stop() = 0;
};

} // namespace tesmora
