// The JavaScript engine as the interpreter sees it: evaluate a source text,
// get its value as text or a failure message.
#pragma once

#include <QString>
#include <functional>

namespace tesmora {

struct JavaScriptResult {
    bool ok = false;
    QString text;             // the value as text, or the engine's failure message
    bool interrupted = false; // ended by the stop check, not by the source
};

class JavaScriptEngine {
  public:
    // Asked now and then while a source runs (on the caller's thread, so it
    // may process window events); true interrupts the evaluation.
    using StopCheck = std::function<bool()>;

    virtual ~JavaScriptEngine() = default;
    // Global state survives between evaluations; a failure or an
    // interruption leaves the engine usable.
    virtual JavaScriptResult evaluate(const QString &source, const StopCheck &stop = {}) = 0;
};

} // namespace tesmora
