// Array declaration, value lists, element references and the lifetime of
// arrays across script functions and runs.
#include "core/interpreter.h"

namespace tesmora {

void Interpreter::DeclareArray(const WordList &words) { (void)words; }
void Interpreter::LoadArrayValues(int n, const QString &listText) { (void)n; (void)listText; }
bool Interpreter::LocateElement(const WordList &words, int nameIdx, int &flatPos, int &arrayNo, int &closeIdx)
{
    (void)words; (void)nameIdx; flatPos = 0; arrayNo = 0; closeIdx = nameIdx;
    return false;
}
void Interpreter::AssignArrayElement(const WordList &words) { (void)words; }
void Interpreter::ReadArrayElement(WordList &words, int nameIdx) { (void)words; (void)nameIdx; }
int Interpreter::CreateArrayFromText(const QString &declaration) { (void)declaration; return 0; }
void Interpreter::AssignArrayResult(const QString &targetName, const QString &sourceName) { (void)targetName; (void)sourceName; }
void Interpreter::BindArrayParameter(const QString &formalName, const QString &actualName, bool byReference,
                                     const QString &functionName)
{
    (void)formalName; (void)actualName; (void)byReference; (void)functionName;
}
QString Interpreter::ReleaseFunctionArrays(const QString &returnedName) { (void)returnedName; return {}; }
void Interpreter::DeleteTemporaryArrays() {}
void Interpreter::ResetArrays() { Arrays.clear(); }
QString Interpreter::NewTemporaryArrayName() { return {}; }

} // namespace tesmora
