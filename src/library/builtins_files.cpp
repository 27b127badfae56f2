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

void addFileHelp(QList<FunctionHelp> &help)
{
    help.append(
        {FunctionTable::Embedded, "File_ReadStr",
         u"Reads the whole text file FileName and returns its contents as one string. Every line break "
         u"of the file becomes CR LF (Char(13) + Char(10)); a line break at the very end is dropped.\r\n"
         u"A name without a folder is looked up in the program folder.\r\n"
         u"Character_set (optional, 'ANSI' by default): 'ANSI' - one byte per character (the code page "
         u"of the system), 'UTF8' or 'UTF16'; capital or small letters.\r\n"
         u"Example:\r\n"
         u"File_WriteStr('note.txt', 'first' + Char(10) + 'second', 0, 'UTF8')\r\n"
         u"s = File_ReadStr('note.txt', 'utf8')   # s = 'first' + Char(13) + Char(10) + 'second'",
         u"Читает весь текстовый файл FileName и возвращает его содержимое одной строкой. Каждый перевод "
         u"строки файла становится CR LF (Char(13) + Char(10)); перевод строки в самом конце "
         u"отбрасывается.\r\n"
         u"Имя без папки ищется в папке программы.\r\n"
         u"Character_set (необязательный, по умолчанию 'ANSI'): 'ANSI' - один байт на символ (кодовая "
         u"страница системы), 'UTF8' или 'UTF16'; прописными или строчными буквами.\r\n"
         u"Пример:\r\n"
         u"File_WriteStr('заметка.txt', 'Привет', 0, 'UTF8')\r\n"
         u"s = File_ReadStr('заметка.txt', 'UTF8')   # s = 'Привет'"});
    help.append(
        {FunctionTable::Embedded, "File_WriteStr",
         u"Writes the string Content into the text file FileName. No line break is added.\r\n"
         u"Uppend (optional, 0 by default): 0 - the file is created anew (an old file with that name is "
         u"replaced), 1 - Content is added at the end of an existing file.\r\n"
         u"Character_set (optional, 'ANSI' by default): 'ANSI', 'UTF8' or 'UTF16', written exactly so, "
         u"in capital letters. A new 'UTF8' or 'UTF16' file begins with a byte-order mark. With a wrong "
         u"character set nothing is written and the file stays as it was.\r\n"
         u"Example:\r\n"
         u"File_WriteStr('log.txt', 'one')\r\n"
         u"File_WriteStr('log.txt', ', two', 1)\r\n"
         u"s = File_ReadStr('log.txt')   # s = 'one, two'",
         u"Записывает строку Content в текстовый файл FileName. Перевод строки не добавляется.\r\n"
         u"Uppend (необязательный, по умолчанию 0): 0 - файл создаётся заново (старый файл с тем же "
         u"именем заменяется), 1 - Content дописывается в конец существующего файла.\r\n"
         u"Character_set (необязательный, по умолчанию 'ANSI'): 'ANSI', 'UTF8' или 'UTF16', именно так, "
         u"прописными буквами. Новый файл 'UTF8' или 'UTF16' начинается с метки порядка байтов. При "
         u"неверной кодировке ничего не записывается и файл остаётся прежним.\r\n"
         u"Пример:\r\n"
         u"File_WriteStr('журнал.txt', 'раз', 0, 'UTF16')\r\n"
         u"File_WriteStr('журнал.txt', ', два', 1, 'UTF16')\r\n"
         u"s = File_ReadStr('журнал.txt', 'UTF16')   # s = 'раз, два'"});
    help.append(
        {FunctionTable::Embedded, "File_ReadBinary",
         u"Reads the file FileName byte by byte and returns a float array with one element per byte "
         u"(numbers from 0 to 255).\r\n"
         u"StartByteNumber (optional, 0 by default): the number of the first byte to read (the first "
         u"byte of the file has number 0); it must lie inside the file.\r\n"
         u"Example:\r\n"
         u"File_WriteStr('abc.txt', 'ABC')\r\n"
         u"b = File_ReadBinary('abc.txt', 1)   # b = (66, 67)",
         u"Читает файл FileName побайтно и возвращает массив float, по одному элементу на байт (числа от "
         u"0 до 255).\r\n"
         u"StartByteNumber (необязательный, по умолчанию 0): номер первого читаемого байта (первый байт "
         u"файла имеет номер 0); он должен быть внутри файла.\r\n"
         u"Пример:\r\n"
         u"File_WriteStr('abc.txt', 'ABC')\r\n"
         u"b = File_ReadBinary('abc.txt')   # b = (65, 66, 67)"});
    help.append(
        {FunctionTable::Embedded, "File_ReadFloat",
         u"Reads a file of numbers written by File_WriteFloat (8 bytes per number) and returns them as a "
         u"float array.\r\n"
         u"StartPos (optional, 0 by default): the number of the first number to read (counted from 0).\r\n"
         u"Dim1 .. Dim4 (optional): the dimensions of the result; without them the array holds all "
         u"numbers from StartPos on. Elements for which the file has no numbers are 0.\r\n"
         u"Example:\r\n"
         u"array a[6]float=(1,2,3,4,5,6)\r\n"
         u"File_Delete('data.bin')\r\n"
         u"File_WriteFloat('data.bin', a)\r\n"
         u"m = File_ReadFloat('data.bin', 0, 2, 3)   # m = ((1,2,3),(4,5,6))",
         u"Читает файл чисел, записанный функцией File_WriteFloat (8 байт на число), и возвращает их в "
         u"массиве float.\r\n"
         u"StartPos (необязательный, по умолчанию 0): номер первого читаемого числа (считая от 0).\r\n"
         u"Dim1 .. Dim4 (необязательные): размерности результата; без них массив содержит все числа, "
         u"начиная со StartPos. Элементы, для которых в файле нет чисел, равны 0.\r\n"
         u"Пример:\r\n"
         u"array a[6]float=(1,2,3,4,5,6)\r\n"
         u"File_Delete('данные.bin')\r\n"
         u"File_WriteFloat('данные.bin', a)\r\n"
         u"b = File_ReadFloat('данные.bin', 4)   # b = (5, 6)"});
    help.append(
        {FunctionTable::Embedded, "File_WriteFloat",
         u"Writes all elements of the float array DataArray into the file FileName as numbers of 8 bytes "
         u"each (a missing file is created).\r\n"
         u"StartPos (optional): the number of the number in the file from which writing starts (0 - "
         u"from the beginning); it must not lie after the end of the file. Without it the numbers are "
         u"added at the end of the file.\r\n"
         u"Example:\r\n"
         u"array a[3]float=(1.5,2.5,3.5)\r\n"
         u"File_Delete('data.bin')\r\n"
         u"File_WriteFloat('data.bin', a)\r\n"
         u"File_WriteFloat('data.bin', a)\r\n"
         u"n = Array_Length(File_ReadFloat('data.bin'))   # n = 6",
         u"Записывает все элементы массива float DataArray в файл FileName числами по 8 байт (если файла "
         u"нет, он создаётся).\r\n"
         u"StartPos (необязательный): номер числа в файле, с которого начинается запись (0 - с начала); "
         u"он не может быть за концом файла. Без него числа дописываются в конец файла.\r\n"
         u"Пример:\r\n"
         u"array a[3]float=(1.5,2.5,3.5)\r\n"
         u"File_Delete('данные.bin')\r\n"
         u"File_WriteFloat('данные.bin', a)\r\n"
         u"File_WriteFloat('данные.bin', a, 0)\r\n"
         u"n = Array_Length(File_ReadFloat('данные.bin'))   # n = 3"});
    help.append(
        {FunctionTable::Embedded, "File_Delete",
         u"Deletes the file FileName.\r\n"
         u"RaiseErrorMessage (optional, 0 by default): 1 - a missing file is an error, 0 - a missing "
         u"file is quietly ignored.\r\n"
         u"Example:\r\n"
         u"File_WriteStr('old.txt', 'x')\r\n"
         u"File_Delete('old.txt')\r\n"
         u"File_Delete('old.txt')      # nothing happens: the file is already gone",
         u"Удаляет файл FileName.\r\n"
         u"RaiseErrorMessage (необязательный, по умолчанию 0): 1 - отсутствие файла считается ошибкой, "
         u"0 - отсутствующий файл молча пропускается.\r\n"
         u"Пример:\r\n"
         u"File_WriteStr('старый.txt', 'x')\r\n"
         u"File_Delete('старый.txt')\r\n"
         u"File_Delete('старый.txt')   # ничего не происходит: файла уже нет"});
    help.append(
        {FunctionTable::Embedded, "File_ExtractExt",
         u"Returns the extension of the file name FileName: the part from the last dot of the name on, "
         u"dot included, or an empty string. Both \\ and / separate folders.\r\n"
         u"Examples:\r\n"
         u"e = File_ExtractExt('Scripts\\demo.txt')    # e = '.txt'\r\n"
         u"e = File_ExtractExt('my.folder/readme')    # e = ''",
         u"Возвращает расширение имени файла FileName: часть имени от последней точки, вместе с точкой, "
         u"или пустую строку. Папки разделяются и \\, и /.\r\n"
         u"Примеры:\r\n"
         u"e = File_ExtractExt('Scripts\\demo.txt')    # e = '.txt'\r\n"
         u"e = File_ExtractExt('моя.папка/readme')    # e = ''"});
    help.append({FunctionTable::Embedded, "File_ExtractName",
                 u"Returns the name of the file without its folder: the part after the last \\, / or :.\r\n"
                 u"Example:\r\n"
                 u"n = File_ExtractName('Scripts\\demo.txt')   # n = 'demo.txt'",
                 u"Возвращает имя файла без папки: часть после последнего \\, / или :.\r\n"
                 u"Пример:\r\n"
                 u"n = File_ExtractName('Scripts/demo.txt')   # n = 'demo.txt'"});
    help.append(
        {FunctionTable::Embedded, "File_ExtractPath",
         u"Returns the folder part of a file name: everything up to and including the last \\, / or :, "
         u"or an empty string for a name without a folder.\r\n"
         u"Example:\r\n"
         u"p = File_ExtractPath('Scripts\\demo.txt')   # p = 'Scripts\\'",
         u"Возвращает папку из имени файла: всё до последнего \\, / или : включительно, или пустую строку "
         u"для имени без папки.\r\n"
         u"Пример:\r\n"
         u"p = File_ExtractPath('Scripts/demo.txt')   # p = 'Scripts/'"});
}

} // namespace tesmora
