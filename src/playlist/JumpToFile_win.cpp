#include "playlist/JumpToFile_win.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "base/CaseFold_win.h"
#include "base/Text_win.h"
#include "base/Utf.h"
#include "playlist/PlayList_win.h"
#include "resources/resource.h"

namespace {

const TJumpToFileTexts kEnglish{L"Jump to file", L"Play", L"Close"};
const TJumpToFileTexts kJapanese{L"\x30D5\x30A1\x30A4\x30EB\x3078\x30B8\x30E3\x30F3\x30D7", L"\x518D\x751F",
                                 L"\x9589\x3058\x308B"};

// Puts the list's row handler back however the dialog ends.
class THandlerScope {
public:
    // The list's own handler still runs, after the dialog's.
    THandlerScope(TCustomPlayListBox& list, TNotifyEvent handler) : list_(list), saved_(std::move(list.OnRowsChanged)) {
        list_.OnRowsChanged = [this, handler = std::move(handler)](TCustomPlayListBox& l) {
            if (handler) handler(l);
            if (saved_) saved_(l);
        };
    }
    ~THandlerScope() { list_.OnRowsChanged = std::move(saved_); }
    THandlerScope(const THandlerScope&) = delete;
    THandlerScope& operator=(const THandlerScope&) = delete;

private:
    TCustomPlayListBox& list_;
    TNotifyEvent saved_;
};

}  // namespace

const TJumpToFileTexts& JumpToFileTexts(bool japanese) { return japanese ? kJapanese : kEnglish; }

TFormJumpToFile::TFormJumpToFile(TFormPlayList& form, bool japanese)
    : form_(form), index_(&FoldWide), japanese_(japanese) {}

int TFormJumpToFile::Execute() {
    TCustomPlayListBox& list = *form_.ListBox();
    THandlerScope scope(list, [this](TCustomPlayListBox&) {
        // Rows change in bursts (a rebuild, a drop): match once they are done.
        if (Handle() && !changePosted_) changePosted_ = PostMessageW(Handle(), WM_VL_ROWS_CHANGED, 0, 0) != FALSE;
    });
    result_ = -1;
    if (RunModal(IDD_JUMP_TO_FILE, form_.Handle()) != IDOK || result_ < 0) return -1;
    if (list.Revision() == revision_) return result_;
    // Changed after the choice: the same entry if it is still there.
    std::vector<int> all(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) all[static_cast<std::size_t>(i)] = i;
    const int row = FindChosen(all);
    return row < 0 ? -1 : row;
}

bool TFormJumpToFile::IsChosen(int i) const {
    const TMP3FileInfo* rec = i >= 0 && i < form_.ListBox()->Count() ? form_.Record(i) : nullptr;
    return rec && rec->EntryName() == TEntryName{chosenName_, chosenWide_};
}

int TFormJumpToFile::FindChosen(const std::vector<int>& among) const {
    if (!haveChoice_) return -1;
    auto it = std::lower_bound(among.begin(), among.end(), chosenIndex_);
    if (it != among.end() && *it == chosenIndex_ && IsChosen(chosenIndex_)) return static_cast<int>(it - among.begin());
    for (std::size_t k = 0; k < among.size(); ++k)
        if (IsChosen(among[k])) return static_cast<int>(k);
    return -1;
}

INT_PTR TFormJumpToFile::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return FALSE;  // the focus was set to the edit box
    case WM_VL_ROWS_CHANGED:
        changePosted_ = false;
        if (form_.ListBox()->Revision() != revision_) Reindex();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK: Play(); return TRUE;
        case IDCANCEL: EndDialog(Handle(), IDCANCEL); return TRUE;
        case IDC_JUMP_EDIT:
            if (HIWORD(wp) == EN_CHANGE) {
                if (form_.ListBox()->Revision() != revision_) Reindex();
                Rematch(false);
            }
            return TRUE;
        case IDC_JUMP_LIST:
            if (HIWORD(wp) == LBN_SELCHANGE) Choose(static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)));
            if (HIWORD(wp) == LBN_DBLCLK) Play();
            return TRUE;
        default: return FALSE;
        }
    case WM_DRAWITEM:
        if (wp != IDC_JUMP_LIST || !lp) return FALSE;
        DrawMatch(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    default: return FALSE;
    }
}

void TFormJumpToFile::OnInitDialog() {
    edit_ = GetDlgItem(Handle(), IDC_JUMP_EDIT);
    list_ = GetDlgItem(Handle(), IDC_JUMP_LIST);
    const TJumpToFileTexts& texts = JumpToFileTexts(japanese_);
    SetWindowTextW(Handle(), texts.Caption);
    SetDlgItemTextW(Handle(), IDOK, texts.Play);
    SetDlgItemTextW(Handle(), IDCANCEL, texts.Close);
    // The playlist window's font: it shows the captions of either language.
    const std::wstring face = form_.FormFontName();
    font_.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face.c_str()));
    if (font_) {
        for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        HDC dc = GetDC(list_);
        if (dc) {
            HGDIOBJ old = SelectObject(dc, font_.get());
            TEXTMETRICW tm{};
            if (GetTextMetricsW(dc, &tm)) SendMessageW(list_, LB_SETITEMHEIGHT, 0, MAKELPARAM(tm.tmHeight + 2, 0));
            SelectObject(dc, old);
            ReleaseDC(list_, dc);
        }
    }
    SetWindowSubclass(edit_, &TFormJumpToFile::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(list_, &TFormJumpToFile::ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
    // Said only now: a list without data of its own cannot be made with strings.
    SetWindowLongPtrW(list_, GWL_STYLE, GetWindowLongPtrW(list_, GWL_STYLE) | LBS_HASSTRINGS);
    PlaceOverOwner();
    Reindex();
    SetFocus(edit_);
}

void TFormJumpToFile::PlaceOverOwner() {
    RECT owner{}, dlg{};
    GetWindowRect(form_.Handle(), &owner);
    GetWindowRect(Handle(), &dlg);
    const int w = dlg.right - dlg.left, h = dlg.bottom - dlg.top;
    int x = owner.left + (owner.right - owner.left - w) / 2;
    int y = owner.top + (owner.bottom - owner.top - h) / 2;
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoW(MonitorFromWindow(form_.Handle(), MONITOR_DEFAULTTONEAREST), &mi)) {
        const RECT& work = mi.rcWork;
        x = std::max<int>(work.left, std::min<int>(x, work.right - w));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
    }
    SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormJumpToFile::Reindex() {
    const TCustomPlayListBox& list = *form_.ListBox();
    index_.Assign(
        list.Count(), [&](int i, std::u16string& out) { out = Utf8ToUtf16(list.Text(i)); },
        [&](int i, std::u16string& out) {
            const TMP3FileInfo* rec = form_.Record(i);
            if (!rec) return;
            // The wide name names the file as the host does; else the 8-bit one.
            if (!rec->Get(TInfoField::WideFileName).empty())
                out = rec->WideFileName();
            else
                out = WideToU16(AnsiToWide(std::string(rec->FileName())));
        });
    revision_ = list.Revision();
    Rematch(true);
}

void TFormJumpToFile::Rematch(bool keepChoice) {
    const int length = GetWindowTextLengthW(edit_);
    std::wstring wide(static_cast<std::size_t>(std::max(0, length)) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(std::max(0, GetWindowTextW(edit_, wide.data(), length + 1))));
    matches_ = index_.Match(WideToU16(wide));
    auto rowOf = [&](int entry) {
        auto it = std::lower_bound(matches_.begin(), matches_.end(), entry);
        return it != matches_.end() && *it == entry ? static_cast<int>(it - matches_.begin()) : -1;
    };
    int row = keepChoice ? FindChosen(matches_) : -1;
    if (row < 0 && form_.PlayingIndex() >= 0) row = rowOf(form_.PlayingIndex());
    if (row < 0 && !matches_.empty()) row = 0;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LB_SETCOUNT, matches_.size(), 0);
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);  // -1: no choice
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
    Choose(row);
}

void TFormJumpToFile::Choose(int row) {
    haveChoice_ = false;
    chosenName_.clear();
    chosenWide_ = false;
    if (row < 0 || row >= static_cast<int>(matches_.size())) return;
    chosenIndex_ = matches_[static_cast<std::size_t>(row)];
    const TMP3FileInfo* rec = form_.Record(chosenIndex_);
    haveChoice_ = rec != nullptr;
    if (!rec) return;
    const TEntryName name = rec->EntryName();
    chosenName_.assign(name.Text);
    chosenWide_ = name.Wide;
}

void TFormJumpToFile::Play() {
    // A change not yet matched (its notice still queued) is matched first.
    if (form_.ListBox()->Revision() != revision_) Reindex();
    const int row = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    if (row < 0 || row >= static_cast<int>(matches_.size())) return;
    Choose(row);
    result_ = matches_[static_cast<std::size_t>(row)];
    EndDialog(Handle(), IDOK);
}

std::string TFormJumpToFile::MatchText(int row) const {
    if (row < 0 || row >= static_cast<int>(matches_.size())) return {};
    const int e = matches_[static_cast<std::size_t>(row)];
    if (e >= form_.ListBox()->Count()) return {};
    return std::to_string(e + 1) + ". " + form_.ListBox()->Text(e);
}

void TFormJumpToFile::DrawMatch(const DRAWITEMSTRUCT& dis) const {
    HDC dc = dis.hDC;
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &dis.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (static_cast<int>(dis.itemID) >= 0) {
        const std::string text = MatchText(static_cast<int>(dis.itemID));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT r = dis.rcItem;
        r.left += 2;
        const std::wstring wide = Utf8ToWide(text);
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (dis.itemState & ODS_FOCUS) DrawFocusRect(dc, &dis.rcItem);
}

LRESULT CALLBACK TFormJumpToFile::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                           DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<TFormJumpToFile*>(data);
    if (msg == WM_KEYDOWN && (wp == VK_UP || wp == VK_DOWN || wp == VK_PRIOR || wp == VK_NEXT)) {
        // The choice moves while the typing goes on in the edit box.
        SendMessageW(self->list_, WM_KEYDOWN, wp, lp);
        return 0;
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &TFormJumpToFile::EditProc, id);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TFormJumpToFile::ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                           DWORD_PTR data) noexcept {
    // The native list holds no strings; readers (and screen readers) get the shown
    // texts, in UTF-16: the system translates them for ANSI readers.
    auto* self = reinterpret_cast<TFormJumpToFile*>(data);
    try {
        if (msg == LB_GETTEXTLEN || msg == LB_GETTEXT) {
            const int row = static_cast<int>(wp);
            if (row < 0 || row >= static_cast<int>(self->matches_.size())) return LB_ERR;
            const std::wstring text = ReaderText(self->MatchText(row));
            if (msg == LB_GETTEXTLEN) return ReaderTextLength(text);
            return lp ? CopyReaderText(text, reinterpret_cast<wchar_t*>(lp)) : LB_ERR;
        }
    } catch (...) {
        return LB_ERR;
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &TFormJumpToFile::ListProc, id);
    return DefSubclassProc(hwnd, msg, wp, lp);
}
