// Script files as the environment writes them: UTF-8 with a byte-order mark,
// lines ended by CR LF, INCLUDE blocks written back to their own files.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tesmora {

// Writes `text` as UTF-8 after the bytes EF BB BF. The file is replaced only
// once the new content is completely written, so a failed save never leaves a
// half-written file. Returns false with `error` set on failure.
bool writeUtf8WithBom(const QString &path, const QString &text, QString &error);

// The text of a script file as saved: every line followed by CR LF.
QString joinScriptLines(const QStringList &lines);

// What saving a script writes.
struct IncludeWriteBack {
    QString path;      // the included file
    QStringList lines; // its block
};
struct SavePlan {
    QStringList mainLines;            // the script with its blocks collapsed
    QList<IncludeWriteBack> includes; // blocks whose file must be (re)written
    int unterminatedLine = -1;        // INCLUDE line without its closing line
    QString unterminatedName;
};

// Walks the script for expanded INCLUDE blocks. `resolve` turns an upper-cased
// INCLUDE name into the path of its file. A block whose file already holds the
// same text is collapsed without being written again.
SavePlan planScriptSave(const QStringList &script, const std::function<QString(const QString &)> &resolve);

// Reads a file the external editor returned: a leading UTF-8 byte-order mark
// is skipped, the rest is UTF-8, whatever its length.
QString readEditedFile(const QString &path, bool *ok = nullptr);

// True when preparing `lines` cuts the script to its first `maxLines` lines
// (blank lines at its end do not count). What is left is no longer the file
// it came from: it must not be saved back under that file's name.
bool cutOnPreparation(const QStringList &lines, int maxLines);

} // namespace tesmora
