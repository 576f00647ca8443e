#include "host/SettingsValues.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// Blanks and control characters: the separators of comma text.
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<int> ParseSettingsInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;  // no digits

    // Accumulate the magnitude; stop as soon as it leaves 32 bits.
    const int base = hex ? 16 : 10;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        int d = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0)
            return std::nullopt;
        magnitude = magnitude * base + static_cast<unsigned>(d);
        if (magnitude > 0xFFFFFFFFu)
            return std::nullopt;
    }

    if (hex) {
        // All 32 bits are significant; the sign negates that bit pattern.
        std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
        if (negative)
            bits = 0u - bits;
        return static_cast<int>(bits);
    }
    if (negative) {
        if (magnitude > std::uint64_t{INT_MAX} + 1)
            return std::nullopt;
        return static_cast<int>(-static_cast<std::int64_t>(magnitude));
    }
    if (magnitude > std::uint64_t{INT_MAX})
        return std::nullopt;
    return static_cast<int>(magnitude);
}

int ReadSettingsInt(const std::optional<std::string>& text, int defaultValue) {
    if (!text)
        return defaultValue;
    return ParseSettingsInt(*text).value_or(defaultValue);
}

bool ReadSettingsBool(const std::optional<std::string>& text, bool defaultValue) {
    if (!text)
        return defaultValue;
    std::optional<int> v = ParseSettingsInt(*text);
    return v ? *v != 0 : defaultValue;
}

int SafeAbs(int value) {
    if (value == INT_MIN)
        return INT_MAX;
    return value < 0 ? -value : value;
}

std::string StripFormatQuotes(std::string value) {
    if (!value.empty() && value.front() == '"')
        value.erase(0, 1);
    if (!value.empty() && value.back() == '"')
        value.pop_back();
    return value;
}

bool IsJapaneseLocale(std::string_view locale) { return locale == "0411"; }

std::string LocaleText(bool japaneseCaptions) { return japaneseCaptions ? "0411" : "0000"; }

std::vector<std::string> ParseCommaText(std::string_view text) {
    std::vector<std::string> items;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && IsBlankOrControl(text[i]))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;  // the closing quote
                    break;
                }
                item += text[i++];
            }
        } else {
            std::size_t start = i;
            while (i < n && !IsBlankOrControl(text[i]) && text[i] != ',')
                ++i;
            item.assign(text.substr(start, i - start));
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (i < n && text[i] == ',') {
            ++i;
            skipBlanks();
        }
    }
    return items;
}

std::string FormatCommaText(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t k = 0; k < items.size(); ++k) {
        const std::string& item = items[k];
        if (k > 0)
            out += ',';
        bool quote = item.empty() || std::any_of(item.begin(), item.end(), [](char c) {
                         return IsBlankOrControl(c) || c == ',' || c == '"';
                     });
        if (!quote) {
            out += item;
            continue;
        }
        out += '"';
        for (char c : item) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

std::string LowerAscii(std::string_view text, TLeadByteTest isLeadByte) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (isLeadByte && c >= 0x80 && isLeadByte(c)) {
            ++i;  // leave the trail byte
            continue;
        }
        if (c >= 'A' && c <= 'Z')
            out[i] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

void TExtensionSet::Assign(const std::vector<std::string>& items) {
    Items.clear();
    Items.reserve(items.size());
    for (const std::string& item : items)
        Items.push_back(LowerAscii(item, IsLeadByte));
    std::sort(Items.begin(), Items.end());
    Items.erase(std::unique(Items.begin(), Items.end()), Items.end());
}

bool TExtensionSet::Add(std::string_view item) {
    std::string lower = LowerAscii(item, IsLeadByte);
    auto it = std::lower_bound(Items.begin(), Items.end(), lower);
    if (it != Items.end() && *it == lower)
        return false;
    Items.insert(it, std::move(lower));
    return true;
}

bool TExtensionSet::Remove(std::string_view item) {
    std::string lower = LowerAscii(item, IsLeadByte);
    auto it = std::lower_bound(Items.begin(), Items.end(), lower);
    if (it == Items.end() || *it != lower)
        return false;
    Items.erase(it);
    return true;
}

bool TExtensionSet::Contains(std::string_view item) const {
    return std::binary_search(Items.begin(), Items.end(), LowerAscii(item, IsLeadByte));
}
