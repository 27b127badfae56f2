#include "core/interpreter.h"
namespace tesmora {
void Interpreter::PrepareCallParameters(const QString &, const QString &, QString &name, WordList &args) { name.clear(); args.clear(); }
QString Interpreter::CheckCallParameters(TWordKind, QString &, WordList &) { return {}; }
void Interpreter::ExecuteEmbeddedFunction(const QString &, WordList &, TWordStatus &result) { result.clear(); }
void Interpreter::CallJavaScriptFunction(int, const QString &, WordList &, TWordStatus &result) { result.clear(); }
} // namespace tesmora
