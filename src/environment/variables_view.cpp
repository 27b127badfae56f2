// (being written)
#include "variables_view.h"
