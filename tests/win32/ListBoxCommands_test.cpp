// The editing commands run on the real list control and on the in-memory store
// the unit tests use: both must end with the same rows, marks and playing entry,
// which shows the control follows the rules the commands were written against.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../unit/MemoryRowStore.h"
#include "base/Window_win.h"
#include "controls/CustomPlayListBox_win.h"
#include "fileinfo/MP3FileInfo.h"
#include "playlist/ListCommands.h"

namespace {

class TParent : public TWindow {
public:
    bool Create() {
        return CreateNative(L"VLListCommandsTestParent", 0, L"commands", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200,
                            300, 260, nullptr, nullptr);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DRAWITEM)
            return SendMessageW(reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem, TCustomPlayListBox::kReflectBase + msg,
                                wp, lp);
        return DefaultHandling(msg, wp, lp);
    }
};

class TNoLock : public IEntryLock {
public:
    void Acquire() override {}
    void Release() override {}
};

// The sort writes its scratch flag into the records, so the rows carry real ones.
std::vector<TRow> Rows(std::vector<std::unique_ptr<TMP3FileInfo>>& records, int n) {
    std::vector<TRow> rows;
    for (int i = 0; i < n; ++i) {
        if (static_cast<int>(records.size()) <= i) records.push_back(std::make_unique<TMP3FileInfo>());
        rows.push_back({"title " + std::to_string((i * 37) % n),
                        reinterpret_cast<std::uintptr_t>(records[static_cast<size_t>(i)].get())});
    }
    return rows;
}

class ListBoxCommandsTest : public ::testing::Test {
protected:
    TParent parent;
    std::vector<std::unique_ptr<TMP3FileInfo>> records;
    std::unique_ptr<TPlayListBox> list;
    TMemoryRowStore memory;
    TNoLock lock;
    int playingList = 7, playingMemory = 7;

    void SetUp() override {
        ASSERT_TRUE(parent.Create());
        list = std::make_unique<TPlayListBox>(parent.Handle(), 1);
        list->SetBorderStyle(TBorderStyle::bsNone);
        list->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
        list->SetMultiSelect(true);
        list->OnDrawItem = [](TCustomPlayListBox&, int, const RECT&, unsigned) {};
        list->OnEraseBkgnd = [](TCustomPlayListBox&, const RECT&) {};
        list->HandleNeeded();
        list->Assign(Rows(records, 40));
        memory.Load(Rows(records, 40));
        for (IRowStore* s : {static_cast<IRowStore*>(list.get()), static_cast<IRowStore*>(&memory)}) {
            for (int i : {3, 4, 9, 15, 16, 17, 30}) s->SetSelected(i, true);
            s->SetItemIndex(20);
            s->SetTopIndex(10);
        }
    }
    void TearDown() override { list.reset(); }

    void ExpectSameRows(const char* what) {
        ASSERT_EQ(list->Count(), memory.Count()) << what;
        for (int i = 0; i < list->Count(); ++i) {
            EXPECT_EQ(list->Text(i), memory.Text(i)) << what << " row " << i;
            EXPECT_EQ(list->Data(i), memory.Data(i)) << what << " row " << i;
            EXPECT_EQ(list->IsSelected(i), memory.IsSelected(i)) << what << " row " << i;
        }
        EXPECT_EQ(list->SelCount(), memory.SelCount()) << what;
        EXPECT_EQ(playingList, playingMemory) << what;
    }
};

TEST_F(ListBoxCommandsTest, SingleRowEditsShiftCaretAndTopLikeTheModel) {
    for (auto [at, n] : {std::pair{2, 3}, std::pair{25, 1}}) {
        std::vector<TRow> extra(static_cast<size_t>(n), TRow{"new", 1});
        list->Insert(at, extra);
        memory.Insert(at, extra);
        ExpectSameRows("insert");
        EXPECT_EQ(list->ItemIndex(), memory.ItemIndex()) << "insert at " << at;
        EXPECT_EQ(list->TopIndex(), memory.TopIndex()) << "insert at " << at;
    }
    for (int i : {5, 30, 0}) {
        list->Delete(i);
        memory.Delete(i);
        ExpectSameRows("delete");
        EXPECT_EQ(list->ItemIndex(), memory.ItemIndex()) << "delete " << i;
        EXPECT_EQ(list->TopIndex(), memory.TopIndex()) << "delete " << i;
    }
}

TEST_F(ListBoxCommandsTest, EveryCommandLeavesTheSameRowsMarksAndPlayingEntry) {
    auto both = [&](const char* what, auto&& command) {
        const bool a = command(*list, playingList);
        const bool b = command(memory, playingMemory);
        EXPECT_EQ(a, b) << what;
        ExpectSameRows(what);
    };
    both("move down", [&](IRowStore& s, int& p) { return MoveSelectedEntries(s, p, lock, TMoveDirection::Down); });
    both("move up", [&](IRowStore& s, int& p) { return MoveSelectedEntries(s, p, lock, TMoveDirection::Up); });
    both("reverse", [&](IRowStore& s, int& p) { return ReverseEntries(s, p, lock); });
    auto compare = [](std::string_view a, std::string_view b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size())) -
               2;
    };
    both("sort", [&](IRowStore& s, int& p) { return SortEntries(s, p, lock, TSortKey::Title, compare); });
    TPlaylistRandom r1, r2;
    both("randomize", [&](IRowStore& s, int& p) {
        return RandomizeEntries(s, p, lock, &s == list.get() ? r1 : r2, 12345);
    });
    both("inverse", [&](IRowStore& s, int&) {
        ChangeSelection(s, TSelectCommand::Inverse);
        return true;
    });
    std::vector<std::uintptr_t> destroyedList, destroyedMemory;
    both("remove", [&](IRowStore& s, int& p) {
        auto& out = &s == list.get() ? destroyedList : destroyedMemory;
        return RemoveEntries(s, p, lock, TRemoveMode::Selected, [&](std::uintptr_t d) { out.push_back(d); });
    });
    EXPECT_EQ(destroyedList, destroyedMemory);
    EXPECT_EQ(list->ItemIndex(), memory.ItemIndex());
    both("select all", [&](IRowStore& s, int&) {
        ChangeSelection(s, TSelectCommand::All);
        return true;
    });
    EXPECT_EQ(list->TopIndex(), memory.TopIndex()) << "select all keeps the top row";
    EXPECT_TRUE(list->Visible());
}

}  // namespace
