#include "interpreter.h"
namespace tesmora {
void Interpreter::RunOneLine() {}
void Interpreter::A_StepExecute(RunSender) {}
void Interpreter::RunLoop(int, RunSender) {}
void Interpreter::A_StartExecute(RunSender) {}
void Interpreter::A_Continue_runExecute(RunSender) {}
void Interpreter::A_StepOverExecute() {}
void Interpreter::a_FastExecute() {}
void Interpreter::A_PauseExecute() {}
} // namespace tesmora
