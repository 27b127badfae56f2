// The call protocol of catalogue functions: argument preparation, the check
// against the Formula, and the dispatch to the built-in families and the
// JavaScript engine.
#include "builtins.h"
#include "core/interpreter.h"
#include "function_tables.h"
#include "javascript_functions.h"

#include <exception>

namespace tesmora {

void Interpreter::PrepareCallParameters(const QString &callText, const QString &scriptFunctionName, QString &name,
                                        WordList &args)
{
    name.clear();
    args.clear();
    const QString call = callText.trimmed();
    const int br = static_cast<int>(call.indexOf(QLatin1Char('(')));
    const int eq = static_cast<int>(call.indexOf(QLatin1Char('=')));
    if (br < 0 || (eq >= 0 && eq < br))
        return;
    name = call.left(br).trimmed();
    const QString argText = call.mid(br + 1, call.size() - br - 2).trimmed();

    ScratchList wordList(*this);
    WordList &words = *wordList;
    SplitWords(argText, words);
    if (failed())
        return;
    if (!scriptFunctionName.isEmpty() && scriptFunctionName.compare(name, Qt::CaseInsensitive) == 0) {
        for (int i = 0; i <= words.last; ++i)
            if (words[i].kind == wkScriptFunction) {
                RaiseMessage(82, {name, words[i].str});
                return;
            }
    }

    const QString upper = name.toUpper();
    const bool byName = upper == QLatin1String("EXISTS") || upper == QLatin1String("ARRAY_DELETE");
    int argNo = 0;
    int i = 0;
    while (i <= words.last) {
        // One argument: the words up to the next comma at the top level.
        ScratchList argList(*this);
        WordList &arg = *argList;
        int depth = 0;
        for (; i <= words.last; ++i) {
            const TWordKind k = words[i].kind;
            if (depth == 0 && k == wkComma)
                break;
            if (k == wkOpeningBracket || k == wkOpeningSquareBracket)
                ++depth;
            else if (k == wkClosingBracket || k == wkClosingSquareBracket)
                --depth;
            arg[++arg.last] = words[i];
        }
        ++i; // past the comma
        for (int k = 0; k <= arg.last; ++k) {
            if (arg[k].kind == wkArrayName && k < arg.last && arg[k + 1].kind == wkOpeningSquareBracket) {
                ReadArrayElement(arg, k);
                if (failed())
                    return;
            }
        }
        if (argNo >= kMaxWords)
            break;
        TWordStatus &out = args[argNo];
        if (byName) {
            const TWordKind k = arg.last == 0 ? arg[0].kind : wkNone;
            if (k != wkVariableName && k != wkArrayName && k != wkUnknownIdentifier) {
                RaiseMessage(117, {name});
                return;
            }
            out = arg[0];
        } else if (arg.last == 0 && arg[0].kind == wkArrayName) {
            out = arg[0];
        } else {
            const int level = CurrentFunctionLevel;
            EvaluateWords(arg, out);
            if (failed() || CurrentFunctionLevel != level)
                return; // an error, or a script function stepped into
            out.var_index = (arg.last == 0 && arg[0].kind == wkVariableName) ? arg[0].var_index : 0;
        }
        ++argNo;
    }
    args.last = -1;
    while (args.last + 1 < kMaxWords && args[args.last + 1].kind != wkNone)
        ++args.last;
}

namespace {

struct Formal {
    bool byReference = false;
    QString type;
};

bool validType(const QString &t)
{
    return t == QLatin1String("anytype") || t == QLatin1String("int") || t == QLatin1String("float") ||
           t == QLatin1String("boolean") || t == QLatin1String("string") || t == QLatin1String("array");
}

// Reads the formal parameters of a Formula. Returns false when a type is not
// valid; `required` counts the formals before the first "[".
bool readFormals(const QString &formula, QList<Formal> &formals, int &required, QString &returnType)
{
    const int open = static_cast<int>(formula.indexOf(QLatin1Char('(')));
    int close = -1;
    QChar quote;
    for (int i = open + 1; i < formula.size(); ++i) {
        const QChar c = formula.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(')')) {
            close = i;
            break;
        }
    }
    const QString list = formula.mid(open + 1, close - open - 1);
    required = -1;
    int p = 0;
    const int n = static_cast<int>(list.size());
    auto isStop = [](QChar c) {
        return c == QLatin1Char(')') || c == QLatin1Char(',') || c == QLatin1Char('=') || c == QLatin1Char('[') ||
               c == QLatin1Char(']');
    };
    while (p < n) {
        const QChar c = list.at(p);
        if (c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char(']')) {
            ++p;
            continue;
        }
        if (c == QLatin1Char('[')) {
            if (required < 0)
                required = static_cast<int>(formals.size());
            ++p;
            continue;
        }
        Formal f;
        if (list.mid(p, 4).compare(QLatin1String("var "), Qt::CaseInsensitive) == 0) {
            f.byReference = true;
            p += 4;
        }
        while (p < n && list.at(p) != QLatin1Char(':') && !isStop(list.at(p)))
            ++p;
        if (p < n && list.at(p) == QLatin1Char(':')) {
            const int t0 = ++p;
            while (p < n && !isStop(list.at(p)))
                ++p;
            f.type = list.mid(t0, p - t0).trimmed().toLower();
        }
        if (p < n && list.at(p) == QLatin1Char('=')) {
            // A default value, shown only in help; may be quoted.
            QChar q;
            ++p;
            while (p < n) {
                const QChar d = list.at(p);
                if (!q.isNull()) {
                    if (d == q)
                        q = QChar();
                } else if (d == QLatin1Char('"') || d == QLatin1Char('\'')) {
                    q = d;
                } else if (d == QLatin1Char(',') || d == QLatin1Char('[') || d == QLatin1Char(']')) {
                    break;
                }
                ++p;
            }
        }
        if (f.type.isEmpty())
            f.type = QStringLiteral("anytype");
        if (!validType(f.type))
            return false;
        formals.append(f);
    }
    if (required < 0)
        required = static_cast<int>(formals.size());
    returnType.clear();
    if (close >= 0) {
        const QString rest = formula.mid(close + 1).trimmed();
        if (rest.startsWith(QLatin1Char(':'))) {
            returnType = rest.mid(1).trimmed().toLower();
            if (returnType.isEmpty())
                returnType = QStringLiteral("anytype");
            if (!validType(returnType))
                return false;
        }
    }
    return true;
}

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

QString Interpreter::CheckCallParameters(TWordKind kind, QString &name, WordList &args)
{
    const auto table = functionTable(tableForKind(kind));
    const int row = catalogueRow(FindCatalogueFunction(tableForKind(kind), name));
    if (row < 0 || row >= static_cast<int>(table.size()))
        return {};
    const T_FunctionDescription &d = table[static_cast<size_t>(row)];
    name = d.name();
    const QString formula = d.formula();
    if (!formula.contains(QLatin1Char(')'))) {
        RaiseMessage(75, {name});
        return {};
    }
    QList<Formal> formals;
    int required = 0;
    QString returnType;
    if (!readFormals(formula, formals, required, returnType)) {
        RaiseError(QStringLiteral("Developer error in Function description <") + formula + QStringLiteral(">."));
        return {};
    }
    int count = 0;
    while (count < kMaxWords && args[count].kind != wkNone)
        ++count;
    for (int i = 0; i < formals.size() && i < count; ++i) {
        if (formals.at(i).byReference && args[i].var_index == 0) {
            RaiseMessage(119, {name, i + 1});
            return {};
        }
    }
    for (int i = 0; i < count; ++i) {
        if (i >= formals.size()) {
            RaiseMessage(120, {name, static_cast<int>(formals.size())});
            return {};
        }
        const TWordStatus &a = args[i];
        if (a.kind == wkUnknownIdentifier) {
            QString text = QStringLiteral("Function \"%1\". Actual parameter № %2 (%3)").arg(name).arg(i + 1).arg(a.str);
            text += a.str.isEmpty() ? QStringLiteral(" is undefined. ") : QStringLiteral(" is incorrect. ");
            RaiseError(text);
            return {};
        }
        bool checked = false;
        const QString &type = formals.at(i).type;
        if (!typeAccepts(a.kind, type, checked)) {
            const QString text = TranslatePhrase(QStringLiteral("Function")) + QLatin1Char(' ') + QLatin1Char('"') +
                                 name + QStringLiteral("\". ") + TranslatePhrase(QStringLiteral("Parameter")) +
                                 QStringLiteral(" № ") + QString::number(i + 1) +
                                 TranslatePhrase(QStringLiteral(" must be")) + QStringLiteral(" \"") + type +
                                 QStringLiteral("\". ");
            RaiseError(text);
            return {};
        }
    }
    if (count < required) {
        RaiseMessage(81, {name, count, required});
        return {};
    }
    return returnType;
}

void Interpreter::ExecuteEmbeddedFunction(const QString &name, WordList &args, TWordStatus &result)
{
    result.clear();
    const BuiltinFunction fn = findBuiltin(name);
    if (!fn) {
        RaiseError(QString::fromUtf8("Ошибка интерпретатора. Не найдена функция \"") + name + QStringLiteral("\"."));
        return;
    }
    BuiltinCall call(*this, name, args, result);
    try {
        fn(call);
    } catch (const std::exception &e) {
        result.clear();
        RaiseFailure(e);
    }
    if (failed())
        result.clear();
}

void Interpreter::CallJavaScriptFunction(int funcIndex, const QString &name, WordList &args, TWordStatus &result)
{
    result.clear();
    const auto table = functionTable(FunctionTable::JavaScript);
    if (funcIndex < 0 || funcIndex >= static_cast<int>(table.size()))
        return;
    const T_FunctionDescription &row = table[static_cast<size_t>(funcIndex)];
    QString answer;
    if (!RunJavaScript(BuildJavaScriptCall(row, args), answer))
        return;
    if (!JavaScriptResultWord(row, answer, result)) {
        result.clear();
        RaiseMessage(46, {name});
    }
}

bool Interpreter::RunJavaScript(const QString &source, QString &value)
{
    if (!JsEngine) {
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
    const JavaScriptResult answer = JsEngine->evaluate(source, stop);
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
