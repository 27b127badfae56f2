#include "encodings.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tesmora {

QString ansiCodePageName()
{
    return QLocale::system().language() == QLocale::Russian ? QStringLiteral("windows-1251")
                                                            : QStringLiteral("windows-1252");
}

QString decodeAnsi(const QByteArray &bytes)
{
    QStringDecoder dec(ansiCodePageName().toLatin1().constData());
    if (!dec.isValid())
        return QString::fromLatin1(bytes);
    return dec.decode(bytes);
}

namespace {

// The byte of every UTF-16 code unit in a single-byte code page; characters
// the code page lacks become "?".
struct AnsiTable {
    QString name;
    QByteArray bytes; // 65536 entries
};

const AnsiTable &ansiTable()
{
    static AnsiTable table;
    const QString name = ansiCodePageName();
    if (table.name == name && !table.bytes.isEmpty())
        return table;
    table.name = name;
    table.bytes = QByteArray(65536, '?');
    QStringDecoder dec(name.toLatin1().constData());
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString c = dec.isValid() ? dec.decode(QByteArray(1, byte)) : QString(QChar::fromLatin1(byte));
        if (c.size() == 1 && c.at(0) != QChar::ReplacementCharacter)
            table.bytes[c.at(0).unicode()] = byte;
    }
    return table;
}

} // namespace

QByteArray encodeAnsi(const QString &text)
{
    const QByteArray &map = ansiTable().bytes;
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A character outside the basic plane is one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        out += map.at(c.unicode());
    }
    return out;
}

bool isValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        int extra = 0;
        unsigned int cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = p[i + k];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are invalid.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

QString decodeScriptBytes(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder dec(QStringDecoder::Utf16LE);
        return dec.decode(bytes.mid(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder dec(QStringDecoder::Utf16BE);
        return dec.decode(bytes.mid(2));
    }
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QStringDecoder dec(legacyCodePageOf(bytes).toLatin1().constData());
    return dec.isValid() ? dec.decode(bytes) : QString::fromLatin1(bytes);
}

namespace {

// Letters above 127 in both code pages: Ё/ё (¨/¸) and the block from 0xC0
// (А…я in Windows-1251, À…ÿ in Windows-1252).
bool isHighLetter(unsigned char c)
{
    return c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

bool isAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

QString legacyCodePageOf(const QByteArray &bytes)
{
    // Cyrillic words are made of high letters only; Western words carry
    // their accented letters between Latin ones. One-letter words ("в",
    // "à", a quoted "ü") decide nothing.
    qsizetype cyrillic = 0;
    qsizetype latin = 0;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        if (!isHighLetter(p[i]) && !isAsciiLetter(p[i])) {
            ++i;
            continue;
        }
        qsizetype high = 0;
        qsizetype ascii = 0;
        for (; i < n && (isHighLetter(p[i]) || isAsciiLetter(p[i])); ++i)
            ++(isAsciiLetter(p[i]) ? ascii : high);
        if (ascii == 0 && high >= 2)
            cyrillic += high;
        else if (ascii > 0)
            latin += high;
    }
    return cyrillic > latin ? QStringLiteral("windows-1251") : QStringLiteral("windows-1252");
}

bool looksBinary(const QString &text)
{
    qsizetype odd = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0)
            return true;
        const bool control = u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f' && u != 0x1A;
        if (control || (u >= 0x7F && u <= 0x9F) || u == 0xFFFD)
            ++odd;
    }
    return odd * 10 > text.size();
}

} // namespace tesmora
