#include "core/interpreter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tesmora;

namespace {

struct EditorHost : Host {
    QStringList editorText;
    QString caption;
    bool readOnly = false;
    int wordRebuilds = 0;
    int workModeActions = 0;
    QStringList shown;
    void setEditorText(const QStringList &lines) override { editorText = lines; }
    void setEditorReadOnly(bool ro) override { readOnly = ro; }
    void rebuildHighlighterWords() override { ++wordRebuilds; }
    void setWorkModeActions() override { ++workModeActions; }
    void setCaption(const QString &c) override { caption = c; }
    void showMessageNow(const QString &t) override { shown << t; }
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList prepared(const QStringList &lines)
{
    Interpreter in;
    in.setScriptLines(lines);
    in.PrepareScript();
    return in.scriptLines();
}

} // namespace

TEST(Preparation, CommentRemoval)
{
    EXPECT_EQ(Interpreter::StripComment("x = 'a#b'"), "x = 'a#b'");
    EXPECT_EQ(Interpreter::StripComment("x = \"a#b\""), "x = \"a");
    EXPECT_EQ(Interpreter::StripComment("x = 1   # note"), "x = 1");
    EXPECT_EQ(Interpreter::StripComment("x = 1; y"), "x = 1");
    EXPECT_EQ(Interpreter::StripComment("# only"), "");
    EXPECT_EQ(Interpreter::StripComment("  ;"), "");
    EXPECT_EQ(Interpreter::StripComment("a = 'it''s' # c"), "a = 'it''s'");
    EXPECT_EQ(Interpreter::StripComment("a = 'open # c"), "a = 'open # c");
    EXPECT_EQ(Interpreter::StripComment("plain"), "plain");
}

TEST(Preparation, IndentsContinuationsAndLineStarts)
{
    Interpreter in;
    in.setScriptLines({"x = 1", "  > + 2", "", "# c", "if x > 0", "  y = 2 # c", "   z", "  >", "stop"});
    in.ComputeIndents();
    EXPECT_EQ(in.lineIndent(0), 0);
    EXPECT_EQ(in.lineIndent(1), -1);
    EXPECT_EQ(in.lineIndent(2), -1);
    EXPECT_EQ(in.lineIndent(3), -1);
    EXPECT_EQ(in.lineIndent(5), 2);
    EXPECT_EQ(in.lineIndent(6), 3);
    EXPECT_EQ(in.lineIndent(7), -1);
    EXPECT_EQ(in.lineIndent(9), 0);
    in.moveToLine(0);
    EXPECT_EQ(in.JoinContinuationLines(), "x = 1 + 2");

    in.setScriptLines({"s = 'a' # first", "", "# between", "> + 'b' # c", " > + 'c'", "t = 1"});
    in.moveToLine(0);
    EXPECT_EQ(in.JoinContinuationLines(), "s = 'a' + 'b' + 'c'");
    // A continuation may stand on the last line.
    in.setScriptLines({"return 1", "> + 1"});
    EXPECT_EQ(in.JoinContinuationLines(), "return 1 + 1");

    in.setScriptLines({"ab", "", "cde"});
    in.ComputeLineStarts();
    EXPECT_EQ(in.lineStart(0), 0);
    EXPECT_EQ(in.lineStart(1), 4);
    EXPECT_EQ(in.lineStart(2), 6);
    EXPECT_EQ(in.lineStart(3), 0);
}

TEST(Preparation, StopInsertion)
{
    EXPECT_EQ(prepared({"x = 1", "y = 2"}), QStringList({"x = 1", "y = 2", "stop"}));
    EXPECT_EQ(prepared({"x = 1", "Stop"}), QStringList({"x = 1", "Stop"}));
    EXPECT_EQ(prepared({"x = 1", "  STOP # end"}), QStringList({"x = 1", "  STOP # end"}));
    EXPECT_EQ(prepared({"stop"}), QStringList({"stop"}));
    EXPECT_EQ(prepared({"x=1"}), QStringList({"x=1", "stop"}));
    EXPECT_EQ(prepared({""}), QStringList({""}));
    // With functions, stop goes right after the main program's last statement.
    EXPECT_EQ(prepared({"x = 1", "y = 2", "", "", "function f(_a)", "  return _a"}),
              QStringList({"x = 1", "y = 2", "stop", "", "", "function f(_a)", "  return _a"}));
    // A comment-only line does not count as a statement.
    EXPECT_EQ(prepared({"x = 1", "# note", "", "function f()", "  return 1"}),
              QStringList({"x = 1", "stop", "# note", "", "function f()", "  return 1"}));
    // Only blank lines before the first function: stop becomes line 0.
    EXPECT_EQ(prepared({"", "", "function f()", "  return 1"}),
              QStringList({"stop", "", "", "function f()", "  return 1"}));
    // A function line without a name still ends the main program.
    EXPECT_EQ(prepared({"a = 1", "b = 2", "function (a)", "  return 1"}),
              QStringList({"a = 1", "b = 2", "stop", "function (a)", "  return 1"}));
    // Trailing blank lines go; a trailing comment-only line stays.
    EXPECT_EQ(prepared({"x = 1", "# end", "", "  "}), QStringList({"x = 1", "stop", "# end"}));
}

TEST(Preparation, FunctionTableAndEditorSteps)
{
    EditorHost host;
    Interpreter in({.host = &host});
    in.setScriptLines({"x = f(1)", "stop", "Function  Sum2 (_a, _b) # adds", "  return _a + _b",
                       "function (bad)", "FUNCTION g()", "  return 0"});
    in.PrepareScript();
    EXPECT_EQ(in.scriptFunctionNames(), QStringList({"SUM2", "G"}));
    EXPECT_EQ(in.scriptFunctionHeaders(), QStringList({"Function  Sum2 (_a, _b) # adds", "FUNCTION g()"}));
    EXPECT_EQ(host.editorText, in.scriptLines());
    EXPECT_TRUE(host.readOnly);
    EXPECT_EQ(host.wordRebuilds, 1);
    EXPECT_EQ(host.workModeActions, 1);
    EXPECT_EQ(in.lineIndent(3), 2);
}

TEST(Preparation, LineLimitIsShownAtOnce)
{
    EditorHost host;
    Interpreter in({.host = &host});
    QStringList lines;
    for (int i = 0; i < 1005; ++i)
        lines << QStringLiteral("x = %1").arg(i);
    in.setScriptLines(lines);
    in.PrepareScript();
    ASSERT_EQ(host.shown.size(), 1);
    EXPECT_EQ(host.shown[0], "Script is too long. The number of lines of the script can't exceed 1000.'");
    // 1000 lines plus the inserted stop.
    EXPECT_EQ(in.scriptLines().size(), 1001);
    EXPECT_EQ(in.scriptLines().last(), "stop");
    EXPECT_TRUE(in.errorText().isEmpty());
    EXPECT_EQ(in.lineIndent(1000), 0);
}

TEST(Loading, EncodingsTabsAndMissingFiles)
{
    QTemporaryDir dir;
    EditorHost host;
    Interpreter in({.host = &host});
    in.updateSettings([&](ProgramSettings &s) { s.programFolder = dir.path() + "/"; });

    const QString bom = dir.filePath("bom.txt");
    writeFile(bom, QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("x = 'привет'\r\n\tif x\r\n").toUtf8());
    in.LoadScript(bom);
    EXPECT_TRUE(in.errorText().isEmpty());
    EXPECT_EQ(in.scriptLines(), QStringList({QString::fromUtf8("x = 'привет'"), "  if x"}));
    EXPECT_EQ(host.caption, "Tesmora   " + bom);
    EXPECT_EQ(in.scriptFileName(), bom);

    const QString utf16 = dir.filePath("utf16.txt");
    QByteArray le("\xFF\xFE");
    const QString t = QString::fromUtf8("a = 'π'\nb = 2");
    le.append(reinterpret_cast<const char *>(t.utf16()), t.size() * 2);
    writeFile(utf16, le);
    in.LoadScript(utf16);
    EXPECT_EQ(in.scriptLines(), QStringList({QString::fromUtf8("a = 'π'"), "b = 2"}));

    const QString plain = dir.filePath("plain.txt");
    writeFile(plain, QString::fromUtf8("s = 'ü'\n").toUtf8());
    in.LoadScript(plain);
    EXPECT_EQ(in.scriptLines(), QStringList({QString::fromUtf8("s = 'ü'")}));

    // Bytes that are not UTF-8 are read in the ANSI code page (1252 here).
    const QString ansi = dir.filePath("ansi.txt");
    writeFile(ansi, QByteArray("s = '\xFC'\r"));
    in.LoadScript(ansi);
    EXPECT_EQ(in.scriptLines(), QStringList({QString::fromUtf8("s = 'ü'")}));

    // A file that is not text is refused with message 367, like a missing one.
    const QString picture = dir.filePath("picture.txt");
    writeFile(picture, QByteArray("\x89PNG\r\n\x1A\n\x00\x00\x00\rIHDR", 16));
    QStringList untouched{"kept"};
    EXPECT_EQ(Interpreter::readScriptFile(picture, untouched), Interpreter::FileRead::NotText);
    EXPECT_EQ(untouched, QStringList({"kept"}));
    EXPECT_EQ(Interpreter::readScriptFile(dir.filePath("none.txt"), untouched),
              Interpreter::FileRead::Unreadable);
    in.LoadScript(picture);
    EXPECT_EQ(in.takeError(),
              "The file \"" + picture +
                  "\" is not a text file (it may be a picture, a document or a program), so it "
                  "cannot be loaded as a script.\r\rLine 0.");
    EXPECT_EQ(in.scriptLines(), QStringList({""}));
    EXPECT_TRUE(in.scriptFileName().isEmpty());

    const QString empty = dir.filePath("empty.txt");
    writeFile(empty, QByteArray());
    in.LoadScript(empty);
    EXPECT_EQ(in.scriptLines(), QStringList({""}));

    in.LoadScript(dir.filePath("missing.txt"));
    EXPECT_EQ(in.errorText(),
              "Invalid file name \"" + dir.filePath("missing.txt") + "\" or no access.\r\rLine 0.");
    EXPECT_EQ(in.scriptLines(), QStringList({""}));
    EXPECT_TRUE(in.scriptFileName().isEmpty());
    EXPECT_EQ(host.caption, "Tesmora   ");
    in.takeError();
    in.LoadScript("");
    EXPECT_TRUE(in.errorText().isEmpty());
    EXPECT_EQ(in.scriptLines(), QStringList({""}));
}

TEST(Loading, IncludeExpansion)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Scripts/lib"));
    Interpreter in;
    in.updateSettings([&](ProgramSettings &s) { s.programFolder = dir.path() + "/"; });
    writeFile(dir.filePath("Scripts/lib.txt"), "function f(_a)\n  return _a * 2\n# include inner.txt\n");
    writeFile(dir.filePath("Scripts/Inner.TXT"), "function g()\n  return 1\n");
    writeFile(dir.filePath("Scripts/self.txt"), "a = 1\n# include self.txt\n");
    writeFile(dir.filePath("Scripts/lib/deep.txt"), "deep = 1\n");

    const QString main = dir.filePath("main.txt");
    writeFile(main, "x = f(2)\n# include lib.txt\n");
    in.LoadScript(main);
    ASSERT_TRUE(in.errorText().isEmpty()) << in.errorText().toStdString();
    const QStringList expected = {"x = f(2)",        "# include lib.txt",      "function f(_a)",
                                  "  return _a * 2", "# include inner.txt",    "function g()",
                                  "  return 1",      "#END INCLUDE INNER.TXT", "#END INCLUDE LIB.TXT"};
    EXPECT_EQ(in.scriptLines(), expected);
    // Expanding again changes nothing.
    in.ExpandIncludes();
    EXPECT_EQ(in.scriptLines(), expected);
    in.PrepareScript();
    in.ExpandIncludes();
    EXPECT_EQ(in.scriptLines().mid(in.scriptLines().size() - 2),
              QStringList({"#END INCLUDE INNER.TXT", "#END INCLUDE LIB.TXT"}));

    // A file that includes itself is expanded once.
    in.setScriptLines({"; INCLUDE self.txt", "b = 2"});
    in.ExpandIncludes();
    EXPECT_EQ(in.scriptLines(), QStringList({"; INCLUDE self.txt", "a = 1", "# include self.txt",
                                             "#END INCLUDE SELF.TXT", "b = 2"}));

    // Backslashes separate folders; names resolve case-insensitively.
    in.setScriptLines({"#include scripts\\LIB\\DEEP.txt", "y = 1"});
    in.ExpandIncludes();
    EXPECT_TRUE(in.errorText().isEmpty()) << in.errorText().toStdString();
    EXPECT_EQ(in.scriptLines(), QStringList({"#include scripts\\LIB\\DEEP.txt", "deep = 1",
                                             "#END INCLUDE SCRIPTS\\LIB\\DEEP.TXT", "y = 1"}));

    // A missing file stops the expansion with message 170 and the upper-cased name.
    in.setScriptLines({"# include nothere.txt", "# include lib.txt", "z = 1"});
    in.ExpandIncludes();
    EXPECT_EQ(in.errorText(), "Invalid file name \"NOTHERE.TXT\" or no access.\r\rLine 0.");
    EXPECT_EQ(in.scriptLines(), QStringList({"# include nothere.txt", "# include lib.txt", "z = 1"}));
    in.takeError();
    // Not a directive: text before the comment sign, or another first word.
    in.setScriptLines({"x = 1 # include lib.txt", "# see include lib.txt", "z = 1"});
    in.ExpandIncludes();
    EXPECT_EQ(in.scriptLines().size(), 3);
}
