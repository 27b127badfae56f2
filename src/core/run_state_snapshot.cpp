// Capturing and restoring the whole run state (Step back).
#include "interpreter.h"

#include <map>

namespace tesmora {

namespace {

bool sameCells(const ArrayCells &a, const ArrayCells &b)
{
    return a.f == b.f && a.i == b.i && a.s == b.s;
}

std::int64_t variableBytes(const QList<Tvariable> &variables)
{
    std::int64_t bytes = variables.size() * std::int64_t(sizeof(Tvariable) + sizeof(int));
    for (const Tvariable &v : variables)
        bytes += (v.VarName.size() + v.text().size()) * 2;
    return bytes;
}

// Cells of the same table position in `previous`, when they hold the same values.
std::shared_ptr<ArrayCells> unchangedCells(const RunStateSnapshot *previous, int n, const ArrayCells &live)
{
    if (!previous || n > previous->state.Arrays.count())
        return {};
    const std::shared_ptr<ArrayCells> &cells = previous->state.Arrays.at(n).P;
    return cells && sameCells(*cells, live) ? cells : nullptr;
}

} // namespace

RunStateSnapshot Interpreter::captureState(const RunStateSnapshot *previous) const
{
    RunStateSnapshot snapshot{static_cast<const InterpreterRunState &>(*this), 0};
    snapshot.bytes = std::int64_t(sizeof(RunStateSnapshot)) + variableBytes(Variables);
    // Arrays sharing one block (by-reference parameters) keep sharing one copy.
    std::map<const ArrayCells *, std::shared_ptr<ArrayCells>> copies;
    ArrayTable &arrays = snapshot.state.Arrays;
    for (int n = 1; n <= arrays.count(); ++n) {
        std::shared_ptr<ArrayCells> &cells = arrays.at(n).P;
        if (!cells)
            continue;
        auto found = copies.find(cells.get());
        if (found != copies.end()) {
            cells = found->second;
            continue;
        }
        std::shared_ptr<ArrayCells> copy = unchangedCells(previous, n, *cells);
        if (!copy)
            copy = std::make_shared<ArrayCells>(*cells);
        copies.emplace(cells.get(), copy);
        cells = copy;
    }
    return snapshot;
}

void Interpreter::restoreState(const RunStateSnapshot &snapshot)
{
    static_cast<InterpreterRunState &>(*this) = snapshot.state;
    variablesReplaced();
    // The live table gets cells of its own: the snapshot stays as it was.
    std::map<const ArrayCells *, std::shared_ptr<ArrayCells>> copies;
    for (int n = 1; n <= Arrays.count(); ++n) {
        std::shared_ptr<ArrayCells> &cells = Arrays.at(n).P;
        if (!cells)
            continue;
        auto found = copies.find(cells.get());
        if (found == copies.end())
            found = copies.emplace(cells.get(), std::make_shared<ArrayCells>(*cells)).first;
        cells = found->second;
    }
}

} // namespace tesmora
