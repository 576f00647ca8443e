#include "entries/RecordsByName.h"

TRecordsByName::~TRecordsByName() {
    for (auto& [hash, rec] : records_) TMP3FileInfo::ReleaseReference(rec);
}

void TRecordsByName::Add(TMP3FileInfo& rec) {
    const TEntryName name = rec.EntryName();
    if (Find(name)) return;
    records_.emplace(name.Hash(), &rec);
    rec.AddReference();
}

const TMP3FileInfo* TRecordsByName::Find(const TEntryName& name) const {
    for (auto [it, end] = records_.equal_range(name.Hash()); it != end; ++it)
        if (it->second->EntryName() == name) return it->second;
    return nullptr;
}
