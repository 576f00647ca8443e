// TWatermarkSkin under Wine, constructed directly: the logo, the Changed rules,
// the signature short-cut, the opaque region against the per-row polygon
// construction, the background tile block, every load-error message, and the
// title widths a repaint keeps.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "MessageBoxCatcher.h"
#include "PolygonRegion.h"
#include "TestFiles.h"
#include "fileinfo/CRC.h"
#include "playlist/TextWidths_win.h"
#include "skin/BmpDecode.h"
#include "skin/WatermarkSkin_win.h"

namespace {

constexpr TColor kLogoKey = RGB(254, 251, 240);

// A 24- or 32-bit bottom-up .bmp of the picture (32 bits keep the fourth byte).
std::string BmpBytes(const TPixelImage& img, int bits = 24) {
    const int stride = (img.Width * bits / 8 + 3) & ~3;
    std::string data;
    for (int y = img.Height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < img.Width; ++x) {
            std::uint32_t p = img.At(x, y);
            for (int i = 0; i < bits / 8; ++i) row.push_back(static_cast<char>((p >> (8 * i)) & 0xFF));
        }
        row.resize(stride, '\0');
        data += row;
    }
    std::string h(54, '\0');
    auto put = [&](int at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) h[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    h[0] = 'B', h[1] = 'M';
    put(2, 54 + static_cast<std::uint32_t>(data.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, img.Width, 4);
    put(22, img.Height, 4);
    put(26, 1, 2);
    put(28, bits, 2);
    return h + data;
}

TPixelImage Filled(int w, int h, std::uint32_t colour) {
    TPixelImage img;
    img.Width = w, img.Height = h;
    img.Pixels.assign(static_cast<size_t>(w) * h, colour);
    return img;
}

// Scattered blobs of several colours on a cream key, seeded: many runs per row.
TPixelImage Blobs(int w, int h, unsigned seed, int count) {
    TPixelImage img = Filled(w, h, 0xFEFBF0);
    std::mt19937 rng(seed);
    for (int i = 0; i < count; ++i) {
        int cx = rng() % w, cy = rng() % h, r = 1 + rng() % 9;
        std::uint32_t c = rng() & 0xFFFFFF;
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x)
                if (x >= 0 && y >= 0 && x < w && y < h && (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                    img.Pixels[static_cast<size_t>(y) * w + x] = c;
    }
    return img;
}

TBitmap BitmapOf(const TPixelImage& img) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), img.Width, -img.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TBitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits) memcpy(bits, img.Pixels.data(), img.Pixels.size() * 4);
    return bmp;
}

// Both constructions give the same region, and it is exactly the non-key pixels.
void ExpectRegionMatchesPixels(HBITMAP bitmap, HRGN fast) {
    TRegion slow(BuildOpaqueRegionByPolygons(bitmap));
    int w = 0, h = 0;
    std::vector<unsigned> px;
    ASSERT_TRUE(ReadBitmapPixels(bitmap, w, h, px));
    ASSERT_EQ(static_cast<bool>(fast), static_cast<bool>(slow));
    if (!fast) return;
    EXPECT_TRUE(EqualRgn(fast, slow.get()));
    const unsigned key = px[0] & 0xFFFFFF;
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (static_cast<bool>(PtInRegion(fast, x, y)) != ((px[static_cast<size_t>(y) * w + x] & 0xFFFFFF) != key))
                ++wrong;
    EXPECT_EQ(wrong, 0);
}

class WatermarkSkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.Make("vl_skin_", true));
        dir_ = folder_.Dir();
    }
    std::string Write(const std::string& name, const std::string& bytes) { return folder_.Write(name, bytes); }
    std::string Path(const std::string& name) const { return folder_.Path(name); }

    static std::wstring Message(const char* what, const std::string& path) {
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(FileCrc32(path)));
        return W((std::string(what) + "\n" + path + "\n" + hex).c_str());
    }

    TTempFolder folder_;
    std::string dir_;
};

}  // namespace

TEST_F(WatermarkSkinTest, StartsWithTheLogoAndDefaults) {
    TWatermarkSkin skin;
    EXPECT_EQ(skin.FGFileName(), "");
    EXPECT_EQ(skin.BGFileName(), "");
    EXPECT_EQ(skin.FGSignature(), 0);
    EXPECT_EQ(skin.BGSignature(), 0);
    ASSERT_TRUE(skin.FGBitmap());
    EXPECT_EQ(skin.FGBitmap().Width, 177);
    EXPECT_EQ(skin.FGBitmap().Height, 200);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(skin.FGBitmap().Handle.get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 8);  // the resource is a 256-colour bitmap
    EXPECT_EQ(skin.ShadowColor(), kLogoKey);
    EXPECT_FALSE(skin.BGBitmap());
    EXPECT_EQ(skin.PlayColor(), 0x0000FFu);
    EXPECT_EQ(skin.SelectColor(), 0xFF0000u);
    EXPECT_EQ(skin.NormalColor(), 0x000000u);
    EXPECT_EQ(skin.EqualizerLayout(), 0);
    EXPECT_EQ(skin.EqualizerOffsetX, 0);
    EXPECT_EQ(skin.EqualizerZorder, 0);

    // The logo is a drawing on its transparent colour: its region is neither empty
    // nor the whole picture, and the fast builder agrees with the polygon one.
    ASSERT_NE(skin.FGRegion(), nullptr);
    RECT box{};
    EXPECT_EQ(GetRgnBox(skin.FGRegion(), &box), COMPLEXREGION);
    EXPECT_GT(box.left, 0);
    EXPECT_LT(box.right, 177);
    ExpectRegionMatchesPixels(skin.FGBitmap().Handle.get(), skin.FGRegion());

    // The default font is the system's GUI font, and its handle is made on demand.
    LOGFONTA gui{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    EXPECT_EQ(skin.FontSpec().Name, gui.lfFaceName);
    EXPECT_GT(skin.FontSpec().Size, 0);
    LOGFONTA made{};
    ASSERT_NE(skin.Font(), nullptr);
    ASSERT_EQ(GetObjectA(skin.Font(), sizeof(made), &made), static_cast<int>(sizeof(made)));
    EXPECT_STREQ(made.lfFaceName, gui.lfFaceName);
}

TEST_F(WatermarkSkinTest, ChangedOnlyForEffectiveChanges) {
    TWatermarkSkin skin;
    skin.ClearChanged();

    skin.SetPlayColor(0x0000FF);
    skin.SetSelectColor(0xFF0000);
    skin.SetNormalColor(0);
    skin.SetShadowColor(kLogoKey);
    EXPECT_FALSE(skin.Changed());
    skin.SetNormalColor(0x123456);
    EXPECT_TRUE(skin.Changed());
    EXPECT_EQ(skin.NormalColor(), 0x123456u);
    skin.ClearChanged();

    // A system colour is stored as its current RGB value; that value again changes nothing.
    const TColor window = GetSysColor(COLOR_WINDOW);
    skin.SetShadowColor(0x80000000u | COLOR_WINDOW);
    EXPECT_EQ(skin.ShadowColor(), window);
    EXPECT_EQ(skin.Changed(), window != kLogoKey);
    skin.ClearChanged();
    skin.SetShadowColor(window);
    EXPECT_FALSE(skin.Changed());

    // Equaliser wishes are not painted.
    skin.SetEqualizerLayout(6);
    skin.EqualizerOffsetX = 12;
    skin.EqualizerZorder = -1;
    EXPECT_EQ(skin.EqualizerLayout(), 6);
    EXPECT_FALSE(skin.Changed());

    // Fonts: the size is taken as an absolute value; the name compares exactly.
    skin.AssignFont("Tahoma", 12, false, false);
    skin.ClearChanged();
    skin.SetFontSize(-12);
    skin.AssignFont(TFontSpec{"Tahoma", 12, false, false});
    skin.SetFontBold(false);
    EXPECT_FALSE(skin.Changed());
    skin.SetFontName("tahoma");
    EXPECT_TRUE(skin.Changed());
    skin.ClearChanged();
    skin.SetFontItalic(true);
    EXPECT_TRUE(skin.Changed());
    skin.ClearChanged();
    skin.AssignFont("Arial", -16, true, true);
    EXPECT_TRUE(skin.Changed());
    EXPECT_EQ(skin.FontSpec(), (TFontSpec{"Arial", 16, true, true}));

    // The handle follows the values.
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(skin.Font(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -MulDiv(16, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
}

TEST_F(WatermarkSkinTest, ForegroundSignatureShortCut) {
    TMessageBoxCatcher catcher;
    TPixelImage pic = Blobs(40, 30, 7, 12);
    pic.Pixels[0] = 0x204060;  // the key is whatever the top-left pixel is
    const std::string a = Write("a.bmp", BmpBytes(pic));
    TWatermarkSkin skin;
    skin.ClearChanged();

    skin.LoadFG(a);
    EXPECT_TRUE(skin.Changed());
    EXPECT_EQ(skin.FGFileName(), a);
    EXPECT_EQ(skin.FGSignature(), FileCrc32(a));
    EXPECT_EQ(skin.FGBitmap().Width, 40);
    EXPECT_EQ(skin.FGBitmap().Height, 30);
    EXPECT_EQ(skin.ShadowColor(), RGB(0x20, 0x40, 0x60));
    ExpectRegionMatchesPixels(skin.FGBitmap().Handle.get(), skin.FGRegion());

    // Same file, or the same bytes under another name: nothing at all happens.
    skin.ClearChanged();
    skin.SetShadowColor(RGB(1, 2, 3));
    skin.ClearChanged();
    HBITMAP before = skin.FGBitmap().Handle.get();
    skin.LoadFG(a);
    skin.LoadFG(Write("copy of a.bmp", BmpBytes(pic)));
    EXPECT_FALSE(skin.Changed());
    EXPECT_EQ(skin.FGFileName(), a);
    EXPECT_EQ(skin.FGBitmap().Handle.get(), before);
    EXPECT_EQ(skin.ShadowColor(), RGB(1, 2, 3));

    // Changed content under the same name is loaded again.
    pic.Pixels[5] ^= 0xFF;
    Write("a.bmp", BmpBytes(pic));
    skin.LoadFG(a);
    EXPECT_TRUE(skin.Changed());
    EXPECT_EQ(skin.FGSignature(), FileCrc32(a));
    EXPECT_EQ(skin.ShadowColor(), RGB(0x20, 0x40, 0x60));

    // A missing file (or a folder) means the logo: a change from a picture...
    skin.ClearChanged();
    skin.LoadFG(Path("missing.bmp"));
    EXPECT_TRUE(skin.Changed());
    EXPECT_EQ(skin.FGFileName(), "");
    EXPECT_EQ(skin.FGSignature(), 0);
    EXPECT_EQ(skin.FGBitmap().Width, 177);
    EXPECT_EQ(skin.ShadowColor(), kLogoKey);
    // ...and nothing while the logo is shown.
    skin.ClearChanged();
    skin.LoadFG(Path("missing.bmp"));
    skin.LoadFG(dir_);
    skin.LoadFG("");
    EXPECT_FALSE(skin.Changed());
    EXPECT_EQ(catcher.Count(), 0u);
}

TEST_F(WatermarkSkinTest, BackgroundSignatureShortCutAndTileBlock) {
    TMessageBoxCatcher catcher;
    TWatermarkSkin skin;
    skin.ClearChanged();
    skin.LoadBG(Path("missing.bmp"));
    EXPECT_FALSE(skin.Changed());

    struct Case {
        int w, h, bw, bh;
    };
    for (Case c : {Case{1, 1, 201, 201}, Case{150, 250, 300, 250}, Case{300, 300, 300, 300}}) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        const std::string name = Write(std::to_string(c.w) + "x" + std::to_string(c.h) + ".bmp",
                                       BmpBytes(Blobs(c.w, c.h, c.w, 5)));
        skin.ClearChanged();
        skin.LoadBG(name);
        EXPECT_TRUE(skin.Changed());
        ASSERT_TRUE(skin.BGBitmap());
        EXPECT_EQ(skin.BGBitmap().Width, c.bw);
        EXPECT_EQ(skin.BGBitmap().Height, c.bh);
        EXPECT_EQ(skin.BGFileName(), name);
        EXPECT_EQ(skin.BGSignature(), FileCrc32(name));
        skin.ClearChanged();
        skin.LoadBG(name);
        EXPECT_FALSE(skin.Changed());
    }

    // The block repeats the picture from its top-left corner.
    TPixelImage pic = Filled(3, 2, 0);
    pic.Pixels = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};
    skin.LoadBG(Write("3x2.bmp", BmpBytes(pic)));
    int w = 0, h = 0;
    std::vector<unsigned> px;
    ASSERT_TRUE(ReadBitmapPixels(skin.BGBitmap().Handle.get(), w, h, px));
    ASSERT_EQ(w, 201);
    ASSERT_EQ(h, 202);
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) wrong += (px[y * w + x] & 0xFFFFFF) != pic.At(x % 3, y % 2);
    EXPECT_EQ(wrong, 0);

    // The same bytes under another name are not loaded again; a missing file drops it.
    skin.ClearChanged();
    skin.LoadBG(Write("3x2 copy.bmp", BmpBytes(pic)));
    EXPECT_FALSE(skin.Changed());
    skin.LoadBG("");
    EXPECT_TRUE(skin.Changed());
    EXPECT_FALSE(skin.BGBitmap());
    EXPECT_EQ(skin.BGFileName(), "");
    EXPECT_EQ(skin.BGSignature(), 0);
    EXPECT_EQ(catcher.Count(), 0u);
}

TEST_F(WatermarkSkinTest, RegionEqualsPolygonConstruction) {
    // Several shapes: scattered blobs (many runs per row, several region chunks),
    // stripes, a single opaque pixel, nothing opaque, and a picture whose key pixel
    // differs from the rest only in the fourth byte.
    std::vector<TPixelImage> pictures = {Blobs(120, 90, 1, 60), Blobs(640, 480, 2, 3000), Filled(20, 10, 0xFEFBF0)};
    TPixelImage stripes = Filled(33, 17, 0xFFFFFF);
    for (int y = 0; y < 17; ++y)
        for (int x = 1; x < 33; x += 2) stripes.Pixels[y * 33 + x] = x % 3 ? 0x000000 : 0x808080;
    pictures.push_back(stripes);
    // 200 runs a row over 100 rows: five region chunks, an odd number to join.
    TPixelImage fine = Filled(401, 100, 0xFFFFFF);
    for (int y = 0; y < 100; ++y)
        for (int x = 1; x < 401; x += 2) fine.Pixels[y * 401 + x] = 0x000000;
    pictures.push_back(fine);
    TPixelImage dot = Filled(9, 9, 0);
    dot.Pixels[4 * 9 + 4] = 0x010000;
    pictures.push_back(dot);
    for (size_t i = 0; i < pictures.size(); ++i) {
        SCOPED_TRACE(i);
        TBitmap bmp = BitmapOf(pictures[i]);
        TRegion fast = BuildOpaqueRegion(bmp.get());
        ExpectRegionMatchesPixels(bmp.get(), fast.get());
    }
    EXPECT_FALSE(BuildOpaqueRegion(BitmapOf(Filled(20, 10, 0xFEFBF0)).get()));

    // The fourth byte never counts, also through a 32-bit file.
    TPixelImage alpha = Blobs(50, 40, 3, 10);
    TWatermarkSkin skin;
    const std::string plain = Write("plain.bmp", BmpBytes(alpha, 32));
    skin.LoadFG(plain);
    TRegion expected(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(expected.get(), skin.FGRegion(), nullptr, RGN_COPY);
    for (auto& p : alpha.Pixels)
        if ((p & 0xFFFFFF) == 0xFEFBF0) p |= 0x7F000000;
    alpha.Pixels[0] |= 0xFF000000;
    skin.LoadFG(Write("alpha.bmp", BmpBytes(alpha, 32)));
    ASSERT_NE(skin.FGFileName(), plain);
    ASSERT_NE(skin.FGRegion(), nullptr);
    EXPECT_TRUE(EqualRgn(skin.FGRegion(), expected.get()));

    // Nothing opaque: no region at all.
    skin.LoadFG(Write("blank.bmp", BmpBytes(Filled(30, 30, 0x336699))));
    EXPECT_EQ(skin.FGRegion(), nullptr);
    EXPECT_EQ(skin.ShadowColor(), RGB(0x33, 0x66, 0x99));
}

TEST_F(WatermarkSkinTest, CorruptForegroundReportsOnceAndShowsTheLogo) {
    TMessageBoxCatcher catcher;
    TWatermarkSkin skin;
    const std::string good = Write("good.bmp", BmpBytes(Blobs(20, 20, 4, 5)));
    skin.LoadFG(good);
    ASSERT_EQ(skin.FGBitmap().Width, 20);

    std::string bytes = BmpBytes(Blobs(20, 20, 5, 5));
    bytes.resize(bytes.size() / 2);  // truncated pixel data
    const std::string bad = Write("bad one.bmp", bytes);
    skin.ClearChanged();
    for (int i = 0; i < 3; ++i) skin.LoadFG(bad);
    ASSERT_EQ(catcher.Count(), 1u);
    EXPECT_EQ(catcher.Texts()[0], Message("FG image load error", bad));
    EXPECT_EQ(catcher.Captions()[0], L"VelvetLister");
    EXPECT_TRUE(skin.Changed());
    EXPECT_EQ(skin.FGFileName(), bad);
    EXPECT_EQ(skin.FGSignature(), FileCrc32(bad));
    EXPECT_EQ(skin.FGBitmap().Width, 177);
    EXPECT_EQ(skin.ShadowColor(), kLogoKey);
    EXPECT_NE(skin.FGRegion(), nullptr);

    // Once the file changes it is tried (and reported) again.
    Write("bad one.bmp", bytes + "x");
    skin.LoadFG(bad);
    EXPECT_EQ(catcher.Count(), 2u);

    // The picture being shown turns corrupt under its own name: reported, the logo replaces it.
    skin.LoadFG(good);
    ASSERT_EQ(skin.FGBitmap().Width, 20);
    Write("good.bmp", bytes);
    skin.LoadFG(good);
    EXPECT_EQ(catcher.Count(), 3u);
    EXPECT_EQ(skin.FGBitmap().Width, 177);
}

TEST_F(WatermarkSkinTest, EveryLoadFailureGivesItsMessage) {
    TMessageBoxCatcher catcher;
    TWatermarkSkin skin;
    TPixelImage huge = Filled(1, 1, 0);
    std::string hugeBytes = BmpBytes(huge);
    hugeBytes[18] = hugeBytes[19] = hugeBytes[22] = hugeBytes[23] = '\x7F';  // 32639 x 32639
    std::string zeroWide = BmpBytes(Filled(4, 4, 0x112233));
    zeroWide[18] = 0;
    std::string badOffset = BmpBytes(Filled(4, 4, 0x112233));
    badOffset[13] = '\x7F';
    const std::vector<std::pair<std::string, std::string>> files = {
        {"text.bmp", "this is not a picture"},
        {"huge.bmp", hugeBytes},
        {"zero wide.bmp", zeroWide},
        {"bad offset.bmp", badOffset},
        {"png.bmp", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, '\0')},
    };
    size_t expected = 0;
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        const std::string path = Write(name, content);
        skin.LoadFG(path);
        skin.LoadFG(path);
        ASSERT_EQ(catcher.Count(), ++expected);
        EXPECT_EQ(catcher.Texts().back(), Message("FG image load error", path));
        EXPECT_EQ(skin.FGBitmap().Width, 177);

        skin.LoadBG(path);
        skin.LoadBG(path);
        ASSERT_EQ(catcher.Count(), ++expected);
        EXPECT_EQ(catcher.Texts().back(), Message("BG image load error", path));
        EXPECT_FALSE(skin.BGBitmap());
        EXPECT_EQ(skin.BGFileName(), path);
        EXPECT_EQ(skin.BGSignature(), FileCrc32(path));
    }

    // An empty file has the logo's signature (0) but is not the logo: reported once.
    const std::string empty = Write("empty.bmp", "");
    skin.LoadFG("");
    skin.LoadFG(empty);
    skin.LoadFG(empty);
    ASSERT_EQ(catcher.Count(), ++expected);
    EXPECT_EQ(catcher.Texts().back(), Message("FG image load error", empty));
    EXPECT_EQ(catcher.Texts().back().substr(catcher.Texts().back().size() - 16), L"0000000000000000");
}

TEST_F(WatermarkSkinTest, UnreadableFileReportedOncePerName) {
    TMessageBoxCatcher catcher;
    TWatermarkSkin skin;
    const std::string one = Write("one.bmp", BmpBytes(Filled(5, 5, 0)));
    const std::string two = Write("two.bmp", BmpBytes(Filled(6, 6, 0)));
    HANDLE lock1 = CreateFileA(one.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE lock2 = CreateFileA(two.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock1, INVALID_HANDLE_VALUE);
    ASSERT_NE(lock2, INVALID_HANDLE_VALUE);
    ASSERT_EQ(FileCrc32(one), -3);

    // Both give the same negative code, yet they are different files.
    skin.LoadFG(one);
    skin.LoadFG(one);
    skin.LoadFG(two);
    skin.LoadFG(two);
    ASSERT_EQ(catcher.Count(), 2u);
    EXPECT_EQ(catcher.Texts()[0], W(("FG image load error\n" + one + "\nFFFFFFFFFFFFFFFD").c_str()));
    EXPECT_EQ(catcher.Texts()[1], W(("FG image load error\n" + two + "\nFFFFFFFFFFFFFFFD").c_str()));
    CloseHandle(lock1);
    CloseHandle(lock2);

    // Readable again: a real signature now, so it loads.
    skin.LoadFG(one);
    EXPECT_EQ(skin.FGBitmap().Width, 5);
    EXPECT_EQ(catcher.Count(), 2u);
}

// The title widths kept for a repaint are those of the font now selected: a
// larger font must not reuse the smaller one's (a title would lose its ellipsis).
TEST(TitleWidths, MeasuredAgainInEveryNewFont) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HFONT small = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HFONT large = CreateFontW(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    const std::wstring title = L"Song number 12 \x6771\x4eac";
    TTextWidths widths;
    int got[2] = {}, want[2] = {};
    for (int i = 0; i < 2; ++i) {
        HGDIOBJ old = SelectObject(dc, i == 0 ? small : large);
        SIZE size{};
        GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
        want[i] = size.cx;
        for (int again = 0; again < 2; ++again) {
            ASSERT_TRUE(widths.Width(dc, title, got[i]));
            EXPECT_EQ(got[i], want[i]) << "font " << i << ", call " << again;
        }
        SelectObject(dc, old);
    }
    EXPECT_GT(want[1], want[0]);
    DeleteObject(small);
    DeleteObject(large);
    DeleteDC(dc);
}
