// Skins applied from files and from the host's skin folder: what reaches the
// style object and the list (run in this process on a playlist window of our
// own), and what the host's windows do (the real DLL in the emulated host).
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include "DropBuilder.h"
#include "MessageBoxCatcher.h"
#include "PluginFixture.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"
#include "playlist/SkinApply_win.h"
#include "skin/WatermarkSkin_win.h"

namespace {

// A w × h 24-bit picture: a frame of `key` around a block of `ink`.
std::string SmallBmp(int w, int h, COLORREF key, COLORREF ink) {
    const int stride = (w * 3 + 3) & ~3;
    std::string data;
    for (int y = h - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            const COLORREF c = edge ? key : ink;
            row += static_cast<char>(GetBValue(c));
            row += static_cast<char>(GetGValue(c));
            row += static_cast<char>(GetRValue(c));
        }
        row.resize(stride, '\0');
        data += row;
    }
    std::string head(54, '\0');
    auto put = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) head[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    head[0] = 'B', head[1] = 'M';
    put(2, 54 + static_cast<std::uint32_t>(data.size()));
    put(10, 54);
    put(14, 40);
    put(18, w);
    put(22, h);
    head[26] = 1;
    head[28] = 24;
    return head + data;
}

std::string Section(const std::string& body) { return "[VelvetLister Plug-in]\r\n" + body; }

RECT WindowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// The style object and the list driven in this process: our own copy of the
// plug-in's module state, with a playlist window on the emulated host.
class SkinFiles : public TPluginTest {
protected:
    void SetUp() override {
        TPluginTest::SetUp();
        StartHost();
        savedOption_ = Option;
        Plugin = TPluginState{};
        Plugin.HostMainWindow = host->Main();
        Plugin.HostPlaylistEditorWindow = host->PlaylistEditor();
        Plugin.HostEqualizerWindow = host->Equalizer();
        Plugin.PlayList = new TFormPlayList();
        ASSERT_TRUE(Plugin.PlayList->Create());
        Plugin.PlayList->ApplyListFont();  // as the settings load does
        CreateDirectoryA(PathIn("skins").c_str(), nullptr);
        CreateDirectoryA(PathIn("skins\\images").c_str(), nullptr);
    }
    void TearDown() override {
        if (TFormPlayList* pl = Plugin.PlayList) {
            Plugin.PlayList = nullptr;
            pl->Release();
        }
        Plugin = TPluginState{};
        Option = savedOption_;
        TPluginTest::TearDown();
    }
    TFormPlayList& Pl() { return *Plugin.PlayList; }
    TWatermarkSkin& Skin() { return *Plugin.PlayList->Skin(); }
    std::string Picture(const std::string& name, COLORREF key = RGB(10, 20, 30)) {
        WriteFile(name, SmallBmp(8, 6, key, RGB(200, 0, 0)));
        return PathIn(name);
    }
    std::string Wsc(const std::string& name, const std::string& body) {
        WriteFile(name, Section(body));
        return PathIn(name);
    }
    LOGFONTA ListLogFont() {
        LOGFONTA lf{};
        GetObjectA(Pl().ListFont(), sizeof lf, &lf);
        return lf;
    }

private:
    TOptions savedOption_;
};

}  // namespace

TEST_F(SkinFiles, ConfigurationWithoutKeysChangesNothingVisible) {
    const std::string fg = Picture("fg.bmp"), bg = Picture("bg.bmp", RGB(1, 2, 3));
    Skin().LoadFG(fg);
    Skin().LoadBG(bg);
    Skin().SetPlayColor(RGB(1, 100, 200));
    Skin().SetEqualizerLayout(3);
    Skin().ClearChanged();
    const TFontSpec font = Skin().FontSpec();
    const TColor shadow = Skin().ShadowColor(), play = Skin().PlayColor(), select = Skin().SelectColor(),
                 normal = Skin().NormalColor();
    const RECT bounds = WindowRect(Pl().Handle());
    const LOGFONTA listFont = ListLogFont();
    const int rowHeight = Pl().ListBox()->ItemHeight();
    Option.WindowPositionOverrideByWSC = Option.WindowSizeOverrideByWSC = true;

    ApplySkinFile(Wsc("empty.wsc", "[Other]\r\nFont.Point=30\r\n"));

    EXPECT_EQ(Skin().FGFileName(), fg);
    EXPECT_EQ(Skin().BGFileName(), bg);
    EXPECT_EQ(Skin().FontSpec(), font);
    EXPECT_EQ(Skin().ShadowColor(), shadow);
    EXPECT_EQ(Skin().PlayColor(), play);
    EXPECT_EQ(Skin().SelectColor(), select);
    EXPECT_EQ(Skin().NormalColor(), normal);
    EXPECT_EQ(Skin().EqualizerLayout(), 0);
    EXPECT_FALSE(Skin().Changed());
    const RECT after = WindowRect(Pl().Handle());
    EXPECT_EQ(std::make_pair(after.left, after.top), std::make_pair(bounds.left, bounds.top));
    EXPECT_EQ(std::make_pair(after.right, after.bottom), std::make_pair(bounds.right, bounds.bottom));
    EXPECT_EQ(ListLogFont().lfHeight, listFont.lfHeight);
    EXPECT_STREQ(ListLogFont().lfFaceName, listFont.lfFaceName);
    EXPECT_EQ(Pl().ListBox()->ItemHeight(), rowHeight);
}

TEST_F(SkinFiles, ForegroundValueEmptyMeansLogoNoneOrMissingLeavesIt) {
    const std::string fg = Picture("fg.bmp");
    Skin().LoadFG(fg);
    ApplySkinFile(Wsc("keep.wsc", "Option.WatermarkSkin.FG=::none::\r\n"));
    EXPECT_EQ(Skin().FGFileName(), fg);
    ApplySkinFile(Wsc("nokey.wsc", "Font.Color.Play=#FF0000\r\n"));
    EXPECT_EQ(Skin().FGFileName(), fg);
    EXPECT_EQ(Skin().PlayColor(), RGB(255, 0, 0));

    ApplySkinFile(Wsc("logo.wsc", "Option.WatermarkSkin.FG=\r\n"));
    EXPECT_EQ(Skin().FGFileName(), "");
    EXPECT_EQ(Skin().ShadowColor(), RGB(254, 251, 240));  // the logo's corner
}

TEST_F(SkinFiles, RelativePicturesResolveAgainstTheSkinFolder) {
    const std::string fg = Picture("skins\\images\\fg.bmp"), bg = Picture("skins\\tile.bmp");
    // A same-named picture beside the test folder must not be taken instead.
    Picture("images_fg_decoy.bmp");
    ApplySkinFile(Wsc("skins\\Blue.WSC",
                      "Option.WatermarkSkin.FG=images\\fg.bmp\r\nOption.WatermarkSkin.BG=tile.bmp\r\n"
                      "Font.Color.Shadow=0.0.255\r\n"));
    EXPECT_EQ(Skin().FGFileName(), fg);
    EXPECT_EQ(Skin().BGFileName(), bg);
    EXPECT_TRUE(Skin().BGBitmap());
    // The shadow key wins over the new foreground's corner colour.
    EXPECT_EQ(Skin().ShadowColor(), RGB(0, 0, 255));
}

TEST_F(SkinFiles, BareBitmapBecomesForegroundAndRemovesTheBackground) {
    Skin().LoadBG(Picture("bg.bmp"));
    ASSERT_TRUE(Skin().BGBitmap());
    const std::string fg = Picture("Plain.BMP", RGB(7, 8, 9));
    ApplySkinFile(fg);
    EXPECT_EQ(Skin().FGFileName(), fg);
    EXPECT_EQ(Skin().BGFileName(), "");
    EXPECT_FALSE(Skin().BGBitmap());
    EXPECT_EQ(Skin().ShadowColor(), RGB(7, 8, 9));

    // Other kinds of file, and missing files, change nothing.
    WriteFile("notes.txt", Section("Font.Color.Play=#00FF00\r\n"));
    ApplySkinFile(PathIn("notes.txt"));
    ApplySkinFile(PathIn("missing.wsc"));
    EXPECT_NE(Skin().PlayColor(), RGB(0, 255, 0));
    EXPECT_EQ(Skin().FGFileName(), fg);
}

TEST_F(SkinFiles, FontAndColoursReachTheSkinAndTheList) {
    const int rowHeight = Pl().ListBox()->ItemHeight();
    ApplySkinFile(Wsc("font.wsc",
                      "Font.Face=No Such Face Anywhere\r\nFont.Point=-28\r\nFont.Style.Bold=1\r\n"
                      "Font.Style.Italic=$1\r\nFont.Color.Select=00:80:FF\r\nFont.Color.Normal=junk\r\n"
                      "Layout.Winamp.Equalizer=OverWrap\r\nLayout.Winamp.Equalizer.Zorder=-1\r\n"));
    EXPECT_EQ(Skin().FontSpec().Name, "No Such Face Anywhere");
    EXPECT_EQ(Skin().FontSpec().Size, 28);
    EXPECT_TRUE(Skin().FontSpec().Bold);
    EXPECT_TRUE(Skin().FontSpec().Italic);
    EXPECT_EQ(Skin().SelectColor(), RGB(0, 0x80, 0xFF));
    EXPECT_EQ(Skin().NormalColor(), RGB(0, 0, 0));
    EXPECT_EQ(Skin().EqualizerLayout(), 5);
    EXPECT_EQ(Skin().EqualizerZorder, -1);

    // The list keeps an installed face, takes the size and styles, and its rows
    // grow with the font.
    const LOGFONTA lf = ListLogFont();
    EXPECT_STRNE(lf.lfFaceName, "No Such Face Anywhere");
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_GT(Pl().ListBox()->ItemHeight(), rowHeight);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(Pl().ListBox()->Handle(), WM_GETFONT, 0, 0)), Pl().ListFont());

    // A later skin without font keys gives the style object the list's font back.
    ApplySkinFile(Wsc("colours.wsc", "Font.Color.Play=#FF0000\r\n"));
    EXPECT_EQ(Skin().FontSpec(), (TFontSpec{ListLogFont().lfFaceName, 28, true, true}));
}

TEST_F(SkinFiles, WindowGeometryOnlyUnderTheOverrideOptionsAndFittedOnScreen) {
    const std::string wsc =
        Wsc("big.wsc", "Window.Position.X=300\r\nWindow.Position.Y=20\r\nWindow.Size.Width=5000\r\n"
                       "Window.Size.Height=200\r\n");
    const RECT before = WindowRect(Pl().Handle());
    Option.WindowPositionOverrideByWSC = Option.WindowSizeOverrideByWSC = false;
    ApplySkinFile(wsc);
    RECT r = WindowRect(Pl().Handle());
    EXPECT_EQ(r.left, before.left);
    EXPECT_EQ(r.right, before.right);

    Option.WindowPositionOverrideByWSC = Option.WindowSizeOverrideByWSC = true;
    ApplySkinFile(wsc);
    r = WindowRect(Pl().Handle());
    const int screen = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right - r.left, screen);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.bottom - r.top, 200);

    // Size only: the position stays where it is.
    SetWindowPos(Pl().Handle(), nullptr, 40, 50, 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    Option.WindowPositionOverrideByWSC = false;
    ApplySkinFile(Wsc("size.wsc", "Window.Position.X=300\r\nWindow.Size.Width=320\r\n"));
    r = WindowRect(Pl().Handle());
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 320);
    EXPECT_EQ(r.bottom - r.top, 150);
}

TEST_F(SkinFiles, RelocationOffOrNoLayoutClearsTheStackingLink) {
    Plugin.EqualizerZOrderLink = 1;
    ApplySkinFile(Wsc("z.wsc", "Layout.Winamp.Equalizer.Zorder=1\r\n"));
    EXPECT_EQ(Plugin.EqualizerZOrderLink, 0);

    Option.EnableEqualizerRelocation = true;
    ApplySkinFile(Wsc("over.wsc", "Layout.Winamp.Equalizer=overwrap\r\nLayout.Winamp.Equalizer.Zorder=-1\r\n"));
    EXPECT_EQ(Plugin.EqualizerZOrderLink, -1);
    EXPECT_EQ(WindowRect(host->Equalizer()).left, WindowRect(host->Main()).left);
    EXPECT_EQ(WindowRect(host->Equalizer()).top, WindowRect(host->Main()).top);

    Option.EnableEqualizerRelocation = false;
    ApplySkinFile(PathIn("over.wsc"));
    EXPECT_EQ(Plugin.EqualizerZOrderLink, 0);
}

// ---------------------------------------------------------------- time panel

namespace {
constexpr char kPanelClass[] = "YunaSoft SexyFont Plug-In TimePanel";

class TimePanel : public SkinFiles {
protected:
    void SetUp() override {
        SkinFiles::SetUp();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kPanelClass;
        RegisterClassA(&wc);
        panel_ = CreateWindowExA(0, kPanelClass, "", WS_POPUP, 148, 126, 104, 28, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(panel_);
    }
    void TearDown() override {
        DestroyWindow(panel_);
        SkinFiles::TearDown();
    }
    // The panel's region box, or an empty rectangle when it has none.
    RECT PanelRegionBox(int* kind) {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        *kind = GetWindowRgn(panel_, r);
        RECT box{};
        if (*kind != ERROR) GetRgnBox(r, &box);
        DeleteObject(r);
        return box;
    }
    HWND panel_ = nullptr;
};
}  // namespace

TEST_F(TimePanel, FollowsTheHostsSkinShape) {
    int kind = 0;
    ShapeTimePanel();  // the host's main window has no region yet
    PanelRegionBox(&kind);
    EXPECT_EQ(kind, ERROR);

    // Normal size: the panel area starts at (48, 26) of the main window.
    SetWindowRgn(host->Main(), CreateRectRgn(0, 0, 60, 30), TRUE);
    ShapeTimePanel();
    RECT box = PanelRegionBox(&kind);
    EXPECT_EQ(kind, SIMPLEREGION);
    EXPECT_EQ(box.right, 12);
    EXPECT_EQ(box.bottom, 4);

    // A shape that covers the whole area gives the panel its rectangle back.
    SetWindowRgn(host->Main(), CreateRectRgn(0, 0, 275, 116), TRUE);
    ShapeTimePanel();
    PanelRegionBox(&kind);
    EXPECT_EQ(kind, ERROR);

    // Double size: twice the offsets and the area.
    host->SetDoubleSize(true);
    SetWindowRgn(host->Main(), CreateRectRgn(0, 0, 120, 60), TRUE);
    ShapeTimePanel();
    box = PanelRegionBox(&kind);
    EXPECT_EQ(kind, SIMPLEREGION);
    EXPECT_EQ(box.right, 24);
    EXPECT_EQ(box.bottom, 8);

    // A shape that misses the area entirely also leaves the panel rectangular,
    // and so does an empty one.
    SetWindowRgn(host->Main(), CreateRectRgn(300, 100, 400, 200), TRUE);
    ShapeTimePanel();
    PanelRegionBox(&kind);
    EXPECT_EQ(kind, ERROR);
    SetWindowRgn(host->Main(), CreateRectRgn(0, 0, 120, 60), TRUE);
    ShapeTimePanel();
    SetWindowRgn(host->Main(), CreateRectRgn(0, 0, 0, 0), TRUE);
    ShapeTimePanel();
    PanelRegionBox(&kind);
    EXPECT_EQ(kind, ERROR);
}

// ---------------------------------------------------------------- the real DLL

namespace {
class HostSkin : public TPluginTest {
protected:
    TTestHostOptions HostOptions() override { return options; }
    std::string HostIni() override { return "[Winamp]\r\npe_open=1\r\n"; }
    void SetUp() override {
        TPluginTest::SetUp();
        CreateDirectoryA(PathIn("skin").c_str(), nullptr);
    }
    void WritePluginIni(const std::string& body) { WriteFile("plugin.ini", Section(body)); }
    void WriteSkin(const std::string& name, const std::string& bytes) { WriteFile("skin\\" + name, bytes); }
    // The host with two tracks and the test's skin folder, the plug-in started.
    void Start() {
        StartHost();
        host->Playlist = {WriteMp3("a.mp3", "A"), WriteMp3("b.mp3", "B")};
        host->SkinDirectory = PathIn(skinFolder);
        StartPlugin();
        host->SetPosition(0);
        Pump();
    }
    bool EditorMasked() {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(host->PlaylistEditor(), r);
        DeleteObject(r);
        return kind == NULLREGION;
    }
    POINT TopLeft(HWND w) {
        RECT r = WindowRect(w);
        return {r.left, r.top};
    }
    TTestHostOptions options;
    std::string skinFolder = "skin";
};
bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
}  // namespace

TEST_F(HostSkin, RelativeLayoutAtDoubleSizeScalesTheOffsets) {
    options.DoubleSize = true;
    options.MainPosition = {100, 100};
    WriteSkin("VelvetLister.txt", Section("Layout.Winamp.Equalizer=Relative\r\nLayout.Winamp.Equalizer.Offset.X=10\r\n"
                                          "Layout.Winamp.Equalizer.Offset.Y=-4\r\n"));
    Start();
    EXPECT_TRUE(TopLeft(host->Equalizer()) == (POINT{120, 92}));
    EXPECT_TRUE(TopLeft(host->Main()) == (POINT{100, 100}));
    // The host was told of the move by a drag on its equaliser.
    EXPECT_GE(host->CountOf(host->Equalizer(), WM_LBUTTONDOWN), 1);
}

TEST_F(HostSkin, LeftLayoutSwapsWithAnEqualizerOnTheRight) {
    options.MainPosition = {25, 50};
    WriteSkin("VelvetLister.txt", Section("Layout.Winamp.Equalizer=left\r\n"));
    StartHost();
    SetWindowPos(host->Equalizer(), nullptr, 300, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Start();
    EXPECT_TRUE(TopLeft(host->Equalizer()) == (POINT{25, 50}));
    EXPECT_TRUE(TopLeft(host->Main()) == (POINT{300, 50}));

    // Applied again at the next track: the pair is in place and stays.
    host->SetPosition(1);
    Pump();
    EXPECT_TRUE(TopLeft(host->Equalizer()) == (POINT{25, 50}));
    EXPECT_TRUE(TopLeft(host->Main()) == (POINT{300, 50}));
}

TEST_F(HostSkin, RelocationDisabledLeavesTheEqualizer) {
    options.MainPosition = {100, 100};
    WritePluginIni("Option.EnableEqualizerRelocation=0\r\n");
    WriteSkin("VelvetLister.txt", Section("Layout.Winamp.Equalizer=above\r\n"));
    Start();
    EXPECT_TRUE(TopLeft(host->Equalizer()) == (POINT{100, 216}));
}

TEST_F(HostSkin, EditorBitmapUnmasksTheHostEditorOnlyWithTheOption) {
    struct TCase {
        bool option, editorBitmap, configuration, unmasked;
    } cases[] = {
        {true, true, false, true},   {true, true, true, true},    {false, true, false, false},
        {false, true, true, false},  {true, false, false, false}, {true, false, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << c.option << " pledit " << c.editorBitmap << " txt "
                                        << c.configuration);
        TearDown();
        TPluginTest::SetUp();
        CreateDirectoryA(PathIn("skin").c_str(), nullptr);
        WritePluginIni(std::string("Option.AutomaticShowPL=") + (c.option ? "1" : "0") + "\r\n");
        if (c.editorBitmap) WriteSkin("pledit.bmp", SmallBmp(4, 4, 0, 0xFFFFFF));
        if (c.configuration) WriteSkin("VelvetLister.txt", Section("Font.Color.Play=#00FF00\r\n"));
        Start();
        EXPECT_EQ(!EditorMasked(), c.unmasked);
    }
}

TEST_F(HostSkin, EqualizerBitmapShowsTheEqualizerWithTheOption) {
    options.EqualizerVisible = false;
    WritePluginIni("Option.AutomaticShowEQ=1\r\n");
    WriteSkin("eqmain.bmp", SmallBmp(4, 4, 0, 0xFFFFFF));
    Start();
    EXPECT_TRUE(IsWindowVisible(host->Equalizer()));
    // A skin without it hides the equaliser at the next track.
    DeleteFileA(PathIn("skin\\eqmain.bmp").c_str());
    host->SetPosition(1);
    Pump();
    EXPECT_FALSE(IsWindowVisible(host->Equalizer()));
}

// On a Japanese system the host's skin folder may end in a character whose
// second byte is 0x5C ("表"): its files are still found inside it.
TEST_F(HostSkin, ShiftJisSkinFolderEndingInTheBackslashByte) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (the _cp932 run)";
    skinFolder = "skin\\\x95\x5C";
    ASSERT_TRUE(CreateDirectoryA(PathIn(skinFolder).c_str(), nullptr));
    options.MainPosition = {100, 300};
    options.EqualizerVisible = false;
    WritePluginIni("Option.AutomaticShowEQ=1\r\nOption.AutomaticShowPL=1\r\n");
    WriteFile(skinFolder + "\\eqmain.bmp", SmallBmp(4, 4, 0, 0xFFFFFF));
    WriteFile(skinFolder + "\\pledit.bmp", SmallBmp(4, 4, 0, 0xFFFFFF));
    WriteFile(skinFolder + "\\VelvetLister.txt", Section("Layout.Winamp.Equalizer=above\r\n"));
    Start();
    EXPECT_TRUE(IsWindowVisible(host->Equalizer()));
    EXPECT_FALSE(EditorMasked());
    EXPECT_LT(TopLeft(host->Equalizer()).y, TopLeft(host->Main()).y);
}

TEST_F(HostSkin, CorruptPictureComplainsOnceAcrossTrackChanges) {
    WriteSkin("bad.bmp", "BM this is not a picture at all");
    WriteSkin("VelvetLister.txt", Section("Option.WatermarkSkin.FG=bad.bmp\r\n"));
    TMessageBoxCatcher boxes;
    Start();
    for (int i = 0; i < 4; ++i) {
        host->SetPosition(i % 2);
        Pump();
    }
    int loadErrors = 0;
    for (const std::wstring& text : boxes.Texts())
        if (text.find(L"FG image load error") == 0) ++loadErrors;
    EXPECT_EQ(loadErrors, 1);

    // Every track change reads the host's skin again: a new layout takes effect.
    WriteSkin("VelvetLister.txt", Section("Option.WatermarkSkin.FG=bad.bmp\r\nLayout.Winamp.Equalizer=overwrap\r\n"));
    host->SetPosition(0);
    Pump();
    EXPECT_TRUE(TopLeft(host->Equalizer()) == TopLeft(host->Main()));
}

TEST_F(HostSkin, SkinDroppedAmongAudioFilesAppliesAfterTheEntriesAreAdded) {
    options.MainPosition = {100, 100};
    Start();
    const std::string wsc = PathIn("drop.wsc");
    WriteFile("drop.wsc", Section("Layout.Winamp.Equalizer=relative\r\nLayout.Winamp.Equalizer.Offset.X=7\r\n"));
    const std::string c = WriteMp3("c.mp3", "C"), d = WriteMp3("d.mp3", "D");
    host->ClearMessages();
    SendMessageW(PlayListWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({c, wsc, d})), 0);
    Pump();
    EXPECT_TRUE(TopLeft(host->Equalizer()) == (POINT{107, 100}));
    // The host got the new list before its equaliser was nudged into place.
    size_t lastAdd = 0, firstNudge = 0;
    for (size_t i = 0; i < host->Messages.size(); ++i) {
        const TRecordedMessage& m = host->Messages[i];
        if (m.Message == WM_COPYDATA && (m.Path == c || m.Path == d)) lastAdd = i + 1;
        if (m.Window == host->Equalizer() && m.Message == WM_LBUTTONDOWN && !firstNudge) firstNudge = i + 1;
    }
    ASSERT_GT(lastAdd, 0u);
    ASSERT_GT(firstNudge, 0u);
    EXPECT_LT(lastAdd, firstNudge);
    const std::vector<std::string>& list = host->Playlist;
    EXPECT_EQ(std::count(list.begin(), list.end(), c), 1);
    EXPECT_EQ(std::count(list.begin(), list.end(), d), 1);
    EXPECT_EQ(std::count(list.begin(), list.end(), wsc), 0);
}
