#include "skin/WatermarkSkin_win.h"
#include "base/FileExists_win.h"
#include "base/Fonts_win.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "base/Text_win.h"
#include "base/Window_win.h"
#include "fileinfo/CRC.h"
#include "skin/BackgroundTiles.h"
#include "skin/BmpDecode.h"
#include "skin/OpaqueRuns.h"

namespace {

static_assert(sizeof(TRunRect) == sizeof(RECT) && offsetof(TRunRect, Right) == offsetof(RECT, right) &&
                  offsetof(TRunRect, Bottom) == offsetof(RECT, bottom),
              "runs are handed to the region API as RECTs");

// The logo's transparent colour, used only if the resource itself cannot be loaded.
constexpr std::uint32_t kLogoKeyPixel = 0x00FEFBF0;

// A picture file is read whole; the largest picture the decoder accepts (64 MB of
// 32-bit pixels) plus generous room for headers and trailing bytes.
constexpr LONGLONG kMaxPictureFileBytes = kMaxImagePixels * 4 + (1 << 20);

// Runs collected before they are turned into regions (bounds the buffer), and
// rectangles per region call. Wine's ExtCreateRegion joins its rectangles one by
// one, each join copying the region built so far, so a call costs the square of its
// rectangle count; small calls joined pairwise cost n log n instead.
constexpr std::size_t kRunsPerBatch = 4096;
constexpr std::size_t kRectsPerRegion = 8;

// Pixels read back from a bitmap: refuse anything beyond what a picture could be.
constexpr std::int64_t kMaxReadPixels = 4 * kMaxImagePixels;

bool ReadWholeFile(const std::string& name, std::vector<std::uint8_t>& bytes) {
    TFile file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxPictureFileBytes) return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

}  // namespace

BITMAPINFOHEADER TopDown32Header(int width, int height) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = -height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    return h;
}

namespace {
// A 32-bit top-down DIB section holding the pixels (its colours never depend on the display).
TSkinBitmap BitmapFromPixels(const TPixelImage& image) {
    TSkinBitmap result;
    if (image.Width <= 0 || image.Height <= 0) return result;
    BITMAPINFO bi{};
    bi.bmiHeader = TopDown32Header(image.Width, image.Height);
    void* bits = nullptr;
    TBitmap bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return result;
    GdiFlush();
    std::memcpy(bits, image.Pixels.data(), image.Pixels.size() * sizeof(std::uint32_t));
    result.Handle = std::move(bitmap);
    result.Width = image.Width;
    result.Height = image.Height;
    return result;
}

TSkinBitmap LoadLogo() {
    TSkinBitmap logo;
    logo.Handle.reset(static_cast<HBITMAP>(
        LoadImageW(ThisModule(), TWatermarkSkin::kLogoResource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (logo.Handle && GetObjectW(logo.Handle.get(), sizeof(info), &info) == sizeof(info)) {
        logo.Width = info.bmWidth;
        logo.Height = std::abs(info.bmHeight);
        return logo;
    }
    // The foreground must always exist: a single transparent pixel stands in.
    TPixelImage dot;
    dot.Width = dot.Height = 1;
    dot.Pixels = {kLogoKeyPixel};
    return BitmapFromPixels(dot);
}

// Any failure, an exhausted allocation included, is just "cannot load".
TSkinBitmap LoadPicture(const std::string& name, bool asTileBlock) {
    try {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(name, bytes)) return {};
        TPixelImage image;
        if (!DecodeBmp(bytes, image)) return {};
        bytes = {};
        if (!asTileBlock) return BitmapFromPixels(image);
        TTilePlan plan;
        if (!PlanTileBlock(image.Width, image.Height, plan)) return {};
        return BitmapFromPixels(BuildTileBlock(image, plan));
    } catch (const std::exception&) {
        return {};
    }
}

// The bitmap's pixels as top-down 0x00RRGGBB values.
bool ReadPixels(HBITMAP bitmap, TPixelImage& image) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) == 0) return false;
    const int width = info.bmWidth, height = std::abs(info.bmHeight);
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxReadPixels) return false;
    image.Width = width;
    image.Height = height;
    image.Pixels.assign(static_cast<std::size_t>(width) * height, 0);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];  // room GetDIBits may fill for palette bitmaps
    } bi{};
    bi.header = TopDown32Header(width, height);
    TClientDc screen(nullptr);
    int lines = GetDIBits(screen.get(), bitmap, 0, height, image.Pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi),
                          DIB_RGB_COLORS);
    return lines == height;
}

TRegion RegionFromRects(const TRunRect* runs, std::size_t count, std::vector<std::uint8_t>& buffer) {
    const std::size_t bytes = sizeof(RGNDATAHEADER) + count * sizeof(RECT);
    buffer.resize(bytes);
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(count);
    header.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    header.rcBound = {runs[0].Left, runs[0].Top, runs[0].Right, runs[count - 1].Bottom};
    for (std::size_t i = 0; i < count; ++i) {
        header.rcBound.left = std::min<LONG>(header.rcBound.left, runs[i].Left);
        header.rcBound.right = std::max<LONG>(header.rcBound.right, runs[i].Right);
    }
    std::memcpy(buffer.data(), &header, sizeof(header));
    std::memcpy(buffer.data() + sizeof(header), runs, count * sizeof(RECT));
    return TRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(bytes), reinterpret_cast<RGNDATA*>(buffer.data())));
}

// Joins regions like a binary counter: a new piece is merged with the top of the
// stack while both cover the same number of pieces, so every rectangle is copied
// about log(pieces) times and only that many regions are alive at once.
class TRegionJoiner {
public:
    bool Add(TRegion piece) {
        int level = 0;
        while (!stack_.empty() && stack_.back().second == level) {
            if (!Join(stack_.back().first, piece)) return false;
            piece = std::move(stack_.back().first);
            stack_.pop_back();
            ++level;
        }
        stack_.emplace_back(std::move(piece), level);
        return true;
    }
    TRegion Finish() {
        TRegion result;
        while (!stack_.empty()) {
            TRegion top = std::move(stack_.back().first);
            stack_.pop_back();
            if (result && !Join(top, result)) return {};
            result = std::move(top);
        }
        return result;
    }

private:
    static bool Join(TRegion& into, const TRegion& other) {
        return CombineRgn(into.get(), into.get(), other.get(), RGN_OR) != ERROR;
    }
    std::vector<std::pair<TRegion, int>> stack_;
};

// One region call per few runs instead of one polygon and one union per row.
TRegion RegionFromPixels(const TPixelImage& image) {
    if (image.Width <= 0 || image.Height <= 0) return {};
    const std::uint32_t key = image.Pixels[0] & kRgbMask;
    TRegionJoiner joiner;
    std::vector<TRunRect> runs;
    std::vector<std::uint8_t> buffer;
    runs.reserve(kRunsPerBatch + static_cast<std::size_t>(image.Width));
    for (int row = 0; row < image.Height;) {
        runs.clear();
        row = CollectOpaqueRuns(image.Pixels.data(), image.Width, image.Height, image.Width, key, row, kRunsPerBatch,
                                runs);
        for (std::size_t i = 0; i < runs.size(); i += kRectsPerRegion) {
            TRegion piece = RegionFromRects(runs.data() + i, std::min(kRectsPerRegion, runs.size() - i), buffer);
            if (!piece || !joiner.Add(std::move(piece))) return {};
        }
    }
    return joiner.Finish();
}

// A monochrome bitmap of the picture: 1 (white) where a pixel has the key colour,
// 0 (black) where it is opaque. Null when no pixel is opaque. Painting masks with
// it in a few block copies whatever the number of runs, where clipping to the
// region costs in proportion to its rectangles on every paint.
TBitmap MaskFromPixels(const TPixelImage& image) {
    if (image.Width <= 0 || image.Height <= 0) return {};
    const std::uint32_t key = image.Pixels[0] & kRgbMask;
    const std::size_t stride = ((static_cast<std::size_t>(image.Width) + 31) / 32) * 4;
    std::vector<std::uint8_t> bits(stride * static_cast<std::size_t>(image.Height), 0);
    bool anyOpaque = false;
    for (int y = 0; y < image.Height; ++y) {
        const std::uint32_t* row = image.Pixels.data() + static_cast<std::size_t>(y) * image.Width;
        std::uint8_t* out = bits.data() + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < image.Width; ++x) {
            if ((row[x] & kRgbMask) == key)
                out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
            else
                anyOpaque = true;
        }
    }
    if (!anyOpaque) return {};
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } bi{};
    bi.header.biSize = sizeof(BITMAPINFOHEADER);
    bi.header.biWidth = image.Width;
    bi.header.biHeight = -image.Height;
    bi.header.biPlanes = 1;
    bi.header.biBitCount = 1;
    bi.header.biCompression = BI_RGB;
    bi.colors[1] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
    TBitmap mask(CreateBitmap(image.Width, image.Height, 1, 1, nullptr));
    if (!mask) return {};
    TClientDc screen(nullptr);
    if (SetDIBits(screen.get(), mask.get(), 0, static_cast<UINT>(image.Height), bits.data(),
                  reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) != image.Height)
        return {};
    return mask;
}

// 0x00RRGGBB pixel to 0x00BBGGRR colour.
TColor PixelToColor(std::uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}


TFontSpec DefaultFont() {
    TFontSpec font{"MS Shell Dlg", 8, false, false};
    LOGFONTA lf{};
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf) == sizeof(lf) && lf.lfFaceName[0]) {
        font.Name = lf.lfFaceName;
        if (lf.lfHeight != 0) font.Size = MulDiv(std::abs(lf.lfHeight), 72, ScreenDpi());
        font.Bold = lf.lfWeight >= FW_BOLD;
        font.Italic = lf.lfItalic != 0;
    }
    return font;
}

std::string SignatureText(std::int64_t signature) {
    char text[17];
    std::snprintf(text, sizeof(text), "%016llX", static_cast<unsigned long long>(signature));
    return text;
}

}  // namespace

TColor ResolveColor(TColor color) {
    if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF)) & 0x00FFFFFF;
    return color & 0x00FFFFFF;
}

TRegion BuildOpaqueRegion(HBITMAP bitmap) {
    try {
        TPixelImage image;
        if (!ReadPixels(bitmap, image)) return {};
        return RegionFromPixels(image);
    } catch (const std::exception&) {
        return {};
    }
}

TWatermarkSkin::TWatermarkSkin() : font_(DefaultFont()) { LoadFG(std::string()); }

HRGN TWatermarkSkin::FGRegion() const {
    // Built when first asked for, once per picture: painting uses the mask, and a
    // picture of millions of runs would otherwise hold up every load.
    if (!fgRegionBuilt_) {
        fgRegionBuilt_ = true;
        fgRegion_ = BuildOpaqueRegion(fgBitmap_.Handle.get());
    }
    return fgRegion_.get();
}

TWatermarkSkin::~TWatermarkSkin() = default;

// A signature names content only when it is one: the empty file's 0 equals the
// logo's 0, and a negative value only says why no signature could be made. Those
// count as "the same" only for the same file name, so a different file is still
// tried while an unreadable one is not reported over and over.
bool TWatermarkSkin::SameSignature(const std::string& name, std::int64_t signature, const std::string& storedName,
                                   std::int64_t storedSignature) const {
    if (signature != storedSignature) return false;
    return signature > 0 || name == storedName;
}

void TWatermarkSkin::LoadFG(const std::string& fileName) {
    const std::string name = FileExists(fileName) ? fileName : std::string();
    if (name.empty() && fgFileName_.empty()) return;  // the logo is already shown
    std::int64_t signature = 0;
    if (!name.empty()) {
        signature = FileCrc32(name);
        if (SameSignature(name, signature, fgFileName_, fgSignature_)) return;
    }
    changed_ = true;
    fgBitmap_ = TSkinBitmap();
    fgRegion_.reset();
    fgRegionBuilt_ = false;
    fgMask_.reset();
    fgFileName_ = name;
    fgSignature_ = signature;

    bool failed = false;
    if (!name.empty()) {
        fgBitmap_ = LoadPicture(name, false);
        failed = !fgBitmap_;
    }
    if (!fgBitmap_) fgBitmap_ = LoadLogo();

    TPixelImage pixels;
    try {
        if (ReadPixels(fgBitmap_.Handle.get(), pixels)) {
            shadowColor_ = PixelToColor(pixels.Pixels[0]);
            fgMask_ = MaskFromPixels(pixels);
        }
    } catch (const std::exception&) {
        fgMask_.reset();  // painted without the tiles showing through
    }
    // Last, so that whatever repaints while the box is up sees a complete skin, and a
    // re-entrant load of the same file finds it already remembered.
    if (failed) ShowLoadError("FG image load error", name, signature);
}

void TWatermarkSkin::LoadBG(const std::string& fileName) {
    const std::string name = FileExists(fileName) ? fileName : std::string();
    if (name.empty() && bgFileName_.empty()) return;
    std::int64_t signature = 0;
    if (!name.empty()) {
        signature = FileCrc32(name);
        if (SameSignature(name, signature, bgFileName_, bgSignature_)) return;
    }
    changed_ = true;
    bgBitmap_ = TSkinBitmap();
    bgSignature_ = signature;
    bgFileName_ = name;
    if (name.empty()) return;
    bgBitmap_ = LoadPicture(name, true);
    if (!bgBitmap_) ShowLoadError("BG image load error", name, signature);
}

void TWatermarkSkin::ShowLoadError(const char* what, const std::string& path, std::int64_t signature) const {
    std::string message = std::string(what) + "\n" + WideToUtf8(AnsiToWide(path)) + "\n" + SignatureText(signature);
    ShowErrorBox(messageOwner_, message);
}

HFONT TWatermarkSkin::Font() const {
    if (!fontHandle_) {
        LOGFONTA lf{};
        lf.lfHeight = -MulDiv(font_.Size, ScreenDpi(), 72);
        lf.lfWeight = font_.Bold ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = font_.Italic ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        std::strncpy(lf.lfFaceName, font_.Name.c_str(), LF_FACESIZE - 1);
        fontHandle_.reset(CreateFontIndirectA(&lf));
    }
    return fontHandle_.get();
}

void TWatermarkSkin::FontChanged() {
    changed_ = true;
    fontHandle_.reset();
}

void TWatermarkSkin::SetFontName(const std::string& name) {
    if (name == font_.Name) return;
    font_.Name = name;
    FontChanged();
}

void TWatermarkSkin::SetFontSize(int points) {
    points = points == INT_MIN ? INT_MAX : std::abs(points);
    if (points == font_.Size) return;
    font_.Size = points;
    FontChanged();
}

void TWatermarkSkin::SetFontBold(bool bold) {
    if (bold == font_.Bold) return;
    font_.Bold = bold;
    FontChanged();
}

void TWatermarkSkin::SetFontItalic(bool italic) {
    if (italic == font_.Italic) return;
    font_.Italic = italic;
    FontChanged();
}

void TWatermarkSkin::AssignFont(const TFontSpec& font) {
    SetFontName(font.Name);
    SetFontSize(font.Size);
    SetFontBold(font.Bold);
    SetFontItalic(font.Italic);
}

void TWatermarkSkin::AssignFont(const std::string& name, int points, bool bold, bool italic) {
    AssignFont(TFontSpec{name, points, bold, italic});
}

void TWatermarkSkin::SetColor(TColor& field, TColor color) {
    const TColor rgb = ResolveColor(color);
    if (rgb == field) return;
    field = rgb;
    changed_ = true;
}
