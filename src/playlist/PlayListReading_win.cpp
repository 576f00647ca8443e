// Tags read beside the GUI thread: entries are made at once with the titles
// their names give, the reader thread reads their files, and the finished
// records are installed here in short batches. Only this thread touches the
// records, the rows and the host; each record out for reading is held by one
// reference of ours, so that a result always finds its record alive, and a
// result whose record has left the list is dropped.
#include "playlist/PlayList_win.h"

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

void TFormPlayList::QueueRead(int row, bool again) {
    TMP3FileInfo* rec = Record(row);
    if (!rec || (TRecordsOut::IsOut(*rec) && !again)) return;
    if (!reader_) {
        reader_ = std::make_unique<TTagReaderThread>();
        reader_->SetTarget(Handle(), WM_VL_READ_RESULTS);
    }
    TReadJob job;
    job.Path = std::string(rec->FileName());
    job.WidePath = rec->WideFileName();
    job.Reader = FindTagReader(FileExtension(job.Path, &AnsiLeadByte));
    job.PreferId3v2 = Option.PreferID3v2;
    job.ReadLength = Option.ReadSongLength;
    job.CheckFile = true;
    // Read again with what is asked now: the earlier job goes.
    if (TRecordsOut::IsOut(*rec)) reader_->Cancel({rec->ReadTicket});
    const std::uint32_t ticket = reader_->Queue(std::move(job));
    if (!TRecordsOut::IsOut(*rec)) ++readRunSize_;
    reading_.Add(ticket, TRecordRef::ShareWord(listBox_->Data(row)));
}

void TFormPlayList::PostReadCheck() {
    if (readCheckPosted_ || !Handle()) return;
    readCheckPosted_ = PostMessageW(Handle(), WM_VL_READ_CHECK, 0, 0) != FALSE;
}

void TFormPlayList::BuildRowIndex() {
    rowIndex_ = TRowIndex(*listBox_);
    rowIndexRevision_ = listBox_->Revision();
}

void TFormPlayList::DropRowIndex() {
    rowIndex_ = TRowIndex();
    rowIndexRevision_ = ~std::uint64_t{0};
}

int TFormPlayList::RowOfRecord(const TMP3FileInfo* rec) {
    // Results come mostly in list order: the row after the last one found first.
    const int n = listBox_->Count();
    for (int i : {rowHint_, rowHint_ + 1})
        if (i >= 0 && i < n && Record(i) == rec) {
            rowHint_ = i + 1;
            return i;
        }
    if (rowIndexRevision_ != listBox_->Revision()) BuildRowIndex();
    const int at = rowIndex_.Find(TRecordRef::WordOf(rec));
    if (at < 0 || at >= n || Record(at) != rec) return -1;
    rowHint_ = at + 1;
    return at;
}

void TFormPlayList::CheckReading(bool all) {
    readCheckPosted_ = false;
    if (!listBox_) return;
    TEntryLockGuard lock(entryLock_);
    try {
        CheckChangedRows(all);
        if (reader_) reader_->Flush();
    } catch (const std::bad_alloc&) {
        // Out of memory in the background: nothing to tell the user; the next
        // change of the rows, or a command that needs the titles, tries again.
        return;
    }
    if (!drawnToRead_.empty() && reader_) {
        reader_->PutFirst(drawnToRead_);
        drawnToRead_.clear();
    }
}

void TFormPlayList::CheckChangedRows(bool all) {
    auto queue = [&](int i) {
        if (TMP3FileInfo* rec = Record(i); rec && rec->ToRead) QueueRead(i, false);
    };
    if (checkedRevision_ != listBox_->Revision()) {
        if (!reading_.Empty()) {
            // What left the list is not read: its job goes, its reference is let go.
            BuildRowIndex();
            std::vector<std::uint32_t> gone;
            reading_.RemoveIf([&](const TMP3FileInfo& rec, std::uint32_t ticket) {
                if (rowIndex_.Find(TRecordRef::WordOf(&rec)) >= 0) return false;
                gone.push_back(ticket);
                return true;
            });
            if (!gone.empty() && reader_) reader_->Cancel(gone);
        }
        // What came to be read (new entries, entries an undo brought back):
        // the rows in view first, then the list from the top.
        const int n = listBox_->Count();
        const int top = std::clamp(listBox_->TopIndex(), 0, std::max(0, n - 1));
        const int shown = std::max(1, listBox_->Height() / std::max(1, listBox_->ItemHeight()) + 1);
        for (int i = top; i < std::min(n, top + shown); ++i) queue(i);
        checkedRevision_ = listBox_->Revision();
        queueFrom_ = 0;
    }
    if (queueFrom_ < 0) return;
    // The walk over the list goes in pieces of about 10 ms, each its own message.
    const double start = NowMs();
    const int n = listBox_->Count();
    while (queueFrom_ < n) {
        queue(queueFrom_++);
        if (!all && (queueFrom_ & 1023) == 0 && NowMs() - start >= kBatchMs) {
            PostReadCheck();
            return;
        }
    }
    queueFrom_ = -1;
    if (reading_.Empty()) DropRowIndex();  // nothing out: no index is kept beside the list
}

void TFormPlayList::NoteDrawnEntry(const TMP3FileInfo& rec) {
    if (!rec.ToRead) return;
    if (TRecordsOut::IsOut(rec) && drawnToRead_.size() < 256) drawnToRead_.push_back(rec.ReadTicket);
    PostReadCheck();
}

void TFormPlayList::ApplyReadResult(int row, TMP3FileInfo& rec, TReadResult& result) {
    rec.ToRead = false;
    if (result.NotAFile) {
        // Gone, or a folder: kept as the host has it, and dimmed.
        rec.Kept = true;
        InvalidateRow(row);
        return;
    }
    if (!result.Read) return;  // unreadable: the title stays the file name's
    TMP3FileInfo& fresh = result.Values;
    // What the host and the list told the entry stays: a length the host
    // reported wins over the file's.
    const int fileLength = fresh.SongLength;
    const bool hostLength = rec.SongLength >= 0 && !rec.LengthFromFile;
    fresh.SongLength = rec.SongLength;
    fresh.LengthFromFile = rec.LengthFromFile;
    fresh.SetSongLengthText(rec.SongLengthText());
    fresh.Set(TInfoField::WideFileName, rec.Get(TInfoField::WideFileName));
    fresh.Selected = rec.Selected;
    fresh.Kept = false;
    fresh.ToRead = false;
    rec = std::move(fresh);
    if (!hostLength) SetEntryLength(row, rec, fileLength, true);
    listBox_->RetitleRow(row, BuildEntryTitle(Option.PlaylistFormat, rec, &AnsiLeadByte));
    if (row == playingIndex_) SetCaptionFromEntry(row);
}

void TFormPlayList::InstallReadResults(bool all) {
    if (!reader_ || !listBox_) return;
    try {
        InstallSomeResults(all);
    } catch (const std::bad_alloc&) {
        // A title could not be built: that entry keeps the one it has. The
        // rest comes with the next message.
        if (reader_->HasResults()) PostMessageW(Handle(), WM_VL_READ_RESULTS, 0, 0);
    }
}

void TFormPlayList::InstallSomeResults(bool all) {
    const double start = NowMs();
    for (;;) {
        std::vector<TReadResult> batch = reader_->Take(kResultsAtOnce);
        if (batch.empty()) break;
        TEntryLockGuard lock(entryLock_);
        for (TReadResult& r : batch) {
            // None when not ours any more (cancelled, read again since): dropped.
            const TRecordRef rec = reading_.Take(r.Ticket);
            const int row = rec ? RowOfRecord(rec.Get()) : -1;
            if (row >= 0) ApplyReadResult(row, *rec, r);
        }
        NoteTotalChanged();
        if (!all && NowMs() - start >= kBatchMs) {
            if (reader_->HasResults()) PostMessageW(Handle(), WM_VL_READ_RESULTS, 0, 0);
            return;
        }
    }
    if (reading_.Empty()) {
        DropRowIndex();  // all in: no index is kept beside the list
        return;
    }
    if (reader_->Pending() != 0) return;
    // Out for reading with nothing left to come (a result lost for want of
    // memory): those entries keep the titles they have.
    TEntryLockGuard lock(entryLock_);
    reading_.RemoveIf([](TMP3FileInfo& rec, std::uint32_t) {
        rec.ToRead = false;
        return true;
    });
}

bool TFormPlayList::FinishReading(bool escapeCancels) {
    if (!listBox_) return true;
    FinishBuild();
    CheckReading(true);
    if (reading_.Empty()) return true;
    TWaitCursor wait(true);
    if (escapeCancels) return WaitForReading();
    // The tests' way in (WM_VL_FINISH_READING): every title, no other message
    // run meanwhile. This thread reads too while it waits; with nothing left in
    // the queue it waits for what the reader thread holds.
    while (!reading_.Empty() && reader_) {
        InstallReadResults(true);
        if (reading_.Empty()) break;
        if (!reader_->ReadOneHere()) reader_->WaitForResult(30);
    }
    return true;
}

namespace {
// The drive of "X:\..." (0 for A:), or -1: a share, a name without a drive.
template <class TText>
int DriveOf(const TText& path) {
    if (path.size() < 3 || path[1] != ':' || (path[2] != '\\' && path[2] != '/')) return -1;
    const unsigned letter = static_cast<unsigned>(path[0]) | 0x20;
    return letter >= 'a' && letter <= 'z' ? static_cast<int>(letter - 'a') : -1;
}

// Drive types, asked once per wait (each look is a trip to the system).
class TLocalDisks {
public:
    // The job's file is on a fixed disk of this machine: reading it cannot take
    // a network's timeout. Shares, removable and optical drives are not.
    bool Hold(const TReadJob& job) {
        const int drive = job.WidePath.empty() ? DriveOf(job.Path) : DriveOf(job.WidePath);
        if (drive < 0) return false;
        signed char& kind = kinds_[drive];
        if (kind < 0) {
            const char root[] = {static_cast<char>('A' + drive), ':', '\\', '\0'};
            const UINT type = GetDriveTypeA(root);
            kind = type == DRIVE_FIXED || type == DRIVE_RAMDISK ? 1 : 0;
        }
        return kind == 1;
    }

private:
    signed char kinds_[26] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                              -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

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

bool TFormPlayList::WaitForReading() {
    // The player goes on meanwhile, and Esc is looked for every few
    // milliseconds. This thread helps with the reading only where one file
    // cannot hold it up for long; a file on a share is the reader thread's.
    TLocalDisks disks;
    const auto local = [&disks](const TReadJob& job) { return disks.Hold(job); };
    TBusyScope busy(*this);
    for (;;) {
        InstallReadResults(true);
        if (reading_.Empty() || !reader_) return true;
        if (EscapeWhileBusy()) return false;
        const double until = NowMs() + kBatchMs;
        bool helped = false;
        while (NowMs() < until && reader_->ReadOneHere(local)) helped = true;
        if (!helped) reader_->WaitForResultOrMessage(kWaitMs);
        if (!RunMessagesWhileBusy() || Plugin.HostGone || Plugin.PlayList != this || !Handle() || !listBox_)
            return false;
        // What the messages brought (the host's new list, rows gone or come) is waited for too.
        FinishBuild();
        CheckReading(true);
    }
}

void TFormPlayList::StopReading() {
    if (reader_) reader_->Stop();
    reading_.Clear();
    reader_.reset();
    DropRowIndex();
}

void TFormPlayList::AddFolderInBackground(const std::string& folder, const std::wstring& wide) {
    if (!listBox_ || scanningFolder_) return;
    TUndoStep step(*this);
    const int added = AddInBackground({TFoundFile{folder, wide}}, -1, false);
    if (Plugin.HostGone || !listBox_) return;
    step.Commit();
    if (added > 0) PushListToHost();
}

namespace {
// Names put into the list at once between two looks for Esc.
constexpr std::size_t kNamesAtOnce = 256;

bool StopAdding(HWND window) { return Plugin.HostGone || !IsWindow(window) || EscapeWhileBusy(); }
}  // namespace

void TFormPlayList::PutEntries(TBackgroundAdd& add, TEntryList& entries) {
    // An addition shows its entries as they are found; a replacing one keeps
    // the list until it has them all.
    const int k = entries.Count();
    if (k == 0) return;
    if (add.Replace) {
        add.Replacing.Append(entries);
    } else {
        if (add.First < 0) add.First = add.At < 0 || add.At >= listBox_->Count() ? listBox_->Count() : add.At;
        InsertEntries(add.First + add.Added, entries.Take(), false);
    }
    add.Added += k;
}

bool TFormPlayList::AddFolderFromReader(TBackgroundAdd& add, const TFoundFile& folder, HWND window) {
    // Esc ends the command at any moment until the last name is in, whichever
    // thread is at work: the walk may be over long before this thread has put
    // what it found. Names found and not put yet go with it.
    reader_->StartScan(TFolderScan{folder.Path, folder.Wide, audioExtensions_});
    for (;;) {
        bool done = false, failed = false;
        const std::vector<TFoundFile> found = reader_->TakeFound(done, failed);
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
        if (!RunMessagesWhileBusy() || !reader_ || !listBox_) return false;
    }
}

int TFormPlayList::AddInBackground(const std::vector<TFoundFile>& names, int at, bool replace) {
    if (!listBox_) return 0;
    if (!reader_) {
        reader_ = std::make_unique<TTagReaderThread>();
        reader_->SetTarget(Handle(), WM_VL_READ_RESULTS);
    }
    TBackgroundAdd add{at, replace};
    // The window takes no input meanwhile (as under a dialog), so nothing
    // edits the list while it grows; the player, painting and reading go on.
    const HWND window = Handle();
    struct TScanning {
        HWND Window;
        bool& Flag;
        bool WasDisabled;
        // The window going meanwhile stops and drops the reader.
        std::unique_ptr<TTagReaderThread>& Reader;
        ~TScanning() {
            if (Reader) Reader->CancelScan();  // an error or Esc left the loop: the scan stops too (nothing when it is over)
            Flag = false;
            if (!WasDisabled && IsWindow(Window)) EnableWindow(Window, TRUE);
        }
    } scanning{window, scanningFolder_, EnableWindow(window, FALSE) != FALSE, reader_};
    scanningFolder_ = true;
    TBusyScope busy(*this);
    TWaitCursor wait(true);
    try {
        // Esc already down as the command starts stops it before anything is added.
        bool cancelled = EscapeWhileBusy();
        for (std::size_t k = 0; k < names.size() && !cancelled; ++k) {
            const TFoundFile& name = names[k];
            if (IsFolderName(name)) {
                cancelled = !AddFolderFromReader(add, name, window);
                if (!reader_ || Plugin.HostGone || !listBox_) return 0;
                if (cancelled) reader_->CancelScan();
            } else {
                TEntryList entries;
                AddPath(entries, name.Path, true, name.Wide);
                PutEntries(add, entries);
            }
            cancelled = cancelled || StopAdding(window);
        }
        if (replace && add.Added > 0) {
            ReplaceEntries(add.Replacing.Take(), false);
            // The old mark names a row of the old list: no push may send the host there.
            playingIndex_ = -1;
        }
    } catch (...) {
        // All or nothing, as a drop taken at once: the rows shown so far go again.
        if (add.First >= 0 && listBox_) TakeBackRows(add.First, add.Added);
        throw;
    }
    return add.Added;
}

void TFormPlayList::TakeBackRows(int first, int n) {
    TUpdateGuard updates(*listBox_);
    TEntryLockGuard lock(entryLock_);
    n = std::min(n, listBox_->Count() - first);
    for (int i = first; i < first + n; ++i) {
        TRecordRef::FromWord(listBox_->Data(i)).Reset();
        listBox_->SetData(i, 0);
    }
    listBox_->DeleteRange(first, n);
    if (playingIndex_ >= first + n) playingIndex_ -= n;
}
