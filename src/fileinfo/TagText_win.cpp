#include "fileinfo/TagText_win.h"

#include <windows.h>

std::string Utf16ToAnsiCodePage(std::u16string_view text) {
    if (text.empty()) return {};
    const std::wstring wide(text.begin(), text.end());
    const int length = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, "?", nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), n, "?", nullptr);
    return out;
}
