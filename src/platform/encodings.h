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
// UTF-8 when the bytes are valid UTF-8, otherwise the ANSI code page.
QString decodeScriptBytes(const QByteArray &bytes);
bool isValidUtf8(const QByteArray &bytes);

} // namespace tesmora
