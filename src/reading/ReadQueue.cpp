#include "reading/ReadQueue.h"

#include <algorithm>
#include <utility>

void TReadQueue::Push(TReadJob job) {
    if (!jobs_.empty() && job.Ticket <= jobs_.back().Ticket) return;  // the search needs rising tickets
    TSlot slot;
    slot.Ticket = job.Ticket;
    slot.Reader = job.Reader;
    slot.PreferId3v2 = job.PreferId3v2;
    slot.ReadLength = job.ReadLength;
    slot.CheckFile = job.CheckFile;
    slot.PathAt = static_cast<std::uint32_t>(paths_.size());
    slot.PathSize = static_cast<std::uint32_t>(job.Path.size());
    slot.WideAt = static_cast<std::uint32_t>(wides_.size());
    slot.WideSize = static_cast<std::uint32_t>(job.WidePath.size());
    const std::size_t pathsBefore = paths_.size(), widesBefore = wides_.size();
    try {
        paths_.insert(paths_.end(), job.Path.begin(), job.Path.end());
        wides_.insert(wides_.end(), job.WidePath.begin(), job.WidePath.end());
        jobs_.push_back(slot);
    } catch (...) {
        paths_.resize(pathsBefore);
        wides_.resize(widesBefore);
        throw;
    }
    ++waiting_;
}

TReadQueue::TSlot* TReadQueue::Find(std::uint32_t ticket) {
    auto it = std::lower_bound(jobs_.begin(), jobs_.end(), ticket,
                               [](const TSlot& slot, std::uint32_t t) { return slot.Ticket < t; });
    return it != jobs_.end() && it->Ticket == ticket && !it->Done ? &*it : nullptr;
}

TReadJob TReadQueue::JobOf(const TSlot& slot) const {
    TReadJob job;
    job.Ticket = slot.Ticket;
    job.Path.assign(paths_.data() + slot.PathAt, slot.PathSize);
    job.WidePath.assign(wides_.data() + slot.WideAt, slot.WideSize);
    job.Reader = slot.Reader;
    job.PreferId3v2 = slot.PreferId3v2;
    job.ReadLength = slot.ReadLength;
    job.CheckFile = slot.CheckFile;
    return job;
}

void TReadQueue::Retire(TSlot& slot) {
    slot.Done = true;
    --waiting_;
    deadBytes_ += slot.PathSize + 2 * std::size_t{slot.WideSize};
    CompactTexts();
}

void TReadQueue::CompactTexts() {
    if (waiting_ == 0) {
        // Run dry: the arrays go whole, back to the system.
        std::vector<char>().swap(paths_);
        std::vector<char16_t>().swap(wides_);
        deadBytes_ = 0;
        return;
    }
    const std::size_t bytes = paths_.size() + 2 * wides_.size();
    if (deadBytes_ < (std::size_t{1} << 20) || deadBytes_ * 2 < bytes) return;
    // Mostly dead (a stuck read holds the queue open): the living names move together.
    std::vector<char> paths;
    std::vector<char16_t> wides;
    paths.reserve(paths_.size() - std::min(paths_.size(), deadBytes_));
    for (TSlot& slot : jobs_) {
        if (slot.Done) continue;
        const auto pathAt = static_cast<std::uint32_t>(paths.size()), wideAt = static_cast<std::uint32_t>(wides.size());
        paths.insert(paths.end(), paths_.begin() + slot.PathAt, paths_.begin() + slot.PathAt + slot.PathSize);
        wides.insert(wides.end(), wides_.begin() + slot.WideAt, wides_.begin() + slot.WideAt + slot.WideSize);
        slot.PathAt = pathAt;
        slot.WideAt = wideAt;
    }
    paths_.swap(paths);
    wides_.swap(wides);
    deadBytes_ = 0;
}

void TReadQueue::PutFirst(const std::vector<std::uint32_t>& tickets) {
    first_.insert(first_.begin(), tickets.begin(), tickets.end());
    // A user scrolling through a long list asks again and again: keep the
    // newest asks and forget what is far behind.
    constexpr std::size_t kMaxFirst = 4096;
    if (first_.size() > kMaxFirst) first_.resize(kMaxFirst);
}

void TReadQueue::Cancel(std::uint32_t ticket) {
    if (TSlot* slot = Find(ticket)) Retire(*slot);
}

void TReadQueue::Clear() {
    jobs_.clear();
    first_.clear();
    waiting_ = 0;
    CompactTexts();
}

bool TReadQueue::Pop(TReadJob& out, const std::function<bool(const TReadJob&)>& mayTake) {
    while (!first_.empty()) {
        const std::uint32_t ticket = first_.front();
        TSlot* slot = Find(ticket);
        if (slot) {
            TReadJob job = JobOf(*slot);
            if (mayTake && !mayTake(job)) return false;
            out = std::move(job);
            Retire(*slot);
        }
        first_.pop_front();
        if (slot) return true;
    }
    while (!jobs_.empty()) {
        if (jobs_.front().Done) {
            jobs_.pop_front();
            continue;
        }
        TReadJob job = JobOf(jobs_.front());
        if (mayTake && !mayTake(job)) return false;
        out = std::move(job);
        Retire(jobs_.front());
        jobs_.pop_front();
        return true;
    }
    return false;
}
