#include "base/CaseFold_win.h"

#include <windows.h>

#include "base/Text_win.h"

TCaseFold AnsiCaseFold() {
    auto query = [](unsigned code) {
        char bytes[2];
        int n = 0;
        if (code > 0xFF) bytes[n++] = static_cast<char>(code >> 8);
        bytes[n++] = static_cast<char>(code & 0xFF);
        TFoldChar info;
        wchar_t wide[4] = {};
        // Bytes that are no character of the code page fold to nothing.
        const int w = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, n, wide, 4);
        if (w != 1) return info;
        info.Blank = wide[0] == L' ' || wide[0] == L'\t' || wide[0] == 0x3000;
        // The case mapping the locale's case-insensitive comparison rests on.
        char folded[8] = {};
        if (LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, bytes, n, folded, sizeof folded) == n)
            info.Folded = n == 2 ? static_cast<unsigned char>(folded[0]) << 8 | static_cast<unsigned char>(folded[1])
                                 : static_cast<unsigned char>(folded[0]);
        return info;
    };
    return TCaseFold(&AnsiLeadByte, query);
}

void FoldWide(std::u16string_view text, std::u16string& out) {
    const std::wstring in(text.begin(), text.end());
    std::wstring folded(in.size(), L'\0');
    const int n = static_cast<int>(in.size());
    // Lower case keeps the length; a text the system does not map stays as it is.
    if (n > 0 && LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, in.c_str(), n, folded.data(), n) == n)
        out.append(folded.begin(), folded.end());
    else
        out.append(text);
}
