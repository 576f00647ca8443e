#include "base/ProfileText.h"

namespace {

// The profile reader's notion of white space (0x1A is the old end-of-file mark).
bool IsProfileSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsProfileSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsProfileSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

std::string StripProfileValue(std::string_view raw) {
    std::string_view v = Trim(raw);
    bool closingQuote = false;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v.remove_prefix(1);
        closingQuote = true;
    }
    // The closing quote goes only when the whole value fits the buffer; a cut
    // value keeps what fits, as the platform does.
    if (v.size() <= kProfileValueLimit) {
        if (closingQuote)
            v.remove_suffix(1);
        return std::string(v);
    }
    return std::string(v.substr(0, kProfileValueLimit));
}

std::string ProtectProfileValue(std::string value) {
    if (value.size() <= kProfileValueLimit && StripProfileValue(value) != value)
        return '"' + value + '"';
    return value;
}

TProfileText::TProfileText(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    bool inSection = false;  // keys before the first section belong to none
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty())
            continue;
        if (line.front() == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                Sections.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
                inSection = true;
                continue;
            }
            // A header without "]" is read as an ordinary line.
        }
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || !inSection)
            continue;
        Sections.back().Entries.push_back({std::string(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1)))});
    }
}

std::optional<std::string> TProfileText::Read(std::string_view section, std::string_view key) const {
    section = Trim(section);
    key = Trim(key);
    for (const TSection& s : Sections) {
        if (!EqualsIgnoringAsciiCase(s.Name, section))
            continue;
        for (const TEntry& e : s.Entries)
            if (EqualsIgnoringAsciiCase(e.Key, key))
                return StripProfileValue(e.Value);
        return std::nullopt;  // only the first section of a name counts
    }
    return std::nullopt;
}

TProfileReader TProfileText::Reader(std::string section) const {
    return [this, section = std::move(section)](const std::string& key) { return Read(section, key); };
}
