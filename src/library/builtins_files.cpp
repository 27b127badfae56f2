// File functions: text files in three character sets, byte files, files of
// raw doubles, deletion and the parts of a file name.
#include "builtin_families.h"
#include "builtins_array_support.h"
#include "core/interpreter.h"
#include "core/numbers.h"
#include "platform/encodings.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace tesmora {

namespace {

// Longest text File_ReadStr returns.
constexpr qsizetype kMaxReadChars = 20000000;

// A script's file name: relative names lie in the program folder; a name
// that does not exist as written is looked up without regard to letter case.
QString absoluteName(const FunctionCall &call, const QString &name)
{
    const QString path = resolveAgainst(call.in.programFolder(), name);
    if (QFileInfo::exists(path))
        return path;
    // A file still to be written: its folder may be spelled in another case.
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0)
        return path;
    return resolveCaseInsensitive(path.left(slash)) + path.mid(slash);
}

// Failures of the file system stop the script with a text of their own.
[[noreturn]] void fileFailure(const QString &text)
{
    throw RuntimeFailure(text.toStdString());
}

// Argument i read from its text as a decimal integer (as positions and
// dimensions are given).
std::int64_t integerFromText(const FunctionCall &call, int i)
{
    std::int64_t v = 0;
    if (!ParseIntegerText(call.text(i), v))
        fileFailure(QStringLiteral("'%1' is not a valid integer value.").arg(call.text(i)));
    return v;
}

// A start position must not lie before the beginning of the file.
void requireNotNegative(std::int64_t position)
{
    if (position < 0)
        fileFailure(QStringLiteral("The start position %1 must not be negative.").arg(position));
}

enum class Charset { Ansi, Utf8, Utf16, Unknown };

Charset charsetOf(const QString &name)
{
    if (name == QLatin1String("ANSI"))
        return Charset::Ansi;
    if (name == QLatin1String("UTF8"))
        return Charset::Utf8;
    if (name == QLatin1String("UTF16"))
        return Charset::Utf16;
    return Charset::Unknown;
}

QByteArray byteOrderMark(Charset cs)
{
    switch (cs) {
    case Charset::Utf8:
        return QByteArrayLiteral("\xEF\xBB\xBF");
    case Charset::Utf16:
        return QByteArrayLiteral("\xFF\xFE");
    default:
        return {};
    }
}

QByteArray encodeText(const QString &text, Charset cs)
{
    switch (cs) {
    case Charset::Utf8:
        return text.toUtf8();
    case Charset::Utf16: {
        QStringEncoder enc(QStringEncoder::Utf16LE);
        return enc.encode(text);
    }
    default:
        return encodeAnsi(text);
    }
}

QString decodeText(QByteArray bytes, Charset cs)
{
    const QByteArray bom = byteOrderMark(cs);
    if (!bom.isEmpty() && bytes.startsWith(bom))
        bytes.remove(0, bom.size());
    switch (cs) {
    case Charset::Utf8:
        return QString::fromUtf8(bytes);
    case Charset::Utf16: {
        QStringDecoder dec(QStringDecoder::Utf16LE);
        return dec.decode(bytes);
    }
    default:
        return decodeAnsi(bytes);
    }
}

// Every line break (CR LF, CR or LF) becomes CR LF; a break at the very end
// is dropped.
QString normalizedLines(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            out += QLatin1String("\r\n");
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\r\n");
        } else {
            out += c;
        }
    }
    if (out.endsWith(QLatin1String("\r\n")))
        out.chop(2);
    return out;
}

QByteArray readWholeFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fileFailure(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    return f.readAll();
}

bool isExistingFile(const QString &path)
{
    const QFileInfo fi(path);
    return fi.exists() && !fi.isDir();
}

// ---- Text files ----------------------------------------------------------------

void File_ReadStr(FunctionCall &call)
{
    const QString charsetName = call.has(1) ? call.text(1).toUpper() : QStringLiteral("ANSI");
    const QString path = absoluteName(call, call.text(0));
    const QFileInfo fi(path);
    if (!fi.exists() || fi.isDir() || !fi.isReadable()) {
        call.fail(170, {path});
        return;
    }
    const Charset cs = charsetOf(charsetName);
    if (cs == Charset::Unknown) {
        call.fail(171, {QStringLiteral("ReadFromFile"), charsetName});
        return;
    }
    QString text = normalizedLines(decodeText(readWholeFile(path), cs));
    // The line breaks count: a text cut to the limit is split and joined again.
    if (text.size() > kMaxReadChars)
        text = normalizedLines(text.left(kMaxReadChars));
    call.setText(text);
}

void File_WriteStr(FunctionCall &call)
{
    const QString path = absoluteName(call, call.text(0));
    const QString &content = call.text(1);
    const std::int64_t append = call.has(2) ? call.integer(2) : 0;
    const QString charsetName = call.has(3) ? call.text(3) : QStringLiteral("ANSI");
    // The character set is checked before the file is touched: a mistyped
    // name must not cost the learner the file's contents.
    const Charset cs = charsetOf(charsetName);
    if (cs == Charset::Unknown) {
        call.fail(171, {QStringLiteral("WriteToFile"), charsetName});
        return;
    }
    const QByteArray bytes = encodeText(content, cs);
    if (append == 1 && isExistingFile(path)) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            fileFailure(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
        if (f.write(bytes) != bytes.size())
            fileFailure(QStringLiteral("Cannot write file \"%1\". %2").arg(path, f.errorString()));
        return;
    }
    // The whole file is rewritten in place: written over, then cut to the
    // new length. Replacing it (a new file renamed over it, or emptied
    // first) makes the file system wait for the disk on every call, which a
    // loop of small writes cannot afford.
    const QByteArray all = byteOrderMark(cs) + bytes;
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        fileFailure(QStringLiteral("Cannot create file \"%1\". %2").arg(path, f.errorString()));
    if (f.write(all) != all.size() || !f.resize(all.size()) || !f.flush())
        fileFailure(QStringLiteral("Cannot write file \"%1\". %2").arg(path, f.errorString()));
}

// ---- Byte files and float files -------------------------------------------------

void File_ReadBinary(FunctionCall &call)
{
    const QString path = absoluteName(call, call.text(0));
    const std::int64_t start = call.has(1) ? integerFromText(call, 1) : 0;
    if (!isExistingFile(path)) {
        call.fail(170, {path});
        return;
    }
    requireNotNegative(start);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fileFailure(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    const std::int64_t n = f.size() - start;
    if (n <= 0) {
        call.fail(183, {qlonglong(start), path});
        return;
    }
    const std::int64_t maxCells = kMaxArrayBytes / 8;
    if (n > maxCells) {
        call.fail(146, {call.text(0)});
        return;
    }
    if (!f.seek(start))
        fileFailure(QStringLiteral("Cannot read file \"%1\". %2").arg(path, f.errorString()));
    const QByteArray bytes = f.read(n);
    if (bytes.size() != n)
        fileFailure(QStringLiteral("Cannot read file \"%1\". %2").arg(path, f.errorString()));
    t_arr_specification *r = arrayfn::newResultArray(call, wkFloat, std::vector<std::int64_t>{n});
    if (!r)
        return;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    for (std::int64_t k = 0; k < n; ++k)
        r->P->f[static_cast<size_t>(k)] = p[k];
}

void File_ReadFloat(FunctionCall &call)
{
    const QString path = absoluteName(call, call.text(0));
    const std::int64_t start = call.has(1) ? integerFromText(call, 1) : 0;
    std::vector<std::int64_t> dims;
    for (int i = 2; i <= 5 && call.has(i); ++i)
        dims.push_back(integerFromText(call, i));
    requireNotNegative(start);
    QFile f(path);
    if (!isExistingFile(path) || !f.open(QIODevice::ReadOnly))
        fileFailure(
            QStringLiteral("Cannot open file \"%1\". %2")
                .arg(path, f.exists() ? f.errorString() : QStringLiteral("The file does not exist.")));
    const std::int64_t total = f.size() / 8;
    const std::int64_t n = total - start;
    if (n < 1) {
        call.fail(183, {qlonglong(start), path});
        return;
    }
    if (dims.empty())
        dims.push_back(n);
    t_arr_specification *r = arrayfn::newResultArray(call, wkFloat, dims);
    if (!r)
        return;
    const std::int64_t wanted = std::min<std::int64_t>(n, r->count);
    if (wanted <= 0)
        return;
    if (!f.seek(start * 8))
        fileFailure(QStringLiteral("Cannot read file \"%1\". %2").arg(path, f.errorString()));
    const QByteArray bytes = f.read(wanted * 8);
    if (bytes.size() != wanted * 8)
        fileFailure(QStringLiteral("Cannot read file \"%1\". %2").arg(path, f.errorString()));
    for (std::int64_t k = 0; k < wanted; ++k)
        r->P->f[static_cast<size_t>(k)] = qFromLittleEndian<double>(bytes.constData() + k * 8);
}

void File_WriteFloat(FunctionCall &call)
{
    const QString path = absoluteName(call, call.text(0));
    const t_arr_specification *found = call.array(1); // message 186 when it is no array
    if (!found)
        return;
    const t_arr_specification a = *found; // shares the element block
    const bool atGivenPosition = call.has(2);
    const std::int64_t start = atGivenPosition ? integerFromText(call, 2) : 0;
    if (a.data_type != wkFloat) {
        call.fail(185, {a.name});
        return;
    }
    if (atGivenPosition)
        requireNotNegative(start);
    QFile f(path);
    // The file is opened for reading and writing; a missing one is created empty.
    if (!f.open(QIODevice::ReadWrite))
        fileFailure(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    const std::int64_t total = f.size() / 8;
    if (atGivenPosition && start > total) {
        call.fail(184, {qlonglong(start), path});
        return;
    }
    const std::int64_t position = atGivenPosition ? start : total;
    QByteArray bytes(static_cast<qsizetype>(a.count) * 8, Qt::Uninitialized);
    for (std::int64_t k = 0; k < a.count; ++k)
        qToLittleEndian<double>(cellNumber(a, k), bytes.data() + k * 8);
    if (!f.seek(position * 8) || f.write(bytes) != bytes.size() || !f.flush())
        fileFailure(QStringLiteral("Cannot write file \"%1\". %2").arg(path, f.errorString()));
}

// ---- Deletion and name parts ------------------------------------------------------

void File_Delete(FunctionCall &call)
{
    const QString path = absoluteName(call, call.text(0));
    if (isExistingFile(path) || QFileInfo(path).isSymLink()) {
        QFile::remove(path); // a failed deletion is not reported
        return;
    }
    if (call.has(1) && call.integer(1) == 1)
        call.fail(192);
}

// Position of the last folder separator ("\" or "/") or drive colon, or -1.
qsizetype lastSeparator(const QString &name)
{
    for (qsizetype i = name.size() - 1; i >= 0; --i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char('/') || c == QLatin1Char(':'))
            return i;
    }
    return -1;
}

void File_ExtractExt(FunctionCall &call)
{
    const QString &name = call.text(0);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    call.setText(dot > lastSeparator(name) ? name.mid(dot) : QString());
}

void File_ExtractName(FunctionCall &call)
{
    const QString &name = call.text(0);
    call.setText(name.mid(lastSeparator(name) + 1));
}

void File_ExtractPath(FunctionCall &call)
{
    const QString &name = call.text(0);
    call.setText(name.left(lastSeparator(name) + 1));
}

} // namespace

void registerFileFunctions(BuiltinRegistry &registry)
{
    registry.add("File_ReadStr", File_ReadStr);
    registry.add("File_WriteStr", File_WriteStr);
    registry.add("File_ReadBinary", File_ReadBinary);
    registry.add("File_ReadFloat", File_ReadFloat);
    registry.add("File_WriteFloat", File_WriteFloat);
    registry.add("File_Delete", File_Delete);
    registry.add("File_ExtractExt", File_ExtractExt);
    registry.add("File_ExtractName", File_ExtractName);
    registry.add("File_ExtractPath", File_ExtractPath);
}

} // namespace tesmora
