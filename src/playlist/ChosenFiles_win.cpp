// Adding chosen files and folders: the open dialog (several files, the
// player's filters) and the folder dialog, the names sorted as the sort
// commands sort, then added as dropped names are.
#include "playlist/ListFiles_win.h"
#include "playlist/PlayList_win.h"
#include "playlist/PlayListParts_win.h"
#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <exception>
#include <list>
#include <map>
#include "base/Collation_win.h"
#include "base/Text_win.h"
#include "host/CommonLib_win.h"
#include "host/HostOps_win.h"
#include "host/ListFileTexts_win.h"
#include "host/PluginState_win.h"
#include "playlist/SkinApply_win.h"

bool IsSkinFileName(const std::string& path);

namespace {
std::wstring CurrentDirectory() {
    wchar_t buffer[MAX_PATH * 4] = {};
    DWORD n = GetCurrentDirectoryW(MAX_PATH * 4, buffer);
    return n > 0 && n < MAX_PATH * 4 ? std::wstring(buffer, n) : std::wstring();
}

// The open dialog's filters, and the first of its options.
const wchar_t kOpenFilter[] =
    L"All supported files\0*.*\0"
    L"Playlist Files\0*.m3u;*.pls;*.asx\0"
    L"CDDA Audio\0*.cda\0"
    L"MIDI Audio\0*.mid\0"
    L"Impulse Tracker Modules\0*.it\0"
    L"xEtended Modules\0*.xm\0"
    L"Screamtracker Modules\0*.s3m;*.stm\0"
    L"Protracker Module\0*.mod\0"
    L"Other Module Type\0*.mtm;*.dsm;*.med;*.far;*.ult;*.669\0"
    L"MPEG Audio Files\0*.mpg;*.mp2;*.mp3\0"
    L"Creative Labs Voice Files\0*.voc\0"
    L"Microsoft Waveform Audio Files\0*.wav\0"
    L"WatermarkSkins\0*.wsc;VelvetLister.txt;*.bmp\0"
    L"All files\0*.*\0";

// Room for the chosen files' names, in characters.
constexpr size_t kOpenBufferStart = 64 * 1024;
constexpr size_t kOpenBufferLimit = 16 * 1024 * 1024;
constexpr int kFileNameBox = 0x47C;   // cmb13 of the explorer-style dialog
constexpr int kFileNameEdit = 0x480;  // edt1, where a layout has no combo box

// The buffers handed to one run of the open dialog. A buffer the dialog may
// still point to is never freed before the dialog has returned.
struct TOpenBuffers {
    std::list<std::vector<wchar_t>> Chars;
};

// Before the dialog acts on OK, the buffer is made large enough for every name
// in its file-name box plus the folder: some dialogs copy the names without
// checking the size (Wine's overruns the buffer), others report it too small.
LRESULT CALLBACK OpenDialogSubclass(HWND dlg, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) noexcept {
    try {
        auto* ofn = reinterpret_cast<OPENFILENAMEW*>(data);
        if (msg == WM_COMMAND && LOWORD(wp) == IDOK && ofn && ofn->lCustData) {
            HWND names = GetDlgItem(dlg, kFileNameBox);
            if (!names) names = GetDlgItem(dlg, kFileNameEdit);
            const size_t needed = static_cast<size_t>(std::max(0, GetWindowTextLengthW(names))) + 2 * MAX_PATH + 2;
            if (needed > ofn->nMaxFile && needed <= kOpenBufferLimit) {
                auto* buffers = reinterpret_cast<TOpenBuffers*>(ofn->lCustData);
                std::vector<wchar_t>& grown = buffers->Chars.emplace_back(needed, L'\0');
                ofn->lpstrFile = grown.data();
                ofn->nMaxFile = static_cast<DWORD>(grown.size());
            }
        }
        if (msg == WM_NCDESTROY) RemoveWindowSubclass(dlg, &OpenDialogSubclass, id);
    } catch (...) {
        // Nothing leaves a window procedure; the dialog then goes on as it would.
    }
    return DefSubclassProc(dlg, msg, wp, lp);
}

// The hook's child dialog gets the dialog's record first; through it the dialog
// itself is watched.
UINT_PTR CALLBACK OpenDialogHook(HWND hook, UINT msg, WPARAM, LPARAM lp) noexcept {
    if (msg == WM_INITDIALOG) SetWindowSubclass(GetParent(hook), &OpenDialogSubclass, 1, static_cast<DWORD_PTR>(lp));
    return 0;
}

bool RunOpenDialog(HWND owner, const std::wstring& title, std::vector<std::wstring>& chosen, const std::wstring& dir) {
    size_t size = kOpenBufferStart;
    TOpenBuffers buffers;
    OPENFILENAMEW ofn{};
    for (;;) {
        buffers.Chars.clear();
        std::vector<wchar_t>& buffer = buffers.Chars.emplace_back(size, L'\0');
        ofn = OPENFILENAMEW{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = kOpenFilter;
        ofn.nFilterIndex = 10;
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
        ofn.lpstrTitle = title.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                    OFN_ENABLESIZING | OFN_NOCHANGEDIR | OFN_ENABLEHOOK;
        ofn.lCustData = reinterpret_cast<LPARAM>(&buffers);
        ofn.lpfnHook = &OpenDialogHook;
        if (GetOpenFileNameW(&ofn)) break;
        // Too many files for the buffer is no cancel: the dialog has already
        // closed, so say so and ask again with room for them.
        if (CommDlgExtendedError() != FNERR_BUFFERTOOSMALL) return false;
        if (size >= kOpenBufferLimit) {
            ShowErrorBox(owner, "Too many files were chosen at once. Choose fewer files, or add their folder "
                                "with \"Add Directory...\".", MB_ICONWARNING);
            return false;
        }
        // The first character holds the size needed, but only its low 16 bits.
        const size_t needed = static_cast<size_t>(static_cast<unsigned short>(ofn.lpstrFile[0])) + 2;
        size = std::min(kOpenBufferLimit, std::max(needed, size * 4));
        ShowErrorBox(owner, "More files were chosen than the dialog could hand over at once. "
                            "Please choose them again: there is room for them now.", MB_ICONINFORMATION);
    }
    // One file: its full path. Several: the folder, then each name; double NUL ends.
    const wchar_t* result = ofn.lpstrFile;
    std::wstring first(result);
    const wchar_t* p = result + first.size() + 1;
    if (*p == L'\0') {
        chosen.push_back(first);
    } else {
        std::wstring folder = first;
        if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
        while (*p) {
            std::wstring name(p);
            chosen.push_back(folder + name);
            p += name.size() + 1;
        }
    }
    return true;
}

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

bool RunFolderDialog(HWND owner, std::wstring& chosen, const std::wstring& startW) {
    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW bi{};
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NONEWFOLDERBUTTON;
    bi.lpfn = &BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(startW.c_str());
    // The shell's chooser needs COM on this thread, and the player never set it up.
    TComApartment com;
    LPITEMIDLIST pidl = SHBrowseForFolderW(&bi);
    if (!pidl) return false;
    wchar_t path[MAX_PATH * 2] = {};
    bool ok = SHGetPathFromIDListW(pidl, path) != FALSE;
    CoTaskMemFree(pidl);
    if (ok) chosen = path;
    return ok;
}

// A chosen name in 8-bit text: on a host that keeps wide names, as that host
// gives it ("?" for what the code page lacks); otherwise as before.
std::string ChosenAnsiName(const std::wstring& wide) {
    return Plugin.HostUnicodeNames ? WideToAnsiName(wide) : WideToAnsi(wide);
}
}  // namespace

std::wstring OpenDialogTitle = L"Open file(s)";

void TListFiles::ToolButtonCtrlEjectClick() { AddChosenFiles(OpenDialogTitle, true); }

void TListFiles::PopupItemAddFileClick() {
    AddChosenFiles(ListFileTexts(Plugin.JapaneseCaptions).AddFileDialogTitle, false);
}

void TListFiles::AddChosenFiles(const std::wstring& title, bool replace) {
    if (openDialogInitialDir_.empty()) openDialogInitialDir_ = CurrentDirectory();
    std::vector<std::wstring> chosenWide;
    const bool ok = RunOpenDialog(form_.Handle(), title, chosenWide, openDialogInitialDir_);
    if (!ok || chosenWide.empty()) return;
    // Kept wide: the folder's 8-bit name may not name it.
    openDialogInitialDir_ = Utf8ToWide(ExtractPathFolder(WideToUtf8(chosenWide.front()), Utf8PathText()));
    // The names are sorted in 8-bit text; each keeps its wide form for a host that takes it.
    std::vector<std::string> chosen;
    std::multimap<std::string, std::wstring> wideOf;
    chosen.reserve(chosenWide.size());
    for (std::wstring& w : chosenWide) {
        chosen.push_back(ChosenAnsiName(w));
        if (Plugin.HostUnicodeNames) wideOf.emplace(chosen.back(), std::move(w));
    }
    chosenWide.clear();
    std::string skin;
    TEntryList entries;
    // An unreadable playlist file aborts the collecting, but what was collected
    // up to then still goes into the list and a chosen skin is still applied;
    // the error is reported afterwards.
    std::exception_ptr failure;
    try {
        TScanScope scan(form_.adding_);
        // The same quicksort and collation as the sort commands.
        SortTexts(chosen, UserCollation());
        for (const std::string& path : chosen) {
            if (scan.Scan().Cancelled()) break;
            std::wstring wide;
            if (auto it = wideOf.find(path); it != wideOf.end()) {
                wide = std::move(it->second);
                wideOf.erase(it);
            }
            if (IsSkinFileName(path))
                skin = path;
            else
                form_.adding_.AddPath(entries, path, true, wide);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    chosen.clear();
    try {
        if (entries.Count() > 0 && replace) {
            form_.ReplaceEntries(entries.Take());
            // The old mark names a row of the old list: no push may send the host there.
            form_.playingIndex_ = -1;
            form_.PushListToHost();
            HostPlayEntry(0);
        } else if (entries.Count() > 0) {
            form_.InsertEntries(-1, entries.Take());
            form_.PushListToHost();
        }
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    if (!skin.empty()) ApplySkinFile(skin);
    if (failure) std::rethrow_exception(failure);
}

void TListFiles::PopupItemAddFolderClick() {
    const std::wstring start = openDialogInitialDir_.empty() ? CurrentDirectory() : openDialogInitialDir_;
    std::wstring chosenWide;
    const bool ok = RunFolderDialog(form_.Handle(), chosenWide, start);
    if (!ok) return;
    const std::string chosen = ChosenAnsiName(chosenWide);
    openDialogInitialDir_ = chosenWide;
    form_.adding_.AddFolderInBackground(chosen, Plugin.HostUnicodeNames ? chosenWide : std::wstring());
}
