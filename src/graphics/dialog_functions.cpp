#include "dialog_functions.h"

#include "core/interpreter.h"
#include "core/numbers.h"
#include "library/arrays.h"
#include "library/builtins.h"

#include <algorithm>
#include <climits>

namespace tesmora {

namespace {

void numberResult(BuiltinCall &call, int value) { call.setNumber(value, FormatNumber(value)); }

// An integer argument rounded half to even, kept in the range of int.
int intArgument(const BuiltinCall &call, int i)
{
    return static_cast<int>(std::clamp<std::int64_t>(call.integer(i), INT_MIN, INT_MAX));
}

// The default text of the input dialogs: the second argument only when
// exactly two are given.
QString defaultText(const BuiltinCall &call, int n) { return n == 2 ? call.text(1) : QString(); }

void runMenu(Interpreter &in, DialogProvider &provider, BuiltinCall &call, int n)
{
    const QString arrayName = call.text(1);
    const int no = in.FindArray(arrayName);
    if (no == 0) {
        in.RaiseMessage(147, {arrayName}); // unknown array name
        return;
    }
    const t_arr_specification &a = in.Arrays.at(no);
    if (a.data_type != wkString) {
        in.RaiseMessage(149, {arrayName}); // not a string array
        return;
    }
    const int selected = n == 3 ? intArgument(call, 2) : 0;
    numberResult(call, provider.menu(call.text(0), menuItems(a), selected));
}

} // namespace

QStringList menuItems(const t_arr_specification &array)
{
    QStringList items;
    items.reserve(array.count);
    for (std::int64_t pos = 0; pos < array.count; ++pos)
        items << cellString(array, pos);
    return items;
}

MessageBoxOptions decodeMessageOptions(int options)
{
    MessageBoxOptions o;
    o.buttonSet = options & 0x0F;
    o.icon = options & 0xF0;
    return o;
}

QList<int> messageButtonCodes(int buttonSet)
{
    switch (buttonSet) {
    case 1:
        return {1, 2};
    case 2:
        return {3, 4, 5};
    case 3:
        return {6, 7, 2};
    case 4:
        return {6, 7};
    case 5:
        return {4, 2};
    default:
        return {1};
    }
}

bool messageSetHasCancel(int buttonSet) { return messageButtonCodes(buttonSet).contains(2); }

void DialogFunctions::execute(Interpreter &in, const QString &name, WordList &args, TWordStatus &result)
{
    result.clear();
    // The learner sees the variables as they are when the dialog asks.
    in.host().refreshVariables();
    BuiltinCall call(in, name, args, result);
    const int n = executorParameterCount(args);
    const QString prompt = n > 0 ? call.text(0) : QString();
    if (name.compare(QLatin1String("InputString"), Qt::CaseInsensitive) == 0) {
        QString answer;
        if (!provider_.inputString(prompt, defaultText(call, n), answer))
            answer.clear(); // Cancel gives the empty text
        call.setText(answer);
    } else if (name.compare(QLatin1String("InputText"), Qt::CaseInsensitive) == 0) {
        // The memo's text whichever way the window closed.
        QString answer;
        provider_.inputText(prompt, defaultText(call, n), answer);
        call.setText(answer);
    } else if (name.compare(QLatin1String("Message"), Qt::CaseInsensitive) == 0) {
        const QString caption = n >= 2 ? call.text(1) : QString();
        const int buttons = n == 3 ? intArgument(call, 2) : 0;
        numberResult(call, provider_.message(prompt, caption, buttons));
    } else if (name.compare(QLatin1String("Menu"), Qt::CaseInsensitive) == 0) {
        runMenu(in, provider_, call, n);
    } else {
        in.RaiseMessage(96, {name});
    }
}

} // namespace tesmora
