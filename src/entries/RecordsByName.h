#pragma once
// The records of a list by the names that tell entries apart (EntryName), each
// held by one reference while kept: a rebuild's entries take over what the
// list showed for their names while their files are read again.
//
// Kept by the hash of the name, never by a view of it: a record's text block is
// renewed while it is kept (a read result comes in between two pieces of a
// rebuild), and a view would point into the freed block. A look-up compares
// the name each record has when it is asked.
#include <cstddef>
#include <unordered_map>
#include "fileinfo/RecordRef.h"

class TRecordsByName {
public:
    TRecordsByName() = default;
    TRecordsByName(const TRecordsByName&) = delete;
    TRecordsByName& operator=(const TRecordsByName&) = delete;

    void Reserve(std::size_t n) { records_.reserve(n); }
    // Holds rec unless a record of its name is kept already: the first of a name stands for it.
    void Add(TRecordRef rec);
    // The record kept for the name, or null.
    const TMP3FileInfo* Find(const TEntryName& name) const;
    bool Empty() const { return records_.empty(); }

private:
    std::unordered_multimap<std::size_t, TRecordRef> records_;
};
