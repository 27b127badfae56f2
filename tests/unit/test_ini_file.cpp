// The settings file reader/writer.
#include "platform/ini_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tesmora;

namespace {

void writeText(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(IniFile, CaseInsensitiveNamesBlanksAndBadValues)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tesmora.ini");
    writeText(path, "; written by a teacher\r\n"
                    "[mainform]\r\n"
                    "  LEFT  = 12\r\n"
                    "top=abc\r\n"
                    "State=wsMaximized \r\n"
                    "\r\n"
                    "[Edit_Font]\n"
                    "Name=DejaVu Sans Mono\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.intValue("MainForm", "Left", 0), 12);
    EXPECT_EQ(ini.intValue("MainForm", "Top", 7), 7); // not a number: the default
    EXPECT_EQ(ini.intValue("MainForm", "Width", 800), 800);
    EXPECT_EQ(ini.value("MAINFORM", "state"), "wsMaximized");
    EXPECT_EQ(ini.value("edit_font", "NAME"), "DejaVu Sans Mono");
    EXPECT_TRUE(ini.contains("MainForm", "left"));
    EXPECT_FALSE(ini.contains("MainForm", "Height"));
    EXPECT_FALSE(ini.contains("FormMemo", "Left"));
    // A comment is no key, and a key of another section is not found here.
    EXPECT_FALSE(ini.contains("MainForm", "Name"));
    EXPECT_EQ(ini.value("Nowhere", "Left", "fallback"), "fallback");

    IniFile missing(dir.filePath("none.ini"));
    EXPECT_FALSE(missing.load());
    EXPECT_EQ(missing.intValue("MainForm", "Height", 600), 600);
}

TEST(IniFile, WritingKeepsUnknownLinesAndReplacesTheFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tesmora.ini");
    writeText(path, "; class 7b\r\n"
                    "[MainForm]\r\n"
                    "left=1\r\n"
                    "Teacher=keep me\r\n"
                    "\r\n"
                    "[Lesson]\r\n"
                    "Topic=loops\r\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.load());
    ini.setValue("MAINFORM", "Left", 40);
    ini.setValue("MainForm", "Width", 900);
    ini.setValue("FormMemo", "Height", "300");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readText(path), "; class 7b\r\n"
                              "[MainForm]\r\n"
                              "left=40\r\n"
                              "Teacher=keep me\r\n"
                              "Width=900\r\n"
                              "\r\n"
                              "[Lesson]\r\n"
                              "Topic=loops\r\n"
                              "\r\n"
                              "[FormMemo]\r\n"
                              "Height=300\r\n");
    // Read back: the round trip gives the values written.
    IniFile again(path);
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.intValue("mainform", "left", 0), 40);
    EXPECT_EQ(again.intValue("FormMemo", "Height", 0), 300);
    EXPECT_EQ(again.value("Lesson", "Topic"), "loops");
    // Nothing but the settings file is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"tesmora.ini"});

    // A settings file that cannot be written (its folder is a file): save
    // fails and reports it.
    writeText(dir.filePath("plain"), "not a folder");
    IniFile blocked(dir.filePath("plain/tesmora.ini"));
    EXPECT_FALSE(blocked.load());
    blocked.setValue("MainForm", "Left", 99);
    EXPECT_FALSE(blocked.save());
    EXPECT_EQ(readText(dir.filePath("plain")), "not a folder");
}
