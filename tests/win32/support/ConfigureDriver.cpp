#include "ConfigureDriver.h"
#include <commctrl.h>
#include <vector>
#include "resources/resource.h"

namespace {
void PumpMessages() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

BOOL CALLBACK FindDialog(HWND h, LPARAM lp) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && GetDlgItem(h, IDC_CONFIG_TABS)) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

struct TFindTitled {
    DWORD Pid;
    const std::wstring* Title;
    HWND Found;
};
// The colour and font choosers are system dialogs whose titles follow the
// system's language ("Color" is another word on a Japanese system): they are
// also known by a control of their own, the colour spectrum and the size box.
int OwnControlOf(const std::wstring& title) {
    if (title == L"Color") return 710;  // COLOR_RAINBOW
    if (title == L"Font") return 0x472;  // cmb3
    return 0;
}
BOOL CALLBACK FindTitled(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<TFindTitled*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    wchar_t cls[16] = {}, title[256] = {};
    GetClassNameW(h, cls, 16);
    GetWindowTextW(h, title, 256);
    const int own = OwnControlOf(*c->Title);
    if (owner == c->Pid && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h) &&
        (*c->Title == title || (own != 0 && GetDlgItem(h, own)))) {
        c->Found = h;
        return FALSE;
    }
    return TRUE;
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW lf{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (font) GetObjectW(font, sizeof lf, &lf);
    return lf;
}
}  // namespace

HWND FindPreferences() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void TConfigureDriver::ClickPage(int page) const {
    HWND tabs = Item(IDC_CONFIG_TABS);
    RECT r{};
    SendMessageW(tabs, TCM_GETITEMRECT, page, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    PumpMessages();
}

int TConfigureDriver::ActivePage() const {
    return static_cast<int>(SendMessageW(Item(IDC_CONFIG_TABS), TCM_GETCURSEL, 0, 0));
}

void TConfigureDriver::Type(int id, const std::wstring& text) const {
    HWND h = Item(id);
    SetFocus(h);
    for (wchar_t c : text) SendMessageW(h, WM_CHAR, c, 1);
    PumpMessages();
}

void TConfigureDriver::SetText(int id, const std::wstring& text) const {
    SetWindowTextW(Item(id), text.c_str());
    PumpMessages();
}

std::wstring TConfigureDriver::Text(int id) const {
    wchar_t buffer[1024] = {};
    GetWindowTextW(Item(id), buffer, 1024);
    return buffer;
}

void TConfigureDriver::Click(int id) const {
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    PumpMessages();
}

bool TConfigureDriver::Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool TConfigureDriver::Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

void TConfigureDriver::DoubleClick(int id, int x, int y) const {
    HWND h = Item(id);
    const LPARAM at = MAKELPARAM(x, y);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h, WM_LBUTTONUP, 0, at);
    SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(h, WM_LBUTTONUP, 0, at);
    PumpMessages();
}

std::wstring TConfigureDriver::ListText(int id, int index) const {
    wchar_t buffer[256] = {};
    if (SendMessageW(Item(id), LB_GETTEXTLEN, index, 0) >= 255) return {};
    SendMessageW(Item(id), LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

int TConfigureDriver::ListCount(int id) const { return static_cast<int>(SendMessageW(Item(id), LB_GETCOUNT, 0, 0)); }

int TConfigureDriver::ListFind(int id, const std::wstring& text) const {
    LRESULT r = SendMessageW(Item(id), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    return r == LB_ERR ? -1 : static_cast<int>(r);
}

TDialogAnswerer::TDialogAnswerer(std::wstring title, std::function<void(HWND)> action)
    : title_(std::move(title)), action_(std::move(action)), thread_([this] { Run(); }) {}

TDialogAnswerer::~TDialogAnswerer() {
    stop_ = true;
    thread_.join();
}

void TDialogAnswerer::Run() {
    // Ten seconds at most: a dialog that never comes fails the test, not the run.
    for (int i = 0; i < 1000 && !stop_ && !answered_; ++i) {
        TFindTitled find{GetCurrentProcessId(), &title_, nullptr};
        EnumWindows(&FindTitled, reinterpret_cast<LPARAM>(&find));
        if (find.Found) {
            Sleep(50);  // let it finish its initialisation
            // Marked before acting: the action ends the dialog, and the GUI
            // thread may ask whether it was answered as soon as it has.
            answered_ = true;
            action_(find.Found);
            return;
        }
        Sleep(10);
    }
}

std::wstring FontFaceOf(HWND window) { return FontOf(window).lfFaceName; }

LONG FontHeightOf(HWND window) { return FontOf(window).lfHeight; }
