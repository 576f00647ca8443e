#pragma once
// A counted reference to an entry's record: how the list's rows, the undo
// history, the pending rebuild and the reading keep records. The last
// reference to let go destroys the record. Records are touched by the GUI
// thread only (under EntryLock), so the count is a plain one.
//
// The list box keeps a record in its row's data word; ToWord, FromWord,
// ShareWord and InWord are the only conversions between the two.
#include <cstdint>
#include <memory>
#include <utility>
#include "fileinfo/MP3FileInfo.h"

class TRecordRef {
public:
    TRecordRef() = default;
    // Takes the one reference a new record has.
    explicit TRecordRef(std::unique_ptr<TMP3FileInfo> fresh) noexcept : rec_(fresh.release()) {}
    static TRecordRef Make() { return TRecordRef(std::make_unique<TMP3FileInfo>()); }
    TRecordRef(const TRecordRef& other) noexcept : rec_(other.rec_) {
        if (rec_) rec_->AddReference();
    }
    TRecordRef(TRecordRef&& other) noexcept : rec_(std::exchange(other.rec_, nullptr)) {}
    TRecordRef& operator=(TRecordRef other) noexcept {
        std::swap(rec_, other.rec_);
        return *this;
    }
    ~TRecordRef() { TMP3FileInfo::ReleaseReference(rec_); }

    TMP3FileInfo* Get() const noexcept { return rec_; }
    TMP3FileInfo& operator*() const noexcept { return *rec_; }
    TMP3FileInfo* operator->() const noexcept { return rec_; }
    explicit operator bool() const noexcept { return rec_ != nullptr; }
    bool Is(const TMP3FileInfo* record) const noexcept { return rec_ == record; }
    friend bool operator==(const TRecordRef& a, const TRecordRef& b) noexcept { return a.rec_ == b.rec_; }
    void Reset() noexcept { TRecordRef().Swap(*this); }
    void Swap(TRecordRef& other) noexcept { std::swap(rec_, other.rec_); }
    // References held to the record (for tests and checks).
    std::uint32_t UseCount() const noexcept { return rec_ ? rec_->references_.Count : 0; }

    // Hands this reference to a row's data word (0 for none).
    std::uintptr_t ToWord() && noexcept { return reinterpret_cast<std::uintptr_t>(std::exchange(rec_, nullptr)); }
    // Takes over the reference a data word holds.
    static TRecordRef FromWord(std::uintptr_t word) noexcept {
        TRecordRef r;
        r.rec_ = reinterpret_cast<TMP3FileInfo*>(word);
        return r;
    }
    // A reference of its own to the record a data word holds.
    static TRecordRef ShareWord(std::uintptr_t word) noexcept { return TRecordRef(InWord(word)); }
    // The record a data word holds, for the length of a call.
    static TMP3FileInfo* InWord(std::uintptr_t word) noexcept { return reinterpret_cast<TMP3FileInfo*>(word); }
    // The data word of a record, to compare with a row's.
    static std::uintptr_t WordOf(const TMP3FileInfo* record) noexcept { return reinterpret_cast<std::uintptr_t>(record); }

private:
    explicit TRecordRef(TMP3FileInfo* shared) noexcept : rec_(shared) {
        if (rec_) rec_->AddReference();
    }
    TMP3FileInfo* rec_ = nullptr;
};
