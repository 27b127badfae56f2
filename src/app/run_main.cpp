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
                             QLatin1Char('\t') + escaped(v.VarVal) + QLatin1Char('\n'));
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

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString lang;
    QString home;
    QString answersFile;
    QString canvasFile;
    QSize panelSize(900, 600);
    QList<ScriptedClick> clicks;
    int menuChoice = 0;
    bool doDump = false;
    bool steps = false;
    bool stats = false;
    qint64 maxLines = 0;
    double maxSeconds = 0;
    QStringList positional;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (!positional.isEmpty()) {
            positional << a;
            continue;
        }
        auto value = [&](QString &out) {
            if (i + 1 >= args.size())
                return false;
            out = args.at(++i);
            return true;
        };
        QString v;
        if (a == QLatin1String("--lang")) {
            if (!value(lang) || (lang != QLatin1String("en") && lang != QLatin1String("ru")))
                return usage(QStringLiteral("--lang takes en or ru"));
        } else if (a == QLatin1String("--home")) {
            if (!value(home))
                return usage(QStringLiteral("--home takes a folder"));
        } else if (a == QLatin1String("--dump")) {
            doDump = true;
        } else if (a == QLatin1String("--steps")) {
            steps = true;
        } else if (a == QLatin1String("--stats")) {
            stats = true;
        } else if (a == QLatin1String("--answers")) {
            if (!value(answersFile))
                return usage(QStringLiteral("--answers takes a file"));
        } else if (a == QLatin1String("--max-lines")) {
            bool ok = false;
            if (!value(v) || (maxLines = v.toLongLong(&ok), !ok) || maxLines < 1)
                return usage(QStringLiteral("--max-lines takes a positive number"));
        } else if (a == QLatin1String("--max-seconds")) {
            bool ok = false;
            if (!value(v) || (maxSeconds = v.toDouble(&ok), !ok) || !(maxSeconds > 0))
                return usage(QStringLiteral("--max-seconds takes a positive number"));
        } else if (a == QLatin1String("--canvas")) {
            if (!value(canvasFile))
                return usage(QStringLiteral("--canvas takes a file"));
        } else if (a == QLatin1String("--panel")) {
            if (!value(v) || !parsePanelSize(v, panelSize))
                return usage(QStringLiteral("--panel takes WxH, for example 900x600"));
        } else if (a == QLatin1String("--click")) {
            ScriptedClick click;
            if (!value(v) || !parseScriptedClick(v, click))
                return usage(QStringLiteral("--click takes X,Y or X,Y,BUTTON (1, 2 or 3)"));
            clicks << click;
        } else if (a == QLatin1String("--menu-choice")) {
            bool ok = false;
            if (!value(v) || (menuChoice = v.toInt(&ok), !ok) || menuChoice < 0)
                return usage(QStringLiteral("--menu-choice takes a number from 0"));
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage(QStringLiteral("unknown option ") + a);
        } else {
            positional << a;
        }
    }
    if (positional.isEmpty())
        return usage(QStringLiteral("no script given"));

    const QString script = positional.first();
    if (!QFileInfo(script).isFile() || !QFileInfo(script).isReadable()) {
        writeOut(stderr, QStringLiteral("Cannot read the script \"%1\".\n").arg(script));
        return 2;
    }

    // The adapters first, then the interpreter that is given them.
    RunnerHost host;
    QtJavaScriptEngine js;
    QtMediaPlayer media;
    AnswerQueue answers;
    if (!answersFile.isEmpty()) {
        QFile f(answersFile);
        if (!f.open(QIODevice::ReadOnly))
            return usage(QStringLiteral("cannot read the answers file ") + answersFile);
        QString text = QString::fromUtf8(f.readAll());
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QStringList lines = text.split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        for (const QString &l : lines)
            answers.answers.enqueue(l);
    }
    // The canvas of a headless run: a panel of the given size, always shown.
    FixedPanel panel(panelSize);
    Canvas canvas(&panel);
    CanvasExecutor graphics(canvas);
    DialogFunctions dialogs(answers);
    RunLimits limits;
    limits.maxLines = maxLines;
    if (maxSeconds > 0)
        limits.deadline = QDateTime::currentMSecsSinceEpoch() + static_cast<qint64>(maxSeconds * 1000);
    ProgramSettings settings;
    settings.programFolder =
        home.isEmpty() ? defaultProgramFolder() : QDir(home).absolutePath() + QLatin1Char('/');
    if (lang.isEmpty())
        settings.language = QLocale::system().language() == QLocale::Russian ? 1 : 0;
    else
        settings.language = lang == QLatin1String("ru") ? 1 : 0;
    settings.cmdLineParams = positional;
    Interpreter in({.host = &host,
                    .js = &js,
                    .graphics = &graphics,
                    .dialogs = &dialogs,
                    .dialogProvider = &answers,
                    .media = &media},
                   limits, settings);
    ScriptedMenu menu;
    menu.choice = menuChoice;
    CanvasMouse mouse(in, canvas, &menu);
    // Layer 2 over layer 1 at bitmap size, when a coordinate system was set.
    auto saveCanvas = [&] {
        if (canvasFile.isEmpty() || !canvas.defined)
            return true;
        if (canvas.composed().save(canvasFile, "PNG"))
            return true;
        writeOut(stderr, QStringLiteral("Cannot write the picture \"%1\".\n").arg(canvasFile));
        return false;
    };

    auto fail = [&](const QString &text) {
        QString t = text;
        t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        writeOut(stderr, t + QLatin1Char('\n'));
    };

    in.LoadScript(script);
    if (in.failed()) {
        fail(in.errorText());
        if (doDump)
            dump(in);
        return 1;
    }
    in.PrepareScript();
    in.updateSettings([&](ProgramSettings &s) { s.workMode = true; });

    if (steps) {
        in.ResetRun();
        writeOut(stdout, QStringLiteral("#\t%1\n").arg(in.currentLine()));
        do {
            in.A_StepExecute(RunSender::StepAction);
            writeOut(stdout, QStringLiteral("#\t%1\n").arg(in.currentLine()));
        } while (in.runState() == rn_Step && in.currentLine() < in.scriptLines().size() &&
                 host.error.isEmpty() && !host.closed);
    } else {
        QElapsedTimer timer;
        timer.start();
        in.A_StartExecute(RunSender::StartAction);
        if (stats)
            writeOut(stderr, QStringLiteral("stats: %1 lines in %2 s\n")
                                 .arg(in.executedLines())
                                 .arg(static_cast<double>(timer.nsecsElapsed()) / 1e9, 0, 'f', 6));
    }
    // The finished canvas is clicked as a learner would click it.
    if (!in.exitRequested() && !host.closed)
        replayClicks(mouse, canvas, clicks);
    if (doDump)
        dump(in);
    if (!saveCanvas())
        return 2;
    // Exit() ends the program at once, like closing the window: whatever the
    // rest of its line raised afterwards (Exit has no value to compute with)
    // is no error of the run.
    if (in.exitRequested())
        return 0;
    if (!host.error.isEmpty()) {
        fail(host.error);
        return 1;
    }
    return 0;
}
