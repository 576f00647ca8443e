// Dragging the selected entries with the mouse: the move itself (order, marks,
// playing entry, one push), the insertion line, scrolling at the edges, and
// what stays as it was: the ordinary click, the selection drag from an
// unselected row, Esc and a release outside the list.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "PlayListFixture.h"
#include "playlist/PlayList_win.h"

namespace {

class DragMove : public TPlayListTest {
protected:
    // n songs in a window tall enough for about 25 rows.
    std::vector<std::string> Start(int n) {
        auto files = StartWith(n);
        SetWindowPos(PlayListWindow(), nullptr, 0, 0, 420, 480, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        return files;
    }
    TFormPlayList* Form() {
        return static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA)));
    }
    int H() { return static_cast<int>(SendMessageW(List(), LB_GETITEMHEIGHT, 0, 0)); }
    int Top() { return static_cast<int>(SendMessageW(List(), LB_GETTOPINDEX, 0, 0)); }
    std::vector<int> Selected() {
        std::vector<int> out;
        for (int i = 0; i < static_cast<int>(Rows().size()); ++i)
            if (SendMessageW(List(), LB_GETSEL, i, 0) > 0) out.push_back(i);
        return out;
    }
    void Select(std::initializer_list<int> rows) {
        SendMessageW(List(), LB_SETSEL, FALSE, -1);
        for (int r : rows) SendMessageW(List(), LB_SETSEL, TRUE, r);
    }
    // y within the list's client area, the button held.
    void Down(int y) { SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, y)); }
    void Move(int y, int x = 20) { SendMessageW(List(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Up(int y, int x = 20) {
        SendMessageW(List(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }
    int Pushes() {
        int n = 0;
        for (const auto& m : host->MessagesTo(host->Main(), WM_USER)) n += m.LParam == 101;
        return n;
    }
    std::vector<std::string> Songs(std::initializer_list<int> order) {
        std::vector<std::string> out;
        for (int i : order) out.push_back("Song " + std::to_string(i));
        return out;
    }
    COLORREF PixelAt(int y) {
        HDC dc = GetDC(List());
        const COLORREF c = GetPixel(dc, 30, y);
        ReleaseDC(List(), dc);
        return c;
    }
};

}  // namespace

TEST_F(DragMove, SelectedEntriesGoIntoTheGapInOrderWithOnePush) {
    auto files = Start(8);
    host->SetPosition(6);
    Pump();
    SendMessageW(List(), LB_SETTOPINDEX, 0, 0);
    Select({1, 2, 6});
    host->ClearMessages();
    const int h = H();
    const COLORREF before = PixelAt(5 * h);
    Down(h + h / 2);
    Move(h + h / 2 + 1);  // within the drag distance: nothing yet
    EXPECT_FALSE(Form()->ListBox()->Dragging());
    Move(5 * h + 1);
    EXPECT_TRUE(Form()->ListBox()->Dragging());
    EXPECT_EQ(PixelAt(5 * h), before ^ 0xFFFFFF) << "the insertion line above row 5";
    EXPECT_EQ(Pushes(), 0);
    Up(5 * h + 1);
    EXPECT_FALSE(Form()->ListBox()->Dragging());
    EXPECT_EQ(Rows(), Songs({0, 3, 4, 1, 2, 6, 5, 7}));
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(Form()->PlayingIndex(), 5);
    EXPECT_EQ(Pushes(), 1);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{files[0], files[3], files[4], files[1], files[2], files[6],
                                                         files[5], files[7]}));
    EXPECT_EQ(host->Position, 5);
    // Into the end of the list.
    host->ClearMessages();
    Down(4 * h + 2);
    Move(8 * h - 2);
    Up(8 * h - 2);
    EXPECT_EQ(Rows(), Songs({0, 3, 4, 5, 7, 1, 2, 6}));
    EXPECT_EQ(Pushes(), 1);
    // Each move is one undo step.
    Menu(PopupItemUndo);
    EXPECT_EQ(Rows(), Songs({0, 3, 4, 1, 2, 6, 5, 7}));
    Menu(PopupItemUndo);
    EXPECT_EQ(Rows(), Songs({0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(host->Playlist, files);
}

TEST_F(DragMove, AClickAndAPressOnAnUnselectedRowStayWhatTheyWere) {
    Start(8);
    Select({1, 2});
    host->ClearMessages();
    const int h = H();
    Down(2 * h + 2);
    Up(2 * h + 2);
    EXPECT_EQ(Selected(), (std::vector<int>{2})) << "the ordinary click";
    Down(4 * h + 2);  // unselected: the native list's selection drag
    Move(5 * h + 2);
    Move(6 * h + 2);
    EXPECT_FALSE(Form()->ListBox()->Dragging());
    Up(6 * h + 2);
    EXPECT_EQ(Selected(), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(Rows(), Songs({0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Pushes(), 0);
}

TEST_F(DragMove, EscAndAReleaseOutsideCancelAndTheEdgesScroll) {
    Start(80);
    Select({2});
    host->ClearMessages();
    const int h = H();
    RECT client{};
    GetClientRect(List(), &client);
    ASSERT_LT(client.bottom / h, 60) << "the list must be longer than the window";
    Down(2 * h + 2);
    Move(6 * h);
    for (int k = 0; k < 3; ++k) Move(client.bottom - 1);
    EXPECT_EQ(Top(), 3) << "one row per move at the bottom edge";
    Move(0);
    EXPECT_EQ(Top(), 2) << "and back at the top edge";
    SendMessageW(List(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(Form()->ListBox()->Dragging());
    Up(5 * h);
    Down(2 * h + 2 - Top() * h);  // row 2, wherever it shows
    Move(4 * h);
    Up(4 * h, -5);
    const std::vector<std::string> unchanged = Rows();
    for (int i = 0; i < 80; ++i) ASSERT_EQ(unchanged[static_cast<std::size_t>(i)], "Song " + std::to_string(i));
    EXPECT_EQ(Pushes(), 0);
    // Scrolled down, then dropped: into the gap where the line was.
    SendMessageW(List(), LB_SETTOPINDEX, 0, 0);
    Select({2});
    Down(2 * h + 2);
    Move(6 * h);
    Move(client.bottom - 1);
    Move(client.bottom - 1);
    const int top = Top();
    EXPECT_EQ(top, 2);
    Move(3 * h + 1);
    Up(3 * h + 1);
    EXPECT_EQ(Rows()[static_cast<std::size_t>(top + 2)], "Song 2");
    EXPECT_EQ(Selected(), (std::vector<int>{top + 2}));
    EXPECT_EQ(Pushes(), 1);
}
