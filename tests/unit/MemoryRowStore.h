#pragma once
// An in-memory row store that follows the real list control's rules, for the
// unit tests and the benchmarks:
//  - Exchange and SetText clear the selection marks of the rows they touch;
//  - Delete/DeleteRows shift the marks, the caret and the top row with the rows;
//  - Assign clears and adds every row under one update suspension;
//  - BeginUpdate/EndUpdate nest; the last EndUpdate counts one repaint;
//  - a bad row index raises the list-index error;
//  - SetSelected(i, true) moves the caret to i, as the native list does.
// Every operation is O(1) per row touched, SelCount included.
// Tests can watch or break operations through Hook, called before each change.
#include "base/Errors.h"
#include "controls/RowStore.h"

#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

class TMemoryRowStore : public IRowStore {
public:
    // Called with the operation's name and row index before every change; may throw.
    std::function<void(std::string_view op, int index)> Hook;
    int UpdateDepth = 0;
    int Repaints = 0;       // completed outermost update suspensions
    int Changes = 0;        // row or selection changes made
    int VisibilityChanges = 0;

    TMemoryRowStore() = default;
    explicit TMemoryRowStore(std::vector<TRow> rows) { Load(std::move(rows)); }

    // Fills the store without counting it as a change.
    void Load(std::vector<TRow> rows) {
        rows_ = std::move(rows);
        sel_.assign(rows_.size(), 0);
        selCount_ = 0;
        caret_ = 0;
        top_ = 0;
    }

    int Count() const override { return static_cast<int>(rows_.size()); }
    const std::string& Text(int i) const override { return rows_[Checked(i)].Text; }
    std::uintptr_t Data(int i) const override { return rows_[Checked(i)].Data; }

    void SetText(int i, const std::string& text) override {
        const std::size_t k = Checked(i);
        Before("SetText", i);
        rows_[k].Text = text;
        Mark(k, false);
    }

    void Exchange(int i, int j) override {
        const std::size_t a = Checked(i);
        const std::size_t b = Checked(j);
        Before("Exchange", i);
        std::swap(rows_[a], rows_[b]);
        Mark(a, false);
        Mark(b, false);
    }

    void Delete(int i) override {
        const std::size_t k = Checked(i);
        Before("Delete", i);
        if (sel_[k]) --selCount_;
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(k));
        sel_.erase(sel_.begin() + static_cast<std::ptrdiff_t>(k));
        ShiftForDeleted(i, 1);
    }

    void DeleteRows(const std::vector<int>& rows) override {
        for (int r : rows) Checked(r);
        Before("DeleteRows", rows.empty() ? -1 : rows.front());
        std::size_t out = 0;
        std::size_t next = 0;
        int caretShift = 0, topShift = 0;
        const int caret = caret_, top = top_;
        for (std::size_t k = 0; k < rows_.size(); ++k) {
            if (next < rows.size() && rows[next] == static_cast<int>(k)) {
                ++next;
                if (sel_[k]) --selCount_;
                if (static_cast<int>(k) < caret) ++caretShift;
                if (static_cast<int>(k) < top) ++topShift;
                continue;
            }
            if (out != k) {
                rows_[out] = std::move(rows_[k]);
                sel_[out] = sel_[k];
            }
            ++out;
        }
        rows_.resize(out);
        sel_.resize(out);
        caret_ -= caretShift;
        top_ -= topShift;
        ClampPositions();
    }

    void Clear() override {
        Before("Clear", -1);
        rows_.clear();
        sel_.clear();
        selCount_ = 0;
        caret_ = 0;
        top_ = 0;
    }

    void Assign(std::vector<TRow> rows) override {
        TUpdateGuard updates(*this);
        Clear();
        Append(std::move(rows));
    }

    void Append(std::vector<TRow> rows) override { Insert(Count(), std::move(rows)); }

    void Insert(int at, std::vector<TRow> rows) override {
        if (at < 0 || at > Count()) throw EInsertError();
        Before("Insert", at);
        const auto pos = static_cast<std::ptrdiff_t>(at);
        const auto added = static_cast<int>(rows.size());
        rows_.insert(rows_.begin() + pos, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
        sel_.insert(sel_.begin() + pos, rows.size(), 0);
        if (at <= caret_ && Count() > added) caret_ += added;
        if (at < top_) top_ += added;
    }

    bool IsSelected(int i) const override { return sel_[Checked(i)] != 0; }

    void SetSelected(int i, bool on) override {
        const std::size_t k = Checked(i);
        Before("SetSelected", i);
        Mark(k, on);
        if (on) caret_ = i;
    }

    int SelCount() const override { return selCount_; }
    int TopIndex() const override { return rows_.empty() ? 0 : top_; }
    void SetTopIndex(int i) override {
        top_ = i;
        ClampPositions();
    }
    int ItemIndex() const override { return rows_.empty() ? -1 : caret_; }
    void SetItemIndex(int i) override {
        if (i >= 0 && i < Count()) caret_ = i;
    }
    bool Visible() const override { return visible_; }
    void SetVisible(bool on) override {
        if (on != visible_) ++VisibilityChanges;
        visible_ = on;
    }

    void BeginUpdate() override { ++UpdateDepth; }
    void EndUpdate() override {
        if (UpdateDepth > 0 && --UpdateDepth == 0) ++Repaints;
    }

private:
    std::vector<TRow> rows_;
    std::vector<unsigned char> sel_;
    int selCount_ = 0;
    int caret_ = 0;
    int top_ = 0;
    bool visible_ = true;

    std::size_t Checked(int i) const {
        if (i < 0 || i >= Count()) throw EListError(i);
        return static_cast<std::size_t>(i);
    }
    void Before(std::string_view op, int index) {
        if (Hook) Hook(op, index);
        ++Changes;
    }
    void Mark(std::size_t k, bool on) {
        if ((sel_[k] != 0) == on) return;
        sel_[k] = on ? 1 : 0;
        selCount_ += on ? 1 : -1;
    }
    void ShiftForDeleted(int i, int n) {
        if (i < caret_) caret_ -= n;
        if (i < top_) top_ -= n;
        ClampPositions();
    }
    void ClampPositions() {
        const int last = Count() > 0 ? Count() - 1 : 0;
        if (caret_ > last) caret_ = last;
        if (caret_ < 0) caret_ = 0;
        if (top_ > last) top_ = last;
        if (top_ < 0) top_ = 0;
    }
};
