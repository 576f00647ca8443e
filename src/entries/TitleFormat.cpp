#include "entries/TitleFormat.h"

#include <array>
#include <cstddef>

#include "base/Utf.h"

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

enum class TToken { Title, Artist, Album, Comment, Source, Genre, FileName, Extension };

struct TTokenRow {
    std::string_view Text;
    TToken Token;
};

// Looked up in this order; the first matching row wins.
constexpr std::array<TTokenRow, 8> kTokens{{
    {"${INAM}", TToken::Title},
    {"${IART}", TToken::Artist},
    {"${IPRD}", TToken::Album},
    {"${ICMT}", TToken::Comment},
    {"${ISRC}", TToken::Source},
    {"${IGNR}", TToken::Genre},
    {"${FNAM}", TToken::FileName},
    {"${FEXT}", TToken::Extension},
}};
constexpr std::size_t kTokenLength = 7;

void AppendValue(std::string& out, TToken token, const TMP3FileInfo& rec, const TNameText& names) {
    switch (token) {
    case TToken::Title: out += rec.Title(); break;
    case TToken::Artist: out += rec.Artist(); break;
    case TToken::Album: out += rec.Album(); break;
    case TToken::Comment: out += rec.Comment(); break;
    case TToken::Source: out += rec.Source(); break;
    case TToken::Genre: out += rec.Genre(); break;
    case TToken::FileName: out += NameTitleText(rec, names); break;
    case TToken::Extension: out += NameExtensionText(rec, names); break;
    }
}

}  // namespace

std::string BuildEntryTitle(const std::string& format, const TMP3FileInfo& rec, const TNameText& names) {
    std::string out;
    // The format is the code page's text like the names; the tokens are ASCII.
    std::string converted;
    if (names.ToText && !IsAscii(format)) converted = names.Text(format);
    const std::string_view fmt(names.ToText && !IsAscii(format) ? converted : format);
    std::size_t pos = 0;  // start of what is left to scan
    while (true) {
        const std::size_t p = fmt.find("${", pos);
        if (p == std::string_view::npos) break;
        const std::string_view candidate = fmt.substr(p, kTokenLength);
        const TTokenRow* match = nullptr;
        for (const TTokenRow& row : kTokens) {
            if (EqualsIgnoringAsciiCase(candidate, row.Text)) {
                match = &row;
                break;
            }
        }
        if (!match) {
            // Keep the "${" literally and scan on right behind it.
            out.append(fmt.substr(pos, p + 2 - pos));
            pos = p + 2;
            continue;
        }
        out.append(fmt.substr(pos, p - pos));
        AppendValue(out, match->Token, rec, names);
        pos = p + kTokenLength;
    }
    out.append(fmt.substr(pos));
    return out;
}
