#include "base/CommonLib.h"

#include <algorithm>
#include <vector>

// ---------------------------------------------------------------- colours

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A 32-bit integer: optional sign, then decimal digits (within the signed range) or
// "$" and up to eight hexadecimal digits (which may fill all 32 bits). Nothing else
// is allowed anywhere in the text.
bool ParseInt32(std::string_view s, std::uint32_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) return false;
    std::uint64_t v = 0;
    if (s[i] == '$') {
        if (++i == s.size()) return false;
        for (; i < s.size(); ++i) {
            const int d = HexDigit(s[i]);
            if (d < 0) return false;
            v = v * 16 + unsigned(d);
            if (v > 0xFFFFFFFFu) return false;
        }
    } else {
        for (; i < s.size(); ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            v = v * 10 + unsigned(s[i] - '0');
            if (v > 0x80000000u) return false;
        }
        if (!negative && v > 0x7FFFFFFFu) return false;
    }
    value = negative ? std::uint32_t(0u - std::uint32_t(v)) : std::uint32_t(v);
    return true;
}

// One colour component: empty or unreadable is 0, then clamped to 0..255.
std::uint32_t Component(std::string_view part, bool hex) {
    if (part.empty()) return 0;
    std::uint32_t v = 0;
    const bool ok = hex ? ParseInt32("$" + std::string(part), v) : ParseInt32(part, v);
    if (!ok) return 0;
    const std::int32_t n = static_cast<std::int32_t>(v);
    return std::uint32_t(std::clamp<std::int32_t>(n, 0, 255));
}

// "r.g.b" / "r:g:b": up to three parts; whatever follows a third separator is ignored.
std::uint32_t SeparatedColor(std::string_view s, char separator, bool hex) {
    std::uint32_t parts[3] = {0, 0, 0};
    std::size_t start = 0;
    for (int k = 0; k < 3; ++k) {
        std::size_t end = s.find(separator, start);
        if (end == std::string_view::npos) end = s.size();
        parts[k] = Component(s.substr(std::min(start, s.size()), end - std::min(start, s.size())), hex);
        start = end + 1;
    }
    return parts[0] | parts[1] << 8 | parts[2] << 16;
}

// "#RRGGBB": shorter texts are padded with zeros on the left, longer ones keep
// their last six characters.
std::uint32_t HashColor(std::string_view s) {
    std::string digits = "000000" + std::string(s.substr(1));
    digits.erase(0, digits.size() - 6);
    auto pair = [&](int at) {
        std::uint32_t v = 0;
        return ParseInt32("$" + digits.substr(std::size_t(at), 2), v) ? v : 0u;
    };
    return pair(0) | pair(2) << 8 | pair(4) << 16;
}

}  // namespace

std::string ColorToText(std::uint32_t color) {
    return std::to_string(color & 0xFF) + "." + std::to_string((color >> 8) & 0xFF) + "." +
           std::to_string((color >> 16) & 0xFF);
}

std::uint32_t TextToColor(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    // Whatever follows the value on the same line (a comment) is ignored.
    if (auto space = text.find(' '); space != std::string_view::npos) text = text.substr(0, space);
    if (auto tab = text.find('\t'); tab != std::string_view::npos) text = text.substr(0, tab);

    const bool dot = text.find('.') != std::string_view::npos;
    const bool colon = text.find(':') != std::string_view::npos;
    const bool hash = !text.empty() && text.front() == '#';
    if (dot + colon + hash == 1) {
        if (dot) return SeparatedColor(text, '.', false);
        if (colon) return SeparatedColor(text, ':', true);
        return HashColor(text);
    }
    std::uint32_t value = 0;
    return ParseInt32(text, value) ? value : 0;
}

// ---------------------------------------------------------------- paths

namespace {

bool IsLead(const TPathText& t, char c) { return t.IsLeadByte && t.IsLeadByte(static_cast<unsigned char>(c)); }

// Byte offsets of every "\" (and, if asked, ":") that is a character of its own,
// not the second byte of a double-byte character.
std::vector<std::size_t> Separators(std::string_view s, const TPathText& t, bool withColon) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (IsLead(t, s[i]) && i + 1 < s.size()) {
            ++i;
            continue;
        }
        if (s[i] == '\\' || (withColon && s[i] == ':')) at.push_back(i);
    }
    return at;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool SameText(const TPathText& t, std::string_view a, std::string_view b) {
    if (t.SameText) return t.SameText(a, b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsLead(t, a[i]) && i + 1 < a.size()) {  // both bytes must match exactly
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

std::vector<std::string_view> Components(std::string_view dir, const TPathText& t) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    auto seps = Separators(dir, t, false);
    seps.push_back(dir.size());
    for (std::size_t end : seps) {
        if (end > start) parts.push_back(dir.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool EndsWithSeparator(std::string_view s, const TPathText& t) {
    const auto seps = Separators(s, t, false);
    return !seps.empty() && seps.back() == s.size() - 1;
}

bool IsSlash(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string ExtractPathDrive(std::string_view path, const TPathText& text) {
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') return std::string(path.substr(0, 2));
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // Server and share, up to the backslash after the share.
        const auto seps = Separators(path.substr(2), text, false);
        if (seps.size() >= 2) return std::string(path.substr(0, 2 + seps[1]));
        return std::string(path);
    }
    return {};
}

namespace {
// Offset just behind the last "\" or ":" of its own; 0 when there is none.
std::size_t NameStart(std::string_view path, const TPathText& text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLead(text, path[i]) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == '\\' || path[i] == ':') start = i + 1;
    }
    return start;
}
}  // namespace

std::string ExtractPathDir(std::string_view path, const TPathText& text) {
    return std::string(path.substr(0, NameStart(path, text)));
}

std::string ExtractPathName(std::string_view path, const TPathText& text) {
    return std::string(path.substr(NameStart(path, text)));
}

std::string ExtractPathExt(std::string_view path, const TPathText& text) {
    const std::string name = ExtractPathName(path, text);
    // "." is never the second byte of a double-byte character.
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ExtractPathFolder(std::string_view path, const TPathText& text) {
    std::string dir = ExtractPathDir(path, text);
    if (dir.size() > 1 && dir.back() == '\\' && dir[dir.size() - 2] != ':' &&
        !EndsWithSeparator(std::string_view(dir).substr(0, dir.size() - 1), text))
        dir.pop_back();
    return dir;
}

bool EndsWithPathDelimiter(std::string_view path, const TPathText& text) {
    std::size_t last = std::string_view::npos;  // offset of the last character
    for (std::size_t i = 0; i < path.size(); ++i) {
        last = i;
        if (IsLead(text, path[i]) && i + 1 < path.size()) ++i;
    }
    return last != std::string_view::npos && last == path.size() - 1 && IsSlash(path[last]);
}

std::string ExcludeTrailingPathDelimiter(std::string_view path, const TPathText& text) {
    return std::string(EndsWithPathDelimiter(path, text) ? path.substr(0, path.size() - 1) : path);
}

std::string JoinPath(std::string_view folder, std::string_view name, const TPathText& text) {
    std::string out(folder);
    if (!out.empty() && !EndsWithPathDelimiter(out, text)) out += '\\';
    return out += name;
}

std::string PathSeenFrom(std::string_view folder, std::string_view path, const TPathText& text) {
    if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1])) return std::string(path);
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        if (path.size() >= 3 && IsSlash(path[2])) return std::string(path);
        const std::string drive = ExtractPathDrive(folder, text);
        if (drive.size() == 2 && AsciiUpper(drive[0]) == AsciiUpper(path[0])) return JoinPath(folder, path.substr(2), text);
        return std::string(path);
    }
    if (!path.empty() && IsSlash(path[0])) return ExtractPathDrive(folder, text) + std::string(path);
    return JoinPath(folder, path, text);
}

bool IsRootedOrDriveRelative(std::string_view path) {
    if (!path.empty() && IsSlash(path[0])) return !(path.size() >= 2 && IsSlash(path[1]));
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':' && !(path.size() >= 3 && IsSlash(path[2]));
}

std::string RelativePath(std::string_view baseWithSlash, std::string_view file, const TPathText& text) {
    const std::string baseDrive = ExtractPathDrive(baseWithSlash, text);
    const std::string fileDrive = ExtractPathDrive(file, text);
    if (!SameText(text, baseDrive, fileDrive)) return std::string(file);

    const std::string baseDir = ExtractPathDir(baseWithSlash, text);
    const std::string fileDir = ExtractPathDir(file, text);
    const auto baseParts = Components(std::string_view(baseDir).substr(std::min(baseDrive.size(), baseDir.size())), text);
    const auto fileParts = Components(std::string_view(fileDir).substr(std::min(fileDrive.size(), fileDir.size())), text);

    std::size_t common = 0;
    while (common < baseParts.size() && common < fileParts.size() &&
           SameText(text, baseParts[common], fileParts[common]))
        ++common;

    std::string result;
    for (std::size_t i = common; i < baseParts.size(); ++i) result += "..\\";
    for (std::size_t i = common; i < fileParts.size(); ++i) {
        result += fileParts[i];
        result += '\\';
    }
    return result + ExtractPathName(file, text);
}

bool ResolvePath(const std::string& base, const std::string& path, std::string& out, IPathSystem& system,
                 const TPathText& text) {
    if (path.empty() || base.empty()) {
        out = path;
        return true;
    }
    const std::string drive = ExtractPathDrive(path, text);
    std::string dir = ExtractPathDir(path, text);
    const std::string name = ExtractPathName(path, text);
    if (EndsWithSeparator(dir, text)) dir.pop_back();
    if (!drive.empty() && !dir.empty() && dir[0] == '\\') {  // network path
        out = path;
        return true;
    }

    // The folder that entering `base` makes current, kept with one trailing "\".
    std::string current;
    if (!system.FullPath(base, current) || current.empty() || !system.IsDirectory(current)) return false;
    if (!EndsWithSeparator(current, text)) current += '\\';

    if (!dir.empty()) {
        // Where entering dir + "\" from `current` leads: the system's completion of
        // the path against `current` as the current directory.
        const std::string target = dir + '\\';
        std::string full;
        if (IsSlash(target[0]) && target.size() > 1 && IsSlash(target[1])) {
            full = target;  // "\\server\share\..." or a device path: absolute
        } else if (target.size() >= 2 && target[1] == ':') {
            if (target.size() >= 3 && IsSlash(target[2])) {
                full = target;  // "X:\...": absolute
            } else if (AsciiUpper(target[0]) == AsciiUpper(current[0]) && current[1] == ':') {
                full = current + target.substr(2);  // "X:rel" on the current drive
            } else {
                std::string driveDir = system.DriveDirectory(target[0]);
                if (driveDir.empty()) driveDir = std::string(1, target[0]) + ":\\";
                if (!EndsWithSeparator(driveDir, text)) driveDir += '\\';
                full = driveDir + target.substr(2);  // "X:rel" on another drive
            }
        } else if (IsSlash(target[0])) {
            full = ExtractPathDrive(current, text) + target;  // rooted on the current drive or share
        } else {
            full = current + target;
        }
        std::string reached;
        if (system.FullPath(full, reached) && !reached.empty() && system.IsDirectory(reached)) {
            current = reached;
            if (!EndsWithSeparator(current, text)) current += '\\';
        }
        // Otherwise the change failed and base stays current.
    }
    current.pop_back();
    out = current + '\\' + name;
    return true;
}
