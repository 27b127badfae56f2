#include "interpreter.h"

#include <QDateTime>
#include <chrono>

#include "numbers.h"

namespace tesmora {

const QStringList &graphicsConstantLines()
{
    static const QStringList lines = {
        QStringLiteral("ROT90 = 1"),
        QStringLiteral("ROT180 = 2"),
        QStringLiteral("ROT270 = 4"),
        QStringLiteral("HSYMM = 8"),
        QStringLiteral("VSYMM = 16"),
        QStringLiteral("clBlack = $010101"),
        QStringLiteral("clGreen = $008000"),
        QStringLiteral("clLime = $00FF00"),
        QStringLiteral("clOlive = $008080"),
        QStringLiteral("clNavy = $800000"),
        QStringLiteral("clPurple = $800080"),
        QStringLiteral("clFuchsia = $FF00FF"),
        QStringLiteral("clPink = $CBC0FF"),
        QStringLiteral("clViolet = $EE82EE"),
        QStringLiteral("clDarkViolet = $D30094"),
        QStringLiteral("clTeal = $808000"),
        QStringLiteral("clLightGray = $D3D3D3"),
        QStringLiteral("clGray = $808080"),
        QStringLiteral("clSilver = $C0C0C0"),
        QStringLiteral("clMaroon = $000080"),
        QStringLiteral("clRed = $2040FF"),
        QStringLiteral("clOrange = $30B0FF"),
        QStringLiteral("clDarkOrange = $008CFF"),
        QStringLiteral("clYellow = $00FFFF"),
        QStringLiteral("clYellowGreen = $32CD9A"),
        QStringLiteral("clBlue = $FF0000"),
        QStringLiteral("clDarkBlue = $8B0000"),
        QStringLiteral("clLightBlue = $FFD090"),
        QStringLiteral("clAqua = $FFFF00"),
        QStringLiteral("clWhite = $FFFFFF"),
    };
    return lines;
}

Interpreter::Interpreter(const InterpreterServices &services, const RunLimits &limits,
                         const ProgramSettings &settings)
    : settings_(settings), services_(services), limits_(limits),
      host_(services.host ? services.host : &nullHost_)
{
    QStringList constants = graphicsConstantLines();
    constants << QStringLiteral("PI = 3.14159265358979323846")
              << QString::fromUtf8("π = 3.14159265358979323846");
    setConstantList(constants);
}

std::mt19937_64 &Interpreter::randomGenerator()
{
    if (!randomSeeded_) {
        const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
        std::seed_seq seq{static_cast<std::uint64_t>(ticks), static_cast<std::uint64_t>(ticks >> 32),
                          static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch())};
        random_.seed(seq);
        randomSeeded_ = true;
    }
    return random_;
}

void Interpreter::seedRandom(std::uint64_t seed)
{
    random_.seed(seed);
    randomSeeded_ = true;
}

// ---- Messages -------------------------------------------------------------

QString Interpreter::MessageText(int id, const MessageArgs &args) const
{
    return formatMessage(catalogueText(id, Language), args);
}

void Interpreter::ShowMessageById(int id, const MessageArgs &args)
{
    host_->showMessageNow(MessageText(id, args));
}

QString Interpreter::TranslatePhrase(const QString &englishText) const
{
    if (Language == 0)
        return englishText;
    for (int id = 1; id <= kCatalogueSize; ++id) {
        const QString en = catalogueText(id, 0);
        if (!en.isEmpty() && en == englishText)
            return catalogueText(id, Language);
    }
    return {};
}

void Interpreter::RaiseError(const QString &message, QString &target)
{
    target = message + QStringLiteral("\r\r") + MessageText(2, {CurrentLine});
}

void Interpreter::ShowError()
{
    host_->setCaretLine(CurrentLine);
    host_->showGlobalGrid();
    host_->repaintWindow();
    if (!WorkMode)
        return;
    // Before the box opens the learner sees where the run stopped: the mark
    // on the failing line and the toolbar of a stopped run. The run's clock
    // stops here too, not when the box is closed.
    if (RunState == rn_Run || RunState == rn_Continue)
        RunStopTime = QDateTime::currentMSecsSinceEpoch();
    RunState = rn_Stopped;
    host_->markCurrentLine(CurrentLine);
    host_->setRunningActions(false);
    host_->refreshVariables();
    const QString text = ErrorText;
    ErrorText.clear();
    host_->showErrorBox(text);
    host_->playSystemSound(SystemSound::Hand);
}

// ---- Variables ------------------------------------------------------------

namespace {
// Names compare without regard to letter case; ASCII is compared here, any
// other character through Qt's case folding.
inline bool sameName(const QString &a, const QString &b)
{
    const qsizetype n = a.size();
    if (n != b.size())
        return false;
    const QChar *x = a.constData();
    const QChar *y = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = x[i].unicode();
        char16_t d = y[i].unicode();
        if (c == d)
            continue;
        if (c >= 128 || d >= 128)
            return a.compare(b, Qt::CaseInsensitive) == 0;
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 32);
        if (d >= u'a' && d <= u'z')
            d = char16_t(d - 32);
        if (c != d)
            return false;
    }
    return true;
}
} // namespace

bool Interpreter::hasVariableAtLevel(const QString &name, int level) const
{
    for (const Tvariable &v : Variables)
        if (v.function_level == level && sameName(v.VarName, name))
            return true;
    return false;
}

int Interpreter::variableOfWord(const TWordStatus &word) const
{
    // Names are unique within a level: a variable of the current level with
    // the word's name is the one FindVariable would find.
    const int hint = word.var_index - 1;
    if (word.kind == wkVariableName && hint >= 0 && hint < Variables.size()) {
        const Tvariable &v = Variables.at(hint);
        if (v.function_level == CurrentFunctionLevel && sameName(v.VarName, word.text()))
            return hint;
    }
    return FindVariable(word.text());
}

int Interpreter::FindVariable(const QString &name) const
{
    // A name beginning with "_" is a script function's own (no global has
    // one, and no local is without it): the current call's variables were
    // added after those of the calls around it, so the search from the end
    // stops at the first of those. Any other name is a global's, among the
    // first globalsEnd_.
    const Tvariable *vars = Variables.constData();
    int found = -1;
    if (IsCallOwnName(name)) {
        for (int i = static_cast<int>(Variables.size()) - 1; i >= 0 && found < 0; --i) {
            const int level = vars[i].function_level;
            if (level == CurrentFunctionLevel && sameName(vars[i].VarName, name))
                found = i;
            else if (level != 0 && level < CurrentFunctionLevel)
                break;
        }
    } else {
        for (int i = std::min(globalsEnd_, static_cast<int>(Variables.size())) - 1; i >= 0 && found < 0; --i)
            if (vars[i].function_level == 0 && sameName(vars[i].VarName, name))
                found = i;
    }
#ifdef TESMORA_CHECK_CACHES
    if (found != findVariableByScan(name))
        qFatal("FindVariable: the short search found another variable than the full one");
#endif
    return found;
}

int Interpreter::stillVariableAt(const QString &name, int hint) const
{
    // Names are unique among the globals and within the current call, and
    // FindVariable searches just one of those: a variable of the right one
    // with the name at the hinted index is the one the search would find.
    if (hint < 0 || hint >= Variables.size())
        return -1;
    const Tvariable &v = Variables.at(hint);
    const bool own = IsCallOwnName(name);
    const bool inScope =
        own ? v.function_level == CurrentFunctionLevel : v.function_level == 0 && hint < globalsEnd_;
    if (!inScope || !sameName(v.VarName, name))
        return -1;
#ifdef TESMORA_CHECK_CACHES
    if (FindVariable(name) != hint)
        qFatal("stillVariableAt: the name is found elsewhere");
#endif
    return hint;
}

void Interpreter::variableRemovedAt(int i)
{
    ++namesStamp_;
    if (i < globalsEnd_)
        --globalsEnd_;
    // Every count above i, up to the one before the removal, saw it.
    const auto before = static_cast<size_t>(Variables.size()) + 1;
    if (removedBelow_.size() <= before)
        removedBelow_.resize(before + 1, 0);
    for (size_t n = static_cast<size_t>(i) + 1; n <= before; ++n)
        removedBelow_[n] = namesStamp_;
}

void Interpreter::variablesReplaced()
{
    replacedAt_ = ++namesStamp_;
    globalsEnd_ = 0;
    for (int i = 0; i < Variables.size(); ++i)
        if (Variables.at(i).function_level == 0)
            globalsEnd_ = i + 1;
}

int Interpreter::findVariableByScan(const QString &name) const
{
    // Names are unique within a level (SetVariable and the binding of
    // parameters add a name only where it is not yet). The current level's
    // variables were added last, so the search runs from the end; a global
    // of the name answers when the current level has none.
    const Tvariable *vars = Variables.constData();
    int global = -1;
    for (int i = static_cast<int>(Variables.size()) - 1; i >= 0; --i) {
        const int level = vars[i].function_level;
        if ((level != CurrentFunctionLevel && level != 0) || !sameName(vars[i].VarName, name))
            continue;
        if (level == CurrentFunctionLevel)
            return i;
        global = i;
    }
    return global;
}

int Interpreter::SetVariable(const QString &name, const QString &text, TWordKind kind, int level)
{
    const int found = FindVariable(name);
    if (found >= 0) {
        Tvariable &v = Variables[found];
        v.setText(text);
        v.kind = kind;
        return found;
    }
    if (level == -1)
        level = CurrentFunctionLevel;
    const bool underscore = IsCallOwnName(name);
    if (level == 0 && underscore) {
        RaiseMessage(125, {name});
        return 0;
    }
    if (level > 0 && !underscore) {
        RaiseMessage(131, {name});
        return 0;
    }
    Tvariable v;
    v.VarName = name;
    v.function_level = underscore ? level : 0;
    v.setText(text);
    v.kind = kind;
    Variables.append(v);
    VariableOrder.append(0);
    if (v.function_level == 0)
        globalsEnd_ = static_cast<int>(Variables.size());
    return static_cast<int>(Variables.size()) - 1;
}

QString Interpreter::GetVariableText(const QString &name) const
{
    const int i = FindVariable(name);
    return i < 0 ? QString() : Variables.at(i).text();
}

// ---- Constants ------------------------------------------------------------

ConstantInfo Interpreter::Constant_Lookup(const QString &name) const
{
    ConstantInfo info;
    const QString key = name.toLower() + QLatin1Char(' ');
    for (int i = 0; i < ConstantList.size(); ++i) {
        const QString &line = ConstantList.at(i);
        if (line.size() < key.size() || !line.startsWith(key, Qt::CaseInsensitive))
            continue;
        const int eq = static_cast<int>(line.indexOf(QLatin1Char('=')));
        info.line = i;
        info.name = (eq < 0 ? line : line.left(eq)).trimmed();
        info.value = eq < 0 ? QString() : line.mid(eq + 1).trimmed();
        return info;
    }
    return info;
}

double Interpreter::constantValue(const QString &valueText)
{
    if (valueText.contains(QLatin1Char('.')))
        return ParseNumber(valueText).value;
    std::int64_t v = 0;
    ParseIntegerText(valueText, v);
    return static_cast<double>(v);
}

} // namespace tesmora
