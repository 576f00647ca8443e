// The playlist window as a user and the host meet it: snapping and size limits,
// the notification icon, the host's list kept in step with ours, and faults in
// the middle of a drop or a push.
#include "FormPlayListFixture.h"

namespace {
constexpr UINT kTrayCallback = 0x8044;
constexpr WORD kCmdTogglePlaylistEditor = 40040;

// ---- window: snapping, size limits, icon

TEST_F(FormPlayList, SnapsToTheScreenEdgesWithinTheHostsSnapDistance) {
    hostIni_ += "snaplen=-10\r\n";  // the distance is the absolute value
    Start({});
    HWND pl = PlayListWindow();
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    RECT r{};
    SetWindowPos(pl, nullptr, 7, 300, 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(pl, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 300) << "far from the top and bottom edges";
    SetWindowPos(pl, nullptr, 200, 11 + 0, 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(pl, &r);
    EXPECT_EQ(r.top, 11) << "11 pixels is beyond the distance";
    SetWindowPos(pl, nullptr, sw - 300 + 9, sh - 150 - 10, 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(pl, &r);
    EXPECT_EQ(r.left, sw - 300);
    EXPECT_EQ(r.top, sh - 150);
    // Wider than the screen: the right edge rule compares with a negative position.
    SetWindowPos(pl, nullptr, -(300 + 5), 300, sw + 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(pl, &r);
    EXPECT_EQ(r.left, -300);
}

TEST_F(FormPlayList, CannotBeMadeSmallerThanTheMinimumSize) {
    Start({});
    HWND pl = PlayListWindow();
    MINMAXINFO info{};
    SendMessageW(pl, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 275);
    EXPECT_EQ(info.ptMinTrackSize.y, 116);
}

TEST_F(FormPlayList, IconClickShowsTheHostsEditorOnlyWhileHidden) {
    Start({});
    HWND pl = PlayListWindow();
    ASSERT_TRUE(IsWindowVisible(pl));
    auto toggles = [&] {
        int n = 0;
        for (auto& m : host->MessagesTo(host->Main(), WM_COMMAND))
            if (LOWORD(m.WParam) == kCmdTogglePlaylistEditor) ++n;
        return n;
    };
    host->ClearMessages();
    SendMessageW(pl, kTrayCallback, 68, WM_LBUTTONUP);
    EXPECT_EQ(toggles(), 0) << "visible: only brought forward";
    EXPECT_TRUE(IsWindowVisible(pl));

    ShowWindow(pl, SW_HIDE);
    const UINT buttons[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    int expected = 0;
    for (UINT b : buttons) {
        host->ClearMessages();
        SendMessageW(pl, kTrayCallback, 68, static_cast<LPARAM>(b));
        EXPECT_EQ(toggles(), 1) << "button message " << b;
        ShowWindow(pl, SW_HIDE);
        ++expected;
    }
    host->ClearMessages();
    SendMessageW(pl, kTrayCallback, 68, WM_LBUTTONDOWN);
    SendMessageW(pl, kTrayCallback, 68, WM_MOUSEMOVE);
    EXPECT_EQ(toggles(), 0) << "other mouse messages are ignored";
}

// ---- the host's list differs from ours in every way at once

TEST_F(FormPlayList, RebuildAndPushStayInStepThroughEveryKindOfDifference) {
    std::vector<std::string> f;
    for (int i = 0; i < 6; ++i) f.push_back(WriteMp3("f" + std::to_string(i) + ".mp3", "F" + std::to_string(i)));
    Start({f[0], f[1], f[2]});
    const std::string url = "http://example.com/live", missing = PathIn("gone.mp3");
    auto titles = [&](const std::vector<std::string>& files) {
        std::vector<std::string> t;
        for (auto& s : files) t.push_back(s.find("://") != std::string::npos ? s : s == missing ? "gone" : "F" + s.substr(s.size() - 5, 1));
        return t;
    };
    struct TCase {
        const char* what;
        std::vector<std::string> hostList;
        int report;
        std::vector<std::string> expected;
    };
    const TCase cases[] = {
        {"longer", {f[0], f[1], f[2], f[3], f[4]}, 4, {f[0], f[1], f[2], f[3], f[4]}},
        {"shorter", {f[0], f[1]}, 1, {f[0], f[1]}},  // same file at the index: not seen yet
        {"shorter, past the end", {f[0], f[1]}, 3, {f[0], f[1]}},
        {"other file at the index", {f[0], f[5]}, 1, {f[0], f[5]}},
        {"missing files and a stream", {missing, f[2], url, f[3], f[4]}, 2, {missing, f[2], url, f[3], f[4]}},
        {"only streams", {url, url + "2"}, 0, {url, url + "2"}},
        {"back to files", {f[2], f[3], f[4]}, 2, {f[2], f[3], f[4]}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        host->Playlist = c.hostList;
        Report(c.report);
        if (std::string(c.what) == "shorter") {
            // The host's shorter list keeps f1 at index 1: no mismatch, no rebuild.
            EXPECT_EQ(Rows().size(), 5u);
            continue;
        }
        EXPECT_EQ(Rows(), titles(c.expected));
        EXPECT_EQ(host->Playlist, c.expected) << "no lost or duplicated entries on the host";
    }
    // A push after all that: the reversed list arrives whole.
    SetKeys(false, true);
    SendMessageW(List(), WM_KEYDOWN, 'R', 0);
    SetKeys(false, false);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{f[4], f[3], f[2]}));
    EXPECT_EQ(Rows(), titles({f[4], f[3], f[2]}));
}

TEST_F(FormPlayList, AReportAcrossKeptEntriesMarksTheHostsOwnEntry) {
    std::string a = WriteMp3("a.mp3", "A"), b = WriteMp3("b.mp3", "B"), c = WriteMp3("c.mp3", "C");
    WriteFile("notes.txt", "not audio");
    Start({a});
    const std::vector<std::string> edited = {a, PathIn("gone.mp3"), PathIn("notes.txt"), b, c};  // behind the plug-in
    host->Playlist = edited;
    host->SetPosition(3);
    EXPECT_EQ(host->Playlist, edited);
    EXPECT_EQ(host->Position, 3);
    FinishReading();
    wchar_t caption[256] = {};
    GetWindowTextW(PlayListWindow(), caption, 256);
    EXPECT_STREQ(caption, L"B - VelvetLister");

    // The marked song's row is cut off by a shorter host list: the mark goes, and
    // a later push does not send the host to whatever row takes that place.
    host->Playlist = {a, PathIn("gone.mp3")};
    Report(4);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "gone"}));
    std::string d = WriteMp3("d.mp3", "D"), e = WriteMp3("e.mp3", "E");
    Drop({d, e}, OnRow(0));
    EXPECT_EQ(host->Playlist.size(), 4u);
    EXPECT_EQ(host->Position, 0) << "no stale mark moved the host";
}

TEST_F(FormPlayList, PushReentersThroughTheHostsReportWithoutRecursing) {
    std::vector<std::string> f;
    for (int i = 0; i < 40; ++i) f.push_back(WriteMp3("r" + std::to_string(i) + ".mp3", "R" + std::to_string(i)));
    Start(f);
    host->SetPosition(30);
    host->ClearMessages();
    SetKeys(false, true);
    SendMessageW(List(), WM_KEYDOWN, 'R', 0);  // reverse: push, then the host reports the position back
    SetKeys(false, false);
    std::vector<std::string> reversed(f.rbegin(), f.rend());
    EXPECT_EQ(host->Playlist, reversed);
    EXPECT_EQ(host->Position, 9) << "the playing entry followed its song";
    int positionSets = 0;
    for (auto& m : host->MessagesTo(host->Main(), WM_USER))
        if (m.LParam == 121) ++positionSets;
    EXPECT_EQ(positionSets, 1) << "the report echoed by the host is handled, not answered with another push";
    wchar_t caption[256] = {};
    GetWindowTextW(PlayListWindow(), caption, 256);
    EXPECT_STREQ(caption, L"R30 - VelvetLister");
}

TEST_F(FormPlayList, AReportClearsASingleSelectionButKeepsSeveral) {
    std::string a = WriteMp3("a.mp3", "A"), b = WriteMp3("b.mp3", "B"), c = WriteMp3("c.mp3", "C");
    Start({a, b, c});
    auto selected = [&] {
        std::vector<int> out;
        for (int i = 0; i < 3; ++i)
            if (SendMessageW(List(), LB_GETSEL, i, 0) > 0) out.push_back(i);
        return out;
    };
    SendMessageW(List(), LB_SETSEL, TRUE, 2);
    host->SetPosition(1);
    EXPECT_EQ(selected(), std::vector<int>{});
    SendMessageW(List(), LB_SETSEL, TRUE, 0);
    SendMessageW(List(), LB_SETSEL, TRUE, 2);
    host->SetPosition(0);
    EXPECT_EQ(selected(), (std::vector<int>{0, 2}));
}

}  // namespace

// ---- faults: out of memory while adding, the host gone in the middle of a push

class FormPlayListFaults : public FormPlayList {
protected:
    const char* DllBuild() override { return "gen_VelvetLister_test.dll"; }
};

TEST_F(FormPlayListFaults, OutOfMemoryAnywhereInADropLeavesListAndHostAsTheyWere) {
    std::string a = WriteMp3("a.mp3", "A"), b = WriteMp3("b.mp3", "B");
    CreateDirectoryA(PathIn("more").c_str(), nullptr);
    WriteMp3("more\\c.mp3", "C");
    WriteMp3("more\\d.mp3", "D");
    WriteFile("list.m3u", "b.mp3\r\nmore\\c.mp3\r\n");
    Start({a, b});
    TTestSeam* seam = Seam();
    ASSERT_NE(seam, nullptr);
    const std::vector<std::string> rows = Rows(), hostList = host->Playlist;
    const std::vector<std::string> whole{"A", "B", "C", "D", "B", "C", "A"};  // appended at the end
    // Each allocation of the drop fails in turn, until the drop gets through. Only the drop allocates
    // meanwhile, in the same order each time: nothing read or painted beside it, the walk's names come whole.
    TMessageBoxCatcher boxes;
    int failed = 0;
    seam->HoldReader = seam->HoldScan = 1;
    for (long limit = 0;; limit += limit < 60 ? 1 : 7) {
        ASSERT_LT(limit, 20000);
        Pump();
        seam->AllocationsLeft = limit;
        Drop({PathIn("more"), PathIn("list.m3u"), a}, OnRow(1));
        seam->AllocationsLeft = -1;
        ASSERT_EQ(seam->UnexpectedExceptions, 0) << "limit " << limit;
        const std::size_t count = Rows().size();
        ASSERT_EQ(seam->LiveRecords, static_cast<long>(count)) << "limit " << limit;
        if (Rows() != rows) {
            EXPECT_EQ(Rows(), whole) << "a drop that got through is whole; limit " << limit;
            EXPECT_EQ(host->Playlist.size(), whole.size());
            break;
        }
        ASSERT_EQ(host->Playlist, hostList) << "limit " << limit;
        ASSERT_EQ(boxes.Count(), static_cast<size_t>(++failed)) << "a failed drop says so; limit " << limit;
        EXPECT_EQ(boxes.Texts().back(), L"Out of memory: the command was abandoned.");
    }
    EXPECT_GT(failed, 10);
}

TEST_F(FormPlayListFaults, HostGoneInTheMiddleOfAPushEndsQuietly) {
    std::vector<std::string> f;
    for (int i = 0; i < 6; ++i) f.push_back(WriteMp3("g" + std::to_string(i) + ".mp3", "G" + std::to_string(i)));
    Start(f);
    TTestSeam* seam = Seam();
    ASSERT_NE(seam, nullptr);
    host->OnFileAdded = [&](int n) {
        if (n == 3) host->DestroyMainWindow();
    };
    TMessageBoxCatcher boxes;
    SetKeys(false, true);
    SendMessageW(List(), WM_KEYDOWN, 'R', 0);  // reverse: the host goes after the third file
    SetKeys(false, false);
    host->OnFileAdded = nullptr;
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{f[5], f[4], f[3]})) << "nothing more reached the gone host";
    EXPECT_EQ(seam->UnexpectedExceptions, 0);
    EXPECT_EQ(boxes.Count(), 0u);
    Pump();
    EXPECT_EQ(PlayListWindow(), nullptr) << "the plug-in shut down with its host";
    EXPECT_EQ(seam->LiveRecords, 0) << "and took its records with it";
    EXPECT_NE(GetFileAttributesA(PluginIniPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the settings were saved";
}
