#include "platform/encodings.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
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
