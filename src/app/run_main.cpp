// tesmora-run: runs a script the way Start does, without windows.
#include "core/interpreter.h"
#include "graphics/canvas.h"
#include "graphics/graphics_executor.h"
#include "graphics/dialog_functions.h"
#include "scripted_clicks.h"
#include "library/text_forms.h"
#include "platform/paths.h"
#include "platform/media_player.h"
#include "platform/qjs_engine.h"
#include "platform/time_zone.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QQueue>
#include <cstdio>

using namespace tesmora;

namespace {

void writeOut(FILE *f, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f);
}

QString escaped(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The environment of a headless run: errors and messages go to stderr,
// nothing waits for a person.
class RunnerHost : public Host {
  public:
    QString error;
    bool closed = false;
    void showErrorBox(const QString &text) override
    {
        if (error.isEmpty())
            error = text;
    }
    void showMessageNow(const QString &text) override
    {
        QString t = text;
        t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        writeOut(stderr, t + QLatin1Char('\n'));
    }
    bool askYesNo(const QString &) override { return true; }
    // Events are processed between lines as the window does (timers of
    // sounds and the media player need it).
    void processEvents() override { QCoreApplication::processEvents(); }
    // Exit() and "/R" close the window: the run is over and the runner returns.
    void closeMainWindow() override { closed = true; }
    void closeMainWindowAfter(int) override { closed = true; }
};

// Dialog answers from a file, one per line, in call order.
class AnswerQueue : public DialogProvider {
  public:
    QQueue<QString> answers;

    bool inputString(const QString &, const QString &, QString &answer) override
    {
        answer = answers.isEmpty() ? QString() : unescape(answers.dequeue());
        return true;
    }
    bool inputText(const QString &, const QString &defaultText, QString &answer) override
    {
        answer = answers.isEmpty() ? defaultText : unescape(answers.dequeue());
        return true;
    }
    int message(const QString &, const QString &, int buttons) override
    {
        if (!answers.isEmpty())
            return answers.dequeue().trimmed().toInt();
        // Cancel when the set has it, else the first button of the set; an
        // icon added to the set changes nothing.
        const int set = decodeMessageOptions(buttons).buttonSet;
        return messageSetHasCancel(set) ? 2 : messageButtonCodes(set).first();
    }
    int menu(const QString &, const QStringList &, int) override
    {
        return answers.isEmpty() ? 0 : answers.dequeue().trimmed().toInt();
    }
    bool checkQuestion(const QString &) override
    {
        if (answers.isEmpty())
            return true;
        return answers.dequeue().trimmed().compare(QLatin1String("no"), Qt::CaseInsensitive) != 0;
    }

  private:
    static QString unescape(const QString &s)
    {
        QString t = s;
        t.replace(QLatin1String("\\n"), QLatin1String("\n"));
        return t;
    }
};

int usage(const QString &problem)
{
    writeOut(stderr, problem + QStringLiteral(
                                   "\nusage: tesmora-run [--lang en|ru] [--home DIR] [--dump] [--steps] "
                                   "[--canvas FILE.png]\n                   [--panel WxH] [--answers FILE] "
                                   "[--click X,Y[,B]]... [--menu-choice K]\n                   [--max-lines "
                                   "N] [--max-seconds S] [--stats] SCRIPT [PARAM ...]\n"));
    return 2;
}

// "WxH" with both sides positive.
bool parsePanelSize(const QString &text, QSize &size)
{
    const QStringList parts = text.toLower().split(QLatin1Char('x'));
    bool okW = false;
    bool okH = false;
    if (parts.size() != 2)
        return false;
    const int w = parts[0].toInt(&okW);
    const int h = parts[1].toInt(&okH);
    if (!okW || !okH || w < 1 || h < 1)
        return false;
    size = QSize(w, h);
    return true;
}

void dump(const Interpreter &in)
{
    for (const Tvariable &v : in.variables())
        writeOut(stdout, v.VarName + QLatin1Char('\t') + QString::fromLatin1(wordKindName(v.kind)) +
                             QLatin1Char('\t') + escaped(v.text()) + QLatin1Char('\n'));
    for (int i = 1; i <= in.arrays().count(); ++i) {
        const t_arr_specification &a = in.arrays().at(i);
        writeOut(stdout, a.name + QStringLiteral("[]\t") + QString::fromLatin1(wordKindName(a.data_type)) +
                             QLatin1Char('\t') + escaped(ArrayShortText(a)) + QLatin1Char('\n'));
    }
}

// Qt's own diagnostics (platform plugins, runtime folders) are not part of a
// run's output.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("TESMORA_QT_DEBUG"))
        writeOut(stderr, msg + QLatin1Char('\n'));
}

// The command line of a run.
struct Options {
    QString lang;
    QString home;
    QString answersFile;
    QString canvasFile;
    QSize panelSize{900, 600};
    QList<ScriptedClick> clicks;
    int menuChoice = 0;
    bool dump = false;
    bool steps = false;
    bool stats = false;
    qint64 maxLines = 0;
    double maxSeconds = 0;
    QStringList positional; // the script and its parameters
};

// Reads the options before the script name; what follows the script are its
// parameters. Returns what is wrong with the command line, or nothing.
QString parseOptions(const QStringList &args, Options &o)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (!o.positional.isEmpty()) {
            o.positional << a;
            continue;
        }
        auto value = [&](QString &out) {
            if (i + 1 >= args.size())
                return false;
            out = args.at(++i);
            return true;
        };
        QString v;
        bool ok = false;
        if (a == QLatin1String("--lang")) {
            if (!value(o.lang) || (o.lang != QLatin1String("en") && o.lang != QLatin1String("ru")))
                return QStringLiteral("--lang takes en or ru");
        } else if (a == QLatin1String("--home")) {
            if (!value(o.home))
                return QStringLiteral("--home takes a folder");
        } else if (a == QLatin1String("--dump")) {
            o.dump = true;
        } else if (a == QLatin1String("--steps")) {
            o.steps = true;
        } else if (a == QLatin1String("--stats")) {
            o.stats = true;
        } else if (a == QLatin1String("--answers")) {
            if (!value(o.answersFile))
                return QStringLiteral("--answers takes a file");
        } else if (a == QLatin1String("--max-lines")) {
            if (!value(v) || (o.maxLines = v.toLongLong(&ok), !ok) || o.maxLines < 1)
                return QStringLiteral("--max-lines takes a positive number");
        } else if (a == QLatin1String("--max-seconds")) {
            if (!value(v) || (o.maxSeconds = v.toDouble(&ok), !ok) || !(o.maxSeconds > 0))
                return QStringLiteral("--max-seconds takes a positive number");
        } else if (a == QLatin1String("--canvas")) {
            if (!value(o.canvasFile))
                return QStringLiteral("--canvas takes a file");
        } else if (a == QLatin1String("--panel")) {
            if (!value(v) || !parsePanelSize(v, o.panelSize))
                return QStringLiteral("--panel takes WxH, for example 900x600");
        } else if (a == QLatin1String("--click")) {
            ScriptedClick click;
            if (!value(v) || !parseScriptedClick(v, click))
                return QStringLiteral("--click takes X,Y or X,Y,BUTTON (1, 2 or 3)");
            o.clicks << click;
        } else if (a == QLatin1String("--menu-choice")) {
            if (!value(v) || (o.menuChoice = v.toInt(&ok), !ok) || o.menuChoice < 0)
                return QStringLiteral("--menu-choice takes a number from 0");
        } else if (a.startsWith(QLatin1String("--"))) {
            return QStringLiteral("unknown option ") + a;
        } else {
            o.positional << a;
        }
    }
    return o.positional.isEmpty() ? QStringLiteral("no script given") : QString();
}

// The answers file, one answer a line; false when it cannot be read.
bool loadAnswers(const QString &file, AnswerQueue &answers)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QString text = QString::fromUtf8(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (const QString &l : lines)
        answers.answers.enqueue(l);
    return true;
}

RunLimits limitsOf(const Options &o)
{
    RunLimits limits;
    limits.maxLines = o.maxLines;
    if (o.maxSeconds > 0)
        limits.deadline = QDateTime::currentMSecsSinceEpoch() + static_cast<qint64>(o.maxSeconds * 1000);
    return limits;
}

// The program folder, the language and the command-line parameters.
ProgramSettings settingsOf(const Options &o)
{
    ProgramSettings settings;
    settings.programFolder =
        o.home.isEmpty() ? defaultProgramFolder() : QDir(o.home).absolutePath() + QLatin1Char('/');
    if (o.lang.isEmpty())
        settings.language = QLocale::system().language() == QLocale::Russian ? 1 : 0;
    else
        settings.language = o.lang == QLatin1String("ru") ? 1 : 0;
    settings.cmdLineParams = o.positional;
    return settings;
}

// A text of the run on stderr, each CR a line break.
void writeError(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    writeOut(stderr, t + QLatin1Char('\n'));
}

// Steps line by line (printing each current line) with --steps, else runs
// as Start does.
void runScript(Interpreter &in, const RunnerHost &host, const Options &o)
{
    if (o.steps) {
        in.ResetRun();
        writeOut(stdout, QStringLiteral("#\t%1\n").arg(in.currentLine()));
        do {
            in.A_StepExecute(RunSender::StepAction);
            writeOut(stdout, QStringLiteral("#\t%1\n").arg(in.currentLine()));
        } while (in.runState() == rn_Step && in.currentLine() < in.scriptLines().size() &&
                 host.error.isEmpty() && !host.closed);
        return;
    }
    QElapsedTimer timer;
    timer.start();
    in.A_StartExecute(RunSender::StartAction);
    if (o.stats)
        writeOut(stderr, QStringLiteral("stats: %1 lines in %2 s\n")
                             .arg(in.executedLines())
                             .arg(static_cast<double>(timer.nsecsElapsed()) / 1e9, 0, 'f', 6));
}

// Layer 2 over layer 1 at bitmap size, when a coordinate system was set.
bool saveCanvas(const Canvas &canvas, const QString &file)
{
    if (file.isEmpty() || !canvas.defined)
        return true;
    if (canvas.composed().save(file, "PNG"))
        return true;
    writeOut(stderr, QStringLiteral("Cannot write the picture \"%1\".\n").arg(file));
    return false;
}

// After the run: the dump, the picture, and the exit code.
int finishRun(const Interpreter &in, const RunnerHost &host, const Canvas &canvas, const Options &o)
{
    if (o.dump)
        dump(in);
    if (!saveCanvas(canvas, o.canvasFile))
        return 2;
    // Exit() ends the program at once, like closing the window: whatever the
    // rest of its line raised afterwards (Exit has no value to compute with)
    // is no error of the run.
    if (in.exitRequested())
        return 0;
    if (!host.error.isEmpty()) {
        writeError(host.error);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    readLocalTimeZoneOnce();
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The same per-user program folder as the window program's.
    QGuiApplication::setApplicationName(QStringLiteral("Tesmora"));

    Options o;
    const QString problem = parseOptions(app.arguments(), o);
    if (!problem.isEmpty())
        return usage(problem);
    const QString script = o.positional.first();
    if (!QFileInfo(script).isFile() || !QFileInfo(script).isReadable()) {
        writeOut(stderr, QStringLiteral("Cannot read the script \"%1\".\n").arg(script));
        return 2;
    }

    // The adapters first, then the interpreter that is given them.
    RunnerHost host;
    QtJavaScriptEngine js;
    QtMediaPlayer media;
    AnswerQueue answers;
    if (!o.answersFile.isEmpty() && !loadAnswers(o.answersFile, answers))
        return usage(QStringLiteral("cannot read the answers file ") + o.answersFile);
    // The canvas of a headless run: a panel of the given size, always shown.
    FixedPanel panel(o.panelSize);
    Canvas canvas(&panel);
    CanvasExecutor graphics(canvas);
    DialogFunctions dialogs(answers);
    Interpreter in({.host = &host,
                    .js = &js,
                    .graphics = &graphics,
                    .dialogs = &dialogs,
                    .dialogProvider = &answers,
                    .media = &media},
                   limitsOf(o), settingsOf(o));
    ScriptedMenu menu;
    menu.choice = o.menuChoice;
    CanvasMouse mouse(in, canvas, &menu);

    // A file that is not text cannot be read as a script at all.
    QStringList probe;
    if (Interpreter::readScriptFile(script, probe) == Interpreter::FileRead::NotText) {
        writeOut(stderr, in.MessageText(367, {script}) + QLatin1Char('\n'));
        return 2;
    }
    in.LoadScript(script);
    if (in.failed()) {
        writeError(in.errorText());
        if (o.dump)
            dump(in);
        return 1;
    }
    in.PrepareScript();
    in.updateSettings([&](ProgramSettings &s) { s.workMode = true; });
    runScript(in, host, o);
    // The finished canvas is clicked as a learner would click it.
    if (!in.exitRequested() && !host.closed)
        replayClicks(mouse, canvas, o.clicks);
    return finishRun(in, host, canvas, o);
}
