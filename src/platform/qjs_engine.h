// The JavaScript engine adapter over QJSEngine.
#pragma once

#include "core/javascript_engine.h"

#include <memory>

class QJSEngine;

namespace tesmora {

class QtJavaScriptEngine : public JavaScriptEngine {
public:
    QtJavaScriptEngine();
    ~QtJavaScriptEngine() override;
    JavaScriptResult evaluate(const QString &source) override;

private:
    std::unique_ptr<QJSEngine> engine_;
};

} // namespace tesmora
