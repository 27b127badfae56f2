// Caches that spare the run loop work it would repeat for every execution of
// a line: the words a statement text splits into, and what run control needs
// of each script line. Both are keyed on the interpreter's script generation,
// which changes whenever the script, its function list or the constant list is
// replaced, so an entry never outlives the script it was made for.
#pragma once

#include "ports/words.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace tesmora {

// Which names are in scope: while this is the same, every identifier resolves
// to the same variable, array or nothing. `stamp` is the interpreter's count
// of removals of variables and replacements of the whole run state; appended
// variables, a new function level and a changed array table show in the rest.
struct NamesKey {
    std::uint64_t stamp = 0; // 0: never checked
    std::uint64_t arrays = 0;
    qsizetype variables = 0;
    int level = 0;
    bool operator==(const NamesKey &) const = default;
};

// What the identifiers of a split resolved to when last checked under `key`:
// whether they all still resolve as when the text was split, and each one's
// variable index, or an array's table number (-1: neither).
struct DepsMemo {
    NamesKey key;
    bool hold = false;
    std::vector<int> found;
};

struct SimpleArguments;

// Statement text -> its words. Splitting a text gives the same words as long
// as the script generation is the same and every identifier in it is still a
// variable, an array or neither, so each entry keeps what its identifiers
// resolved to; the caller checks those before using an entry.
class SplitCache {
  public:
    struct Dep {
        QString name;
        bool isVariable = false;
        bool isArray = false;
    };
    struct Entry {
        std::vector<TWordStatus> words; // only the used words
        QList<Dep> deps;                // one per identifier
        mutable DepsMemo memo;
        // For each word, the dependency its variable or array name is (-1:
        // none), so that one lookup per name serves both the check and the
        // indices.
        std::vector<std::int8_t> variableDep;
        // Read as the argument text of a call: its arguments' programs,
        // made on first use (see Interpreter::prepareSimpleArguments).
        mutable std::shared_ptr<const SimpleArguments> arguments;
    };

    explicit SplitCache(int capacity = 4096) : capacity_(capacity) {}

    // The entry for `text`, or nullptr. A new generation empties the cache.
    const Entry *find(const QString &text, std::uint64_t generation);
    void insert(const QString &text, const WordList &words, QList<Dep> deps);
    int size() const { return static_cast<int>(entries_.size()); }
    static void copyTo(const Entry &entry, WordList &words);

  private:
    void evictOldest();
    QHash<QString, Entry> entries_;
    std::deque<QString> order_; // insertion order, for eviction
    std::uint64_t generation_ = 0;
    int capacity_;
};

struct SimpleLine;
struct CallArgument;
// Whether a learnt line calls a script function (and so nests a run loop).
bool callsScriptFunction(const SimpleLine &line);

// What run control needs of a line, computed once per line text.
struct LineInfo {
    QString statement;       // comment removed, continuation lines joined
    bool blank = true;       // no statement text
    bool stopLine = false;   // "stop" after the comment is removed
    bool beginsStop = false; // begins with "stop" (any case)
    bool elseLine = false;   // "else" alone (any case, a comment after it)
    // The raw lines the entry was made from: the line itself, the lines its
    // statement joined, and the line that ended the joining. Editing any of
    // them invalidates the entry.
    QStringList sources;
    bool valid = false;
    // The line as a simple assignment the interpreter runs directly, once
    // it has been split and found to be one (see Interpreter::learnSimpleLine).
    mutable std::shared_ptr<const SimpleLine> simple;
    // Learning is tried on the first two runs of the line: the first run
    // splits the argument texts of its calls.
    mutable std::uint8_t simpleTries = 0;
};

class LineTable {
  public:
    const LineInfo &get(const QStringList &script, int line, std::uint64_t generation)
    {
        // The common case, inline. While the script is still the very list
        // the table was started for, no line of it can have changed: the
        // table shares that list, so any change would have detached it.
        if (generation == generation_ && script.constData() == whole_.constData() &&
            script.size() == whole_.size() && line < whole_.size()) {
            const LineInfo &info = lines_[static_cast<size_t>(line)];
            if (info.valid)
                return info;
            return getSlow(script, line, generation);
        }
        return getChanged(script, line, generation);
    }

  private:
    // The list was changed (or the line is past the table).
    const LineInfo &getChanged(const QStringList &script, int line, std::uint64_t generation);
    static bool sameBuffers(const LineInfo &info, const QStringList &script, int line)
    {
        const qsizetype n = info.sources.size();
        if (line + n > script.size())
            return false;
        const QString *kept = info.sources.constData();
        const QString *now = script.constData() + line;
        for (qsizetype k = 0; k < n; ++k)
            if (kept[k].constData() != now[k].constData() || kept[k].size() != now[k].size())
                return false;
        return true;
    }
    const LineInfo &getSlow(const QStringList &script, int line, std::uint64_t generation);
    static bool stillHolds(const LineInfo &info, const QStringList &script, int line);
    static void build(LineInfo &info, const QStringList &script, int line);
    std::vector<LineInfo> lines_;
    std::uint64_t generation_ = 0;
    // The script the table was started for, while no change has been seen.
    QStringList whole_;
};

} // namespace tesmora
