// The JavaScript engine adapter over QJSEngine.
#pragma once

#include "ports/javascript_engine.h"

#include <memory>

namespace tesmora {

// The engine lives on a thread of its own: the caller's thread keeps asking
// the stop check while a source runs, and a true answer interrupts the engine
// (a loop that never ends cannot freeze the window).
class QtJavaScriptEngine : public JavaScriptEngine {
  public:
    QtJavaScriptEngine();
    ~QtJavaScriptEngine() override;
    JavaScriptResult evaluate(const QString &source, const StopCheck &stop = {}) override;
    // Compiles each call expression once and calls it with the values.
    JavaScriptResult call(const JavaScriptCall &c, const StopCheck &stop = {}) override;
    // For the end of the program: the engine's thread stops at once, and
    // the engine's heap is left to the operating system instead of being
    // swept object by object (most of the time a closing window waited for).
    void releaseAtExit();

  private:
    class Worker;
    // Shared with a running evaluate(): closing the window may destroy the
    // adapter while the stop check processes its events.
    std::shared_ptr<Worker> worker_;
};

} // namespace tesmora
