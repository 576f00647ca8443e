#include "reading/TagReaderThread_win.h"

#include <deque>
#include <new>
#include <utility>

#include "base/FileExists_win.h"
#include "base/Handles_win.h"
#include "base/TestSeam.h"
#include "base/Text_win.h"
#include "fileinfo/FileSource_win.h"
#include "fileinfo/EntryNames_win.h"
#include "fileinfo/TagReaders.h"
#include "fileinfo/EntryNames.h"

struct TTagReaderThread::TShared {
    LONG References = 1;
    TCriticalSection Lock;
    TKernelHandle Wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};         // a job came, or stop
    TKernelHandle ResultReady{CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // a result came
    // The library is being unloaded: the thread stops where it can be ended (Parked
    // set as it starts a wait on Never, which nothing sets).
    bool Park = false;
    TKernelHandle Parked{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    TKernelHandle Never{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    // A reference on the library, handed over by a Stop that could not wait for
    // the thread (a read stuck on a dead drive): the thread leaves through it.
    HMODULE Module = nullptr;
    bool Ended = false;  // past its work, leaving without a reference of its own
    TReadQueue Jobs;
    std::deque<TReadResult> Results;
    HWND Target = nullptr;
    UINT Message = 0;
    bool Announced = false;  // a message is on its way and not yet answered by Take
    bool Stopping = false;
    bool Reading = false;    // the thread holds a job
    std::size_t Held = 0;    // results the thread read and has not handed over yet
    // The folder scan asked for, until the thread takes it; what it found.
    std::unique_ptr<TFolderScan> Scan;
    bool ScanRunning = false;
    bool ScanDone = false;
    bool ScanFailed = false;  // out of memory: what was found is not the whole tree
    // Each scan asked for has a number of its own: the last names of one
    // cancelled before never join the next.
    unsigned ScanNumber = 0;
    LONG ScanCancelled = 0;
    std::vector<TFoundFile> Found;

    void AddReference() { InterlockedIncrement(&References); }
    void Release() {
        if (InterlockedDecrement(&References) == 0) delete this;
    }
    // Under Lock.
    void Deliver(TReadResult result) {
        // Each system call costs a trip to the server under Wine: the waiter
        // is woken only when results start to come, as it waits only for none.
        if (Results.empty()) SetEvent(ResultReady.get());
        Results.push_back(std::move(result));
        if (!Announced && Target) Announced = PostMessageW(Target, Message, 0, 0) != FALSE;
    }
};

namespace {
constexpr std::size_t kResultBunch = 64;
constexpr DWORD kResultBunchMs = 20;

bool g_unloading = false;

bool IsShareName(const TReadJob& job) {
    return job.WidePath.empty() ? job.Path.rfind("\\\\", 0) == 0 : job.WidePath.rfind(u"\\\\", 0) == 0;
}

bool IsPlainFile(const TReadJob& job) {
    return job.WidePath.empty() ? FileExists(job.Path) : FileExists(U16ToWide(job.WidePath));
}
}  // namespace

TReadResult TTagReaderThread::Read(TReadJob& job) {
    TReadResult result;
    result.Ticket = job.Ticket;
    // Tests stand in for a share out of reach: its files open only once they let go.
    while (__atomic_load_n(&TestSeam().HoldShares, __ATOMIC_ACQUIRE) != 0 && IsShareName(job))
        Sleep(5);
    try {
        // The file is opened first: a folder or a missing name fails to open,
        // and only then is the name looked at (each look is a trip to the disk).
        const TFile file = job.WidePath.empty() ? OpenForSharedRead(job.Path)
                                                : OpenForSharedRead(U16ToWide(job.WidePath));
        const DWORD openError = file ? 0 : GetLastError();
        const bool missing = openError == ERROR_FILE_NOT_FOUND || openError == ERROR_PATH_NOT_FOUND;
        if (!file && job.CheckFile && (missing || !IsPlainFile(job))) {
            result.NotAFile = true;
            return result;
        }
        FillEntryFileNameFields(result.Values, job.Path, CodePageNames(), job.WidePath);
        if (job.Reader && file) ReadTagsOfOpenFile(file.get(), *job.Reader, result.Values, job.PreferId3v2, job.ReadLength);
        result.Read = true;
    } catch (...) {
        // No memory, a reader's fault: the entry keeps its file-name title.
        result.Read = false;
        result.Values = TMP3FileInfo();
    }
    return result;
}

TTagReaderThread::TTagReaderThread() : shared_(new TShared) {}

TTagReaderThread::~TTagReaderThread() {
    Stop();
    shared_->Release();
}

void TTagReaderThread::SetTarget(HWND window, UINT message) {
    TLockGuard lock(shared_->Lock);
    shared_->Target = window;
    shared_->Message = message;
    shared_->Announced = false;
    if (!shared_->Results.empty() && window)
        shared_->Announced = PostMessageW(window, message, 0, 0) != FALSE;
}

bool TTagReaderThread::StartThread() {
    if (thread_) return true;
    if (startFailed_ || g_unloading) return false;
    // No reference on the library: a player that frees us before its windows
    // go must find us unloaded then (the unload parks and ends the thread), and
    // a reference of the thread's would be the last while our windows still run.
    shared_->AddReference();
    thread_.reset(CreateThread(nullptr, 0, &ThreadMain, shared_, 0, nullptr));
    if (!thread_) {
        shared_->Release();
        startFailed_ = true;
        return false;
    }
    return true;
}

void TTagReaderThread::Unloading() { g_unloading = true; }

DWORD WINAPI TTagReaderThread::ThreadMain(void* p) {
    auto* shared = static_cast<TShared*>(p);
    // Results go over in bunches: each hand-over wakes the window's thread
    // (an event and a posted message, each a trip to the server under Wine),
    // which costs more than reading a small file.
    std::vector<TReadResult> bunch;
    DWORD bunchSince = 0;
    for (;;) {
        TReadJob job;
        {
            TLockGuard lock(shared->Lock);
            shared->Reading = false;
            if (shared->Stopping) break;
            if (shared->Scan) {
                std::unique_ptr<TFolderScan> scan = std::move(shared->Scan);
                shared->ScanRunning = true;
                const unsigned number = shared->ScanNumber;
                shared->Lock.Leave();
                RunScan(*shared, *scan, number);
                shared->Lock.Enter();
                continue;
            }
            // Tests hold the reader to see the list while titles are still out.
            const bool held = __atomic_load_n(&TestSeam().HoldReader, __ATOMIC_ACQUIRE) != 0;
            if (held || !shared->Jobs.Pop(job)) job.Ticket = 0;
            else shared->Reading = true;
            // Handed over when the queue runs dry, when the bunch is full or
            // when it has waited long enough for the rows in view.
            if (!bunch.empty() && (job.Ticket == 0 || bunch.size() >= kResultBunch ||
                                   GetTickCount() - bunchSince >= kResultBunchMs)) {
                for (TReadResult& r : bunch) {
                    try {
                        shared->Deliver(std::move(r));
                    } catch (...) {
                        // No memory for the result: that entry keeps its file-name title.
                    }
                }
                bunch.clear();
            }
            shared->Held = bunch.size();
            __atomic_store_n(&TestSeam().ReaderBusy, shared->Reading || !bunch.empty() ? 1 : 0, __ATOMIC_RELEASE);
        }
        if (job.Ticket == 0) {
            WaitForSingleObject(shared->Wake.get(), __atomic_load_n(&TestSeam().HoldReader, __ATOMIC_ACQUIRE) ? 5 : INFINITE);
            continue;
        }
        TReadResult result = Read(job);
        try {
            if (bunch.empty()) bunchSince = GetTickCount();
            bunch.push_back(std::move(result));
        } catch (...) {
            // As above: the entry keeps its file-name title.
        }
    }
    bunch.clear();
    __atomic_store_n(&TestSeam().ReaderBusy, 0, __ATOMIC_RELEASE);
    Leave(*shared);
    return 0;
}

void TTagReaderThread::Leave(TShared& shared) {
    HMODULE module = nullptr;
    bool park = false;
    {
        TLockGuard lock(shared.Lock);
        module = shared.Module;
        park = shared.Park;
        shared.Ended = !module && !park;
    }
    if (park) {
        // Ended by the unload from here; the unload releases our reference.
        SignalObjectAndWait(shared.Parked.get(), shared.Never.get(), INFINITE, FALSE);
        return;
    }
    shared.Release();
    if (module) FreeLibraryAndExitThread(module, 0);
}

void TTagReaderThread::RunScan(TShared& shared, const TFolderScan& scan, unsigned number) {
    // Names go over in batches, often enough for the list to grow as they are found.
    std::vector<TFoundFile> batch;
    bool failed = false;
    DWORD handed = GetTickCount();
    // Tests hold the names back until the walk is over (see TTestSeam::HoldScan).
    const auto hold = [&shared] {
        return __atomic_load_n(&shared.Stopping, __ATOMIC_ACQUIRE) ? 0 : __atomic_load_n(&TestSeam().HoldScan, __ATOMIC_ACQUIRE);
    };
    auto hand = [&](bool last) {
        if (!last && hold() != 0) return;
        TLockGuard lock(shared.Lock);
        if (number == shared.ScanNumber)
            for (TFoundFile& f : batch) shared.Found.push_back(std::move(f));
        batch.clear();
        SetEvent(shared.ResultReady.get());
        handed = GetTickCount();
    };
    try {
        ScanFolder(
            scan,
            [&] {
                // A newer scan asked for ends this one too.
                return __atomic_load_n(&shared.ScanNumber, __ATOMIC_ACQUIRE) == number &&
                       InterlockedCompareExchange(&shared.ScanCancelled, 0, 0) == 0 &&
                       !__atomic_load_n(&shared.Stopping, __ATOMIC_ACQUIRE);
            },
            [&](TFoundFile f) {
                batch.push_back(std::move(f));
                if (batch.size() >= 256 || GetTickCount() - handed >= 30) hand(false);
            });
        if (hold() == 2) {
            __atomic_store_n(&TestSeam().ScanHeld, 1, __ATOMIC_RELEASE);
            while (hold() == 2) Sleep(5);
            __atomic_store_n(&TestSeam().ScanHeld, 0, __ATOMIC_RELEASE);
        }
        hand(true);
    } catch (...) {
        // Out of memory: the scan ends, and says that it fell short.
        failed = true;
    }
    TLockGuard lock(shared.Lock);
    shared.ScanRunning = false;
    if (number != shared.ScanNumber) return;  // a newer scan waits: its end is its own
    shared.ScanDone = true;
    shared.ScanFailed = failed;
    SetEvent(shared.ResultReady.get());
}

void TTagReaderThread::StartScan(TFolderScan scan) {
    {
        TLockGuard lock(shared_->Lock);
        shared_->Found.clear();
        __atomic_add_fetch(&shared_->ScanNumber, 1u, __ATOMIC_RELEASE);
        shared_->ScanDone = false;
        shared_->ScanFailed = false;
        shared_->ScanCancelled = 0;
    }
    if (!StartThread()) {
        RunScan(*shared_, scan, shared_->ScanNumber);  // no thread: here, at once
        return;
    }
    {
        TLockGuard lock(shared_->Lock);
        shared_->Scan = std::make_unique<TFolderScan>(std::move(scan));
    }
    SetEvent(shared_->Wake.get());
}

void TTagReaderThread::CancelScan() { InterlockedExchange(&shared_->ScanCancelled, 1); }

std::vector<TFoundFile> TTagReaderThread::TakeFound(bool& done, bool& failed) {
    TLockGuard lock(shared_->Lock);
    std::vector<TFoundFile> out;
    out.swap(shared_->Found);
    done = shared_->ScanDone && !shared_->Scan && !shared_->ScanRunning;
    failed = done && shared_->ScanFailed;
    return out;
}

std::uint32_t TTagReaderThread::Queue(TReadJob job) {
    job.Ticket = nextTicket_++;
    const std::uint32_t ticket = job.Ticket;
    if (!StartThread()) {
        TReadResult result = Read(job);
        TLockGuard lock(shared_->Lock);
        shared_->Deliver(std::move(result));
        return ticket;
    }
    unsent_.push_back(std::move(job));
    if (unsent_.size() >= 1024) Flush();
    return ticket;
}

void TTagReaderThread::Flush() {
    if (unsent_.empty()) return;
    {
        TLockGuard lock(shared_->Lock);
        for (TReadJob& job : unsent_) shared_->Jobs.Push(std::move(job));
    }
    unsent_.clear();
    SetEvent(shared_->Wake.get());
}

void TTagReaderThread::PutFirst(const std::vector<std::uint32_t>& tickets) {
    Flush();
    TLockGuard lock(shared_->Lock);
    shared_->Jobs.PutFirst(tickets);
}

void TTagReaderThread::Cancel(const std::vector<std::uint32_t>& tickets) {
    Flush();
    TLockGuard lock(shared_->Lock);
    for (std::uint32_t t : tickets) shared_->Jobs.Cancel(t);
}

std::vector<TReadResult> TTagReaderThread::Take(std::size_t max) {
    std::vector<TReadResult> out;
    TLockGuard lock(shared_->Lock);
    const std::size_t n = std::min(max, shared_->Results.size());
    out.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        out.push_back(std::move(shared_->Results.front()));
        shared_->Results.pop_front();
    }
    // Until every result is taken the taker comes back by itself (it posts
    // its own message); after that the next result is announced again.
    if (shared_->Results.empty()) shared_->Announced = false;
    return out;
}

bool TTagReaderThread::WaitForResult(DWORD ms) {
    {
        TLockGuard lock(shared_->Lock);
        if (!shared_->Results.empty()) return true;
    }
    return WaitForSingleObject(shared_->ResultReady.get(), ms) == WAIT_OBJECT_0;
}

bool TTagReaderThread::WaitForResultOrMessage(DWORD ms) {
    {
        TLockGuard lock(shared_->Lock);
        if (!shared_->Results.empty()) return true;
    }
    HANDLE ready = shared_->ResultReady.get();
    return MsgWaitForMultipleObjects(1, &ready, FALSE, ms, QS_ALLINPUT) == WAIT_OBJECT_0;
}

bool TTagReaderThread::ReadOneHere(const std::function<bool(const TReadJob&)>& mayTake) {
    Flush();
    TReadJob job;
    {
        TLockGuard lock(shared_->Lock);
        if (!shared_->Jobs.Pop(job, mayTake)) return false;
    }
    TReadResult result = Read(job);
    TLockGuard lock(shared_->Lock);
    shared_->Deliver(std::move(result));
    return true;
}

bool TTagReaderThread::HasResults() const {
    TLockGuard lock(shared_->Lock);
    return !shared_->Results.empty();
}

std::size_t TTagReaderThread::Pending() const {
    TLockGuard lock(shared_->Lock);
    return unsent_.size() + shared_->Jobs.Size() + shared_->Results.size() + shared_->Held +
           (shared_->Reading ? 1 : 0);
}

void TTagReaderThread::Stop(DWORD boundMs) {
    unsent_.clear();
    {
        TLockGuard lock(shared_->Lock);
        shared_->Stopping = true;
        shared_->Park = g_unloading;  // seen together: the thread's way out is decided once
        shared_->Scan.reset();
        InterlockedExchange(&shared_->ScanCancelled, 1);
        shared_->Jobs.Clear();
        shared_->Results.clear();
        shared_->Target = nullptr;
    }
    if (!thread_) return;
    if (g_unloading) {
        EndForUnload(boundMs);
        return;
    }
    SetEvent(shared_->Wake.get());
    if (WaitForSingleObject(thread_.get(), boundMs) != WAIT_OBJECT_0) {
        bool ended = false;
        {
            TLockGuard lock(shared_->Lock);
            ended = shared_->Ended;
            // Still inside a read: our code must stay mapped until it is out.
            HMODULE self = nullptr;
            if (!ended && GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                             reinterpret_cast<LPCWSTR>(&ThreadMain), &self))
                shared_->Module = self;
        }
        if (ended) WaitForSingleObject(thread_.get(), INFINITE);  // past its work: it leaves our code now
    }
    thread_.reset();
}

void TTagReaderThread::EndForUnload(DWORD boundMs) {
    // The loader lock is held: the thread cannot exit, only stop where it can
    // be ended without holding anything of ours or the heap's.
    SetEvent(shared_->Wake.get());
    WaitForSingleObject(shared_->Parked.get(), boundMs);
    TerminateThread(thread_.get(), 0);
    const bool gone = WaitForSingleObject(thread_.get(), boundMs) == WAIT_OBJECT_0;
    thread_.reset();
    if (gone) shared_->Release();  // the thread's own reference
}
