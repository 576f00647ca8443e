// Reading tags with the length against reading the tags alone, on the encoders'
// files of tests/data/lengths: each file read 10,000 times both ways, same run,
// alternating rounds. Prints both times and the ratio side by side (target:
// the length costs at most a tenth more).
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DescriptorSource.h"
#include "TagBench.h"
#include "fileinfo/SongLength.h"
#include "fileinfo/TagReaders.h"

// Run from the source folder (make bench does).
#ifndef VL_TEST_DATA_DIR
#define VL_TEST_DATA_DIR "tests/data"
#endif

namespace {

constexpr int kReads = 10000;
constexpr double kTarget = 1.1;


}  // namespace

int main() {
    const char* names[] = {"cbr-info.mp3", "vbr-xing.mp3", "cbr-tagged.mp3", "riff.rmp", "plain.flac", "vorbis.ogg",
                           "opus.opus", "speex.spx", "aac.m4a", "wma.wma", "wavpack.wv", "new.ape", "sv8.mpc"};
    TTagReadOptions options;
    options.Text = &AsciiOnly;
    std::printf("%-16s %12s %14s %7s\n", "file", "tags (ms)", "+length (ms)", "ratio");
    for (const char* name : names) {
        const std::string path = std::string(VL_TEST_DATA_DIR) + "/lengths/" + name;
        const std::string ext = path.substr(path.rfind('.'));
        const TTagReaderEntry* entry = FindTagReader(ext);
        long checksum = 0;
        auto run = [&](bool length) {
            for (int i = 0; i < kReads; ++i) {
                const int fd = open(path.c_str(), O_RDONLY);
                if (fd < 0) continue;
                TDescriptorSource source(fd);
                TMP3FileInfo info;
                entry->Read(source, info, options);
                if (length) checksum += ReadSongLength(source, entry->Kind);
                close(fd);
            }
        };
        const TBestTimes t = AlternatingRounds(5, [&] { run(false); }, [&] { run(true); });
        std::printf("%-16s %12.1f %14.1f %7.2f%s (checksum %ld)\n", name, t.Floor * 1000, t.Reader * 1000, t.Ratio(),
                    t.Ratio() > kTarget ? " MISSED" : "", checksum);
    }
    return 0;
}
