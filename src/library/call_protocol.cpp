// The call protocol of catalogue functions: argument preparation, the check
// against the Formula, and the dispatch to the built-in families and the
// JavaScript engine.
#include "builtins.h"
#include "core/brackets.h"
#include "core/interpreter.h"
#include "function_catalogue.h"
#include "javascript_functions.h"

#include <exception>

namespace tesmora {

namespace {

// An array element in words[from..to]: read into a copy of the words first.
bool readsArrayElement(const WordList &words, int from, int to)
{
    for (int k = from; k < to; ++k)
        if (words[k].kind == wkArrayName && words[k + 1].kind == wkOpeningSquareBracket)
            return true;
    return false;
}

// words[from..to] appended to `into`.
void appendWords(const WordList &words, int from, int to, WordList &into)
{
    for (int k = from; k <= to; ++k)
        into[++into.last] = words[k];
}

} // namespace

const Interpreter::CallShape &Interpreter::callShape(const QString &callText)
{
    auto it = callShapes_.constFind(callText);
    if (it != callShapes_.constEnd())
        return it.value();
    if (callShapes_.size() >= 4096)
        callShapes_.clear();
    CallShape shape;
    const int open = static_cast<int>(callText.indexOf(QLatin1Char('(')));
    shape.lowerName = (open < 0 ? callText : callText.left(open)).trimmed().toLower();
    const QString call = callText.trimmed();
    const int br = static_cast<int>(call.indexOf(QLatin1Char('(')));
    const int eq = static_cast<int>(call.indexOf(QLatin1Char('=')));
    shape.split = br >= 0 && !(eq >= 0 && eq < br);
    if (shape.split) {
        shape.name = call.left(br).trimmed();
        shape.argText = call.mid(br + 1, call.size() - br - 2).trimmed();
    }
    resolveBuiltins(shape);
    return callShapes_.insert(callText, shape).value();
}

void Interpreter::resolveBuiltins(CallShape &shape)
{
    shape.embedded = functionCatalogue(FunctionTable::Embedded).find(shape.name);
    shape.graph = functionCatalogue(FunctionTable::Graph).find(shape.name);
    shape.dialog = functionCatalogue(FunctionTable::Dialog).find(shape.name);
    shape.argumentsByName = TakesArgumentsByName(shape.name);
    // The implementation is found under the name the check leaves: the
    // catalogue's own name when the arguments are checked.
    shape.embeddedFn = builtinRegistry().find(
        !shape.argumentsByName && shape.embedded ? shape.embedded->name() : shape.name);
}

void Interpreter::PrepareCallParameters(const CallShape &shape, bool scriptFunction, QString &name,
                                        ScratchList &argList)
{
    // The list comes from the pool empty; an empty argument leaves a gap, so
    // entries past `last` may be filled (see ScratchList::reach).
    WordList &args = *argList;
    name = shape.name;
    if (!shape.split)
        return;
    const QString &argText = shape.argText;
    // Simple ranges (the most common arguments) are computed without
    // copying the words again.
    if (!shape.argumentsByName && prepareSimpleArguments(argText, argList))
        return;

    ScratchList wordList(*this);
    WordList &words = *wordList;
    SplitWords(argText, words);
    if (failed())
        return;
    // A script function's arguments call no script function.
    if (scriptFunction && !name.isEmpty()) {
        for (int i = 0; i <= words.last; ++i)
            if (words[i].kind == wkScriptFunction) {
                RaiseMessage(82, {name, words[i].text()});
                return;
            }
    }

    const bool byName = shape.argumentsByName;
    int argNo = 0;
    for (int i = 0; i <= words.last && argNo < kMaxWords; ++argNo) {
        // One argument: the words up to the next comma at the top level.
        const int comma = topLevelComma(words, i);
        const int end = comma < 0 ? words.last : comma - 1;
        argList.reach(argNo);
        if (!prepareArgument(words, i, end, byName, name, args[argNo]))
            return;
        i = end + 2; // past the comma
    }
    endArguments(args);
}

void Interpreter::endArguments(WordList &args)
{
    args.last = -1;
    while (args.last + 1 < kMaxWords && args[args.last + 1].kind != wkNone)
        ++args.last;
}

bool Interpreter::prepareArgument(const WordList &words, int from, int to, bool byName, const QString &name,
                                  TWordStatus &out)
{
    const bool loneArray = from == to && words[from].kind == wkArrayName;
    if (!byName && !loneArray && !readsArrayElement(words, from, to)) {
        // A plain expression is evaluated where it stands, as a copy of its
        // words would be.
        const FunctionLevelWatch watch(*this);
        out.clear();
        if (from <= to && !evaluateSimple(words, from, to, out)) {
            ScratchList copy(*this);
            appendWords(words, from, to, *copy);
            evaluateOwned(*copy, out);
        }
        if (failed() || watch.steppedIn())
            return false; // an error, or a script function stepped into
        out.var_index = (from == to && words[from].kind == wkVariableName) ? words[from].var_index : 0;
        return true;
    }
    ScratchList argList(*this);
    WordList &arg = *argList;
    appendWords(words, from, to, arg);
    for (int k = 0; k <= arg.last; ++k) {
        if (arg[k].kind == wkArrayName && k < arg.last && arg[k + 1].kind == wkOpeningSquareBracket) {
            ReadArrayElement(arg, k);
            if (failed())
                return false;
        }
    }
    if (byName) {
        const TWordKind k = arg.last == 0 ? arg[0].kind : wkNone;
        if (k != wkVariableName && k != wkArrayName && k != wkUnknownIdentifier) {
            RaiseMessage(117, {name});
            return false;
        }
        out = arg[0];
    } else if (arg.last == 0 && arg[0].kind == wkArrayName) {
        out = arg[0];
    } else {
        const FunctionLevelWatch watch(*this);
        EvaluateWords(arg, out);
        if (failed() || watch.steppedIn())
            return false;
        out.var_index = (arg.last == 0 && arg[0].kind == wkVariableName) ? arg[0].var_index : 0;
    }
    return true;
}

namespace {

bool typeAccepts(TWordKind kind, const QString &type, bool &checked)
{
    checked = true;
    const bool any = type == QLatin1String("anytype");
    switch (kind) {
    case wkString:
    case wkStringDQ:
        return any || type == QLatin1String("string") || type == QLatin1String("datetime") ||
               type == QLatin1String("time");
    case wkFloat:
        return any || type == QLatin1String("int") || type == QLatin1String("float");
    case wkBool:
        return any || type == QLatin1String("boolean");
    case wkArrayName:
        return any || type == QLatin1String("array");
    default:
        checked = false;
        return true;
    }
}

} // namespace

QString Interpreter::CheckCallParameters(const FunctionDescriptor *d, QString &name, WordList &args)
{
    if (!d)
        return {};
    name = d->name();
    const FunctionSignature &s = d->signature;
    if (!s.closed) {
        RaiseMessage(75, {name});
        return {};
    }
    if (!s.validTypes) {
        RaiseError(QStringLiteral("Developer error in Function description <") + d->description->formula() +
                   QStringLiteral(">."));
        return {};
    }
    int count = 0;
    while (count < kMaxWords && args[count].kind != wkNone)
        ++count;
    const int formals = static_cast<int>(s.formals.size());
    for (int i = 0; i < formals && i < count; ++i) {
        if (s.formals.at(i).byReference && args[i].var_index == 0) {
            RaiseMessage(119, {name, i + 1});
            return {};
        }
    }
    for (int i = 0; i < count; ++i) {
        if (i >= formals) {
            RaiseMessage(120, {name, formals});
            return {};
        }
        const TWordStatus &a = args[i];
        if (a.kind == wkUnknownIdentifier) {
            QString text = QStringLiteral("Function \"%1\". Actual parameter № %2 (%3)")
                               .arg(name)
                               .arg(i + 1)
                               .arg(a.text());
            text +=
                a.text().isEmpty() ? QStringLiteral(" is undefined. ") : QStringLiteral(" is incorrect. ");
            RaiseError(text);
            return {};
        }
        bool checked = false;
        const QString &type = s.formals.at(i).type;
        if (!typeAccepts(a.kind, type, checked)) {
            const QString text = TranslatePhrase(QStringLiteral("Function")) + QLatin1Char(' ') +
                                 QLatin1Char('"') + name + QStringLiteral("\". ") +
                                 TranslatePhrase(QStringLiteral("Parameter")) + QStringLiteral(" № ") +
                                 QString::number(i + 1) + TranslatePhrase(QStringLiteral(" must be")) +
                                 QStringLiteral(" \"") + type + QStringLiteral("\". ");
            RaiseError(text);
            return {};
        }
    }
    if (count < s.required) {
        RaiseMessage(81, {name, count, s.required});
        return {};
    }
    return s.returnType;
}

void Interpreter::ExecuteEmbeddedFunction(BuiltinFunction fn, const QString &name, WordList &args,
                                          TWordStatus &result)
{
    result.clear();
    if (!fn) {
        RaiseFunctionNotFound(*this, name);
        return;
    }
    FunctionCall call(*this, name, args, result);
    try {
        fn(call);
    } catch (const std::exception &e) {
        result.clear();
        RaiseFailure(e);
    }
    if (failed())
        result.clear();
}

void Interpreter::CallJavaScriptFunction(int funcIndex, const QString &name, WordList &args,
                                         TWordStatus &result)
{
    result.clear();
    const auto table = functionTable(FunctionTable::JavaScript);
    if (funcIndex < 0 || funcIndex >= static_cast<int>(table.size()))
        return;
    const T_FunctionDescription &row = table[static_cast<size_t>(funcIndex)];
    // Math and string methods the engine has not seen replaced are computed
    // here, as the engine would: no trip to the engine.
    const auto unchanged = [this] { return services_.js && services_.js->standardMethodsUnchanged(); };
    double value = 0.0;
    QString answer;
    const bool computed = NativeMathValue(row, args, value) && unchanged();
    const bool answered = !computed && NativeStringAnswer(row, args, answer) && unchanged();
    if (!computed && !answered &&
        !RunJavaScript(PrepareJavaScriptCall(row, args, javaScriptExpression(funcIndex, args.count())),
                       answer, [&] { return BuildJavaScriptCall(row, args); }))
        return;
    if (computed ? !JavaScriptNumberWord(value, result) : !JavaScriptResultWord(row, answer, result)) {
        result.clear();
        RaiseMessage(46, {name});
    }
}

const QString &Interpreter::javaScriptExpression(int row, int count)
{
    const int key = row * (kMaxWords + 1) + count;
    auto it = javaScriptExpressions_.constFind(key);
    if (it == javaScriptExpressions_.constEnd()) {
        const auto table = functionTable(FunctionTable::JavaScript);
        it = javaScriptExpressions_.insert(key, JavaScriptExpression(table[static_cast<size_t>(row)], count));
    }
    return it.value();
}

bool Interpreter::RunJavaScript(const QString &source, QString &value)
{
    return RunJavaScript(JavaScriptCall{{}, {}, source}, value);
}

bool Interpreter::RunJavaScript(const JavaScriptCall &call, QString &value,
                                const std::function<QString()> &source)
{
    if (!services_.js) {
        RaiseError(QStringLiteral("JavaScript: no JavaScript engine is available."));
        return false;
    }
    // While the source runs the window stays alive: Pause, closing the
    // window or the deadline interrupt it.
    const bool wasRunning = RunState != rn_Stopped;
    const auto stop = [this, wasRunning] {
        host_->processEvents();
        return (wasRunning && RunState == rn_Stopped) || host_->pauseKeyDown() || pastDeadline();
    };
    JavaScriptResult answer = services_.js->call(call, stop);
    if (answer.needsSource && source)
        answer = services_.js->call(JavaScriptCall{{}, {}, source()}, stop);
    if (answer.interrupted) {
        RaiseMessage(361);
        return false;
    }
    if (!answer.ok) {
        RaiseError(QStringLiteral("JavaScript: ") + answer.text);
        return false;
    }
    value = answer.text;
    return true;
}

} // namespace tesmora
