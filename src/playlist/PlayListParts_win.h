#pragma once
// The playlist window's helpers of its own: the state of a long rebuild, of an
// addition in the background, and the scopes a busy command opens.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>
#include "entries/EntryList.h"
#include "entries/RecordsByName.h"
#include "playlist/PlayList_win.h"

// A long rebuild between its return and its end: the host's names, each
// NUL-terminated (the wide one, on a host that keeps Unicode names, where
// it has one), and the entries made of them so far.
struct TPendingBuild {
    static constexpr std::uint32_t kNoWide = ~std::uint32_t{0};
    std::vector<char> Names;
    std::vector<wchar_t> Wides;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Starts;  // name, wide
    std::size_t Next = 0;
    TEntryList Made;
    // The list's records, so that an entry the host still holds shows its
    // tags while its file is read again.
    TRecordsByName Earlier;
};

// What an addition in the background has made so far.
struct TBackgroundAdd {
    int At;
    bool Replace;
    TEntryList Replacing;  // a replacing one keeps the list until it has them all
    int Added = 0;
    int First = -1;  // the row of the first entry shown
};

// Opens the directory scan of a command, or joins the one already open, with the wait cursor.
class TScanScope {
public:
    explicit TScanScope(TEntryAdding& adding);
    ~TScanScope();
    TScanScope(const TScanScope&) = delete;
    TScanScope& operator=(const TScanScope&) = delete;
    TDirectoryScan& Scan() { return *adding_.scan_; }
private:
    TEntryAdding& adding_;
    std::unique_ptr<TDirectoryScan> own_;
    TWaitCursor wait_;
};

// A command of ours runs a message loop while it waits: the pointer over our windows keeps the wait cursor.
struct TBusyScope {
    explicit TBusyScope(TFormPlayList& form) : Form(form) { ++Form.busyLoops_; }
    ~TBusyScope() { --Form.busyLoops_; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;
    TFormPlayList& Form;
};
