#include "base/Extensions.h"

#include <algorithm>

namespace {

// Blanks and control characters: the separators of comma text.
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

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
