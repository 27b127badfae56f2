// Fuzz target: a script text goes the whole way of a run - preparation,
// tokenising, evaluation, statements, script functions, the built-ins with
// their argument checks, drawing on a canvas of its own and dialogs that
// answer at once - first with Start, then once more step by
// step, under limits of executed lines, time and memory, so that a slow
// input is told apart from a hang.
#include "core/interpreter.h"
#include "graphics/canvas.h"
#include "graphics/dialog_functions.h"
#include "graphics/graphics_executor.h"
#include "platform/qjs_engine.h"

#include <QGuiApplication>
#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

using namespace tesmora;

namespace {

constexpr std::size_t kMaxInputBytes = 8192;
constexpr qint64 kMaxLines = 20000;
constexpr qint64 kMaxMilliseconds = 2000;

// Functions that change files or the machine, wait, or sound are left out:
// an input that names one (in any case, with any characters between the
// letters) is not run.
bool namesLeftOutFunction(const QString &text)
{
    QString letters = text.toLower();
    letters.remove(QRegularExpression(QStringLiteral("[^a-z0-9_]")));
    static const char *const kLeftOut[] = {"file_write", "file_delete", "os_openfile",
                                           "sleep",      "play_sound",  "include"};
    for (const char *name : kLeftOut)
        if (letters.contains(QLatin1String(name)))
            return true;
    return false;
}

// Dialogs answered at once, the way a learner who accepts everything would:
// the default text, the first button (Cancel where the set has one), the
// first menu item, go on after Check.
class AcceptingDialogs : public DialogProvider {
  public:
    bool inputString(const QString &, const QString &, QString &answer) override
    {
        answer = QStringLiteral("7");
        return true;
    }
    bool inputText(const QString &, const QString &defaultText, QString &answer) override
    {
        answer = defaultText;
        return true;
    }
    int message(const QString &, const QString &, int buttons) override
    {
        const int set = decodeMessageOptions(buttons).buttonSet;
        return messageSetHasCancel(set) ? 2 : messageButtonCodes(set).first();
    }
    int menu(const QString &, const QStringList &items, int) override { return items.isEmpty() ? 0 : 1; }
    bool checkQuestion(const QString &) override { return true; }
};

// One run of an input: its own canvas, drawn by its own executors.
struct RunSetting {
    FixedPanel panel;
    Canvas canvas{&panel};
    CanvasExecutor graphics{canvas};
    AcceptingDialogs answers;
    DialogFunctions dialogs{answers};
};

struct Setting {
    QTemporaryDir home; // the program folder: empty, thrown away at the end
    QtJavaScriptEngine js;
};

Setting *setting = nullptr;

// The limits of one run of an input.
RunLimits fuzzLimits()
{
    return {.maxLines = kMaxLines, .deadline = QDateTime::currentMSecsSinceEpoch() + kMaxMilliseconds};
}

InterpreterServices services(RunSetting &run)
{
    return {.js = &setting->js,
            .graphics = &run.graphics,
            .dialogs = &run.dialogs,
            .dialogProvider = &run.answers};
}

void prepare(Interpreter &in, const QString &text)
{
    in.updateSettings([&](ProgramSettings &s) {
        s.programFolder = setting->home.path() + QLatin1Char('/');
        s.cmdLineParams = QStringList{QStringLiteral("fuzz.txt"), QStringLiteral("it's")};
    });
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        line.replace(QLatin1Char('\t'), QStringLiteral("  "));
    }
    in.setScriptLines(lines);
    in.PrepareScript();
    in.updateSettings([&](ProgramSettings &s) { s.workMode = true; });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    static Setting s;
    setting = &s;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > kMaxInputBytes)
        return 0;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (namesLeftOutFunction(text))
        return 0;
    {
        RunSetting run;
        Interpreter in(services(run), fuzzLimits());
        prepare(in, text);
        in.A_StartExecute(RunSender::StartAction);
    }
    {
        RunSetting run;
        Interpreter in(services(run), fuzzLimits());
        prepare(in, text);
        in.moveToLine(0);
        for (int step = 0; step < kMaxLines; ++step) {
            in.A_StepExecute(RunSender::StepAction);
            if (in.runState() != rn_Step || in.failed() || in.currentLine() >= in.scriptLines().size() ||
                in.exitRequested())
                break;
        }
    }
    return 0;
}
