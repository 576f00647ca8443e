#include "entries/RecordsOut.h"

#include <algorithm>
#include <utility>

void TRecordsOut::Add(std::uint32_t ticket, TRecordRef rec) {
    if (!rec || ticket == 0) return;
    // The earlier ticket first: letting it go may move the slots.
    if (rec->ReadTicket != 0) Take(rec->ReadTicket).Reset();
    if (slots_.empty()) first_ = ticket;
    if (ticket < first_) return;  // tickets rise: an older one is never out again
    const std::size_t at = ticket - first_;
    if (at >= slots_.size()) slots_.resize(at + 1);
    rec->ReadTicket = ticket;
    slots_[at] = std::move(rec);
    ++count_;
}

TRecordRef TRecordsOut::Take(std::uint32_t ticket) {
    if (ticket < first_ || ticket - first_ >= slots_.size()) return {};
    TRecordRef r = std::move(slots_[ticket - first_]);
    if (!r) return {};
    r->ReadTicket = 0;
    --count_;
    Compact();
    return r;
}

void TRecordsOut::Clear() noexcept {
    for (TRecordRef& r : slots_)
        if (r) r->ReadTicket = 0;
    std::vector<TRecordRef>().swap(slots_);
    count_ = 0;
    head_ = 0;
}

void TRecordsOut::Compact() noexcept {
    if (count_ == 0) {
        std::vector<TRecordRef>().swap(slots_);
        head_ = 0;
        return;
    }
    while (head_ < slots_.size() && !slots_[head_]) ++head_;
    // The slots of the earliest tickets go once they are done and make up half.
    if (head_ < 1024 || head_ * 2 < slots_.size()) return;
    slots_.erase(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(head_));
    first_ += static_cast<std::uint32_t>(head_);
    head_ = 0;
}
