#include "base/Collation_win.h"

#include <windows.h>

int CompareUserText(std::string_view a, std::string_view b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

void AppendUserSortKey(std::string_view text, std::string& out) {
    if (text.empty()) return;
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(text.size());
    const std::size_t at = out.size();
    // Enough for most texts; a longer key is measured first and made again.
    int room = 6 * length + 32;
    out.resize(at + static_cast<std::size_t>(room));
    int made = LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, &out[at], room);
    if (made == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        room = LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, nullptr, 0);
        if (room > 0) {
            out.resize(at + static_cast<std::size_t>(room));
            made = LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, &out[at], room);
        }
    }
    // The key ends in a zero byte, which orders nothing that its length does not.
    out.resize(at + static_cast<std::size_t>(made > 0 ? made - 1 : 0));
}

TCollation UserCollation() { return TCollation(&CompareUserText, &AppendUserSortKey); }
