#pragma once
// The case folding of the system's ANSI code page, asked of the system character
// by character: made once and kept by its user (the code page stays for the
// life of the process).
#include "base/CaseFold.h"

TCaseFold AnsiCaseFold();

// The same locale's case folding of UTF-16 text (a TWideFold).
void FoldWide(std::u16string_view text, std::u16string& out);
