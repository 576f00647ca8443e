#include "entries/JumpMatch.h"

#include <algorithm>

namespace {
bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000 || c == 0; }
}  // namespace

void TJumpIndex::Fold(std::u16string_view text, std::u16string& out) const {
    const bool ascii = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
    if (!ascii && fold_) {
        fold_(text, out);
        return;
    }
    // Most titles are ASCII: folded here, as the system folds them, without a call.
    for (char16_t c : text) out.push_back(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
}

void TJumpIndex::Assign(int count, const TText& title, const TText& fileName) {
    text_.clear();
    start_.clear();
    if (count <= 0) return;
    start_.reserve(static_cast<std::size_t>(count) + 1);
    std::u16string scratch;
    for (int i = 0; i < count; ++i) {
        start_.push_back(static_cast<std::uint32_t>(text_.size()));
        for (const TText* text : {&title, &fileName}) {
            scratch.clear();
            (*text)(i, scratch);
            Fold(scratch, text_);
            text_.push_back(u'\0');
        }
    }
    start_.push_back(static_cast<std::uint32_t>(text_.size()));
}

std::vector<std::u16string> TJumpIndex::Words(std::u16string_view text) const {
    std::vector<std::u16string> words;
    for (std::size_t i = 0; i < text.size();) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        std::size_t end = i;
        while (end < text.size() && !IsBlank(text[end])) ++end;
        if (end > i) {
            std::u16string word;
            Fold(text.substr(i, end - i), word);
            words.push_back(std::move(word));
        }
        i = end;
    }
    return words;
}

bool TJumpIndex::OnBoundaries(std::size_t at, std::size_t length) const {
    const auto inside = [&](std::size_t k) { return k > 0 && k < text_.size() && IsLow(text_[k]) && IsHigh(text_[k - 1]); };
    return !inside(at) && !inside(at + length);
}

bool TJumpIndex::Holds(int entry, const std::u16string& word) const {
    const std::u16string_view all(text_);
    const std::size_t end = start_[static_cast<std::size_t>(entry) + 1];
    for (std::size_t at = start_[static_cast<std::size_t>(entry)];;) {
        at = all.find(word, at);
        if (at == std::u16string_view::npos || at + word.size() > end) return false;
        if (OnBoundaries(at, word.size())) return true;
        ++at;
    }
}

std::vector<int> TJumpIndex::Match(std::u16string_view text) const {
    std::vector<std::u16string> words = Words(text);
    std::vector<int> found;
    const int n = Count();
    if (words.empty()) {
        found.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) found[static_cast<std::size_t>(i)] = i;
        return found;
    }
    // The longest word first: it has the fewest places to be checked.
    std::stable_sort(words.begin(), words.end(),
                     [](const std::u16string& a, const std::u16string& b) { return a.size() > b.size(); });
    const std::u16string& first = words.front();
    const std::u16string_view all(text_);
    int entry = 0;
    for (std::size_t at = 0; entry < n;) {
        at = all.find(first, at);
        if (at == std::u16string_view::npos) break;
        while (start_[static_cast<std::size_t>(entry) + 1] <= at) ++entry;
        if (OnBoundaries(at, first.size())) {
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
