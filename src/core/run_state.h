// Everything that says where a run stands and what it has computed, in one
// value type. The interpreter is built on it, so a copy of this struct is a
// copy of the whole run: Step back keeps such copies. State that a run
// changes and that a restored run must see again belongs here, not in the
// interpreter's own members.
#pragma once

#include "ports/words.h"
#include "library/arrays.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <random>

namespace tesmora {

constexpr int kMaxBlockLevel = 100;

struct InterpreterRunState {
    int CurrentLine = 0;
    QList<Tvariable> Variables;
    QList<int> VariableOrder;
    std::array<TBlockLevel, kMaxBlockLevel + 1> BlockStack{};
    int BlockDepth = 0;
    TBlockLevel ReturnedBlock;
    // The record of the line being executed (empty between lines); a call
    // stepped into keeps it in its level's CallerRecord until it returns.
    LineRecord LineValues;
    int CurrentFunctionLevel = 0;
    QString ErrorText;
    QString TryErrorText;
    bool TryMode = false;
    bool TryCaught = false;
    std::uint8_t RunState = rn_Stopped;
    int LastAssignedVariable = 0;
    ArrayTable Arrays;
    int StepOverLine = -1;
    int StepOverDepth = -1;
    int ContinueFunctionLevel = 0;
    // The kind of the first word of the statement executed last.
    TWordKind LastLineKind = wkNone;

  protected:
    std::mt19937_64 random_;
    bool randomSeeded_ = false;
    bool handlerRunning_ = false;
};

// A run state kept aside. Its array cells are its own (never shared with the
// live table), so later changes of the run do not reach it.
struct RunStateSnapshot {
    InterpreterRunState state;
    // Bytes the snapshot holds besides its array cells (which may be shared
    // with the snapshot it was captured after, and are counted by the holder).
    std::int64_t bytes = 0;
};

} // namespace tesmora
