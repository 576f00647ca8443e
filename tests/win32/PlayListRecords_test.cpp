// Entry records are destroyed exactly once: when the whole list is replaced and
// when the window goes. Runs the window in this process and counts the frees of
// the records' addresses through this executable's operator delete.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
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

namespace {
std::vector<TRow> MakeRows(int n, const char* prefix) {
    std::vector<TRow> rows;
    for (int i = 0; i < n; ++i) {
        auto* rec = new TMP3FileInfo();
        rec->SongLength = -1;
        rec->SetFileName(std::string(prefix) + std::to_string(i) + ".mp3");
        Watch(rec);
        rows.push_back(TRow{std::string(rec->FileName()), reinterpret_cast<std::uintptr_t>(rec)});
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

    form->ReplaceEntries(MakeRows(3, "second"));
    for (int k = 0; k < 5; ++k) EXPECT_EQ(g_frees[k], 1) << "replaced record " << k;
    for (int k = 5; k < 8; ++k) EXPECT_EQ(g_frees[k], 0);
    EXPECT_EQ(form->Record(0)->FileName(), "second0.mp3");

    form->Release();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    DestroyPendingWindows();
    for (int k = 0; k < 8; ++k) EXPECT_EQ(g_frees[k], 1) << "record " << k << " after the window went";
    g_watchCount = 0;
}
}  // namespace
