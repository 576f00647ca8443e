#include "fileinfo/Ogg.h"

#include <cstring>

#include "fileinfo/Flac.h"
#include "fileinfo/VorbisComment.h"

namespace {

constexpr std::size_t kPageHeader = 27;

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The packets of one logical stream, one at a time, each read as a stream of
// bytes. Every page moves on by at least its header, so every walk ends.
class TOggPackets : public TByteStream {
public:
    TOggPackets(IByteSource& source, std::uint64_t fileSize, std::uint64_t start)
        : source_(source), fileSize_(fileSize), nextPage_(start) {}

    // Moves to the start of the next packet, leaving the rest of the current one.
    bool NextPacket() {
        while (!(segmentLeft_ == 0 && terminal_)) {
            if (segmentLeft_ > 0) {
                data_ += segmentLeft_;
                segmentLeft_ = 0;
            } else if (!NextSegment()) {
                return false;
            }
        }
        return NextSegment();
    }

    bool Read(std::uint8_t* out, std::size_t n) override {
        while (n > 0) {
            if (!Available()) return false;
            const std::size_t take = std::size_t(std::min<std::uint64_t>(segmentLeft_, n));
            if (ReadFully(source_, data_, out, take) != take) return Fail();
            data_ += take;
            segmentLeft_ -= take;
            out += take;
            n -= take;
        }
        return true;
    }

    bool Skip(std::uint64_t n) override {
        while (n > 0) {
            if (!Available()) return false;
            const std::uint64_t take = std::min<std::uint64_t>(segmentLeft_, n);
            data_ += take;
            segmentLeft_ -= take;
            n -= take;
        }
        return true;
    }

    std::uint64_t Left() const override { return data_ < fileSize_ ? fileSize_ - data_ : 0; }

private:
    // True when the current packet has a byte left at data_.
    bool Available() {
        while (segmentLeft_ == 0) {
            if (terminal_ || !NextSegment()) return false;
        }
        return true;
    }

    bool Fail() {
        segmentLeft_ = 0;
        terminal_ = true;
        spent_ = true;
        return false;
    }

    // The next lacing value of the stream, from the next page of this serial
    // when the current page has none left.
    bool NextSegment() {
        while (segment_ == segments_) {
            if (!LoadPage()) return Fail();
        }
        const std::uint8_t lacing = lacing_[segment_++];
        segmentLeft_ = lacing;
        terminal_ = lacing < 255;
        return true;
    }

    bool LoadPage() {
        for (;;) {
            if (spent_ || fileSize_ - nextPage_ < kPageHeader || nextPage_ > fileSize_) return false;
            std::uint8_t h[kPageHeader];
            if (ReadFully(source_, nextPage_, h, kPageHeader) != kPageHeader || std::memcmp(h, "OggS", 4) != 0 ||
                h[4] != 0)
                return false;
            const std::uint32_t serial = Le32(h + 14);
            const std::size_t count = h[26];
            std::uint8_t lacing[255];
            if (ReadFully(source_, nextPage_ + kPageHeader, lacing, count) != count) return false;
            std::uint64_t body = 0;
            for (std::size_t i = 0; i < count; ++i) body += lacing[i];
            const std::uint64_t data = nextPage_ + kPageHeader + count;
            nextPage_ = data + body;
            if (!haveSerial_) {
                serial_ = serial;
                haveSerial_ = true;
            }
            if (serial != serial_) continue;
            std::memcpy(lacing_, lacing, count);
            segments_ = count;
            segment_ = 0;
            data_ = data;
            return true;
        }
    }

    IByteSource& source_;
    std::uint64_t fileSize_;
    std::uint64_t nextPage_;
    bool haveSerial_ = false, spent_ = false;
    std::uint32_t serial_ = 0;
    std::uint8_t lacing_[255];
    std::size_t segments_ = 0, segment_ = 0;
    std::uint64_t data_ = 0;         // file position of the next byte of the current segment
    std::uint64_t segmentLeft_ = 0;  // bytes of the current segment not yet taken
    bool terminal_ = true;           // the current segment ends its packet
};

enum class TCodec { Unknown, Vorbis, Opus, Speex, Flac };

TCodec CodecOf(const std::uint8_t* p, std::size_t n) {
    if (n >= 7 && std::memcmp(p, "\x01vorbis", 7) == 0) return TCodec::Vorbis;
    if (n >= 8 && std::memcmp(p, "OpusHead", 8) == 0) return TCodec::Opus;
    if (n >= 8 && std::memcmp(p, "Speex   ", 8) == 0) return TCodec::Speex;
    if (n >= 5 && std::memcmp(p, "\x7F" "FLAC", 5) == 0) return TCodec::Flac;
    return TCodec::Unknown;
}

// Positions the packets at the Vorbis comment of the first stream.
bool FindComment(TOggPackets& packets) {
    std::uint8_t head[8];
    if (!packets.NextPacket() || !packets.Read(head, 5)) return false;
    const TCodec codec = CodecOf(head, 5 + (packets.Read(head + 5, 3) ? 3 : 0));
    if (codec == TCodec::Unknown || !packets.NextPacket()) return false;
    switch (codec) {
    case TCodec::Vorbis: return packets.Read(head, 7) && std::memcmp(head, "\x03vorbis", 7) == 0;
    case TCodec::Opus: return packets.Read(head, 8) && std::memcmp(head, "OpusTags", 8) == 0;
    case TCodec::Speex: return true;
    case TCodec::Flac:
        // One metadata block a packet, up to the one with the last bit.
        for (;;) {
            std::uint8_t block[4];
            if (!packets.Read(block, 4)) return false;
            const std::uint8_t type = block[0] & 0x7F;
            if (type == 4) return true;
            if ((block[0] & 0x80) || type == 127 || !packets.NextPacket()) return false;
        }
    case TCodec::Unknown: break;
    }
    return false;
}

}  // namespace

bool ReadOggTags(IByteSource& file, TMP3FileInfo& info, const TTagReadOptions& options) {
    TBufferedSource source(file);
    std::uint64_t fileSize = 0;
    if (!source.Size(fileSize)) return false;
    const std::uint64_t start = SkipLeadingId3v2(source);
    if (start >= fileSize) return false;
    TOggPackets packets(source, fileSize, start);
    if (!FindComment(packets)) return false;
    TTagFields fields;
    const bool found = ReadVorbisComment(packets, fields, options.Text);
    fields.StoreInto(info);
    return found;
}
