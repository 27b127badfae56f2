#include "graphics_executor.h"

#include "core/interpreter.h"
#include "core/numbers.h"

namespace tesmora {

GraphicsCall::GraphicsCall(Interpreter &in, Canvas &canvas, const QString &name, WordList &args,
                           TWordStatus &result)
    : FunctionCall(in, name, args, result, executorParameterCount(args)), canvas(canvas)
{
}

int GraphicsCall::layerWhen(int i, int exactCount, int otherwise) const
{
    const bool given = exactCount < 0 ? count() >= i + 1 : count() == exactCount;
    return given ? layerArgument(i) : otherwise;
}

CanvasExecutor::CanvasExecutor(Canvas &canvas) : canvas_(canvas)
{
    registerGraphicsFamilies(registry_);
}

void CanvasExecutor::execute(Interpreter &in, const QString &name, WordList &args, TWordStatus &result)
{
    const GraphicsFunction fn = registry_.find(name);
    if (!fn) {
        RaiseFunctionNotFound(in, name);
        return;
    }
    // The panel shows what was drawn even when the call ends in a fault.
    struct Shown {
        Canvas &c;
        ~Shown() { c.panel().canvasChanged(); }
    } shown{canvas_};
    GraphicsCall call(in, canvas_, name, args, result);
    fn(call);
}

} // namespace tesmora
