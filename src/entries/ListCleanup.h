#pragma once
// Cleaning a playlist: removing duplicate entries and entries whose file is gone.
// Same conventions as ListCommands.h: the window passes its list box, a reference
// to PlayingIndex and its EntryLock; the result tells whether the list changed
// (only then must the caller push it to the host).
#include "base/CaseFold.h"
#include "entries/ListCommands.h"
#include "entries/TitleFormat.h"

#include <functional>
#include <string_view>
#include <vector>

// Which rows go as duplicates: every row whose record's EntryName, folded, equals
// the folded EntryName of an earlier row (one hash look-up per row): 8-bit names
// by fold, wide names by wideFold (none: as they are). Doomed is ascending;
// Keepers[k] is the first row of Doomed[k]'s name, the one that stays.
struct TDuplicateRows {
    std::vector<int> Doomed;
    std::vector<int> Keepers;
};
TDuplicateRows FindDuplicateEntries(const IRowStore& list, const TCaseFold& fold, const TWideFold& wideFold = {});

// Removes the later entries of every name that occurs more than once, case
// ignored, destroying their records. When the playing entry goes, the mark
// moves to the entry of its name that stays. Marks of the remaining rows stay.
bool RemoveDuplicateEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, const TCaseFold& fold,
                            const TDestroyRecord& destroy, const TWideFold& wideFold = {});

// A stream address (IsStreamName, "://" anywhere in the name) is never a dead file.

// Asked with the whole record: a host that keeps Unicode names names the file by
// the wide name, which the 8-bit one (with "?" in it) may not.
using TFileExists = std::function<bool(const TMP3FileInfo& record)>;
using TCancelled = std::function<bool()>;

// Removes every entry whose name is not an existing file (streams stay; a row
// without a record goes), destroying their records; PlayingIndex as for removing the selection (the
// entry before a removed playing entry). Asks `cancelled` between files: once it
// says yes nothing is removed and the result is false.
bool RemoveDeadEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, const TFileExists& exists,
                       const TCancelled& cancelled, const TDestroyRecord& destroy);
