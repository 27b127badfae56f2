// The services an interpreter is built with reach the functions that need
// them, each may be left out, and the run limits and program settings given
// with them hold.
#include "script_host.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace tesmora;
using tesmora::test::ScriptRun;

namespace {

// Each service writes what it was asked into one shared list, in order.
struct Calls {
    QStringList list;
};

struct RecordingEngine : JavaScriptEngine {
    Calls &calls;
    explicit RecordingEngine(Calls &c) : calls(c) {}
    JavaScriptResult evaluate(const QString &source, const StopCheck &) override
    {
        calls.list << "js " + source;
        return {true, QStringLiteral("42")};
    }
};

struct RecordingGraphics : GraphicsExecutor {
    Calls &calls;
    explicit RecordingGraphics(Calls &c) : calls(c) {}
    void execute(Interpreter &, const QString &name, WordList &, TWordStatus &) override
    {
        calls.list << "graphics " + name;
    }
};

struct RecordingDialogFunctions : DialogExecutor {
    Calls &calls;
    explicit RecordingDialogFunctions(Calls &c) : calls(c) {}
    void execute(Interpreter &, const QString &name, WordList &, TWordStatus &result) override
    {
        calls.list << "dialog " + name;
        result.kind = wkString;
        result.setText(QStringLiteral("Ann"));
    }
};

struct RecordingDialogs : DialogProvider {
    Calls &calls;
    explicit RecordingDialogs(Calls &c) : calls(c) {}
    bool inputString(const QString &, const QString &, QString &) override { return false; }
    bool inputText(const QString &, const QString &, QString &) override { return false; }
    int message(const QString &, const QString &, int) override { return 1; }
    int menu(const QString &, const QStringList &, int) override { return 0; }
    bool checkQuestion(const QString &) override
    {
        calls.list << "check";
        return false; // stop the run
    }
};

struct RecordingMedia : MediaPlayer {
    Calls &calls;
    explicit RecordingMedia(Calls &c) : calls(c) {}
    qint64 play(const QString &path, QString &) override
    {
        calls.list << "play " + QFileInfo(path).fileName();
        return 0;
    }
    void stop() override { calls.list << "stop"; }
};

struct RecordingShell : ShellOpener {
    Calls &calls;
    explicit RecordingShell(Calls &c) : calls(c) {}
    bool open(const QString &path, int show, QString &) override
    {
        calls.list << QStringLiteral("open %1 %2").arg(path).arg(show);
        return true;
    }
};

const QStringList kUsesEveryService = {
    "Clean(2)",
    "s = InputString('Name?', 'Ann')",
    "Play_Sound('beep.wav', 1)",
    "ok = OS_OpenFile('https://example.org/page')",
    "Check(1, 2)",
    "after = 1",
    "stop",
};

} // namespace

TEST(InterpreterServices, EachServiceServesItsFunctionsAndEachMayBeLeftOut)
{
    QTemporaryDir home;
    QFile wav(home.filePath("beep.wav"));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write("RIFF");
    wav.close();
    const QString folder = home.path() + QLatin1Char('/');

    Calls calls;
    RecordingEngine js(calls);
    RecordingGraphics graphics(calls);
    RecordingDialogFunctions dialogFunctions(calls);
    RecordingDialogs dialogs(calls);
    RecordingMedia media(calls);
    RecordingShell shell(calls);
    const InterpreterServices every{.js = &js,
                                    .graphics = &graphics,
                                    .dialogs = &dialogFunctions,
                                    .dialogProvider = &dialogs,
                                    .media = &media,
                                    .shell = &shell};

    ScriptRun served(QStringList{"x = Eval('6*7')"} + kUsesEveryService, every);
    served.in.updateSettings([&](ProgramSettings &s) { s.programFolder = folder; });
    served.start();
    EXPECT_EQ(served.error(), "");
    ASSERT_EQ(calls.list.size(), 7) << calls.list.join(" | ").toStdString();
    EXPECT_TRUE(calls.list[0].startsWith("js ") && calls.list[0].contains("6*7"))
        << calls.list[0].toStdString();
    EXPECT_EQ(calls.list.mid(1), (QStringList{"graphics Clean", "dialog InputString", "stop", "play beep.wav",
                                              "open https://example.org/page 1", "check"}));
    EXPECT_EQ(served.var("x"), "42");
    EXPECT_EQ(served.var("s"), "Ann");
    EXPECT_EQ(served.var("ok"), "true");
    // The Check question answered "stop" ends the run before the next line.
    EXPECT_EQ(served.var("after"), "");
    // The host given beside the services is the one that was asked.
    EXPECT_FALSE(served.host.marks.isEmpty());

    // Without services the sound is silence, the document counts as opened
    // and Check goes on; graphics and dialog words fail with message 96, and
    // JavaScript with a text of its own.
    ScriptRun bare(kUsesEveryService.mid(2));
    bare.in.updateSettings([&](ProgramSettings &s) { s.programFolder = folder; });
    bare.start();
    EXPECT_EQ(bare.error(), "");
    EXPECT_EQ(bare.var("ok"), "true");
    EXPECT_EQ(bare.var("after"), "1");
    for (const QString &name : {QStringLiteral("Clean"), QStringLiteral("InputString")}) {
        ScriptRun lone({kUsesEveryService.at(name == "Clean" ? 0 : 1), "stop"});
        lone.start();
        EXPECT_TRUE(lone.error().startsWith(lone.in.MessageText(96, {name}))) << lone.error().toStdString();
    }
    ScriptRun noEngine({"x = Eval('6*7')", "stop"});
    noEngine.start();
    EXPECT_TRUE(noEngine.error().startsWith("JavaScript: no JavaScript engine is available."))
        << noEngine.error().toStdString();
    // An interpreter without any host still runs (and shows nothing).
    Interpreter hostless;
    hostless.setScriptLines({"a = 1", "stop"});
    hostless.PrepareScript();
    hostless.A_StartExecute(RunSender::StartAction);
    EXPECT_EQ(hostless.GetVariableText("a"), "1");
}

TEST(InterpreterServices, RunLimitsGivenAtConstructionEndEveryRun)
{
    const QStringList endless = {"n = 0", "repeat", "  n = n + 1", "stop"};
    ScriptRun late(endless, {}, {.deadline = 1}); // long past
    late.start();
    EXPECT_EQ(late.error(), "Run stopped: its time is over.");
    EXPECT_EQ(late.in.executedLines(), 0);

    ScriptRun counted(endless, {}, {.maxLines = 7});
    counted.start();
    EXPECT_EQ(counted.error(), "Run stopped after 7 executed lines.");
    EXPECT_EQ(counted.in.executedLines(), 7);
}

TEST(InterpreterServices, ProgramSettingsGivenAtConstructionReachEveryRunAndChangeAsOne)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString folder = home.path() + "/";
    QFile data(folder + "data.txt");
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write("from the program folder");
    data.close();

    tesmora::test::ScriptHost host;
    Interpreter in(tesmora::test::hostedBy(host), {},
                   {.programFolder = folder,
                    .language = 1,
                    .cmdLineParams = {"s.txt", "/R"},
                    .scriptFileName = {},
                    .workMode = true});
    in.setScriptLines({"t = File_ReadStr('data.txt')", "n = cmdLineParams[2]", "x = q", "stop"});
    in.PrepareScript();
    in.A_StartExecute(RunSender::StartAction);
    EXPECT_EQ(in.GetVariableText("t"), "from the program folder");
    EXPECT_EQ(in.GetVariableText("n"), "/R");
    // The Russian column of the catalogue, and the error shown in a box (working mode).
    ASSERT_EQ(host.errors.size(), 1);
    EXPECT_TRUE(host.errors[0].startsWith(in.MessageText(76, {"q"}))) << host.errors[0].toStdString();
    EXPECT_NE(in.MessageText(76, {"q"}), Interpreter().MessageText(76, {"q"}));

    // Applying settings replaces all of them: no parameters, English, edit
    // mode, which Start leaves for working mode.
    in.applySettings(ProgramSettings{folder, 0, {}, {}, false});
    EXPECT_EQ(in.settings().cmdLineParams, QStringList());
    EXPECT_EQ(in.language(), 0);
    EXPECT_FALSE(in.workMode());
    in.A_StartExecute(RunSender::StartAction);
    EXPECT_TRUE(in.workMode());
    EXPECT_EQ(in.FindArray("cmdLineParams"), 0);
    ASSERT_EQ(host.errors.size(), 2);
    EXPECT_TRUE(host.errors[1].startsWith(Interpreter().MessageText(76, {"cmdLineParams"})))
        << host.errors[1].toStdString();
}
