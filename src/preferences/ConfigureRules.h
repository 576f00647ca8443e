#pragma once
// The preferences dialog's rules that need no window: what the extension edit's
// text becomes, how the token grid shares its width, which grid row a point hits.
#include <string>
#include <string_view>
#include <utility>
#include "base/Extensions.h"

// Blanks and control characters trimmed at both ends, ASCII letters lower-cased,
// a leading "." added when missing. Empty when nothing but blanks was typed.
std::string NormalizeExtensionInput(std::string_view text, TLeadByteTest isLeadByte = nullptr);

// The widths of the token grid's two columns: each gets its share of `usable`
// in proportion to its widest text. Both zero when there is no text at all or no
// room, so a grid without texts never divides by zero.
std::pair<int, int> SplitTokenColumns(int widest0, int widest1, int usable);

// The row under client y of a grid of fixed-height rows scrolled to topRow, or -1
// when y lies outside every row.
int GridRowAt(int y, int rowHeight, int topRow, int rowCount);
