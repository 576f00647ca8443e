#pragma once
// The playlist list control: rows of text plus a data word, many selectable at
// once, drawn entirely by the owner. Beyond a plain list box it lets the owner
// paint the background behind the rows (OnEraseBkgnd), and while such a painter
// is set it repaints itself completely whenever its top row changes, so the
// background is painted again in its place after the rows have moved.
//
// The rows live in the control's own row store (TRowList); the native window is
// a superclass of the system list box created as an owner-drawn no-data list:
// it keeps the row count, the selection marks, the caret and the top row, and
// asks for row N when it draws. It answers LB_GETTEXT, LB_GETTEXTLEN and
// LB_FINDSTRINGEXACT from the store, so other programs read the titles as from
// any string-holding list (the first kMaxReaderText characters of each).
//
// The parent window reflects the list's WM_COMMAND, WM_DRAWITEM and
// WM_MEASUREITEM to it as kReflectBase + message (or calls CommandNotification,
// DrawRequest and MeasureRequest directly); it answers WM_CTLCOLORLISTBOX itself.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Handles_win.h"
#include "base/Text_win.h"
#include "base/Window_win.h"
#include "controls/ListBoxParams.h"
#include "controls/RowList.h"
#include "controls/RowStore.h"

class TCustomPlayListBox;

// Whether the native list is to refuse to grow, as it does when memory runs out.
bool NativeListRefusesGrowth();

// Shift state of key events.
enum : unsigned { ssShift = 0x1, ssCtrl = 0x2, ssAlt = 0x4 };

// The drawing surface handed to the draw and background painters. It is bound
// to a device context only while a draw request, a background erase or a paint
// into a given context runs; outside those, Handle() is null.
class TListCanvas {
public:
    TListCanvas() = default;
    TListCanvas(const TListCanvas&) = delete;
    TListCanvas& operator=(const TListCanvas&) = delete;

    HDC Handle() const { return dc_; }
    bool Bound() const { return dc_ != nullptr; }
    HBRUSH Brush() const { return brush_; }
    void SetBrush(HBRUSH brush);            // borrowed
    void SetBrushColor(COLORREF color);     // a solid brush of the canvas's own
    COLORREF FontColor() const { return fontColor_; }
    void SetFontColor(COLORREF color);
    void FillRect(const RECT& r) const;

private:
    friend class TCanvasBinding;
    void ApplyBrushToDc();
    HDC dc_ = nullptr;
    HBRUSH brush_ = nullptr;
    TBrush ownBrush_;
    COLORREF fontColor_ = 0;
};

// Binds a canvas to a device context for one scope, with the control's font and
// brush; restores the context and unbinds on every path. Without wholeState only
// the font and brush go back: for a context whose owner restores the rest itself
// (a saved state costs more than the row drawn into it).
class TCanvasBinding {
public:
    TCanvasBinding(TListCanvas& canvas, HDC dc, HFONT font, HBRUSH brush, bool wholeState = true);
    ~TCanvasBinding();
    TCanvasBinding(const TCanvasBinding&) = delete;
    TCanvasBinding& operator=(const TCanvasBinding&) = delete;
    // Puts the font, brush and colours back as the binding set them, for the
    // next of many rows drawn in one binding.
    void NextRow();

private:
    TListCanvas& canvas_;
    int saved_ = 0;
    HGDIOBJ oldFont_ = nullptr, oldBrush_ = nullptr;
    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
    COLORREF bkColor_ = 0, textColor_ = 0;
    int bkMode_ = OPAQUE;
};

using TDrawItemEvent = std::function<void(TCustomPlayListBox& control, int index, const RECT& rect, unsigned state)>;
using TEraseBkgndEvent = std::function<void(TCustomPlayListBox& control, const RECT& rect)>;
using TMeasureItemEvent = std::function<void(TCustomPlayListBox& control, int index, int& height)>;
using TNotifyEvent = std::function<void(TCustomPlayListBox& control)>;
// The selected rows dragged with the mouse are to go into the gap before row
// gap (0 = the top, Count() = the end).
using TDragMoveEvent = std::function<void(TCustomPlayListBox& control, int gap)>;
// key may be set to 0 to keep the key from the native list.
using TKeyEvent = std::function<void(TCustomPlayListBox& control, WORD& key, unsigned shift)>;

class TCustomPlayListBox : public TWindow, public IRowStore {
public:
    // Reflected messages: kReflectBase + WM_COMMAND / WM_DRAWITEM / WM_MEASUREITEM.
    static constexpr UINT kReflectBase = 0xBC00;
    static constexpr UINT CN_COMMAND = kReflectBase + WM_COMMAND;
    static constexpr UINT CN_DRAWITEM = kReflectBase + WM_DRAWITEM;
    static constexpr UINT CN_MEASUREITEM = kReflectBase + WM_MEASUREITEM;
    static constexpr const wchar_t* kClassName = L"TPlayListBox";
    // Other programs are told at most this many characters of a row.
    static constexpr std::size_t kMaxReaderText = ::kMaxReaderText;

    explicit TCustomPlayListBox(HWND parent = nullptr, int controlId = 0);
    ~TCustomPlayListBox() override;

    // The native window is made the first time it is needed (a parent is required).
    void SetParentWindow(HWND parent);
    HWND ParentWindow() const { return parent_; }
    void HandleNeeded();

    // Geometry in the parent's client coordinates.
    void SetBounds(int left, int top, int width, int height);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // ---- properties
    int ItemHeight() const;
    void SetItemHeight(int h);
    TListBoxStyle Style() const { return params_.Style; }
    void SetStyle(TListBoxStyle s);
    bool MultiSelect() const { return params_.MultiSelect; }
    void SetMultiSelect(bool on);
    bool ExtendedSelect() const { return params_.ExtendedSelect; }
    void SetExtendedSelect(bool on);
    bool IntegralHeight() const { return params_.IntegralHeight; }
    void SetIntegralHeight(bool on);
    TBorderStyle BorderStyle() const { return params_.BorderStyle; }
    void SetBorderStyle(TBorderStyle b);
    bool Sorted() const { return params_.Sorted; }
    void SetSorted(bool on);
    int Columns() const { return params_.Columns; }
    void SetColumns(int c);
    int TabWidth() const { return params_.TabWidth; }
    void SetTabWidth(int t);
    bool Ctl3D() const { return params_.Ctl3D; }
    void SetCtl3D(bool on);
    bool Enabled() const { return params_.Enabled; }
    void SetEnabled(bool on);
    HFONT Font() const { return font_; }
    void SetFont(HFONT font);                 // borrowed: the owner keeps it alive
    HBRUSH BackgroundBrush() const { return brush_; }
    void SetBackgroundBrush(HBRUSH brush);    // borrowed
    HMENU PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(HMENU menu) { popupMenu_ = menu; }  // borrowed; commands go to the parent

    TListCanvas& Canvas() { return canvas_; }
    // Repaints the whole control, background first.
    void Invalidate();

    // ---- the row store
    int Count() const override { return rows_.Count(); }
    const std::string& Text(int i) const override;
    std::uintptr_t Data(int i) const override;
    void SetText(int i, const std::string& text) override;
    // A new title that arrived later (tags read in the background): the row
    // keeps its selection and place, only it is repainted when it shows, and
    // the rows count as unchanged.
    void RetitleRow(int i, const std::string& text);
    // Row i is painted again if it is in view.
    void InvalidateRow(int i);
    void SetData(int i, std::uintptr_t data);
    void Exchange(int i, int j) override;
    void Move(int from, int to);
    // Row i becomes the old row from[i] (every row named once, else false and
    // nothing changes); the rows `marked` (ascending) are then the only marked
    // ones, and the caret and anchor go to the last of them as SetSelected
    // under an update suspension puts them, the top row staying. The native row
    // count stays, so this costs little more than moving the rows in memory.
    bool Reorder(const std::vector<int>& from, const std::vector<int>& marked);
    void Delete(int i) override;
    // n rows from at on; allocates nothing, so that an addition failing for
    // want of memory can be taken back.
    void DeleteRange(int at, int n);
    void DeleteRows(const std::vector<int>& rows) override;
    void Clear() override;
    // If the native list refuses the rows (EInsertError), the store is left
    // empty as the native list is; the caller still owns the rows' data.
    void Assign(std::vector<TRow> rows) override;
    void Append(std::vector<TRow> rows) override;
    // All or nothing: on EInsertError the rows, marks, caret and top row are as before.
    void Insert(int at, std::vector<TRow> rows) override;
    int Add(const std::string& text, std::uintptr_t data = 0);
    // The first row whose text equals text, ignoring case; -1 if none.
    int IndexOf(const std::string& text) const;
    std::vector<TRow> Rows() const { return rows_.Rows(); }

    // ---- row weights (the entries' lengths; CustomPlayListBoxWeights_win.cpp)
    // How a row's weight is read from its data word as the row comes in.
    void SetRowWeigh(TRowList::TWeigh weigh) { rows_.SetWeigh(weigh); }
    void SetRowWeight(int i, int weight);
    const TWeightSums& RowWeights() const { return rows_.Sums(); }
    // The weights of the selected rows: one pass over the selection, none over the list.
    TWeightSums SelectedWeights() const;

    bool IsSelected(int i) const override;
    void SetSelected(int i, bool on) override;
    int SelCount() const override;
    int TopIndex() const override;
    void SetTopIndex(int i) override;
    int ItemIndex() const override;
    void SetItemIndex(int i) override;
    bool Visible() const override { return visible_; }
    void SetVisible(bool on) override;
    void BeginUpdate() override;
    void EndUpdate() override;
    int UpdateCount() const { return updateCount_; }
    // Counts every change of the rows (texts, data words, order, count).
    std::uint64_t Revision() const { return revision_; }

    // ---- reflected notifications (see the header comment)
    void CommandNotification(WORD code);
    void DrawRequest(const DRAWITEMSTRUCT& dis);
    void MeasureRequest(MEASUREITEMSTRUCT& mis);

    // ---- events
    TDrawItemEvent OnDrawItem;
    TEraseBkgndEvent OnEraseBkgnd;
    TMeasureItemEvent OnMeasureItem;
    TNotifyEvent OnClick;
    // After SetSelected (the user's changes come as OnClick).
    TNotifyEvent OnSelectionChanged;
    TNotifyEvent OnDblClick;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    // After rows changed; while updates are suspended, once when they resume.
    TNotifyEvent OnRowsChanged;
    // Before a key, a button or a menu request is handled: the owner may bring the rows up to date.
    TNotifyEvent OnBeforeInput;
    // While set, a press on a selected row can drag the selection (multi-select,
    // fixed-height rows, one column).
    TDragMoveEvent OnDragMove;
    bool Dragging() const { return drag_.Active; }

protected:
    virtual void DrawItem(int index, const RECT& rect, unsigned state);
    virtual void MeasureItem(int index, int& height);

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnNativeDestroyed() override;

private:
    // Runs op; when a background painter is set and the top row moved, repaints all.
    template <class F>
    void WithTopRowRule(F&& op);
    static int CompareRowTexts(const std::string& a, const std::string& b);
    static bool GrowthRefused();
    // Sends straight to the system list procedure, past our own handling.
    LRESULT Native(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    void CreateHandle();
    void RecreateWnd();
    void SetColumnWidth();
    void ApplyItemHeight();
    int StandardRowHeight() const;
    void RefreshNativeCount();
    bool GrowNativeAt(int at, int n, int oldCount);
    bool InsertNativeOneByOne(int at, int n);
    void ClearNativeMark(int i);
    void CheckRowIndex(int i) const;
    void NoteBounds();
    HWND DrawTarget() const;

    LRESULT OnEraseBackground(HDC dc);
    // The groups of HandleMessage: true when the message was answered (result).
    bool ListMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    bool PaintMessage(UINT msg, WPARAM wp, LRESULT& result);
    bool InputMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    bool MouseMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    bool StateMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    LRESULT OnKey(UINT msg, WPARAM wp, LPARAM lp);
    void FindByFirstCharacter(wchar_t ch);
    bool CanDeferCaret() const;
    bool Quiet(const std::vector<int>& marked) const;
    void KeepCaretAndTop(int caret, int top);
    void FlushCaret();
    void PaintInto(HDC dc);
    void PaintEmpty();
    bool PaintBuffered();
    void PaintRows(HDC dc, const RECT& area);
    void DrawRow(const DRAWITEMSTRUCT& dis);
    // A draw request for this list into `dc`, its row and state still to fill in.
    DRAWITEMSTRUCT RequestFor(HDC dc, UINT action) const;
    LRESULT AnswerGetText(int i, wchar_t* buffer) const;
    LRESULT AnswerGetTextLength(int i) const;
    LRESULT AnswerFindExact(int start, const wchar_t* text) const;
    bool SameText(const std::string& a, const std::string& b) const;
    void RowsChanged();

    // ---- dragging the selected rows (CustomPlayListBoxDrag_win.cpp)
    struct TDragState {
        bool Pending = false;  // the button went down on a selected row
        bool Active = false;   // moved past the drag distance
        POINT Down{};
        WPARAM DownKeys = 0;
        POINT Last{};
        int Gap = -1;          // where the line shows
    };
    static constexpr UINT_PTR kDragScrollTimer = 0x5644;
    int RowHeightForDrag() const;
    int GapAt(int y) const;
    bool DragButtonDown(WPARAM wp, LPARAM lp);
    void DragMouseMove(WPARAM wp, LPARAM lp);
    void DragButtonUp(WPARAM wp, LPARAM lp);
    void DragTimer();
    void ScrollAtEdge(int y);
    void CancelDrag();
    void EndDragState();
    void ShowGap(int gap);
    void InvalidateGap(int gap);
    void DrawGapLine(int index, const RECT& rect, HDC dc) const;

    TRowList rows_;
    TListBoxParams params_;
    TListCanvas canvas_;
    HWND parent_ = nullptr;
    int controlId_ = 0;
    int left_ = 0, top_ = 0, width_ = 121, height_ = 97;
    int itemHeight_ = 16;
    bool visible_ = true;
    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
    HMENU popupMenu_ = nullptr;
    int updateCount_ = 0;
    std::uint64_t revision_ = 0;
    bool rowsChangedPending_ = false;
    bool rowDrawsHeld_ = false;  // rows the native list draws now are repainted whole right after
    TDragState drag_;
    int mouseDownTopIndex_ = 0;
    // Kept while the native window is away (re-creation or a re-created parent).
    bool haveSaved_ = false;
    int savedTopIndex_ = 0;
    int savedItemIndex_ = -1;
    // While the list is suspended or hidden, marking a row leaves the caret move
    // and the scroll that the native list does with it for later: pendingCaret_
    // is where the caret (and anchor) go, simTop_ the top row the native list
    // would show by then. Applied by FlushCaret before anything can observe them.
    int pendingCaret_ = -1;
    int simTop_ = 0;
    int simPage_ = 1;
    // Set while we change the native row count ourselves; row-changing list
    // messages from anywhere else are refused so the store stays the one truth.
    mutable int nativeSync_ = 0;
    // The off-screen bitmap of the last paint, kept for the next one, selected
    // into its own context (declared after it: the context goes first).
    TBitmap paintBuffer_;
    TMemoryDc paintDc_;
    int bufferWidth_ = 0, bufferHeight_ = 0;
    bool erasingIntoBuffer_ = false;
};

template <class F>
void TCustomPlayListBox::WithTopRowRule(F&& op) {
    HWND hwnd = Handle();
    if (!OnEraseBkgnd || !hwnd) {
        op();
        return;
    }
    const LRESULT before = Native(LB_GETTOPINDEX);
    op();
    if (Handle() == hwnd && Native(LB_GETTOPINDEX) != before) Invalidate();
}

class TPlayListBox : public TCustomPlayListBox {
public:
    using TCustomPlayListBox::TCustomPlayListBox;
};
