// Colour and path text on arbitrary bytes. The first byte picks the helper.
#include <cstdlib>
#include <string>

#include "base/CommonLib.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// A file system where every folder exists and paths complete trivially.
class TEverythingExists : public IPathSystem {
public:
    bool FullPath(const std::string& path, std::string& full) override {
        full = path.size() >= 3 && path[1] == ':' ? path : "C:\\cwd\\" + path;
        return true;
    }
    bool IsDirectory(const std::string& full) override { return full.size() % 3 != 0; }
    std::string DriveDirectory(char) override { return {}; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const TPathText sjis{&SjisLead, nullptr};
    switch (data[0] % 3) {
    case 0: {
        const std::uint32_t c = TextToColor(text);
        const std::string back = ColorToText(c);
        Check(TextToColor(back) == (c & 0xFFFFFF));
        break;
    }
    case 1: {
        const std::size_t cut = text.find('|');
        const std::string base = text.substr(0, cut);
        const std::string file = cut == std::string::npos ? std::string() : text.substr(cut + 1);
        for (const TPathText& rules : {TPathText{}, sjis}) {
            const std::string r = RelativePath(base, file, rules);
            // A folder part ending in ":" gains one backslash; each base folder adds at most three bytes.
            Check(r.size() <= file.size() + 3 * base.size() + 1);
            const std::string name = ExtractPathName(file, rules);
            Check(r.size() >= name.size() && r.compare(r.size() - name.size(), name.size(), name) == 0);
        }
        break;
    }
    default: {
        const std::size_t cut = text.find('|');
        TEverythingExists system;
        std::string out;
        ResolvePath(text.substr(0, cut), cut == std::string::npos ? std::string() : text.substr(cut + 1), out,
                    system, sjis);
        break;
    }
    }
    return 0;
}
