// Each tag format's reader on 10,000 files of its kind against the floor of
// opening each file, reading the byte ranges that reader must read (one read per
// range) and closing it: same files, same run, alternating rounds. Prints both
// times and the ratio (reader / floor). Files are read through descriptors, as
// the plug-in reads through handles: one size query, one positioned read per
// request (stdio would read the file's tail to find its size). The plug-in's
// figure is the Wine one (TagFormats_winbench): natively the floor costs only
// about 8 us a file, so the reader's size query (about 2.5 us) and its whole
// 4 KiB blocks (about 1.7 us) weigh far more than they do there.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DescriptorSource.h"
#include "TagBench.h"
#include "TagFormatFiles.h"
#include "fileinfo/TagReaders.h"

namespace {

constexpr int kFiles = 10000;
constexpr double kTarget = 1.3;


bool Bench(const std::string& dir, const TBenchFormat& format) {
    const TTagReaderEntry* entry = FindTagReader(format.Extension);
    if (!entry) {
        std::printf("%s: no reader for %s in this build\n", format.Name, format.Extension);
        return true;
    }
    TTagReadOptions options;
    options.Text = &AsciiOnly;
    std::vector<std::string> names;
    std::vector<TFloorRange> ranges;
    for (int i = 0; i < kFiles; ++i) {
        names.push_back(dir + "/song" + std::to_string(i) + format.Extension);
        const TBenchFile file = format.Make(i);
        if (i == 0) ranges = file.Floor;
        std::FILE* f = std::fopen(names.back().c_str(), "wb");
        if (!f) return false;
        std::fwrite(file.Bytes.data(), 1, file.Bytes.size(), f);
        std::fclose(f);
    }
    long checksum = 0;
    auto reader = [&] {
        for (const std::string& name : names) {
            const int fd = open(name.c_str(), O_RDONLY);
            if (fd < 0) continue;
            TDescriptorSource source(fd);
            TMP3FileInfo info;
            if (entry->Read(source, info, options)) checksum += long(info.Title().size() + info.Album().size());
            close(fd);
        }
    };
    std::vector<std::uint8_t> buffer;
    for (const TFloorRange& r : ranges) buffer.resize(std::max(buffer.size(), r.Length));
    auto floor = [&] {
        for (const std::string& name : names) {
            const int fd = open(name.c_str(), O_RDONLY);
            if (fd < 0) continue;
            for (const TFloorRange& r : ranges)
                if (pread(fd, buffer.data(), r.Length, off_t(r.Offset)) > 0) checksum += buffer[0];
            close(fd);
        }
    };
    const TBestTimes t = AlternatingRounds(5, floor, reader);
    for (const std::string& name : names) std::remove(name.c_str());
    const double ratio = t.Ratio();
    std::printf("%s of %d %s files (best of 5, checksum %ld)\n", format.Name, kFiles, format.Extension, checksum);
    std::printf("  open + %zu range(s) the reader must read + close : %7.1f ms\n", ranges.size(), t.Floor * 1000);
    std::printf("  reader                                         : %7.1f ms\n", t.Reader * 1000);
    std::printf("  ratio %s reader/floor: %.2f (target <= %.1f)%s\n", format.Extension, ratio, kTarget,
                ratio > kTarget ? " MISSED" : "");
    return true;
}

}  // namespace

int main() {
    char dirTemplate[] = "/tmp/vl_tagformats_bench_XXXXXX";
    if (!mkdtemp(dirTemplate)) return 1;
    const std::string dir = dirTemplate;
    bool ok = true;
    for (const TBenchFormat& format : kBenchFormats) ok = Bench(dir, format) && ok;
    rmdir(dir.c_str());
    return ok ? 0 : 1;
}
