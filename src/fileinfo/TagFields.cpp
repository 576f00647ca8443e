#include "fileinfo/TagFields.h"

#include "base/ProfileText.h"

bool TTagFields::Wants(TInfoField field, int rank) const {
    return rank < ranks_[std::size_t(field)];
}

void TTagFields::Offer(TInfoField field, std::string value, int rank) {
    if (value.empty() || !Wants(field, rank)) return;
    values_[std::size_t(field)] = std::move(value);
    ranks_[std::size_t(field)] = rank;
}

bool TTagFields::WantsAny() const {
    for (TInfoField f : {TInfoField::Title, TInfoField::Artist, TInfoField::Album, TInfoField::Comment,
                         TInfoField::Genre, TInfoField::Year, TInfoField::Copyright, TInfoField::Software})
        if (Wants(f)) return true;
    return false;
}

bool TTagFields::StoreInto(TMP3FileInfo& info) const {
    bool any = false;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (values_[i].empty()) continue;
        info.Set(TInfoField(i), values_[i]);
        any = true;
    }
    return any;
}

bool CommonTagKey(std::string_view key, TTagKey& out) {
    struct TKey {
        const char* Name;
        TInfoField Field;
        int Rank;
    };
    static constexpr TKey kKeys[] = {
        {"TITLE", TInfoField::Title, 0},         {"ARTIST", TInfoField::Artist, 0},
        {"ALBUM", TInfoField::Album, 0},         {"COMMENT", TInfoField::Comment, 0},
        {"DESCRIPTION", TInfoField::Comment, 1}, {"GENRE", TInfoField::Genre, 0},
        {"DATE", TInfoField::Year, 0},           {"YEAR", TInfoField::Year, 1},
        {"COPYRIGHT", TInfoField::Copyright, 0}, {"ENCODER", TInfoField::Software, 0},
        {"ENCODED-BY", TInfoField::Software, 0},
    };
    for (const TKey& k : kKeys) {
        if (EqualsIgnoringAsciiCase(key, k.Name)) {
            out = {k.Field, k.Rank};
            return true;
        }
    }
    return false;
}
