#include "base/CaseFold.h"

TCaseFold::TCaseFold(const TIsLeadByte& isLeadByte, const TUpperCharacter& upper) : pairs_(256) {
    for (int c = 0; c < 256; ++c) {
        single_[c] = static_cast<unsigned char>(c);
        lead_[c] = c != 0 && isLeadByte && isLeadByte(static_cast<unsigned char>(c));
        if (c == 0 || lead_[c]) continue;
        const char one = static_cast<char>(c);
        const std::string u = upper(std::string_view(&one, 1));
        if (u.size() == 1) single_[c] = static_cast<unsigned char>(u[0]);
    }
    for (int l = 0; l < 256; ++l) {
        if (!lead_[l]) continue;
        std::vector<std::uint16_t>& table = pairs_[static_cast<std::size_t>(l)];
        table.resize(256);
        for (int t = 0; t < 256; ++t) {
            table[static_cast<std::size_t>(t)] = static_cast<std::uint16_t>(l << 8 | t);
            if (t == 0) continue;
            const char two[2] = {static_cast<char>(l), static_cast<char>(t)};
            const std::string u = upper(std::string_view(two, 2));
            if (u.size() == 2 && lead_[static_cast<unsigned char>(u[0])])
                table[static_cast<std::size_t>(t)] =
                    static_cast<std::uint16_t>(static_cast<unsigned char>(u[0]) << 8 | static_cast<unsigned char>(u[1]));
        }
    }
}

void TCaseFold::Fold(std::string_view text, std::string& out) const {
    out.reserve(out.size() + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (lead_[c] && i + 1 < text.size()) {
            const std::uint16_t p = pairs_[c][static_cast<unsigned char>(text[++i])];
            out += static_cast<char>(p >> 8);
            out += static_cast<char>(p & 0xFF);
        } else {
            out += static_cast<char>(single_[c]);
        }
    }
}
