#pragma once
// The row of each record: open addressing over row numbers in one flat array,
// the records' data words compared in the list's order beside it. At 100,000
// entries the table (1 MB) and the words stay in the processor's cache, and no
// entry costs an allocation. The words are identities only: the index never
// reaches a record, and is of no use once the rows change.
#include <cstddef>
#include <cstdint>
#include <vector>
#include "controls/RowStore.h"

class TRowIndex {
public:
    TRowIndex() = default;
    // words: the rows' data words in list order (0: a row without a record).
    explicit TRowIndex(std::vector<std::uintptr_t> words);
    explicit TRowIndex(const IRowStore& list) : TRowIndex(WordsOf(list)) {}
    // The first row holding the word, or -1.
    int Find(std::uintptr_t word) const;
    std::size_t Count() const { return words_.size(); }
    // The words in list order, taken out: the index is empty after.
    std::vector<std::uintptr_t> TakeWords();
    static std::vector<std::uintptr_t> WordsOf(const IRowStore& list);

private:
    // The high bits of a multiplicative hash: records lie at aligned addresses,
    // whose low bits would fill only a fraction of the slots.
    std::size_t Slot(std::uintptr_t w) const {
        return static_cast<std::size_t>((static_cast<std::uint32_t>(w) * 2654435761u) >> shift_) & mask_;
    }
    std::vector<std::uintptr_t> words_;
    std::vector<int> rows_;  // -1: an empty slot
    std::size_t mask_ = 0;
    int shift_ = 0;
};
