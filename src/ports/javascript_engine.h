// The JavaScript engine as the interpreter sees it: evaluate a source text,
// get its value as text or a failure message.
#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace tesmora {

struct JavaScriptResult {
    bool ok = false;
    QString text;             // the value as text, or the engine's failure message
    bool interrupted = false; // ended by the stop check, not by the source
    // A prepared call without its source text could not run as prepared:
    // the caller gives the source text instead.
    bool needsSource = false;
};

// One argument of a prepared call: a number or a text, passed as a value.
struct JavaScriptArgument {
    bool isText = false;
    double number = 0.0;
    QString text;
};

// A call prepared twice: `expression` names its arguments a0, a1, ... (so an
// engine may compile it once and call it with values), and `source` is the
// same call with the arguments written out. An empty expression means the
// call only exists as its source text; an empty source, that the caller
// writes it only when the engine asks (JavaScriptResult::needsSource).
struct JavaScriptCall {
    QString expression;
    QList<JavaScriptArgument> args;
    QString source;
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
    // The value of a prepared call; an engine without compiled calls
    // evaluates its source text.
    virtual JavaScriptResult call(const JavaScriptCall &c, const StopCheck &stop = {})
    {
        return evaluate(c.source, stop);
    }
    // True while the methods of the engine's Math object, and the string
    // methods charAt and charCodeAt, are the ones it started with, so that a
    // caller may compute them itself with the same results. A source may
    // replace them (Math.floor = ...); an engine that cannot tell answers
    // false.
    virtual bool standardMethodsUnchanged() { return false; }
};

} // namespace tesmora
