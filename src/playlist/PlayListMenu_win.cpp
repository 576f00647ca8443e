// The popup menu PopupMenuEdit and the control panel ToolBarControl: their
// items, captions, tags, shortcuts, images, and the dispatch of their clicks.
#include "playlist/PlayList_win.h"
#include <string>
#include <utility>
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"

namespace {
struct TMenuItemDef {
    UINT Id;
    int Tag;
    const wchar_t* Caption;
    const wchar_t* Shortcut;
};

// Every item with its designed caption, tag and shortcut.
const TMenuItemDef kItems[] = {
    {PopupItemPlayFile, -1, L"Play file(s)", L"Enter"},
    {PopupItemPlayBase, -1, L"Play control", nullptr},
    {PopupItemCtrlPrevious, 0, L"Previous", L"Z"},
    {PopupItemCtrlRewind, 1, L"Rewind", L"Shift+Z"},
    {PopupItemCtrlPlay, 2, L"Play", L"X"},
    {PopupItemCtrlPause, 3, L"Pause", L"C"},
    {PopupItemCtrlStop, 4, L"Stop", L"V"},
    {PopupItemCtrlForward, 5, L"Forward", L"Shift+B"},
    {PopupItemCtrlNext, 6, L"Next", L"B"},
    {PopupItemCtrlEject, -1, L"Eject", nullptr},
    {PopupItemUndo, -1, L"Undo", L"Alt+Backspace"},
    {PopupItemRedo, -1, L"Redo", L"Ctrl+Y"},
    {PopupItemAddBase, -1, L"Add", nullptr},
    {PopupItemAddFile, -1, L"Add File...", L"Ins"},
    {PopupItemAddFolder, -1, L"Add Directory...", L"Ctrl+Ins"},
    {PopupItemAddURL, -1, L"Add URL...", nullptr},
    {PopupItemDeleteBase, -1, L"Delete", nullptr},
    {PopupItemDeleteFile, 0, L"Remove file(s)", L"Del"},
    {PopupItemDeleteCrop, 1, L"Crop file(s)", L"Ctrl+Del"},
    {PopupItemDeleteAll, 2, L"Remove all", nullptr},
    {PopupItemDeleteDuplicates, -1, L"Remove duplicates", nullptr},
    {PopupItemDeleteDeadFiles, -1, L"Remove dead files", nullptr},
    {PopupItemSelectBase, -1, L"Select", nullptr},
    {PopupItemSelectAll, 0, L"&Select all", L"Ctrl+A"},
    {PopupItemSelectClear, 1, L"&Unselect all", nullptr},
    {PopupItemSelectInverse, 2, L"&Inverse selection", nullptr},
    {PopupItemSortBase, -1, L"Sort", nullptr},
    {PopupItemSortTitle, 0, L"Sort list by &Title", nullptr},
    {PopupItemSortFilename, 1, L"Sort list by &Filename", nullptr},
    {PopupItemSortPath, 2, L"Sort list by &Path && Filename", nullptr},
    {PopupItemSortReverse, 3, L"R&everse list", L"Ctrl+R"},
    {PopupItemSortRandomize, 4, L"&Raandomize list", L"Ctrl+Z"},
    {PopupItemSaveList, -1, L"Save list...", L"Ctrl+S"},
    {PopupItemInfoBase, -1, L"Information", nullptr},
    {PopupItemFileInfo, -1, L"File Info", L"Alt+3"},
    {PopupItemPlaylistEntry, -1, L"Playlist Entry", L"Ctrl+E"},
    {PopupItemShowControlPanel, -1, L"Show control panel", nullptr},
    {PopupItemAutomaticShowPL, -1, L"Automatic show originl playlist", nullptr},
    {PopupItemAutomaticShowEQ, -1, L"Automatic show equalizer", nullptr},
    {PopupItemAOT, -1, L"Always on top", L"Ctrl+T"},
    {LaunchtheControlpanel1, -1, L"Launch the Control panel", L"Ctrl+P"},
    {PopupItemJumpToFile, -1, L"Jump to file...", L"Ctrl+F"},
};

const TMenuItemDef* Find(UINT id) {
    for (const auto& d : kItems)
        if (d.Id == id) return &d;
    return nullptr;
}

std::wstring Label(const TMenuItemDef& d, const std::wstring& caption) {
    return d.Shortcut ? caption + L"\t" + d.Shortcut : caption;
}

void Append(HMENU menu, UINT id, UINT flags = 0, HMENU sub = nullptr) {
    const TMenuItemDef* d = Find(id);
    std::wstring text = Label(*d, d->Caption);
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | (sub ? MIIM_SUBMENU : 0);
    mi.wID = id;
    mi.dwTypeData = text.data();
    mi.fState = flags;
    mi.hSubMenu = sub;
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mi);
}

void Separator(HMENU menu) { AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); }

// The eight 14 x 14 images: previous, rewind, play, pause, stop, forward, next, eject.
void DrawGlyph(HDC dc, int index) {
    TBrush ink(CreateSolidBrush(RGB(32, 32, 48)));
    TSelectGuard brush(dc, ink.get());
    TSelectGuard pen(dc, GetStockObject(NULL_PEN));
    auto tri = [&](int x0, int y0, int x1, int y1, int x2, int y2) {
        POINT p[3] = {{x0, y0}, {x1, y1}, {x2, y2}};
        Polygon(dc, p, 3);
    };
    auto bar = [&](int l, int t, int r, int b) { Rectangle(dc, l, t, r + 1, b + 1); };
    switch (index) {
    case 0: bar(2, 3, 3, 11); tri(11, 3, 11, 11, 4, 7); break;             // previous
    case 1: tri(7, 3, 7, 11, 1, 7); tri(13, 3, 13, 11, 7, 7); break;       // rewind
    case 2: tri(4, 2, 4, 12, 11, 7); break;                                // play
    case 3: bar(3, 3, 5, 11); bar(8, 3, 10, 11); break;                    // pause
    case 4: bar(3, 3, 10, 10); break;                                      // stop
    case 5: tri(1, 3, 1, 11, 7, 7); tri(7, 3, 7, 11, 13, 7); break;        // forward
    case 6: tri(3, 3, 3, 11, 10, 7); bar(10, 3, 11, 11); break;            // next
    case 7: tri(2, 8, 12, 8, 7, 2); bar(2, 10, 11, 11); break;             // eject
    default: break;
    }
}

// The play-control items and their images in the tool bar's image list.
const std::pair<UINT, int> kItemImages[] = {
    {PopupItemPlayFile, 2},    {PopupItemCtrlPrevious, 0}, {PopupItemCtrlRewind, 1},
    {PopupItemCtrlPlay, 2},    {PopupItemCtrlPause, 3},    {PopupItemCtrlStop, 4},
    {PopupItemCtrlForward, 5}, {PopupItemCtrlNext, 6},     {PopupItemCtrlEject, 7},
};

constexpr COLORREF kImageKey = RGB(255, 0, 255);

// The tool bar image a menu item shows; -1 for none.
int MenuImageOf(UINT item) {
    for (const auto& [id, image] : kItemImages)
        if (id == item) return image;
    return -1;
}

TImageList MakeImages() {
    TImageList list(ImageList_Create(14, 14, ILC_COLOR24 | ILC_MASK, 8, 0));
    TClientDc screen(nullptr);
    TMemoryDc dc(CreateCompatibleDC(screen.get()));
    for (int i = 0; i < 8; ++i) {
        TBitmap bmp(CreateCompatibleBitmap(screen.get(), 14, 14));
        {
            TSelectGuard into(dc.get(), bmp.get());
            RECT r{0, 0, 14, 14};
            TBrush key(CreateSolidBrush(kImageKey));
            FillRect(dc.get(), &r, key.get());
            DrawGlyph(dc.get(), i);
        }
        ImageList_AddMasked(list.get(), bmp.get(), kImageKey);
    }
    return list;
}
}  // namespace

int MenuItemTag(UINT item) {
    switch (item) {
    case ToolButtonCtrlPrev: return 0;
    case ToolButtonCtrlPlay: return 2;
    case ToolButtonCtrlPause: return 3;
    case ToolButtonCtrlStop: return 4;
    case ToolButtonCtrlNext: return 6;
    default: break;
    }
    const TMenuItemDef* d = Find(item);
    return d ? d->Tag : -1;
}

void TFormPlayList::CreateMenu() {
    HMENU root = CreatePopupMenu();
    HMENU play = CreatePopupMenu();
    for (UINT id = PopupItemCtrlPrevious; id <= PopupItemCtrlNext; ++id) Append(play, id);
    Separator(play);
    Append(play, PopupItemCtrlEject);
    HMENU add = CreatePopupMenu();
    Append(add, PopupItemAddFile);
    Append(add, PopupItemAddFolder);
    Append(add, PopupItemAddURL);
    HMENU del = CreatePopupMenu();
    Append(del, PopupItemDeleteFile);
    Append(del, PopupItemDeleteCrop);
    Append(del, PopupItemDeleteAll);
    Separator(del);
    Append(del, PopupItemDeleteDuplicates);
    Append(del, PopupItemDeleteDeadFiles);
    HMENU sel = CreatePopupMenu();
    Append(sel, PopupItemSelectAll);
    Append(sel, PopupItemSelectClear);
    Append(sel, PopupItemSelectInverse);
    HMENU sort = CreatePopupMenu();
    Append(sort, PopupItemSortTitle);
    Append(sort, PopupItemSortFilename);
    Append(sort, PopupItemSortPath);
    Separator(sort);
    Append(sort, PopupItemSortReverse);
    Append(sort, PopupItemSortRandomize);
    HMENU info = CreatePopupMenu();
    Append(info, PopupItemFileInfo);
    Append(info, PopupItemPlaylistEntry, MFS_DISABLED);

    Append(root, PopupItemPlayFile);
    Append(root, PopupItemPlayBase, 0, play);
    Append(root, PopupItemJumpToFile);
    Append(root, PopupItemUndo, MFS_DISABLED);
    Append(root, PopupItemRedo, MFS_DISABLED);
    Separator(root);  // N2
    Append(root, PopupItemAddBase, 0, add);
    Append(root, PopupItemDeleteBase, 0, del);
    Append(root, PopupItemSelectBase, 0, sel);
    Append(root, PopupItemSortBase, 0, sort);
    Append(root, PopupItemSaveList);
    Append(root, PopupItemInfoBase, 0, info);
    Separator(root);  // N4
    Append(root, PopupItemShowControlPanel, MFS_CHECKED);
    Append(root, PopupItemAutomaticShowPL);
    Append(root, PopupItemAutomaticShowEQ);
    Append(root, PopupItemAOT);
    Separator(root);  // N5
    Append(root, LaunchtheControlpanel1);
    popupMenu_.reset(root);
    playSub_ = play;
}

void TFormPlayList::CreateToolBar() {
    toolBar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT |
                                   TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                               0, 0, 0, 20, Handle(), nullptr, ThisModule(), nullptr);
    SendMessageW(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (!images_) images_ = MakeImages();
    SendMessageW(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
    SendMessageW(toolBar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(21, 20));
    SendMessageW(toolBar_, TB_SETINDENT, 0, 0);
    TBBUTTON buttons[] = {
        {22, static_cast<int>(ToolButtonSpinPlaceholder), 0, BTNS_SEP, {}, 0, 0},  // spin button + spacer
        {0, static_cast<int>(ToolButtonCtrlPrev), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {2, static_cast<int>(ToolButtonCtrlPlay), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {3, static_cast<int>(ToolButtonCtrlPause), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {4, static_cast<int>(ToolButtonCtrlStop), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {6, static_cast<int>(ToolButtonCtrlNext), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {4, static_cast<int>(kTimeSeparatorId), 0, BTNS_SEP, {}, 0, 0},  // the time label's place
        {7, static_cast<int>(ToolButtonCtrlEject), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    };
    SendMessageW(toolBar_, TB_ADDBUTTONS, sizeof buttons / sizeof buttons[0], reinterpret_cast<LPARAM>(buttons));
    spin_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 18, 22, Handle(), nullptr,
                            ThisModule(), nullptr);
    SendMessageW(spin_, UDM_SETRANGE32, static_cast<WPARAM>(-1000000), 1000000);
    if (!timeFont_)
        // A positive height asks for the cell height, internal leading included.
        timeFont_.reset(CreateFontW(22, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH, L"Arial"));
    const std::wstring caption = elapsed_.BlinkText.empty() && elapsed_.Second == 0 ? L"00:00" : L"";
    labelTime_ = CreateWindowExW(0, L"STATIC", L"00:00",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | SS_RIGHT | SS_NOPREFIX, 0, 0, 4, 22,
                                 toolBar_, nullptr, ThisModule(), nullptr);
    SendMessageW(labelTime_, WM_SETFONT, reinterpret_cast<WPARAM>(timeFont_.get()), FALSE);
    lengths_.CreateLabel(labelTime_);
    if (!controlPanelVisible_) {
        ShowWindow(toolBar_, SW_HIDE);
        ShowWindow(spin_, SW_HIDE);
    }
}

// The play-control items draw their images from the tool bar's image list when
// the menu asks: unlike a menu bitmap, that keeps the images' transparency on
// every system and on a highlighted item.
void TFormPlayList::SetMenuImages() {
    for (const auto& [item, image] : kItemImages) {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_BITMAP;
        mi.hbmpItem = HBMMENU_CALLBACK;
        SetMenuItemInfoW(popupMenu_.get(), item, FALSE, &mi);
    }
}

bool TFormPlayList::MeasureMenuImage(MEASUREITEMSTRUCT& mis) const {
    int cx = 0, cy = 0;
    if (mis.CtlType != ODT_MENU || MenuImageOf(mis.itemID) < 0 || !ImageList_GetIconSize(images_.get(), &cx, &cy))
        return false;
    mis.itemWidth = static_cast<UINT>(cx);
    mis.itemHeight = static_cast<UINT>(cy);
    return true;
}

bool TFormPlayList::DrawMenuImage(const DRAWITEMSTRUCT& dis) const {
    const int image = dis.CtlType == ODT_MENU ? MenuImageOf(dis.itemID) : -1;
    int cx = 0, cy = 0;
    if (image < 0 || !ImageList_GetIconSize(images_.get(), &cx, &cy)) return false;
    const RECT& r = dis.rcItem;
    ImageList_Draw(images_.get(), image, dis.hDC, r.left + (r.right - r.left - cx) / 2, r.top + (r.bottom - r.top - cy) / 2,
                   ILD_TRANSPARENT);
    return true;
}

bool TFormPlayList::IsChecked(UINT item) const {
    if (!popupMenu_) return item == PopupItemShowControlPanel;
    return (GetMenuState(popupMenu_.get(), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void TFormPlayList::SetChecked(UINT item, bool on) {
    CheckMenuItem(popupMenu_.get(), item, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

bool TFormPlayList::IsEnabled(UINT item) const {
    return (GetMenuState(popupMenu_.get(), item, MF_BYCOMMAND) & (MF_DISABLED | MF_GRAYED)) == 0;
}

void TFormPlayList::SetMenuCaption(UINT item, const std::wstring& caption) {
    const TMenuItemDef* d = Find(item);
    if (!d) return;
    std::wstring text = Label(*d, caption);
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STRING;
    mi.dwTypeData = text.data();
    SetMenuItemInfoW(popupMenu_.get(), item, FALSE, &mi);
}

std::wstring TFormPlayList::MenuCaption(UINT item) const {
    wchar_t buffer[256] = {};
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STRING;
    mi.dwTypeData = buffer;
    mi.cch = 255;
    GetMenuItemInfoW(popupMenu_.get(), item, FALSE, &mi);
    std::wstring s(buffer);
    size_t tab = s.find(L'\t');
    return tab == std::wstring::npos ? s : s.substr(0, tab);
}

void TFormPlayList::OnCommand(WORD id, WORD code, HWND control) {
    if (control && control == toolBar_) {
        if (id == ToolButtonCtrlEject) files_.ToolButtonCtrlEjectClick();
        else if (MenuItemTag(id) >= 0) ToolButtonCtrlPrevClick(MenuItemTag(id));
        return;
    }
    if (!control && code == 0) ClickMenuItem(id);
}

void TFormPlayList::ClickMenuItem(UINT item) {
    FinishBuild();
    const int tag = MenuItemTag(item);
    switch (item) {
    case PopupItemPlayFile: commands_.PlayCaretEntry(); break;
    case PopupItemCtrlPrevious: case PopupItemCtrlRewind: case PopupItemCtrlPlay: case PopupItemCtrlPause:
    case PopupItemCtrlStop: case PopupItemCtrlForward: case PopupItemCtrlNext:
        HostTransport(tag);  // PopupItemCtrlPreviousClick
        break;
    case PopupItemCtrlEject: files_.ToolButtonCtrlEjectClick(); break;
    case PopupItemAddFile: files_.PopupItemAddFileClick(); break;
    case PopupItemAddFolder: files_.PopupItemAddFolderClick(); break;
    case PopupItemAddURL: files_.PopupItemAddURLClick(); break;
    case PopupItemSaveList: files_.PopupItemSaveListClick(); break;
    case PopupItemDeleteFile: case PopupItemDeleteCrop: case PopupItemDeleteAll:
        commands_.RemoveEntries(static_cast<TRemoveMode>(tag));  // PopupItemDeleteFileClick
        break;
    case PopupItemDeleteDuplicates: commands_.RemoveDuplicates(); break;
    case PopupItemUndo: steps_.Undo(); break;
    case PopupItemRedo: steps_.Redo(); break;
    case PopupItemDeleteDeadFiles: commands_.RemoveDeadFiles(); break;
    case PopupItemSelectAll: case PopupItemSelectClear: case PopupItemSelectInverse:
        // PopupItemSelectAllClick: the host is not involved.
        if (listBox_->Count() > 0) ChangeSelection(*listBox_, static_cast<TSelectCommand>(tag));
        break;
    case PopupItemSortTitle: case PopupItemSortFilename: case PopupItemSortPath:
    case PopupItemSortReverse: case PopupItemSortRandomize:
        commands_.SortCommand(static_cast<TSortCommand>(tag));  // PopupItemSortTitleClick
        break;
    case PopupItemFileInfo: HostShowFileInfo(); break;
    case PopupItemJumpToFile: commands_.JumpToFile(); break;
    case PopupItemShowControlPanel:
        SetChecked(item, !IsChecked(item));
        controlPanelVisible_ = IsChecked(item);
        LayoutChildren();
        FormResize();
        break;
    case PopupItemAutomaticShowPL: case PopupItemAutomaticShowEQ:
        // Takes effect the next time a host skin is applied.
        SetChecked(item, !IsChecked(item));
        break;
    case PopupItemAOT:
        RemoveTrayIcon();
        SetChecked(item, !IsChecked(item));
        AfterAlwaysOnTopChange();
        Plugin.Notices.Raise({TNotice::StayOnTopChanged, IsChecked(item)});
        AddTrayIcon();  // for the new window handle
        break;
    case LaunchtheControlpanel1:
        Plugin.Notices.Raise({TNotice::ShowPreferences});
        break;
    default: break;  // disabled items without an action
    }
}
