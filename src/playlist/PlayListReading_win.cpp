// Waiting while the GUI thread is busy, and entries added in the background:
// a folder walked on the reader thread, its entries put in as they come.
#include "playlist/PlayList_win.h"
#include "playlist/PlayListParts_win.h"

#include <algorithm>
#include <new>

#include "base/Text_win.h"
#include "base/Window_win.h"
#include "host/PluginState_win.h"
#include "fileinfo/TagReaders.h"
#include "reading/TagReaderThread_win.h"
#include "entries/TitleFormat.h"

namespace {
// Installing results takes at most this long before the thread goes back to
// its other messages (and comes back by a posted message).
constexpr double kBatchMs = 10.0;
constexpr std::size_t kResultsAtOnce = 32;
// A wait for titles looks at its messages and at Esc at least this often.
constexpr DWORD kWaitMs = 15;
}  // namespace

double NowMs() {
    LARGE_INTEGER f{}, t{};
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return f.QuadPart ? static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart) : 0.0;
}

namespace {
bool IsInput(UINT msg) {
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
           (msg >= WM_NCMOUSEMOVE && msg <= WM_NCXBUTTONDBLCLK);
}

// The playlist window, its children, the preferences: every window of this module.
bool IsPlugInWindow(HWND h) {
    const HWND root = h ? GetAncestor(h, GA_ROOT) : nullptr;
    return root && reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(root, GWLP_HINSTANCE)) == ThisModule();
}
}  // namespace

bool EscapeWhileBusy() {
    // A press someone posted shows only as a posted message, not in the
    // queue's key status: looked for in the queue itself (which runs the
    // messages sent to this thread, as the busy loop does anyway).
    MSG m;
    if (PeekMessageW(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) && m.wParam == VK_ESCAPE) {
        PeekMessageW(&m, m.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
        return true;
    }
    return EscapeKeyPressed();
}

bool RunMessagesWhileBusy() {
    const double until = NowMs() + kBatchMs;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));  // for the player's own loop
            return false;
        }
        if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) return false;
        if (IsInput(m.message) && IsPlugInWindow(m.hwnd)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
        if (NowMs() >= until) break;  // the caller looks at its work and at the key again
    }
    return true;
}

// Waits, with the wait cursor, until every entry's tags are in, the window
// handling its messages meanwhile (RunMessagesWhileBusy); false when Esc, the
// player quitting or the window going ended the wait first (the reading goes
// on). Without escapeCancels (the tests' message) no message is run.
bool TFormPlayList::FinishReading(bool escapeCancels) {
    if (!listBox_) return true;
    FinishBuild();
    return reading_.Finish(escapeCancels);
}

namespace {
// Names put into the list at once between two looks for Esc.
constexpr std::size_t kNamesAtOnce = 256;

bool StopAdding(HWND window) { return Plugin.HostGone || !IsWindow(window) || EscapeWhileBusy(); }
}  // namespace

void TEntryAdding::AddFolderInBackground(const std::string& folder, const std::wstring& wide) {
    if (!form_.listBox_ || scanningFolder_) return;
    TUndoStep step(form_);
    const int added = AddInBackground({TFoundFile{folder, wide}}, -1, false);
    if (Plugin.HostGone || !form_.listBox_) return;
    step.Commit();
    if (added > 0) form_.PushListToHost();
}

void TEntryAdding::PutEntries(TBackgroundAdd& add, TEntryList& entries) {
    // An addition shows its entries as they are found; a replacing one keeps
    // the list until it has them all.
    const int k = entries.Count();
    if (k == 0) return;
    if (add.Replace) {
        add.Replacing.Append(entries);
    } else {
        if (add.First < 0) add.First = add.At < 0 || add.At >= form_.listBox_->Count() ? form_.listBox_->Count() : add.At;
        form_.InsertEntries(add.First + add.Added, entries.Take(), false);
    }
    add.Added += k;
}

bool TEntryAdding::AddFolderFromReader(TBackgroundAdd& add, const TFoundFile& folder, HWND window) {
    // Esc ends the command at any moment until the last name is in, whichever
    // thread is at work: the walk may be over long before this thread has put
    // what it found. Names found and not put yet go with it.
    form_.reading_.Reader().StartScan(TFolderScan{folder.Path, folder.Wide, form_.audioExtensions_});
    for (;;) {
        bool done = false, failed = false;
        const std::vector<TFoundFile> found = form_.reading_.Reader().TakeFound(done, failed);
        for (std::size_t k = 0; k < found.size(); k += kNamesAtOnce) {
            if (StopAdding(window)) return false;
            TEntryList entries;
            for (std::size_t j = k; j < std::min(found.size(), k + kNamesAtOnce); ++j) AddFoundFile(entries, found[j]);
            PutEntries(add, entries);
        }
        if (failed) throw std::bad_alloc();  // the tree was not walked to its end
        if (done) return true;
        if (StopAdding(window)) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 15, QS_ALLINPUT);
        if (!RunMessagesWhileBusy() || !form_.reading_.HasReader() || !form_.listBox_) return false;
    }
}

int TEntryAdding::AddInBackground(const std::vector<TFoundFile>& names, int at, bool replace) {
    if (!form_.listBox_) return 0;
    form_.reading_.Reader();
    TBackgroundAdd add{at, replace};
    // The window takes no input meanwhile (as under a dialog), so nothing
    // edits the list while it grows; the player, painting and reading go on.
    const HWND window = form_.Handle();
    struct TScanning {
        HWND Window;
        bool& Flag;
        bool WasDisabled;
        // The window going meanwhile stops and drops the reader.
        TEntryReading& Reading;
        ~TScanning() {
            if (Reading.HasReader()) Reading.Reader().CancelScan();  // an error or Esc left the loop: the scan stops too (nothing when it is over)
            Flag = false;
            if (!WasDisabled && IsWindow(Window)) EnableWindow(Window, TRUE);
        }
    } scanning{window, scanningFolder_, EnableWindow(window, FALSE) != FALSE, form_.reading_};
    scanningFolder_ = true;
    TBusyScope busy(form_);
    TWaitCursor wait(true);
    try {
        // Esc already down as the command starts stops it before anything is added.
        bool cancelled = EscapeWhileBusy();
        for (std::size_t k = 0; k < names.size() && !cancelled; ++k) {
            const TFoundFile& name = names[k];
            if (IsFolderName(name)) {
                cancelled = !AddFolderFromReader(add, name, window);
                if (!form_.reading_.HasReader() || Plugin.HostGone || !form_.listBox_) return 0;
                if (cancelled) form_.reading_.Reader().CancelScan();
            } else {
                TEntryList entries;
                AddPath(entries, name.Path, true, name.Wide);
                PutEntries(add, entries);
            }
            cancelled = cancelled || StopAdding(window);
        }
        if (replace && add.Added > 0) {
            form_.ReplaceEntries(add.Replacing.Take(), false);
            // The old mark names a row of the old list: no push may send the host there.
            form_.playingIndex_ = -1;
        }
    } catch (...) {
        // All or nothing, as a drop taken at once: the rows shown so far go again.
        if (add.First >= 0 && form_.listBox_) TakeBackRows(add.First, add.Added);
        throw;
    }
    return add.Added;
}

void TEntryAdding::TakeBackRows(int first, int n) {
    TUpdateGuard updates(*form_.listBox_);
    TEntryLockGuard lock(form_.entryLock_);
    n = std::min(n, form_.listBox_->Count() - first);
    for (int i = first; i < first + n; ++i) {
        TRecordRef::FromWord(form_.listBox_->Data(i)).Reset();
        form_.listBox_->SetData(i, 0);
    }
    form_.listBox_->DeleteRange(first, n);
    if (form_.playingIndex_ >= first + n) form_.playingIndex_ -= n;
}
