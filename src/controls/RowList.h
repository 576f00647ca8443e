#pragma once
// The rows of the playlist list control, kept in our own memory. The native list
// window holds no text: it only knows how many rows there are and which are
// selected, and asks for row N when it draws. Keeping the rows here makes an
// exchange a swap of two small records instead of a string delete and re-insert
// in the native list, which is what keeps 100,000-row playlists fast.
#include "controls/RowStore.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A row text holds at most this many bytes (the text is read back through a
// 4096-byte buffer, terminator included).
constexpr std::size_t kMaxRowTextLength = 4095;

// Cuts UTF-8 text to at most maxBytes without splitting a character.
std::string ClipRowText(std::string text, std::size_t maxBytes);

// Orders two row texts: negative, zero or positive.
using TRowCompare = std::function<int(const std::string&, const std::string&)>;

// The sum of the rows' weights (the entries' lengths) and how many rows have none.
struct TWeightSums {
    std::int64_t Known = 0;
    int Unknown = 0;
    void Add(int weight, int sign) {
        if (weight < 0) Unknown += sign;
        else Known += std::int64_t(weight) * sign;
    }
};

class TRowList {
public:
    TRowList() = default;

    int Count() const { return static_cast<int>(rows_.size()); }
    bool ValidIndex(int i) const { return i >= 0 && i < Count(); }

    // Unchecked accessors: callers check ValidIndex first.
    const std::string& Text(int i) const { return rows_[static_cast<std::size_t>(i)].Text; }
    std::uintptr_t Data(int i) const { return rows_[static_cast<std::size_t>(i)].Data; }

    void SetText(int i, std::string text);
    void SetData(int i, std::uintptr_t data);

    // A row's weight is taken from its data word as the row comes in (the data
    // is alive then, not always when it goes), so the sums over all rows follow
    // every change at the cost of the rows changed. Setting weigh weighs every row once.
    using TWeigh = int (*)(std::uintptr_t data);
    void SetWeigh(TWeigh weigh);
    int Weight(int i) const { return rows_[static_cast<std::size_t>(i)].Weight; }
    void SetWeight(int i, int weight);
    const TWeightSums& Sums() const { return sums_; }

    // Inserts rows before row at (0 <= at <= Count()); texts longer than the limit are cut.
    void Insert(int at, std::vector<TRow> rows);
    void Delete(int i);
    void DeleteRange(int at, int n);
    // Removes the given rows (ascending, distinct, valid) in one pass.
    void DeleteRows(const std::vector<int>& rows);
    void Clear();
    void Assign(std::vector<TRow> rows);
    void Exchange(int i, int j);
    // Takes row from out and puts it at to; the rows between shift by one.
    void Move(int from, int to);
    // Puts the rows in a new order: row i becomes the old row from[i]. from must
    // name every row once (else false, nothing moved). Texts move, none is copied.
    bool Reorder(const std::vector<int>& from);

    // Where a sorted list puts a new text: after every row that does not order after it.
    int SortedPosition(const std::string& text, const TRowCompare& compare) const;

    // The first row at or after start (wrapping round) whose text satisfies match; -1 if none.
    int Find(int start, const std::function<bool(const std::string&)>& match) const;

    std::vector<TRow> Rows() const { return rows_; }

private:
    void Clip(std::string& text) const;
    void Weigh(TRow& row);
    void Unweigh(const TRow& row) { sums_.Add(row.Weight, -1); }

    std::vector<TRow> rows_;
    TWeigh weigh_ = nullptr;
    TWeightSums sums_;
};
