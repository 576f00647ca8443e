#include "base/CaseFold.h"

TCaseFold::TCaseFold(const TIsLeadByte& isLeadByte, const TQuery& query) {
    bool anyLead = false;
    for (unsigned c = 0; c < 256; ++c) {
        lead_[c] = c != 0 && isLeadByte && isLeadByte(static_cast<unsigned char>(c));
        anyLead = anyLead || lead_[c];
    }
    for (unsigned c = 0; c < 256; ++c) {
        single_[c] = static_cast<unsigned char>(c);
        if (lead_[c] || c == 0) continue;
        const TFoldChar info = query(c);
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
            const TFoldChar info = query(code);
            double_[code] = static_cast<std::uint16_t>(code);
            if (info.Folded >= 0x100 && info.Folded <= 0xFFFF && lead_[info.Folded >> 8] && (info.Folded & 0xFF) != 0)
                double_[code] = static_cast<std::uint16_t>(info.Folded);
            doubleBlank_[code] = info.Blank;
        }
    }
}

void TCaseFold::Fold(std::string_view text, std::string& out) const {
    out.reserve(out.size() + text.size());
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

std::string TCaseFold::Folded(std::string_view text) const {
    std::string out;
    Fold(text, out);
    return out;
}

std::vector<std::string> TCaseFold::Words(std::string_view text) const {
    std::vector<std::string> words;
    std::string word;
    auto finish = [&] {
        if (!word.empty()) words.push_back(Folded(word));
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
