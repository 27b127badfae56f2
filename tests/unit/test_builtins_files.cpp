// File functions: text files in three character sets, byte and float files,
// deletion and file-name parts. Every case runs a small script whose program
// folder is a fresh temporary folder, and inspects the files it leaves.
#include "builtin_calls.h"
#include "core/interpreter.h"
#include "core/message_catalogue.h"
#include "library/builtin_families.h"
#include "library/function_tables.h"
#include "script_host.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <memory>
#include <vector>

using namespace tesmora;
using tesmora::test::array;
using tesmora::test::floats;
using tesmora::test::msg;
using tesmora::test::ScriptRun;

namespace {

// A program folder of its own for every case.
struct Folder {
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
    QString programFolder() const { return dir.path() + QLatin1Char('/'); }

    QByteArray bytes(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void write(const QString &name, const QByteArray &data) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    bool exists(const QString &name) const { return QFile::exists(path(name)); }
};

// Runs the lines (followed by a final "stop" line) with `folder` as the program folder.
std::unique_ptr<ScriptRun> run(const Folder &folder, QStringList lines)
{
    lines << QStringLiteral("stop");
    auto r = std::make_unique<ScriptRun>(lines);
    r->in.updateSettings([&](ProgramSettings &s) { s.programFolder = folder.programFolder(); });
    r->start();
    return r;
}

QByteArray doubles(const std::vector<double> &values)
{
    QByteArray out(static_cast<qsizetype>(values.size() * 8), Qt::Uninitialized);
    for (size_t k = 0; k < values.size(); ++k)
        qToLittleEndian<double>(values[k], out.data() + k * 8);
    return out;
}

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

TEST(FileText, WriteAndReadInEachCharacterSet)
{
    Folder f;
    auto r = run(f, {"File_WriteStr('plain.txt', 'abc')", "a = File_ReadStr('plain.txt')",
                     "File_WriteStr('wide.txt', 'x', 0, 'UTF16')", "w = File_ReadStr('wide.txt', 'utf16')",
                     "File_WriteStr('u8.txt', 'Привет', 0, 'UTF8')", "u = File_ReadStr('u8.txt', 'Utf8')",
                     "File_WriteStr('latin.txt', 'é€')", "l = File_ReadStr('latin.txt', 'ansi')",
                     "File_WriteStr('empty.txt', '')", "e = File_ReadStr('empty.txt')"});
    ASSERT_EQ(r->error(), "");
    // ANSI: one byte per character, no byte-order mark, no line break added.
    EXPECT_EQ(f.bytes("plain.txt"), QByteArray("abc"));
    EXPECT_EQ(r->var("a"), "abc");
    EXPECT_EQ(r->kind("a"), wkString);
    EXPECT_EQ(f.bytes("wide.txt"), QByteArray("\xFF\xFE\x78\x00", 4));
    EXPECT_EQ(r->var("w"), "x");
    EXPECT_EQ(f.bytes("u8.txt"), QByteArray("\xEF\xBB\xBF") + QStringLiteral("Привет").toUtf8());
    EXPECT_EQ(r->var("u"), QStringLiteral("Привет"));
    // The ANSI code page of a non-Russian system is Windows-1252.
    if (QLocale::system().language() != QLocale::Russian) {
        EXPECT_EQ(f.bytes("latin.txt"), QByteArray("\xE9\x80"));
        EXPECT_EQ(r->var("l"), QStringLiteral("é€"));
    }
    EXPECT_EQ(f.bytes("empty.txt"), QByteArray());
    EXPECT_EQ(r->var("e"), "");

    // A byte-order mark is skipped only when it belongs to the character set read.
    f.write("bom8.txt", QByteArray("\xEF\xBB\xBFok"));
    f.write("bom16.txt", QByteArray("\xFF\xFEo\0k\0", 6));
    auto b = run(f, {"a8 = File_ReadStr('bom8.txt', 'UTF8')", "n8 = LenStr(File_ReadStr('bom8.txt'))",
                     "a16 = File_ReadStr('bom16.txt', 'UTF16')"});
    ASSERT_EQ(b->error(), "");
    EXPECT_EQ(b->var("a8"), "ok");
    EXPECT_EQ(b->var("n8"), "5"); // read as ANSI the mark is three characters
    EXPECT_EQ(b->var("a16"), "ok");
}

TEST(FileText, LineBreaksBecomeCrLfAndTheLastIsDropped)
{
    Folder f;
    f.write("mixed.txt", "a\r\nb\rc\nd\n");
    f.write("double.txt", "one\r\n\r\n");
    f.write("only.txt", "\n");
    f.write("inner.txt", "\n\nx");
    auto r = run(f, {"m = File_ReadStr('mixed.txt')", "d = File_ReadStr('double.txt')",
                     "o = File_ReadStr('only.txt')", "i = File_ReadStr('inner.txt')"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(r->var("m"), "a" + kCrLf + "b" + kCrLf + "c" + kCrLf + "d");
    EXPECT_EQ(r->var("d"), "one" + kCrLf);
    EXPECT_EQ(r->var("o"), "");
    EXPECT_EQ(r->var("i"), kCrLf + kCrLf + "x");

    // What File_ReadStr gives back writes the same text again.
    auto w = run(f, {"File_WriteStr('copy.txt', File_ReadStr('mixed.txt'))"});
    ASSERT_EQ(w->error(), "");
    EXPECT_EQ(f.bytes("copy.txt"), QByteArray("a\r\nb\r\nc\r\nd"));
}

TEST(FileText, RegionalSettingsChooseTheAnsiCodePage)
{
    Folder f;
    auto r = run(f, {"File_WriteStr('ansi.txt', 'Привет é')", "s = File_ReadStr('ansi.txt')",
                     "File_WriteStr('sub.txt', 'a' + Char(26) + '😀b')", "t = File_ReadStr('sub.txt')"});
    ASSERT_EQ(r->error(), "");
    if (qEnvironmentVariableIsSet("TESMORA_EXPECT_RU_LOCALE")) {
        ASSERT_EQ(QLocale::system().language(), QLocale::Russian);
        // Windows-1251: Cyrillic in one byte each; é has no place and becomes "?".
        EXPECT_EQ(f.bytes("ansi.txt"), QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2 ?"));
        EXPECT_EQ(r->var("s"), QStringLiteral("Привет ?"));
    } else {
        // Windows-1252: é in one byte; Cyrillic has no place.
        EXPECT_EQ(f.bytes("ansi.txt"), QByteArray("?????? \xE9"));
        EXPECT_EQ(r->var("s"), QStringLiteral("?????? é"));
    }
    // A character outside the basic plane is one "?"; a real SUB character stays.
    EXPECT_EQ(f.bytes("sub.txt"), QByteArray("a\x1A?b"));
    EXPECT_EQ(r->var("t"), QStringLiteral("a\x1A?b"));
}

TEST(FileText, LongTextsAreCutAtTwentyMillionCharacters)
{
    Folder f;
    const qsizetype limit = 20000000;
    f.write("long.txt", QByteArray(limit, 'a') + "\r\nbc");
    // LF becomes CR LF: one character too many. The cut leaves the text
    // ending in CR LF, and that last line break is dropped.
    f.write("grown.txt", QByteArray(limit - 2, 'c') + "\nd");
    auto r = run(f, {"n = LenStr(File_ReadStr('long.txt'))", "e = LenStr(File_ReadStr('grown.txt'))"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(r->var("n"), "20000000");
    EXPECT_EQ(r->var("e"), "19999998");
}

TEST(FileText, AppendingAndRewriting)
{
    Folder f;
    auto r = run(f, {"File_WriteStr('log.txt', 'one')", "File_WriteStr('log.txt', ', two', 1)",
                     "s = File_ReadStr('log.txt')", "File_WriteStr('u.txt', 'a', 0, 'UTF8')",
                     "File_WriteStr('u.txt', 'b', 1, 'UTF8')", "File_WriteStr('new.txt', 'n', 1, 'UTF16')",
                     "File_WriteStr('two.txt', 'old')", "File_WriteStr('two.txt', 'new', 2)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(r->var("s"), "one, two");
    EXPECT_EQ(f.bytes("log.txt"), QByteArray("one, two"));
    // Appending writes no second byte-order mark.
    EXPECT_EQ(f.bytes("u.txt"), QByteArray("\xEF\xBB\xBF\x61\x62"));
    // Appending to a missing file creates it as a new one, with its mark.
    EXPECT_EQ(f.bytes("new.txt"), QByteArray("\xFF\xFEn\0", 4));
    // Only 1 appends.
    EXPECT_EQ(f.bytes("two.txt"), QByteArray("new"));
}

TEST(FileText, MistypedCharacterSetLeavesTheFileAlone)
{
    Folder f;
    f.write("keep.txt", "precious");
    // The writer takes the character set exactly as given: 'utf16' is not 'UTF16'.
    auto r = run(f, {"File_WriteStr('keep.txt', 'x', 0, 'utf16')"});
    EXPECT_EQ(r->error(), msg(171, {"WriteToFile", "utf16"}, 0));
    EXPECT_EQ(f.bytes("keep.txt"), QByteArray("precious"));

    // Nor is a file created or appended to.
    auto a = run(f, {"File_WriteStr('keep.txt', 'x', 1, 'UTF-8')"});
    EXPECT_EQ(a->error(), msg(171, {"WriteToFile", "UTF-8"}, 0));
    EXPECT_EQ(f.bytes("keep.txt"), QByteArray("precious"));
    auto n = run(f, {"File_WriteStr('fresh.txt', 'x', 0, 'KOI8')"});
    EXPECT_EQ(n->error(), msg(171, {"WriteToFile", "KOI8"}, 0));
    EXPECT_FALSE(f.exists("fresh.txt"));

    // The reader upper-cases the character set; an unknown one is named upper-cased.
    auto rd = run(f, {"s = File_ReadStr('keep.txt', 'koi8')"});
    EXPECT_EQ(rd->error(), msg(171, {"ReadFromFile", "KOI8"}, 0));
    // A missing file is reported before the character set is looked at.
    auto m = run(f, {"s = File_ReadStr('nothing.txt', 'koi8')"});
    EXPECT_EQ(m->error(), msg(170, {f.path("nothing.txt")}, 0));
}

TEST(FileNames, RelativeNamesLieInTheProgramFolder)
{
    Folder f;
    QDir(f.dir.path()).mkdir("Sub");
    QTemporaryDir elsewhere;
    const QString absolute = elsewhere.path() + "/abs.txt";
    auto r = run(f, {"File_WriteStr('Sub\\back.txt', 'b')", "File_WriteStr('Sub/fwd.txt', 'f')",
                     "File_WriteStr('" + absolute + "', 'a')", "x = File_ReadStr('sub\\BACK.TXT')",
                     "y = File_ReadStr('SUB/Fwd.Txt')", "z = File_ReadStr('" + absolute + "')"});
    ASSERT_EQ(r->error(), "");
    // Both separators name folders, and names are found whatever their case.
    EXPECT_EQ(f.bytes("Sub/back.txt"), QByteArray("b"));
    EXPECT_EQ(f.bytes("Sub/fwd.txt"), QByteArray("f"));
    EXPECT_EQ(r->var("x"), "b");
    EXPECT_EQ(r->var("y"), "f");
    // An absolute name is taken as it is.
    EXPECT_EQ(r->var("z"), "a");
    EXPECT_FALSE(f.exists("abs.txt"));

    // Writing an existing file under another spelling rewrites that file.
    auto w = run(f, {"File_WriteStr('sub/back.TXT', 'again')"});
    ASSERT_EQ(w->error(), "");
    EXPECT_EQ(f.bytes("Sub/back.txt"), QByteArray("again"));
    EXPECT_EQ(QDir(f.path("Sub")).entryList(QDir::Files).size(), 2);
    // A new file goes into the existing folder, however its name is spelled.
    auto n = run(f, {"File_WriteStr('SUB\\New.txt', 'n')", "File_WriteFloat('sUb/f.bin', Array2(1, 2))"});
    ASSERT_EQ(n->error(), "");
    EXPECT_EQ(f.bytes("Sub/New.txt"), QByteArray("n"));
    EXPECT_EQ(f.bytes("Sub/f.bin"), doubles({1, 2}));

    // A file in a folder that does not exist cannot be created: the failure's own text.
    auto bad = run(f, {"File_WriteStr('no_such_folder/x.txt', 'x')"});
    EXPECT_TRUE(bad->error().startsWith("Cannot create file \"" + f.path("no_such_folder/x.txt") + "\"."))
        << bad->error().toStdString();
    EXPECT_TRUE(bad->error().endsWith("\r\rLine 0."));
}

TEST(FileBinary, BytesFromAStartPosition)
{
    Folder f;
    f.write("four.bin", QByteArray("\x00\x7F\x80\xFF", 4));
    auto r =
        run(f, {"all = File_ReadBinary('four.bin')", "tail = File_ReadBinary('four.bin', 1)",
                "last = File_ReadBinary('four.bin', 3)", "n = Array_Length(File_ReadBinary('four.bin', 2))"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(floats(*r, "all"), (std::vector<double>{0, 127, 128, 255}));
    EXPECT_EQ(dims(*r, "all"), (std::vector<int>{4, 0, 0, 0}));
    EXPECT_EQ(floats(*r, "tail"), (std::vector<double>{127, 128, 255}));
    EXPECT_EQ(floats(*r, "last"), (std::vector<double>{255}));
    EXPECT_EQ(r->var("n"), "2");

    EXPECT_EQ(run(f, {"a = File_ReadBinary('four.bin', 4)"})->error(), msg(183, {4, f.path("four.bin")}, 0));
    EXPECT_EQ(run(f, {"a = File_ReadBinary('four.bin', 9)"})->error(), msg(183, {9, f.path("four.bin")}, 0));
    f.write("empty.bin", "");
    EXPECT_EQ(run(f, {"a = File_ReadBinary('empty.bin')"})->error(), msg(183, {0, f.path("empty.bin")}, 0));
    EXPECT_EQ(run(f, {"a = File_ReadBinary('gone.bin')"})->error(), msg(170, {f.path("gone.bin")}, 0));
    // The start is read from the argument's text as an integer.
    EXPECT_EQ(run(f, {"a = File_ReadBinary('four.bin', 1.5)"})->error(),
              QStringLiteral("'1.5' is not a valid integer value.\r\rLine 0."));
    EXPECT_EQ(run(f, {"a = File_ReadBinary('four.bin', -1)"})->error(),
              QStringLiteral("The start position -1 must not be negative.\r\rLine 0."));
}

TEST(FileFloat, WriteAppendsOrOverwritesAndReadShapesTheArray)
{
    Folder f;
    auto r = run(f, {"array a[3]float=(1.5,-2,3)", "File_WriteFloat('d.bin', a)",
                     "File_WriteFloat('d.bin', a)", "all = File_ReadFloat('d.bin')",
                     "m = File_ReadFloat('d.bin', 0, 2, 3)", "t = File_ReadFloat('d.bin', 4)",
                     "big = File_ReadFloat('d.bin', 3, 2, 3)", "c = File_ReadFloat('d.bin', 0, 1, 1, 2, 3)"});
    ASSERT_EQ(r->error(), "");
    // Little-endian doubles, one after the other, without a header.
    EXPECT_EQ(f.bytes("d.bin"), doubles({1.5, -2, 3, 1.5, -2, 3}));
    EXPECT_EQ(floats(*r, "all"), (std::vector<double>{1.5, -2, 3, 1.5, -2, 3}));
    EXPECT_EQ(dims(*r, "all"), (std::vector<int>{6, 0, 0, 0}));
    EXPECT_EQ(dims(*r, "m"), (std::vector<int>{2, 3, 0, 0}));
    EXPECT_EQ(floats(*r, "m"), (std::vector<double>{1.5, -2, 3, 1.5, -2, 3}));
    EXPECT_EQ(floats(*r, "t"), (std::vector<double>{-2, 3}));
    // More elements than the file holds: the rest stay 0.
    EXPECT_EQ(floats(*r, "big"), (std::vector<double>{1.5, -2, 3, 0, 0, 0}));
    EXPECT_EQ(dims(*r, "c"), (std::vector<int>{1, 1, 2, 3}));

    // A given start overwrites from there; the file grows when needed.
    auto w = run(f, {"array b[2,2]float=((7,8),(9,10))", "File_WriteFloat('d.bin', b, 0)",
                     "File_WriteFloat('d.bin', b, 5)", "n = Array_Length(File_ReadFloat('d.bin'))"});
    ASSERT_EQ(w->error(), "");
    EXPECT_EQ(f.bytes("d.bin"), doubles({7, 8, 9, 10, -2, 7, 8, 9, 10}));
    EXPECT_EQ(w->var("n"), "9");

    // Trailing bytes that make no whole double are not counted.
    f.write("odd.bin", doubles({4, 5}) + QByteArray("xyz"));
    auto o =
        run(f, {"array one[1]float=(6)", "File_WriteFloat('odd.bin', one)", "v = File_ReadFloat('odd.bin')"});
    ASSERT_EQ(o->error(), "");
    EXPECT_EQ(floats(*o, "v"), (std::vector<double>{4, 5, 6}));
}

TEST(FileFloat, Refusals)
{
    Folder f;
    f.write("six.bin", doubles({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(run(f, {"array a[3]float", "File_WriteFloat('six.bin', a, 10)"})->error(),
              msg(184, {10, f.path("six.bin")}, 1));
    EXPECT_EQ(f.bytes("six.bin"), doubles({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(run(f, {"array s[2]string", "File_WriteFloat('six.bin', s)"})->error(), msg(185, {"s"}, 1));
    EXPECT_EQ(run(f, {"array k[2]int", "File_WriteFloat('six.bin', k)"})->error(), msg(185, {"k"}, 1));
    EXPECT_EQ(run(f, {"File_WriteFloat('six.bin', 5)"})->error(),
              QStringLiteral("Function \"File_WriteFloat\". Parameter № 2 must be \"array\". \r\rLine 0."));
    EXPECT_EQ(f.bytes("six.bin"), doubles({1, 2, 3, 4, 5, 6}));

    EXPECT_EQ(run(f, {"v = File_ReadFloat('six.bin', 6)"})->error(), msg(183, {6, f.path("six.bin")}, 0));
    f.write("short.bin", "1234567");
    EXPECT_EQ(run(f, {"v = File_ReadFloat('short.bin')"})->error(), msg(183, {0, f.path("short.bin")}, 0));
    // A file that cannot be opened stops the script with the failure's own text.
    const QString missing = run(f, {"v = File_ReadFloat('none.bin')"})->error();
    EXPECT_TRUE(missing.startsWith("Cannot open file \"" + f.path("none.bin") + "\"."))
        << missing.toStdString();
}

TEST(FileDelete, DeletesAndReportsOnlyWhenAsked)
{
    Folder f;
    f.write("a.txt", "a");
    f.write("B.txt", "b");
    auto r = run(f, {"File_Delete('a.txt')", "File_Delete('a.txt')", "File_Delete('a.txt', 0)",
                     "File_Delete('b.TXT', 1)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_FALSE(f.exists("a.txt"));
    EXPECT_FALSE(f.exists("B.txt"));
    EXPECT_EQ(run(f, {"File_Delete('a.txt', 1)"})->error(), msg(192, {}, 0));
    // A folder is no file.
    QDir(f.dir.path()).mkdir("dir");
    EXPECT_EQ(run(f, {"File_Delete('dir', 1)"})->error(), msg(192, {}, 0));
    EXPECT_TRUE(QFileInfo(f.path("dir")).isDir());
}

TEST(FileNameParts, ExtensionNameAndPath)
{
    Folder f;
    struct Case {
        QString name, ext, file, path;
    };
    const QList<Case> cases = {
        {"C:\\dir\\file.txt", ".txt", "file.txt", "C:\\dir\\"},
        {"dir/file.tar.gz", ".gz", "file.tar.gz", "dir/"},
        {"my.folder/readme", "", "readme", "my.folder/"},
        {"my.folder\\readme", "", "readme", "my.folder\\"},
        {"name", "", "name", ""},
        {".bashrc", ".bashrc", ".bashrc", ""},
        {"a.", ".", "a.", ""},
        {"C:file.txt", ".txt", "file.txt", "C:"},
        {"/home/user/", "", "", "/home/user/"},
        {"", "", "", ""},
    };
    for (const Case &c : cases) {
        auto r = run(f, {"e = File_ExtractExt('" + c.name + "')", "n = ExtractFileName('" + c.name + "')",
                         "p = File_ExtractPath('" + c.name + "')"});
        ASSERT_EQ(r->error(), "") << c.name.toStdString();
        EXPECT_EQ(r->var("e"), c.ext) << c.name.toStdString();
        EXPECT_EQ(r->var("n"), c.file) << c.name.toStdString();
        EXPECT_EQ(r->var("p"), c.path) << c.name.toStdString();
        EXPECT_EQ(r->kind("e"), wkString);
    }
}

TEST(FileHelp, EveryRowHasRunnableExamplesInBothLanguages)
{
    for (const int row : {17, 18, 19, 20, 21, 22, 59, 60, 61}) {
        for (int language = 0; language <= 1; ++language) {
            const QString text = functionDescription(FunctionTable::Embedded, row, language);
            ASSERT_FALSE(text.isEmpty()) << row << " " << language;
            const qsizetype at =
                text.indexOf(language == 0 ? QStringLiteral("Example") : QStringLiteral("Пример"));
            ASSERT_GE(at, 0) << row;
            QStringList lines = text.mid(text.indexOf(kCrLf, at) + 2).split(kCrLf);
            Folder f;
            auto r = run(f, lines);
            EXPECT_EQ(r->error(), "") << "row " << row << " language " << language;
            // The example calls the function of its row.
            const QString name =
                functionTable(FunctionTable::Embedded)[static_cast<size_t>(row)].formula().section('(', 0, 0);
            EXPECT_TRUE(text.mid(at).contains(name + "(")) << row;
        }
    }
}
