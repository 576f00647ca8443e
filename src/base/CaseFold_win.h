#pragma once
// The case folding of the system's ANSI code page, from its own upper-casing.
#include "base/CaseFold.h"

TCaseFold AnsiCaseFold();
