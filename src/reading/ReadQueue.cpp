#include "reading/ReadQueue.h"

#include <algorithm>
#include <utility>

void TReadQueue::Push(TReadJob job) {
    if (!jobs_.empty() && job.Ticket <= jobs_.back().Job.Ticket) return;  // the search needs rising tickets
    jobs_.push_back(TSlot{std::move(job), false});
    ++waiting_;
}

TReadQueue::TSlot* TReadQueue::Find(std::uint32_t ticket) {
    auto it = std::lower_bound(jobs_.begin(), jobs_.end(), ticket,
                               [](const TSlot& slot, std::uint32_t t) { return slot.Job.Ticket < t; });
    return it != jobs_.end() && it->Job.Ticket == ticket && !it->Done ? &*it : nullptr;
}

void TReadQueue::PutFirst(const std::vector<std::uint32_t>& tickets) {
    first_.insert(first_.begin(), tickets.begin(), tickets.end());
    // A user scrolling through a long list asks again and again: keep the
    // newest asks and forget what is far behind.
    constexpr std::size_t kMaxFirst = 4096;
    if (first_.size() > kMaxFirst) first_.resize(kMaxFirst);
}

void TReadQueue::Cancel(std::uint32_t ticket) {
    if (TSlot* slot = Find(ticket)) {
        slot->Job = TReadJob{slot->Job.Ticket};
        slot->Done = true;
        --waiting_;
    }
}

void TReadQueue::Clear() {
    jobs_.clear();
    first_.clear();
    waiting_ = 0;
}

bool TReadQueue::Pop(TReadJob& out, const std::function<bool(const TReadJob&)>& mayTake) {
    while (!first_.empty()) {
        const std::uint32_t ticket = first_.front();
        TSlot* slot = Find(ticket);
        if (slot && mayTake && !mayTake(slot->Job)) return false;
        first_.pop_front();
        if (slot) {
            out = std::move(slot->Job);
            slot->Job = TReadJob{ticket};
            slot->Done = true;
            --waiting_;
            return true;
        }
    }
    while (!jobs_.empty()) {
        if (jobs_.front().Done) {
            jobs_.pop_front();
            continue;
        }
        if (mayTake && !mayTake(jobs_.front().Job)) return false;
        out = std::move(jobs_.front().Job);
        jobs_.pop_front();
        --waiting_;
        return true;
    }
    return false;
}
