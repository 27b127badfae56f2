// Playing sound files and opening documents, as the interpreter sees them.
#pragma once

#include <QString>

namespace tesmora {

class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;
    // Starts playing `path` (.wav or .mp3). Returns the recording's length in
    // milliseconds (0 when it is not known), or -1 with `error` set when the
    // file cannot be played. Returns at once or after a short bounded wait
    // for the length; never throws.
    virtual qint64 play(const QString &path, QString &error) = 0;
    // Stops whatever plays.
    virtual void stop() = 0;
};

// Opening a document or a web address with the application the desktop
// associates with it.
class ShellOpener {
  public:
    virtual ~ShellOpener() = default;
    // Opens `path` (an absolute file name or a URL). `show` is the window
    // display code (0 hidden, 1 normal, 2 minimised, 3 maximised), a hint the
    // desktop may ignore. On failure returns false with `error` set to the
    // shell's result code as decimal text (e.g. "31": no associated
    // application), to a text of its own, or left empty (taken as "31").
    virtual bool open(const QString &path, int show, QString &error) = 0;
};

} // namespace tesmora
