#include "entries/RecordsByName.h"

void TRecordsByName::Add(TRecordRef rec) {
    if (!rec) return;
    const TEntryName name = rec->EntryName();
    if (Find(name)) return;
    const std::size_t hash = name.Hash();
    records_.emplace(hash, std::move(rec));
}

const TMP3FileInfo* TRecordsByName::Find(const TEntryName& name) const {
    for (auto [it, end] = records_.equal_range(name.Hash()); it != end; ++it)
        if (it->second->EntryName() == name) return it->second.Get();
    return nullptr;
}
