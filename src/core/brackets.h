// Bracket and quote scans over statement texts and word lists: the one place
// that counts bracket depth.
#pragma once

#include "ports/words.h"

#include <QStringView>

namespace tesmora {

// ---- Texts ------------------------------------------------------------------

// Follows quoted parts through a text, one character at a time: ' and "
// open a quoted part that only the same character closes, so the other
// quote character inside it is plain text.
class QuoteTracker {
  public:
    // True when `c` opens, closes or lies inside a quoted part.
    bool skips(QChar c)
    {
        if (!quote_.isNull()) {
            if (c == quote_)
                quote_ = QChar();
            return true;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote_ = c;
            return true;
        }
        return false;
    }
    bool inside() const { return !quote_.isNull(); }

  private:
    QChar quote_;
};

// Index of the bracket that closes the one at text[openPos] ("(" or "["),
// counting only that kind and skipping quoted parts; -1 when the text ends
// first. `quoteLeftOpen`, when given, tells whether it ended inside quotes.
int matchingBracket(QStringView text, int openPos, bool *quoteLeftOpen = nullptr);

// Index of the first character of `stops` at or after `from` outside quoted
// parts, or -1.
int indexOutsideQuotes(QStringView text, int from, QStringView stops);

// ---- Word lists -------------------------------------------------------------

// Index of the word that matches the bracket word at `at`: forward from an
// opening "(" or "[", backward from a closing one; -1 when the list ends
// first. Words whose text is a lone ' or " flip a flag that suspends the
// counting, as they do when a power or root sign looks for its operand.
int matchingBracketWord(const WordList &words, int at);

// Index of the first comma of words[from..last] outside brackets, or -1.
// "(" and "[" share one depth; a closing bracket that was not opened in the
// scan makes the depth negative, and the commas after it are not at the top.
int topLevelComma(const WordList &words, int from);

// Index of the word that ends the index or dimension run starting at `from`:
// the first "," (or ".." when `rangeAllowed`) outside brackets, or the "]"
// that closes the reference the run belongs to; words.last + 1 when the list
// ends first. Unlike topLevelComma the two bracket kinds count apart, an
// unmatched ")" is passed over and an unmatched "]" ends the run.
int indexRunEnd(const WordList &words, int from, bool rangeAllowed);

} // namespace tesmora
