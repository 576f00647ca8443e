#include "fileinfo/WaveForm.h"

#include <algorithm>
#include <cstring>

#include "fileinfo/TagText.h"

namespace {

std::uint32_t U32LE(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

constexpr std::uint32_t kRiff = MakeFourCC('R', 'I', 'F', 'F');
constexpr std::uint32_t kList = MakeFourCC('L', 'I', 'S', 'T');
constexpr std::uint32_t kRmp3 = MakeFourCC('R', 'M', 'P', '3');
constexpr std::uint32_t kInfo = MakeFourCC('I', 'N', 'F', 'O');

bool HasType(std::uint32_t id) { return id == kRiff || id == kList; }

// No tag text is anywhere near this long; an unterminated value in a hostile file
// would otherwise grow to the size of the whole list.
constexpr std::uint64_t kMaxInfoValue = 64 * 1024;

}  // namespace

TRiffReader::TRiffReader(IByteSource& source) : source_(source) { ok_ = source_.Size(fileSize_); }

bool TRiffReader::EnterFirstChunk(TRiffChunk& chunk) {
    std::uint8_t header[12];
    if (!ok_ || ReadFully(source_, 0, header, 8) != 8) return false;
    chunk.Id = U32LE(header);
    chunk.Size = U32LE(header + 4);
    chunk.DataOffset = 8;
    chunk.Type = 0;
    if (HasType(chunk.Id)) {
        if (ReadFully(source_, 8, header + 8, 4) != 4) return false;
        chunk.Type = U32LE(header + 8);
    }
    return true;
}

bool TRiffReader::FindChunk(std::uint64_t from, std::uint64_t end, std::uint32_t id, std::uint32_t type,
                            TRiffChunk& chunk) {
    if (!ok_) return false;
    end = std::min(end, fileSize_);
    std::uint64_t pos = from;
    // Positions are 64-bit and sizes 32-bit: pos grows by at least 8 per step and
    // cannot wrap, so the loop ends once it passes `end`.
    while (pos <= end && end - pos >= 8) {
        std::uint8_t header[12];
        if (ReadFully(source_, pos, header, 8) != 8) return false;
        const std::uint32_t chunkId = U32LE(header);
        const std::uint32_t size = U32LE(header + 4);
        const std::uint64_t data = pos + 8;
        if (chunkId == id) {
            bool match = true;
            std::uint32_t chunkType = 0;
            if (HasType(id)) {
                // The type is part of the chunk's data: it must lie inside both.
                match = size >= 4 && end - data >= 4 && ReadFully(source_, data, header + 8, 4) == 4;
                if (match) chunkType = U32LE(header + 8);
                if (match && type != 0) match = chunkType == type;
            }
            if (match) {
                chunk = TRiffChunk{chunkId, size, data, chunkType};
                return true;
            }
        }
        const std::uint64_t next = data + size + (size & 1u);
        if (next > end) return false;
        pos = next;
    }
    return false;
}

std::uint64_t TRiffReader::DataEnd(const TRiffChunk& chunk) const {
    return std::min<std::uint64_t>(chunk.DataOffset + chunk.Size, fileSize_);
}

std::string ReadInfoSubchunk(TRiffReader& riff, const TRiffChunk& list, std::uint64_t listStart,
                             std::uint32_t id) {
    const std::uint64_t listEnd = riff.DataEnd(list);
    TRiffChunk sub;
    if (!riff.FindChunk(listStart, listEnd, id, 0, sub)) return {};
    // A size with the top bit set counts as negative: no value.
    if (sub.Size == 0 || sub.Size > 0x7FFFFFFFu) return {};
    // Read no further than the sub-chunk, the list and the file allow, a block at a
    // time, stopping at the first NUL: memory follows the text actually present, not
    // a size taken from the file, and never more than kMaxInfoValue.
    std::uint64_t remaining = std::min<std::uint64_t>({sub.Size, listEnd - sub.DataOffset, kMaxInfoValue});
    std::uint64_t pos = sub.DataOffset;
    std::string text;
    std::uint8_t block[1024];
    while (remaining > 0) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(remaining, sizeof block));
        const std::size_t got = ReadFully(riff.Source(), pos, block, want);
        const auto* nul = static_cast<const std::uint8_t*>(std::memchr(block, 0, got));
        const std::size_t keep = nul ? std::size_t(nul - block) : got;
        text.append(reinterpret_cast<const char*>(block), keep);
        if (nul || got < want) break;
        pos += got;
        remaining -= got;
    }
    return TrimTagText(text);
}

bool ReadRiffInfoTag(IByteSource& source, TMP3FileInfo& info, const TTagTextCodec& codec) {
    TRiffReader riff(source);
    TRiffChunk form;
    if (!riff.EnterFirstChunk(form) || form.Id != kRiff || form.Type != kRmp3) return false;
    // The list may follow the RIFF chunk, so the search runs to the end of the file.
    TRiffChunk list;
    if (!riff.FindChunk(form.DataOffset + 4, riff.FileSize(), kList, kInfo, list)) return false;
    const std::uint64_t listStart = list.DataOffset + 4;

    struct TField {
        std::uint32_t id;
        TInfoField target;
    };
    static constexpr TField kFields[] = {
        {MakeFourCC('I', 'N', 'A', 'M'), TInfoField::Title},
        {MakeFourCC('I', 'A', 'R', 'T'), TInfoField::Artist},
        {MakeFourCC('I', 'P', 'R', 'D'), TInfoField::Album},
        {MakeFourCC('I', 'C', 'M', 'T'), TInfoField::Comment},
        {MakeFourCC('I', 'G', 'N', 'R'), TInfoField::Genre},
        {MakeFourCC('I', 'C', 'R', 'D'), TInfoField::Year},
        {MakeFourCC('I', 'C', 'O', 'P'), TInfoField::Copyright},
        {MakeFourCC('I', 'E', 'N', 'G'), TInfoField::Engineer},
        {MakeFourCC('I', 'S', 'R', 'C'), TInfoField::Source},
        {MakeFourCC('I', 'S', 'F', 'T'), TInfoField::Software},
    };
    for (const TField& f : kFields) {
        std::string value = ReadInfoSubchunk(riff, list, listStart, f.id);
        if (!value.empty()) info.Set(f.target, codec.CodePage(value));
    }
    return true;
}
