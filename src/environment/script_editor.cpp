// (being written)
#include "script_editor.h"
