// The editing commands run on the real list control and on the in-memory store
// the unit tests use: both must end with the same rows, marks and playing entry,
// which shows the control follows the rules the commands were written against.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../unit/MemoryRowStore.h"
#include "base/Collation_win.h"
#include "base/Text_win.h"
#include "base/Window_win.h"
#include "controls/CustomPlayListBox_win.h"
#include "fileinfo/MP3FileInfo.h"
#include "entries/ListCommands.h"
#include "fileinfo/EntryNames_win.h"

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

// Sorting on the locale's sort keys must give the order of the direct
// comparison: ties equal but for case, kana of every width, kanji, full-width
// letters, digits, hyphens and apostrophes (which the locale weighs apart), and
// paths whose double-byte names hold a 0x5C trail byte. Texts are made in the
// ANSI code page from UTF-16; those it cannot hold are left out.
TEST_F(ListBoxCommandsTest, SortOnSortKeysKeepsTheOrderOfTheDirectComparison) {
    const wchar_t* const wide[] = {
        L"Song", L"song", L"SONG", L"x", L"X", L"a", L"co-op", L"coop", L"Co-op", L"it's", L"its", L"Its",
        L"don't", L"dont", L"-", L"'", L"--", L"a-b", L"ab", L"a'b", L"A-B", L"track 10", L"track 9", L"Track 1",
        L"track 01", L"10", L"9", L"001", L"", L" ", L"あいう", L"アイウ", L"ｱｲｳ", L"愛", L"表示", L"ソニー",
        L"能力", L"十字", L"ﾃｽﾄ", L"テスト", L"てすと", L"Ｓｏｎｇ", L"ｓｏｎｇ", L"ＳＯＮＧ", L"カー", L"かあ",
        L"が", L"か", L"ｶﾞ", L"ガ", L"第1話", L"第10話", L"第２話", L"表", L"ソ", L"Song 表", L"song ソ"};
    std::vector<std::string> titles;
    int dropped = 0;
    for (const wchar_t* w : wide) {
        BOOL lossy = FALSE;
        char buffer[64] = {};
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, -1, buffer, sizeof buffer, nullptr, &lossy);
        if (n <= 0 || lossy) {
            ++dropped;
            continue;
        }
        titles.emplace_back(buffer);
    }
    if (GetACP() == 932) {
        EXPECT_EQ(dropped, 0);
    }
    if (dropped > 0) std::printf("%d titles left out: code page %u cannot hold them\n", dropped, GetACP());
    // Every title three times, in an order the quicksort has to work on.
    std::vector<std::string> mixed;
    for (int round = 0; round < 3; ++round)
        for (std::size_t i = 0; i < titles.size(); ++i) mixed.push_back(titles[(i * 7 + round * 5) % titles.size()]);
    std::vector<std::unique_ptr<TMP3FileInfo>> owned;
    std::vector<TRow> rows, utf8Rows;
    for (const std::string& t : mixed) {
        auto rec = std::make_unique<TMP3FileInfo>();
        rec->SetFileName((owned.size() % 2 ? "C:\\" : "C:\\" + t + "\\") + t + ".mp3");
        rows.push_back({t, reinterpret_cast<std::uintptr_t>(rec.get())});
        utf8Rows.push_back({AnsiToUtf8(t), reinterpret_cast<std::uintptr_t>(rec.get())});
        owned.push_back(std::move(rec));
    }
    for (TSortKey key : {TSortKey::Title, TSortKey::FileName, TSortKey::Path}) {
        // The 8-bit comparison over the code page's texts is the order to keep.
        list->Assign(rows);
        int playing = -1;
        SortEntries(*list, playing, lock, key, &CompareUserText, &AnsiLeadByte);
        std::vector<std::uintptr_t> direct;
        for (int i = 0; i < list->Count(); ++i) direct.push_back(list->Data(i));

        list->Assign(utf8Rows);
        TSortPath path = TSortPath::Direct;
        SortEntries(*list, playing, lock, key, UserCollationUtf8(), CodePageNames(), &path);
        for (int i = 0; i < list->Count(); ++i)
            ASSERT_EQ(list->Data(i), direct[static_cast<std::size_t>(i)]) << "key " << int(key) << " row " << i;
        EXPECT_EQ(path, TSortPath::Keys) << "key " << int(key) << ": the sort keys disagreed with the comparison";
    }
}

}  // namespace
