#include "playlist/TitleFormat.h"

#include "host/CommonLib.h"

#include <array>
#include <cstddef>

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

void AppendValue(std::string& out, TToken token, const TMP3FileInfo& rec, TLeadByteTest isLeadByte) {
    switch (token) {
    case TToken::Title: out += rec.Title(); break;
    case TToken::Artist: out += rec.Artist(); break;
    case TToken::Album: out += rec.Album(); break;
    case TToken::Comment: out += rec.Comment(); break;
    case TToken::Source: out += rec.Source(); break;
    case TToken::Genre: out += rec.Genre(); break;
    case TToken::FileName: out += FileNameWithoutExtension(rec.FileName(), isLeadByte); break;
    case TToken::Extension: out += FileExtension(rec.FileName(), isLeadByte); break;
    }
}

}  // namespace

std::string FileNamePart(std::string_view path, TLeadByteTest isLeadByte) {
    return ExtractPathName(path, TPathText{isLeadByte, nullptr});
}

std::string FileExtension(std::string_view path, TLeadByteTest isLeadByte) {
    return ExtractPathExt(path, TPathText{isLeadByte, nullptr});
}

std::string FileNameWithoutExtension(std::string_view path, TLeadByteTest isLeadByte) {
    std::string name = FileNamePart(path, isLeadByte);
    // "." is never the second byte of a double-byte character.
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
    return name;
}

std::string BuildEntryTitle(const std::string& format, const TMP3FileInfo& rec, TLeadByteTest isLeadByte) {
    std::string out;
    const std::string_view fmt(format);
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
        AppendValue(out, match->Token, rec, isLeadByte);
        pos = p + kTokenLength;
    }
    out.append(fmt.substr(pos));
    return out;
}

TTagReader ChooseTagReader(std::string_view path, TLeadByteTest isLeadByte) {
    const TTagReaderEntry* reader = FindTagReader(FileExtension(path, isLeadByte));
    return reader ? reader->Kind : TTagReader::None;
}

void FillEntryFileNameFields(TMP3FileInfo& rec, const std::string& path, TLeadByteTest isLeadByte) {
    // One block for both: a rebuild makes this record for every entry.
    rec.Set({{TInfoField::FileName, path}, {TInfoField::Title, FileNameWithoutExtension(path, isLeadByte)}});
}

bool IsStreamName(std::string_view name) { return name.find("://") != std::string_view::npos; }

void FillKeptEntryFields(TMP3FileInfo& rec, const std::string& name, TLeadByteTest isLeadByte) {
    const std::string title = IsStreamName(name) ? name : FileNameWithoutExtension(name, isLeadByte);
    rec.Set({{TInfoField::FileName, name}, {TInfoField::Title, title}});
    rec.Kept = true;
}
