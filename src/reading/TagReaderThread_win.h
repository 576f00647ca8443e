#pragma once
// The one background thread that reads tags, so that a long list never holds
// up the player's window. It gets copied names and hands back plain values in
// records of its own; it never touches a window, a row, a record of the list
// or the host. Finished work is announced by one posted message at a time.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/Handles_win.h"
#include "fileinfo/MP3FileInfo.h"
#include "reading/ReadQueue.h"
#include "reading/FolderScan_win.h"

struct TReadResult {
    std::uint32_t Ticket = 0;
    // No plain file by that name (gone, a folder): the entry is kept unread.
    bool NotAFile = false;
    // The file-name fields and whatever tags were found, when Read: held by
    // value, so that a result costs no allocation beside its text.
    bool Read = false;
    TMP3FileInfo Values;
};

class TTagReaderThread {
public:
    TTagReaderThread();
    // Stops with the default bound.
    ~TTagReaderThread();
    TTagReaderThread(const TTagReaderThread&) = delete;
    TTagReaderThread& operator=(const TTagReaderThread&) = delete;

    // Where the message announcing results goes (the window may be re-created).
    void SetTarget(HWND window, UINT message);
    // Hands a job over; the ticket is filled in and returned. Jobs go to the
    // thread in bunches (one lock, one wake-up): at the next Flush, or at once
    // when many wait. Without a thread (none could be started) the job is done
    // at once, here.
    std::uint32_t Queue(TReadJob job);
    void Flush();
    void PutFirst(const std::vector<std::uint32_t>& tickets);
    void Cancel(const std::vector<std::uint32_t>& tickets);
    // Up to max results, oldest first. Once none is left, the next result is
    // announced again; until then the taker comes back on its own.
    std::vector<TReadResult> Take(std::size_t max);
    bool HasResults() const;
    // Waits up to ms for a result to be ready; true when one is.
    bool WaitForResult(DWORD ms);
    // As WaitForResult; a message coming into the calling thread's queue ends the wait too.
    bool WaitForResultOrMessage(DWORD ms);
    // Reads the next job on the calling thread (someone waits for the titles:
    // two readers are done sooner than one); false when none was waiting, or
    // when mayTake refuses the next one (it stays for the thread).
    bool ReadOneHere(const std::function<bool(const TReadJob&)>& mayTake = {});
    // Jobs not yet done, results not yet taken.
    std::size_t Pending() const;
    // Drops every job and waits up to boundMs for the thread to end. A thread
    // caught in a slow file read is given a reference on the library, keeps it
    // loaded and ends by itself. During the library's unload the thread is
    // stopped where it holds nothing and ended.
    void Stop(DWORD boundMs = 2000);
    // The library is being unloaded (its detach): threads are ended, none is started.
    static void Unloading();

    // A folder scan, run before any tag is read; its names come back in batches.
    void StartScan(TFolderScan scan);
    void CancelScan();
    // The names found since the last call; done once the scan is over
    // (finished or cancelled) and every name was taken; failed when it ran
    // out of memory before the end.
    std::vector<TFoundFile> TakeFound(bool& done, bool& failed);

    // Reads one job (the thread's work; also the fallback without a thread).
    static TReadResult Read(TReadJob& job);

    struct TShared;

private:
    static DWORD WINAPI ThreadMain(void* shared);
    static void Leave(TShared& shared);
    void EndForUnload(DWORD boundMs);
    static void RunScan(TShared& shared, const TFolderScan& scan, unsigned number);
    bool StartThread();

    TShared* shared_ = nullptr;  // counted: the thread holds a reference too
    TKernelHandle thread_;
    bool startFailed_ = false;
    std::uint32_t nextTicket_ = 1;
    std::vector<TReadJob> unsent_;  // queued here, not yet handed to the thread
};
