#include "entries/JumpMatch.h"

#include <algorithm>

void TJumpIndex::Assign(int count, const TText& title, const TText& fileName) {
    text_.clear();
    start_.clear();
    multiByte_.clear();
    if (count <= 0) return;
    start_.reserve(static_cast<std::size_t>(count) + 1);
    multiByte_.reserve(static_cast<std::size_t>(count));
    const bool leads = folding_.HasLeadBytes();
    for (int i = 0; i < count; ++i) {
        start_.push_back(static_cast<std::uint32_t>(text_.size()));
        const std::size_t from = text_.size();
        folding_.Fold(title(i), text_);
        text_.push_back('\0');
        folding_.Fold(fileName(i), text_);
        text_.push_back('\0');
        bool multi = false;
        if (leads)
            for (std::size_t k = from; k < text_.size() && !multi; ++k)
                multi = folding_.IsLead(static_cast<unsigned char>(text_[k]));
        multiByte_.push_back(multi);
    }
    start_.push_back(static_cast<std::uint32_t>(text_.size()));
}

bool TJumpIndex::OnBoundaries(int entry, std::size_t at, std::size_t length) const {
    if (!multiByte_[static_cast<std::size_t>(entry)]) return true;
    const std::string_view all(text_);
    std::size_t k = start_[static_cast<std::size_t>(entry)];
    while (k < at) k += folding_.CharLength(all, k);
    if (k != at) return false;
    while (k < at + length) k += folding_.CharLength(all, k);
    return k == at + length;
}

bool TJumpIndex::Holds(int entry, const std::string& word) const {
    const std::string_view all(text_);
    const std::size_t end = start_[static_cast<std::size_t>(entry) + 1];
    for (std::size_t at = start_[static_cast<std::size_t>(entry)];;) {
        at = all.find(word, at);
        if (at == std::string_view::npos || at + word.size() > end) return false;
        if (OnBoundaries(entry, at, word.size())) return true;
        ++at;
    }
}

std::vector<int> TJumpIndex::Match(std::string_view text) const {
    std::vector<std::string> words = folding_.Words(text);
    std::vector<int> found;
    const int n = Count();
    if (words.empty()) {
        found.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) found[static_cast<std::size_t>(i)] = i;
        return found;
    }
    // The longest word first: it has the fewest places to be checked.
    std::stable_sort(words.begin(), words.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    const std::string& first = words.front();
    const std::string_view all(text_);
    int entry = 0;
    for (std::size_t at = 0; entry < n;) {
        at = all.find(first, at);
        if (at == std::string_view::npos) break;
        while (start_[static_cast<std::size_t>(entry) + 1] <= at) ++entry;
        if (OnBoundaries(entry, at, first.size())) {
            found.push_back(entry);
            at = start_[static_cast<std::size_t>(++entry)];
        } else {
            ++at;
        }
    }
    for (std::size_t w = 1; w < words.size() && !found.empty(); ++w)
        found.erase(std::remove_if(found.begin(), found.end(), [&](int e) { return !Holds(e, words[w]); }),
                    found.end());
    return found;
}
