#include "interpreter.h"
namespace tesmora {
void Interpreter::EvaluateWords(const WordList &words, TWordStatus &result) { (void)words; result.clear(); }
void Interpreter::EvaluateRange(const WordList &words, int from, int to, TWordStatus &result)
{
    WordList part;
    for (int i = from; i <= to; ++i)
        part[++part.last] = words[i];
    EvaluateWords(part, result);
}
void Interpreter::EvaluateText(const QString &text, TWordStatus &result)
{
    WordList w;
    SplitWords(text, w);
    result.clear();
    if (!failed())
        EvaluateWords(w, result);
}
} // namespace tesmora
