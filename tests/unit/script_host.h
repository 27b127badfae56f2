// A host for tests that drive whole scripts: it records what the
// interpreter asks of the environment.
#pragma once

#include "core/interpreter.h"

#include <QSet>
#include <gtest/gtest.h>
#include <vector>
#include <QStringList>
#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace tesmora::test {

struct ScriptHost : Host {
    QStringList errors;
    QStringList messages;
    QList<int> marks;
    QStringList sounds;
    QSet<int> breakpoints;
    int refreshes = 0;
    int processEventsCalls = 0;
    // Presses Pause (through the interpreter) when processEvents runs for the Nth time.
    Interpreter *pauseTarget = nullptr;
    int pauseAtEvents = -1;
    bool pauseKey = false;
    // A breakpoint at line `lateBreakpoint` that holds from the
    // `lateBreakpointFrom`-th time the run asks about that line: a stop in a
    // later pass of a loop.
    int lateBreakpoint = -1;
    int lateBreakpointFrom = 0;
    mutable int lateBreakpointAsked = 0;

    void showErrorBox(const QString &text) override { errors << text; }
    void showMessageNow(const QString &text) override { messages << text; }
    void markCurrentLine(int line) override { marks << line; }
    bool hasBreakpoint(int line) const override
    {
        if (line == lateBreakpoint && ++lateBreakpointAsked >= lateBreakpointFrom)
            return true;
        return breakpoints.contains(line);
    }
    void refreshVariables() override { ++refreshes; }
    void playSystemSound(SystemSound s) override { sounds << (s == SystemSound::Hand ? "hand" : "asterisk"); }
    bool pauseKeyDown() const override { return pauseKey; }
    void processEvents() override
    {
        ++processEventsCalls;
        if (pauseTarget && processEventsCalls == pauseAtEvents)
            pauseTarget->A_PauseExecute();
    }
};

// `services` with `host` as their host.
inline InterpreterServices hostedBy(Host &host, InterpreterServices services = {})
{
    services.host = &host;
    return services;
}

// An interpreter with a prepared script.
struct ScriptRun {
    ScriptHost host;
    Interpreter in;

    explicit ScriptRun(const QStringList &lines, const InterpreterServices &services = {},
                       const RunLimits &limits = {})
        : in(hostedBy(host, services), limits)
    {
        in.setScriptLines(lines);
        in.PrepareScript();
        in.updateSettings([&](ProgramSettings &s) { s.workMode = true; });
    }
    void start() { in.A_StartExecute(RunSender::StartAction); }
    void step() { in.A_StepExecute(RunSender::StepAction); }
    QString var(const QString &name) const { return in.GetVariableText(name); }
    TWordKind kind(const QString &name) const
    {
        const int i = in.FindVariable(name);
        return i < 0 ? wkNone : in.variables().at(i).kind;
    }
    QString error() const { return host.errors.isEmpty() ? QString() : host.errors.last(); }
};

// The array a script declared under `name`, or null.
inline const t_arr_specification *array(const ScriptRun &r, const QString &name)
{
    const int n = r.in.FindArray(name);
    return n > 0 ? &r.in.arrays().at(n) : nullptr;
}

// The four dimensions of an array a script declared (empty when there is none).
inline std::vector<int> dims(const ScriptRun &r, const QString &name)
{
    const t_arr_specification *a = array(r, name);
    if (!a)
        return {};
    return {a->dim[0], a->dim[1], a->dim[2], a->dim[3]};
}

// The elements of a float array a script declared.
inline std::vector<double> floats(const ScriptRun &r, const QString &name)
{
    const t_arr_specification *a = array(r, name);
    EXPECT_NE(a, nullptr) << name.toStdString();
    if (!a || a->data_type != wkFloat)
        return {};
    return a->P->f;
}

} // namespace tesmora::test
