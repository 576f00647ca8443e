#include "base/Text_win.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/Utf.h"

namespace {
std::wstring ToWide(UINT cp, const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (n > 0) MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}
std::string FromWide(UINT cp, const std::wstring& s) {
    if (s.empty()) return {};
    int n = WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0) WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}
}  // namespace

std::wstring AnsiToWide(const std::string& s) { return ToWide(CP_ACP, s); }
std::string WideToAnsi(const std::wstring& s) { return FromWide(CP_ACP, s); }
std::wstring Utf8ToWide(const std::string& s) { return ToWide(CP_UTF8, s); }
std::string WideToUtf8(const std::wstring& s) { return FromWide(CP_UTF8, s); }

std::string AnsiToUtf8(std::string_view s) {
    if (IsAscii(s)) return std::string(s);
    return WideToUtf8(AnsiToWide(std::string(s)));
}

std::string Utf8ToAnsi(std::string_view s) {
    if (IsAscii(s)) return std::string(s);
    return WideToAnsiName(Utf8ToWide(std::string(s)));
}

std::string WideToAnsiName(const std::wstring& s) {
    if (s.empty()) return {};
    const int length = static_cast<int>(s.size());
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), length, nullptr, 0, "?", nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), length, out.data(), n, "?", nullptr);
    return out;
}

std::u16string WideToU16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
std::wstring U16ToWide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

bool AnsiLeadByte(unsigned char c) {
    // The process's ANSI code page never changes, and path text asks for every
    // byte of every name: ask the system once per byte value.
    static const std::array<bool, 256> lead = [] {
        std::array<bool, 256> t{};
        for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE;
        return t;
    }();
    return lead[c];
}

bool WideToAnsiExact(const std::wstring& s, std::string& out) {
    if (s.empty()) {
        out.clear();
        return true;
    }
    BOOL usedDefault = FALSE;
    const int size = static_cast<int>(s.size());
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), size, nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    std::string text(static_cast<size_t>(n), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), size, text.data(), n, nullptr, &usedDefault) != n ||
        usedDefault)
        return false;
    out = std::move(text);
    return true;
}

std::wstring ReaderText(const std::string& utf8) {
    std::wstring w = Utf8ToWide(utf8);
    if (w.size() > kMaxReaderText) {
        w.resize(kMaxReaderText);
        if (IS_HIGH_SURROGATE(w.back())) w.pop_back();
    }
    return w;
}

LRESULT ReaderTextLength(const std::wstring& text) {
    return static_cast<LRESULT>(std::max(WideToAnsi(text).size(), text.size()));
}

LRESULT CopyReaderText(const std::wstring& text, wchar_t* buffer) {
    std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    return static_cast<LRESULT>(text.size());
}
