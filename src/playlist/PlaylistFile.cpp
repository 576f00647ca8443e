#include "playlist/PlaylistFile.h"

#include <map>

namespace {
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool StartsNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameNoCase(s.substr(0, prefix.size()), prefix);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Appends a name or title: line breaks become blanks; for text that is to be
// converted, a lead byte without its second byte at the end is left out.
void AppendField(std::string& out, std::string_view text, TLeadByteTest isLeadByte, bool dropCutCharacter) {
    std::size_t n = text.size();
    if (dropCutCharacter && isLeadByte) {
        std::size_t i = 0;
        while (i < n) {
            if (isLeadByte(static_cast<unsigned char>(text[i]))) {
                if (i + 1 >= n) {
                    n = i;
                    break;
                }
                i += 2;
            } else {
                ++i;
            }
        }
    }
    const std::size_t start = out.size();
    out.append(text.data(), n);
    for (std::size_t i = start; i < out.size(); ++i)
        if (out[i] == '\r' || out[i] == '\n') out[i] = ' ';
}

void AppendNumber(std::string& out, long long v) { out += std::to_string(v); }
}  // namespace

TPlaylistType PlaylistTypeOfExtension(std::string_view ext) {
    if (SameNoCase(ext, ".m3u")) return TPlaylistType::M3u;
    if (SameNoCase(ext, ".m3u8")) return TPlaylistType::M3u8;
    if (SameNoCase(ext, ".pls")) return TPlaylistType::Pls;
    return TPlaylistType::None;
}

const char* PlaylistExtension(TPlaylistType type) {
    switch (type) {
    case TPlaylistType::M3u: return ".m3u";
    case TPlaylistType::M3u8: return ".m3u8";
    case TPlaylistType::Pls: return ".pls";
    case TPlaylistType::None: break;
    }
    return "";
}

std::string WritePlaylist(TPlaylistType type, const std::vector<TPlaylistEntry>& entries, TAnsiToUtf8 toUtf8,
                          TLeadByteTest isLeadByte) {
    std::string out;
    std::size_t size = 32;
    for (const TPlaylistEntry& e : entries) size += e.Name.size() + e.Title.size() + 40;
    out.reserve(size);
    const bool converted = type == TPlaylistType::M3u8 && toUtf8;
    if (type == TPlaylistType::Pls) {
        out += "[playlist]\r\n";
        long long k = 0;
        for (const TPlaylistEntry& e : entries) {
            ++k;
            out += "File";
            AppendNumber(out, k);
            out += '=';
            AppendField(out, e.Name, isLeadByte, false);
            out += "\r\nTitle";
            AppendNumber(out, k);
            out += '=';
            AppendField(out, e.Title, isLeadByte, false);
            out += "\r\nLength";
            AppendNumber(out, k);
            out += '=';
            AppendNumber(out, e.Length < 0 ? -1 : e.Length);
            out += "\r\n";
        }
        out += "NumberOfEntries=";
        AppendNumber(out, k);
        out += "\r\nVersion=2\r\n";
        return out;
    }
    if (type == TPlaylistType::None) return out;
    out += "#EXTM3U\r\n";
    for (const TPlaylistEntry& e : entries) {
        out += "#EXTINF:";
        AppendNumber(out, e.Length < 0 ? -1 : e.Length);
        out += ',';
        AppendField(out, e.Title, isLeadByte, converted);
        out += "\r\n";
        AppendField(out, e.Name, isLeadByte, converted);
        out += "\r\n";
    }
    // One conversion of the whole text: the line ends are ASCII and stay.
    return converted ? toUtf8(out) : out;
}

std::vector<std::string_view> SplitPlaylistLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

std::vector<std::string_view> ReadM3u8Names(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    std::vector<std::string_view> names;
    for (std::string_view line : SplitPlaylistLines(bytes))
        if (!line.empty() && line.front() != '#') names.push_back(line);
    return names;
}

TPlsNames ReadPlsNames(std::string_view bytes) {
    TPlsNames result;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
        result.Utf8 = true;
    }
    std::map<unsigned long, std::string_view> files;
    bool inPlaylist = false;
    for (std::string_view raw : SplitPlaylistLines(bytes)) {
        const std::string_view line = Trim(raw);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            inPlaylist = SameNoCase(Trim(line.substr(1, line.size() - 2)), "playlist");
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inPlaylist || eq == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, eq));
        if (!StartsNoCase(key, "file")) continue;
        const std::string_view digits = key.substr(4);
        // More digits than any list holds: not an entry of ours.
        if (digits.empty() || digits.size() > 9) continue;
        unsigned long k = 0;
        bool number = true;
        for (char c : digits) {
            if (c < '0' || c > '9') {
                number = false;
                break;
            }
            k = k * 10 + static_cast<unsigned long>(c - '0');
        }
        const std::string_view value = Trim(line.substr(eq + 1));
        if (number && !value.empty()) files.emplace(k, value);
    }
    result.Names.reserve(files.size());
    for (const auto& [k, name] : files) result.Names.push_back(name);
    return result;
}
