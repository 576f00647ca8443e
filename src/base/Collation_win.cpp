#include "base/Collation_win.h"

#include <windows.h>

namespace {

constexpr DWORD kKeyFlags = LCMAP_SORTKEY | NORM_IGNORECASE;

// Appends the key that make(buffer, room) writes (its byte count, 0 with
// ERROR_INSUFFICIENT_BUFFER when the room is short, and the size wanted for
// room 0), without the key's terminating zero byte.
template <class F>
void AppendKey(std::size_t length, std::string& out, F make) {
    const std::size_t at = out.size();
    // Enough for most texts; a longer key is measured first and made again.
    int room = static_cast<int>(6 * length + 32);
    out.resize(at + static_cast<std::size_t>(room));
    int made = make(&out[at], room);
    if (made == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        room = make(nullptr, 0);
        if (room > 0) {
            out.resize(at + static_cast<std::size_t>(room));
            made = make(&out[at], room);
        }
    }
    // The key ends in a zero byte, which orders nothing that its length does not.
    out.resize(at + static_cast<std::size_t>(made > 0 ? made - 1 : 0));
}

// A UTF-8 text as UTF-16, on the stack when it is short (as titles are): a sort
// converts every text once per comparison when it has no keys.
class TWideText {
public:
    TWideText(const TWideText&) = delete;
    TWideText& operator=(const TWideText&) = delete;
    explicit TWideText(std::string_view utf8) {
        const int n = static_cast<int>(utf8.size());
        if (n == 0) return;
        length_ = n <= kSmall ? MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, small_, kSmall) : 0;
        if (length_ > 0) return;
        length_ = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
        big_.resize(static_cast<std::size_t>(length_ > 0 ? length_ : 0));
        if (length_ > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, big_.data(), length_);
        text_ = big_.data();
    }
    const wchar_t* Text() const { return text_; }
    int Length() const { return length_ > 0 ? length_ : 0; }

private:
    static constexpr int kSmall = 256;
    wchar_t small_[kSmall];
    std::wstring big_;
    const wchar_t* text_ = small_;
    int length_ = 0;
};

}  // namespace

int CompareUserText(std::string_view a, std::string_view b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

void AppendUserSortKey(std::string_view text, std::string& out) {
    if (text.empty()) return;
    const int length = static_cast<int>(text.size());
    AppendKey(text.size(), out, [&](char* key, int room) {
        return LCMapStringA(LOCALE_USER_DEFAULT, kKeyFlags, text.data(), length, key, room);
    });
}

TCollation UserCollation() { return TCollation(&CompareUserText, &AppendUserSortKey); }

int CompareUserTextUtf8(std::string_view a, std::string_view b) {
    const TWideText wa(a), wb(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.Text(), wa.Length(), wb.Text(), wb.Length()) -
           CSTR_EQUAL;
}

void AppendUserSortKeyUtf8(std::string_view text, std::string& out) {
    if (text.empty()) return;
    const TWideText wide(text);
    AppendKey(static_cast<std::size_t>(wide.Length()), out, [&](char* key, int room) {
        // The key is bytes, though the call is the wide one.
        return LCMapStringW(LOCALE_USER_DEFAULT, kKeyFlags, wide.Text(), wide.Length(),
                            reinterpret_cast<wchar_t*>(key), room);
    });
}

TCollation UserCollationUtf8() { return TCollation(&CompareUserTextUtf8, &AppendUserSortKeyUtf8); }
