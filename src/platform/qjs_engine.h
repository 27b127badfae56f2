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
    // Compares the Math and string methods with the ones kept at the start
    // after every source run (a prepared call cannot replace them).
    bool standardMethodsUnchanged() override;
    // For the end of the program: the engines stop at once, and their heaps
    // are left to the operating system instead of being swept object by
    // object (most of the time a closing window waited for).
    void releaseAtExit();

  private:
    class Worker;
    struct Local;
    // Until the first source runs, the engine's objects are as it made them
    // and a prepared call (which only calls them) gives the same answer in
    // any engine: such calls run in an engine on the caller's own thread,
    // with no hand-over. From the first source on, every call goes to the
    // one engine that keeps the script's definitions.
    std::unique_ptr<Local> local_;
    bool sourceRan_ = false;
    Local *localEngine();
    // Shared with a running evaluate(): closing the window may destroy the
    // adapter while the stop check processes its events.
    std::shared_ptr<Worker> worker_;
    enum class StandardState { Unchanged, Unknown, Changed };
    StandardState standard_ = StandardState::Unchanged;
    JavaScriptResult hand(const JavaScriptCall &c, bool checkStandard, const StopCheck &stop);
};

} // namespace tesmora
