#include "graphics_executor.h"

#include "core/interpreter.h"
#include "core/numbers.h"

namespace tesmora {

GraphicsCall::GraphicsCall(Interpreter &in, Canvas &canvas, const QString &name, WordList &args,
                           TWordStatus &result)
    : in(in), canvas(canvas), name(name), args(args), result(result), count_(executorParameterCount(args))
{
}

std::int64_t GraphicsCall::integer64(int i) const
{
    std::int64_t v = 0;
    if (!RoundToInt64(number(i), v))
        throwTooLarge(number(i));
    return v;
}

const t_arr_specification *GraphicsCall::array(int i) const
{
    if (i >= count_ || args[i].kind != wkArrayName)
        return nullptr;
    const int n = in.FindArray(args[i].str);
    return n > 0 ? &in.Arrays.at(n) : nullptr;
}

int GraphicsCall::layerWhen(int i, int exactCount, int otherwise) const
{
    const bool given = exactCount < 0 ? count_ >= i + 1 : count_ == exactCount;
    return given ? layerArgument(i) : otherwise;
}

void GraphicsCall::setInteger(std::int64_t value)
{
    result.kind = wkInt;
    result.float_val = static_cast<double>(value);
    result.str = QString::number(value);
}

void GraphicsRegistry::add(const char *catalogueName, GraphicsFunction fn)
{
    byName_.insert(QString::fromLatin1(catalogueName).toLower(), fn);
}

CanvasExecutor::CanvasExecutor(Canvas &canvas) : canvas_(canvas) { registerGraphicsFamilies(registry_); }

void CanvasExecutor::execute(Interpreter &in, const QString &name, WordList &args, TWordStatus &result)
{
    const GraphicsFunction fn = registry_.find(name);
    if (!fn) {
        // The same text in every interface language.
        in.RaiseError(QStringLiteral("Ошибка интерпретатора. Не найдена функция \"%1\".").arg(name));
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
