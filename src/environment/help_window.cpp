// (being written)
#include "help_window.h"
