// The playlist list control against a string-holding list box doing the same
// work, side by side in one run: filling 100,000 rows, exchanging rows the way
// the reorder commands do (text and data of two rows, marks cleared), and
// clearing. Prints times and the ratio string-list / control.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/Window_win.h"
#include "controls/CustomPlayListBox_win.h"

namespace {

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

class TBenchParent : public TWindow {
public:
    bool Create() {
        return CreateNative(L"VLListBoxBenchParent", 0, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 300, 300,
                            nullptr, nullptr);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DRAWITEM || msg == WM_COMMAND || msg == WM_MEASUREITEM) {
            HWND item = msg == WM_DRAWITEM    ? reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem
                        : msg == WM_COMMAND   ? reinterpret_cast<HWND>(lp)
                                              : GetDlgItem(Handle(), static_cast<int>(
                                                                         reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->CtlID));
            wchar_t cls[32] = {};
            if (item && GetClassNameW(item, cls, 32) && lstrcmpW(cls, TCustomPlayListBox::kClassName) == 0)
                return SendMessageW(item, TCustomPlayListBox::kReflectBase + msg, wp, lp);
        }
        return DefaultHandling(msg, wp, lp);
    }
};

std::string Title(int i) { return "Artist " + std::to_string(i % 97) + " - Title of song " + std::to_string(i); }

struct TTimes {
    double fill = 0, exchange = 0, selectAll = 0, shuffle = 0, clear = 0;
};

TTimes RunControl(HWND parent, int rows, const std::vector<std::pair<int, int>>& swaps) {
    TTimes t;
    TPlayListBox list(parent, 1);
    list.SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    list.SetMultiSelect(true);
    list.SetBorderStyle(TBorderStyle::bsNone);
    list.OnDrawItem = [](TCustomPlayListBox&, int, const RECT&, unsigned) {};
    list.HandleNeeded();
    std::vector<TRow> data;
    data.reserve(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) data.push_back({Title(i), static_cast<std::uintptr_t>(i)});
    double t0 = Now();
    list.Assign(std::move(data));
    t.fill = Now() - t0;
    t0 = Now();
    list.BeginUpdate();
    for (auto [a, b] : swaps) list.Exchange(a, b);
    list.EndUpdate();
    t.exchange = Now() - t0;
    // Select all as the selection command does it: hidden, row by row.
    t0 = Now();
    list.SetVisible(false);
    for (int i = 0; i < list.Count(); ++i) list.SetSelected(i, true);
    list.SetVisible(true);
    t.selectAll = Now() - t0;
    // The randomise command's loop: exchange and carry both marks.
    t0 = Now();
    list.BeginUpdate();
    for (auto [a, b] : swaps) {
        bool sa = list.IsSelected(a), sb = list.IsSelected(b);
        list.Exchange(a, b);
        list.SetSelected(a, sb);
        list.SetSelected(b, sa);
    }
    list.EndUpdate();
    t.shuffle = Now() - t0;
    t0 = Now();
    list.Clear();
    t.clear = Now() - t0;
    return t;
}

// What the same work costs when the rows live in the native list: add with
// data, and an exchange as two deletes and re-inserts.
TTimes RunStringList(HWND parent, int rows, const std::vector<std::pair<int, int>>& swaps) {
    TTimes t;
    HWND h = CreateWindowExW(0, L"LISTBOX", L"",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT,
                             0, 0, 121, 97, parent, reinterpret_cast<HMENU>(2), nullptr, nullptr);
    std::vector<std::string> titles;
    for (int i = 0; i < rows; ++i) titles.push_back(Title(i));
    double t0 = Now();
    SendMessageW(h, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < rows; ++i) {
        LRESULT at = SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(titles[static_cast<size_t>(i)].c_str()));
        SendMessageW(h, LB_SETITEMDATA, static_cast<WPARAM>(at), i);
    }
    SendMessageW(h, WM_SETREDRAW, TRUE, 0);
    t.fill = Now() - t0;
    t0 = Now();
    SendMessageW(h, WM_SETREDRAW, FALSE, 0);
    char buf[4096];
    auto put = [&](int i, const std::string& text, LRESULT data) {
        SendMessageW(h, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
        SendMessageA(h, LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(h, LB_SETITEMDATA, static_cast<WPARAM>(i), data);
    };
    for (auto [a, b] : swaps) {
        SendMessageA(h, LB_GETTEXT, static_cast<WPARAM>(a), reinterpret_cast<LPARAM>(buf));
        std::string ta = buf;
        LRESULT da = SendMessageW(h, LB_GETITEMDATA, static_cast<WPARAM>(a), 0);
        SendMessageA(h, LB_GETTEXT, static_cast<WPARAM>(b), reinterpret_cast<LPARAM>(buf));
        std::string tb = buf;
        LRESULT db = SendMessageW(h, LB_GETITEMDATA, static_cast<WPARAM>(b), 0);
        put(a, tb, db);
        put(b, ta, da);
    }
    SendMessageW(h, WM_SETREDRAW, TRUE, 0);
    t.exchange = Now() - t0;
    t0 = Now();
    ShowWindow(h, SW_HIDE);
    for (int i = 0; i < rows; ++i) SendMessageW(h, LB_SETSEL, TRUE, i);
    ShowWindow(h, SW_SHOW);
    t.selectAll = Now() - t0;
    t0 = Now();
    SendMessageW(h, WM_SETREDRAW, FALSE, 0);
    for (auto [a, b] : swaps) {
        LRESULT sa = SendMessageW(h, LB_GETSEL, static_cast<WPARAM>(a), 0);
        LRESULT sb = SendMessageW(h, LB_GETSEL, static_cast<WPARAM>(b), 0);
        SendMessageA(h, LB_GETTEXT, static_cast<WPARAM>(a), reinterpret_cast<LPARAM>(buf));
        std::string ta = buf;
        LRESULT da = SendMessageW(h, LB_GETITEMDATA, static_cast<WPARAM>(a), 0);
        SendMessageA(h, LB_GETTEXT, static_cast<WPARAM>(b), reinterpret_cast<LPARAM>(buf));
        std::string tb = buf;
        LRESULT db = SendMessageW(h, LB_GETITEMDATA, static_cast<WPARAM>(b), 0);
        put(a, tb, db);
        put(b, ta, da);
        SendMessageW(h, LB_SETSEL, sb > 0, a);
        SendMessageW(h, LB_SETSEL, sa > 0, b);
    }
    SendMessageW(h, WM_SETREDRAW, TRUE, 0);
    t.shuffle = Now() - t0;
    t0 = Now();
    SendMessageW(h, LB_RESETCONTENT, 0, 0);
    t.clear = Now() - t0;
    DestroyWindow(h);
    return t;
}

}  // namespace

int main() {
    TBenchParent parent;
    if (!parent.Create()) return 1;
    const int rows = 100000;
    std::vector<std::pair<int, int>> swaps;
    unsigned state = 12345;
    for (int k = 0; k < 2000; ++k) {
        state = state * 0x08088405u + 1;
        int a = static_cast<int>((static_cast<unsigned long long>(state) * rows) >> 32);
        state = state * 0x08088405u + 1;
        int b = static_cast<int>((static_cast<unsigned long long>(state) * rows) >> 32);
        swaps.push_back({a, b});
    }
    const TTimes mine = RunControl(parent.Handle(), rows, swaps);
    const TTimes theirs = RunStringList(parent.Handle(), rows, swaps);
    std::printf("list box, %d rows, %zu exchanges (seconds; ratio = string list / control)\n", rows, swaps.size());
    std::printf("  fill      control %.4f  string list %.4f  ratio %.1f\n", mine.fill, theirs.fill,
                theirs.fill / mine.fill);
    std::printf("  exchange  control %.4f  string list %.4f  ratio %.1f\n", mine.exchange, theirs.exchange,
                theirs.exchange / mine.exchange);
    std::printf("  selectall control %.4f  string list %.4f  ratio %.1f\n", mine.selectAll, theirs.selectAll,
                theirs.selectAll / mine.selectAll);
    std::printf("  shuffle   control %.4f  string list %.4f  ratio %.1f\n", mine.shuffle, theirs.shuffle,
                theirs.shuffle / mine.shuffle);
    std::printf("  clear     control %.4f  string list %.4f  ratio %.1f\n", mine.clear, theirs.clear,
                theirs.clear / mine.clear);
    return 0;
}
