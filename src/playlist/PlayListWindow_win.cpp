// The playlist window itself: creation and re-creation, layout, size limits,
// screen-edge snapping, the notification-area icon, and the window messages it
// answers from outside.
#include "playlist/PlayList_win.h"
#include "playlist/PlayListParts_win.h"
#include "base/Fonts_win.h"
#include "base/PluginIcon_win.h"
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "playlist/Geometry.h"
#include "reading/TagReaderThread_win.h"
#include "playlist/SkinApply_win.h"
#include "skin/WatermarkSkin_win.h"

TOptions Option;

namespace {
constexpr wchar_t kClassName[] = L"TFormPlayList";
constexpr UINT kTrayCallback = 0x8044;
constexpr UINT kTrayIconId = 68;
constexpr UINT_PTR kTimer1 = 1;
constexpr int kListId = 100;
constexpr int kToolBarHeight = 20;
constexpr ULONG_PTR kSkinNotification = 10650;
// A sample with descenders and tall glyphs of both widths: its height is a row's.
constexpr wchar_t kHeightSample[] = L"hgy\xFF48\xFF47\xFF59|\x2502";
}  // namespace

TFormPlayList::TFormPlayList() = default;

TFormPlayList::~TFormPlayList() {
    RunGuarded(nullptr, [this] { FormDestroy(); });
    DestroyNative();
}

bool TFormPlayList::Create() {
    const bool topmost = IsChecked(PopupItemAOT);
    DWORD ex = WS_EX_ACCEPTFILES | WS_EX_TOOLWINDOW | (topmost ? WS_EX_TOPMOST : 0);
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = 0, h = 0;
    RECT r{0, 0, 267, 116};
    AdjustWindowRectEx(&r, style, FALSE, ex);
    w = r.right - r.left;
    h = r.bottom - r.top;
    if (!CreateNative(kClassName, ex, L"VelvetLister", style, x, y, w, h, nullptr, nullptr, CS_DBLCLKS,
                      nullptr, PluginIcon(false)))
        return false;
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(PluginIcon(false)));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(PluginIcon(true)));
    if (!listBox_) FormCreate();
    else {
        // What was posted to the old window went with it: the walk that queues
        // the reading and a pending rebuild get their messages again.
        reading_.Retarget();
        reading_.PostCheck();
        rebuild_.Retarget();
        // Re-created: the same object and entries in a new native window.
        CreateToolBar();
        listBox_->SetParentWindow(Handle());
        listBox_->HandleNeeded();
        LayoutChildren();
        // The notification icon is registered again by the always-on-top command
        // once the preferences dialog has its new style too.
    }
    // The window may get no size message if it is created at the size it had:
    // fit the time label now.
    FormResize();
    SetTimer(Handle(), kTimer1, 500, nullptr);
    if (topmost) SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void TFormPlayList::FormCreate() {
    skin_ = std::make_unique<TWatermarkSkin>();
    listBrush_.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    {
        // A hollow brush: the list never paints a background of its own.
        LOGBRUSH lb{BS_HOLLOW, GetSysColor(COLOR_BTNFACE), 0};
        listBrush_.reset(CreateBrushIndirect(&lb));
    }
    playingIndex_ = -1;
    formFont_.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                                kDesignedFormFont));
    CreateMenu();
    CreateToolBar();
    SetMenuImages();
    labelHeight_ = CreateWindowExW(0, L"STATIC", kHeightSample, WS_CHILD, 0, 0, 0, 0, Handle(), nullptr,
                                   ThisModule(), nullptr);

    listBox_ = std::make_unique<TPlayListBox>(Handle(), kListId);
    listBox_->SetPopupMenu(popupMenu_.get());
    listBox_->OnDrawItem = [this](TCustomPlayListBox& l, int i, const RECT& r, unsigned s) { DrawEntry(l, i, r, s); };
    listBox_->OnEraseBkgnd = [this](TCustomPlayListBox& l, const RECT& r) { DrawListBackground(l, r); };
    listBox_->OnDblClick = [this](TCustomPlayListBox&) { commands_.PlayCaretEntry(); };
    listBox_->OnDragMove = [this](TCustomPlayListBox&, int gap) { commands_.DragMoveEntries(gap); };
    // Rows that came or went change what is to be read: looked at once the change is done.
    listBox_->OnRowsChanged = [this](TCustomPlayListBox&) {
        reading_.PostCheck();
        lengths_.NoteTotalChanged();
    };
    listBox_->OnClick = listBox_->OnSelectionChanged = [this](TCustomPlayListBox&) { lengths_.NoteTotalChanged(); };
    listBox_->SetRowWeigh(&TListLengths::WeighRecord);
    listBox_->OnBeforeInput = [this](TCustomPlayListBox&) { FinishBuild(); };
    listBox_->OnKeyDown = [this](TCustomPlayListBox&, WORD& key, unsigned shift) {
        WORD k = key;
        HandleListKey(k, shift);
    };
    listBox_->SetBorderStyle(TBorderStyle::bsNone);
    listBox_->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    listBox_->SetMultiSelect(true);
    listBox_->SetIntegralHeight(false);
    listBox_->SetBackgroundBrush(listBrush_.get());
    {
        LOGFONTW lf{};
        GetObjectW(skin_->Font(), sizeof lf, &lf);
        listFont_.reset(CreateFontIndirectW(&lf));
        listBox_->SetFont(listFont_.get());
    }
    listBox_->HandleNeeded();
    LayoutChildren();
    SetFocus(listBox_->Handle());
    AddTrayIcon();
}

void TFormPlayList::FormDestroy() {
    rebuild_.Drop();
    // The reader first: nothing it still brings may meet a record that is going.
    reading_.Stop();
    audioExtensions_.Clear();
    RemoveTrayIcon();
    if (Handle()) KillTimer(Handle(), kTimer1);
    if (listBox_) {
        TEntryLockGuard lock(entryLock_);
        for (int i = listBox_->Count() - 1; i >= 0; --i) {
            TRecordRef::FromWord(listBox_->Data(i)).Reset();
            listBox_->SetData(i, 0);
        }
    }
    steps_.History().Clear();  // the records only the history still held go with it
    listBox_.reset();
    skin_.reset();
    images_.reset();
}

void TFormPlayList::FormClose() {
    HostTogglePlaylistEditor();
    ShowWindow(Handle(), SW_HIDE);
}

void TFormPlayList::FormShow() { SetForegroundWindow(Handle()); }

void TFormPlayList::LayoutChildren() {
    if (!Handle()) return;
    RECT rc{};
    GetClientRect(Handle(), &rc);
    const int w = rc.right, h = rc.bottom;
    const int panel = controlPanelVisible_ ? kToolBarHeight : 0;
    if (toolBar_) {
        ShowWindow(toolBar_, controlPanelVisible_ ? SW_SHOWNA : SW_HIDE);
        MoveWindow(toolBar_, 0, h - kToolBarHeight, w, kToolBarHeight, TRUE);
    }
    if (spin_) {
        ShowWindow(spin_, controlPanelVisible_ ? SW_SHOWNA : SW_HIDE);
        SetWindowPos(spin_, HWND_TOP, 0, h - kToolBarHeight - 1, 18, 22, SWP_NOACTIVATE);
    }
    if (listBox_) listBox_->SetBounds(0, 0, w, std::max(0, h - panel));
}

void TFormPlayList::FormResize() {
    if (toolBar_ && labelTime_) {
        // The time label fills the space up to the eject button at the right end.
        RECT next{}, eject{}, bar{};
        SendMessageW(toolBar_, TB_GETRECT, ToolButtonCtrlNext, reinterpret_cast<LPARAM>(&next));
        SendMessageW(toolBar_, TB_GETRECT, ToolButtonCtrlEject, reinterpret_cast<LPARAM>(&eject));
        GetClientRect(toolBar_, &bar);
        int width = bar.right - next.right - (eject.right - eject.left) - 4;
        if (width < 4) width = 4;
        lengths_.PlaceLabels(labelTime_, timeFont_.get(), next.right, width);
        // Keep the eject button at the right end: its placeholder separator grows with the label.
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(width);
        SendMessageW(toolBar_, TB_SETBUTTONINFOW, kTimeSeparatorId, reinterpret_cast<LPARAM>(&info));
    }
    if (listBox_ && listBox_->Handle()) RepaintList();
}

void TFormPlayList::RepaintList() {
    ++repaintCount_;
    if (listBox_) listBox_->Invalidate();
    if (skin_) skin_->ClearChanged();
}

void TFormPlayList::SetFormFontName(const std::wstring& face) {
    LOGFONTW lf{};
    GetObjectW(formFont_.get(), sizeof lf, &lf);
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
    formFont_.reset(CreateFontIndirectW(&lf));
}

std::wstring TFormPlayList::FormFontName() const {
    LOGFONTW lf{};
    GetObjectW(formFont_.get(), sizeof lf, &lf);
    return lf.lfFaceName;
}

void TFormPlayList::ShowFromHost() {
    ShowWindow(Handle(), SW_SHOW);
}

void TFormPlayList::HideFromHost() { ShowWindow(Handle(), SW_HIDE); }

void TFormPlayList::AddTrayIcon() {
    NOTIFYICONDATAA nid{};
    nid.cbSize = 88;  // the original record: every shell accepts it
    nid.hWnd = Handle();
    nid.uID = kTrayIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kTrayCallback;
    nid.hIcon = PluginIcon(true);
    lstrcpynA(nid.szTip, "VelvetLister", 64);
    trayIconAdded_ = Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
}

void TFormPlayList::RemoveTrayIcon() {
    if (!trayIconAdded_ || !Handle()) return;
    NOTIFYICONDATAA nid{};
    nid.cbSize = 88;
    nid.hWnd = Handle();
    nid.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &nid);
    trayIconAdded_ = false;
}

LRESULT TFormPlayList::OnTrayIcon(LPARAM lp) {
    if (lp == WM_LBUTTONUP || lp == WM_RBUTTONUP || lp == WM_MBUTTONUP) {
        if (IsWindowVisible(Handle()))
            SetForegroundWindow(Handle());
        else
            HostTogglePlaylistEditor();
    }
    return 0;
}

void TFormPlayList::OnWindowPosChanging(WINDOWPOS* pos) {
    if (!pos || (pos->flags & SWP_NOMOVE)) return;
    int cx = pos->cx, cy = pos->cy;
    if (pos->flags & SWP_NOSIZE) {
        RECT r{};
        GetWindowRect(Handle(), &r);
        cx = r.right - r.left;
        cy = r.bottom - r.top;
    }
    SnapToScreenEdges(pos->x, pos->y, cx, cy, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                      snapDistance_);
}

LRESULT TFormPlayList::OnCopyData(const COPYDATASTRUCT* cds) {
    if (!cds || cds->dwData != kSkinNotification) return DefaultHandling(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(cds));
    std::string dir;
    if (HostGetSkin(dir)) ApplyHostSkin(dir);
    return 1;
}

void TFormPlayList::OnContextMenu(int x, int y) {
    if (x == -1 && y == -1) {
        RECT r{};
        GetWindowRect(Handle(), &r);
        x = r.left + 10;
        y = r.top + 10;
    }
    TrackPopupMenu(popupMenu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, Handle(), nullptr);
}

void TFormPlayList::AfterAlwaysOnTopChange() {
    // A new native window with the new creation parameters; the object, its
    // entries and the list's rows stay.
    RECT r{};
    GetWindowRect(Handle(), &r);
    const bool visible = IsWindowVisible(Handle()) != FALSE;
    wchar_t timeText[64] = {};
    if (labelTime_) GetWindowTextW(labelTime_, timeText, 64);
    // The caption names the playing entry; a new window would start with the bare name.
    std::wstring caption(static_cast<size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
    caption.resize(static_cast<size_t>(GetWindowTextW(Handle(), caption.data(), static_cast<int>(caption.size()))));
    KillTimer(Handle(), kTimer1);
    toolBar_ = spin_ = labelTime_ = labelHeight_ = nullptr;
    lengths_.Forget();
    DestroyNative();
    Create();
    SetWindowTextW(Handle(), caption.c_str());
    labelHeight_ = CreateWindowExW(0, L"STATIC", kHeightSample, WS_CHILD, 0, 0, 0, 0, Handle(), nullptr,
                                   ThisModule(), nullptr);
    SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (visible) {
        ShowWindow(Handle(), SW_SHOWNA);
        // The old window had the focus when the user switched; the new list takes it.
        if (listBox_ && listBox_->Handle()) SetFocus(listBox_->Handle());
    }
    ApplyListFont();
    SetLabelTime(timeText);  // the time shown goes on, not back to the start text
}

namespace {
// What the window may handle on the old rows while a rebuild's entries are
// being made: drawing, moving, the clock, the reading. Everything else (a
// command, a drop, a key, another program's message) comes after the rebuild.
bool MayPrecedeBuild(UINT msg) {
    switch (msg) {
    case WM_PAINT: case WM_ERASEBKGND: case WM_NCPAINT: case WM_DRAWITEM: case WM_MEASUREITEM:
    case WM_CTLCOLORLISTBOX: case WM_SETCURSOR: case WM_NCHITTEST: case WM_MOUSEMOVE: case WM_NCMOUSEMOVE:
    case WM_TIMER: case WM_GETFONT: case WM_GETTEXT: case WM_GETTEXTLENGTH: case WM_GETICON:
    case WM_MOVE: case WM_MOVING: case WM_SIZE: case WM_SIZING: case WM_GETMINMAXINFO: case WM_NCCALCSIZE:
    case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED: case WM_DESTROY: case WM_NCDESTROY:
    case WM_VL_READ_RESULTS: case WM_VL_READ_CHECK:
    case WM_VL_BUILD_PIECE: case WM_VL_TOTAL:
        return true;
    default:
        return false;
    }
}
}  // namespace

LRESULT TFormPlayList::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (rebuild_.Pending() && !MayPrecedeBuild(msg)) FinishBuild();
    LRESULT result = 0;
    if (ChildMessage(msg, wp, lp, result) || OwnMessage(msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_CLOSE:
        FormClose();
        return 0;
    case WM_SIZE:
        LayoutChildren();
        FormResize();
        return 0;
    case WM_SHOWWINDOW: {
        LRESULT r = DefaultHandling(msg, wp, lp);
        if (wp) FormShow();
        return r;
    }
    case WM_SETFOCUS:
        if (listBox_ && listBox_->Handle()) SetFocus(listBox_->Handle());
        return 0;
    case WM_GETMINMAXINFO: {
        LRESULT r = DefaultHandling(msg, wp, lp);
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        info->ptMinTrackSize.x = 275;
        info->ptMinTrackSize.y = 116;
        return r;
    }
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lp));
        return 0;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case WM_CONTEXTMENU:
        OnContextMenu(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        return 0;
    case WM_TIMER:
        if (wp == kTimer1) {
            Timer1Timer();
            return 0;
        }
        return DefaultHandling(msg, wp, lp);
    case WM_SETCURSOR:
        if (busyLoops_ > 0) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        return DefaultHandling(msg, wp, lp);
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(formFont_.get());
    default:
        return DefaultHandling(msg, wp, lp);
    }
}

// Messages of the children (the list, the spin button, menu images) and the
// commands; false leaves a message to the frame. result starts at 0.
bool TFormPlayList::ChildMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_CTLCOLORLISTBOX:
        if (!listBox_ || reinterpret_cast<HWND>(lp) != listBox_->Handle()) return false;
        result = reinterpret_cast<LRESULT>(listBrush_.get());
        return true;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (listBox_ && dis && dis->CtlType != ODT_MENU && dis->CtlID == kListId) {
            listBox_->DrawRequest(*dis);
            result = TRUE;
            return true;
        }
        result = TRUE;
        return dis && DrawMenuImage(*dis);
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (listBox_ && mis && mis->CtlType != ODT_MENU && mis->CtlID == kListId) {
            listBox_->MeasureRequest(*mis);
            result = TRUE;
            return true;
        }
        result = TRUE;
        return mis && MeasureMenuImage(*mis);
    }
    case WM_COMMAND:
        if (listBox_ && lp && reinterpret_cast<HWND>(lp) == listBox_->Handle()) {
            listBox_->CommandNotification(HIWORD(wp));
            return true;
        }
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return true;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (hdr && hdr->hwndFrom == spin_ && hdr->code == UDN_DELTAPOS) {
            auto* ud = reinterpret_cast<NMUPDOWN*>(lp);
            commands_.MoveSelected(ud->iDelta > 0 ? TMoveDirection::Up : TMoveDirection::Down);
            result = 1;  // the spin button keeps no position of its own
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

// The window's own messages: the tray icon, the reading, the rebuild's pieces.
bool TFormPlayList::OwnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case kTrayCallback:
        result = OnTrayIcon(lp);
        return true;
    case WM_VL_READ_RESULTS:
        reading_.InstallResults(false);
        return true;
    case WM_VL_READ_CHECK:
        reading_.Check();
        return true;
    case WM_VL_FINISH_READING:
        FinishReading(false);
        result = 1;
        return true;
    case WM_VL_BUILD_PIECE:
        rebuild_.OnPiece();
        return true;
    case WM_VL_TOTAL:
        lengths_.ShowTotal();
        return true;
    default:
        return false;
    }
}
