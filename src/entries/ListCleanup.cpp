#include "entries/ListCleanup.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace {

// Row i's EntryName folded, after a byte that tells a wide name from an 8-bit
// one (a row without a record has the empty 8-bit name).
void AppendFoldedName(const IRowStore& list, int i, const TCaseFold& fold, const TWideFold& wideFold,
                      std::u16string& wide, std::string& out) {
    const TMP3FileInfo* rec = RecordOf(list, i);
    const TEntryName name = rec ? rec->EntryName() : TEntryName{};
    out.push_back(name.Wide ? 'w' : 'a');
    if (!name.Wide) {
        fold.Fold(name.Text, out);
        return;
    }
    if (!wideFold) {
        out.append(name.Text);
        return;
    }
    wide.clear();
    wideFold(rec->WideFileName(), wide);
    const std::size_t at = out.size();
    out.resize(at + 2 * wide.size());
    for (std::size_t k = 0; k < wide.size(); ++k) {
        out[at + 2 * k] = static_cast<char>(wide[k] & 0xFF);
        out[at + 2 * k + 1] = static_cast<char>(wide[k] >> 8);
    }
}

// Takes the rows out of the list (the rows go before their records, so nothing
// can paint a row whose record is gone) and destroys their records, each once
// even when one of them throws. PlayingIndex: newPlaying.
void RemoveRows(IRowStore& list, IEntryLock& lock, const std::vector<int>& doomed, int& playingIndex,
                int newPlaying, const TDestroyRecord& destroy) {
    TUpdateGuard updates(list);
    TEntryLockGuard locked(lock);
    std::vector<std::uintptr_t> records;
    records.reserve(doomed.size());
    for (int i : doomed) records.push_back(list.Data(i));
    list.DeleteRows(doomed);
    playingIndex = newPlaying;
    DestroyRecords(records, destroy);
}

// Rows of `doomed` (ascending) at or before row.
int RemovedUpTo(const std::vector<int>& doomed, int row) {
    return static_cast<int>(std::upper_bound(doomed.begin(), doomed.end(), row) - doomed.begin());
}

}  // namespace

TDuplicateRows FindDuplicateEntries(const IRowStore& list, const TCaseFold& fold, const TWideFold& wideFold) {
    const int n = list.Count();
    // Every folded name in one block; the map's views point into it once it is whole.
    std::string folded;
    std::u16string wide;
    std::vector<std::size_t> starts(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i) {
        AppendFoldedName(list, i, fold, wideFold, wide, folded);
        starts[static_cast<std::size_t>(i) + 1] = folded.size();
    }
    std::unordered_map<std::string_view, int> first;
    first.reserve(static_cast<std::size_t>(n));
    TDuplicateRows out;
    for (int i = 0; i < n; ++i) {
        const std::size_t at = starts[static_cast<std::size_t>(i)];
        const std::string_view name(folded.data() + at, starts[static_cast<std::size_t>(i) + 1] - at);
        const auto [it, fresh] = first.emplace(name, i);
        if (!fresh) {
            out.Doomed.push_back(i);
            out.Keepers.push_back(it->second);
        }
    }
    return out;
}

bool RemoveDuplicateEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, const TCaseFold& fold,
                            const TDestroyRecord& destroy, const TWideFold& wideFold) {
    const TDuplicateRows found = FindDuplicateEntries(list, fold, wideFold);
    if (found.Doomed.empty()) return false;
    int playing = playingIndex;
    if (playing >= 0 && playing < list.Count()) {
        // The playing entry's name stays with its first entry.
        const auto at = std::lower_bound(found.Doomed.begin(), found.Doomed.end(), playing);
        if (at != found.Doomed.end() && *at == playing) playing = found.Keepers[static_cast<std::size_t>(at - found.Doomed.begin())];
        playing -= RemovedUpTo(found.Doomed, playing);
    }
    RemoveRows(list, lock, found.Doomed, playingIndex, playing, destroy);
    return true;
}

bool RemoveDeadEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, const TFileExists& exists,
                       const TCancelled& cancelled, const TDestroyRecord& destroy) {
    const int n = list.Count();
    std::vector<int> doomed;
    for (int i = 0; i < n; ++i) {
        if (cancelled && cancelled()) return false;
        const TMP3FileInfo* rec = RecordOf(list, i);
        if (!rec || (!IsStreamName(rec->FileName()) && !exists(*rec))) doomed.push_back(i);
    }
    if (doomed.empty()) return false;
    int playing = playingIndex;
    if (playing >= 0 && playing < n) playing -= RemovedUpTo(doomed, playing);
    RemoveRows(list, lock, doomed, playingIndex, playing, destroy);
    return true;
}
