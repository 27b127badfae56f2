// The JavaScript engine as the interpreter sees it: evaluate a source text,
// get its value as text or a failure message.
#pragma once

#include <QString>

namespace tesmora {

struct JavaScriptResult {
    bool ok = false;
    QString text; // the value as text, or the engine's failure message
};

class JavaScriptEngine {
public:
    virtual ~JavaScriptEngine() = default;
    // Global state survives between evaluations; a failure leaves the
    // engine usable.
    virtual JavaScriptResult evaluate(const QString &source) = 0;
};

} // namespace tesmora
