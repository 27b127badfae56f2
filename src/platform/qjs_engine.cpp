#include "qjs_engine.h"

#include <QJSEngine>
#include <QJSValue>
#include <QStringList>

namespace tesmora {

// Every source runs through an indirect eval inside try/catch: it evaluates
// in the global scope (so definitions survive), and every thrown value,
// Error object or not, is caught and reported the same way.
QtJavaScriptEngine::QtJavaScriptEngine() : engine_(std::make_unique<QJSEngine>())
{
    runner_ = std::make_unique<QJSValue>(engine_->evaluate(QStringLiteral(
        "(function (src) { try { return [true, (0, eval)(src)]; } catch (e) { return [false, e]; } })")));
}
QtJavaScriptEngine::~QtJavaScriptEngine() = default;

// A thrown Error object carries its text in `message`; a thrown value of any
// other type (throw 42, throw "x") is reported by its own text.
static QString failureMessage(const QJSValue &value)
{
    if (value.isError()) {
        const QJSValue message = value.property(QStringLiteral("message"));
        if (!message.isUndefined() && !message.isNull()) {
            const QString text = message.toString();
            if (!text.isEmpty())
                return text;
        }
    }
    return value.toString();
}

JavaScriptResult QtJavaScriptEngine::evaluate(const QString &source)
{
    const QJSValue answer = runner_->call({QJSValue(source)});
    if (answer.isError())
        return {false, failureMessage(answer)};
    const QJSValue value = answer.property(1);
    if (!answer.property(0).toBool() || value.isError())
        return {false, failureMessage(value)};
    return {true, value.toString()};
}

} // namespace tesmora
