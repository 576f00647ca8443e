// Lengths of the lossless and Ogg formats, and the choice of reader by kind.
#include "fileinfo/SongLength.h"

#include <cstring>
#include <limits>

#include "fileinfo/Flac.h"
#include "fileinfo/TagReaders.h"

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint64_t Le64(const std::uint8_t* p) { return std::uint64_t(Le32(p + 4)) << 32 | Le32(p); }
std::uint16_t Le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

// STREAMINFO's rate and samples from its 34 bytes; false for 0 samples.
bool StreamInfoLength(const std::uint8_t* b, std::uint64_t& samples, std::uint32_t& rate) {
    rate = std::uint32_t(b[10]) << 12 | std::uint32_t(b[11]) << 4 | b[12] >> 4;
    samples = std::uint64_t(b[13] & 0x0F) << 32 | std::uint64_t(b[14]) << 24 | std::uint64_t(b[15]) << 16 |
              std::uint64_t(b[16]) << 8 | b[17];
    return samples != 0;
}

// The last page of `serial` within the last bytes of the file; its granule.
constexpr std::size_t kTailStep = 8 * 1024;
constexpr int kTailSteps = 128;  // a megabyte of other streams' pages at most

bool LastGranule(IByteSource& source, std::uint64_t begin, std::uint64_t size, std::uint32_t serial,
                 std::uint64_t& granule) {
    static thread_local std::uint8_t tail[kTailStep + 27];
    std::uint64_t end = size;
    for (int step = 0; step < kTailSteps && end > begin; ++step) {
        const std::uint64_t from = end - begin > kTailStep ? end - kTailStep : begin;
        const std::size_t n = std::size_t(std::min<std::uint64_t>(size - from, sizeof tail));
        if (ReadFully(source, from, tail, n) != n) return false;
        for (std::size_t i = std::min<std::size_t>(n, std::size_t(end - from)); i-- > 0;) {
            if (n - i < 27 || std::memcmp(tail + i, "OggS", 4) != 0 || tail[i + 4] != 0) continue;
            const std::uint64_t g = Le64(tail + i + 6);
            if (Le32(tail + i + 14) != serial || g == ~std::uint64_t{0}) continue;
            granule = g;
            return true;
        }
        end = from;
    }
    return false;
}

int MonkeysAudioLength(IByteSource& source) {
    std::uint8_t d[52];
    if (ReadFully(source, 0, d, sizeof d) != sizeof d) return -1;
    const unsigned version = Le16(d + 4);
    std::uint32_t perFrame, finalBlocks, frames, rate;
    if (version >= 3980) {
        // A descriptor, then the header at the descriptor's size.
        std::uint8_t h[24];
        if (ReadFully(source, Le32(d + 8), h, sizeof h) != sizeof h) return -1;
        perFrame = Le32(h + 4);
        finalBlocks = Le32(h + 8);
        frames = Le32(h + 12);
        rate = Le32(h + 20);
    } else {
        const unsigned compression = Le16(d + 6);
        rate = Le32(d + 12);
        frames = Le32(d + 24);
        finalBlocks = Le32(d + 28);
        perFrame = version >= 3950 ? 73728 * 4
                   : version >= 3900 || (version >= 3800 && compression == 4000) ? 73728 : 9216;
    }
    if (frames == 0) return -1;
    return RoundedSeconds(std::uint64_t(frames - 1) * perFrame + finalBlocks, rate);
}

// Musepack SV8's variable-length numbers: 7 bits a byte, the top bit for more.
bool Sv8Number(const std::uint8_t* b, std::size_t n, std::size_t& at, std::uint64_t& value) {
    value = 0;
    for (int k = 0; k < 9 && at < n; ++k) {
        const std::uint8_t c = b[at++];
        value = value << 7 | (c & 0x7F);
        if (!(c & 0x80)) return true;
    }
    return false;
}

constexpr std::uint32_t kMpcRates[4] = {44100, 48000, 37800, 32000};

int MusepackSv8Length(IByteSource& source, std::uint64_t size) {
    // Packets: key(2) size (counting key and itself) data; the stream header "SH" comes early.
    std::uint64_t pos = 4;
    for (int packets = 0; packets < 16 && pos < size; ++packets) {
        std::uint8_t b[32];
        const std::size_t n = ReadFully(source, pos, b, sizeof b);
        std::size_t at = 2;
        std::uint64_t length = 0;
        if (n < 3 || !Sv8Number(b, n, at, length) || length < at) return -1;
        if (b[0] == 'S' && b[1] == 'H') {
            std::uint64_t samples = 0, silence = 0;
            at += 5;  // CRC and version
            if (!Sv8Number(b, n, at, samples) || !Sv8Number(b, n, at, silence) || at >= n || silence > samples)
                return -1;
            const unsigned rate = b[at] >> 5;
            return rate < 4 ? RoundedSeconds(samples - silence, kMpcRates[rate]) : -1;
        }
        pos += length;
    }
    return -1;
}

int MusepackSv7Length(const std::uint8_t* h) {
    if ((h[3] & 0x0F) != 7) return -1;
    const std::uint64_t frames = Le32(h + 4);
    if (frames == 0) return -1;
    return RoundedSeconds(frames * 1152 - 576, kMpcRates[(Le32(h + 8) >> 16) & 3]);
}

int WavPackLength(const std::uint8_t* h) {
    static constexpr std::uint32_t kRates[15] = {6000,  8000,  9600,  11025, 12000, 16000, 22050, 24000,
                                                 32000, 44100, 48000, 64000, 88200, 96000, 192000};
    const std::uint32_t samples = Le32(h + 12);
    const unsigned rate = (Le32(h + 24) >> 23) & 0x0F;
    if (samples == 0xFFFFFFFFu || rate == 15) return -1;  // unknown, or a rate of its own in the metadata
    return RoundedSeconds(samples, kRates[rate]);
}

}  // namespace

int RoundedSeconds(std::uint64_t count, std::uint64_t rate) {
    if (rate == 0) return -1;
    const std::uint64_t whole = count / rate, rest = count % rate;
    const std::uint64_t seconds = whole + (rest >= rate - rest ? 1 : 0);
    return seconds > std::uint64_t(std::numeric_limits<int>::max()) ? -1 : int(seconds);
}

int ReadFlacLength(IByteSource& source) {
    std::uint8_t b[4 + 4 + 34];
    const std::uint64_t pos = SkipLeadingId3v2(source);
    std::uint64_t samples;
    std::uint32_t rate;
    // STREAMINFO is always the first block.
    if (ReadFully(source, pos, b, sizeof b) != sizeof b || std::memcmp(b, "fLaC", 4) != 0 || (b[4] & 0x7F) != 0 ||
        !StreamInfoLength(b + 8, samples, rate))
        return -1;
    return RoundedSeconds(samples, rate);
}

int ReadOggLength(IByteSource& source) {
    std::uint64_t size = 0;
    if (!source.Size(size)) return -1;
    const std::uint64_t begin = SkipLeadingId3v2(source);
    // The first page holds the first stream's identification packet alone.
    std::uint8_t page[27 + 255 + 80];
    const std::size_t n = ReadFully(source, begin, page, sizeof page);
    if (n < 27 || std::memcmp(page, "OggS", 4) != 0 || page[4] != 0 || n < 27u + page[26]) return -1;
    const std::uint8_t* p = page + 27 + page[26];
    const std::size_t left = n - 27 - page[26];
    std::uint64_t rate = 0, skip = 0;
    if (left >= 16 && std::memcmp(p, "\x01vorbis", 7) == 0) {
        rate = Le32(p + 12);
    } else if (left >= 16 && std::memcmp(p, "OpusHead", 8) == 0) {
        rate = 48000;  // Opus granules count at 48 kHz whatever the input was
        skip = Le16(p + 10);
    } else if (left >= 40 && std::memcmp(p, "Speex   ", 8) == 0) {
        rate = Le32(p + 36);
    } else if (left >= 17 + 34 && std::memcmp(p, "\x7F" "FLAC", 5) == 0 && std::memcmp(p + 9, "fLaC", 4) == 0) {
        rate = std::uint32_t(p[27]) << 12 | std::uint32_t(p[28]) << 4 | p[29] >> 4;
    } else {
        return -1;
    }
    std::uint64_t granule = 0;
    if (!LastGranule(source, begin, size, Le32(page + 14), granule) || granule < skip) return -1;
    return RoundedSeconds(granule - skip, rate);
}

int ReadApeFamilyLength(IByteSource& source) {
    std::uint64_t size = 0;
    std::uint8_t h[32];
    if (!source.Size(size) || ReadFully(source, 0, h, sizeof h) != sizeof h) return -1;
    if (std::memcmp(h, "MAC ", 4) == 0) return MonkeysAudioLength(source);
    if (std::memcmp(h, "MPCK", 4) == 0) return MusepackSv8Length(source, size);
    if (std::memcmp(h, "MP+", 3) == 0) return MusepackSv7Length(h);
    if (std::memcmp(h, "wvpk", 4) == 0) return WavPackLength(h);
    return -1;
}

int ReadSongLength(IByteSource& source, TTagReader kind) {
    switch (kind) {
    case TTagReader::Id3v1: return ReadMpegLength(source);
    case TTagReader::RiffInfo: return ReadRiffMpegLength(source);
    case TTagReader::Flac: return ReadFlacLength(source);
    case TTagReader::Ogg: return ReadOggLength(source);
    case TTagReader::Ape: return ReadApeFamilyLength(source);
    case TTagReader::Mp4: return ReadMp4Length(source);
    case TTagReader::Asf: return ReadAsfLength(source);
    case TTagReader::None: break;
    }
    return -1;
}
