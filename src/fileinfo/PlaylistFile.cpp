#include "fileinfo/PlaylistFile.h"

#include <charconv>
#include <cstdint>
#include <cstring>
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

// True when the text needs no care: no byte above 0x7F, no CR, no LF. Eight
// bytes at a time: a save writes every name and title through here.
bool IsPlainText(std::string_view text) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ull, kOnes = 0x0101010101010101ull;
    auto hasByte = [](std::uint64_t x, std::uint64_t b) { x ^= b * kOnes; return ((x - kOnes) & ~x & kHigh) != 0; };
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t x;
        std::memcpy(&x, text.data() + i, 8);
        if ((x & kHigh) || hasByte(x, '\r') || hasByte(x, '\n')) return false;
    }
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80 || c == '\r' || c == '\n') return false;
    }
    return true;
}

// Appends a name or title: line breaks become blanks. When `toUtf8` is given the
// text is converted, and a lead byte without its second byte at its end is left
// out first (the conversion could take the line end after it for that byte).
void AppendField(std::string& out, std::string_view text, TLeadByteTest isLeadByte, TAnsiToUtf8 toUtf8) {
    if (IsPlainText(text)) {
        out.append(text.data(), text.size());
        return;
    }
    std::size_t n = text.size();
    if (toUtf8 && isLeadByte) {
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
    std::string piece(text.substr(0, n));
    for (char& c : piece)
        if (c == '\r' || c == '\n') c = ' ';
    if (toUtf8) piece = toUtf8(piece);
    out += piece;
}

void AppendNumber(std::string& out, long long v) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    out.append(digits, end);
}
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

TPlaylistWriter::TPlaylistWriter(TPlaylistType type, TSink sink, TAnsiToUtf8 toUtf8, TLeadByteTest isLeadByte,
                                 std::size_t chunk)
    : type_(type), sink_(std::move(sink)), toUtf8_(type == TPlaylistType::M3u8 ? toUtf8 : nullptr),
      isLeadByte_(isLeadByte), chunk_(chunk) {
    buffer_.reserve(chunk_ + 4096);
    if (type_ == TPlaylistType::Pls) buffer_ += "[playlist]\r\n";
    else if (type_ != TPlaylistType::None) buffer_ += "#EXTM3U\r\n";
}

void TPlaylistWriter::Add(const TPlaylistEntry& e) {
    if (failed_ || type_ == TPlaylistType::None) return;
    const long long length = e.Length < 0 ? -1 : e.Length;
    if (type_ == TPlaylistType::Pls) {
        const long long k = ++count_;
        buffer_ += "File";
        AppendNumber(buffer_, k);
        buffer_ += '=';
        AppendField(buffer_, e.Name, isLeadByte_, nullptr);
        buffer_ += "\r\nTitle";
        AppendNumber(buffer_, k);
        buffer_ += '=';
        AppendField(buffer_, e.Title, isLeadByte_, nullptr);
        buffer_ += "\r\nLength";
        AppendNumber(buffer_, k);
        buffer_ += '=';
        AppendNumber(buffer_, length);
        buffer_ += "\r\n";
    } else {
        ++count_;
        buffer_ += "#EXTINF:";
        AppendNumber(buffer_, length);
        buffer_ += ',';
        if (e.TitleUtf8 && type_ == TPlaylistType::M3u8) AppendField(buffer_, e.Title, nullptr, nullptr);
        else AppendField(buffer_, e.Title, isLeadByte_, toUtf8_);
        buffer_ += "\r\n";
        if (e.NameUtf8 && type_ == TPlaylistType::M3u8) AppendField(buffer_, e.Name, nullptr, nullptr);
        else AppendField(buffer_, e.Name, isLeadByte_, toUtf8_);
        buffer_ += "\r\n";
    }
    if (buffer_.size() >= chunk_) Flush();
}

bool TPlaylistWriter::Finish() {
    if (!failed_ && type_ == TPlaylistType::Pls) {
        buffer_ += "NumberOfEntries=";
        AppendNumber(buffer_, count_);
        buffer_ += "\r\nVersion=2\r\n";
    }
    Flush();
    return !failed_;
}

void TPlaylistWriter::Flush() {
    if (!failed_ && !buffer_.empty() && !sink_(buffer_)) failed_ = true;
    buffer_.clear();
}

std::string WritePlaylist(TPlaylistType type, const std::vector<TPlaylistEntry>& entries, TAnsiToUtf8 toUtf8,
                          TLeadByteTest isLeadByte) {
    std::string out;
    TPlaylistWriter writer(type, [&out](std::string_view bytes) {
        out.append(bytes.data(), bytes.size());
        return true;
    }, toUtf8, isLeadByte);
    for (const TPlaylistEntry& e : entries) writer.Add(e);
    writer.Finish();
    return out;
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
