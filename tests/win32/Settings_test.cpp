// The settings store, through the real plug-in: what a stored section does to
// the running window, and what the plug-in leaves in plugin.ini at shutdown.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <fstream>
#include <sstream>
#include "DropBuilder.h"
#include "MessageBoxCatcher.h"
#include "PluginFixture.h"
#include "playlist/PlayList_win.h"

namespace {
using TKeys = std::vector<std::pair<std::string, std::string>>;

// Every key a save writes, in its order.
const char* const kSavedKeys[] = {
    "Window.Position.Y", "Window.Position.X", "Window.Size.Width", "Window.Size.Height",
    "Font.Face", "Font.Point", "Font.Style.Bold", "Font.Style.Italic",
    "Font.Color.Play", "Font.Color.Select", "Font.Color.Normal", "Option.Locale",
    "Option.ShowControlPanel", "Option.AutomaticShowPL", "Option.AutomaticShowEQ", "Option.AlwaysOnTop",
    "Option.SongAddLast", "Option.ShowSongNumber", "Option.ShowSongTime",
    "Option.WindowPositionOverrideByWSC", "Option.WindowSizeOverrideByWSC", "Option.InheritSkinColors",
    "Option.EnableEqualizerRelocation", "Option.EnableDrawFontShadow", "Option.PreferID3v2", "Option.ReadSongLength",
    "Option.Playlist.Format", "Option.EnableAboutWinamp", "Option.WatermarkSkin.FG", "Option.WatermarkSkin.BG",
    "Option.AudioFileExtensions",
};

const char kDefaultExtensions[] =
    ".669,.cda,.dsm,.far,.it,.med,.mid,.mod,.mp2,.mp3,.mpg,.mtm,.rmp,.s3m,.stm,.ult,.voc,.vqf,.wav,.xm";

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The key lines of one section, as they stand in the file.
TKeys SectionOf(const std::string& bytes, const std::string& section) {
    TKeys keys;
    std::istringstream in(bytes);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        size_t eq = line.find('=');
        if (inside && eq != std::string::npos) keys.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return keys;
}

std::string ValueOf(const TKeys& keys, const std::string& key) {
    for (const auto& [k, v] : keys)
        if (k == key) return v;
    return "<absent>";
}

RECT WindowRectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// A 2x2 24-bit bitmap file, one pixel differing from the others.
std::string TinyBitmap() {
    std::string b(54 + 16, '\0');
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i)); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    b[26] = 1;
    b[28] = 24;
    put32(34, 16);
    b[54] = '\xFF';  // one blue pixel, the rest black
    return b;
}

class Settings : public TPluginTest {
protected:
    std::string HostIni() override { return hostIni_; }
    void SetUp() override {
        hostIni_ = HostIniText();
        TPluginTest::SetUp();
    }
    virtual std::string HostIniText() { return "[Winamp]\r\npe_open=1\r\npe_wx=30\r\npe_wy=40\r\npe_width=300\r\npe_height=200\r\n"; }

    void WritePluginIni(const std::string& body) { WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\n" + body); }
    // The host quits: the plug-in saves. Returns the section it wrote.
    TKeys Shutdown() {
        host->DestroyWindows();
        return SectionOf(ReadBytes(PluginIniPath()), "VelvetLister Plug-in");
    }
    // A fresh host and plug-in on the same folder (the same plugin.ini).
    void Restart() {
        host->DestroyWindows();
        host->UnloadPlugin();
        host.reset();
        StartPlugin();
    }
    HWND ToolBar() const { return FindWindowExW(PlayListWindow(), nullptr, TOOLBARCLASSNAMEW, nullptr); }
    void Command(UINT id) {
        SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();  // "Always on top" re-creates the window; the old one goes on the next turn
    }

    std::string hostIni_;
};

TEST_F(Settings, NoSectionGivesTheDefaultsAndTheHostEditorsGeometry) {
    StartPlugin();
    HWND pl = PlayListWindow();
    ASSERT_NE(pl, nullptr);
    RECT r = WindowRectOf(pl);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
    EXPECT_TRUE(IsWindowVisible(pl)) << "pe_open=1";
    ASSERT_NE(ToolBar(), nullptr);
    EXPECT_TRUE(IsWindowVisible(ToolBar())) << "the control panel shows";
    EXPECT_FALSE(GetWindowLongW(pl, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The About spot is not diverted: the dialog is enabled.
    host->ClearMessages();
    SendMessageA(host->Main(), WM_LBUTTONUP, 0, MAKELPARAM(250, 91));
    auto ups = host->MessagesTo(host->Main(), WM_LBUTTONUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(LOWORD(ups[0].LParam), 250);

    const TKeys saved = Shutdown();
    EXPECT_EQ(ValueOf(saved, "Window.Position.X"), "30");
    EXPECT_EQ(ValueOf(saved, "Window.Size.Height"), "200");
    EXPECT_EQ(ValueOf(saved, "Option.Locale"), "0411") << "Japanese captions";
    EXPECT_EQ(ValueOf(saved, "Option.ShowControlPanel"), "1");
    EXPECT_EQ(ValueOf(saved, "Option.AutomaticShowPL"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.AutomaticShowEQ"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.AlwaysOnTop"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.SongAddLast"), "1");
    EXPECT_EQ(ValueOf(saved, "Option.ShowSongNumber"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.ShowSongTime"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.WindowPositionOverrideByWSC"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.WindowSizeOverrideByWSC"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.EnableEqualizerRelocation"), "1");
    EXPECT_EQ(ValueOf(saved, "Option.EnableDrawFontShadow"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.PreferID3v2"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.ReadSongLength"), "1");
    EXPECT_EQ(ValueOf(saved, "Option.Playlist.Format"), "\"${INAM}\"");
    EXPECT_EQ(ValueOf(saved, "Option.EnableAboutWinamp"), "1");
    EXPECT_EQ(ValueOf(saved, "Option.WatermarkSkin.FG"), "") << "the logo";
    EXPECT_EQ(ValueOf(saved, "Option.WatermarkSkin.BG"), "");
    EXPECT_EQ(ValueOf(saved, "Option.AudioFileExtensions"), kDefaultExtensions);
    EXPECT_EQ(ValueOf(saved, "Font.Color.Play"), "255.0.0");
    EXPECT_EQ(ValueOf(saved, "Font.Color.Select"), "0.0.255");
    EXPECT_EQ(ValueOf(saved, "Font.Color.Normal"), "0.0.0");
}

// The host's display options are the defaults of the plug-in's own.
TEST_F(Settings, HostDisplayOptionsAreTheDefaults) {
    WriteFile(TTestHost::IniPath(), "[Winamp]\r\npe_open=0\r\nshownumsinpl=1\r\naot=1\r\n");
    StartPlugin();
    EXPECT_FALSE(IsWindowVisible(PlayListWindow())) << "pe_open=0, though the host editor shows";
    const TKeys saved = Shutdown();
    EXPECT_EQ(ValueOf(saved, "Option.ShowSongNumber"), "1");
    EXPECT_EQ(ValueOf(saved, "Option.ShowSongTime"), "1");
}

class SettingsWithoutHostFile : public Settings {
protected:
    std::string HostIniText() override { return ""; }
};

TEST_F(SettingsWithoutHostFile, TheWindowTakesTheHostEditorsCurrentPlaceAndVisibility) {
    StartPlugin();
    const RECT pe = WindowRectOf(host->PlaylistEditor());
    const RECT r = WindowRectOf(PlayListWindow());
    EXPECT_EQ(r.left, pe.left);
    EXPECT_EQ(r.top, pe.top);
    EXPECT_EQ(r.right, pe.right);
    EXPECT_EQ(r.bottom, pe.bottom);
    EXPECT_TRUE(IsWindowVisible(PlayListWindow())) << "the host editor is open";
}

class SettingsLocale : public Settings, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(SettingsLocale, OnlyExactly0411TurnsJapaneseOn) {
    WritePluginIni(std::string("Option.Locale=") + GetParam().first + "\r\n");
    StartPlugin();
    EXPECT_EQ(ValueOf(Shutdown(), "Option.Locale"), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsLocale,
                         ::testing::Values(std::make_pair("0000", "0000"), std::make_pair("041", "0000"),
                                           std::make_pair("\"0411 \"", "0000"), std::make_pair("0x411", "0000"),
                                           std::make_pair("0411", "0411"), std::make_pair(" 0411 ", "0411")));

TEST_F(Settings, QuotedFormatKeepsItsSpacesAndALoneQuoteIsEmpty) {
    std::string a = WriteMp3("a.mp3", "Alpha");
    WritePluginIni("Option.Playlist.Format=\"  <${INAM}>  \"\r\n");
    ASSERT_TRUE(Load());
    host->Playlist = {a};
    ASSERT_EQ(Init(), 0);
    wchar_t caption[256] = {};
    GetWindowTextW(PlayListWindow(), caption, 256);
    EXPECT_STREQ(caption, L"<Alpha> - VelvetLister") << "the format is in use (the caption trims the title)";
    EXPECT_EQ(ValueOf(Shutdown(), "Option.Playlist.Format"), "\"  <${INAM}>  \"") << "its blanks were kept";

    WritePluginIni("Option.Playlist.Format=\"\r\n");
    host.reset();
    StartPlugin();
    EXPECT_EQ(ValueOf(Shutdown(), "Option.Playlist.Format"), "\"\"");
}

TEST_F(Settings, PositionsOffTheScreenArePulledBack) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    WritePluginIni("Window.Position.X=-50\r\nWindow.Position.Y=60\r\n");
    StartPlugin();
    RECT r = WindowRectOf(PlayListWindow());
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 300);

    host.reset();  // saves; the next start reads what is written below
    WritePluginIni("Window.Position.X=200\r\nWindow.Position.Y=60\r\nWindow.Size.Width=" +
                   std::to_string(screenW + 500) + "\r\n");
    StartPlugin();
    r = WindowRectOf(PlayListWindow());
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right - r.left, screenW);
}

class SettingsSnap : public Settings {
protected:
    std::string HostIniText() override { return "[Winamp]\r\npe_open=1\r\nsnaplen=-8\r\n"; }
};

TEST_F(SettingsSnap, NegativeSnapLengthSnapsByItsMagnitude) {
    StartPlugin();
    HWND pl = PlayListWindow();
    SetWindowPos(pl, nullptr, 7, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(WindowRectOf(pl).left, 0) << "7 pixels from the edge snap";
    SetWindowPos(pl, nullptr, 9, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(WindowRectOf(pl).left, 9) << "9 pixels do not (the default 10 would)";
}

TEST_F(Settings, ASaveWritesExactlyTheKeysInOrderAndDropsTheRest) {
    WriteFile("plugin.ini",
              "[Other Plug-in]\r\nKeep=1\r\n"
              "[VelvetLister Plug-in]\r\nFont.Color.Shadow=1.2.3\r\nStray.Key=x\r\nOption.SongAddLast=0\r\n"
              "[Last]\r\nAlso=2\r\n");
    StartPlugin();
    host->DestroyWindows();
    const std::string bytes = ReadBytes(PluginIniPath());
    const TKeys saved = SectionOf(bytes, "VelvetLister Plug-in");
    std::vector<std::string> keys;
    for (const auto& [k, v] : saved) keys.push_back(k);
    EXPECT_EQ(keys, std::vector<std::string>(std::begin(kSavedKeys), std::end(kSavedKeys)));
    EXPECT_EQ(ValueOf(saved, "Option.SongAddLast"), "0");
    EXPECT_EQ(ValueOf(SectionOf(bytes, "Other Plug-in"), "Keep"), "1") << "other sections stay";
    EXPECT_EQ(ValueOf(SectionOf(bytes, "Last"), "Also"), "2");
}

TEST_F(Settings, ExtensionsLoadLowerCasedAndDecideWhatIsAccepted) {
    WritePluginIni("Option.AudioFileExtensions=.MP3,.Wav\r\n");
    std::string a = WriteMp3("a.mp3", "Alpha");
    std::string b = PathIn("B.WAV"), c = PathIn("c.xm"), d = PathIn("d.ogg");
    for (const auto& f : {b, c, d}) WriteFile(f, std::string(64, '\0'));
    StartPlugin();
    SendMessageA(host->Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a, b, c, d})), 0);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{a, b}));
    EXPECT_EQ(ValueOf(Shutdown(), "Option.AudioFileExtensions"), ".mp3,.wav");
}

TEST_F(Settings, MenuSwitchesAreAppliedThroughTheirHandlers) {
    WritePluginIni("Option.ShowControlPanel=0\r\nOption.AlwaysOnTop=1\r\n");
    StartPlugin();
    HWND pl = PlayListWindow();
    ASSERT_NE(pl, nullptr);
    EXPECT_TRUE(GetWindowLongW(pl, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_NE(ToolBar(), nullptr);
    EXPECT_FALSE(IsWindowVisible(ToolBar()));
    EXPECT_TRUE(IsWindowVisible(pl));
}

// Everything the plug-in loads comes back from a save, and a second start from
// that file gives the very same file.
TEST_F(Settings, RoundTripLosesNothing) {
    CreateDirectoryA(PathIn("skins").c_str(), nullptr);
    WriteFile("skins\\fg.bmp", TinyBitmap());
    WriteFile("bg.bmp", TinyBitmap());
    const std::string body =
        "Font.Face=Tahoma\r\nFont.Point=13\r\nFont.Style.Bold=1\r\nFont.Style.Italic=1\r\n"
        "Font.Color.Play=10.20.30\r\nFont.Color.Select=#405060\r\nFont.Color.Normal=70.80.90\r\n"
        "Option.Locale=0000\r\nOption.SongAddLast=0\r\nOption.ShowSongNumber=1\r\nOption.ShowSongTime=1\r\n"
        "Option.WindowPositionOverrideByWSC=1\r\nOption.WindowSizeOverrideByWSC=1\r\nOption.InheritSkinColors=1\r\n"
        "Option.EnableEqualizerRelocation=0\r\nOption.EnableDrawFontShadow=1\r\nOption.PreferID3v2=1\r\n"
        "Option.Playlist.Format=\" ${IART} - ${INAM}\"\r\nOption.EnableAboutWinamp=0\r\n"
        "Option.WatermarkSkin.FG=skins\\fg.bmp\r\nOption.WatermarkSkin.BG=bg.bmp\r\n"
        "Option.AudioFileExtensions=.xm,\"a b\",.mp3\r\n";
    WritePluginIni(body);
    TMessageBoxCatcher boxes;
    StartPlugin();
    // Change what the window itself changes: the menu switches and the place.
    Command(PopupItemShowControlPanel);
    Command(PopupItemAutomaticShowPL);
    Command(PopupItemAutomaticShowEQ);
    Command(PopupItemAOT);
    SetWindowPos(PlayListWindow(), nullptr, 123, 145, 333, 222, SWP_NOZORDER | SWP_NOACTIVATE);
    const TKeys saved = Shutdown();
    EXPECT_EQ(boxes.Count(), 0u) << "both pictures load";

    EXPECT_EQ(ValueOf(saved, "Window.Position.X"), "123");
    EXPECT_EQ(ValueOf(saved, "Window.Position.Y"), "145");
    EXPECT_EQ(ValueOf(saved, "Window.Size.Width"), "333");
    EXPECT_EQ(ValueOf(saved, "Window.Size.Height"), "222");
    EXPECT_EQ(ValueOf(saved, "Option.ShowControlPanel"), "0");
    EXPECT_EQ(ValueOf(saved, "Option.AutomaticShowPL"), "1");
    EXPECT_EQ(ValueOf(saved, "Option.AutomaticShowEQ"), "1");
    EXPECT_EQ(ValueOf(saved, "Option.AlwaysOnTop"), "1");
    // The rest comes back as loaded, in canonical form.
    TKeys loaded = SectionOf("[VelvetLister Plug-in]\r\n" + body, "VelvetLister Plug-in");
    for (auto& [k, v] : loaded) {
        if (k == "Font.Color.Select") v = "64.80.96";
        if (k == "Option.AudioFileExtensions") v = ".mp3,.xm,\"a b\"";
        EXPECT_EQ(ValueOf(saved, k), v) << k;
    }

    const std::string bytes = ReadBytes(PluginIniPath());
    Restart();
    HWND pl = PlayListWindow();
    EXPECT_TRUE(GetWindowLongW(pl, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(IsWindowVisible(ToolBar()));
    const RECT r = WindowRectOf(pl);
    EXPECT_EQ(r.left, 123);
    EXPECT_EQ(r.top, 145);
    host->DestroyWindows();
    EXPECT_EQ(ReadBytes(PluginIniPath()), bytes);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(Settings, AFontThatIsNotInstalledStaysOffTheList) {
    WritePluginIni("Font.Face=No Such Font VL\r\nFont.Point=14\r\n");
    StartPlugin();
    const TKeys saved = Shutdown();
    EXPECT_NE(ValueOf(saved, "Font.Face"), "No Such Font VL");
    EXPECT_EQ(ValueOf(saved, "Font.Point"), "14") << "the size still applies";
}

// Under Wine a read-only attribute does not stop a profile write by root; a
// folder in the file's place does (access denied).
TEST_F(Settings, AnUnwritableFileStopsTheSaveWithAMessage) {
    ASSERT_TRUE(CreateDirectoryA(PluginIniPath().c_str(), nullptr));
    StartPlugin();
    {
        TMessageBoxCatcher boxes;
        host->DestroyWindows();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Texts()[0], W((PluginIniPath() + " に書き込めません").c_str()));
    }
    EXPECT_EQ(PlayListWindow(), nullptr) << "the teardown goes on after the failed save";
    EXPECT_TRUE(GetFileAttributesA(PluginIniPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

// ---- a file that cannot be read or written: nothing in it is lost, the host goes on

TEST_F(Settings, ALockedFileKeepsEverySettingAndTheTeardownGoesOn) {
    const std::string original = "[VelvetLister Plug-in]\r\nWindow.Size.Width=333\r\nOption.Locale=0000\r\n";
    // Locked throughout; locked at the load only, so that the save would write
    // the defaults it read over the user's settings. (A read-only file cannot be
    // tried here: the tests run as root under Wine, which writes it anyway.)
    for (bool lockedAtSave : {true, false}) {
        SCOPED_TRACE(lockedAtSave ? "locked" : "locked at the load");
        WriteFile("plugin.ini", original);
        HANDLE lock = CreateFileA(PluginIniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        StartPlugin();
        if (!lockedAtSave) CloseHandle(std::exchange(lock, INVALID_HANDLE_VALUE));
        {
            TMessageBoxCatcher boxes;
            host->DestroyWindows();
            ASSERT_EQ(boxes.Count(), 1u);
            EXPECT_EQ(boxes.Texts()[0], W((PluginIniPath() + " に書き込めません").c_str()));
        }
        EXPECT_EQ(PlayListWindow(), nullptr) << "the teardown goes on after the failed save";
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        EXPECT_EQ(ReadBytes(PluginIniPath()), original);
        host->UnloadPlugin();
        host.reset();
    }
}
