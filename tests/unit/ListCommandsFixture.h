#pragma once
// The list commands' fixture: a playlist of records the test owns, a lock and a
// store that log what the commands do to them.
#include "entries/ListCommands.h"
#include "entries/DragMove.h"
#include "entries/ListCleanup.h"
#include "MemoryRowStore.h"
#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>
#include <gtest/gtest.h>

// Outside an anonymous namespace: the suites of both files must share one fixture class.

// ASCII stand-in for the locale collation ignoring case.
inline int CompareIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Records every acquire/release, together with the store's update suspensions,
// into one event log so that the order of the two can be checked.
struct TEventLog {
    std::vector<std::string> Events;
};

class TFakeLock : public IEntryLock {
public:
    explicit TFakeLock(TEventLog& log) : log_(log) {}
    int Depth = 0;
    int Acquisitions = 0;
    void Acquire() override {
        ++Depth;
        ++Acquisitions;
        log_.Events.push_back("lock");
    }
    void Release() override {
        --Depth;
        log_.Events.push_back("unlock");
    }
private:
    TEventLog& log_;
};

class TLoggedStore : public TMemoryRowStore {
public:
    explicit TLoggedStore(TEventLog& log) : log_(log) {}
    void BeginUpdate() override {
        log_.Events.push_back("suspend");
        TMemoryRowStore::BeginUpdate();
    }
    void EndUpdate() override {
        log_.Events.push_back("resume");
        TMemoryRowStore::EndUpdate();
    }
    void SetItemIndex(int i) override {
        log_.Events.push_back("caret");
        TMemoryRowStore::SetItemIndex(i);
    }
private:
    TEventLog& log_;
};

// A playlist of n entries "T0".."Tn-1" whose records the fixture owns; entries
// are identified by their original index through the record pointer.
class ListCommandsTest : public ::testing::Test {
protected:
    TEventLog log;
    TLoggedStore list{log};
    TFakeLock lock{log};
    int playing = -1;
    std::vector<std::unique_ptr<TMP3FileInfo>> records;
    std::map<std::uintptr_t, int> originOf;
    std::vector<std::uintptr_t> destroyed;
    TDestroyRecord destroy = [this](std::uintptr_t d) { destroyed.push_back(d); };

    void Fill(int n) {
        std::vector<std::string> titles;
        for (int i = 0; i < n; ++i) titles.push_back("T" + std::to_string(i));
        FillTitles(titles);
    }
    void FillTitles(const std::vector<std::string>& titles, const std::vector<std::string>& paths = {}) {
        std::vector<TRow> rows;
        for (std::size_t i = 0; i < titles.size(); ++i) {
            auto rec = std::make_unique<TMP3FileInfo>();
            rec->SetFileName(i < paths.size() ? paths[i] : "C:\\music\\" + titles[i] + ".mp3");
            rec->SetTitle(titles[i]);
            const auto data = reinterpret_cast<std::uintptr_t>(rec.get());
            originOf[data] = static_cast<int>(i);
            rows.push_back({titles[i], data});
            records.push_back(std::move(rec));
        }
        list.Hook = nullptr;
        list.Load(std::move(rows));
        log.Events.clear();
    }
    void Select(std::initializer_list<int> rows) {
        for (int r : rows) list.SetSelected(r, true);
        list.Changes = 0;
    }
    std::vector<int> Order() const {
        std::vector<int> out;
        for (int i = 0; i < list.Count(); ++i) out.push_back(originOf.at(list.Data(i)));
        return out;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (int i = 0; i < list.Count(); ++i) out.push_back(list.Text(i));
        return out;
    }
    std::vector<int> SelectedRows() const {
        std::vector<int> out;
        for (int i = 0; i < list.Count(); ++i)
            if (list.IsSelected(i)) out.push_back(i);
        return out;
    }
    std::vector<int> DestroyedOrigins() const {
        std::vector<int> out;
        for (auto d : destroyed) out.push_back(originOf.at(d));
        return out;
    }
    // Nothing happened at all: no change, no suspension, no lock.
    void ExpectUntouched() const {
        EXPECT_EQ(list.Changes, 0);
        EXPECT_EQ(list.Repaints, 0);
        EXPECT_EQ(lock.Acquisitions, 0);
        EXPECT_TRUE(destroyed.empty());
    }
    void ExpectReleased() const {
        EXPECT_EQ(lock.Depth, 0);
        EXPECT_EQ(list.UpdateDepth, 0);
        EXPECT_TRUE(list.Visible());
    }
    // Every row change must happen with updates suspended and the lock held.
    void RequireGuardedChanges() {
        list.Hook = [this](std::string_view op, int) {
            if (lock.Depth == 0 || list.UpdateDepth == 0)
                ADD_FAILURE() << std::string(op) << " outside the lock or the update suspension";
        };
    }
};

using V = std::vector<int>;
