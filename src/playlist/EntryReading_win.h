#pragma once
// The reading of the playlist window's entries: which records are out for
// reading (each held by its counted reference, by ticket), the reader thread
// that reads them, and the installing of its results into the rows.
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>
#include "entries/RecordsOut.h"
#include "entries/RowIndex.h"

class TFormPlayList;
class TTagReaderThread;
struct TReadResult;

class TEntryReading {
public:
    explicit TEntryReading(TFormPlayList& form);
    ~TEntryReading();
    TEntryReading(const TEntryReading&) = delete;
    TEntryReading& operator=(const TEntryReading&) = delete;

    // The reader thread, started on first use; its results are announced to the window.
    TTagReaderThread& Reader();
    bool HasReader() const { return reader_ != nullptr; }
    // The window was made anew: results go to the new one, and checks are posted again.
    void Retarget();
    // Hands the row's file to the reader; again: read anew even when out already.
    void Queue(int row, bool again);
    void Flush();
    void PostCheck();
    // After the rows changed: what left the list is not read, what came to be read is queued.
    // all: the whole list at once, not in pieces of about 10 ms.
    void Check(bool all = false);
    // A row being drawn whose tags are out goes to the front of the reading.
    void NoteDrawn(const TMP3FileInfo& rec);
    // Installs results: a batch of about 10 ms, or all that are ready.
    void InstallResults(bool all);
    // Every entry's tags in (see TFormPlayList::FinishReading).
    bool Finish(bool escapeCancels);
    void Stop();
    std::size_t Outstanding() const { return out_.Size(); }
    // Entries given to the reader since it was last idle (the share read is shown of them).
    std::size_t RunSize() const { return runSize_; }
    void EndRun() { runSize_ = 0; }

private:
    void CheckChangedRows(bool all);
    void InstallSome(bool all);
    bool Wait();
    void ApplyResult(int row, TMP3FileInfo& rec, TReadResult& result);
    int RowOf(const TMP3FileInfo* rec);
    void BuildRowIndex();
    void DropRowIndex();

    TFormPlayList& form_;
    std::unique_ptr<TTagReaderThread> reader_;
    TRecordsOut out_;
    // Records to rows while reading is out (rebuilt when the rows change).
    TRowIndex rowIndex_;
    std::uint64_t rowIndexRevision_ = ~std::uint64_t{0};
    std::uint64_t checkedRevision_ = ~std::uint64_t{0};
    int rowHint_ = 0;
    int queueFrom_ = -1;  // the next row the walk looks at for entries to read; -1: done
    bool checkPosted_ = false;
    std::vector<std::uint32_t> drawnToRead_;
    std::size_t runSize_ = 0;
};
