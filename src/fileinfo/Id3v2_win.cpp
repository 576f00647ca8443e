#include "fileinfo/Id3v2.h"

#include <windows.h>

#include "fileinfo/FileSource_win.h"

namespace {
// No best-fit mapping: a character the code page lacks shows as "?", not as a
// look-alike letter.
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
}  // namespace

bool ReadMp3Tags(const std::string& fileName, TMP3FileInfo& info, bool preferId3v2) {
    TFile file = OpenForSharedRead(fileName);
    if (!file) return false;
    TWinFileSource source(file.get());
    return ReadMp3Tags(source, info, preferId3v2, &Utf16ToAnsiCodePage);
}
