#include "javascript_functions.h"

namespace tesmora {

QString BuildJavaScriptCall(int row, const WordList &args) { (void)row; (void)args; return {}; }

} // namespace tesmora
