#pragma once
// Move-only owners for Win32 handles, one close policy each, and scope classes
// for paired GDI calls. Borrowed handles stay raw.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <utility>
#include "base/TestSeam.h"

template <class H, class Policy>
class TUniqueHandle {
public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(H h) : h_(h) { Count(h_, +1); }
    ~TUniqueHandle() { reset(); }
    TUniqueHandle(TUniqueHandle&& o) noexcept : h_(o.h_) { o.h_ = Policy::null(); }
    TUniqueHandle& operator=(TUniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    H get() const { return h_; }
    explicit operator bool() const { return Policy::valid(h_); }
    H release() {
        Count(h_, -1);
        H h = h_;
        h_ = Policy::null();
        return h;
    }
    void reset(H h = Policy::null()) {
        if (Policy::valid(h_)) {
            Policy::close(h_);
            Count(h_, -1);
        }
        h_ = h;
        Count(h_, +1);
    }
private:
    // Tests watch the handles held by owners for growth over long runs.
    static void Count(H h, long delta) {
        if constexpr (Policy::counter != nullptr)
            if (Policy::valid(h)) TestSeam().*Policy::counter += delta;
    }
    H h_ = Policy::null();
};

template <class H>
struct TGdiPolicyOf {
    static H null() { return nullptr; }
    static bool valid(H h) { return h != nullptr; }
    static void close(H h) { DeleteObject(h); }
    static constexpr long TTestSeam::*counter = &TTestSeam::LiveGdiObjects;
};
struct TFilePolicy {
    static HANDLE null() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
    static constexpr long TTestSeam::*counter = nullptr;
};
// Events, threads and the other kernel objects whose creation gives null on failure.
struct TKernelPolicy {
    static HANDLE null() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
    static constexpr long TTestSeam::*counter = nullptr;
};
struct TFindPolicy {
    static HANDLE null() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
    static constexpr long TTestSeam::*counter = nullptr;
};
struct TIconPolicy {
    static HICON null() { return nullptr; }
    static bool valid(HICON h) { return h != nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
    static constexpr long TTestSeam::*counter = &TTestSeam::LiveUserObjects;
};
struct TMemDcPolicy {
    static HDC null() { return nullptr; }
    static bool valid(HDC h) { return h != nullptr; }
    static void close(HDC h) { DeleteDC(h); }
    static constexpr long TTestSeam::*counter = &TTestSeam::LiveGdiObjects;
};
struct TImageListPolicy {
    static HIMAGELIST null() { return nullptr; }
    static bool valid(HIMAGELIST h) { return h != nullptr; }
    static void close(HIMAGELIST h) { ImageList_Destroy(h); }
    static constexpr long TTestSeam::*counter = nullptr;
};
struct TMenuPolicy {
    static HMENU null() { return nullptr; }
    static bool valid(HMENU h) { return h != nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
    static constexpr long TTestSeam::*counter = &TTestSeam::LiveUserObjects;
};

using TBitmap = TUniqueHandle<HBITMAP, TGdiPolicyOf<HBITMAP>>;
using TFont = TUniqueHandle<HFONT, TGdiPolicyOf<HFONT>>;
using TBrush = TUniqueHandle<HBRUSH, TGdiPolicyOf<HBRUSH>>;
using TRegion = TUniqueHandle<HRGN, TGdiPolicyOf<HRGN>>;
using TPen = TUniqueHandle<HPEN, TGdiPolicyOf<HPEN>>;
using TFile = TUniqueHandle<HANDLE, TFilePolicy>;
using TKernelHandle = TUniqueHandle<HANDLE, TKernelPolicy>;
using TFindHandle = TUniqueHandle<HANDLE, TFindPolicy>;
using TIcon = TUniqueHandle<HICON, TIconPolicy>;
using TMemoryDc = TUniqueHandle<HDC, TMemDcPolicy>;
using TImageList = TUniqueHandle<HIMAGELIST, TImageListPolicy>;
using TMenu = TUniqueHandle<HMENU, TMenuPolicy>;

// GetDC/ReleaseDC pair; keeps the window it belongs to.
class TClientDc {
public:
    explicit TClientDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~TClientDc() { if (dc_) ReleaseDC(hwnd_, dc_); }
    TClientDc(const TClientDc&) = delete;
    TClientDc& operator=(const TClientDc&) = delete;
    HDC get() const { return dc_; }
private:
    HWND hwnd_;
    HDC dc_;
};

// SelectObject that restores the previous object at scope end.
class TSelectGuard {
public:
    TSelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), prev_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~TSelectGuard() { if (prev_) SelectObject(dc_, prev_); }
    TSelectGuard(const TSelectGuard&) = delete;
    TSelectGuard& operator=(const TSelectGuard&) = delete;
private:
    HDC dc_;
    HGDIOBJ prev_;
};

// SaveDC/RestoreDC pair, for clipping and other state changes.
class TSaveDc {
public:
    explicit TSaveDc(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~TSaveDc() { if (id_) RestoreDC(dc_, id_); }
    TSaveDc(const TSaveDc&) = delete;
    TSaveDc& operator=(const TSaveDc&) = delete;
private:
    HDC dc_;
    int id_;
};

// A re-entrant lock (critical section) and its scope.
class TCriticalSection {
public:
    TCriticalSection() { InitializeCriticalSection(&cs_); }
    ~TCriticalSection() { DeleteCriticalSection(&cs_); }
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;
    void Enter() { EnterCriticalSection(&cs_); }
    void Leave() { LeaveCriticalSection(&cs_); }
private:
    CRITICAL_SECTION cs_;
};
class TLockGuard {
public:
    explicit TLockGuard(TCriticalSection& cs) : cs_(cs) { cs_.Enter(); }
    ~TLockGuard() { cs_.Leave(); }
    TLockGuard(const TLockGuard&) = delete;
    TLockGuard& operator=(const TLockGuard&) = delete;
private:
    TCriticalSection& cs_;
};

// The wait cursor for work that keeps the thread busy; the cursor before it comes
// back at scope end. `show` false makes it a no-op (small lists need no cursor).
class TWaitCursor {
public:
    explicit TWaitCursor(bool show = true)
        : shown_(show), previous_(show ? SetCursor(LoadCursor(nullptr, IDC_WAIT)) : nullptr) {}
    ~TWaitCursor() { if (shown_) SetCursor(previous_); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
private:
    bool shown_;
    HCURSOR previous_;
};

// COM for the length of a call that needs a single-threaded apartment. Undone
// only when this call initialised it (S_OK or S_FALSE); a thread already in
// another apartment (RPC_E_CHANGED_MODE) is left as it is.
class TComApartment {
public:
    TComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~TComApartment() { if (SUCCEEDED(result_)) CoUninitialize(); }
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;
    HRESULT Result() const { return result_; }
private:
    HRESULT result_;
};
