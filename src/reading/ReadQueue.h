#pragma once
// The reader thread's work list: the files whose tags are still to be read, in
// the order they were handed in, with the rows the user can see taken first.
// No locking here: its one owner guards it.
//
// A job waits without a heap block of its own: the names of all waiting jobs
// lie in two arrays, given back whole when the queue runs dry. A long reading
// of small blocks, each living until its file is read, would leave the heap
// full of holes between the records made meanwhile.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

struct TTagReaderEntry;

struct TReadJob {
    std::uint32_t Ticket = 0;  // unique, rising in the order of Push
    std::string Path;          // copied: the reader never touches the asker's data
    std::u16string WidePath;   // the host's Unicode name, when it has one
    const TTagReaderEntry* Reader = nullptr;  // null: nothing to read, only to look at
    bool PreferId3v2 = false;
    bool ReadLength = false;  // the file's length too, in the same visit
    // Whether the name must first be found to be a plain file (a host entry);
    // names just found on disk skip the look.
    bool CheckFile = false;
};

class TReadQueue {
public:
    // Takes the job's ticket as given; tickets must rise.
    void Push(TReadJob job);
    // The jobs with these tickets go before every other, in the order given
    // and before those put first earlier. Tickets done or unknown are ignored.
    void PutFirst(const std::vector<std::uint32_t>& tickets);
    // The job of a ticket is dropped (done or unknown: nothing happens).
    void Cancel(std::uint32_t ticket);
    void Clear();
    // The next job, false when there is none, or when mayTake (if given)
    // refuses it: then it stays the next.
    bool Pop(TReadJob& job, const std::function<bool(const TReadJob&)>& mayTake = {});
    std::size_t Size() const { return waiting_; }

private:
    // A taken or cancelled job keeps its slot (emptied), so the tickets stay
    // sorted for the search.
    struct TSlot {
        std::uint32_t Ticket = 0;
        std::uint32_t PathAt = 0, PathSize = 0, WideAt = 0, WideSize = 0;
        const TTagReaderEntry* Reader = nullptr;
        bool PreferId3v2 = false, ReadLength = false, CheckFile = false;
        bool Done = false;
    };
    TSlot* Find(std::uint32_t ticket);
    TReadJob JobOf(const TSlot& slot) const;
    // The slot is taken or cancelled: its names are dead bytes.
    void Retire(TSlot& slot);
    void CompactTexts();

    std::deque<TSlot> jobs_;             // in ticket order
    std::vector<char> paths_;            // the waiting jobs' names, one after another
    std::vector<char16_t> wides_;
    std::size_t deadBytes_ = 0;
    std::deque<std::uint32_t> first_;    // tickets to take before jobs_' order
    std::size_t waiting_ = 0;
};
