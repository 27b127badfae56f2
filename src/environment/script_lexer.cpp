// (being written)
#include "script_lexer.h"
