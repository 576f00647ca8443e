// The playlist list control under Wine, inside a plain parent window that passes
// the list's notifications back to it the way the playlist window does.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Handles_win.h"
#include "base/Window_win.h"
#include "controls/CustomPlayListBox_win.h"

// Set by a test to make the native list refuse to grow, as when memory runs out.
bool g_refuseGrowth = false;
bool NativeListRefusesGrowth() { return g_refuseGrowth; }

namespace {

constexpr int kListId = 100;

class TTestParent : public TWindow {
public:
    TPlayListBox* List = nullptr;
    HBRUSH ListBrush = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
    int FocusRequestsOfEmptyList = 0;
    int DeleteItemMessages = 0;

    bool Create() {
        return CreateNative(L"VLListBoxTestParent", 0, L"list test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 300,
                            260, nullptr, nullptr, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE));
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_DRAWITEM: {
                auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
                if (static_cast<int>(dis->itemID) < 0) ++FocusRequestsOfEmptyList;
                return SendMessageW(dis->hwndItem, TCustomPlayListBox::kReflectBase + msg, wp, lp);
            }
            case WM_MEASUREITEM: {
                auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
                HWND item = GetDlgItem(Handle(), static_cast<int>(mis->CtlID));
                if (!item && List) item = List->Handle();  // still inside its creation
                return item ? SendMessageW(item, TCustomPlayListBox::kReflectBase + msg, wp, lp) : 0;
            }
            case WM_COMMAND:
                if (lp) return SendMessageW(reinterpret_cast<HWND>(lp), TCustomPlayListBox::kReflectBase + msg, wp, lp);
                break;
            case WM_CTLCOLORLISTBOX:
                if (List && reinterpret_cast<HWND>(lp) == List->Handle()) return reinterpret_cast<LRESULT>(ListBrush);
                break;
            case WM_DELETEITEM:
                ++DeleteItemMessages;
                return TRUE;
            default:
                break;
        }
        return DefaultHandling(msg, wp, lp);
    }
};

std::vector<TRow> MakeRows(int n, const std::string& prefix = "row ") {
    std::vector<TRow> rows;
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) rows.push_back({prefix + std::to_string(i), static_cast<std::uintptr_t>(1000 + i)});
    return rows;
}

void SetKeys(std::initializer_list<int> down) {
    BYTE state[256] = {};
    for (int vk : down) state[vk] = 0x80;
    SetKeyboardState(state);
}

class ListBoxTest : public ::testing::Test {
protected:
    TTestParent parent;
    std::unique_ptr<TPlayListBox> list;
    int erases = 0;
    int wholeErases = 0;  // erases whose clipping covers the whole client area
    RECT lastEraseRect{};
    std::vector<int> drawn;
    std::vector<unsigned> drawnStates;

    void SetUp() override {
        ASSERT_TRUE(parent.Create());
        list = std::make_unique<TPlayListBox>(parent.Handle(), kListId);
        parent.List = list.get();
        // The playlist window's configuration.
        list->SetBorderStyle(TBorderStyle::bsNone);
        list->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
        list->SetMultiSelect(true);
        list->SetIntegralHeight(false);
        list->SetBackgroundBrush(parent.ListBrush);
        list->OnDrawItem = [this](TCustomPlayListBox& c, int index, const RECT&, unsigned state) {
            (void)c.Text(index);  // the owner reads the row from the store
            drawn.push_back(index);
            drawnStates.push_back(state);
        };
        list->OnEraseBkgnd = [this](TCustomPlayListBox& c, const RECT& r) {
            EXPECT_TRUE(c.Canvas().Bound());
            ++erases;
            lastEraseRect = r;
            RECT clip{}, client{};
            GetClipBox(c.Canvas().Handle(), &clip);
            GetClientRect(c.Handle(), &client);
            if (EqualRect(&clip, &client)) ++wholeErases;
        };
        list->HandleNeeded();
        ASSERT_TRUE(list->HandleAllocated());
        SetKeys({});
        Flush();
    }

    void TearDown() override {
        SetKeys({});
        list.reset();
    }

    void Flush() {
        if (list->Handle()) UpdateWindow(list->Handle());
        ProcessPendingMessages();
    }
    void ResetCounts() {
        Flush();
        erases = 0;
        wholeErases = 0;
        drawn.clear();
        drawnStates.clear();
    }
    void Key(WPARAM vk) {
        SendMessageW(list->Handle(), WM_KEYDOWN, vk, 1);
        SendMessageW(list->Handle(), WM_KEYUP, vk, 0xC0000001);
    }
    int VisibleRows() const {
        RECT r{};
        GetClientRect(list->Handle(), &r);
        return (r.bottom - r.top) / list->ItemHeight();
    }
    std::string ErrorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const EPluginError& e) {
            return e.what();
        }
        return "(no error)";
    }
};

const std::string kIndexError = "リストのインデックスが範囲を超えています ";

// ---------------------------------------------------------------- canvas

TEST(ListCanvas, BindingSetsFontBrushAndColoursAndRestoresTheContext) {
    TMemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    TFont font(CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    HGDIOBJ oldBrush = GetCurrentObject(dc.get(), OBJ_BRUSH);
    HGDIOBJ oldFont = GetCurrentObject(dc.get(), OBJ_FONT);
    SetTextColor(dc.get(), RGB(1, 2, 3));
    TListCanvas canvas;
    EXPECT_FALSE(canvas.Bound());
    {
        TCanvasBinding bind(canvas, dc.get(), font.get(), static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)));
        EXPECT_EQ(canvas.Handle(), dc.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font.get());
        EXPECT_EQ(GetBkMode(dc.get()), TRANSPARENT) << "a hollow brush paints no text background";
        EXPECT_EQ(GetTextColor(dc.get()), GetSysColor(COLOR_WINDOWTEXT));
        canvas.SetBrushColor(RGB(10, 20, 30));
        canvas.SetBrushColor(RGB(40, 50, 60));  // replaces its own brush without leaking it
        EXPECT_EQ(GetBkMode(dc.get()), OPAQUE);
        EXPECT_EQ(GetBkColor(dc.get()), RGB(40, 50, 60));
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), canvas.Brush());
        canvas.SetFontColor(RGB(200, 0, 0));
        EXPECT_EQ(GetTextColor(dc.get()), RGB(200, 0, 0));
    }
    EXPECT_FALSE(canvas.Bound());
    EXPECT_EQ(canvas.Brush(), nullptr);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), oldBrush);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), oldFont);
    EXPECT_EQ(GetTextColor(dc.get()), RGB(1, 2, 3));
}

// ---------------------------------------------------------------- window and style

TEST_F(ListBoxTest, NativeWindowIsAnOwnerDrawnNoDataSuperclass) {
    wchar_t cls[64] = {};
    GetClassNameW(list->Handle(), cls, 64);
    EXPECT_STREQ(cls, L"TPlayListBox");
    const LONG_PTR style = GetWindowLongPtrW(list->Handle(), GWL_STYLE);
    EXPECT_EQ(style & (LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS),
              LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS);
    EXPECT_EQ(style & (WS_BORDER | LBS_SORT), 0);
    EXPECT_EQ(GetWindowLongPtrW(list->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_TRUE(IsWindowUnicode(list->Handle()));
    WNDCLASSEXW wc{sizeof(wc)};
    ASSERT_TRUE(GetClassInfoExW(ThisModule(), L"TPlayListBox", &wc));
    EXPECT_EQ(wc.style & (CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS | CS_PARENTDC), 0u);
    EXPECT_NE(wc.style & CS_DBLCLKS, 0u);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 16);
    RECT r{};
    GetWindowRect(list->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 121);
    EXPECT_EQ(r.bottom - r.top, 97);
}

TEST_F(ListBoxTest, ItemHeightColumnsAndTabWidthFollowTheirRules) {
    HWND first = list->Handle();
    list->SetItemHeight(0);
    list->SetItemHeight(-4);
    list->SetItemHeight(16);
    EXPECT_EQ(list->Handle(), first) << "ignored values keep the window";
    EXPECT_EQ(list->ItemHeight(), 16);

    list->SetColumns(2);
    HWND second = list->Handle();
    EXPECT_NE(second, first) << "0 -> 2 columns re-creates";
    EXPECT_NE(GetWindowLongPtrW(second, GWL_STYLE) & LBS_MULTICOLUMN, 0);
    list->SetColumns(3);
    EXPECT_EQ(list->Handle(), second) << "2 -> 3 keeps the window";
    EXPECT_EQ(list->Columns(), 3);

    list->SetTabWidth(-5);
    EXPECT_EQ(list->TabWidth(), 0);
    EXPECT_EQ(list->Handle(), second) << "-5 is 0, which it already was";
}

// ---------------------------------------------------------------- row store rules

TEST_F(ListBoxTest, RowsLiveInTheStoreAndTheNativeCountFollows) {
    list->Append(MakeRows(5));
    EXPECT_EQ(list->Count(), 5);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(list->Text(4), "row 4");
    EXPECT_EQ(list->Data(4), 1004u);
    list->Insert(0, {{"first", 7}});
    list->Delete(3);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(list->Text(0), "first");
    EXPECT_EQ(list->Text(3), "row 3");
    EXPECT_EQ(list->IndexOf("ROW 3"), 3);
    EXPECT_EQ(list->IndexOf("nothing"), -1);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxTest, ExchangeAndPutTextClearTheMarksOfTheRowsTheyTouch) {
    list->Append(MakeRows(6));
    for (int i : {0, 1, 3, 5}) list->SetSelected(i, true);
    list->SetItemIndex(4);
    list->Exchange(1, 3);
    EXPECT_EQ(list->Text(1), "row 3");
    EXPECT_EQ(list->Data(1), 1003u);
    EXPECT_EQ(list->Text(3), "row 1");
    EXPECT_EQ(list->Data(3), 1001u);
    EXPECT_FALSE(list->IsSelected(1));
    EXPECT_FALSE(list->IsSelected(3));
    EXPECT_TRUE(list->IsSelected(0));
    EXPECT_TRUE(list->IsSelected(5));
    EXPECT_EQ(list->ItemIndex(), 4);

    list->SetText(5, "renamed");
    EXPECT_FALSE(list->IsSelected(5));
    EXPECT_EQ(list->Data(5), 1005u) << "the data word stays";
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(list->SelCount(), 1);
}

TEST_F(ListBoxTest, InsertDeleteMoveAndAppendShiftTheMarksWithTheirRows) {
    list->Append(MakeRows(5));  // row 0 .. row 4
    list->SetSelected(2, true);
    list->SetSelected(4, true);
    list->Insert(1, {{"new", 1}});  // row 2 -> 3, row 4 -> 5
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETANCHORINDEX, 0, 0), 5) << "the anchor stays on its row";
    EXPECT_TRUE(list->IsSelected(3));
    EXPECT_TRUE(list->IsSelected(5));
    EXPECT_FALSE(list->IsSelected(1));
    list->Delete(0);  // -> 2 and 4
    EXPECT_TRUE(list->IsSelected(2));
    EXPECT_TRUE(list->IsSelected(4));
    EXPECT_EQ(list->Text(2), "row 2");

    // [new, row 1, row 2*, row 3, row 4*] ; moving "new" to 3 shifts rows 1..3 up.
    list->SetSelected(0, true);
    list->Move(0, 3);
    EXPECT_EQ(list->Text(3), "new");
    EXPECT_FALSE(list->IsSelected(3)) << "the moved row comes back unselected";
    EXPECT_TRUE(list->IsSelected(1));
    EXPECT_EQ(list->Text(1), "row 2");
    EXPECT_TRUE(list->IsSelected(4));

    list->Append(MakeRows(3, "more "));
    EXPECT_TRUE(list->IsSelected(1)) << "appending keeps the marks already set";
    EXPECT_TRUE(list->IsSelected(4));
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 8);

    // Out of memory in the native list: the store stays in step with it.
    g_refuseGrowth = true;
    const std::string insertError = ErrorOf([&] { list->Insert(2, MakeRows(3, "x")); });
    const std::string appendError = ErrorOf([&] { list->Append(MakeRows(2, "x")); });
    g_refuseGrowth = false;
    EXPECT_EQ(insertError, "行を挿入できません");
    EXPECT_EQ(appendError, "行を挿入できません");
    EXPECT_EQ(list->Count(), 8);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(list->Text(2), "row 3");
    EXPECT_TRUE(list->IsSelected(1));
    EXPECT_TRUE(list->IsSelected(4));
    EXPECT_EQ(list->SelCount(), 2);
    g_refuseGrowth = true;
    const std::string assignError = ErrorOf([&] { list->Assign(MakeRows(4)); });
    g_refuseGrowth = false;
    EXPECT_EQ(assignError, "行を挿入できません");
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxTest, AssignReplacesEverythingUnderOneSuspension) {
    list->Append(MakeRows(30));
    list->SetSelected(20, true);
    ResetCounts();
    list->Assign(MakeRows(10, "fresh "));
    EXPECT_EQ(erases, 1) << "one repaint at the end";
    EXPECT_EQ(list->Count(), 10);
    EXPECT_EQ(list->Text(9), "fresh 9");
    EXPECT_EQ(list->SelCount(), 0);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 10);
}

TEST_F(ListBoxTest, SuspensionNestsAndRepaintsOnceAtTheLastResume) {
    list->Append(MakeRows(20));
    ResetCounts();
    list->BeginUpdate();
    list->BeginUpdate();
    list->Exchange(0, 1);
    list->Exchange(2, 3);
    list->Delete(5);
    InvalidateRect(list->Handle(), nullptr, TRUE);  // even a foreign invalidation paints nothing
    Flush();
    list->EndUpdate();
    Flush();
    EXPECT_EQ(erases, 0);
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(list->UpdateCount(), 1);
    list->EndUpdate();
    EXPECT_EQ(erases, 1) << "the last resume repaints at once";
    std::set<int> rows(drawn.begin(), drawn.end());
    for (int i = 0; i < VisibleRows(); ++i) EXPECT_TRUE(rows.count(i)) << "row " << i;
    list->EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(list->UpdateCount(), 0);
}

TEST_F(ListBoxTest, RecreationKeepsRowsDataTopRowAndCaretButNotMarks) {
    list->Append(MakeRows(40));
    list->SetTopIndex(5);
    list->SetSelected(8, true);
    list->SetSelected(9, true);
    list->SetItemIndex(8);
    ASSERT_EQ(list->TopIndex(), 5);
    HWND before = list->Handle();
    list->SetItemHeight(20);
    EXPECT_NE(list->Handle(), before);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_EQ(list->Count(), 40);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 40);
    EXPECT_EQ(list->Text(39), "row 39");
    EXPECT_EQ(list->Data(39), 1039u);
    EXPECT_EQ(list->TopIndex(), 5);
    EXPECT_EQ(list->ItemIndex(), 8);
    EXPECT_EQ(list->SelCount(), 0);
}

TEST_F(ListBoxTest, ErrorsNameTheIndexAskedFor) {
    list->Append(MakeRows(3));
    EXPECT_EQ(ErrorOf([&] { (void)list->Text(3); }), kIndexError + "(3)");
    EXPECT_EQ(ErrorOf([&] { (void)list->Data(-1); }), kIndexError + "(-1)");
    EXPECT_EQ(ErrorOf([&] { (void)list->IsSelected(-5); }), kIndexError + "(-5)");
    EXPECT_EQ(ErrorOf([&] { list->SetSelected(7, true); }), kIndexError + "(7)");
    EXPECT_EQ(ErrorOf([&] { list->SetText(3, "x"); }), kIndexError + "(3)");
    EXPECT_EQ(ErrorOf([&] { list->Exchange(0, 9); }), kIndexError + "(9)");
    EXPECT_EQ(ErrorOf([&] { list->Insert(5, {{"x", 0}}); }), "行を挿入できません");
    EXPECT_EQ(ErrorOf([&] { list->Move(0, 3); }), "行を挿入できません");
    EXPECT_EQ(list->Count(), 3) << "a refused move loses no row";
    list->Delete(3);  // a bad delete is ignored
    EXPECT_EQ(list->Count(), 3);

    list->SetMultiSelect(false);
    EXPECT_EQ(ErrorOf([&] { list->SetSelected(0, true); }), kIndexError + "(0)")
        << "a single-selection list refuses the mark";
}

TEST_F(ListBoxTest, LongRowTextsAreCutTo4095CharactersAndReadersToldAtMost511) {
    list->Add(std::string(5000, 'x'), 1);
    list->Append({{std::string(4095, 'y'), 2}});
    EXPECT_EQ(list->Text(0).size(), 4095u);
    EXPECT_EQ(list->Text(1).size(), 4095u);
    list->SetText(1, std::string(9000, 'z'));
    EXPECT_EQ(list->Text(1), std::string(4095, 'z'));
    EXPECT_EQ(list->IndexOf(std::string(4095, 'z')), 1);

    // An ANSI reader's request passes through the system's own 512-character
    // buffer: more would overflow it (under Wine, a crash of the whole process).
    const LRESULT cap = static_cast<LRESULT>(TCustomPlayListBox::kMaxReaderText);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETTEXTLEN, 1, 0), cap);
    std::vector<wchar_t> wbuf(4096 + 16, L'#');
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(wbuf.data())), cap);
    EXPECT_EQ(std::wstring(wbuf.data()), std::wstring(static_cast<size_t>(cap), L'z'));
    EXPECT_EQ(wbuf[static_cast<size_t>(cap) + 1], L'#') << "nothing written past the text";
    std::vector<char> abuf(4096 + 16, '#');
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(abuf.data())), cap);
    EXPECT_EQ(std::string(abuf.data()), std::string(static_cast<size_t>(cap), 'z'));
    list->SetText(0, std::string(cap, 'q'));
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(abuf.data())), cap);
}

TEST_F(ListBoxTest, HidingDuringSuspensionSticks) {
    list->Append(MakeRows(5));
    list->BeginUpdate();
    list->SetVisible(false);
    list->EndUpdate();
    EXPECT_FALSE(IsWindowVisible(list->Handle()));
    list->BeginUpdate();
    list->SetVisible(true);
    list->EndUpdate();
    EXPECT_TRUE(IsWindowVisible(list->Handle()));
}

TEST_F(ListBoxTest, FocusOnAnEmptyListKeepsTheBackground) {
    list->OnEraseBkgnd = [](TCustomPlayListBox& c, const RECT& r) {
        TBrush green(CreateSolidBrush(RGB(0, 255, 0)));
        FillRect(c.Canvas().Handle(), &r, green.get());
    };
    SetFocus(parent.Handle());
    list->Invalidate();
    Flush();
    SetFocus(list->Handle());
    Flush();
    TClientDc dc(list->Handle());
    auto allGreen = [&] {
        int other = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) other += GetPixel(dc.get(), x, y) != RGB(0, 255, 0);
        return other;
    };
    EXPECT_EQ(allGreen(), 0) << "no focus rectangle of the list's own";
    SetFocus(parent.Handle());
    Flush();
    EXPECT_EQ(allGreen(), 0);
}

// ---------------------------------------------------------------- text for other programs

TEST_F(ListBoxTest, ListMessagesForTextAreAnsweredFromTheStore) {
    // A last letter beyond ASCII in the code page of the run: "é" (one byte) or,
    // on a Japanese system, the full-width "ｅ" (two bytes).
    const bool japanese = GetACP() == 932;
    const char* const cafe = japanese ? "Caf\x82\x85" : "Caf\xe9";
    const char* const cafeUpper = japanese ? "caf\x82\x64" : "caf\xc9";
    list->Append({{"Alpha", 1}, {"beta", 2}, {cafe, 3}, {"beta", 4}});
    HWND h = list->Handle();
    wchar_t w[64] = {};
    EXPECT_EQ(SendMessageW(h, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(w)), 4);
    EXPECT_STREQ(w, japanese ? L"Caf\uff45" : L"Caf\u00e9");
    EXPECT_GE(SendMessageW(h, LB_GETTEXTLEN, 2, 0), 4);
    char a[64] = {};
    EXPECT_EQ(SendMessageA(h, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(a)), 5);
    EXPECT_STREQ(a, "Alpha");
    EXPECT_EQ(SendMessageA(h, LB_GETTEXTLEN, 2, 0), static_cast<LRESULT>(lstrlenA(cafe)));
    EXPECT_EQ(SendMessageW(h, LB_GETTEXT, 4, reinterpret_cast<LPARAM>(w)), LB_ERR);
    EXPECT_EQ(SendMessageW(h, LB_GETTEXTLEN, -1, 0), LB_ERR);

    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"BETA")), 1);
    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, 1, reinterpret_cast<LPARAM>(L"beta")), 3) << "starts after start";
    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, 3, reinterpret_cast<LPARAM>(L"beta")), 1) << "and wraps round";
    EXPECT_EQ(SendMessageA(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(cafeUpper)), 2);
    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"bet")), LB_ERR);
    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"\u4e00")), LB_ERR);

    // Rows change only through the store.
    EXPECT_EQ(SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"intruder")), LB_ERR);
    EXPECT_EQ(SendMessageW(h, LB_DELETESTRING, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(h, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(list->Count(), 4);
}

// ---------------------------------------------------------------- painting

TEST_F(ListBoxTest, DrawRequestsReadTheRowsFromTheStoreWithTheirState) {
    list->Append(MakeRows(10));
    list->SetSelected(1, true);
    ResetCounts();
    list->Invalidate();
    Flush();
    EXPECT_EQ(erases, 1);
    ASSERT_FALSE(drawn.empty());
    bool sawSelected = false;
    for (size_t k = 0; k < drawn.size(); ++k) {
        EXPECT_EQ((drawnStates[k] & ODS_SELECTED) != 0, drawn[k] == 1) << "row " << drawn[k];
        if (drawn[k] == 1) sawSelected = true;
    }
    EXPECT_TRUE(sawSelected);
}

TEST_F(ListBoxTest, EmptyListBackgroundCoversRowWidthByControlHeight) {
    ResetCounts();
    SetFocus(list->Handle());
    list->Invalidate();
    Flush();
    EXPECT_EQ(erases, 1);
    RECT row0{};
    SendMessageW(list->Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));
    EXPECT_EQ(lastEraseRect.left, 0);
    EXPECT_EQ(lastEraseRect.top, 0);
    EXPECT_EQ(lastEraseRect.right, row0.right - row0.left);
    EXPECT_GT(lastEraseRect.right, 0);
    EXPECT_EQ(lastEraseRect.bottom, 97);
    EXPECT_TRUE(drawn.empty()) << "the empty list's focus request is not a row";
}

TEST_F(ListBoxTest, EmptyListFocusRequestFillsOnlyWithoutBackgroundPainter) {
    TBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    list->SetBackgroundBrush(red.get());
    auto pixelAfterPaint = [&] {
        list->Invalidate();
        Flush();
        TClientDc dc(list->Handle());
        return GetPixel(dc.get(), 3, 3);
    };
    list->OnEraseBkgnd = [](TCustomPlayListBox& c, const RECT& r) {
        TBrush green(CreateSolidBrush(RGB(0, 255, 0)));
        FillRect(c.Canvas().Handle(), &r, green.get());
    };
    SetFocus(list->Handle());
    const int before = parent.FocusRequestsOfEmptyList;
    EXPECT_EQ(pixelAfterPaint(), RGB(0, 255, 0));
    const bool nativeAsksForFocusRow = parent.FocusRequestsOfEmptyList > before;
    list->OnEraseBkgnd = nullptr;
    COLORREF plain = pixelAfterPaint();
    if (nativeAsksForFocusRow) {
        EXPECT_EQ(plain, RGB(255, 0, 0));
    }
    list->SetBackgroundBrush(nullptr);
}

TEST_F(ListBoxTest, BackgroundStaysVisibleBehindAndBelowTheRows) {
    list->Append(MakeRows(3));
    list->SetSelected(1, true);
    SetFocus(list->Handle());
    list->OnDrawItem = [](TCustomPlayListBox&, int, const RECT&, unsigned) {};  // rows draw nothing
    list->OnEraseBkgnd = [](TCustomPlayListBox& c, const RECT& r) {
        TBrush green(CreateSolidBrush(RGB(0, 255, 0)));
        FillRect(c.Canvas().Handle(), &r, green.get());
    };
    list->Invalidate();
    Flush();
    TClientDc dc(list->Handle());
    for (int y : {3, 20, 40, 60, 90}) EXPECT_EQ(GetPixel(dc.get(), 5, y), RGB(0, 255, 0)) << "y " << y;
}

TEST_F(ListBoxTest, IntegralHeightBackgroundIsWholeRowsWithBorder) {
    list->SetBorderStyle(TBorderStyle::bsSingle);
    list->SetIntegralHeight(true);
    list->SetBounds(0, 0, 121, 97);
    list->Append(MakeRows(3));
    ResetCounts();
    list->Invalidate();
    Flush();
    EXPECT_EQ(erases, 1);
    RECT wr{};
    GetWindowRect(list->Handle(), &wr);
    EXPECT_EQ(lastEraseRect.bottom, ((wr.bottom - wr.top) - 4) / 16 * 16);
    EXPECT_NE(GetWindowLongPtrW(list->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST_F(ListBoxTest, PaintIntoAGivenContextDrawsTheVisibleRows) {
    list->Append(MakeRows(20));
    list->SetTopIndex(3);
    list->SetSelected(4, true);
    list->SetTopIndex(3);
    ResetCounts();
    TClientDc screen(list->Handle());
    TMemoryDc mem(CreateCompatibleDC(screen.get()));
    TBitmap bmp(CreateCompatibleBitmap(screen.get(), 121, 97));
    TSelectGuard sel(mem.get(), bmp.get());
    SendMessageW(list->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(mem.get()), 0);
    // Rows 3.. until 97 pixels are covered: ceil(97 / 16) = 7 rows, all with state 0.
    ASSERT_EQ(drawn.size(), 7u);
    for (size_t k = 0; k < drawn.size(); ++k) {
        EXPECT_EQ(drawn[k], 3 + static_cast<int>(k));
        EXPECT_EQ(drawnStates[k], 0u);
    }
    EXPECT_EQ(erases, 0);
}

// ---------------------------------------------------------------- the top-row rule

TEST_F(ListBoxTest, KeyThatScrollsRepaintsEverythingAndOneThatDoesNotDoesNot) {
    list->Append(MakeRows(30));
    SetFocus(list->Handle());
    list->SetItemIndex(0);
    ResetCounts();
    RECT update{}, client{};
    GetClientRect(list->Handle(), &client);
    Key(VK_DOWN);
    GetUpdateRect(list->Handle(), &update, FALSE);
    EXPECT_LT(update.bottom - update.top, client.bottom) << "only the rows the native list redraws";
    Flush();
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 0) << "no scroll, no whole repaint";

    const int lastVisible = VisibleRows() - 1;
    list->SetItemIndex(lastVisible);
    ASSERT_EQ(list->TopIndex(), 0);
    ResetCounts();
    Key(VK_DOWN);
    GetUpdateRect(list->Handle(), &update, FALSE);
    EXPECT_TRUE(EqualRect(&update, &client)) << "the whole control";
    Flush();
    EXPECT_EQ(list->TopIndex(), 1);
    EXPECT_EQ(wholeErases, 1) << "the top row moved: the whole background once";
    std::set<int> rows(drawn.begin(), drawn.end());
    for (int i = 1; i <= lastVisible + 1; ++i) EXPECT_TRUE(rows.count(i)) << "row " << i;
}

TEST_F(ListBoxTest, WithoutBackgroundPainterScrollingDoesNotInvalidateEverything) {
    list->Append(MakeRows(30));
    list->OnEraseBkgnd = nullptr;
    SetFocus(list->Handle());
    list->SetItemIndex(VisibleRows() - 1);
    Flush();
    Key(VK_DOWN);
    ASSERT_EQ(list->TopIndex(), 1);
    RECT update{}, client{};
    GetUpdateRect(list->Handle(), &update, FALSE);
    GetClientRect(list->Handle(), &client);
    EXPECT_LT(update.bottom - update.top, client.bottom - client.top) << "only what the native list scrolled in";
}

TEST_F(ListBoxTest, ProgrammaticSelectionScrollWheelAndScrollBarFollowTheRule) {
    list->Append(MakeRows(50));
    ResetCounts();
    list->SetSelected(2, true);  // visible: no scroll
    Flush();
    EXPECT_EQ(wholeErases, 0);
    list->SetSelected(40, true);  // the native list scrolls to it
    Flush();
    EXPECT_NE(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 1);

    ResetCounts();
    const int top = list->TopIndex();
    SendMessageW(list->Handle(), WM_VSCROLL, SB_LINEUP, 0);
    Flush();
    EXPECT_EQ(list->TopIndex(), top - 1);
    EXPECT_EQ(wholeErases, 1);
    ResetCounts();
    SendMessageW(list->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, top - 1), 0);  // where it already is
    SendMessageW(list->Handle(), WM_VSCROLL, SB_ENDSCROLL, 0);
    Flush();
    EXPECT_EQ(list->TopIndex(), top - 1);
    EXPECT_EQ(wholeErases, 0);

    ResetCounts();
    SendMessageW(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(250, 250));
    Flush();
    EXPECT_GT(list->TopIndex(), top - 1);
    EXPECT_EQ(wholeErases, 1);

    ResetCounts();
    list->SetItemIndex(list->TopIndex() + 1);  // visible: no scroll
    Flush();
    EXPECT_EQ(wholeErases, 0);
    list->SetItemIndex(0);
    Flush();
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 1);
}

TEST_F(ListBoxTest, DraggingRepaintsOncePerTopRowChange) {
    list->Append(MakeRows(50));
    Flush();
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    ResetCounts();
    // Stand in for the native auto-scroll between two mouse moves.
    SendMessageW(list->Handle(), LB_SETTOPINDEX, 3, 0);
    Flush();
    ResetCounts();
    SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 5));
    Flush();
    EXPECT_EQ(wholeErases, 1);
    ResetCounts();
    SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 6));
    Flush();
    EXPECT_EQ(wholeErases, 0) << "no further scroll";
    SendMessageW(list->Handle(), LB_SETTOPINDEX, 5, 0);
    Flush();
    ResetCounts();
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 6));
    Flush();
    EXPECT_EQ(wholeErases, 1) << "scrolled after the last move";
}

// ---------------------------------------------------------------- events

TEST_F(ListBoxTest, KeyEventsSeeTheShiftStateAndMayConsumeTheKey) {
    list->Append(MakeRows(10));
    SetFocus(list->Handle());
    list->SetItemIndex(2);
    std::vector<std::pair<WORD, unsigned>> downs, ups;
    list->OnKeyDown = [&](TCustomPlayListBox&, WORD& key, unsigned shift) {
        downs.push_back({key, shift});
        if (key == VK_DOWN && (shift & ssCtrl)) key = 0;
    };
    list->OnKeyUp = [&](TCustomPlayListBox&, WORD& key, unsigned shift) { ups.push_back({key, shift}); };
    SetKeys({VK_CONTROL});
    SendMessageW(list->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(list->ItemIndex(), 2) << "consumed: the native list never saw it";
    SetKeys({VK_SHIFT});
    SendMessageW(list->Handle(), WM_KEYUP, 'Z', 0xC0000001);
    SetKeys({});
    SendMessageW(list->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(list->ItemIndex(), 3);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0], std::make_pair(WORD(VK_DOWN), unsigned(ssCtrl)));
    EXPECT_EQ(downs[1], std::make_pair(WORD(VK_DOWN), 0u));
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0], std::make_pair(WORD('Z'), unsigned(ssShift)));
}

TEST_F(ListBoxTest, ClickAndDoubleClickComeBackThroughTheParent) {
    list->Append(MakeRows(10));
    int clicks = 0, doubles = 0;
    list->OnClick = [&](TCustomPlayListBox&) { ++clicks; };
    list->OnDblClick = [&](TCustomPlayListBox&) { ++doubles; };
    SetFocus(list->Handle());
    list->SetItemIndex(0);
    Key(VK_DOWN);
    EXPECT_GE(clicks, 1);
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    SendMessageW(list->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(list->ItemIndex(), 0);
}

TEST_F(ListBoxTest, TypedCharacterGoesToTheNextRowStartingWithIt) {
    list->Append({{"apple", 0}, {"Banana", 0}, {"blueberry", 0}, {"cherry", 0}});
    list->Append(MakeRows(30, "zz "));
    list->Append({{"yak", 0}});  // row 34, out of sight
    int clicks = 0;
    list->OnClick = [&](TCustomPlayListBox&) { ++clicks; };
    SetFocus(list->Handle());
    list->SetSelected(0, true);
    list->SetSelected(3, true);
    list->SetItemIndex(0);
    SendMessageW(list->Handle(), WM_CHAR, L'b', 1);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_TRUE(list->IsSelected(1));
    SendMessageW(list->Handle(), WM_CHAR, L'B', 1);
    EXPECT_EQ(list->ItemIndex(), 2);
    SendMessageW(list->Handle(), WM_CHAR, L'b', 1);
    EXPECT_EQ(list->ItemIndex(), 1) << "wraps round";
    EXPECT_EQ(clicks, 3);
    SendMessageW(list->Handle(), WM_CHAR, L'q', 1);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(clicks, 3);

    ResetCounts();
    SendMessageW(list->Handle(), WM_CHAR, L'Z', 1);
    EXPECT_EQ(list->ItemIndex(), 4);
    Flush();
    EXPECT_EQ(wholeErases, 0) << "row 4 is in sight: no scroll";
    SendMessageW(list->Handle(), WM_CHAR, L'Y', 1);
    EXPECT_EQ(list->ItemIndex(), 34);
    Flush();
    EXPECT_NE(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 1) << "a scroll repaints everything";
    ResetCounts();
    SendMessageW(list->Handle(), WM_CHAR, L'a', 1);
    Flush();
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 1);
}

// The typed-character search answers once per distinct row start; it must find
// exactly the row that one locale comparison per row finds: kana of each width,
// kanji with a 0x5C trail byte, case and width variants of Latin letters.
// Texts come from UTF-16 in the ANSI code page; those it cannot hold are left out.
TEST_F(ListBoxTest, TypedCharacterFindsWhatTheLocaleComparisonFinds) {
    auto ansi = [](const std::wstring& w, std::string& out) {
        BOOL lossy = FALSE;
        char buffer[64] = {};
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.c_str(), static_cast<int>(w.size()), buffer,
                                          sizeof buffer, nullptr, &lossy);
        out.assign(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
        return n > 0 && !lossy;
    };
    std::vector<TRow> rows;
    for (const wchar_t* w : {L"apple", L"Ａpple", L"ｱｲｳ", L"アイウ", L"あいう", L"表示", L"ソニー", L"能力", L"十字",
                             L"Apple", L"-dash", L"'quote", L"10", L"ｶﾞ", L"ガ", L"か", L"表", L"x"}) {
        std::string t;
        if (ansi(w, t)) rows.push_back({t, 0});
    }
    list->Append(rows);
    SetFocus(list->Handle());
    for (wchar_t typed : {L'a', L'A', L'ａ', L'ｱ', L'ア', L'あ', L'表', L'ソ', L'能', L'1', L'-', L'\'', L'ｶ', L'か', L'x'}) {
        std::string prefix;
        if (!ansi(std::wstring(1, typed), prefix)) continue;
        for (int caret : {0, 5, static_cast<int>(rows.size()) - 1}) {
            list->SetItemIndex(caret);
            int expected = caret;
            for (int k = 1; k <= list->Count(); ++k) {
                const std::string& row = rows[static_cast<std::size_t>((caret + k) % list->Count())].Text;
                if (row.size() >= prefix.size() &&
                    CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, row.data(), static_cast<int>(prefix.size()),
                                   prefix.data(), static_cast<int>(prefix.size())) == CSTR_EQUAL) {
                    expected = (caret + k) % list->Count();
                    break;
                }
            }
            SendMessageW(list->Handle(), WM_CHAR, typed, 1);
            EXPECT_EQ(list->ItemIndex(), expected) << "typed U+" << std::hex << int(typed) << " from row " << caret;
        }
    }
}

// ---------------------------------------------------------------- other configurations

TEST_F(ListBoxTest, SortedListAddsInOrderButInsertsWhereAsked) {
    list->Append({{"b", 2}, {"c", 3}});
    list->SetSorted(true);
    list->Append({{"a", 1}, {"D", 4}});
    EXPECT_EQ(list->Add("B", 5), 2) << "after the rows equal but for case";
    std::vector<std::string> texts;
    for (int i = 0; i < list->Count(); ++i) texts.push_back(list->Text(i));
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "b", "B", "c", "D"}));
    EXPECT_EQ(list->Data(2), 5u);
    list->Insert(0, {{"zz", 9}});
    EXPECT_EQ(list->Text(0), "zz");
    list->Assign({{"y", 1}, {"X", 2}, {"w", 3}});
    EXPECT_EQ(list->Text(0), "w");
    EXPECT_EQ(list->Text(2), "y");
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
}

TEST_F(ListBoxTest, MeasuredRowsAskTheOwnerForTheirHeight) {
    list->OnMeasureItem = [](TCustomPlayListBox&, int index, int& height) { height = 10 + index; };
    list->SetStyle(TListBoxStyle::lbOwnerDrawVariable);
    list->Append(MakeRows(4));
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, i, 0), 10 + i) << i;
    list->SetSelected(2, true);
    list->Exchange(2, 3);
    EXPECT_FALSE(list->IsSelected(2));
    EXPECT_EQ(list->Text(2), "row 3");
    wchar_t w[16] = {};
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETTEXT, 3, reinterpret_cast<LPARAM>(w)), 5);
    EXPECT_STREQ(w, L"row 2");
}

TEST_F(ListBoxTest, PlainRowsAreDrawnByTheControlInTheSelectionColours) {
    list->OnDrawItem = nullptr;
    list->OnEraseBkgnd = nullptr;
    list->SetBackgroundBrush(nullptr);
    list->SetStyle(TListBoxStyle::lbStandard);
    list->Append({{"WWWWWWWW", 0}, {"WWWWWWWW", 0}, {"", 0}});
    list->SetSelected(1, true);
    list->SetItemIndex(2);
    list->Invalidate();
    Flush();
    const int h = list->ItemHeight();
    EXPECT_GT(h, 0);
    TClientDc dc(list->Handle());
    auto countPixels = [&](int row, COLORREF colour) {
        int n = 0;
        for (int y = row * h; y < (row + 1) * h; ++y)
            for (int x = 0; x < 80; ++x) n += GetPixel(dc.get(), x, y) == colour;
        return n;
    };
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), window = GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    EXPECT_GT(countPixels(0, text), 10) << "row text in the window text colour";
    EXPECT_GT(countPixels(0, window), 10);
    EXPECT_GT(countPixels(1, highlight), 10) << "a selected row on the highlight colour";
    EXPECT_GT(countPixels(1, highlightText), 10);
    EXPECT_EQ(countPixels(2, text), 0) << "an empty row shows no text";
}

TEST_F(ListBoxTest, RowsAndPositionSurviveANewParentWindow) {
    list->Append(MakeRows(40));
    list->SetSelected(12, true);
    list->SetItemIndex(9);
    list->SetTopIndex(7);
    parent.List = nullptr;
    DestroyWindow(parent.Handle());
    EXPECT_FALSE(list->HandleAllocated());
    EXPECT_EQ(list->Count(), 40) << "the rows are ours, not the window's";
    EXPECT_EQ(list->TopIndex(), 7);

    TTestParent second;
    ASSERT_TRUE(second.Create());
    second.List = list.get();
    list->SetParentWindow(second.Handle());
    list->SetVisible(false);
    list->HandleNeeded();
    EXPECT_FALSE(IsWindowVisible(list->Handle()));
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 40);
    EXPECT_EQ(list->TopIndex(), 7);
    EXPECT_EQ(list->ItemIndex(), 9);
    EXPECT_EQ(list->SelCount(), 0);
    list->SetSelected(3, true);  // works while hidden
    EXPECT_TRUE(list->IsSelected(3));
    list->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(list->Handle()));
    list.reset();  // before its parent goes
}

// ---------------------------------------------------------------- marking rows in bulk

// Marking rows while suspended or hidden leaves the caret move and scroll for
// later; what the owner reads back, and what the window shows afterwards, must
// be exactly what the native list does call by call.
class DeferredCaretTest : public ListBoxTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DeferredCaretTest, MatchesTheNativeListCallByCall) {
    const bool suspended = GetParam();
    const int n = 60;
    list->Append(MakeRows(n));
    HWND raw = CreateWindowExW(0, L"LISTBOX", L"",
                               WS_CHILD | WS_VSCROLL | LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_EXTENDEDSEL |
                                   LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                               130, 0, 121, 97, parent.Handle(), reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(raw, nullptr);
    SendMessageW(raw, LB_SETCOUNT, n, 0);
    SendMessageW(raw, LB_SETITEMHEIGHT, 0, 16);
    RECT a{}, b{};
    GetClientRect(raw, &a);
    GetClientRect(list->Handle(), &b);
    ASSERT_EQ(a.bottom, b.bottom);
    list->SetTopIndex(20);
    SendMessageW(raw, LB_SETTOPINDEX, 20, 0);

    if (suspended)
        list->BeginUpdate();
    else
        list->SetVisible(false);
    unsigned state = 7;
    auto next = [&](int m) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 8) % static_cast<unsigned>(m));
    };
    for (int step = 0; step < 150; ++step) {
        const int i = next(4) == 0 ? n - 1 - next(3) : next(n);  // the end rows now and then
        const bool on = next(3) != 0;
        list->SetSelected(i, on);
        SendMessageW(raw, LB_SETSEL, on, i);
        ASSERT_EQ(list->TopIndex(), SendMessageW(raw, LB_GETTOPINDEX, 0, 0)) << "step " << step << " row " << i;
        ASSERT_EQ(list->ItemIndex(), SendMessageW(raw, LB_GETCARETINDEX, 0, 0)) << "step " << step;
        if (step % 25 == 24) {  // an exchange in between, as the reorder commands do
            list->Exchange(i, (i + 1) % n);
            SendMessageW(raw, LB_SETSEL, FALSE, i);
            SendMessageW(raw, LB_SETSEL, FALSE, (i + 1) % n);
            ASSERT_EQ(list->TopIndex(), SendMessageW(raw, LB_GETTOPINDEX, 0, 0));
        }
    }
    if (suspended)
        list->EndUpdate();
    else
        list->SetVisible(true);
    HWND h = list->Handle();
    EXPECT_EQ(SendMessageW(h, LB_GETTOPINDEX, 0, 0), SendMessageW(raw, LB_GETTOPINDEX, 0, 0));
    EXPECT_EQ(SendMessageW(h, LB_GETCARETINDEX, 0, 0), SendMessageW(raw, LB_GETCARETINDEX, 0, 0));
    EXPECT_EQ(SendMessageW(h, LB_GETANCHORINDEX, 0, 0), SendMessageW(raw, LB_GETANCHORINDEX, 0, 0));
    for (int i = 0; i < n; ++i) EXPECT_EQ(list->IsSelected(i), SendMessageW(raw, LB_GETSEL, i, 0) > 0) << i;
    DestroyWindow(raw);
}

INSTANTIATE_TEST_SUITE_P(SuspendedOrHidden, DeferredCaretTest, ::testing::Values(true, false));

TEST_F(ListBoxTest, DeferredCaretIsInPlaceBeforeRowsChangeOrMessagesArrive) {
    list->Append(MakeRows(40));
    list->BeginUpdate();
    list->SetSelected(30, true);
    EXPECT_EQ(list->ItemIndex(), 30);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCARETINDEX, 0, 0), 30) << "a message from outside sees it";
    list->SetSelected(35, true);
    list->Delete(0);  // the caret was in place before the native list dealt with the rows
    EXPECT_EQ(list->ItemIndex(), SendMessageW(list->Handle(), LB_GETCARETINDEX, 0, 0));
    EXPECT_NE(list->ItemIndex(), 30);
    list->SetSelected(2, true);
    list->SetTopIndex(10);
    EXPECT_EQ(list->TopIndex(), 10);
    EXPECT_EQ(list->ItemIndex(), 2);
    list->EndUpdate();
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCARETINDEX, 0, 0), 2);
    EXPECT_EQ(list->SelCount(), 3);
}

TEST_F(ListBoxTest, DeleteRowsMatchesTheGenericOneByOneResult) {
    TPlayListBox other(parent.Handle(), kListId + 1);
    other.SetBorderStyle(TBorderStyle::bsNone);
    other.SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    other.SetMultiSelect(true);
    other.SetBounds(130, 0, 121, 97);
    other.HandleNeeded();
    for (TPlayListBox* l : {list.get(), &other}) {
        l->Append(MakeRows(40));
        for (int i : {2, 3, 4, 5, 8, 25, 39}) l->SetSelected(i, true);
        l->SetItemIndex(20);
        l->SetTopIndex(12);
    }
    const std::vector<int> doomed{1, 4, 13, 30, 39};
    list->DeleteRows(doomed);
    other.IRowStore::DeleteRows(doomed);  // the generic fallback
    ASSERT_EQ(list->Count(), 35);
    ASSERT_EQ(other.Count(), 35);
    for (int i = 0; i < 35; ++i) {
        EXPECT_EQ(list->Text(i), other.Text(i));
        EXPECT_EQ(list->Data(i), other.Data(i));
        EXPECT_EQ(list->IsSelected(i), other.IsSelected(i)) << i;
    }
    EXPECT_EQ(list->TopIndex(), other.TopIndex());
    EXPECT_EQ(list->ItemIndex(), other.ItemIndex());
    EXPECT_EQ(list->ItemIndex(), 17);  // 20 less the two rows deleted above it
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 35);

    EXPECT_EQ(ErrorOf([&] { list->DeleteRows({3, 3}); }), kIndexError + "(3)");
    EXPECT_EQ(ErrorOf([&] { list->DeleteRows({1, 35}); }), kIndexError + "(35)");
    EXPECT_EQ(list->Count(), 35) << "a bad list changes nothing";
    std::vector<int> all(35);
    for (int i = 0; i < 35; ++i) all[static_cast<size_t>(i)] = i;
    list->DeleteRows(all);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 0);
}

// ---------------------------------------------------------------- size

TEST_F(ListBoxTest, HundredThousandRowsAssignAndEdit) {
    list->Assign(MakeRows(100000));
    EXPECT_EQ(list->Count(), 100000);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 100000);
    list->SetSelected(99999, true);
    EXPECT_GT(list->TopIndex(), 99000);
    list->BeginUpdate();
    for (int i = 0; i < 1000; ++i) list->Exchange(i, 99999 - i);
    list->EndUpdate();
    EXPECT_EQ(list->Text(0), "row 99999");
    EXPECT_EQ(list->Data(99999), 1000u);
    EXPECT_EQ(list->SelCount(), 0);
    list->Clear();
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 0);
}

}  // namespace
