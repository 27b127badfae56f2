// The dialog functions of scripts (InputString, InputText, Message, Menu):
// their arguments read from the call, the dialogs asked of a DialogProvider
// (windows in the environment, an answer queue in the headless runner).
#pragma once

#include "ports/executors.h"
#include "library/function_call.h"
#include "library/function_catalogue.h"

namespace tesmora {

struct t_arr_specification;

// One call of a dialog function: the shared argument reader with the
// provider that asks the user.
class DialogCall : public FunctionCall {
  public:
    DialogCall(Interpreter &in, DialogProvider &provider, const QString &name, WordList &args,
               TWordStatus &result);
    DialogProvider &provider;
};

using DialogFunction = void (*)(DialogCall &call);
// The handlers of the dialog table, attached by catalogue name.
using DialogRegistry = FunctionRegistry<DialogFunction>;
void registerDialogFunctions(DialogRegistry &registry);

class DialogFunctions : public DialogExecutor {
  public:
    explicit DialogFunctions(DialogProvider &provider);
    void execute(Interpreter &in, const QString &name, WordList &args, TWordStatus &result) override;

  private:
    DialogProvider &provider_;
    DialogRegistry registry_{FunctionTable::Dialog};
};

// The items a Menu shows: every element of the array in element order.
QStringList menuItems(const t_arr_specification &array);

// The parts of a message box option value: the button set (0 OK; 1 OK,
// Cancel; 2 Abort, Retry, Ignore; 3 Yes, No, Cancel; 4 Yes, No; 5 Retry,
// Cancel) and the icon (16 error, 32 question, 48 warning, 64 information).
struct MessageBoxOptions {
    int buttonSet = 0;
    int icon = 0;
};
MessageBoxOptions decodeMessageOptions(int options);
// The codes of the set's buttons in their order (1 OK, 2 Cancel, 3 Abort,
// 4 Retry, 5 Ignore, 6 Yes, 7 No); an unknown set shows OK.
QList<int> messageButtonCodes(int buttonSet);
// True when the set has a Cancel button (what Esc answers).
bool messageSetHasCancel(int buttonSet);

} // namespace tesmora
