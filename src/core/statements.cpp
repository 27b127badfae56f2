#include "interpreter.h"
namespace tesmora {
TWordKind Interpreter::ExecuteLine(TWordKind previousKind) { (void)previousKind; return wkNone; }
void Interpreter::CallScriptFunction(const QString &callText, WordList &args, TWordStatus &result) { (void)callText; (void)args; result.clear(); }
void Interpreter::BindParameter(const QString &, const QString &, const TWordStatus &, bool) {}
void Interpreter::FinishReturn() {}
} // namespace tesmora
