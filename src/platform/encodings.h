// Text encodings of script and data files.
#pragma once

#include <QByteArray>
#include <QString>

namespace tesmora {

// "windows-1251" when the system language is Russian, else "windows-1252".
QString ansiCodePageName();
QString decodeAnsi(const QByteArray &bytes);
QByteArray encodeAnsi(const QString &text);
// A script file's text: UTF-8 or UTF-16 by byte-order mark; without one,
// UTF-8 when the bytes are valid UTF-8, otherwise the legacy code page the
// bytes were most likely written in (below). Line ends stay as they are.
QString decodeScriptBytes(const QByteArray &bytes);
bool isValidUtf8(const QByteArray &bytes);
// The single-byte code page of a text that is not UTF-8: "windows-1251" when
// its letters above 127 read as Cyrillic words (runs of two or more of them
// with no Latin letter in between outweigh those mixed into Latin words),
// otherwise "windows-1252". Whatever the system language is.
QString legacyCodePageOf(const QByteArray &bytes);
// True when a decoded file is not text: it holds a NUL character, or more
// than a tenth of its characters are control characters other than tab,
// line and page breaks, or undecodable bytes.
bool looksBinary(const QString &text);

} // namespace tesmora
