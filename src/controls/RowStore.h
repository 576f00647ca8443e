#pragma once
// The row-store interface the list algorithms work on. The real list control
// implements it over its native window; the unit tests use an in-memory store
// that follows the same rules:
//  - Exchange (and putting a row's text) clears the selection marks of the rows it touches;
//  - Assign clears and adds every row under one update suspension;
//  - BeginUpdate/EndUpdate nest; the last EndUpdate repaints once.
#include <cstdint>
#include <string>
#include <vector>

struct TRow {
    std::string Text;
    std::uintptr_t Data = 0;  // pointer-sized data word (the entry record)
    int Weight = -1;          // the row list's own (see TRowList::SetWeigh); -1 unknown
};

class IRowStore {
public:
    virtual ~IRowStore() = default;

    virtual int Count() const = 0;
    virtual const std::string& Text(int i) const = 0;
    virtual std::uintptr_t Data(int i) const = 0;
    virtual void SetText(int i, const std::string& text) = 0;  // clears row i's selection mark
    virtual void Exchange(int i, int j) = 0;                    // clears both rows' selection marks
    virtual void Delete(int i) = 0;                             // removes the row only; the caller owns the data
    // Removes the given rows (ascending, distinct; a bad index raises the list-index
    // error before anything changes). The remaining rows keep their selection marks,
    // and the top row and caret shift with their rows, as if the rows were deleted
    // one by one from the last. Deleting one by one costs O(n) per row on a
    // vector-like store, so the fallback rebuilds the store once instead (Assign,
    // then the marks again); a store may override it with something cheaper.
    virtual void DeleteRows(const std::vector<int>& rows);
    virtual void Clear() = 0;
    virtual void Assign(std::vector<TRow> rows) = 0;
    virtual void Append(std::vector<TRow> rows) = 0;           // adds at the end, in order
    virtual void Insert(int at, std::vector<TRow> rows) = 0;   // inserts before row `at`, in order

    virtual bool IsSelected(int i) const = 0;
    virtual void SetSelected(int i, bool on) = 0;
    virtual int SelCount() const = 0;
    virtual int TopIndex() const = 0;
    virtual void SetTopIndex(int i) = 0;
    virtual int ItemIndex() const = 0;
    virtual void SetItemIndex(int i) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool on) = 0;

    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
};

// Suspends a store's updates for a scope; resumes on every path.
class TUpdateGuard {
public:
    explicit TUpdateGuard(IRowStore& store) : store_(store) { store_.BeginUpdate(); }
    ~TUpdateGuard() { store_.EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;
private:
    IRowStore& store_;
};
