#pragma once
// Counters that let long test runs check that nothing leaks or escapes, and an
// allocation limit for out-of-memory tests. Every build keeps the counters (a
// few increments); only the test build of the DLL hands them out (its extra
// export) and honours AllocationsLeft (its own operator new). Everything runs on
// the host's GUI thread except the tag reader, which makes records of its own:
// the counters it can touch change atomically.
struct TTestSeam {
    long LiveRecords = 0;           // entry records (TMP3FileInfo) alive
    long LiveGdiObjects = 0;        // GDI objects held by our owner types
    long LiveUserObjects = 0;       // icons and menus held by our owner types
    long ShownErrors = 0;           // command errors a boundary showed to the user
    long UnexpectedExceptions = 0;  // anything else a boundary caught: a fault
    long AllocationsLeft = -1;      // test build: allocations still allowed; -1 = no limit
    long Rebuilds = 0;              // lists taken from the host's playlist (each leaves both equal)
    long HoldReader = 0;            // while not 0 the tag reader takes no new job (tests see titles still out)
    long ReaderBusy = 0;            // the tag reader's thread holds a job (set and cleared by that thread)
    long HoldScan = 0;              // 1: a folder scan hands its names over only once its walk is over; 2: and
                                    // waits then, ScanHeld set, until the flag is no longer 2
    long ScanHeld = 0;              // a scan held by HoldScan 2 is at the end of its walk
    long HoldShares = 0;            // while not 0 opening a file on a share (\\server\...) waits: a share out of reach
};

TTestSeam& TestSeam();

// A member that counts the live objects of its owner in one of the counters.
template <long TTestSeam::*Counter>
struct TLiveCount {
    TLiveCount() noexcept { __atomic_add_fetch(&(TestSeam().*Counter), 1, __ATOMIC_RELAXED); }
    TLiveCount(const TLiveCount&) noexcept { __atomic_add_fetch(&(TestSeam().*Counter), 1, __ATOMIC_RELAXED); }
    TLiveCount& operator=(const TLiveCount&) noexcept { return *this; }
    ~TLiveCount() { __atomic_sub_fetch(&(TestSeam().*Counter), 1, __ATOMIC_RELAXED); }
};
