// "Jump to file" driven as a user drives it: Ctrl+F or the menu item, keys
// typed into the edit box, the choice moved with the arrow keys, Enter, Esc,
// the buttons, a double click, and the list changing while the dialog is open.
// The steps run on the GUI thread from a thread timer that the dialog's own
// modal loop dispatches, one step per tick, so posted messages run in between.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>
#include "MessageBoxCatcher.h"
#include "PluginFixture.h"
#include "playlist/PlayList_win.h"
#include "resources/resource.h"

namespace {

using TStep = std::function<void(HWND dialog)>;

class TJumpDriver {
public:
    explicit TJumpDriver(std::vector<TStep> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 1, &Tick);
    }
    ~TJumpDriver() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Finished() const { return next_ == steps_.size(); }

private:
    static BOOL CALLBACK Find(HWND h, LPARAM lp) {
        if (GetDlgItem(h, IDC_JUMP_EDIT) && IsWindowVisible(h)) {
            *reinterpret_cast<HWND*>(lp) = h;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TJumpDriver* self = current_;
        if (!self) return;
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &Find, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        if (self->next_ < self->steps_.size()) {
            self->steps_[self->next_++](dialog);
        } else if (++self->idle_ > 50) {
            ADD_FAILURE() << "the dialog stayed open after the last step";
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
    static inline TJumpDriver* current_ = nullptr;
    std::vector<TStep> steps_;
    std::size_t next_ = 0;
    int idle_ = 0;
    UINT_PTR timer_ = 0;
};

HWND Edit(HWND dialog) { return GetDlgItem(dialog, IDC_JUMP_EDIT); }
HWND Matches(HWND dialog) { return GetDlgItem(dialog, IDC_JUMP_LIST); }
int Choice(HWND dialog) { return static_cast<int>(SendMessageW(Matches(dialog), LB_GETCURSEL, 0, 0)); }

std::vector<std::wstring> Shown(HWND dialog) {
    std::vector<std::wstring> out;
    const int n = static_cast<int>(SendMessageW(Matches(dialog), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        wchar_t b[512] = {};
        SendMessageW(Matches(dialog), LB_GETTEXT, i, reinterpret_cast<LPARAM>(b));
        out.push_back(b);
    }
    return out;
}

template <class Char>
struct TOutsideRead {
    HWND list;
    int row;
    std::basic_string<Char> text;
    bool guardKept = false;
};

template <class Char>
DWORD WINAPI ReadRow(void* p) {
    auto& j = *static_cast<TOutsideRead<Char>*>(p);
    auto send = [&](UINT msg, WPARAM wp, LPARAM lp) {
        return sizeof(Char) == 1 ? SendMessageA(j.list, msg, wp, lp) : SendMessageW(j.list, msg, wp, lp);
    };
    const LRESULT n = send(LB_GETTEXTLEN, static_cast<WPARAM>(j.row), 0);
    if (n < 0) return 0;
    std::vector<Char> buffer(static_cast<std::size_t>(n) + 1 + 64, Char('#'));
    send(LB_GETTEXT, static_cast<WPARAM>(j.row), reinterpret_cast<LPARAM>(buffer.data()));
    j.guardKept = std::all_of(buffer.begin() + n + 1, buffer.end(), [](Char c) { return c == Char('#'); });
    j.text = buffer.data();
    return 0;
}

// Reads a row as another program does, from a thread of its own, into a buffer
// exactly LB_GETTEXTLEN + 1 long with a guard behind it; the GUI thread answers
// the sent messages meanwhile.
template <class Char>
std::basic_string<Char> ReadFromOutside(HWND list, int row) {
    TOutsideRead<Char> job{list, row};
    HANDLE thread = CreateThread(nullptr, 0, &ReadRow<Char>, &job, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 5000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread);
    EXPECT_TRUE(job.guardKept) << "written past LB_GETTEXTLEN + 1";
    return job.text;
}

std::wstring Text(HWND h) {
    wchar_t b[256] = {};
    GetWindowTextW(h, b, 256);
    return b;
}

// Every character as its own key press.
void Type(HWND dialog, const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(Edit(dialog), WM_CHAR, c, 1);
}

void Key(HWND target, WORD vk) { SendMessageW(target, WM_KEYDOWN, vk, 1); }

class JumpToFile : public TPluginTest {
protected:
    std::string HostIni() override { return "[Winamp]\r\npe_open=1\r\n"; }

    HWND List() { return FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr); }
    TFormPlayList* Form() {
        return static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA)));
    }
    std::vector<int> Selected() {
        std::vector<int> out;
        const int n = static_cast<int>(SendMessageW(List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            if (SendMessageW(List(), LB_GETSEL, i, 0) > 0) out.push_back(i);
        return out;
    }
    std::vector<std::string> StartWith(const std::vector<std::string>& titles, int playing,
                                       const char* locale = "0000") {
        WriteFile("plugin.ini", std::string("[VelvetLister Plug-in]\r\nOption.Locale=") + locale + "\r\n");
        std::vector<std::string> files;
        for (std::size_t i = 0; i < titles.size(); ++i)
            files.push_back(WriteMp3("t" + std::to_string(i) + ".mp3", titles[i]));
        StartHost();
        host->Playlist = files;
        StartPlugin();
        host->SetPosition(playing);
        Pump();
        return files;
    }
    // Ctrl+F in the list, the steps, and the dialog closed again.
    void Jump(std::vector<TStep> steps) {
        TJumpDriver driver(std::move(steps));
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(List(), WM_KEYDOWN, 'F', 0);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        Pump();
        EXPECT_TRUE(driver.Finished()) << "the dialog did not open or closed early";
    }
};

}  // namespace

TEST_F(JumpToFile, KeysNarrowTheListAndEnterPlaysTheChoiceAlone) {
    // Words are looked for in the whole path too: the tests' words occur in none of theirs.
    StartWith({"Blue Moon", "Red Sky", "Blue Sky", "Green Day", "Sky High"}, 3);
    // The menu item right after the "Play control" submenu.
    HMENU menu = Form()->PopupMenuEdit();
    ASSERT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(PopupItemPlayFile));
    ASSERT_NE(GetSubMenu(menu, 1), nullptr);
    EXPECT_EQ(GetMenuItemID(menu, 2), static_cast<UINT>(PopupItemJumpToFile));
    wchar_t item[64] = {};
    GetMenuStringW(menu, 2, item, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(item), L"Jump to file...\tCtrl+F");
    SendMessageW(List(), LB_SETSEL, TRUE, 0);
    SendMessageW(List(), LB_SETSEL, TRUE, 1);
    host->ClearMessages();
    Jump({
        [](HWND d) {
            EXPECT_EQ(Text(d), L"Jump to file");
            EXPECT_EQ(Text(GetDlgItem(d, IDOK)), L"Play");
            EXPECT_EQ(Text(GetDlgItem(d, IDCANCEL)), L"Close");
            EXPECT_EQ(LOWORD(SendMessageW(d, DM_GETDEFID, 0, 0)), IDOK);
            EXPECT_EQ(GetFocus(), Edit(d));
            EXPECT_EQ(Shown(d), (std::vector<std::wstring>{L"1. Blue Moon", L"2. Red Sky", L"3. Blue Sky",
                                                           L"4. Green Day", L"5. Sky High"}));
            EXPECT_EQ(Choice(d), 3) << "the playing entry";
            Type(d, L"b");
            EXPECT_EQ(Shown(d), (std::vector<std::wstring>{L"1. Blue Moon", L"3. Blue Sky"}));
            SetWindowTextW(Edit(d), L"");
            EXPECT_EQ(Shown(d).size(), 5u);
            Type(d, L"SK");
            EXPECT_EQ(Shown(d), (std::vector<std::wstring>{L"2. Red Sky", L"3. Blue Sky", L"5. Sky High"}));
            EXPECT_EQ(Choice(d), 0) << "the playing entry does not match: the first match";
            Key(Edit(d), VK_DOWN);
            Key(Edit(d), VK_DOWN);
            EXPECT_EQ(Choice(d), 2);
            Key(Edit(d), VK_UP);
            EXPECT_EQ(Choice(d), 1);
            EXPECT_EQ(GetFocus(), Edit(d)) << "the typing goes on";
            Key(Edit(d), VK_NEXT);
            EXPECT_EQ(Choice(d), 2);
            Key(Edit(d), VK_PRIOR);
            EXPECT_EQ(Choice(d), 0);
            Type(d, L"y b");
            EXPECT_EQ(Shown(d), (std::vector<std::wstring>{L"3. Blue Sky"}));
            PostMessageW(Edit(d), WM_KEYDOWN, VK_RETURN, 1);
        },
    });
    EXPECT_EQ(host->Position, 2);
    EXPECT_EQ(host->State, TPlayState::Playing);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    EXPECT_EQ(SendMessageW(List(), LB_GETCARETINDEX, 0, 0), 2);
}

TEST_F(JumpToFile, EscCloseAndTheButtonsAndADoubleClick) {
    StartWith({"Quartz", "Waltz", "Quiz", "Fizz"}, 0);
    SendMessageW(List(), LB_SETSEL, TRUE, 3);
    host->ClearMessages();
    Jump({[](HWND d) {
        Type(d, L"qu");
        EXPECT_EQ(Shown(d), (std::vector<std::wstring>{L"1. Quartz", L"3. Quiz"}));
        PostMessageW(Edit(d), WM_KEYDOWN, VK_ESCAPE, 1);
    }});
    Jump({[](HWND d) {
        Type(d, L"z");
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDCANCEL)));
    }});
    EXPECT_EQ(host->CountOf(host->Main(), WM_COMMAND), 0) << "nothing played";
    EXPECT_EQ(host->Position, 0);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    // "Play" with no match does nothing and keeps the dialog open.
    Jump({[](HWND d) { Type(d, L"xq"); },
          [](HWND d) {
              EXPECT_TRUE(Shown(d).empty());
              SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
              EXPECT_TRUE(IsWindowVisible(d));
              SetWindowTextW(Edit(d), L"wal");
              SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
          }});
    EXPECT_EQ(host->Position, 1);
    // A double click on a match plays it.
    Jump({[](HWND d) {
        RECT r{};
        SendMessageW(Matches(d), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
        SendMessageW(Matches(d), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(Matches(d), WM_LBUTTONUP, 0, at);
        SendMessageW(Matches(d), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(Matches(d), WM_LBUTTONUP, 0, at);
    }});
    EXPECT_EQ(host->Position, 3);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
}

TEST_F(JumpToFile, AChangedListIsMatchedAgainAndOnlyItsEntriesArePlayed) {
    auto files = StartWith({"One Sky", "Two", "Three Sky", "Four Sky"}, 1);
    Jump({[](HWND d) { Type(d, L"sky"); },
          [&](HWND d) {
              EXPECT_EQ(Shown(d).size(), 3u);
              Key(Edit(d), VK_DOWN);  // "Three Sky"
              // The host's list changes under the dialog; the track change rebuilds.
              host->Playlist = {files[1], files[2], files[3]};
              host->SetPosition(0);
          },
          [&](HWND d) {
              EXPECT_EQ(Shown(d), (std::vector<std::wstring>{L"2. Three Sky", L"3. Four Sky"}));
              EXPECT_EQ(Choice(d), 0) << "still on the chosen entry";
              // Changed again, and "Play" before the change's notice came round.
              host->Playlist = {files[3], files[2]};
              host->SetPosition(0);
              SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
          }});
    ASSERT_EQ(host->Playlist.size(), 2u);
    EXPECT_EQ(host->Position, 1) << "the chosen entry where it is now";
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
}

TEST_F(JumpToFile, JapaneseTextsAndAJapaneseSearch) {
    const bool cp932 = GetACP() == 932;
    // 表示 (a trail byte 0x5C), ＡＢＣの歌 (full-width letters), ソング.
    std::vector<std::string> titles = {"Plain", "Caf\xe9 au lait"};
    if (cp932) titles = {"\x95\x5C\x8E\xA6\x83\x65\x83\x58\x83\x67", "\x82\x60\x82\x61\x82\x62\x82\xCC\x89\xCC",
                         "abc", "\x83\x5C\x83\x93\x83\x4F"};
    StartWith(titles, 0, "0411");
    Jump({[&](HWND d) {
        EXPECT_EQ(Text(d), W("ファイルへジャンプ"));
        EXPECT_EQ(Text(GetDlgItem(d, IDOK)), W("再生"));
        EXPECT_EQ(Text(GetDlgItem(d, IDCANCEL)), W("閉じる"));
        // Other programs read the rows in their own character set, never past their buffers.
        EXPECT_EQ(ReadFromOutside<wchar_t>(Matches(d), 1), W(cp932 ? "2. ＡＢＣの歌" : "2. Café au lait"));
        EXPECT_EQ(ReadFromOutside<char>(Matches(d), 1), "2. " + titles[1]);
        if (!cp932) {
            PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        SetWindowTextW(Edit(d), W("ｂｃ").c_str());
        EXPECT_EQ(Shown(d), (std::vector<std::wstring>{W("2. ＡＢＣの歌")}));
        SetWindowTextW(Edit(d), W("表示　テスト").c_str());
        EXPECT_EQ(Shown(d), (std::vector<std::wstring>{W("1. 表示テスト")}));
        // "\" is in every path, never inside 表 or ソ: "\示" and "\ン" start on trail bytes.
        SetWindowTextW(Edit(d), W("\\示").c_str());
        EXPECT_TRUE(Shown(d).empty());
        SetWindowTextW(Edit(d), W("\\ン").c_str());
        EXPECT_TRUE(Shown(d).empty());
        SetWindowTextW(Edit(d), W("ソング").c_str());
        EXPECT_EQ(Shown(d), (std::vector<std::wstring>{W("4. ソング")}));
        PostMessageW(Edit(d), WM_KEYDOWN, VK_RETURN, 1);
    }});
    if (cp932) {
        EXPECT_EQ(host->Position, 3);
    }
}
