// What the playlist window's list draws: the colours of its rows, the number
// column, the shadow, and the watermark over its tiles.
#include "FormPlayListFixture.h"

namespace {
// A white watermark over white tiles, so that only the rows' text has colour.
const std::string kPlain = "Option.WatermarkSkin.FG=plain.bmp\r\nOption.WatermarkSkin.BG=plain.bmp\r\n";

// ---- drawing

TEST_F(FormPlayList, ALengthTheHostToldBeforeTheFileWasReadStaysDrawn) {
    const std::string a = PathIn("a.mp3");
    ASSERT_TRUE(CopyFileA(VL_TEST_DATA_DIR "/lengths/cbr-plain.mp3", a.c_str(), FALSE));  // 4 s of its own
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\n" + kPlain + "Option.ShowSongTime=1\r\n");
    WriteFile("plain.bmp", MakeBmp(8, 8, [](int, int) { return RGB(255, 255, 255); }));
    StartHost();
    host->Playlist = {a};
    host->TrackLengths[a] = 3723;  // asked at start, as the entry is current, before its file is read
    StartPlugin();
    ResizeClient(400, 200);
    TPixels p = Capture();
    const RECT row = RowRect(0);
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(RGB(255, 0, 0), RECT{p.Width / 2, row.top, p.Width, row.bottom})))
        << "the host's length, in the play colour";
}

TEST_F(FormPlayList, PlayingAndSelectedRowsUseTheirColours) {
    std::string a = WriteMp3("a.mp3", "WWWW"), b = WriteMp3("b.mp3", "WWWW"), c = WriteMp3("c.mp3", "WWWW");
    Start({a, b, c, PathIn("WWWW.mp3")}, kPlain + "Option.ShowSongNumber=1\r\nOption.ShowSongTime=1\r\nOption.EnableDrawFontShadow=0\r\n");
    host->TrackLengths[b] = 3723;
    host->SetPosition(1);
    SendMessageW(List(), LB_SETSEL, TRUE, 1);
    SendMessageW(List(), LB_SETSEL, TRUE, 2);
    ResizeClient(400, 200);
    TPixels p = Capture();
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    RECT row1 = RowRect(1), row2 = RowRect(2), row0 = RowRect(0);
    const int mid = p.Width / 2;
    // Row 1 plays and is selected: title blue, number and length red.
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(blue, RECT{20, row1.top, mid, row1.bottom})));
    RECT numberInk = p.BoxOf(red, RECT{0, row1.top, 20, row1.bottom});
    EXPECT_FALSE(TPixels::Empty(numberInk)) << "the number keeps the play colour";
    RECT lengthInk = p.BoxOf(red, RECT{mid, row1.top, p.Width, row1.bottom});
    ASSERT_FALSE(TPixels::Empty(lengthInk)) << "1:02:03 in the play colour";
    EXPECT_GE(lengthInk.right, p.Width - 3) << "right-aligned";
    // Row 2 is only selected: its title is blue and nothing of it is red.
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(blue, row2)));
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(red, row2)));
    // Row 0: neither; no length is known, so nothing is drawn right of the title.
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(red, row0)));
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(blue, row0)));
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(RGB(0, 0, 0), RECT{0, row0.top, mid, row0.bottom})));
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(RGB(0, 0, 0), RECT{mid, row0.top, p.Width, row0.bottom})));
    // Row 3 is kept (no such file): half way from the normal colour to the background.
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(RGB(127, 127, 127), RowRect(3))));
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(RGB(0, 0, 0), RowRect(3))));
}

TEST_F(FormPlayList, NumberColumnWidensWithTheTenthEntry) {
    std::vector<std::string> f;
    for (int i = 0; i < 10; ++i) f.push_back(WriteMp3("n" + std::to_string(i) + ".mp3", "WWWW"));
    const std::string lines = kPlain + "Option.ShowSongNumber=1\r\nOption.EnableDrawFontShadow=0\r\n";
    Start(std::vector<std::string>(f.begin(), f.begin() + 9), lines);
    ResizeClient(400, 300);
    auto titleLeft = [&] {
        TPixels p = Capture();
        RECT r = RowRect(1);
        // The title begins after the number's ink and a gap: find the first ink column after a gap.
        int x = 0, lastInk = -1;
        for (; x < p.Width; ++x) {
            bool ink = false;
            for (int y = r.top; y < r.bottom; ++y) ink |= p.At(x, y) == RGB(0, 0, 0);
            if (ink && lastInk >= 0 && x - lastInk > 2) return x;
            if (ink) lastInk = x;
        }
        return -1;
    };
    const int nine = titleLeft();
    host->Playlist = f;
    host->SetPosition(9);  // rebuild to ten entries
    ASSERT_EQ(Rows().size(), 10u);
    const int ten = titleLeft();
    ASSERT_GT(nine, 0);
    EXPECT_GT(ten, nine) << "one more digit's width for every row";
}

TEST_F(FormPlayList, ShadowIsOnePixelDownRight) {
    std::string a = WriteMp3("a.mp3", "Hello");
    // A font drawn without smoothing on every code page, so that both colours have
    // pixels of their own.
    Start({a}, kPlain + "Font.Face=Tahoma\r\nOption.EnableDrawFontShadow=1\r\nFont.Color.Shadow=#808080\r\n"
                        "Font.Color.Play=#00C000\r\n");
    host->SetPosition(0);
    TPixels p = Capture();
    RECT row = RowRect(0);
    RECT text = p.BoxOf(RGB(0, 0xC0, 0), row), shadow = p.BoxOf(RGB(0x80, 0x80, 0x80), RECT{0, 0, p.Width, row.bottom + 2});
    ASSERT_FALSE(TPixels::Empty(text));
    ASSERT_FALSE(TPixels::Empty(shadow));
    EXPECT_EQ(shadow.right, text.right + 1);
    EXPECT_EQ(shadow.bottom, text.bottom + 1);
}

TEST_F(FormPlayList, AmpersandsAreDrawnAsTheyAre) {
    std::string a = WriteMp3("a.mp3", "&"), b = WriteMp3("b.mp3", "&&");
    Start({a, b}, kPlain + "Option.EnableDrawFontShadow=0\r\n");
    TPixels p = Capture();
    RECT one = p.InkBox(RowRect(0)), two = p.InkBox(RowRect(1));
    ASSERT_FALSE(TPixels::Empty(one)) << "a lone '&' is not taken as a prefix";
    ASSERT_FALSE(TPixels::Empty(two));
    EXPECT_GT(two.right - two.left, (one.right - one.left) * 3 / 2) << "'&&' shows two characters";
}

TEST_F(FormPlayList, ForegroundSmallerThanTheListSitsBottomRightOverTheShadowBands) {
    WriteFile("fg.bmp", MakeBmp(40, 30, [](int x, int y) { return x == 0 && y == 0 ? RGB(255, 255, 255) : RGB(0, 160, 0); }));
    Start({}, "Option.WatermarkSkin.FG=fg.bmp\r\nFont.Color.Shadow=#404040\r\n");
    ResizeClient(300, 150);
    TPixels p = Capture();
    const COLORREF band = RGB(0x40, 0x40, 0x40);
    EXPECT_EQ(p.At(p.Width - 1, p.Height - 1), RGB(0, 160, 0));
    EXPECT_EQ(p.At(p.Width - 40, p.Height - 30), RGB(255, 255, 255)) << "copied whole, key pixels included";
    EXPECT_EQ(p.At(p.Width - 41, p.Height - 1), band) << "left band";
    EXPECT_EQ(p.At(p.Width - 1, p.Height - 31), band) << "upper band";
    EXPECT_EQ(p.At(0, 0), band);
}

TEST_F(FormPlayList, ForegroundLargerThanTheListShowsItsBottomRightPart) {
    const int fw = 1200, fh = 900;
    WriteFile("fg.bmp", MakeBmp(fw, fh, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 0x80); }));
    Start({}, "Option.WatermarkSkin.FG=fg.bmp\r\n");
    ResizeClient(300, 150);
    TPixels p = Capture();
    EXPECT_EQ(p.At(p.Width - 1, p.Height - 1), RGB((fw - 1) & 0xFF, (fh - 1) & 0xFF, 0x80));
    EXPECT_EQ(p.At(0, 0), RGB((fw - p.Width) & 0xFF, (fh - p.Height) & 0xFF, 0x80));
}

TEST_F(FormPlayList, TilesShowBehindTheForegroundsTransparentPixels) {
    WriteFile("bg.bmp", MakeBmp(64, 48, [](int x, int y) { return RGB(x * 4, y * 5, 0x20); }));
    WriteFile("fg.bmp", MakeBmp(50, 40, [](int x, int y) { return x >= 25 ? RGB(0, 0, 0xF0) : RGB(255, 255, 255); }));
    Start({}, "Option.WatermarkSkin.FG=fg.bmp\r\nOption.WatermarkSkin.BG=bg.bmp\r\n");
    ResizeClient(300, 150);
    TPixels p = Capture();
    auto tile = [](int x, int y) { return RGB((x % 64) * 4, (y % 48) * 5, 0x20); };
    for (POINT q : {POINT{0, 0}, POINT{63, 47}, POINT{64, 48}, POINT{130, 100}, POINT{p.Width - 30, p.Height - 5}})
        EXPECT_EQ(p.At(q.x, q.y), tile(q.x, q.y)) << q.x << "," << q.y;
    EXPECT_EQ(p.At(p.Width - 1, p.Height - 1), RGB(0, 0, 0xF0)) << "opaque foreground pixels on top";
    EXPECT_EQ(p.At(p.Width - 25, p.Height - 40), RGB(0, 0, 0xF0));
    EXPECT_EQ(p.At(p.Width - 26, p.Height - 40), tile(p.Width - 26, p.Height - 40)) << "a key pixel of the foreground";
}

TEST_F(FormPlayList, ForegroundWithoutOpaquePixelsLeavesOnlyTiles) {
    WriteFile("bg.bmp", MakeBmp(64, 48, [](int x, int y) { return RGB(x * 4, y * 5, 0x20); }));
    WriteFile("clear.bmp", MakeBmp(50, 40, [](int, int) { return RGB(255, 255, 255); }));
    Start({}, "Option.WatermarkSkin.FG=clear.bmp\r\nOption.WatermarkSkin.BG=bg.bmp\r\n");
    ResizeClient(300, 150);
    TPixels p = Capture();
    for (POINT q : {POINT{p.Width - 1, p.Height - 1}, POINT{p.Width - 50, p.Height - 40}, POINT{10, 10}})
        EXPECT_EQ(p.At(q.x, q.y), RGB((q.x % 64) * 4, (q.y % 48) * 5, 0x20)) << q.x << "," << q.y;
}
}  // namespace
