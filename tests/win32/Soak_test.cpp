// A long seeded run of mixed operations on the test build of the DLL in the
// emulated host: host-side changes, drops, menu commands, keys, spin moves,
// show and hide, always on top, the preferences, timer ticks, and files that
// vanish or move between steps. After every step the plug-in and the host's
// playlist must agree and nothing may leak or escape. SOAK_STEPS and SOAK_SEED
// (environment) size and pick the run; a failure names the seed and the step,
// and the same seed replays the same run.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <random>
#include <map>
#include <thread>
#include "ConfigureDriver.h"
#include "DropBuilder.h"
#include "ModalAnswerer.h"
#include "PluginFixture.h"
#include "playlist/KeyTable.h"
#include "playlist/PlayList_win.h"
#include "preferences/Configure_win.h"
#include "resources/resource.h"

namespace {

long EnvNumber(const char* name, long fallback) {
    char value[32] = {};
    if (!GetEnvironmentVariableA(name, value, sizeof value)) return fallback;
    return std::strtol(value, nullptr, 10);
}


// A 4x4 24-bit bitmap of one colour.
std::string SmallBitmap(unsigned char shade) {
    std::string b(54 + 48, '\0');
    auto put32 = [&](int at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) b[at + k] = static_cast<char>(v >> (8 * k));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 4);
    put32(22, 4);
    b[26] = 1;
    b[28] = 24;
    for (int k = 54; k < static_cast<int>(b.size()); ++k) b[k] = static_cast<char>(shade + k % 3);
    return b;
}

class Soak : public TPluginTest {
protected:
    const char* DllBuild() override { return "gen_VelvetLister_test.dll"; }
    std::string HostIni() override { return "[Winamp]\r\npe_open=1\r\n"; }

    TFormPlayList* Form() {
        HWND w = PlayListWindow();
        return w ? static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA))) : nullptr;
    }
    HWND List() { return FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr); }
    int Rows() { return static_cast<int>(SendMessageW(List(), LB_GETCOUNT, 0, 0)); }
    std::vector<std::string> WindowPaths() {
        std::vector<std::string> out;
        if (TFormPlayList* f = Form())
            for (int i = 0; i < f->EntryCount(); ++i) out.push_back(f->Record(i) ? std::string(f->Record(i)->FileName()) : "<no record>");
        return out;
    }
    int Pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    template <class T>
    const T& OneOf(const std::vector<T>& v) { return v[Pick(static_cast<int>(v.size()))]; }

    void MakeLibrary() {
        CreateDirectoryA(PathIn("album").c_str(), nullptr);
        CreateDirectoryA(PathIn("album\\disc2").c_str(), nullptr);
        for (int i = 0; i < 12; ++i) songs_.push_back(WriteMp3("t" + std::to_string(i) + ".mp3", "Song " + std::to_string(11 - i), "Artist " + std::to_string(i % 3)));
        for (int i = 0; i < 4; ++i) songs_.push_back(WriteMp3("album\\a" + std::to_string(i) + ".mp3", "Album " + std::to_string(i)));
        for (int i = 0; i < 2; ++i) songs_.push_back(WriteMp3("album\\disc2\\d" + std::to_string(i) + ".mp3", "Disc " + std::to_string(i)));
        WriteFile("notes.txt", "not audio");
        WriteFile("cover.jpg", "\xFF\xD8\xFF\xE0 not audio either");
        WriteFile("list.m3u", "#EXTM3U\r\nt1.mp3\r\n" + PathIn("album\\a2.mp3") + "\r\nmissing.mp3\r\n\r\nalbum\\disc2\\d1.mp3\r\n");
        WriteFile("good.bmp", SmallBitmap(90));
        WriteFile("back.bmp", SmallBitmap(200));
        WriteFile("corrupt.bmp", "BM this is no picture");
        WriteFile("skin.wsc", "[VelvetLister Plug-in]\r\nOption.WatermarkSkin.FG=good.bmp\r\nOption.WatermarkSkin.BG=back.bmp\r\n"
                              "Font.Color.Play=255.0.0\r\nLayout.Winamp.Equalizer=below\r\n");
        // What the player may hold that the plug-in does not read: kept, never removed.
        keptPool_ = {"http://radio.example/live", "http://radio.example:8000/track.mp3", PathIn("gone.mp3"),
                     PathIn("notes.txt"), PathIn("cover.jpg"), PathIn("album"), PathIn("list.m3u"), "X:\\offline\\song.flac"};
        dropPool_ = songs_;
        for (const char* extra : {"album", "album\\disc2", "list.m3u", "notes.txt", "cover.jpg", "good.bmp", "skin.wsc",
                                  "corrupt.bmp", "missing.mp3"})
            dropPool_.push_back(PathIn(extra));
    }

    // ---- the operations; each returns whether a message box may follow it
    bool HostSide() {
        switch (Pick(9)) {
        case 0: host->Play(); break;
        case 1: host->Next(); break;
        case 2: host->Previous(); break;
        case 3: host->SetPosition(Pick(static_cast<int>(host->Playlist.size()) + 2) - 1); break;
        case 4: host->AdvanceClock(Pick(400000)); break;
        case 5:  // behind the plug-in's back, then maybe a report
            host->Playlist.clear();
            host->Position = 0;
            inSync_ = false;
            break;
        case 6:
            for (int k = Pick(3) + 1; k > 0; --k) host->Playlist.push_back(OneOf(songs_));
            inSync_ = false;
            if (Chance(50)) host->SetPosition(static_cast<int>(host->Playlist.size()) - 1);
            break;
        case 7:  // streams, missing files and other types, anywhere in the list
            for (int k = Pick(3) + 1; k > 0; --k) {
                const int at = Pick(static_cast<int>(host->Playlist.size()) + 1);
                host->Playlist.insert(host->Playlist.begin() + at, OneOf(keptPool_));
            }
            inSync_ = false;
            if (Chance(60)) host->SetPosition(Pick(static_cast<int>(host->Playlist.size())));
            break;
        default:
            SendMessageA(host->Main(), WM_COMMAND, Chance(50) ? 40047 : 40046, 0);
            break;
        }
        return false;
    }
    bool Drop() {
        std::vector<std::string> files;
        for (int k = Pick(4) + 1; k > 0; --k) files.push_back(OneOf(dropPool_));
        bool mayBox = false;
        for (const auto& f : files) mayBox = mayBox || f.find("corrupt") != std::string::npos || f.find(".m3u") != std::string::npos;
        const int mode = Pick(4);
        SetModifiers(mode == 1, mode == 2, false);
        RECT r{};
        GetClientRect(List(), &r);
        POINT at{Pick(r.right + 1), Pick(r.bottom + 40)};
        HWND target = mode == 3 ? host->Main() : PlayListWindow();
        SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files, at)), 0);
        SetModifiers(false, false, false);
        return mayBox;
    }
    bool MenuCommand() {
        static const std::vector<UINT> commands = {
            PopupItemPlayFile, PopupItemCtrlPrevious, PopupItemCtrlRewind, PopupItemCtrlPlay, PopupItemCtrlPause,
            PopupItemCtrlStop, PopupItemCtrlForward, PopupItemCtrlNext, PopupItemCtrlEject, PopupItemAddFile,
            PopupItemAddFolder, PopupItemDeleteFile, PopupItemDeleteCrop, PopupItemDeleteAll, PopupItemSelectAll,
            PopupItemSelectClear, PopupItemSelectInverse, PopupItemSortTitle, PopupItemSortFilename, PopupItemSortPath,
            PopupItemSortReverse, PopupItemSortRandomize, PopupItemFileInfo, PopupItemShowControlPanel,
            PopupItemAutomaticShowPL, PopupItemAutomaticShowEQ, PopupItemAOT, LaunchtheControlpanel1,
            PopupItemDeleteDuplicates, PopupItemDeleteDeadFiles, PopupItemUndo, PopupItemRedo,
            PopupItemUndo, PopupItemRedo};
        // Jump-and-play ("Jump to file...") joins this list, and drag moves join
        // Step() as an operation of their own, where they are built.
        const UINT id = OneOf(commands);
        if ((id == PopupItemAddFile || id == PopupItemCtrlEject) && Chance(60)) {
            const std::string& song = OneOf(songs_);
            if (GetFileAttributesA(song.c_str()) != INVALID_FILE_ATTRIBUTES)
                answerer_->PlanFileName(std::wstring(song.begin(), song.end()));
        }
        SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        answerer_->PlanFileName({});
        if (id == LaunchtheControlpanel1) ClosePreferences();
        return false;
    }
    bool Key() {
        static const std::vector<int> codes = {VK_RETURN, VK_DELETE, VK_DELETE | kKeyCtrl, VK_DELETE | kKeyCtrl | kKeyShift,
                                               'Z', 'Z' | kKeyShift, 'X', 'C', 'V', 'B', 'B' | kKeyShift, 'A' | kKeyCtrl,
                                               'R' | kKeyCtrl, 'Z' | kKeyCtrl, 'T' | kKeyCtrl, 'P' | kKeyCtrl, 'D' | kKeyCtrl,
                                               'P' | kKeyCtrl | kKeyShift, '3' | kKeyAlt, 'S' | kKeyAlt, VK_INSERT | kKeyCtrl,
                                               VK_UP, VK_DOWN | kKeyShift, VK_HOME, VK_END | kKeyShift, 'Q' | kKeyAlt,
                                               VK_BACK | kKeyAlt, 'Y' | kKeyCtrl};
        const int code = OneOf(codes);
        const bool alt = code & kKeyAlt;
        SetModifiers(code & kKeyShift, code & kKeyCtrl, alt);
        SendMessageW(List(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, code & 0xFF, alt ? (1 << 29) : 0);
        SetModifiers(false, false, false);
        if (code == ('P' | kKeyCtrl)) ClosePreferences();
        return false;
    }
    bool SelectAndSpin() {
        const int n = Rows();
        SendMessageW(List(), LB_SETSEL, FALSE, -1);
        for (int k = Pick(3); k >= 0 && n > 0; --k) SendMessageW(List(), LB_SETSEL, TRUE, Pick(n));
        if (Chance(70)) {
            HWND spin = FindWindowExW(PlayListWindow(), nullptr, UPDOWN_CLASSW, nullptr);
            if (!spin || !IsWindowVisible(spin)) return false;
            RECT r{};
            GetClientRect(spin, &r);
            const LPARAM at = MAKELPARAM(r.right / 2, Chance(50) ? 2 : r.bottom - 3);
            SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageW(spin, WM_LBUTTONUP, 0, at);
        }
        return false;
    }
    bool ShowHide() {
        SendMessageA(host->Main(), WM_COMMAND, Chance(80) ? 40040 : 40036, 0);
        return false;
    }
    void ClosePreferences() {
        if (HWND dlg = FindPreferences(); dlg && IsWindowVisible(dlg))
            TConfigureDriver(dlg).Click(IDC_CONFIG_CANCEL);
    }
    bool Preferences() {
        host->Config();
        Pump();
        HWND dlg = FindPreferences();
        if (!dlg) return false;
        TConfigureDriver d(dlg);
        static const std::vector<std::wstring> formats = {L"${INAM}", L"${IART} - ${INAM}", L"${FNAM}${FEXT}", L"",
                                                          L"${IPRD} ${$${icmt}", L"[${IGNR}] ${ISRC}"};
        static const std::vector<int> checks = {IDC_CHECK_SONG_ADD_LAST, IDC_CHECK_SHOW_SONG_NUMBER, IDC_CHECK_SHOW_SONG_TIME,
                                                IDC_CHECK_EQUALIZER_RELOCATION, IDC_CHECK_ABOUT_WINAMP,
                                                IDC_CHECK_WINDOW_POS_OVERRIDE, IDC_CHECK_WINDOW_SIZE_OVERRIDE};
        for (int k = Pick(4); k >= 0; --k) {
            switch (Pick(5)) {
            case 0:
                d.ClickPage(TFormConfigure::TabSheetFormat);
                d.SetText(IDC_EDIT_TITLE_FORMAT, OneOf(formats));
                break;
            case 1:
                d.ClickPage(TFormConfigure::TabSheetSettings);
                d.Click(OneOf(checks));
                break;
            case 2: {
                d.ClickPage(TFormConfigure::TabSheetExtension);
                static const std::vector<std::wstring> exts = {L".mp3", L".wav", L".jpg", L".TXT", L"ogg"};
                d.SetText(IDC_EDIT_EXTENSION, OneOf(exts));
                d.Click(Chance(50) ? IDC_BUTTON_EXT_ADD : IDC_BUTTON_EXT_DEL);
                break;
            }
            case 3:
                if (Chance(20)) {  // the system's colour chooser: slow, so rarely
                    d.ClickPage(TFormConfigure::TabSheetFont);
                    d.Click(OneOf(std::vector<int>{IDC_BUTTON_NORMAL_COLOR, IDC_BUTTON_SELECT_COLOR, IDC_BUTTON_PLAY_COLOR}));
                }
                break;
            default:
                if (Chance(10)) {
                    d.ClickPage(TFormConfigure::TabSheetFont);
                    d.Click(IDC_BUTTON_FONT_SELECT);
                }
                break;
            }
        }
        d.Click(OneOf(std::vector<int>{IDC_CONFIG_OK, IDC_CONFIG_CANCEL, IDC_CONFIG_UPDATE}));
        ClosePreferences();
        return false;
    }
    bool Files() {
        const std::string& path = OneOf(songs_);
        switch (Pick(3)) {
        case 0: DeleteFileA(path.c_str()); break;
        case 1: MoveFileA(path.c_str(), (path + ".moved").c_str()); break;
        default:  // put everything back
            for (const auto& s : songs_) {
                MoveFileA((s + ".moved").c_str(), s.c_str());
                if (GetFileAttributesA(s.c_str()) == INVALID_FILE_ATTRIBUTES) {
                    const std::string name = s.substr(Dir().size() + 1);
                    WriteMp3(name, "Again " + name);
                }
            }
        }
        return false;
    }
    bool ReentrantPush() {
        // The host reports a new current entry while the plug-in rewrites its playlist.
        const int at = Pick(std::max(1, Rows())) + 1;
        host->OnFileAdded = [this, at](int count) {
            if (count == at) host->SetPosition(Pick(count));
        };
        SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(Chance(50) ? PopupItemSortReverse : PopupItemSortPath, 0), 0);
        host->OnFileAdded = nullptr;
        return false;
    }

    // ---- jump-and-play and drag moves
    static inline Soak* jumping_ = nullptr;
    static BOOL CALLBACK FindJump(HWND h, LPARAM lp) {
        if (!GetDlgItem(h, IDC_JUMP_EDIT)) return TRUE;
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    // From a thread timer inside the dialog's loop: words, the choice moved, maybe
    // the list changed under it, then Enter, "Play" or Esc; a dialog still open
    // at the next tick (nothing matched) is closed.
    static void CALLBACK JumpTick(HWND, UINT, UINT_PTR, DWORD) {
        Soak* self = jumping_;
        HWND dlg = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &FindJump, reinterpret_cast<LPARAM>(&dlg));
        if (!self || !dlg) return;
        if (self->jumpActed_) {
            PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        self->jumpActed_ = true;
        HWND edit = GetDlgItem(dlg, IDC_JUMP_EDIT);
        static const std::vector<std::wstring> words = {L"", L"song", L"SONG 1", L"album  a", L"disc 1", L"t1.mp3",
                                                        L"zzz", L"mp3 artist 2"};
        SetWindowTextW(edit, self->OneOf(words).c_str());
        for (int k = self->Pick(4); k > 0; --k) SendMessageW(edit, WM_KEYDOWN, self->Chance(60) ? VK_DOWN : VK_UP, 1);
        if (self->Chance(25)) {  // the list changes under the dialog
            if (self->Chance(50)) {
                self->host->Playlist.push_back(self->OneOf(self->songs_));
                self->inSync_ = false;
            }
            self->host->SetPosition(self->Pick(static_cast<int>(self->host->Playlist.size()) + 1) - 1);
        }
        switch (self->Pick(4)) {
        case 0: PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1); break;
        case 1: SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); break;
        default: PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1); break;
        }
    }
    bool JumpAndPlay() {
        jumping_ = this;
        jumpActed_ = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 1, &JumpTick);
        SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemJumpToFile, 0), 0);
        KillTimer(nullptr, timer);
        jumping_ = nullptr;
        return false;
    }
    bool DragMoves() {
        const int n = Rows();
        SendMessageW(List(), LB_SETSEL, FALSE, -1);
        for (int k = Pick(4); k >= 0 && n > 0; --k) SendMessageW(List(), LB_SETSEL, TRUE, Pick(n));
        const int h = std::max(1, static_cast<int>(SendMessageW(List(), LB_GETITEMHEIGHT, 0, 0)));
        RECT r{};
        GetClientRect(List(), &r);
        const int top = static_cast<int>(SendMessageW(List(), LB_GETTOPINDEX, 0, 0));
        int y = Pick(r.bottom + 1);
        if (Chance(80))  // most presses on a selected row that shows
            for (int row = top; row < n && (row - top) * h < r.bottom; ++row)
                if (SendMessageW(List(), LB_GETSEL, row, 0) > 0) {
                    y = (row - top) * h + h / 2;
                    break;
                }
        auto at = [](int x, int yy) { return MAKELPARAM(x, yy); };
        SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, at(20, y));
        for (int k = Pick(5); k >= 0; --k) {
            y = Pick(r.bottom + 2 * h) - h;
            SendMessageW(List(), WM_MOUSEMOVE, MK_LBUTTON, at(20, y));
        }
        switch (Pick(6)) {
        case 0:
            SendMessageW(List(), WM_KEYDOWN, VK_ESCAPE, 1);
            SendMessageW(List(), WM_LBUTTONUP, 0, at(20, y));
            break;
        case 1: SendMessageW(List(), WM_LBUTTONUP, 0, at(-5, y)); break;
        default: SendMessageW(List(), WM_LBUTTONUP, 0, at(20, std::clamp<int>(y, 0, r.bottom - 1))); break;
        }
        int pushes = 0;
        for (const auto& m : host->MessagesTo(host->Main(), WM_USER)) pushes += m.LParam == 101;
        EXPECT_LE(pushes, 1) << "one push per move";
        return false;
    }

    void Step(int kind) {
        switch (kind) {
        case 0: mayBox_ = HostSide(); break;
        case 1: mayBox_ = Drop(); break;
        case 2: mayBox_ = MenuCommand(); break;
        case 3: mayBox_ = Key(); break;
        case 4: mayBox_ = SelectAndSpin(); break;
        case 5: mayBox_ = ShowHide(); break;
        case 6: mayBox_ = Preferences(); break;
        case 7: mayBox_ = Files(); break;
        case 8: mayBox_ = ReentrantPush(); break;
        case 10: mayBox_ = JumpAndPlay(); break;
        case 11: mayBox_ = DragMoves(); break;
        case 12:
            // The reader held: what comes next arrives while titles are still out.
            readerHeld_ = !readerHeld_;
            Seam()->HoldReader = readerHeld_;
            break;
        default:
            SendMessageW(PlayListWindow(), WM_TIMER, 1, 0);
            host->AdvanceClock(700);
            break;
        }
        if (!readerHeld_) {
            Pump();
            return;
        }
        // Only the messages: the reading stays out. What the reader thread had
        // in hand when it was held is delivered and installed first.
        for (int k = 0; k < 5000 && __atomic_load_n(&Seam()->ReaderBusy, __ATOMIC_ACQUIRE); ++k) Sleep(1);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        if (Form() && Form()->ReadsOutstanding() > 0) ++stepsWhileReading_;
    }

    // Reading still out when the player quits: nothing of ours may stay.
    void HostLeavesMidRead() {
        Seam()->HoldReader = 1;
        SendMessageW(PlayListWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({PathIn("album")}, POINT{1, 1})), 0);
        ASSERT_NE(Form(), nullptr);
        int toRead = 0;
        for (int i = 0; i < Form()->EntryCount(); ++i) toRead += Form()->Record(i)->ToRead;
        EXPECT_GT(toRead, 0);
        host->DestroyMainWindow();
        Pump();
        EXPECT_EQ(PlayListWindow(), nullptr);
        EXPECT_EQ(Seam()->LiveRecords, 0);
        EXPECT_EQ(Seam()->UnexpectedExceptions, 0);
    }

    // The invariants; false (with the failures reported) when one is broken.
    bool Check(int step, const char* what) {
        TTestSeam* seam = Seam();
        TFormPlayList* form = Form();
        if (!form || !seam) {
            ADD_FAILURE() << "the playlist window or the counters are gone after " << what;
            return false;
        }
        const bool pushed = host->CountOf(host->Main(), WM_USER) > 0 &&
                            [&] {
                                for (const auto& m : host->MessagesTo(host->Main(), WM_USER))
                                    if (m.LParam == 101) return true;
                                return false;
                            }();
        if (pushed) {
            inSync_ = true;
            ++pushes_;
        }
        // A rebuild takes every host entry and pushes nothing: both lists are equal after it.
        if (seam->Rebuilds != rebuilds_) {
            inSync_ = true;
            rebuilds_ = seam->Rebuilds;
            ++rebuildSteps_;
        }
        compared_ += inSync_;
        const std::vector<std::string> paths = WindowPaths();
        maxRows_ = std::max(maxRows_, static_cast<int>(paths.size()));
        if (inSync_) {
            EXPECT_EQ(host->Playlist, paths) << "host and window differ after " << what;
        }
        EXPECT_EQ(Rows(), form->EntryCount());
        EXPECT_EQ(seam->LiveRecords, static_cast<long>(form->Steps().HeldRecordCount()))
            << "records alive besides the rows' and the undo history's after " << what;
        for (int i = 0; i < form->EntryCount(); ++i)
            if (!form->Record(i)) ADD_FAILURE() << "row " << i << " has no record";
        EXPECT_TRUE(form->PlayingIndex() == -1 || (form->PlayingIndex() >= 0 && form->PlayingIndex() < form->EntryCount()))
            << "playing mark " << form->PlayingIndex() << " of " << form->EntryCount();
        if (pushed && form->PlayingIndex() >= 0) {
            EXPECT_EQ(host->Position, form->PlayingIndex()) << "after " << what;
        }
        EXPECT_EQ(seam->UnexpectedExceptions, 0) << "a boundary caught an unexpected exception in " << what;
        for (const auto& text : answerer_->TakeBoxes())
            if (++boxes_, !mayBox_) ADD_FAILURE() << "unexpected message box after " << what << ": " << std::string(text.begin(), text.end());
        const long owned = seam->LiveGdiObjects + seam->LiveUserObjects;
        if (step < kWarmUp) {
            ownedCeiling_ = std::max(ownedCeiling_, owned + 16);
        } else {
            EXPECT_LE(owned, ownedCeiling_) << "GDI and USER objects held by owners keep growing";
        }
        if (gdiCounted_) {
            const long gdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
            const long user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
            if (step < kWarmUp) {
                guiCeiling_ = std::max(guiCeiling_, gdi + user + 64);
            } else {
                EXPECT_LE(gdi + user, guiCeiling_) << "the process's GDI and USER objects keep growing";
            }
        }
        host->ClearMessages();
        return !HasFailure();
    }

    // Fifty steps of the plug-in's own, each list seen before its step; then
    // fifty undos must give back each of those lists in the window and in the
    // host's playlist, and fifty redos the last one.
    void UndoFiftySteps() {
        TFormPlayList* form = Form();
        ASSERT_NE(form, nullptr);
        for (const auto& s : songs_) {
            MoveFileA((s + ".moved").c_str(), s.c_str());
            if (GetFileAttributesA(s.c_str()) == INVALID_FILE_ATTRIBUTES) WriteMp3(s.substr(Dir().size() + 1), "Back");
        }
        host->OnFileAdded = nullptr;
        // A drop first: its push makes the host hold what the window shows.
        SendMessageW(PlayListWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({songs_[0]}, POINT{1, 1})), 0);
        Pump();
        ASSERT_EQ(host->Playlist, WindowPaths());
        struct TSeen {
            std::vector<std::string> Window, Host;
        };
        std::vector<TSeen> before;
        for (int tries = 0; before.size() < 50 && tries < 2000; ++tries) {
            TSeen seen{WindowPaths(), host->Playlist};
            const int steps = form->Steps().StepsRecorded();
            switch (Pick(5)) {
            case 0: {
                std::vector<std::string> files{OneOf(songs_), OneOf(songs_)};
                SendMessageW(PlayListWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files, POINT{1, 1})), 0);
                break;
            }
            case 1: SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemSortReverse, 0), 0); break;
            case 2: SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemSortRandomize, 0), 0); break;
            case 3:
                SendMessageW(List(), LB_SETSEL, FALSE, -1);
                SendMessageW(List(), LB_SETSEL, TRUE, Pick(Rows()));
                SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemDeleteFile, 0), 0);
                break;
            default: SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemDeleteDuplicates, 0), 0); break;
            }
            Pump();
            ASSERT_LE(form->Steps().StepsRecorded() - steps, 1) << "one command, one step";
            if (form->Steps().StepsRecorded() != steps) before.push_back(std::move(seen));
        }
        ASSERT_EQ(before.size(), 50u);
        const TSeen last{WindowPaths(), host->Playlist};
        for (int k = 49; k >= 0; --k) {
            SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemUndo, 0), 0);
            Pump();
            ASSERT_EQ(WindowPaths(), before[static_cast<std::size_t>(k)].Window) << "after " << 50 - k << " undos";
            ASSERT_EQ(host->Playlist, before[static_cast<std::size_t>(k)].Host) << "after " << 50 - k << " undos";
        }
        for (int k = 0; k < 50; ++k) SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemRedo, 0), 0);
        Pump();
        EXPECT_EQ(WindowPaths(), last.Window);
        EXPECT_EQ(host->Playlist, last.Host);
        EXPECT_EQ(Seam()->LiveRecords, static_cast<long>(form->Steps().HeldRecordCount()));
    }

    static constexpr int kWarmUp = 400;
    std::mt19937 rng_;
    std::unique_ptr<TModalAnswerer> answerer_;
    std::vector<std::string> songs_, dropPool_, keptPool_;
    long rebuilds_ = 0;
    int rebuildSteps_ = 0;
    bool inSync_ = true;
    bool mayBox_ = false;
    bool jumpActed_ = false;
    int pushes_ = 0, compared_ = 0, maxRows_ = 0, boxes_ = 0, stepsWhileReading_ = 0;
    bool readerHeld_ = false;
    bool gdiCounted_ = false;
    long ownedCeiling_ = 0, guiCeiling_ = 0;
};

TEST_F(Soak, MixedOperationsKeepThePlaylistWholeAndLeakNothing) {
    const long steps = EnvNumber("SOAK_STEPS", 2000);
    const unsigned seed = static_cast<unsigned>(EnvNumber("SOAK_SEED", 1));
    rng_.seed(seed);
    std::printf("soak: seed %u, %ld steps (SOAK_SEED=%u replays this run)\n", seed, steps, seed);
    MakeLibrary();
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.Locale=0000\r\n");
    StartHost();
    host->Playlist = {songs_[0], songs_[1], songs_[2], PathIn("notes.txt")};
    StartPlugin();
    ASSERT_NE(Seam(), nullptr) << "the test build of the DLL exports its counters";
    rebuilds_ = Seam()->Rebuilds;
    EXPECT_EQ(host->Playlist, WindowPaths()) << "the start keeps the entry it does not read";
    answerer_ = std::make_unique<TModalAnswerer>();
    gdiCounted_ = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) > 0;
    std::printf("soak: GetGuiResources %s\n", gdiCounted_ ? "counts objects" : "returns 0 here: owner counts only");
    host->ClearMessages();

    static const int weights[] = {14, 12, 18, 14, 10, 5, 1, 6, 6, 12, 3, 6, 3};
    std::discrete_distribution<int> kinds(std::begin(weights), std::end(weights));
    static const char* const names[] = {"host change", "drop", "menu command", "key", "selection/spin",
                                        "show/hide", "preferences", "file change", "report during push", "Timer1",
                                        "jump and play", "drag move", "reader held/released"};
    constexpr int kKinds = sizeof weights / sizeof weights[0];
    DWORD spent[kKinds] = {};
    int count[kKinds] = {};
    for (long step = 0; step < steps; ++step) {
        const int kind = kinds(rng_);
        const DWORD t0 = GetTickCount();
        Step(kind);
        spent[kind] += GetTickCount() - t0;
        ++count[kind];
        if (!Check(static_cast<int>(step), names[kind])) {
            FAIL() << "soak failed at step " << step << " (" << names[kind] << "); replay with SOAK_SEED=" << seed;
        }
        if (step % 10000 == 9999) std::printf("soak: %ld steps\n", step + 1);
    }
    readerHeld_ = false;
    Seam()->HoldReader = 0;
    UndoFiftySteps();
    answerer_.reset();
    for (int k = 0; k < kKinds; ++k) std::printf("soak: %-20s %6d steps %8lu ms\n", names[k], count[k], spent[k]);
    std::printf("soak: %ld steps passed, seed %u: %d pushes, %d rebuilds, %d list comparisons, up to %d rows, "
                "%d expected message boxes, %ld owned GDI/USER objects at the end (ceiling %ld)\n",
                steps, seed, pushes_, rebuildSteps_, compared_, maxRows_, boxes_, Seam()->LiveGdiObjects + Seam()->LiveUserObjects,
                ownedCeiling_);
    std::printf("soak: %d steps ended with titles still being read\n", stepsWhileReading_);
    HostLeavesMidRead();
}

}  // namespace
