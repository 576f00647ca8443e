#include "fileinfo/MP3FileInfo.h"

#include <array>
#include <cstring>

namespace {

constexpr unsigned char kLongLength = 255;

std::size_t LengthBytes(std::size_t n) { return n < kLongLength ? 1 : 5; }

// Reads the length at p and moves p past it.
std::size_t ReadLength(const char*& p) {
    const auto first = static_cast<unsigned char>(*p++);
    if (first < kLongLength) return first;
    std::size_t n = 0;
    for (int k = 0; k < 4; ++k) n |= static_cast<std::size_t>(static_cast<unsigned char>(*p++)) << (8 * k);
    return n;
}

char* WriteLength(char* p, std::size_t n) {
    if (n < kLongLength) {
        *p++ = static_cast<char>(n);
        return p;
    }
    *p++ = static_cast<char>(kLongLength);
    for (int k = 0; k < 4; ++k) *p++ = static_cast<char>((n >> (8 * k)) & 0xFF);
    return p;
}

using TFieldViews = std::array<std::string_view, kInfoFieldCount>;

// The views of every field, empty where absent.
TFieldViews Split(const char* block, std::uint16_t present) {
    TFieldViews views{};
    const char* p = block;
    for (int f = 0; f < kInfoFieldCount; ++f) {
        if (!(present & (1u << f))) continue;
        const std::size_t n = ReadLength(p);
        views[static_cast<std::size_t>(f)] = std::string_view(p, n);
        p += n;
    }
    return views;
}

std::size_t BlockSize(const TFieldViews& views) {
    std::size_t size = 0;
    for (std::string_view v : views)
        if (!v.empty()) size += LengthBytes(v.size()) + v.size();
    return size;
}

}  // namespace

TMP3FileInfo::TMP3FileInfo(const TMP3FileInfo& other)
    : SongLength(other.SongLength), LengthFromFile(other.LengthFromFile), Selected(other.Selected), Kept(other.Kept), present_(other.present_) {
    if (other.text_) {
        const std::size_t size = other.TextBytes();
        text_.reset(new char[size]);
        std::memcpy(text_.get(), other.text_.get(), size);
    }
}

TMP3FileInfo& TMP3FileInfo::operator=(const TMP3FileInfo& other) {
    if (this != &other) {
        TMP3FileInfo copy(other);
        *this = std::move(copy);
    }
    return *this;
}

std::string_view TMP3FileInfo::Get(TInfoField field) const {
    const auto bit = 1u << static_cast<unsigned>(field);
    if (!(present_ & bit)) return {};
    const char* p = text_.get();
    for (unsigned f = 0;; ++f) {
        if (!(present_ & (1u << f))) continue;
        const std::size_t n = ReadLength(p);
        if ((1u << f) == bit) return std::string_view(p, n);
        p += n;
    }
}

void TMP3FileInfo::Set(TInfoField field, std::string_view value) { Set({{field, value}}); }

void TMP3FileInfo::Set(std::initializer_list<std::pair<TInfoField, std::string_view>> fields) {
    TFieldViews views = Split(text_.get(), present_);
    bool changed = false;
    for (const auto& [field, value] : fields) {
        auto& view = views[static_cast<std::size_t>(field)];
        if (value.empty() && view.empty()) continue;
        view = value;  // may point into the old block, which lives until the copy is done
        changed = true;
    }
    if (!changed) return;
    const std::size_t size = BlockSize(views);
    // Every byte is written below: no zeroing first.
    std::unique_ptr<char[]> block(size ? new char[size] : nullptr);
    std::uint16_t present = 0;
    char* p = block.get();
    for (std::size_t f = 0; f < views.size(); ++f) {
        const std::string_view v = views[f];
        if (v.empty()) continue;
        present = static_cast<std::uint16_t>(present | (1u << f));
        p = WriteLength(p, v.size());
        std::memcpy(p, v.data(), v.size());
        p += v.size();
    }
    text_ = std::move(block);
    present_ = present;
}

std::u16string TMP3FileInfo::WideFileName() const {
    const std::string_view bytes = Get(TInfoField::WideFileName);
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t k = 0; k < out.size(); ++k)
        out[k] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                       (static_cast<unsigned char>(bytes[2 * k + 1]) << 8));
    return out;
}

void WideNameBytes(std::u16string_view wide, std::string& out) {
    out.resize(wide.size() * 2);
    for (std::size_t k = 0; k < wide.size(); ++k) {
        out[2 * k] = static_cast<char>(wide[k] & 0xFF);
        out[2 * k + 1] = static_cast<char>(wide[k] >> 8);
    }
}

void TMP3FileInfo::SetWideFileName(std::u16string_view v) {
    std::string bytes;
    WideNameBytes(v, bytes);
    Set(TInfoField::WideFileName, bytes);
}

std::size_t TMP3FileInfo::TextBytes() const { return text_ ? BlockSize(Split(text_.get(), present_)) : 0; }
