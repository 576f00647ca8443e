#pragma once
// The records out for reading, each held by one counted reference, by the
// tickets their jobs were given. Tickets rise, so the records lie in one array
// by ticket: no allocation per record, and the array goes whole when the
// reading is done. A record knows its own ticket (ReadTicket), so that asking
// whether it is out costs nothing.
#include <cstddef>
#include <cstdint>
#include <vector>
#include "fileinfo/RecordRef.h"

class TRecordsOut {
public:
    // rec goes out under ticket, which is above every ticket given before; a
    // record out already under another ticket is held under the new one only.
    void Add(std::uint32_t ticket, TRecordRef rec);
    // The record a result's ticket names, no longer out; none when that ticket
    // is not out (cancelled, or read again since).
    TRecordRef Take(std::uint32_t ticket);
    static bool IsOut(const TMP3FileInfo& rec) { return rec.ReadTicket != 0; }
    std::size_t Size() const { return count_; }
    bool Empty() const { return count_ == 0; }
    // Every record out, in ticket order: f(rec, ticket); those for which f is
    // true are no longer out (their references go).
    template <class F>
    void RemoveIf(F&& f);
    // No record is out any more.
    void Clear() noexcept;

private:
    void Compact() noexcept;
    std::vector<TRecordRef> slots_;  // by ticket - first_; empty where done
    std::uint32_t first_ = 0;
    std::size_t head_ = 0;  // the slots before it are done
    std::size_t count_ = 0;
};

template <class F>
void TRecordsOut::RemoveIf(F&& f) {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        TRecordRef& r = slots_[i];
        if (r && f(*r, first_ + static_cast<std::uint32_t>(i))) {
            r->ReadTicket = 0;
            r.Reset();
            --count_;
        }
    }
    Compact();
}
