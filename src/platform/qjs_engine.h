// The JavaScript engine adapter over QJSEngine.
#pragma once

#include "core/javascript_engine.h"

#include <memory>

class QJSEngine;
class QJSValue;

namespace tesmora {

class QtJavaScriptEngine : public JavaScriptEngine {
public:
    QtJavaScriptEngine();
    ~QtJavaScriptEngine() override;
    JavaScriptResult evaluate(const QString &source) override;

private:
    std::unique_ptr<QJSEngine> engine_;
    std::unique_ptr<QJSValue> runner_;
};

} // namespace tesmora
