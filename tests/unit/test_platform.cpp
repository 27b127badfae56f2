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
    // A missing name stays as written (normalized).
    EXPECT_EQ(resolveAgainst(folder, "scripts\\none.txt"), folder + "scripts/none.txt");
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
