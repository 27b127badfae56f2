#include "platform/encodings.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tesmora;

TEST(Paths, NamesAndCaseInsensitiveResolution)
{
    EXPECT_TRUE(isPathName("a\\b.txt"));
    EXPECT_TRUE(isPathName("a/b.txt"));
    EXPECT_FALSE(isPathName("b.txt"));
    EXPECT_TRUE(isAbsoluteName("/tmp/x"));
    EXPECT_TRUE(isAbsoluteName("C:\\x"));
    EXPECT_FALSE(isAbsoluteName("x/y"));
    EXPECT_EQ(normalizeSeparators("a\\b\\c"), "a/b/c");

    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Scripts/Sub"));
    QFile f(dir.filePath("Scripts/Sub/Data.TXT"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString folder = dir.path() + "/";
    EXPECT_EQ(resolveAgainst(folder, "scripts\\sub\\data.txt"), dir.filePath("Scripts/Sub/Data.TXT"));
    EXPECT_EQ(resolveAgainst(folder, "SCRIPTS/SUB/DATA.TXT"), dir.filePath("Scripts/Sub/Data.TXT"));
    // A missing name keeps its spelling below the folders that exist.
    EXPECT_EQ(resolveAgainst(folder, "scripts\\none.txt"), folder + "Scripts/none.txt");
    EXPECT_EQ(resolveCaseInsensitive(dir.filePath("SCRIPTS")), dir.filePath("Scripts"));
}

TEST(Encodings, ScriptFilesAndTheAnsiCodePage)
{
    EXPECT_EQ(ansiCodePageName(), "windows-1252");
    EXPECT_EQ(decodeAnsi(QByteArray("\x80\xE9")), QString::fromUtf8("€é"));
    EXPECT_EQ(encodeAnsi(QString::fromUtf8("€é")), QByteArray("\x80\xE9"));
    EXPECT_TRUE(isValidUtf8(QByteArray("abc")));
    EXPECT_FALSE(isValidUtf8(QByteArray("a\xE9z")));
    EXPECT_EQ(decodeScriptBytes(QByteArray("\xEF\xBB\xBF") + "x"), "x");
    EXPECT_EQ(decodeScriptBytes(QByteArray("\xFE\xFF\x00\x41", 4)), "A");
    EXPECT_EQ(decodeScriptBytes(QByteArray("\xFF\xFE\x41\x00", 4)), "A");
    EXPECT_EQ(decodeScriptBytes(QString::fromUtf8("я").toUtf8()), QString::fromUtf8("я"));
    EXPECT_EQ(decodeScriptBytes(QByteArray("\xE9t\xE9")), QString::fromUtf8("été"));
}

TEST(Encodings, LegacyScriptsAreReadInTheCodePageTheirLettersBelongTo)
{
    // Windows-1251, CR LF: "Привет, мир" and a Cyrillic variable name, whatever
    // the system language (the tests run under an English one).
    const QByteArray cp1251("\xCF\xF0\xE8\xE2\xE5\xF2 = '\xEC\xE8\xF0'\r\n# "
                            "\xEA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE9 Print\r\n");
    EXPECT_EQ(legacyCodePageOf(cp1251), "windows-1251");
    EXPECT_EQ(decodeScriptBytes(cp1251), QString::fromUtf8("Привет = 'мир'\r\n# комментарий Print\r\n"));
    // Ё and ё lie outside the block of the other letters.
    EXPECT_EQ(decodeScriptBytes(QByteArray("\xA8\xEB\xEA\xE0 \xB8\xE6")), QString::fromUtf8("Ёлка ёж"));
    // Western text: accented letters inside Latin words, also in capitals.
    const QByteArray cp1252("s = 'Gr\xFC\xDF"
                            "e aus K\xF6ln, \xE9t\xE9 \xE0 Paris'\r\nPRINT('\xC9"
                            "COLE')\r\n");
    EXPECT_EQ(legacyCodePageOf(cp1252), "windows-1252");
    EXPECT_EQ(decodeScriptBytes(cp1252),
              QString::fromUtf8("s = 'Grüße aus Köln, été à Paris'\r\nPRINT('ÉCOLE')\r\n"));
    // Nothing to go by (a lone letter, quotation marks, the euro sign): 1252.
    EXPECT_EQ(decodeScriptBytes(QByteArray("a = '\xFC' + \x93x\x94 + '\x80'")),
              QString::fromUtf8("a = 'ü' + “x” + '€'"));
    // Mostly Russian with a Latin word mixed in still reads as Russian.
    EXPECT_EQ(decodeScriptBytes(QByteArray("caf\xE9 \xF1\xEB\xEE\xE2\xEE \xE8 \xE5\xF9\xB8")),
              QString::fromUtf8("cafй слово и ещё"));
    // Valid UTF-8 is never taken for a legacy text.
    const QByteArray utf8 = QString::fromUtf8("Привет = 'мир'").toUtf8();
    EXPECT_EQ(decodeScriptBytes(utf8), QString::fromUtf8("Привет = 'мир'"));
}

TEST(Encodings, BinaryFilesAreNotText)
{
    EXPECT_FALSE(looksBinary(QString()));
    EXPECT_FALSE(looksBinary(QString::fromUtf8("x = 1\r\n\ty = 'ж'\f\x1A")));
    // One NUL is enough: pictures and programs are full of them.
    EXPECT_TRUE(looksBinary(QString::fromUtf8("x = 1\r\n") + QChar(0) + "y"));
    EXPECT_TRUE(looksBinary(decodeScriptBytes(QByteArray("\x89PNG\r\n\x1A\n\x00\x00\x00\rIHDR", 16))));
    // Control characters: a few are tolerated, more than a tenth are not.
    const QString text = QString(95, QLatin1Char('a'));
    EXPECT_FALSE(looksBinary(text + QString(5, QChar(0x01))));
    EXPECT_TRUE(looksBinary(QString(85, QLatin1Char('a')) + QString(15, QChar(0x02))));
    // Undecodable bytes and C1 controls count as well.
    EXPECT_TRUE(looksBinary(QString(8, QLatin1Char('a')) + QChar(0xFFFD) + QChar(0x85)));
    // A UTF-16 text has zero bytes but no NUL character.
    QByteArray le("\xFF\xFE");
    const QString t = QString::fromUtf8("a = 'π'\r\n");
    le.append(reinterpret_cast<const char *>(t.utf16()), t.size() * 2);
    EXPECT_FALSE(looksBinary(decodeScriptBytes(le)));
}

TEST(Paths, NewNamesBelowExistingFolders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Scripts/Sub"));
    EXPECT_EQ(resolveAgainst(dir.path() + "/", "SCRIPTS\\sub\\new.txt"), dir.filePath("Scripts/Sub/new.txt"));
    EXPECT_EQ(resolveAgainst(dir.path() + "/", "scripts/none/new.txt"), dir.filePath("Scripts/none/new.txt"));
}

TEST(Encodings, CharactersTheCodePageLacksBecomeQuestionMarks)
{
    EXPECT_EQ(encodeAnsi(QString::fromUtf8("a€я€")), QByteArray("a\x80?\x80"));
    EXPECT_EQ(encodeAnsi(QString::fromUtf8("x😀y")), QByteArray("x?y"));
    EXPECT_EQ(decodeAnsi(encodeAnsi(QString::fromUtf8("Grüße"))), QString::fromUtf8("Grüße"));
}

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Read-only files in read-only folders, as an installed program has them.
void makeReadOnly(const QString &folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QStringList dirs{folder};
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileInfo().isDir())
            dirs << path;
        else
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    for (const QString &d : dirs)
        QFile::setPermissions(d, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                     QFile::ReadOther | QFile::ExeOther);
}

void makeWritable(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

// A program folder that cannot be written: the per-user folder takes its
// place, holding every bundled file (sub-folders too) in a form its owner can
// change, and the settings the program folder came with.
TEST(Paths, AReadOnlyProgramFolderIsCopiedWhole)
{
    QTemporaryDir install, user;
    const QString exe = install.path();
    writeBytes(exe + "/Scripts/AutoStart.txt", "a = 1\n");
    writeBytes(exe + "/Scripts/examples/19_pictograms.txt", "b = 2\n");
    writeBytes(exe + "/pictures/red.bmp", "BM");
    writeBytes(exe + "/guide/UserGuide.html", "<html/>");
    writeBytes(exe + "/tesmora.ini", "[MainForm]\nWidth=777\n");
    makeReadOnly(exe);
    struct Restore {
        QString folder;
        ~Restore() { makeWritable(folder); } // lets the temporary folder go
    } restore{exe};
    // The learner already changed one script in the per-user folder: it stays.
    const QString home = user.path() + "/home";
    writeBytes(home + "/Scripts/AutoStart.txt", "mine = 1\n");

    // The decision that the folder is not writable is the caller's: a test
    // run by root, who may write anywhere, still takes the per-user path.
    const QString folder = programFolderFor(exe, false, home);
    EXPECT_EQ(folder, home + "/");
    const QStringList expected{"Scripts/AutoStart.txt", "Scripts/examples/19_pictograms.txt",
                               "pictures/red.bmp", "guide/UserGuide.html", "tesmora.ini"};
    for (const QString &name : expected) {
        const QFileInfo copy(folder + name);
        ASSERT_TRUE(copy.exists()) << name.toStdString();
        EXPECT_TRUE(copy.permissions() & QFile::WriteOwner) << name.toStdString();
        EXPECT_TRUE(QFileInfo(copy.absolutePath()).permissions() & QFile::WriteOwner) << name.toStdString();
    }
    EXPECT_TRUE(QFileInfo(folder + "Temp").isDir());
    QFile mine(folder + "Scripts/AutoStart.txt");
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "mine = 1\n");
    // Settings come from the program folder's file until the learner has one.
    IniFile ini(folder + "tesmora.ini");
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.intValue("MainForm", "Width", 0), 777);
    ini.setValue("MainForm", "Width", 900);
    EXPECT_TRUE(ini.save());
    EXPECT_EQ(programFolderFor(exe, false, home), home + "/");
    IniFile again(folder + "tesmora.ini");
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.intValue("MainForm", "Width", 0), 900);

    // A writable program folder is used as it is, and nothing is copied.
    QTemporaryDir other;
    EXPECT_EQ(programFolderFor(exe, true, other.path() + "/home"), exe + "/");
    EXPECT_FALSE(QFileInfo::exists(other.path() + "/home"));
}
