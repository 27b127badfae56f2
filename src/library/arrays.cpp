#include "arrays.h"

#include <algorithm>

namespace tesmora {

namespace {
inline char16_t foldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}
} // namespace

int compareArrayNames(QStringView a, QStringView b)
{
    const int n = static_cast<int>(std::min(a.size(), b.size()));
    for (int i = 0; i < n; ++i) {
        const char16_t x = foldAscii(a.at(i).unicode());
        const char16_t y = foldAscii(b.at(i).unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool sameArrayName(const QString &a, const QString &b)
{
    return a.size() == b.size() && compareArrayNames(a, b) == 0;
}

std::int64_t cellBytes(TWordKind type)
{
    if (type == wkString)
        return static_cast<std::int64_t>(sizeof(QString));
    return 8;
}

std::shared_ptr<ArrayCells> makeCells(TWordKind type, std::int64_t count)
{
    auto cells = std::make_shared<ArrayCells>();
    const auto n = static_cast<size_t>(std::max<std::int64_t>(count, 0));
    switch (type) {
    case wkString:
        cells->s.resize(n);
        break;
    case wkInt:
        cells->i.assign(n, 0);
        break;
    default:
        cells->f.assign(n, 0.0);
        break;
    }
    return cells;
}

namespace {
bool cellExists(const t_arr_specification &a, std::int64_t pos)
{
    return pos >= 0 && pos < a.count && cellsReady(a);
}
} // namespace

double cellNumber(const t_arr_specification &a, std::int64_t pos)
{
    if (!cellExists(a, pos))
        return 0.0;
    const auto p = static_cast<size_t>(pos);
    if (a.data_type == wkInt)
        return static_cast<double>(a.P->i[p]);
    if (a.data_type == wkString)
        return 0.0;
    return a.P->f[p];
}

std::int64_t cellInteger(const t_arr_specification &a, std::int64_t pos)
{
    if (!cellExists(a, pos) || a.data_type != wkInt)
        return 0;
    return a.P->i[static_cast<size_t>(pos)];
}

QString cellString(const t_arr_specification &a, std::int64_t pos)
{
    if (!cellExists(a, pos) || a.data_type != wkString)
        return {};
    return a.P->s[static_cast<size_t>(pos)];
}

int ArrayTable::FindArray(const QString &name, int currentLevel) const
{
    const bool local = IsCallOwnName(name);
    for (int i = 0; i < count(); ++i) {
        const t_arr_specification &r = records_[static_cast<size_t>(i)];
        if (r.name.isEmpty())
            break;
        if (!sameArrayName(r.name, name))
            continue;
        if (local && !(currentLevel > 0 && r.function_level == currentLevel))
            continue;
        return i + 1;
    }
    return 0;
}

int ArrayTable::FindArrayAtLevel(const QString &name, int level) const
{
    for (int i = 0; i < count(); ++i) {
        const t_arr_specification &r = records_[static_cast<size_t>(i)];
        if (r.name.isEmpty())
            break;
        if (r.function_level == level && sameArrayName(r.name, name))
            return i + 1;
    }
    return 0;
}

void ArrayTable::SortArrays()
{
    // Exchange sort: its order of equal names is part of the behaviour.
    ++layout_;
    const int n = count();
    for (int i = 0; i < n - 1; ++i)
        for (int j = i + 1; j < n; ++j)
            if (compareArrayNames(records_[static_cast<size_t>(i)].name,
                                  records_[static_cast<size_t>(j)].name) > 0)
                std::swap(records_[static_cast<size_t>(i)], records_[static_cast<size_t>(j)]);
}

void ArrayTable::DeleteArray(int n)
{
    if (n < 1 || n > count())
        return;
    records_.erase(records_.begin() + (n - 1));
    ++layout_;
}

std::int64_t ArrayTable::bytesInUse() const
{
    std::vector<const ArrayCells *> seen;
    std::int64_t bytes = 0;
    for (const t_arr_specification &a : records_) {
        if (!a.P || std::find(seen.begin(), seen.end(), a.P.get()) != seen.end())
            continue;
        seen.push_back(a.P.get());
        bytes += std::int64_t(std::max<std::int32_t>(a.count, 0)) * cellBytes(a.data_type);
    }
    return bytes;
}

bool ArrayTable::fitsBudget(TWordKind type, std::int64_t count) const
{
    return count <= (kMaxTotalArrayBytes - bytesInUse()) / cellBytes(type);
}

} // namespace tesmora
