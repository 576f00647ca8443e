// The length of MPEG audio (".mp3", and the "data" chunk of ".rmp").
#include <cstring>

#include "fileinfo/Flac.h"
#include "fileinfo/SongLength.h"
#include "fileinfo/WaveForm.h"

namespace {

// How far past the ID3v2 tag the first frame is looked for: junk or padding
// beyond this is no MPEG file we can time.
constexpr std::uint64_t kMaxFrameSearch = 64 * 1024;

struct TFrame {
    int Version = 0;  // 1, 2, or 25 for MPEG 2.5
    int Layer = 0;    // 1 to 3
    int Kbps = 0;
    int Rate = 0;
    int Size = 0;     // bytes, header included
    int Samples = 0;  // per frame
    bool Mono = false;
};

bool ParseHeader(const std::uint8_t* h, TFrame& f) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
    const int version = (h[1] >> 3) & 3, layer = (h[1] >> 1) & 3;
    const int bitrate = h[2] >> 4, rate = (h[2] >> 2) & 3;
    if (version == 1 || layer == 0 || bitrate == 0 || bitrate == 15 || rate == 3) return false;
    static constexpr int kKbps[5][14] = {
        {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // 1, I
        {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // 1, II
        {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // 1, III
        {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // 2, I
        {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // 2, II and III
    };
    static constexpr int kRates[3] = {44100, 48000, 32000};
    f.Version = version == 3 ? 1 : version == 2 ? 2 : 25;
    f.Layer = 4 - layer;
    const int table = f.Version == 1 ? f.Layer - 1 : f.Layer == 1 ? 3 : 4;
    f.Kbps = kKbps[table][bitrate - 1];
    f.Rate = kRates[rate] / (f.Version == 1 ? 1 : f.Version == 2 ? 2 : 4);
    const int padding = (h[2] >> 1) & 1;
    f.Mono = (h[3] >> 6) == 3;
    if (f.Layer == 1) {
        f.Samples = 384;
        f.Size = (12 * f.Kbps * 1000 / f.Rate + padding) * 4;
    } else {
        f.Samples = f.Layer == 3 && f.Version != 1 ? 576 : 1152;
        f.Size = f.Samples / 8 * f.Kbps * 1000 / f.Rate + padding;
    }
    return f.Size >= 4;
}

bool SameStream(const TFrame& a, const TFrame& b) {
    return a.Version == b.Version && a.Layer == b.Layer && a.Rate == b.Rate;
}

// The first frame in [begin, end) whose next frame, at its size, is valid too
// (or which ends exactly at end), so that stray sync bytes are not taken. The
// window read ahead holds the next header of any frame (under 3 KB) in it.
bool FindFirstFrame(IByteSource& source, std::uint64_t begin, std::uint64_t end, std::uint64_t& at, TFrame& frame) {
    constexpr std::size_t kStep = 1024, kAhead = 4096;
    const std::uint64_t limit = end - begin > kMaxFrameSearch ? begin + kMaxFrameSearch : end;
    static thread_local std::uint8_t window[kStep + kAhead];
    for (std::uint64_t base = begin; base < limit && end - base >= 4; base += kStep) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(sizeof window, end - base));
        const std::size_t got = ReadFully(source, base, window, want);
        for (std::size_t i = 0; i + 4 <= got && i < kStep; ++i) {
            if (window[i] != 0xFF || !ParseHeader(window + i, frame)) continue;
            const std::size_t next = i + std::size_t(frame.Size);
            TFrame second;
            if (base + next == end || (next + 4 <= got && ParseHeader(window + next, second) && SameStream(frame, second))) {
                at = base + i;
                return true;
            }
        }
        if (got < want) break;
    }
    return false;
}

std::uint32_t Be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Frames a Xing/Info or VBRI header in the frame at `at` counts; false without one.
bool HeaderFrames(IByteSource& source, std::uint64_t at, const TFrame& frame, std::uint64_t& frames) {
    if (frame.Layer != 3) return false;
    std::uint8_t b[64];
    const std::size_t got = ReadFully(source, at, b, std::min<std::size_t>(sizeof b, std::size_t(frame.Size)));
    const std::size_t xing = 4 + (frame.Version == 1 ? (frame.Mono ? 17 : 32) : (frame.Mono ? 9 : 17));
    if (got >= xing + 12 && (std::memcmp(b + xing, "Xing", 4) == 0 || std::memcmp(b + xing, "Info", 4) == 0)) {
        if (!(Be32(b + xing + 4) & 1)) return false;  // no frame count: timed by its bytes
        frames = Be32(b + xing + 8);
        return true;
    }
    constexpr std::size_t kVbri = 36;
    if (got >= kVbri + 18 && std::memcmp(b + kVbri, "VBRI", 4) == 0) {
        frames = Be32(b + kVbri + 14);
        return true;
    }
    return false;
}

int MpegLengthIn(IByteSource& source, std::uint64_t begin, std::uint64_t end) {
    std::uint64_t at = 0;
    TFrame frame;
    if (begin >= end || !FindFirstFrame(source, begin, end, at, frame)) return -1;
    std::uint64_t frames = 0;
    if (HeaderFrames(source, at, frame, frames))
        return frames ? RoundedSeconds(frames * std::uint64_t(frame.Samples), std::uint64_t(frame.Rate)) : -1;
    return RoundedSeconds((end - at) * 8, std::uint64_t(frame.Kbps) * 1000);
}

// Where the audio ends: before the ID3v1, APE and Lyrics3 tags at the end.
std::uint64_t AudioEnd(IByteSource& source, std::uint64_t end) {
    for (int tags = 0; tags < 4; ++tags) {
        std::uint8_t b[32];
        if (end >= 128 && ReadFully(source, end - 128, b, 3) == 3 && std::memcmp(b, "TAG", 3) == 0) {
            end -= 128;
            continue;
        }
        if (end >= 32 && ReadFully(source, end - 32, b, 32) == 32 && std::memcmp(b, "APETAGEX", 8) == 0) {
            // The size counts the items and the footer; a header in front is flagged.
            const std::uint64_t size = std::uint64_t(Le32(b + 12)) + ((Le32(b + 20) & 0x80000000u) ? 32 : 0);
            if (size < 32 || size > end) break;
            end -= size;
            continue;
        }
        if (end >= 15 && ReadFully(source, end - 15, b, 15) == 15 && std::memcmp(b + 6, "LYRICS200", 9) == 0) {
            std::uint64_t size = 0;
            for (int i = 0; i < 6; ++i) {
                if (b[i] < '0' || b[i] > '9') return end;
                size = size * 10 + std::uint64_t(b[i] - '0');
            }
            if (size + 15 > end) break;
            end -= size + 15;
            continue;
        }
        break;
    }
    return end;
}

}  // namespace

int ReadMpegLength(IByteSource& file) {
    TBufferedSource source(file);
    std::uint64_t size = 0;
    if (!source.Size(size)) return -1;
    const std::uint64_t begin = SkipLeadingId3v2(source);
    if (begin >= size) return -1;
    return MpegLengthIn(source, begin, AudioEnd(source, size));
}

int ReadRiffMpegLength(IByteSource& file) {
    TBufferedSource source(file);
    TRiffReader riff(source);
    TRiffChunk form, data;
    if (!riff.Ok() || !riff.EnterFirstChunk(form) || form.Type != MakeFourCC('R', 'M', 'P', '3') ||
        !riff.FindChunk(form.DataOffset + 4, riff.DataEnd(form), MakeFourCC('d', 'a', 't', 'a'), 0, data))
        return -1;
    return MpegLengthIn(source, data.DataOffset, riff.DataEnd(data));
}
