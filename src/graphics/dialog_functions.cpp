#include "dialog_functions.h"

#include "core/interpreter.h"
#include "core/numbers.h"
#include "library/arrays.h"

#include <algorithm>
#include <climits>

namespace tesmora {

namespace {

void numberResult(DialogCall &call, int value)
{
    call.setNumber(value, FormatNumber(value));
}

// An integer argument rounded half to even, kept in the range of int.
int intArgument(const DialogCall &call, int i)
{
    return static_cast<int>(std::clamp<std::int64_t>(call.integer(i), INT_MIN, INT_MAX));
}

// The default text of the input dialogs: the second argument only when
// exactly two are given.
QString defaultText(const DialogCall &call)
{
    return call.count() == 2 ? call.text(1) : QString();
}

void InputString(DialogCall &call)
{
    QString answer;
    if (!call.provider.inputString(call.text(0), defaultText(call), answer))
        answer.clear(); // Cancel gives the empty text
    call.setText(answer);
}

void InputText(DialogCall &call)
{
    // The memo's text whichever way the window closed.
    QString answer;
    call.provider.inputText(call.text(0), defaultText(call), answer);
    call.setText(answer);
}

void Message(DialogCall &call)
{
    const int buttons = call.count() == 3 ? intArgument(call, 2) : 0;
    numberResult(call, call.provider.message(call.text(0), call.text(1), buttons));
}

void Menu(DialogCall &call)
{
    const QString arrayName = call.text(1);
    const int no = call.in.FindArray(arrayName);
    if (no == 0) {
        call.fail(147, {arrayName}); // unknown array name
        return;
    }
    const t_arr_specification &a = call.in.arrays().at(no);
    if (a.data_type != wkString) {
        call.fail(149, {arrayName}); // not a string array
        return;
    }
    const int selected = call.count() == 3 ? intArgument(call, 2) : 0;
    numberResult(call, call.provider.menu(call.text(0), menuItems(a), selected));
}

} // namespace

void registerDialogFunctions(DialogRegistry &registry)
{
    registry.add("InputString", InputString);
    registry.add("InputText", InputText);
    registry.add("Message", Message);
    registry.add("Menu", Menu);
}

DialogCall::DialogCall(Interpreter &in, DialogProvider &provider, const QString &name, WordList &args,
                       TWordStatus &result)
    : FunctionCall(in, name, args, result, executorParameterCount(args)), provider(provider)
{
}

DialogFunctions::DialogFunctions(DialogProvider &provider) : provider_(provider)
{
    registerDialogFunctions(registry_);
}

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

bool messageSetHasCancel(int buttonSet)
{
    return messageButtonCodes(buttonSet).contains(2);
}

void DialogFunctions::execute(Interpreter &in, const QString &name, WordList &args, TWordStatus &result)
{
    result.clear();
    // The learner sees the variables as they are when the dialog asks.
    in.host().refreshVariables();
    const DialogFunction fn = registry_.find(name);
    if (!fn) {
        in.RaiseMessage(96, {name});
        return;
    }
    DialogCall call(in, provider_, name, args, result);
    fn(call);
}

} // namespace tesmora
