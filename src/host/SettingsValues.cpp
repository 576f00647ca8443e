#include "host/SettingsValues.h"

#include <climits>
#include <cstdint>

namespace {

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
