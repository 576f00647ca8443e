#pragma once
// The playlist's editing commands as plain algorithms over a row store.
//
// Each row of the store is an entry: its display title and, in the data word, a
// pointer to the entry's TMP3FileInfo record (owned by the list). The window
// passes its list box (as IRowStore), a reference to PlayingIndex and its
// EntryLock; the command rearranges the rows, keeps PlayingIndex on the entry it
// named and returns whether the entry list changed. Only then must the caller
// rewrite the host's playlist (PushListToHost): a command that finds nothing to
// do returns false without touching the list, and the host must not be told.
//
// Update suspension and the lock are released on every path. If a step throws,
// the exception leaves the command with both released and the caller (which
// shows the message) must not push to the host.
//
// Every command is linear (sorting n log n) in the number of rows, so that a
// 100,000-entry playlist stays interactive.
#include "base/Collation.h"
#include "controls/RowStore.h"
#include "entries/TitleFormat.h"
#include "fileinfo/RecordRef.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The entry lock as the commands see it. The Win32 side wraps EntryLock (a
// critical section, re-entrant); tests use a counting fake.
class IEntryLock {
public:
    virtual ~IEntryLock() = default;
    virtual void Acquire() = 0;
    virtual void Release() = 0;
};

// Holds an IEntryLock for a scope.
class TEntryLockGuard {
public:
    explicit TEntryLockGuard(IEntryLock& lock) : lock_(lock) { lock_.Acquire(); }
    ~TEntryLockGuard() { lock_.Release(); }
    TEntryLockGuard(const TEntryLockGuard&) = delete;
    TEntryLockGuard& operator=(const TEntryLockGuard&) = delete;
private:
    IEntryLock& lock_;
};

// Destroys one entry record given its data word; called exactly once for every
// row a remove command takes out of the list, after the row has left the store.
using TDestroyRecord = std::function<void(std::uintptr_t)>;
// Destroys every record, from the last to the first. A throwing destroyer does
// not stop the others from being destroyed; the first error is passed on.
void DestroyRecords(const std::vector<std::uintptr_t>& records, const TDestroyRecord& destroy);

// Sorting uses a TCollation (base/Collation.h). The Win32 side passes the user's
// collation with case ignored: CompareStringA(LOCALE_USER_DEFAULT,
// NORM_IGNORECASE) - 2, with LCMapStringA sort keys of the same locale and flags.

// The record behind a row, or nullptr when the data word is 0.
inline TMP3FileInfo* RecordOf(const IRowStore& list, int i) {
    return TRecordRef::InWord(list.Data(i));
}

enum class TMoveDirection { Up, Down };

// Moves every maximal block of selected rows one row up or down; the unselected
// row in front of a block passes to its other end. Does nothing (returns false)
// when nothing is selected or when a selected row already touches the edge in
// that direction - one blocked block blocks the whole move. Selection marks stay
// on the moved entries; PlayingIndex follows its entry.
bool MoveSelectedEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, TMoveDirection direction);

// Values are the tags of the "Delete" menu items.
enum class TRemoveMode { Selected = 0, Crop = 1, All = 2 };

// Removes the selected rows (Selected), the unselected rows (Crop) or every row
// (All), destroying each removed row's record through `destroy`. Selected and
// Crop do nothing without a selection, Crop also when every row is selected;
// All does nothing on an empty list.
// PlayingIndex keeps its entry, or moves to the entry before it (-1 when none)
// when the playing entry is removed; All sets it to -1.
// The caret afterwards: Selected - on the first remaining entry after the old
// caret entry (clamped to the last row); Crop - on the old caret entry when it
// remains, else on the nearest remaining entry before it, else left alone.
bool RemoveEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, TRemoveMode mode,
                   const TDestroyRecord& destroy);

// Values are the tags of the "Select" menu items.
enum class TSelectCommand { All = 0, None = 1, Inverse = 2 };

// Selects all, none or the inverse. The list is hidden meanwhile and keeps its
// top row. Never concerns the host, so there is no result.
void ChangeSelection(IRowStore& list, TSelectCommand command);

// Values are the tags of the "Sort" menu items.
enum class TSortCommand { Title = 0, FileName = 1, Path = 2, Reverse = 3, Randomize = 4 };

// Sort key of a row by tag: Title - the display title; FileName - the file-name
// part of the record's FileName; Path - the whole FileName.
enum class TSortKey { Title = 0, FileName = 1, Path = 2 };

// Sorts the rows by key with the list's quicksort (not stable: keys equal under
// the comparison may change their relative order). Titles shown are never
// changed; selection marks travel with their entries; the top row keeps its
// number; PlayingIndex follows its entry. Needs at least 2 rows.
// With sort keys the quicksort runs unchanged on the keys and the result is then
// checked with one comparison per adjacent pair; if any pair disagrees, the sort
// runs again on the comparison itself. Either way the order is the one the
// comparison alone gives. `path`, when given, tells which way it went.
// Titles are the rows' UTF-8 texts; file names and paths are compared as text
// too: the wide name where a record has one, else its 8-bit name read through
// `names` (see TitleFormat.h), so one collation orders every key.
bool SortEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, TSortKey key, const TCollation& collation,
                 const TNameText& names = {}, TSortPath* path = nullptr);

// Sorts texts (paths chosen in the open dialog) with the same quicksort and
// collation as the sort commands.
void SortTexts(std::vector<std::string>& texts, const TCollation& collation);

// Reverses the order of the rows (marks travel, top row number kept). Needs at
// least 2 rows.
bool ReverseEntries(IRowStore& list, int& playingIndex, IEntryLock& lock);

// The playlist's pseudo-random generator: a 32-bit linear congruential state.
class TPlaylistRandom {
public:
    void Seed(std::uint32_t seed) { state_ = seed; }
    std::uint32_t State() const { return state_; }
    // A value in 0 .. n-1 (0 when n is 0): the high 32 bits of the new state times n.
    std::uint32_t Next(std::uint32_t n) {
        state_ = state_ * 0x08088405u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * n) >> 32);
    }
private:
    std::uint32_t state_ = 0;
};

// Milliseconds since midnight: the seed the randomise command takes from the
// UTC time of day.
std::uint32_t TimeOfDaySeed(int hour, int minute, int second, int milliseconds);

// Re-seeds `random` with `seed` (always, also when nothing is shuffled), then
// with at least 2 rows shuffles them by count + 1 random exchanges (not a
// uniform permutation). Marks travel, top row number kept, PlayingIndex follows.
bool RandomizeEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, TPlaylistRandom& random,
                      std::uint32_t seed);
