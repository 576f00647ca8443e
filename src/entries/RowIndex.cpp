#include "entries/RowIndex.h"

#include <utility>

TRowIndex::TRowIndex(std::vector<std::uintptr_t> words) : words_(std::move(words)) {
    std::size_t size = 16;
    shift_ = 32 - 4;
    while (size < 2 * words_.size()) {
        size *= 2;
        --shift_;
    }
    mask_ = size - 1;
    rows_.assign(size, -1);
    for (std::size_t i = 0; i < words_.size(); ++i) {
        const std::uintptr_t w = words_[i];
        if (!w) continue;
        std::size_t at = Slot(w);
        while (rows_[at] >= 0 && words_[static_cast<std::size_t>(rows_[at])] != w) at = (at + 1) & mask_;
        if (rows_[at] < 0) rows_[at] = static_cast<int>(i);
    }
}

int TRowIndex::Find(std::uintptr_t word) const {
    if (rows_.empty() || !word) return -1;
    for (std::size_t at = Slot(word); rows_[at] >= 0; at = (at + 1) & mask_)
        if (words_[static_cast<std::size_t>(rows_[at])] == word) return rows_[at];
    return -1;
}

std::vector<std::uintptr_t> TRowIndex::TakeWords() {
    rows_.clear();
    return std::move(words_);
}

std::vector<std::uintptr_t> TRowIndex::WordsOf(const IRowStore& list) {
    std::vector<std::uintptr_t> words(static_cast<std::size_t>(list.Count()));
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = list.Data(static_cast<int>(i));
    return words;
}
