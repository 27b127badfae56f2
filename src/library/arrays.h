// The script array table.
#pragma once

#include "ports/words.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tesmora {

// The element block of one array: count cells in row-major order, of the
// array's type. Shared between an array and its by-reference parameters.
struct ArrayCells {
    std::vector<double> f;
    std::vector<std::int64_t> i;
    std::vector<QString> s;
};

struct t_arr_specification {
    QString name;
    std::array<std::int32_t, 4> dim{};
    std::array<std::int32_t, 4> first{};
    std::int32_t count = 0;
    TWordKind data_type = wkFloat;
    std::shared_ptr<ArrayCells> P;
    std::int32_t function_level = 0;
    bool is_parameter_variable = false;

    int dimensions() const
    {
        for (int k = 3; k >= 0; --k)
            if (dim[static_cast<size_t>(k)] > 0)
                return k + 1;
        return 0;
    }
};

constexpr int kMaxDeclaredArrays = 25;
constexpr int kArrayTableCapacity = 525;
// The largest element block an array may take (bytes of cell storage).
constexpr std::int64_t kMaxArrayBytes = std::int64_t(512) * 1024 * 1024;
// The cell storage of all arrays of a run together (message 359 beyond it).
constexpr std::int64_t kMaxTotalArrayBytes = std::int64_t(1024) * 1024 * 1024;

// A new element block of `count` cleared cells of `type` (0, 0 or empty
// strings). Throws std::bad_alloc when the memory cannot be obtained.
std::shared_ptr<ArrayCells> makeCells(TWordKind type, std::int64_t count);
// Bytes of cell storage one element of `type` takes.
std::int64_t cellBytes(TWordKind type);
// True when the record has an element block holding all its `count` cells.
inline bool cellsReady(const t_arr_specification &a)
{
    if (!a.P || a.count < 0)
        return false;
    const auto n = static_cast<size_t>(a.count);
    switch (a.data_type) {
    case wkString:
        return a.P->s.size() >= n;
    case wkInt:
        return a.P->i.size() >= n;
    default:
        return a.P->f.size() >= n;
    }
}

// The flat position of the element with the `given` indices (valid[k]:
// index k is a whole number), from the last index to the first; -1 when an
// index is out of its range (an index beyond the array's dimensions meets
// dim 0 and fails).
inline std::int64_t elementPosition(const t_arr_specification &a, const std::array<std::int64_t, 4> &index,
                                    const std::array<bool, 4> &valid, int given)
{
    std::int64_t position = 0;
    std::int64_t multiplier = 1;
    for (int k = given - 1; k >= 0; --k) {
        const auto ks = static_cast<size_t>(k);
        const std::int64_t lo = std::int64_t(a.first[ks]) + 1;
        const std::int64_t hi = std::int64_t(a.first[ks]) + a.dim[ks];
        if (!valid[ks] || index[ks] < lo || index[ks] > hi)
            return -1;
        position += (index[ks] - lo) * multiplier;
        multiplier *= a.dim[ks];
    }
    return position < 0 || position >= a.count ? -1 : position;
}

// Element `pos` (0-based flat position) as a number (0 for a string array or
// a missing cell) and as text (empty for a number array or a missing cell).
double cellNumber(const t_arr_specification &a, std::int64_t pos);
std::int64_t cellInteger(const t_arr_specification &a, std::int64_t pos);
QString cellString(const t_arr_specification &a, std::int64_t pos);

// Array names compare code unit by code unit with ASCII a-z folded to upper case.
int compareArrayNames(QStringView a, QStringView b);
bool sameArrayName(const QString &a, const QString &b);

// The table of script arrays, numbered from 1.
class ArrayTable {
  public:
    int count() const { return static_cast<int>(records_.size()); }
    // Record number n (1-based).
    t_arr_specification &at(int n) { return records_[static_cast<size_t>(n - 1)]; }
    const t_arr_specification &at(int n) const { return records_[static_cast<size_t>(n - 1)]; }

    // Table number of the first record named `name`, 0 when none. A name
    // beginning with "_" only matches a record of `currentLevel` (> 0).
    int FindArray(const QString &name, int currentLevel) const;
    int FindArrayAtLevel(const QString &name, int level) const;
    void SortArrays();
    void append(t_arr_specification rec)
    {
        records_.push_back(std::move(rec));
        ++layout_;
    }
    bool full() const { return count() >= kArrayTableCapacity; }
    void DeleteArray(int n);
    void clear()
    {
        records_.clear();
        ++layout_;
    }
    // Changes whenever records are added, deleted or sorted, so also after a
    // record is renamed or moved to another level (a sort follows those).
    std::uint64_t layout() const { return layout_; }
    // False once a look at the records found no temporary array, until
    // records are added, deleted, renamed or moved again. The mark is the
    // table's own, so a copy put back keeps the mark it had.
    bool mayHoldTemporaries() const { return layout_ != withoutTemporaries_; }
    void noteNoTemporaries() { withoutTemporaries_ = layout_; }
    // Bytes of cell storage held by the table, a shared block counted once.
    std::int64_t bytesInUse() const;
    // True when `count` more cells of `type` keep the table inside kMaxTotalArrayBytes.
    bool fitsBudget(TWordKind type, std::int64_t count) const;

    // Markers read by the variables view.
    QString lastDeclaredName;
    int lastDeclaredLevel = 0;
    int lastAssignedArray = 0;
    // Run-wide counter of temporary arrays.
    int temporaryCounter = 0;

  private:
    std::vector<t_arr_specification> records_;
    std::uint64_t layout_ = 0;
    std::uint64_t withoutTemporaries_ = ~std::uint64_t(0);
};

} // namespace tesmora
