// Playlist files on arbitrary bytes: the readers, and a list written from what
// they found read back the same.
#include <cstdlib>
#include <string>
#include <vector>

#include "fileinfo/PlaylistFile.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Written in small pieces: the flushes between entries are fuzzed too, and an
// input costs no buffer of the writer's usual 256 KB (under the sanitizers that
// alone held the run to about 1,300 inputs a second).
std::string Written(TPlaylistType type, const std::vector<TPlaylistEntry>& entries) {
    std::string out;
    TPlaylistWriter writer(type, [&out](std::string_view piece) {
        Check(!piece.empty());
        out.append(piece);
        return true;
    }, nullptr, &SjisLead, 64);
    for (const TPlaylistEntry& e : entries) writer.Add(e);
    Check(writer.Finish());
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (std::string_view line : SplitPlaylistLines(bytes))
        Check(line.find_first_of("\r\n") == std::string_view::npos);
    const std::vector<std::string_view> m3u8 = ReadM3u8Names(bytes);
    const TPlsNames pls = ReadPlsNames(bytes);
    std::vector<TPlaylistEntry> entries;
    for (std::string_view name : pls.Names) entries.push_back({name, name, 1});
    // Written again, the file lists exactly those names.
    const std::string plsText = Written(TPlaylistType::Pls, entries);
    Check(ReadPlsNames(plsText).Names == pls.Names);
    entries.clear();
    for (std::string_view name : m3u8) entries.push_back({name, bytes.substr(0, 40), -1});
    const std::string written = Written(TPlaylistType::M3u8, entries);
    Check(ReadM3u8Names(written) == m3u8);
    return 0;
}
