// Entry records are destroyed exactly once: when the whole list is replaced and
// when the window goes. Runs the window in this process and counts the frees of
// the records' addresses through this executable's operator delete.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include "base/Errors.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"

namespace {
// Addresses being watched and how often each was freed. A plain array: the
// counter must not allocate inside operator delete.
constexpr int kMaxWatched = 64;
void* g_watched[kMaxWatched];
int g_frees[kMaxWatched];
int g_watchCount = 0;

void NoteFree(void* p) {
    for (int k = 0; k < g_watchCount; ++k)
        if (g_watched[k] == p) ++g_frees[k];
}

// A freed address may be handed out again: stop counting it once checked.
void Unwatch(int from, int to) {
    for (int k = from; k < to; ++k) g_watched[k] = nullptr;
}

void Watch(void* p) {
    g_watched[g_watchCount] = p;
    g_frees[g_watchCount] = 0;
    ++g_watchCount;
}
}  // namespace

void operator delete(void* p) noexcept {
    NoteFree(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    NoteFree(p);
    std::free(p);
}
void* operator new(std::size_t n) {
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

// Set by the test to make the native list refuse to grow, as when memory runs out.
bool g_refuseGrowth = false;
bool NativeListRefusesGrowth() { return g_refuseGrowth; }

namespace {
std::vector<TEntryRow> MakeRows(int n, const char* prefix) {
    std::vector<TEntryRow> rows;
    for (int i = 0; i < n; ++i) {
        auto* rec = new TMP3FileInfo();
        rec->SongLength = -1;
        rec->SetFileName(std::string(prefix) + std::to_string(i) + ".mp3");
        Watch(rec);
        rows.push_back(TEntryRow{std::string(rec->FileName()), TRecordRef(std::unique_ptr<TMP3FileInfo>(rec))});
    }
    return rows;
}

TEST(PlayListRecords, EveryRecordIsDestroyedExactlyOnce) {
    g_watchCount = 0;
    auto* form = new TFormPlayList();
    ASSERT_TRUE(form->Create());
    form->ReplaceEntries(MakeRows(5, "first"));
    ASSERT_EQ(form->EntryCount(), 5);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(g_frees[k], 0) << "still in the list";

    // The replaced records leave the list but the undo history still holds
    // them: they go with the window, below.
    form->ReplaceEntries(MakeRows(3, "second"));
    for (int k = 0; k < 5; ++k) EXPECT_EQ(g_frees[k], 0) << "replaced record " << k << " held for undo";
    for (int k = 5; k < 8; ++k) EXPECT_EQ(g_frees[k], 0);
    EXPECT_EQ(form->Record(0)->FileName(), "second0.mp3");

    // Rows the native list refuses are not leaked, and the list stays in step.
    g_refuseGrowth = true;
    EXPECT_THROW(form->InsertEntries(1, MakeRows(2, "refused")), EInsertError);
    for (int k = 8; k < 10; ++k) EXPECT_EQ(g_frees[k], 1) << "record not placed " << k;
    Unwatch(8, 10);
    EXPECT_EQ(form->EntryCount(), 3);
    EXPECT_EQ(form->Record(1)->FileName(), "second1.mp3");
    // A sort needs no more rows of the native list: it gets through, every record kept.
    form->Commands().SortCommand(TSortCommand::Reverse);
    form->Commands().SortCommand(TSortCommand::Title);
    EXPECT_EQ(form->EntryCount(), 3);
    EXPECT_EQ(SendMessageW(form->ListBox()->Handle(), LB_GETCOUNT, 0, 0), 3);
    for (int k = 5; k < 8; ++k) EXPECT_EQ(g_frees[k], 0) << "sorted record " << k;
    EXPECT_EQ(form->Record(2)->FileName(), "second2.mp3");
    EXPECT_THROW(form->ReplaceEntries(MakeRows(2, "refused")), EInsertError);
    g_refuseGrowth = false;
    for (int k = 5; k < 8; ++k) EXPECT_EQ(g_frees[k], 0) << "the emptied list can be undone: " << k;
    for (int k = 10; k < 12; ++k) EXPECT_EQ(g_frees[k], 1) << "record not placed " << k;
    Unwatch(10, 12);
    EXPECT_EQ(form->EntryCount(), 0);
    EXPECT_EQ(SendMessageW(form->ListBox()->Handle(), LB_GETCOUNT, 0, 0), 0);
    form->InsertEntries(-1, MakeRows(2, "third"));
    EXPECT_EQ(form->EntryCount(), 2);

    form->Release();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    DestroyPendingWindows();
    for (int k = 0; k < 14; ++k) EXPECT_EQ(g_frees[k], 1) << "record " << k << " after the window went";
    g_watchCount = 0;
}
}  // namespace
