#pragma once
// Entries on their way into the list: a title and the record's counted
// reference each. The list box keeps a row's record in its data word; the
// conversion both ways is here.
#include <memory>
#include <string>
#include <vector>
#include "controls/RowStore.h"
#include "fileinfo/RecordRef.h"

struct TEntryRow {
    std::string Title;
    TRecordRef Record;
};

// Rows collected while adding.
class TEntryList {
public:
    TEntryList() = default;
    TEntryList(const TEntryList&) = delete;
    TEntryList& operator=(const TEntryList&) = delete;
    void Add(std::string title, std::unique_ptr<TMP3FileInfo> record);
    void Add(std::string title, TRecordRef record);
    int Count() const { return static_cast<int>(rows_.size()); }
    // Room for n rows ahead; where there is none, rows are added as they come.
    void Reserve(int n) noexcept;
    const std::vector<TEntryRow>& Rows() const { return rows_; }
    // Hands the rows (and their records' references) to the caller.
    std::vector<TEntryRow> Take();
    // Moves more's rows to the end; on failure both keep theirs.
    void Append(TEntryList& more);

private:
    std::vector<TEntryRow> rows_;
};

// The list box's rows for entries: each record's reference goes to its row's
// data word. Until Handed() the words are this object's, and go with it.
class TListRows {
public:
    explicit TListRows(std::vector<TEntryRow> entries);
    ~TListRows();
    TListRows(const TListRows&) = delete;
    TListRows& operator=(const TListRows&) = delete;
    std::vector<TRow>& Rows() { return rows_; }
    // The data words, for the caller to keep beside the rows it hands on.
    const std::vector<std::uintptr_t>& Words() const { return words_; }
    // The list box took the rows (moved out of Rows()): their words are its now.
    void Handed() noexcept { words_.clear(); }

private:
    std::vector<TRow> rows_;
    std::vector<std::uintptr_t> words_;
};

// Lets go of the references data words hold (rows that left the list).
void ReleaseWords(const std::vector<std::uintptr_t>& words) noexcept;
