#pragma once
// Colour texts and path texts shared by the settings store, the playlist-file
// reader and the skin configuration reader.
//
// Colours are 0x00BBGGRR (red lowest). A colour text is one of
//   255.128.0   dotted decimal red.green.blue
//   FF:80:00    colon hexadecimal red:green:blue
//   #FF8000     hash hexadecimal RRGGBB
//   33023 $80FF the value itself, decimal or hexadecimal after "$"
//
// Paths use "\" and an optional drive part: "X:" or, after two backslashes, the
// server and share names ("\\server\share").
#include <cstdint>
#include <string>
#include <string_view>

// "red.green.blue" in decimal; the top byte is ignored.
std::string ColorToText(std::uint32_t color);
// Never fails: anything unreadable is 0 (black). A plain number comes back as it
// is, top byte included (system colour references pass through).
std::uint32_t TextToColor(std::string_view text);

// How the system's 8-bit code page reads path text: which bytes start a
// double-byte character (whose second byte may be 0x5C, "\") and how names compare
// without regard to case. Null members mean a single-byte code page and ASCII case
// folding.
struct TPathText {
    bool (*IsLeadByte)(unsigned char byte) = nullptr;
    bool (*SameText)(std::string_view a, std::string_view b) = nullptr;
};

// "X:", "\\server\share" or empty.
std::string ExtractPathDrive(std::string_view path, const TPathText& text = {});
// Everything up to and including the last "\" or ":" (the drive included).
std::string ExtractPathDir(std::string_view path, const TPathText& text = {});
// What follows the directory part.
std::string ExtractPathName(std::string_view path, const TPathText& text = {});
// The extension of the name part: from its last "." to the end, dot included, case
// as stored; empty when the name part has no ".".
std::string ExtractPathExt(std::string_view path, const TPathText& text = {});
// The folder of a file: the directory part without its trailing "\", which stays
// after a drive colon or another "\" ("C:\x.mp3" gives "C:\", "C:\M\x.mp3" "C:\M").
std::string ExtractPathFolder(std::string_view path, const TPathText& text = {});

// The last character is a "\" or "/" of its own (a double-byte character whose
// second byte is 0x5C does not count).
bool EndsWithPathDelimiter(std::string_view path, const TPathText& text = {});
// Without one trailing delimiter (if there is one of its own).
std::string ExcludeTrailingPathDelimiter(std::string_view path, const TPathText& text = {});
// folder, "\", name; no second "\" after a folder that ends in one, and just the
// name after an empty folder.
std::string JoinPath(std::string_view folder, std::string_view name, const TPathText& text = {});

// The path that `path` names while `folder` is the current directory, worked out
// without the file system: absolute paths ("X:\...", "\\server\...") as they are,
// a rooted one ("\Music\x.mp3") on folder's drive or share, a relative one (also
// "X:name" on folder's own drive) below folder. "X:name" on another drive stays as
// it is (it refers to that drive's own current folder).
std::string PathSeenFrom(std::string_view folder, std::string_view path, const TPathText& text = {});

// A rooted path ("\Music\x.mp3": the current drive) or a drive-relative one
// ("X:x.mp3": that drive's current folder), which name their file through a
// drive rather than through a folder of their own.
bool IsRootedOrDriveRelative(std::string_view path);

// `file` relative to the folder `baseWithSlash` (which ends in "\"): "..\" per base
// folder not shared with the file, then the file's own folders and name. A file on
// another drive (or share) comes back unchanged.
std::string RelativePath(std::string_view baseWithSlash, std::string_view file, const TPathText& text);

// What ResolvePath needs from the file system. The Win32 layer answers with the
// system's own path completion, so the results equal those of entering the
// folders as current directories, without touching the process's current
// directory (other threads of the host rely on it).
class IPathSystem {
public:
    virtual ~IPathSystem() = default;
    // The full, normalised form of a path, completed against the process's current
    // directory if it is relative; false if it cannot be formed.
    virtual bool FullPath(const std::string& path, std::string& full) = 0;
    // True if the full path names an existing folder that could be entered.
    virtual bool IsDirectory(const std::string& full) = 0;
    // The remembered current folder of another drive ("X:\..."), or empty.
    virtual std::string DriveDirectory(char drive) = 0;
};

// `path` taken relative to the folder `base`, the way entering `base` and then
// the path's folder as the current directory would resolve it: an absolute folder
// replaces base, a relative one ("skins", "..") is taken from base, and a folder
// that does not exist is dropped (the result is then base, "\", the file name).
// Empty base or path: the path. A network path ("\\server\share\..."): the path.
// False (out untouched) when base cannot be entered.
bool ResolvePath(const std::string& base, const std::string& path, std::string& out, IPathSystem& system,
                 const TPathText& text = {});
