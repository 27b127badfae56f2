// Operating-system functions: Sleep, OS_OpenFile, ScanDir, Play_Sound and
// Exit, run from small scripts against recording hosts, a recording shell and
// media player, and the Qt media adapter itself.
#include "builtin_calls.h"
#include "core/interpreter.h"
#include "core/message_catalogue.h"
#include "library/builtin_families.h"
#include "library/builtins.h"
#include "library/function_tables.h"
#include "platform/media_player.h"
#include "platform/shell_opener.h"
#include "script_host.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <memory>

using namespace tesmora;
using tesmora::test::msg;
using tesmora::test::ScriptHost;
using tesmora::test::ScriptRun;

namespace {

// The media adapter and the event processing need an application object.
[[maybe_unused]] ::testing::Environment *const kApplication =
    tesmora::test::addApplicationEnvironment("test_builtins_os");

// Records the status panels and answers the Pause key from a countdown.
struct OsHost : ScriptHost {
    QList<QPair<int, QString>> panels;
    int closeRequests = 0;
    // The Pause key is down from the Nth processEvents call on (-1: never).
    int pauseKeyFromEvents = -1;
    void setStatusPanel(int panel, const QString &text) override { panels.append({panel, text}); }
    void closeMainWindow() override { ++closeRequests; }
    bool pauseKeyDown() const override
    {
        return pauseKey || (pauseKeyFromEvents >= 0 && processEventsCalls >= pauseKeyFromEvents);
    }
};

struct OsRun {
    OsHost host;
    Interpreter in;
    OsRun(const QStringList &lines, const QString &programFolder, const InterpreterServices &services = {})
        : in(hostedBy(host, services))
    {
        in.setScriptLines(lines + QStringList{QStringLiteral("stop")});
        in.PrepareScript();
        in.updateSettings([&](ProgramSettings &s) {
            s.workMode = true;
            s.programFolder = programFolder;
        });
    }
    void start() { in.A_StartExecute(RunSender::StartAction); }
    QString var(const QString &name) const { return in.GetVariableText(name); }
    bool has(const QString &name) const { return in.FindVariable(name) >= 0; }
    QString error() const { return host.errors.isEmpty() ? QString() : host.errors.last(); }
    const t_arr_specification *array(const QString &name) const
    {
        const int n = in.FindArray(name);
        return n > 0 ? &in.arrays().at(n) : nullptr;
    }
    QStringList strings(const QString &name) const
    {
        QStringList out;
        if (const t_arr_specification *a = array(name); a && a->data_type == wkString)
            for (const QString &s : a->P->s)
                out << s;
        return out;
    }
    std::vector<int> dims(const QString &name) const
    {
        const t_arr_specification *a = array(name);
        if (!a)
            return {};
        return {a->dim[0], a->dim[1], a->dim[2], a->dim[3]};
    }
};

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

// A PCM WAV recording: 16-bit mono at `rate` samples per second, `ms` long.
QByteArray makeWav(int ms, int rate = 8000)
{
    const quint32 samples = static_cast<quint32>(rate) * static_cast<quint32>(ms) / 1000;
    const quint32 dataBytes = samples * 2;
    QByteArray out;
    auto u32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian<quint32>(v, b);
        out.append(b, 4);
    };
    auto u16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian<quint16>(v, b);
        out.append(b, 2);
    };
    out += "RIFF";
    u32(36 + dataBytes);
    out += "WAVEfmt ";
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(static_cast<quint32>(rate));
    u32(static_cast<quint32>(rate) * 2); // bytes per second
    u16(2);                              // bytes per frame
    u16(16);                             // bits per sample
    out += "data";
    u32(dataBytes);
    for (quint32 k = 0; k < samples; ++k)
        u16(static_cast<quint16>((k / 10) % 2 ? 3000 : -3000)); // a quiet square wave
    return out;
}

// A shell that records what it was asked to open and answers as told.
struct RecordingShell : ShellOpener {
    QStringList paths;
    QList<int> shows;
    bool answer = true;
    QString error;
    bool open(const QString &path, int show, QString &err) override
    {
        paths << path;
        shows << show;
        err = error;
        return answer;
    }
};

// A media player that records its calls and reports a chosen length.
struct RecordingPlayer : MediaPlayer {
    QStringList calls;
    qint64 length = 0;
    QString error;
    qint64 play(const QString &path, QString &err) override
    {
        calls << "play " + QFileInfo(path).fileName();
        err = error;
        return error.isEmpty() ? length : -1;
    }
    void stop() override { calls << "stop"; }
};

} // namespace

// ---- Sleep --------------------------------------------------------------------------

TEST(OsSleep, ShowsTheRunTimeAfterEverySlice)
{
    QTemporaryDir dir;
    OsRun r({"a = 1", "Sleep(0.02)", "b = 2", "Sleep(0)", "Sleep(-3)", "OS_Sleep(1.5)", "c = 3"},
            dir.path() + "/");
    r.start();
    ASSERT_EQ(r.error(), "");
    EXPECT_EQ(r.var("c"), "3");
    // One slice for 0.02 s, for 0 s and for a negative time; two slices of
    // 750 ms for 1.5 s. Panel 5 shows the time since the run started.
    ASSERT_EQ(r.host.panels.size(), 5);
    for (const auto &p : r.host.panels) {
        EXPECT_EQ(p.first, 5);
        EXPECT_TRUE(p.second.contains(QRegularExpression("^time \\d\\d:\\d\\d$"))) << p.second.toStdString();
    }
    // The Sleep lines are marked in the editor.
    EXPECT_TRUE(r.host.marks.contains(1));
    EXPECT_TRUE(r.host.marks.contains(5));
    // The window kept processing its events while waiting.
    EXPECT_GT(r.host.processEventsCalls, 10);
}

TEST(OsSleep, TheElapsedTimeIsMinutesAndSeconds)
{
    OsHost host;
    Interpreter in({.host = &host});
    WordList args;
    args[0].kind = wkFloat;
    args[0].setText("0");
    TWordStatus result;
    // Half a second of margin: the call itself takes far less.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (const qint64 ago : {qint64(125500), qint64((3600 + 61) * 1000 + 500), qint64(500)}) {
        in.startRunClock(now - ago);
        in.ExecuteEmbeddedFunction(builtinRegistry().find("Sleep"), "Sleep", args, result);
    }
    ASSERT_EQ(in.errorText(), "");
    EXPECT_EQ(result.kind, wkNone);
    ASSERT_EQ(host.panels.size(), 3);
    EXPECT_EQ(host.panels.at(0), qMakePair(5, QString("time 02:05")));
    // Past an hour the minutes start again from 00.
    EXPECT_EQ(host.panels.at(1), qMakePair(5, QString("time 01:01")));
    EXPECT_EQ(host.panels.at(2), qMakePair(5, QString("time 00:00")));
}

TEST(OsSleep, PauseEndsTheWait)
{
    QTemporaryDir dir;
    // The Pause key is down while Sleep waits: the remaining slices are
    // skipped, the run pauses and the next line does not run.
    OsRun k({"a = 1", "Sleep(30)", "b = 2"}, dir.path() + "/");
    k.host.pauseKeyFromEvents = 2;
    k.start();
    EXPECT_EQ(k.error(), "");
    EXPECT_EQ(k.var("a"), "1");
    EXPECT_FALSE(k.has("b"));
    EXPECT_EQ(k.in.runState(), rn_Stopped);
    EXPECT_EQ(k.host.panels.size(), 1);

    // The Pause action (a toolbar button handled among the window's events)
    // ends the wait as well.
    OsRun p({"a = 1", "Sleep(30)", "b = 2"}, dir.path() + "/");
    p.host.pauseTarget = &p.in;
    p.host.pauseAtEvents = 3;
    p.start();
    EXPECT_EQ(p.error(), "");
    EXPECT_FALSE(p.has("b"));
    EXPECT_EQ(p.host.panels.size(), 1);

    // Sleep is refused a text.
    OsRun t({"Sleep('1')"}, dir.path() + "/");
    t.start();
    EXPECT_EQ(t.error(), QStringLiteral("Function \"Sleep\". Parameter № 1 must be \"float\". \r\rLine 0."));
}

// ---- OS_OpenFile -----------------------------------------------------------------

TEST(OsOpenFile, ChecksExistenceThenAsksTheShell)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/";
    QDir(dir.path()).mkdir("Docs");
    writeFile(home + "Docs/Note.txt", "n");
    writeFile(home + "a.txt", "a");
    RecordingShell shell;
    OsRun r({"x = OS_OpenFile('a.txt')", "y = OpenFileByOS('docs\\note.TXT', 3)",
             "z = OS_OpenFile('https://example.org/page')"},
            home, {.shell = &shell});
    r.start();
    ASSERT_EQ(r.error(), "");
    EXPECT_EQ(r.var("x"), "true");
    EXPECT_EQ(r.in.variables().at(r.in.FindVariable("x")).kind, wkBool);
    EXPECT_EQ(r.var("y"), "true");
    // Relative names lie in the program folder and are found whatever their case.
    EXPECT_EQ(shell.paths, (QStringList{home + "a.txt", home + "Docs/Note.txt", "https://example.org/page"}));
    EXPECT_EQ(shell.shows, (QList<int>{1, 3, 1}));

    // Missing files and folders are reported before the shell is asked.
    shell.paths.clear();
    auto errorOf = [&](const QString &line, ShellOpener *opener) {
        OsRun e({line}, home, {.shell = opener});
        e.start();
        return e.error();
    };
    EXPECT_EQ(errorOf("x = OS_OpenFile('missing.txt')", &shell), msg(192, {}, 0));
    EXPECT_EQ(errorOf("x = OS_OpenFile('nofolder/missing.txt')", &shell), msg(193, {}, 0));
    EXPECT_TRUE(shell.paths.isEmpty());

    // The shell's failures through the table of result codes.
    shell.answer = false;
    const QList<QPair<QString, int>> codes = {{"", 201},   {"31", 201}, {"2", 192},  {"3", 193},  {"5", 195},
                                              {"0", 191},  {"8", 202},  {"11", 194}, {"26", 203}, {"27", 196},
                                              {"28", 199}, {"29", 198}, {"30", 197}, {"32", 200}};
    for (const auto &c : codes) {
        shell.error = c.first;
        EXPECT_EQ(errorOf("x = OS_OpenFile('a.txt')", &shell), msg(c.second, {}, 0)) << c.first.toStdString();
    }
    shell.error = "99";
    EXPECT_EQ(errorOf("x = OS_OpenFile('a.txt')", &shell), msg(204, {99}, 0));
    shell.error = "The desktop is busy.";
    EXPECT_EQ(errorOf("x = OS_OpenFile('a.txt')", &shell), "The desktop is busy.\r\rLine 0.");

    // Without a shell (the headless runner) an existing file counts as opened.
    OsRun n({"x = OS_OpenFile('a.txt')"}, home);
    n.start();
    EXPECT_EQ(n.error(), "");
    EXPECT_EQ(n.var("x"), "true");

    // The Qt shell needs the graphical application, which this test has not.
    QtShellOpener qtShell;
    EXPECT_EQ(errorOf("x = OS_OpenFile('a.txt')", &qtShell),
              "Opening documents needs the graphical environment.\r\rLine 0.");
}

// ---- ScanDir -----------------------------------------------------------------------

class OsScanDir : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString home;
    void SetUp() override
    {
        home = dir.path() + "/";
        QDir d(dir.path());
        d.mkpath("List/sub");
        d.mkpath("List/Sub2.d");
        d.mkpath("Empty");
        for (const char *name : {"a.txt", "B.TXT", "c.dat", "noext", ".hidden", "abc", "aXc", "ac", "abbc",
                                 "x.txt.bak", "a.b.txt"})
            writeFile(home + "List/" + name, name);
        writeFile(home + "List/sub/inner.txt", "i");
    }
    // The names ScanDir lists for `args` (after the folder), sorted as given.
    QStringList scan(const QString &args, const QString &folder = "'List'")
    {
        OsRun r({"v = ScanDir(" + folder + args + ")"}, home);
        r.start();
        EXPECT_EQ(r.error(), "") << args.toStdString();
        return r.strings("v");
    }
};

TEST_F(OsScanDir, MasksFollowTheWindowsRules)
{
    // '*.*' matches every file, with or without a dot, dot-files included.
    const QStringList all = {".hidden", "a.b.txt", "a.txt", "abbc",  "abc",      "ac",
                             "aXc",     "B.TXT",   "c.dat", "noext", "x.txt.bak"};
    EXPECT_EQ(scan(""), all);
    EXPECT_EQ(scan(", '*.*'"), all);
    EXPECT_EQ(scan(", '*'"), all);
    // Letters compare without regard to case.
    EXPECT_EQ(scan(", '*.txt'"), (QStringList{"a.b.txt", "a.txt", "B.TXT"}));
    EXPECT_EQ(scan(", '*.TXT'"), (QStringList{"a.b.txt", "a.txt", "B.TXT"}));
    // '?' stands for one character.
    EXPECT_EQ(scan(", 'a?c'"), (QStringList{"abc", "aXc"}));
    EXPECT_EQ(scan(", 'A?C'"), (QStringList{"abc", "aXc"}));
    // ... or for none at the end of a name.
    EXPECT_EQ(scan(", 'a\?\?'"), (QStringList{"abc", "ac", "aXc"}));
    // '*.' lists the names without an extension; 'name.*' also the bare name.
    EXPECT_EQ(scan(", '*.'"), (QStringList{"abbc", "abc", "ac", "aXc", "noext"}));
    EXPECT_EQ(scan(", 'noext.*'"), (QStringList{"noext"}));
    EXPECT_EQ(scan(", '.*'"), (QStringList{".hidden"}));
    EXPECT_EQ(scan(", 'c.dat'"), (QStringList{"c.dat"}));
    EXPECT_EQ(scan(", '*.bak'"), (QStringList{"x.txt.bak"}));
    EXPECT_EQ(scan(", 'nothing*'"), QStringList{});
    // The model may carry a folder of its own.
    EXPECT_EQ(scan(", 'sub\\*.txt'"), (QStringList{"inner.txt"}));
}

TEST_F(OsScanDir, FoldersTimesAndEmptyResults)
{
    // Filter 1 lists folders, other filters nothing.
    EXPECT_EQ(scan(", '*.*', 1"), (QStringList{"sub", "Sub2.d"}));
    EXPECT_EQ(scan(", '*.d', 1"), (QStringList{"Sub2.d"}));
    EXPECT_EQ(scan(", '*.*', 2"), QStringList{});
    // The folder is found whatever its case, with "\" or "/" and a trailing separator.
    EXPECT_EQ(scan(", '*.txt'", "'list\\'"), (QStringList{"a.b.txt", "a.txt", "B.TXT"}));
    EXPECT_EQ(scan(", '*.txt'", "'  LIST/SUB  '"), (QStringList{"inner.txt"}));
    EXPECT_EQ(scan("", "'" + home + "List/sub'"), (QStringList{"inner.txt"}));
    // An empty folder name is the program folder.
    EXPECT_EQ(scan(", '*', 1", "''"), (QStringList{"Empty", "List"}));

    // With ShowTime a second column holds the time of the last change.
    const QDateTime when(QDate(2021, 3, 4), QTime(5, 6, 7));
    QFile c(home + "List/c.dat");
    ASSERT_TRUE(c.open(QIODevice::ReadWrite));
    ASSERT_TRUE(c.setFileTime(when, QFileDevice::FileModificationTime));
    c.close();
    OsRun t({"v = ScanDir('List', 'c.*', 0, 1)", "n = Array_Length(v)", "d2 = Dim2(v)", "name = v[1,1]",
             "time = v[1,2]"},
            home);
    t.start();
    ASSERT_EQ(t.error(), "");
    EXPECT_EQ(t.dims("v"), (std::vector<int>{1, 2, 0, 0}));
    EXPECT_EQ(t.var("name"), "c.dat");
    EXPECT_EQ(t.var("time"), "2021.03.04 05:06:07");

    // Nothing matches: dimension 0 in either form; a missing folder lists nothing.
    OsRun e({"v = ScanDir('Empty')", "n = Array_Length(v)", "w = ScanDir('Empty', '*.*', 0, 1)",
             "m = Dim1(w)", "k = Dim2(w)", "g = ScanDir('NoSuchFolder')"},
            home);
    e.start();
    ASSERT_EQ(e.error(), "");
    EXPECT_EQ(e.var("n"), "0");
    EXPECT_EQ(e.dims("v"), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(e.var("m"), "0");
    EXPECT_EQ(e.var("k"), "2");
    EXPECT_EQ(e.dims("g"), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(OsScanDir, TheListingIsNoTemporaryArray)
{
    // A listing used without being assigned stays, under its DIR name.
    OsRun r({"n = Array_Length(ScanDir('List', '*.txt'))", "x = 1"}, home);
    r.start();
    ASSERT_EQ(r.error(), "");
    EXPECT_EQ(r.var("n"), "3");
    ASSERT_EQ(r.in.arrays().count(), 1);
    const t_arr_specification &a = r.in.arrays().at(1);
    // "DIR" and the time yymmddhhnnsszzz.
    EXPECT_TRUE(a.name.contains(QRegularExpression("^DIR\\d{15}$"))) << a.name.toStdString();
    EXPECT_EQ(a.data_type, wkString);
    EXPECT_EQ(a.count, 3);
}

// ---- Play_Sound --------------------------------------------------------------------

TEST(OsPlaySound, ChecksTheFileThenPlaysThroughTheMediaPlayer)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/";
    writeFile(home + "beep.wav", makeWav(40));
    writeFile(home + "Tune.MP3", "not really mp3");
    writeFile(home + "music.ogg", "o");
    writeFile(home + "wav", "w");
    RecordingPlayer player;
    player.length = 30;
    OsRun r(
        {"Play_Sound('beep.wav')", "Play_Sound('  tune.mp3  ', 1)", "OS_PlaySound('BEEP.WAV', 0)", "x = 1"},
        home, {.media = &player});
    r.start();
    ASSERT_EQ(r.error(), "");
    // Each sound stops the previous one; a waited-for sound is closed after it.
    EXPECT_EQ(player.calls, (QStringList{"stop", "play beep.wav", "stop", "stop", "play Tune.MP3", "stop",
                                         "play beep.wav", "stop"}));
    EXPECT_TRUE(r.host.marks.contains(0));

    auto errorOf = [&](const QString &line, MediaPlayer *media) {
        OsRun e({line}, home, {.media = media});
        e.start();
        return e.error();
    };
    EXPECT_EQ(errorOf("Play_Sound('missing.wav')", &player), msg(170, {home + "missing.wav"}, 0));
    EXPECT_EQ(errorOf("Play_Sound('music.ogg')", &player), msg(172, {home + "music.ogg"}, 0));
    EXPECT_EQ(errorOf("Play_Sound('wav')", &player), msg(172, {home + "wav"}, 0));
    // Without a media player every sound is silence.
    EXPECT_EQ(errorOf("Play_Sound('beep.wav')", nullptr), "");
    EXPECT_EQ(errorOf("Play_Sound('missing.wav')", nullptr), msg(170, {home + "missing.wav"}, 0));
    // A recording the player cannot play stops the script with the player's text.
    player.error = "The recording is damaged.";
    EXPECT_EQ(errorOf("Play_Sound('beep.wav')", &player), "The recording is damaged.\r\rLine 0.");
}

TEST(OsPlaySound, PauseEndsAWaitedSound)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/";
    writeFile(home + "long.wav", makeWav(40));
    RecordingPlayer player;
    player.length = 60000;
    OsRun r({"Play_Sound('long.wav')", "after = 1"}, home, {.media = &player});
    r.host.pauseKeyFromEvents = 2;
    r.start();
    EXPECT_EQ(r.error(), "");
    EXPECT_FALSE(r.has("after"));
    EXPECT_EQ(r.in.runState(), rn_Stopped);
    EXPECT_EQ(player.calls.last(), "stop");
}

TEST(OsMediaAdapter, PlaysARealRecordingOrStaysSilent)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/";
    writeFile(home + "tone.wav", makeWav(250));
    writeFile(home + "broken.wav", "RIFF1234WAVEjunk");

    qint64 ms = 0;
    ASSERT_TRUE(wavLengthMs(home + "tone.wav", ms));
    EXPECT_EQ(ms, 250);
    EXPECT_FALSE(wavLengthMs(home + "broken.wav", ms));

    QtMediaPlayer player;
    QString error;
    // The length comes from the recording, whether or not a device plays it.
    EXPECT_EQ(player.play(home + "tone.wav", error), 250);
    EXPECT_EQ(error, "");
    player.stop();
    EXPECT_EQ(player.play(home + "broken.wav", error), -1);
    EXPECT_FALSE(error.isEmpty());

    // The back end itself, also where no output device is listed: a real
    // recording plays, a file that is no recording is refused with the
    // back end's text; neither crashes.
    QtMediaPlayer backend(false);
    EXPECT_EQ(backend.play(home + "tone.wav", error), 250);
    EXPECT_EQ(error, "");
    writeFile(home + "noise.mp3", QByteArray(3000, 'z'));
    const qint64 mp3 = backend.play(home + "noise.mp3", error);
    if (QtMediaPlayer::backendAvailable()) {
        EXPECT_EQ(mp3, -1);
        EXPECT_FALSE(error.isEmpty());
    } else {
        EXPECT_EQ(mp3, 0);
    }
    EXPECT_EQ(backend.play(home + "tone.wav", error), 250);
    backend.stop();

    // Played from a script: the run waits for the recording and goes on.
    OsRun r({"Play_Sound('tone.wav')", "Play_Sound('tone.wav', 1)", "after = 1"}, home, {.media = &player});
    r.start();
    EXPECT_EQ(r.error(), "");
    EXPECT_EQ(r.var("after"), "1");
    player.stop();
}

// ---- Exit --------------------------------------------------------------------------

TEST(OsExit, EndsTheRunAndAsksTheWindowToClose)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/";
    OsRun r({"a = 1", "Exit()", "b = 2"}, home);
    r.start();
    EXPECT_EQ(r.error(), "");
    EXPECT_EQ(r.var("a"), "1");
    EXPECT_FALSE(r.has("b"));
    EXPECT_TRUE(r.in.exitRequested());
    EXPECT_EQ(r.in.runState(), rn_Stopped);
    EXPECT_EQ(r.host.closeRequests, 1);

    // Inside a loop and a script function the lines after Exit do not run either.
    OsRun f({"FOR i = 1, 5", "  last = i", "  IF i = 2", "    x = quit(i)", "done = 1", "stop",
             "FUNCTION quit(_n)", "  _m = _n + 1", "  Exit()", "  RETURN _m"},
            home);
    f.start();
    EXPECT_EQ(f.error(), "");
    EXPECT_EQ(f.var("last"), "2");
    EXPECT_FALSE(f.has("x"));
    EXPECT_FALSE(f.has("done"));
    EXPECT_EQ(f.host.closeRequests, 1);

    // A sound still playing is stopped.
    RecordingPlayer player;
    OsRun s({"Exit()"}, home, {.media = &player});
    s.start();
    EXPECT_EQ(player.calls, QStringList{"stop"});

    // Stepping: Exit ends the stepping too.
    OsRun st({"a = 1", "Exit()", "b = 2"}, home);
    st.in.A_StepExecute(RunSender::StepAction);
    st.in.A_StepExecute(RunSender::StepAction);
    EXPECT_EQ(st.in.runState(), rn_Stopped);
    EXPECT_EQ(st.host.closeRequests, 1);
    EXPECT_FALSE(st.has("b"));
}

// ---- Help --------------------------------------------------------------------------

TEST(OsHelp, EveryRowHasRunnableExamplesInBothLanguages)
{
    for (const int row : {0, 23, 24, 62, 64}) {
        for (int language = 0; language <= 1; ++language) {
            const QString text = functionDescription(FunctionTable::Embedded, row, language);
            ASSERT_FALSE(text.isEmpty()) << row << " " << language;
            const qsizetype at =
                text.indexOf(language == 0 ? QStringLiteral("Example") : QStringLiteral("Пример"));
            ASSERT_GE(at, 0) << row;
            const QString name =
                functionTable(FunctionTable::Embedded)[static_cast<size_t>(row)].formula().section('(', 0, 0);
            EXPECT_TRUE(text.mid(at).contains(name + "(")) << row;
            QTemporaryDir dir;
            writeFile(dir.path() + "/chime.wav", makeWav(20));
            RecordingShell shell;
            OsRun r(text.mid(text.indexOf("\r\n", at) + 2).split("\r\n"), dir.path() + "/",
                    {.shell = &shell});
            r.start();
            EXPECT_EQ(r.error(), "") << "row " << row << " language " << language;
        }
    }
}
