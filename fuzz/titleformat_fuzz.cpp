// libFuzzer target: the title format and the file-name pieces it uses. The input
// is a format, a path and ten tag values separated by NUL bytes; titles are
// built with and without a Shift-JIS lead-byte test.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "entries/TitleFormat.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::vector<std::string> SplitAtNul(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == '\0') parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts = SplitAtNul(std::string(reinterpret_cast<const char*>(data), size));
    parts.resize(12);
    const std::string& format = parts[0];
    TMP3FileInfo rec;
    const TInfoField fields[] = {TInfoField::Title,   TInfoField::Artist, TInfoField::Album,
                                 TInfoField::Comment, TInfoField::Source, TInfoField::Genre};
    std::size_t longest = 0;
    for (std::size_t k = 0; k < std::size(fields); ++k) {
        rec.Set(fields[k], parts[2 + k]);
        longest = std::max(longest, parts[2 + k].size());
    }
    for (TLeadByteTest lead : {static_cast<TLeadByteTest>(nullptr), &SjisLead}) {
        FillEntryFileNameFields(rec, parts[1], lead);
        rec.SetTitle(parts[2]);
        const std::string name = FileNamePart(parts[1], lead);
        const std::string ext = FileExtension(parts[1], lead);
        // The pieces put together give the file-name part, which ends the path.
        Check(FileNameWithoutExtension(parts[1], lead) + ext == name);
        Check(ext.empty() || ext[0] == '.');
        Check(parts[1].size() >= name.size() && parts[1].compare(parts[1].size() - name.size(), name.size(), name) == 0);
        longest = std::max(longest, parts[1].size());

        const std::string title = BuildEntryTitle(format, rec, lead);
        // Every token is seven bytes long and its value is never scanned again.
        Check(title.size() <= format.size() + (format.size() / 7 + 1) * longest);
        if (format.find("${") == std::string::npos) Check(title == format);
        // A single token gives its value unchanged, whatever the value holds.
        Check(BuildEntryTitle("${INAM}", rec, lead) == rec.Title());
        Check(BuildEntryTitle("${iart}", rec, lead) == rec.Artist());
        Check(BuildEntryTitle("${FNAM}${FEXT}", rec, lead) == name);
        (void)ChooseTagReader(parts[1], lead);
    }
    return 0;
}
