// The hooks in front of the host's windows, in the real DLL and, for the
// stacking rules, run directly on the emulated host's windows.
#include <windows.h>
#include <gtest/gtest.h>
#include "DropBuilder.h"
#include "PluginFixture.h"
#include "plugin/Hooks_win.h"
#include "host/PluginState_win.h"

namespace {
class Hooks : public TPluginTest {
protected:
    std::string HostIni() override { return "[Winamp]\r\npe_open=1\r\n"; }
    void WritePluginIni(const std::string& body) { WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\n" + body); }
    // Sends a release and returns where the host's own procedure saw it.
    POINT Release(int x, int y) {
        host->ClearMessages();
        SendMessageA(host->Main(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        auto ups = host->MessagesTo(host->Main(), WM_LBUTTONUP);
        if (ups.empty()) return {-999, -999};
        return {static_cast<short>(LOWORD(ups.back().LParam)), static_cast<short>(HIWORD(ups.back().LParam))};
    }
};
}  // namespace

TEST(AboutClick, RewriteBoundaries) {
    auto at = [](int x, int y, int width) {
        LPARAM lp = RewriteAboutClick(MAKELPARAM(x, y), width);
        return std::make_pair(static_cast<int>(static_cast<short>(LOWORD(lp))), static_cast<int>(static_cast<short>(HIWORD(lp))));
    };
    using P = std::pair<int, int>;
    EXPECT_EQ(at(250, 91, 275), P(249, 90));
    EXPECT_EQ(at(265, 106, 275), P(249, 90));
    EXPECT_EQ(at(249, 91, 275), P(249, 91));
    EXPECT_EQ(at(266, 100, 275), P(266, 100));
    EXPECT_EQ(at(250, 107, 275), P(250, 107));
    EXPECT_EQ(at(531, 213, 550), P(499, 181));
    EXPECT_EQ(at(500, 182, 550), P(499, 181));
    EXPECT_EQ(at(265, 100, 550), P(265, 100));
    EXPECT_EQ(at(532, 200, 550), P(532, 200));
    EXPECT_EQ(at(-5, -7, 275), P(-5, -7)) << "negative positions survive the round trip";
}

TEST_F(Hooks, ReleaseOnAboutSpotIsMovedWhenTheDialogIsDisabled) {
    WritePluginIni("Option.EnableAboutWinamp=0\r\n");
    StartPlugin();
    EXPECT_EQ(Release(250, 91).x, 249);
    EXPECT_EQ(Release(250, 91).y, 90);
    EXPECT_EQ(Release(249, 91).x, 249);
    EXPECT_EQ(Release(249, 91).y, 91);
    host->SetDoubleSize(true);
    POINT p = Release(531, 213);
    EXPECT_EQ(p.x, 499);
    EXPECT_EQ(p.y, 181);
    p = Release(265, 100);
    EXPECT_EQ(p.x, 265);
    EXPECT_EQ(p.y, 100);
}

TEST_F(Hooks, ReleaseUntouchedWhenTheDialogIsEnabled) {
    StartPlugin();  // the default: enabled
    POINT p = Release(250, 91);
    EXPECT_EQ(p.x, 250);
    EXPECT_EQ(p.y, 91);
}

TEST_F(Hooks, EditorShownAndHiddenByTheHostShowsAndHidesOurWindow) {
    StartPlugin();
    HWND pl = PlayListWindow();
    ASSERT_NE(pl, nullptr);
    EXPECT_TRUE(IsWindowVisible(pl)) << "pe_open=1";
    host->ClearMessages();
    SendMessageA(host->Main(), WM_COMMAND, 40040, 0);  // the host's own toggle
    EXPECT_FALSE(IsWindowVisible(pl));
    EXPECT_EQ(host->CountOf(host->PlaylistEditor(), WM_SHOWWINDOW), 0) << "the host never sees WM_SHOWWINDOW";
    SendMessageA(host->Main(), WM_COMMAND, 40040, 0);
    EXPECT_TRUE(IsWindowVisible(pl));
}

TEST_F(Hooks, OurWindowStaysWhileTheMainWindowIsMinimised) {
    StartPlugin();
    HWND pl = PlayListWindow();
    ShowWindow(host->Main(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(host->Main()));
    SendMessageA(host->PlaylistEditor(), WM_SHOWWINDOW, FALSE, 0);
    EXPECT_TRUE(IsWindowVisible(pl));
}

TEST_F(Hooks, DropsOnTheMainWindowReplaceOurListAndNeverReachTheHost) {
    std::string a = WriteMp3("a.mp3", "Alpha"), b = WriteMp3("b.mp3", "Beta");
    StartPlugin();
    host->ClearMessages();
    LRESULT r = SendMessageA(host->Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a, b})), 0);
    EXPECT_EQ(r, 0);
    EXPECT_TRUE(host->DroppedOnHost.empty());
    EXPECT_EQ(host->CountOf(host->Main(), WM_DROPFILES), 0);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{a, b}));
    EXPECT_EQ(host->State, TPlayState::Playing) << "the first entry plays";
    EXPECT_EQ(host->Position, 0);
}

TEST_F(Hooks, CurrentEntryReportReachesTheHostToo) {
    StartPlugin();
    host->ClearMessages();
    SendMessageA(host->PlaylistEditor(), WM_USER, 0, 0);
    EXPECT_EQ(host->CountOf(host->PlaylistEditor(), WM_USER), 1);
}

// The stacking rules, with the hooks installed on the emulated host's windows
// directly (this process's own copy of the plug-in state).
class StackingOrder : public TPluginTest {
protected:
    void SetUp() override {
        TPluginTest::SetUp();
        StartHost();
        Plugin = TPluginState{};
        Plugin.HostMainWindow = host->Main();
        Plugin.HostPlaylistEditorWindow = host->PlaylistEditor();
        Plugin.HostEqualizerWindow = host->Equalizer();
        ASSERT_TRUE(InstallHooks());
        Plugin.HooksActive = true;
    }
    void TearDown() override {
        Plugin.HooksActive = false;
        RemoveHooksIfCurrent();
        Plugin = TPluginState{};
        TPluginTest::TearDown();
    }
    // The window directly below `w` among top-level windows.
    static HWND Below(HWND w) { return GetWindow(w, GW_HWNDNEXT); }
    static bool IsAbove(HWND a, HWND b) {
        for (HWND h = GetWindow(a, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
            if (h == b) return true;
        return false;
    }
};

TEST_F(StackingOrder, NoLinkLeavesTheOrderAlone) {
    Plugin.EqualizerZOrderLink = 0;
    SetWindowPos(host->Equalizer(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(IsAbove(host->Equalizer(), host->Main()));
    SendMessageA(host->Equalizer(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(IsAbove(host->Equalizer(), host->Main()));
    SetWindowPos(host->Main(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(IsAbove(host->Main(), host->Equalizer()));
}

TEST_F(StackingOrder, NegativeLinkKeepsTheEqualizerDirectlyBelowTheMainWindow) {
    Plugin.EqualizerZOrderLink = -1;
    SetWindowPos(host->Equalizer(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(host->Equalizer(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(Below(host->Main()), host->Equalizer());
    // Moving the equaliser to the top again: it drops back below the main window.
    SetWindowPos(host->Equalizer(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(Below(host->Main()), host->Equalizer());
}

TEST_F(StackingOrder, PositiveLinkKeepsTheMainWindowDirectlyBelowTheEqualizer) {
    Plugin.EqualizerZOrderLink = 1;
    SetWindowPos(host->Main(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(Below(host->Equalizer()), host->Main());
    SendMessageA(host->Equalizer(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(Below(host->Equalizer()), host->Main());
}

TEST_F(StackingOrder, PositiveLinkIgnoresAHiddenEqualizer) {
    Plugin.EqualizerZOrderLink = 1;
    ShowWindow(host->Equalizer(), SW_HIDE);
    SetWindowPos(host->Main(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(IsAbove(host->Main(), host->Equalizer())) << "the main window stays where it was put";
}

TEST_F(StackingOrder, InactiveHooksPassEverythingOn) {
    Plugin.HooksActive = false;
    Plugin.EqualizerZOrderLink = -1;
    SetWindowPos(host->Equalizer(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(IsAbove(host->Equalizer(), host->Main()));
    host->ClearMessages();
    SendMessageA(host->PlaylistEditor(), WM_SHOWWINDOW, TRUE, 0);
    EXPECT_EQ(host->CountOf(host->PlaylistEditor(), WM_SHOWWINDOW), 1);
}
