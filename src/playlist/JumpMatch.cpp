#include "playlist/JumpMatch.h"

#include <algorithm>

TJumpFolding::TJumpFolding(const TIsLead& isLead, const TQuery& query) {
    bool anyLead = false;
    for (unsigned c = 0; c < 256; ++c) {
        lead_[c] = c != 0 && isLead(static_cast<unsigned char>(c));
        anyLead = anyLead || lead_[c];
    }
    for (unsigned c = 0; c < 256; ++c) {
        single_[c] = static_cast<unsigned char>(c);
        if (lead_[c] || c == 0) continue;
        const TJumpChar info = query(c);
        // A fold that would turn the byte into a lead byte (or into a longer
        // character) would move the character boundaries: such folds are left out.
        if (info.Folded != 0 && info.Folded < 0x100 && !lead_[info.Folded])
            single_[c] = static_cast<unsigned char>(info.Folded);
        singleBlank_[c] = info.Blank;
    }
    if (!anyLead) return;
    double_.assign(0x10000, 0);
    doubleBlank_.assign(0x10000, false);
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!lead_[lead]) continue;
        for (unsigned trail = 1; trail < 256; ++trail) {
            const unsigned code = lead << 8 | trail;
            const TJumpChar info = query(code);
            double_[code] = static_cast<std::uint16_t>(code);
            if (info.Folded >= 0x100 && info.Folded <= 0xFFFF && lead_[info.Folded >> 8] && (info.Folded & 0xFF) != 0)
                double_[code] = static_cast<std::uint16_t>(info.Folded);
            doubleBlank_[code] = info.Blank;
        }
    }
}

void TJumpFolding::FoldInto(std::string_view text, std::string& out) const {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (CharLength(text, i) == 2) {
            const unsigned folded = double_[c << 8 | static_cast<unsigned char>(text[i + 1])];
            out.push_back(static_cast<char>(folded >> 8));
            out.push_back(static_cast<char>(folded & 0xFF));
            i += 2;
        } else {
            out.push_back(static_cast<char>(single_[c]));
            ++i;
        }
    }
}

std::string TJumpFolding::Fold(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    FoldInto(text, out);
    return out;
}

std::vector<std::string> TJumpFolding::Words(std::string_view text) const {
    std::vector<std::string> words;
    std::string word;
    auto finish = [&] {
        if (!word.empty()) words.push_back(Fold(word));
        word.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = CharLength(text, i);
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool blank = n == 2 ? static_cast<bool>(doubleBlank_[c << 8 | static_cast<unsigned char>(text[i + 1])])
                                  : c == 0 || singleBlank_[c];
        if (blank)
            finish();
        else
            word.append(text.substr(i, n));
        i += n;
    }
    finish();
    return words;
}

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
        folding_.FoldInto(title(i), text_);
        text_.push_back('\0');
        folding_.FoldInto(fileName(i), text_);
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
