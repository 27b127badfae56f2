// Eval: a text handed to the JavaScript engine.
#include "builtin_families.h"
#include "core/interpreter.h"

namespace tesmora {

namespace {

// Hands the text to the program's one JavaScript engine; what it defines
// stays for later evaluations.
void fnEval(FunctionCall &c)
{
    QString answer;
    if (c.in.RunJavaScript(c.text(0), answer))
        c.setText(answer);
}

} // namespace

void registerJavaScriptFunctions(BuiltinRegistry &registry)
{
    registry.add("Eval", fnEval);
}

} // namespace tesmora
