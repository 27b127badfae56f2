#include "qjs_engine.h"

#include <QJSEngine>

namespace tesmora {

QtJavaScriptEngine::QtJavaScriptEngine() : engine_(std::make_unique<QJSEngine>()) {}
QtJavaScriptEngine::~QtJavaScriptEngine() = default;

JavaScriptResult QtJavaScriptEngine::evaluate(const QString &source)
{
    (void)source;
    return {};
}

} // namespace tesmora
