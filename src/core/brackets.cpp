#include "brackets.h"

namespace tesmora {

int matchingBracket(QStringView text, int openPos, bool *quoteLeftOpen)
{
    const QChar open = text.at(openPos);
    const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char(')');
    QuoteTracker quotes;
    int depth = 0;
    int found = -1;
    for (int k = openPos; k < text.size(); ++k) {
        const QChar ch = text.at(k);
        if (quotes.skips(ch))
            continue;
        if (ch == open) {
            ++depth;
        } else if (ch == close && --depth == 0) {
            found = k;
            break;
        }
    }
    if (quoteLeftOpen)
        *quoteLeftOpen = quotes.inside();
    return found;
}

int indexOutsideQuotes(QStringView text, int from, QStringView stops)
{
    QuoteTracker quotes;
    for (int i = from; i < text.size(); ++i)
        if (!quotes.skips(text.at(i)) && stops.contains(text.at(i)))
            return i;
    return -1;
}

namespace {

bool isQuoteWord(const TWordStatus &w)
{
    return w.text().size() == 1 &&
           (w.text().at(0) == QLatin1Char('\'') || w.text().at(0) == QLatin1Char('"'));
}

} // namespace

int matchingBracketWord(const WordList &words, int at)
{
    TWordKind open = wkOpeningBracket;
    TWordKind close = wkClosingBracket;
    if (words[at].kind == wkOpeningSquareBracket || words[at].kind == wkClosingSquareBracket) {
        open = wkOpeningSquareBracket;
        close = wkClosingSquareBracket;
    }
    const bool forward = words[at].kind == open;
    const int step = forward ? 1 : -1;
    int depth = 0;
    bool quoted = false;
    for (int k = at; k >= 0 && k <= words.last; k += step) {
        const TWordStatus &w = words[k];
        if (isQuoteWord(w)) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (w.kind == (forward ? open : close))
            ++depth;
        else if (w.kind == (forward ? close : open) && --depth == 0)
            return k;
    }
    return -1;
}

int topLevelComma(const WordList &words, int from)
{
    int depth = 0;
    for (int i = from; i <= words.last; ++i) {
        switch (words[i].kind) {
        case wkOpeningBracket:
        case wkOpeningSquareBracket:
            ++depth;
            break;
        case wkClosingBracket:
        case wkClosingSquareBracket:
            --depth;
            break;
        case wkComma:
            if (depth == 0)
                return i;
            break;
        default:
            break;
        }
    }
    return -1;
}

int indexRunEnd(const WordList &words, int from, bool rangeAllowed)
{
    int square = 0;
    int round = 0;
    for (int k = from; k <= words.last; ++k) {
        switch (words[k].kind) {
        case wkOpeningSquareBracket:
            ++square;
            break;
        case wkClosingSquareBracket:
            if (square == 0)
                return k;
            --square;
            break;
        case wkOpeningBracket:
            ++round;
            break;
        case wkClosingBracket:
            if (round > 0)
                --round;
            break;
        case wkComma:
            if (square == 0 && round == 0)
                return k;
            break;
        case wkDblDot:
            if (rangeAllowed && square == 0 && round == 0)
                return k;
            break;
        default:
            break;
        }
    }
    return words.last + 1;
}

} // namespace tesmora
