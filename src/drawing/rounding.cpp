// Rounding helpers are header-only; this file keeps the library non-empty and
// checks the header compiles on its own.
#include "drawing/rounding.h"
