#pragma once
// The case folding of the system's ANSI code page, asked of the system character
// by character: made once and kept by its user (the code page stays for the
// life of the process).
#include "base/CaseFold.h"

TCaseFold AnsiCaseFold();
