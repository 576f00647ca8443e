#pragma once
// Playlist files as bytes: writing the list as ".m3u", ".m3u8" or ".pls", and
// finding the names such files list. Nothing here touches the file system; the
// Win32 side reads and writes the files and resolves the names.
//
//   .m3u   "#EXTM3U", then per entry "#EXTINF:<length>,<title>" and the name;
//          the ANSI code page.
//   .m3u8  the same lines in UTF-8 (no byte-order mark written; one is skipped
//          when reading).
//   .pls   "[playlist]", per entry k = 1..n "File<k>=", "Title<k>=", "Length<k>=",
//          then "NumberOfEntries=<n>" and "Version=2"; the ANSI code page.
// Lines are written with CR LF and read with CR LF, LF or CR.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class TPlaylistType { None, M3u, M3u8, Pls };

// The type an extension names (".m3u", ".m3u8", ".pls", dot included), ASCII case
// ignored; None for anything else.
TPlaylistType PlaylistTypeOfExtension(std::string_view ext);
// ".m3u", ".m3u8" or ".pls"; "" for None.
const char* PlaylistExtension(TPlaylistType type);

struct TPlaylistEntry {
    std::string_view Name;   // as the record holds it
    std::string_view Title;  // the display title without number or length
    int Length = -1;         // seconds; -1 when unknown
    // Name is UTF-8 already (a Unicode name): ".m3u8" writes it as it is. The
    // other types take names in the code page only.
    bool NameUtf8 = false;
    // The same for the title (the list's own text): ".m3u8" writes it whole.
    bool TitleUtf8 = false;
};

// Converts ANSI text to UTF-8.
using TAnsiToUtf8 = std::string (*)(std::string_view ansi);
using TLeadByteTest = bool (*)(unsigned char);

// Writes a playlist file entry by entry, handing the bytes on in pieces of
// about `chunk` bytes: a list of 100,000 entries never needs its whole text in
// memory (and the pages of a fresh buffer that size cost more than writing it).
// Once the sink returns false nothing more is handed on and Finish is false.
class TPlaylistWriter {
public:
    using TSink = std::function<bool(std::string_view bytes)>;
    TPlaylistWriter(TPlaylistType type, TSink sink, TAnsiToUtf8 toUtf8 = nullptr, TLeadByteTest isLeadByte = nullptr,
                    std::size_t chunk = 256 * 1024);
    void Add(const TPlaylistEntry& entry);
    // The end of the file (the ".pls" trailer) and the last piece.
    bool Finish();

private:
    void Flush();
    TPlaylistType type_;
    TSink sink_;
    TAnsiToUtf8 toUtf8_;
    TLeadByteTest isLeadByte_;
    std::size_t chunk_;
    std::string buffer_;
    long long count_ = 0;
    bool failed_ = false;
};

// The whole file at once (see TPlaylistWriter). A title's line breaks become blanks (they would end the
// line early and make the rest look like a name). For M3u8 `toUtf8` converts each
// name and title that is not plain ASCII (without it the bytes stay as they are),
// after dropping a double-byte character cut short at its end.
std::string WritePlaylist(TPlaylistType type, const std::vector<TPlaylistEntry>& entries,
                          TAnsiToUtf8 toUtf8 = nullptr, TLeadByteTest isLeadByte = nullptr);

// The lines of a text, ended by CR LF, LF or CR; the last one may have no end.
std::vector<std::string_view> SplitPlaylistLines(std::string_view bytes);

// The names of an ".m3u8" file (still UTF-8): a leading byte-order mark skipped,
// empty lines and lines beginning with "#" left out.
std::vector<std::string_view> ReadM3u8Names(std::string_view bytes);

// The names of a ".pls" file: the "File<k>" values of the "[playlist]" section in
// the order of k (not of the lines); section and keys match without regard to
// ASCII case, blanks around keys and values are removed, every other key (and a
// "NumberOfEntries" that disagrees) is ignored. The first value of a k counts.
// A leading UTF-8 byte-order mark is skipped, and then the names are UTF-8.
struct TPlsNames {
    std::vector<std::string_view> Names;
    bool Utf8 = false;
};
TPlsNames ReadPlsNames(std::string_view bytes);
