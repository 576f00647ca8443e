// The playlist window's commands driven as a user drives them: keys with their
// modifiers through the list, clicks on the control panel, menu commands, and
// the real open and folder dialogs filled in by a worker thread.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include "ConfigureDriver.h"
#include "DialogDriver.h"
#include "PlayListFixture.h"
#include "playlist/PlayList_win.h"
#include "resources/resource.h"

namespace {

// The pixels of one image of an image list that its mask leaves opaque.
std::vector<bool> MaskedPixels(HIMAGELIST images, int image) {
    IMAGEINFO info{};
    BITMAP bm{};
    if (!ImageList_GetImageInfo(images, image, &info) || !GetObjectW(info.hbmMask, sizeof bm, &bm)) return {};
    BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB}};
    std::vector<std::uint32_t> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmMask, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    std::vector<bool> out;
    for (int y = info.rcImage.top; y < info.rcImage.bottom; ++y)
        for (int x = info.rcImage.left; x < info.rcImage.right; ++x)
            out.push_back((px[static_cast<size_t>(y) * bm.bmWidth + x] & 0xFFFFFF) == 0);
    return out;
}

// The pixels a window draws, on white, when a menu asks it for an item's image.
std::vector<bool> DrawnMenuImage(HWND owner, UINT item, int cx, int cy) {
    BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB}};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r{0, 0, cx, cy};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT dis{ODT_MENU, 0, item, ODA_DRAWENTIRE, 0, nullptr, dc, r, 0};
    std::vector<bool> out;
    if (SendMessageW(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis))) {
        GdiFlush();
        for (int i = 0; i < cx * cy; ++i) out.push_back((static_cast<std::uint32_t*>(bits)[i] & 0xFFFFFF) != 0xFFFFFF);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    return out;
}

// The explorer-style open dialog: its file-name box and its file-type list.
constexpr int kFileNameBox = 0x47c;  // cmb13
constexpr int kFileTypeList = 0x470;  // cmb1

struct TOpenDialogSeen {
    std::mutex m;
    std::wstring Title;
    int FilterCount = -1;
    int FilterIndex = -1;
    std::wstring FilterText;
};

class PlayListCommands : public TPlayListTest {
protected:
    HWND Bar() { return FindWindowExW(PlayListWindow(), nullptr, L"ToolbarWindow32", nullptr); }
    std::vector<int> Selected() {
        std::vector<int> out;
        const int n = static_cast<int>(SendMessageA(List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            if (SendMessageW(List(), LB_GETSEL, i, 0) > 0) out.push_back(i);
        return out;
    }
    void Select(std::initializer_list<int> rows) {
        SendMessageW(List(), LB_SETSEL, FALSE, -1);
        for (int r : rows) SendMessageW(List(), LB_SETSEL, TRUE, r);
    }
    void ClickTool(UINT id, bool shift = false, bool ctrl = false) {
        RECT r{};
        ASSERT_TRUE(SendMessageW(Bar(), TB_GETRECT, id, reinterpret_cast<LPARAM>(&r)));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SetModifiers(shift, ctrl, false);
        SendMessageW(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(Bar(), WM_LBUTTONUP, 0, at);
        SetModifiers(false, false, false);
        Pump();
    }
    // The host commands (WM_COMMAND ids) received since the last ClearMessages.
    std::vector<WPARAM> HostCommands() {
        std::vector<WPARAM> out;
        for (auto& m : host->MessagesTo(host->Main(), WM_COMMAND)) out.push_back(LOWORD(m.WParam));
        return out;
    }
    // The time label's width and the width that fills the space up to the eject button.
    std::pair<LONG, LONG> TimeLabelWidth() {
        RECT next{}, eject{}, bar{}, label{};
        SendMessageW(Bar(), TB_GETRECT, ToolButtonCtrlNext, reinterpret_cast<LPARAM>(&next));
        SendMessageW(Bar(), TB_GETRECT, ToolButtonCtrlEject, reinterpret_cast<LPARAM>(&eject));
        GetClientRect(Bar(), &bar);
        GetWindowRect(FindWindowExW(Bar(), nullptr, L"Static", nullptr), &label);
        return {label.right - label.left, bar.right - next.right - (eject.right - eject.left) - 4};
    }
    bool IconRegistered(HWND window) {
        NOTIFYICONDATAA nid{};
        nid.cbSize = 88;
        nid.hWnd = window;
        nid.uID = 68;
        nid.uFlags = NIF_TIP;
        lstrcpynA(nid.szTip, "VelvetLister", 64);
        return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
    }
};

}  // namespace

TEST_F(PlayListCommands, KeysReachTheirCommandsOnlyWithTheExactModifiers) {
    auto files = StartWith(3);
    host->ClearMessages();
    Key('C', false, false, true);  // Alt+C is not in the table
    Key('Z', false, true, false);  // Ctrl+Z is randomise, not "previous"
    for (WPARAM id : HostCommands()) {
        EXPECT_NE(id, 40046u) << "Alt+C must not pause";
        EXPECT_NE(id, 40044u) << "Ctrl+Z must not go to the previous entry";
    }
    host->ClearMessages();
    Key('C');
    Key('Z', true);
    Key('B', true);
    Key('B');
    Key('X');
    Key('V');
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40046, 40061, 40060, 40048, 40045, 40047}));
    host->ClearMessages();
    Key('D', false, true);
    Key('P', true, true);
    Key('3', false, false, true);
    Key('S', false, false, true);
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40165, 40012, 40188, 40219}));
    // Ctrl+Shift+Delete empties the list and the host's playlist.
    Key(VK_DELETE, true, true);
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(host->Playlist.empty());
    // Enter on an empty list plays nothing.
    host->ClearMessages();
    Key(VK_RETURN);
    EXPECT_TRUE(HostCommands().empty());
    for (auto& m : host->MessagesTo(host->Main(), WM_USER)) EXPECT_NE(m.LParam, 121) << "no position set";
}

TEST_F(PlayListCommands, EnterAndDoubleClickPlayTheCaretRow) {
    StartWith(4);
    SendMessageW(List(), LB_SETCARETINDEX, 2, 0);
    Key(VK_RETURN);
    EXPECT_EQ(host->Position, 2);
    EXPECT_EQ(host->State, TPlayState::Playing);
    SendMessageW(List(), LB_SETCARETINDEX, 3, 0);
    SendMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 3));
    Pump();
    const int caret = static_cast<int>(SendMessageW(List(), LB_GETCARETINDEX, 0, 0));
    EXPECT_EQ(host->Position, caret);
    // "Play file(s)" does the same from the menu.
    SendMessageW(List(), LB_SETCARETINDEX, 1, 0);
    Menu(PopupItemPlayFile);
    EXPECT_EQ(host->Position, 1);
}

TEST_F(PlayListCommands, TransportButtonsFollowShiftAndCtrl) {
    StartWith(3);
    host->SetPosition(2);
    host->ClearMessages();
    ClickTool(ToolButtonCtrlPrev, false, true);  // Ctrl: the first entry plays
    EXPECT_EQ(host->Position, 0);
    EXPECT_EQ(host->State, TPlayState::Playing);
    host->ClearMessages();
    ClickTool(ToolButtonCtrlNext, false, true);  // Ctrl+next: plain next
    ClickTool(ToolButtonCtrlPrev, true);         // Shift: rewind
    ClickTool(ToolButtonCtrlNext, true);         // Shift: forward
    ClickTool(ToolButtonCtrlPause, true);        // Shift: plain pause
    ClickTool(ToolButtonCtrlStop, true);         // Shift: plain stop
    ClickTool(ToolButtonCtrlPrev);
    ClickTool(ToolButtonCtrlPlay);
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40048, 40061, 40060, 40046, 40047, 40044, 40045}));

    // Shift+click on play opens the eject action (the open dialog) instead of playing.
    host->ClearMessages();
    std::wstring title;
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            title = TextOf(dlg);
            PressCancel(dlg);
        });
        ClickTool(ToolButtonCtrlPlay, true);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(title, L"Open file(s)");
    EXPECT_TRUE(HostCommands().empty()) << "cancelled: nothing played, nothing changed";
    EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(PlayListCommands, PlayControlMenuItemsSendTheirTransportIndex) {
    StartWith(2);
    host->ClearMessages();
    for (UINT id = PopupItemCtrlPrevious; id <= PopupItemCtrlNext; ++id) Menu(id);
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40044, 40061, 40045, 40046, 40047, 40060, 40048}));

    // They show the tool bar's images, and "Play file(s)" the play image: the
    // menu asks the window to draw them, and it draws each image's opaque pixels.
    auto* pl = static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA)));
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Bar(), TB_GETIMAGELIST, 0, 0));
    ASSERT_TRUE(images);
    const std::pair<UINT, int> items[] = {{PopupItemPlayFile, 2}, {PopupItemCtrlPrevious, 0}, {PopupItemCtrlRewind, 1},
                                          {PopupItemCtrlPlay, 2},  {PopupItemCtrlPause, 3},   {PopupItemCtrlStop, 4},
                                          {PopupItemCtrlForward, 5}, {PopupItemCtrlNext, 6},  {PopupItemCtrlEject, 7}};
    for (const auto& [item, image] : items) {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_BITMAP;
        ASSERT_TRUE(GetMenuItemInfoW(pl->PopupMenuEdit(), item, FALSE, &mi));
        EXPECT_EQ(mi.hbmpItem, HBMMENU_CALLBACK) << item;
        const std::vector<bool> expected = MaskedPixels(images, image);
        EXPECT_EQ(DrawnMenuImage(PlayListWindow(), item, 14, 14), expected) << "item " << item << ", image " << image;
        EXPECT_GT(std::count(expected.begin(), expected.end(), true), 10);
    }
}

TEST_F(PlayListCommands, HostReceivesTheCompleteNewOrderAfterEachCommand) {
    auto files = StartWith(8);
    // Two entries the plug-in keeps without reading go through every command too.
    const std::string url = "http://radio.example/live", gone = PathIn("gone.mp3");
    host->Playlist.push_back(url);
    host->Playlist.push_back(gone);
    host->SetPosition(9);
    host->SetPosition(3);
    std::map<std::string, std::string> fileOf{{url, url}, {"gone", gone}};
    for (int i = 0; i < 8; ++i) fileOf["Song " + std::to_string(i)] = files[static_cast<size_t>(i)];
    auto check = [&](const char* what) {
        std::vector<std::string> expected;
        for (auto& t : Rows()) expected.push_back(fileOf[t]);
        EXPECT_EQ(host->Playlist, expected) << what;
        ASSERT_GE(host->Position, 0) << what;
        ASSERT_LT(host->Position, static_cast<int>(host->Playlist.size())) << what;
        EXPECT_EQ(host->Playlist[static_cast<size_t>(host->Position)], files[3]) << what << ": the playing entry kept";
    };
    // Nothing here may depend on time: the elapsed-time display stays off, and
    // the spin button's arrows are taken as the notification they send, without
    // the control's own repeat timer.
    KillTimer(PlayListWindow(), 1);
    HWND spin = FindWindowExW(PlayListWindow(), nullptr, UPDOWN_CLASSW, nullptr);
    ASSERT_NE(spin, nullptr);
    auto clickSpin = [&](bool up) {
        NMUPDOWN ud{};
        ud.hdr.hwndFrom = spin;
        ud.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(spin));
        ud.hdr.code = UDN_DELTAPOS;
        ud.iDelta = up ? 1 : -1;
        SendMessageW(PlayListWindow(), WM_NOTIFY, ud.hdr.idFrom, reinterpret_cast<LPARAM>(&ud));
        Pump();
    };
    Select({2, 3, 6});
    clickSpin(false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Song 0", "Song 1", "Song 4", "Song 2", "Song 3", "Song 5", "Song 7",
                                                "Song 6", url, "gone"}));
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 7}));
    check("move down");
    // The last row is selected: moving down is blocked and the host is not told.
    Select({4, 9});
    host->ClearMessages();
    clickSpin(false);
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
    clickSpin(true);
    check("move up");
    // The host's report after the push must not take the mark off a lone moved row.
    Select({5});
    clickSpin(true);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    check("move one row up");
    Menu(PopupItemSortTitle);
    EXPECT_EQ(Rows()[0], "gone");
    check("sort by title");
    Key('R', false, true);
    EXPECT_EQ(Rows()[0], "Song 7");
    check("reverse");
    Menu(PopupItemSortFilename);
    check("sort by filename");
    Key('Z', false, true);
    check("randomise");
    Menu(PopupItemSortPath);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"gone", "Song 0", "Song 1", "Song 2", "Song 3", "Song 4", "Song 5",
                                                "Song 6", "Song 7", url}));
    check("sort by path");
    // Nor off a lone row that a reordering (or crop) keeps marked.
    auto keepsLoneMark = [&](const char* what, int row, const std::function<void()>& command) {
        Select({row});
        const std::string lone = Rows()[static_cast<size_t>(row)];
        command();
        ASSERT_EQ(Selected().size(), 1u) << what;
        EXPECT_EQ(Rows()[static_cast<size_t>(Selected()[0])], lone) << what;
        check(what);
    };
    keepsLoneMark("lone sort", 4, [&] { Menu(PopupItemSortTitle); });
    keepsLoneMark("lone reverse", 4, [&] { Key('R', false, true); });
    keepsLoneMark("lone randomise", 4, [&] { Key('Z', false, true); });
    const std::vector<int> randomised = Selected();
    Menu(PopupItemUndo);
    EXPECT_EQ(Selected(), (std::vector<int>{4})) << "the lone mark of the time before";
    check("lone undo");
    Menu(PopupItemRedo);
    EXPECT_EQ(Selected(), randomised);
    check("lone redo");
    keepsLoneMark("lone sort by path", 4, [&] { Menu(PopupItemSortPath); });
    Select({0, 5});
    Key(VK_DELETE);
    EXPECT_EQ(Rows().size(), 8u);
    check("remove");
    Select({2, 3, 7});  // Song 2, Song 3 (playing) and the stream stay
    Key(VK_DELETE, false, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Song 2", "Song 3", url}));
    check("crop");
    SendMessageW(List(), LB_SETCARETINDEX, 2, 0);
    Key(VK_RETURN);
    EXPECT_EQ(host->Position, 2) << "a kept entry plays like any other";
    // Selection commands never involve the host.
    host->ClearMessages();
    Menu(PopupItemSelectAll);
    EXPECT_EQ(Selected().size(), 3u);
    Menu(PopupItemSelectInverse);
    EXPECT_TRUE(Selected().empty());
    Key('A', false, true);
    EXPECT_EQ(Selected().size(), 3u);
    Menu(PopupItemSelectClear);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
    EXPECT_EQ(host->CountOf(host->Main(), WM_USER), 0);
    keepsLoneMark("lone crop", 1, [&] { Key(VK_DELETE, false, true); });
    Menu(PopupItemDeleteAll);
    EXPECT_TRUE(host->Playlist.empty());
    // Nothing left: "Remove all" again does not tell the host.
    host->ClearMessages();
    Menu(PopupItemDeleteAll);
    EXPECT_EQ(host->CountOf(host->Main(), WM_USER), 0);
}

TEST_F(PlayListCommands, RemoveDuplicatesIgnoresLetterCaseAndRemoveDeadFilesHonoursEsc) {
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.Locale=0000\r\n");
    // A letter pair of this code page that only the system's comparison folds:
    // full-width under 932, an accented one under 1252. Its width twin stays.
    const bool japanese = GetACP() == 932;
    const std::string lower = japanese ? "\x82\x93\x82\x8F" : "\xE9t\xE9";      // "ｓｏ" / "été"
    const std::string upper = japanese ? "\x82\x72\x82\x6E" : "\xC9T\xC9";      // "ＳＯ" / "ÉTÉ"
    const std::string other = japanese ? "so" : "ete";
    std::vector<std::string> files{WriteMp3("a.mp3", "A"), WriteMp3(lower + ".mp3", "L"), WriteMp3("b.mp3", "B"),
                                   WriteMp3(other + ".mp3", "O"), WriteMp3("c.mp3", "C")};
    const std::string upperPath = PathIn(upper + ".mp3");
    if (GetFileAttributesA(upperPath.c_str()) == INVALID_FILE_ATTRIBUTES) WriteMp3(upper + ".mp3", "U");
    std::string shouted = files[0];
    shouted.replace(shouted.size() - 5, 5, "A.MP3");
    StartHost();
    host->Playlist = {files[0], files[1], files[2], upperPath, shouted, files[3], files[4], files[2]};
    StartPlugin();
    ASSERT_EQ(Rows().size(), 8u);
    host->SetPosition(4);  // "A.MP3": goes, and the mark moves to "a.mp3"
    Pump();
    Select({2, 6});
    host->ClearMessages();
    Menu(PopupItemDeleteDuplicates);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{files[0], files[1], files[2], files[3], files[4]}));
    EXPECT_EQ(Rows().size(), 5u);
    EXPECT_EQ(host->Position, 0) << "the playing entry's name stays with its first entry";
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4})) << "marks stay on their entries";
    host->ClearMessages();
    Menu(PopupItemDeleteDuplicates);
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0) << "nothing removed, nothing pushed";

    ASSERT_TRUE(DeleteFileA(files[1].c_str()));
    ASSERT_TRUE(DeleteFileA(files[4].c_str()));
    host->ClearMessages();
    // Esc held down as the command starts: the press waits in the queue.
    SetForegroundWindow(PlayListWindow());
    INPUT esc{INPUT_KEYBOARD};
    esc.ki.wVk = VK_ESCAPE;
    SendInput(1, &esc, sizeof esc);
    Menu(PopupItemDeleteDeadFiles);
    esc.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &esc, sizeof esc);
    Pump();
    EXPECT_EQ(Rows().size(), 5u) << "Esc removes nothing";
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
    Menu(PopupItemDeleteDeadFiles);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{files[0], files[2], files[3]}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "B", "O"}));
    host->ClearMessages();
    Menu(PopupItemDeleteDeadFiles);
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
}

TEST_F(PlayListCommands, UndoRestoresEachStepWithItsRecordsSelectionAndPlayingEntryAndRedoReappliesIt) {
    auto files = StartWith(6);
    host->SetPosition(2);
    Pump();
    auto* pl = static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA)));
    EXPECT_FALSE(pl->IsEnabled(PopupItemUndo)) << "taking in the host's list at the start is no step";
    EXPECT_FALSE(pl->IsEnabled(PopupItemRedo));
    struct TSeen {
        std::vector<std::string> Rows, Host;
    };
    std::vector<TSeen> seen{{Rows(), host->Playlist}};
    Select({1, 4});
    Key(VK_DELETE);
    seen.push_back({Rows(), host->Playlist});
    Key('R', false, true);
    seen.push_back({Rows(), host->Playlist});
    const int steps = pl->StepsRecorded();
    Menu(PopupItemDeleteDuplicates);
    EXPECT_EQ(pl->StepsRecorded(), steps) << "a command that changes nothing is no step";
    ASSERT_TRUE(DeleteFileA(files[3].c_str()));
    Menu(PopupItemDeleteDeadFiles);
    ASSERT_EQ(Rows(), (std::vector<std::string>{"Song 5", "Song 2", "Song 0"}));
    EXPECT_TRUE(pl->IsEnabled(PopupItemUndo));

    Key(VK_BACK, false, false, true);  // Alt+Backspace
    EXPECT_EQ(Rows(), seen[2].Rows) << "the gone file's entry is back with its record: nothing was read again";
    EXPECT_EQ(host->Playlist, seen[2].Host);
    Menu(PopupItemUndo);
    EXPECT_EQ(Rows(), seen[1].Rows);
    Menu(PopupItemUndo);
    EXPECT_EQ(Rows(), seen[0].Rows);
    EXPECT_EQ(host->Playlist, seen[0].Host);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 4})) << "the selection of the time before the step";
    EXPECT_EQ(host->Position, 2) << "the playing entry is still Song 2";
    EXPECT_FALSE(pl->IsEnabled(PopupItemUndo));
    host->ClearMessages();
    Menu(PopupItemUndo);
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0) << "nothing to undo: the host is not told";
    ASSERT_TRUE(pl->IsEnabled(PopupItemRedo));

    Key('Y', false, true);  // Ctrl+Y
    EXPECT_EQ(Rows(), seen[1].Rows);
    EXPECT_EQ(host->Playlist, seen[1].Host);
    Key('R', false, true);
    EXPECT_FALSE(pl->IsEnabled(PopupItemRedo)) << "a new step clears what could be redone";

    // A rebuild from the host that changes the list is a step too.
    const std::vector<std::string> before = Rows(), beforeHost = host->Playlist;
    host->Playlist = {files[0], files[5]};
    host->SetPosition(1);
    Pump();
    ASSERT_EQ(Rows(), (std::vector<std::string>{"Song 0", "Song 5"}));
    Menu(PopupItemUndo);
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(host->Playlist, beforeHost) << "an undo is pushed to the host";
}

TEST_F(PlayListCommands, OpenDialogReplacesTheListSortedAndPlaysTheFirst) {
    StartWith(2);
    std::string b = WriteMp3("b.mp3", "Bee"), a = WriteMp3("A.mp3", "Ay");
    WriteFile("c.wav", "not really a wave");
    CreateDirectoryA(PathIn("sub").c_str(), nullptr);
    WriteFile(PathIn("sub\\d.mp3"), std::string(300, '\xFF'));
    WriteFile(PathIn("sub\\e.mp3"), std::string(300, '\xFF'));
    struct TRestoreDirectory {
        ~TRestoreDirectory() { SetCurrentDirectoryA("C:\\"); }  // the test folder must be removable
    } restore;
    SetCurrentDirectoryA(Dir().c_str());  // where the dialog starts the first time
    TOpenDialogSeen seen;
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            std::lock_guard<std::mutex> lock(seen.m);
            seen.Title = TextOf(dlg);
            HWND types = GetDlgItem(dlg, kFileTypeList);
            seen.FilterCount = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
            seen.FilterIndex = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
            wchar_t text[256] = {};
            SendMessageW(types, CB_GETLBTEXT, seen.FilterIndex, reinterpret_cast<LPARAM>(text));
            seen.FilterText = text;
            // Plain names: found only in the folder the dialog starts in.
            SetDlgItemTextW(dlg, kFileNameBox, L"\"b.mp3\" \"A.mp3\" \"c.wav\"");
            PressOk(dlg);
        });
        host->SetPosition(1);
        host->ClearMessages();
        Menu(PopupItemCtrlEject);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(seen.Title, L"Open file(s)");
    EXPECT_EQ(seen.FilterCount, 14);
    EXPECT_EQ(seen.FilterIndex, 9) << "the tenth filter";
    EXPECT_EQ(seen.FilterText.rfind(L"MPEG Audio Files", 0), 0u) << std::string(seen.FilterText.begin(), seen.FilterText.end());
    ASSERT_EQ(Rows(), (std::vector<std::string>{"Ay", "Bee", "c"}));
    EXPECT_EQ(host->Playlist.size(), 3u);
    EXPECT_EQ(lstrcmpiA(host->Playlist[0].c_str(), a.c_str()), 0) << host->Playlist[0];
    EXPECT_EQ(host->Position, 0);
    EXPECT_EQ(host->State, TPlayState::Playing);
    std::vector<WPARAM> positions;
    for (auto& m : host->MessagesTo(host->Main(), WM_USER))
        if (m.LParam == 121) positions.push_back(m.WParam);
    EXPECT_EQ(positions, (std::vector<WPARAM>{static_cast<WPARAM>(-1), 0})) << "the old mark named a row of the old list";

    SetCurrentDirectoryA((Dir() + "\\sub").c_str());
    // The folder chooser starts where the files were chosen; OK there appends
    // everything under it (the sub folder too), whatever SongAddLast says.
    host->SetPosition(1);
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) { PressOk(dlg); });
        Key(VK_INSERT, false, true);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "the folder chooser left no COM behind";
    CoUninitialize();
    auto rows = Rows();
    ASSERT_EQ(rows.size(), 10u) << "3 entries, then A, b, c, the two songs of the start, d and e appended";
    EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 3), (std::vector<std::string>{"Ay", "Bee", "c"}));
    EXPECT_EQ(host->Playlist.size(), 10u);
    EXPECT_EQ(host->Position, 1) << "the playing entry stays";
    std::multiset<std::string> added(rows.begin() + 3, rows.end());
    EXPECT_EQ(added, (std::multiset<std::string>{"Ay", "Bee", "c", "Song 0", "Song 1", "d", "e"}));

    // The second open dialog starts there too: plain names are found.
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            SetDlgItemTextW(dlg, kFileNameBox, L"b.mp3");
            PressOk(dlg);
        });
        ClickTool(ToolButtonCtrlEject);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Bee"}));
    ASSERT_EQ(host->Playlist.size(), 1u);
    EXPECT_EQ(lstrcmpiA(host->Playlist[0].c_str(), b.c_str()), 0) << host->Playlist[0];
}

// On a Japanese system: a file "能.mp3" (its second byte is 0x5C, the byte of
// "\\") chosen in the folder "表\\ソ": both dialogs start there next time.
TEST_F(PlayListCommands, DialogsStartInAShiftJisFolderEndingInTheBackslashByte) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (the _cp932 run)";
    const std::string folder = "\x95\x5C\\\x83\x5C", no = "\x94\x5C";
    ASSERT_TRUE(CreateDirectoryA(PathIn("\x95\x5C").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(PathIn(folder).c_str(), nullptr));
    WriteMp3(folder + "\\" + no + ".mp3", "");
    WriteMp3(folder + "\\y.mp3", "Y");
    StartWith(1);
    wchar_t chosen[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, PathIn(folder + "\\" + no + ".mp3").c_str(), -1, chosen, MAX_PATH);
    for (const wchar_t* name : {static_cast<const wchar_t*>(chosen), L"y.mp3"}) {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            SetDlgItemTextW(dlg, kFileNameBox, name);
            PressOk(dlg);
        });
        Menu(PopupItemCtrlEject);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Y"})) << "the plain name was found where the first file was chosen";
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) { PressOk(dlg); });
        Key(VK_INSERT, false, true);
        EXPECT_EQ(driver.Count(), 1);
    }
    const auto rows = Rows();
    EXPECT_EQ(std::multiset<std::string>(rows.begin(), rows.end()), (std::multiset<std::string>{"Y", no, "Y"}))
        << "the folder chooser started there too";
    EXPECT_EQ(host->Playlist.size(), 3u);
}

TEST_F(PlayListCommands, OpenDialogTakesFiveThousandFiles) {
    StartWith(1);
    // 5,000 names, more than the dialog's first buffer holds (about 210,000
    // characters); 50 files on disk, each chosen 100 times, keep the test quick.
    std::wstring names;
    for (int i = 0; i < 5000; ++i) {
        char name[64] = {};
        wsprintfA(name, "track %02d of a rather long album title.mp3", i % 50);
        if (i < 50) WriteFile(name, "x");
        names += L"\"" + std::wstring(name, name + lstrlenA(name)) + L"\" ";
    }
    struct TRestoreDirectory {
        ~TRestoreDirectory() { SetCurrentDirectoryA("C:\\"); }
    } restore;
    SetCurrentDirectoryA(Dir().c_str());
    std::vector<std::wstring> notices;
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            if (GetDlgItem(dlg, kFileNameBox)) SetDlgItemTextW(dlg, kFileNameBox, names.c_str());
            else notices.push_back(TextOf(GetDlgItem(dlg, 0xFFFF)));  // a message box
            PressOk(dlg);
        });
        Menu(PopupItemCtrlEject);
    }
    EXPECT_LE(notices.size(), 1u) << "at most one notice before the dialog asks again";
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 5000u) << "all of them, not a silent cancel";
    EXPECT_EQ(rows.front(), "track 00 of a rather long album title");
    EXPECT_EQ(rows.back(), "track 49 of a rather long album title");
    EXPECT_EQ(host->Playlist.size(), 5000u);
}

TEST_F(PlayListCommands, CancelledDialogsChangeNothing) {
    StartWith(3, false);  // Japanese captions, the default
    host->ClearMessages();
    // In a thread of the other apartment the chooser's own initialisation is refused and not undone.
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    std::vector<std::wstring> titles;
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            titles.push_back(TextOf(dlg));
            PressCancel(dlg);
        });
        ClickTool(ToolButtonCtrlEject);
        Key(VK_INSERT, false, true);
        EXPECT_EQ(driver.Count(), 2);
    }
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0], L"\xFF75\xFF70\xFF83\xFF9E\xFF68\xFF75\xFF8C\xFF67\xFF72\xFF99\x306E\x9078\x629E");
    EXPECT_EQ(Rows().size(), 3u);
    // The time display may read the play state meanwhile; nothing is written.
    for (auto& m : host->MessagesTo(host->Main(), WM_USER)) {
        EXPECT_NE(m.LParam, 101) << "the host's playlist cleared";
        EXPECT_NE(m.LParam, 121) << "the host's position set";
    }
    EXPECT_TRUE(HostCommands().empty());
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
}

TEST_F(PlayListCommands, AlwaysOnTopRecreatesTheWindowWithOneWorkingIcon) {
    StartWith(30);
    HWND before = PlayListWindow();
    ASSERT_TRUE(IconRegistered(before));
    host->SetPosition(2);
    Pump();
    ASSERT_EQ(TextOf(before), L"Song 2 - VelvetLister");
    SendMessageW(List(), LB_SETTOPINDEX, 5, 0);
    SendMessageW(List(), LB_SETCARETINDEX, 7, 0);
    Select({7, 8});
    const int top = static_cast<int>(SendMessageW(List(), LB_GETTOPINDEX, 0, 0));
    const int caret = static_cast<int>(SendMessageW(List(), LB_GETCARETINDEX, 0, 0));
    auto rows = Rows();

    Key('T', false, true);
    HWND on = PlayListWindow();
    ASSERT_NE(on, nullptr);
    EXPECT_NE(on, before) << "a new native window";
    EXPECT_FALSE(IsWindow(before));
    EXPECT_TRUE(GetWindowLongW(on, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(on));
    EXPECT_TRUE(IconRegistered(on)) << "the icon names the new window";
    EXPECT_FALSE(IconRegistered(before));
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(SendMessageW(List(), LB_GETTOPINDEX, 0, 0), top);
    EXPECT_EQ(SendMessageW(List(), LB_GETCARETINDEX, 0, 0), caret);
    EXPECT_TRUE(Selected().empty()) << "marks are cleared";
    EXPECT_TRUE(PlayListWindow() == on);
    EXPECT_EQ(TextOf(on), L"Song 2 - VelvetLister") << "the caption still names the playing entry";
    EXPECT_EQ(GetFocus(), List());

    Menu(PopupItemAOT);
    HWND off = PlayListWindow();
    EXPECT_NE(off, on);
    EXPECT_FALSE(GetWindowLongW(off, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IconRegistered(off));
    EXPECT_FALSE(IconRegistered(on));
    // The icon still answers: hidden, a click asks the host for its playlist editor.
    ShowWindow(off, SW_HIDE);
    host->ClearMessages();
    SendMessageW(off, 0x8044, 68, WM_LBUTTONUP);
    Pump();
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40040}));
    // And the keys still reach the list of the new window.
    ShowWindow(off, SW_SHOW);
    Key(VK_DELETE, true, true);
    EXPECT_TRUE(host->Playlist.empty());
    // At the size a new window is created with, a switch brings no size message:
    // the panel is laid out all the same.
    RECT design{0, 0, 267, 116};
    AdjustWindowRectEx(&design, GetWindowLongW(off, GWL_STYLE), FALSE, GetWindowLongW(off, GWL_EXSTYLE));
    SetWindowPos(off, nullptr, 0, 0, std::max(275L, design.right - design.left),
                 std::max(116L, design.bottom - design.top), SWP_NOMOVE | SWP_NOZORDER);
    Menu(PopupItemAOT);
    EXPECT_EQ(TimeLabelWidth().first, TimeLabelWidth().second);
}

TEST_F(PlayListCommands, ControlPanelHidesAndShowsWithTheWatermarkAtTheCorner) {
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.Locale=0000\r\n");
    StartHost();
    StartPlugin();
    HWND pl = PlayListWindow();
    HWND list = List();
    SetWindowPos(pl, nullptr, 0, 0, 420, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    RECT client{}, lr{};
    GetClientRect(pl, &client);
    // The time label fills the space between "next" and the eject button.
    RECT eject{}, bar{};
    SendMessageW(Bar(), TB_GETRECT, ToolButtonCtrlEject, reinterpret_cast<LPARAM>(&eject));
    GetClientRect(Bar(), &bar);
    EXPECT_EQ(TimeLabelWidth().first, TimeLabelWidth().second);
    EXPECT_EQ(eject.right, bar.right - 4);
    {
        // Its digits: a 22-pixel cell height (internal leading included), ANSI characters.
        HWND time = FindWindowExW(Bar(), nullptr, L"Static", nullptr);
        HDC dc = GetDC(time);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(time, WM_GETFONT, 0, 0)));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(time, dc);
        EXPECT_EQ(tm.tmHeight, 22);
        EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
    }

    auto corner = [&](std::vector<COLORREF>& out) {
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT r{};
        GetClientRect(list, &r);
        HDC dc = GetDC(list);
        out.clear();
        for (int y = r.bottom - 90; y < r.bottom; y += 5)
            for (int x = r.right - 150; x < r.right; x += 5) out.push_back(GetPixel(dc, x, y));
        ReleaseDC(list, dc);
        return r.bottom;
    };
    std::vector<COLORREF> shown, hidden, again;
    GetClientRect(list, &lr);
    EXPECT_EQ(lr.bottom, client.bottom - 20);
    corner(shown);
    Menu(PopupItemShowControlPanel);
    EXPECT_FALSE(IsWindowVisible(Bar()));
    GetClientRect(list, &lr);
    EXPECT_EQ(lr.bottom, client.bottom) << "the list takes the whole height";
    corner(hidden);
    EXPECT_EQ(hidden, shown) << "the watermark follows the bottom-right corner";
    std::set<COLORREF> colours(hidden.begin(), hidden.end());
    EXPECT_GT(colours.size(), 1u) << "an image, not a plain fill";
    Menu(PopupItemShowControlPanel);
    EXPECT_TRUE(IsWindowVisible(Bar()));
    GetClientRect(list, &lr);
    EXPECT_EQ(lr.bottom, client.bottom - 20);
    corner(again);
    EXPECT_EQ(again, shown);
}

TEST_F(PlayListCommands, ViewSwitchesAndInformation) {
    StartWith(1);
    host->ClearMessages();
    Menu(PopupItemFileInfo);
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40188}));
    // Ticking the automatic-show switches does nothing at once.
    host->ClearMessages();
    Menu(PopupItemAutomaticShowPL);
    Menu(PopupItemAutomaticShowEQ);
    EXPECT_TRUE(host->Messages.empty());
}

// ---- the player quits while a modal chooser of ours is open

namespace {
TTestHost* g_quitHost;
HWND g_quitForm;
int g_quitTicks;
bool g_formAliveInChooser;

BOOL CALLBACK FindChooser(HWND h, LPARAM lp) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h) && h != FindPreferences()) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

// In the chooser's own loop: the player's main window goes, its teardown
// releases our windows, and the loop delivers the release; a tick later the
// chooser is cancelled.
void CALLBACK QuitWhileChooserIsOpen(HWND, UINT, UINT_PTR, DWORD) {
    HWND chooser = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindChooser, reinterpret_cast<LPARAM>(&chooser));
    if (!chooser) return;
    if (g_quitTicks++ == 0) {
        g_quitHost->DestroyMainWindow();
    } else if (g_quitTicks == 3) {
        g_formAliveInChooser = IsWindow(g_quitForm) != FALSE;
        PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    }
}
}  // namespace

class PlayListQuit : public PlayListCommands, public ::testing::WithParamInterface<const char*> {
protected:
    const char* DllBuild() override { return "gen_VelvetLister_test.dll"; }
};

// The folder chooser from Ctrl+Insert runs inside the list's key handler, the
// colour and font choosers inside the preferences' handlers, the open dialog
// inside the tool bar's click: none may lose the window under it.
TEST_P(PlayListQuit, WhileAChooserIsOpenEverythingOfOursGoesAfterIt) {
    StartWith(3);
    TTestSeam* seam = Seam();
    ASSERT_NE(seam, nullptr);
    const std::string chooser = GetParam();
    if (chooser != "folder" && chooser != "open") {
        host->Config();
        Pump();
        ASSERT_NE(FindPreferences(), nullptr);
    }
    g_quitHost = host.get();
    g_quitForm = PlayListWindow();
    g_quitTicks = 0;
    g_formAliveInChooser = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &QuitWhileChooserIsOpen);
    // The key and the click as the loop dispatches them: the windows they reach
    // must outlive the message, and go with the next one.
    HWND list = List(), bar = Bar();
    if (chooser == "folder") {
        SetModifiers(false, true, false);
        SendMessageW(list, WM_KEYDOWN, VK_INSERT, 0);
        SetModifiers(false, false, false);
    }
    if (chooser == "open") {
        RECT r{};
        ASSERT_TRUE(SendMessageW(bar, TB_GETRECT, ToolButtonCtrlEject, reinterpret_cast<LPARAM>(&r)));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(bar, WM_LBUTTONUP, 0, at);
    }
    if (chooser == "folder" || chooser == "open") {
        EXPECT_TRUE(IsWindow(g_quitForm) && IsWindow(list) && IsWindow(bar)) << "gone under the control's own message";
    }
    if (chooser == "colour") TConfigureDriver(FindPreferences()).Click(IDC_BUTTON_PLAY_COLOR);
    if (chooser == "font") TConfigureDriver(FindPreferences()).Click(IDC_BUTTON_FONT_SELECT);
    KillTimer(nullptr, timer);
    EXPECT_GE(g_quitTicks, 3) << "the chooser was open while the player quit";
    EXPECT_TRUE(g_formAliveInChooser) << "released under a handler of ours";
    Pump();
    EXPECT_EQ(PlayListWindow(), nullptr);
    EXPECT_EQ(FindPreferences(), nullptr);
    EXPECT_EQ(seam->LiveRecords, 0) << "the window objects were deleted, not only their windows";
    EXPECT_EQ(seam->UnexpectedExceptions, 0);
    EXPECT_NE(GetFileAttributesA(PluginIniPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the settings were saved";
}

INSTANTIATE_TEST_SUITE_P(Choosers, PlayListQuit, ::testing::Values("folder", "open", "colour", "font"),
                         [](const ::testing::TestParamInfo<const char*>& p) { return std::string(p.param); });
