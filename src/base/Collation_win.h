#pragma once
// The user's collation with case ignored, as sorting and the list's text
// searches use it: CompareStringA with LOCALE_USER_DEFAULT and NORM_IGNORECASE,
// and LCMapStringA sort keys of the same locale and flags (both convert the
// 8-bit text with the locale's code page, so they see the same characters);
// and the same over UTF-8 text through CompareStringW and LCMapStringW, which
// order text the code page can hold exactly as the 8-bit calls do.
#include <string>
#include <string_view>

#include "base/Collation.h"

// < 0, 0 or > 0.
int CompareUserText(std::string_view a, std::string_view b);

// Appends the sort key of text (without its terminating zero byte); nothing for
// an empty text or when the system cannot make a key.
void AppendUserSortKey(std::string_view text, std::string& out);

TCollation UserCollation();

// The same collation over UTF-8 text (the rows' titles).
int CompareUserTextUtf8(std::string_view a, std::string_view b);
void AppendUserSortKeyUtf8(std::string_view text, std::string& out);
TCollation UserCollationUtf8();
