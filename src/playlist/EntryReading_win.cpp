// Tags read beside the GUI thread: entries are made at once with the titles
// their names give, the reader thread reads their files, and the finished
// records are installed here in short batches. Only this thread touches the
// records, the rows and the host; each record out for reading is held by one
// reference of ours, so that a result always finds its record alive, and a
// result whose record has left the list is dropped.
#include "playlist/EntryReading_win.h"

#include <algorithm>
#include <new>

#include "base/Text_win.h"
#include "base/Window_win.h"
#include "entries/TitleFormat.h"
#include "fileinfo/TagReaders.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"
#include "playlist/PlayListParts_win.h"
#include "reading/TagReaderThread_win.h"

namespace {
// Installing results takes at most this long before the thread goes back to
// its other messages (and comes back by a posted message).
constexpr double kBatchMs = 10.0;
constexpr std::size_t kResultsAtOnce = 32;
// A wait for titles looks at its messages and at Esc at least this often.
constexpr DWORD kWaitMs = 15;
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

}  // namespace

TEntryReading::TEntryReading(TFormPlayList& form) : form_(form) {}

TEntryReading::~TEntryReading() { Stop(); }

TTagReaderThread& TEntryReading::Reader() {
    if (!reader_) {
        reader_ = std::make_unique<TTagReaderThread>();
        reader_->SetTarget(form_.Handle(), WM_VL_READ_RESULTS);
    }
    return *reader_;
}

void TEntryReading::Retarget() {
    if (reader_) reader_->SetTarget(form_.Handle(), WM_VL_READ_RESULTS);
    checkPosted_ = false;
}

void TEntryReading::Flush() {
    if (reader_) reader_->Flush();
}

void TEntryReading::Queue(int row, bool again) {
    TMP3FileInfo* rec = form_.Record(row);
    if (!rec || (TRecordsOut::IsOut(*rec) && !again)) return;
    Reader();
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
    if (!TRecordsOut::IsOut(*rec)) ++runSize_;
    out_.Add(ticket, TRecordRef::ShareWord(form_.listBox_->Data(row)));
}

void TEntryReading::PostCheck() {
    if (checkPosted_ || !form_.Handle()) return;
    checkPosted_ = PostMessageW(form_.Handle(), WM_VL_READ_CHECK, 0, 0) != FALSE;
}

void TEntryReading::BuildRowIndex() {
    rowIndex_ = TRowIndex(*form_.listBox_);
    rowIndexRevision_ = form_.listBox_->Revision();
}

void TEntryReading::DropRowIndex() {
    rowIndex_ = TRowIndex();
    rowIndexRevision_ = ~std::uint64_t{0};
}

int TEntryReading::RowOf(const TMP3FileInfo* rec) {
    // Results come mostly in list order: the row after the last one found first.
    const int n = form_.listBox_->Count();
    for (int i : {rowHint_, rowHint_ + 1})
        if (i >= 0 && i < n && form_.Record(i) == rec) {
            rowHint_ = i + 1;
            return i;
        }
    if (rowIndexRevision_ != form_.listBox_->Revision()) BuildRowIndex();
    const int at = rowIndex_.Find(TRecordRef::WordOf(rec));
    if (at < 0 || at >= n || form_.Record(at) != rec) return -1;
    rowHint_ = at + 1;
    return at;
}

void TEntryReading::Check(bool all) {
    checkPosted_ = false;
    if (!form_.listBox_) return;
    TEntryLockGuard lock(form_.entryLock_);
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

void TEntryReading::CheckChangedRows(bool all) {
    auto queue = [&](int i) {
        if (TMP3FileInfo* rec = form_.Record(i); rec && rec->ToRead) Queue(i, false);
    };
    if (checkedRevision_ != form_.listBox_->Revision()) {
        if (!out_.Empty()) {
            // What left the list is not read: its job goes, its reference is let go.
            BuildRowIndex();
            std::vector<std::uint32_t> gone;
            out_.RemoveIf([&](const TMP3FileInfo& rec, std::uint32_t ticket) {
                if (rowIndex_.Find(TRecordRef::WordOf(&rec)) >= 0) return false;
                gone.push_back(ticket);
                return true;
            });
            if (!gone.empty() && reader_) reader_->Cancel(gone);
        }
        // What came to be read (new entries, entries an undo brought back):
        // the rows in view first, then the list from the top.
        const int n = form_.listBox_->Count();
        const int top = std::clamp(form_.listBox_->TopIndex(), 0, std::max(0, n - 1));
        const int shown = std::max(1, form_.listBox_->Height() / std::max(1, form_.listBox_->ItemHeight()) + 1);
        for (int i = top; i < std::min(n, top + shown); ++i) queue(i);
        checkedRevision_ = form_.listBox_->Revision();
        queueFrom_ = 0;
    }
    if (queueFrom_ < 0) return;
    // The walk over the list goes in pieces of about 10 ms, each its own message.
    const double start = NowMs();
    const int n = form_.listBox_->Count();
    while (queueFrom_ < n) {
        queue(queueFrom_++);
        if (!all && (queueFrom_ & 1023) == 0 && NowMs() - start >= kBatchMs) {
            PostCheck();
            return;
        }
    }
    queueFrom_ = -1;
    if (out_.Empty()) DropRowIndex();  // nothing out: no index is kept beside the list
}

void TEntryReading::NoteDrawn(const TMP3FileInfo& rec) {
    if (!rec.ToRead) return;
    if (TRecordsOut::IsOut(rec) && drawnToRead_.size() < 256) drawnToRead_.push_back(rec.ReadTicket);
    PostCheck();
}

void TEntryReading::ApplyResult(int row, TMP3FileInfo& rec, TReadResult& result) {
    rec.ToRead = false;
    if (result.NotAFile) {
        // Gone, or a folder: kept as the host has it, and dimmed.
        rec.Kept = true;
        form_.InvalidateRow(row);
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
    if (!hostLength) form_.Lengths().SetEntryLength(row, rec, fileLength, true);
    form_.listBox_->RetitleRow(row, EntryTitle(rec));
    if (row == form_.playingIndex_) form_.SetCaptionFromEntry(row);
}

void TEntryReading::InstallResults(bool all) {
    if (!reader_ || !form_.listBox_) return;
    try {
        InstallSome(all);
    } catch (const std::bad_alloc&) {
        // A title could not be built: that entry keeps the one it has. The
        // rest comes with the next message.
        if (reader_->HasResults()) PostMessageW(form_.Handle(), WM_VL_READ_RESULTS, 0, 0);
    }
}

void TEntryReading::InstallSome(bool all) {
    const double start = NowMs();
    for (;;) {
        std::vector<TReadResult> batch = reader_->Take(kResultsAtOnce);
        if (batch.empty()) break;
        TEntryLockGuard lock(form_.entryLock_);
        for (TReadResult& r : batch) {
            // None when not ours any more (cancelled, read again since): dropped.
            const TRecordRef rec = out_.Take(r.Ticket);
            const int row = rec ? RowOf(rec.Get()) : -1;
            if (row >= 0) ApplyResult(row, *rec, r);
        }
        form_.Lengths().NoteTotalChanged();
        if (!all && NowMs() - start >= kBatchMs) {
            if (reader_->HasResults()) PostMessageW(form_.Handle(), WM_VL_READ_RESULTS, 0, 0);
            return;
        }
    }
    if (out_.Empty()) {
        DropRowIndex();  // all in: no index is kept beside the list
        return;
    }
    if (reader_->Pending() != 0) return;
    // Out for reading with nothing left to come (a result lost for want of
    // memory): those entries keep the titles they have.
    TEntryLockGuard lock(form_.entryLock_);
    out_.RemoveIf([](TMP3FileInfo& rec, std::uint32_t) {
        rec.ToRead = false;
        return true;
    });
}

bool TEntryReading::Wait() {
    // The player goes on meanwhile, and Esc is looked for every few
    // milliseconds. This thread helps with the reading only where one file
    // cannot hold it up for long; a file on a share is the reader thread's.
    TLocalDisks disks;
    const auto local = [&disks](const TReadJob& job) { return disks.Hold(job); };
    TBusyScope busy(form_);
    for (;;) {
        InstallResults(true);
        if (out_.Empty() || !reader_) return true;
        if (EscapeWhileBusy()) return false;
        const double until = NowMs() + kBatchMs;
        bool helped = false;
        while (NowMs() < until && reader_->ReadOneHere(local)) helped = true;
        if (!helped) reader_->WaitForResultOrMessage(kWaitMs);
        if (!RunMessagesWhileBusy() || Plugin.HostGone || Plugin.PlayList != &form_ || !form_.Handle() || !form_.listBox_)
            return false;
        // What the messages brought (the host's new list, rows gone or come) is waited for too.
        form_.FinishBuild();
        Check(true);
    }
}

void TEntryReading::Stop() {
    if (reader_) reader_->Stop();
    out_.Clear();
    reader_.reset();
    DropRowIndex();
}


bool TEntryReading::Finish(bool escapeCancels) {
    Check(true);
    if (out_.Empty()) return true;
    TWaitCursor wait(true);
    if (escapeCancels) return Wait();
    // The tests' way in (WM_VL_FINISH_READING): every title, no other message
    // run meanwhile. This thread reads too while it waits; with nothing left in
    // the queue it waits for what the reader thread holds.
    while (!out_.Empty() && reader_) {
        InstallResults(true);
        if (out_.Empty()) break;
        if (!reader_->ReadOneHere()) reader_->WaitForResult(30);
    }
    return true;
}
