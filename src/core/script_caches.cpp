#include "script_caches.h"

#include "interpreter.h"

#include <algorithm>

namespace tesmora {

const SplitCache::Entry *SplitCache::find(const QString &text, std::uint64_t generation)
{
    if (generation != generation_) {
        entries_.clear();
        order_.clear();
        generation_ = generation;
        return nullptr;
    }
    const auto it = entries_.constFind(text);
    return it == entries_.constEnd() ? nullptr : &it.value();
}

void SplitCache::insert(const QString &text, const WordList &words, QList<Dep> deps)
{
    Entry entry;
    entry.words.assign(words.w.begin(), words.w.begin() + words.count());
    // A name met twice resolved the same way both times.
    for (const Dep &d : deps)
        if (std::none_of(entry.deps.cbegin(), entry.deps.cend(),
                         [&](const Dep &e) { return e.name == d.name; }))
            entry.deps.append(d);
    entry.variableDep.assign(entry.words.size(), -1);
    for (size_t i = 0; i < entry.words.size(); ++i) {
        if (entry.words[i].kind != wkVariableName && entry.words[i].kind != wkArrayName)
            continue;
        const QString &name = entry.words[i].text();
        const auto at = std::find_if(entry.deps.cbegin(), entry.deps.cend(),
                                     [&](const Dep &d) { return d.name == name; });
        const auto k = at - entry.deps.cbegin();
        if (k >= 0 && k < kMaxWords)
            entry.variableDep[i] = static_cast<std::int8_t>(k);
    }
    const bool known = entries_.contains(text);
    if (!known && entries_.size() >= capacity_)
        evictOldest();
    entries_.insert(text, std::move(entry));
    if (!known)
        order_.push_back(text);
}

void SplitCache::copyTo(const Entry &entry, WordList &words)
{
    // Entries after `last` stay empty: only the words in use are touched.
    const int n = static_cast<int>(entry.words.size());
    for (int i = 0; i < n; ++i)
        words[i] = entry.words[static_cast<size_t>(i)];
    for (int i = n; i <= words.last; ++i)
        words[i].clear();
    words.last = n - 1;
}

// A quarter of the entries go, oldest first: a long run over many distinct
// texts keeps the recent ones instead of starting from nothing.
void SplitCache::evictOldest()
{
    const int drop = std::max(1, capacity_ / 4);
    for (int i = 0; i < drop && !order_.empty(); ++i) {
        entries_.remove(order_.front());
        order_.pop_front();
    }
}

const LineInfo &LineTable::getChanged(const QStringList &script, int line, std::uint64_t generation)
{
    if (generation == generation_ && lines_.size() == static_cast<size_t>(script.size())) {
        // Entries hold while they share each of their lines' text, as
        // untouched lines do.
        whole_ = QStringList();
        const LineInfo &info = lines_[static_cast<size_t>(line)];
        if (info.valid && sameBuffers(info, script, line))
            return info;
    }
    return getSlow(script, line, generation);
}

const LineInfo &LineTable::getSlow(const QStringList &script, int line, std::uint64_t generation)
{
    if (generation != generation_ || lines_.size() != static_cast<size_t>(script.size())) {
        lines_.assign(static_cast<size_t>(script.size()), LineInfo());
        generation_ = generation;
        whole_ = script;
    }
    LineInfo &info = lines_[static_cast<size_t>(line)];
    if (!info.valid || !stillHolds(info, script, line))
        build(info, script, line);
    return info;
}

bool LineTable::stillHolds(const LineInfo &info, const QStringList &script, int line)
{
    if (line + info.sources.size() > script.size())
        return false;
    for (int k = 0; k < info.sources.size(); ++k) {
        // An edited line was detached from the buffer the entry shares.
        const QString &kept = info.sources.at(k);
        const QString &now = script.at(line + k);
        if (kept.size() != now.size() || (kept.constData() != now.constData() && kept != now))
            return false;
    }
    return true;
}

void LineTable::build(LineInfo &info, const QStringList &script, int line)
{
    const QString &raw = script.at(line);
    const QString stripped = Interpreter::StripComment(raw).trimmed();
    info.sources = {raw};
    info.blank = stripped.isEmpty();
    info.statement.clear();
    if (!info.blank) {
        // A continuation may end the script, so the last line is looked at too.
        info.statement = stripped;
        for (int j = line + 1; j < script.size(); ++j) {
            info.sources.append(script.at(j));
            const QString s = Interpreter::StripComment(script.at(j)).trimmed();
            if (s.isEmpty())
                continue;
            if (s.at(0) != QLatin1Char('>'))
                break;
            info.statement += Interpreter::StripComment(s.mid(1));
        }
    }
    info.simple.reset();
    info.simpleTries = 0;
    info.stopLine = stripped.toLower() == QLatin1String("stop");
    info.elseLine = stripped.toUpper() == QLatin1String("ELSE");
    info.beginsStop = raw.trimmed().toLower().startsWith(QLatin1String("stop"));
    info.valid = true;
}

} // namespace tesmora
