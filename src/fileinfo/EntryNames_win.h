#pragma once
// Entry names as the player's records read them: the system code page's lead
// bytes, and UTF-8 for the text made of them.
#include "base/Text_win.h"
#include "fileinfo/EntryNames.h"

inline TNameText CodePageNames() { return TNameText(&AnsiLeadByte, &AnsiToUtf8); }
