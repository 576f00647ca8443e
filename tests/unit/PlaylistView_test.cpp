// Key table, time texts, caption and window geometry of the playlist window.
#include "playlist/Geometry.h"
#include "playlist/KeyTable.h"
#include "playlist/TimeText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ListKeys, CodesMatchExactly) {
    EXPECT_EQ(LookupListKey(ListKeyCode('Z', false, false, false)), TListKeyAction::TransportPrevious);
    EXPECT_EQ(LookupListKey(ListKeyCode('Z', true, false, false)), TListKeyAction::TransportRewind);
    EXPECT_EQ(LookupListKey(ListKeyCode('Z', false, true, false)), TListKeyAction::RandomizeList);
    EXPECT_EQ(LookupListKey(ListKeyCode('Z', true, true, false)), TListKeyAction::None);
    EXPECT_EQ(LookupListKey(ListKeyCode('C', false, false, true)), TListKeyAction::None);  // Alt+C
    EXPECT_EQ(LookupListKey(ListKeyCode(0x2E, false, false, false)), TListKeyAction::RemoveSelected);
    EXPECT_EQ(LookupListKey(ListKeyCode(0x2E, false, true, false)), TListKeyAction::Crop);
    EXPECT_EQ(LookupListKey(ListKeyCode(0x2E, true, true, false)), TListKeyAction::RemoveAll);
    EXPECT_EQ(LookupListKey(ListKeyCode(0x2E, true, false, false)), TListKeyAction::None);
    EXPECT_EQ(LookupListKey(ListKeyCode('P', false, true, false)), TListKeyAction::LaunchControlPanel);
    EXPECT_EQ(LookupListKey(ListKeyCode('P', true, true, false)), TListKeyAction::HostPreferences);
    EXPECT_EQ(LookupListKey(ListKeyCode('3', false, false, true)), TListKeyAction::HostFileInfo);
    EXPECT_EQ(LookupListKey(ListKeyCode('S', false, false, true)), TListKeyAction::HostSkinSelector);
    EXPECT_EQ(LookupListKey(0x00D), TListKeyAction::PlayCaretEntry);
    EXPECT_EQ(LookupListKey(0x22D), TListKeyAction::AddFolder);
    EXPECT_EQ(LookupListKey(0x20D), TListKeyAction::None);  // Ctrl+Enter
    EXPECT_EQ(LookupListKey(0x26), TListKeyAction::None);   // arrows stay with the list box
}

TEST(ListKeys, TransportKeysCarryTheirIndex) {
    const int keys[] = {ListKeyCode('Z', false, false, false), ListKeyCode('Z', true, false, false),
                        ListKeyCode('X', false, false, false), ListKeyCode('C', false, false, false),
                        ListKeyCode('V', false, false, false), ListKeyCode('B', true, false, false),
                        ListKeyCode('B', false, false, false)};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(TransportIndexOf(LookupListKey(keys[i])), i) << i;
    EXPECT_EQ(TransportIndexOf(TListKeyAction::SelectAll), -1);
}

TEST(TransportButtons, ShiftBeforeCtrl) {
    using K = TTransportClick::TKind;
    EXPECT_EQ(ResolveTransportClick(0, true, false).Index, 1);
    EXPECT_EQ(ResolveTransportClick(6, true, false).Index, 5);
    EXPECT_EQ(ResolveTransportClick(2, true, false).Kind, K::Eject);
    EXPECT_EQ(ResolveTransportClick(3, true, false).Index, 3);
    EXPECT_EQ(ResolveTransportClick(0, false, true).Kind, K::PlayFirstEntry);
    EXPECT_EQ(ResolveTransportClick(0, true, true).Index, 1);  // Shift wins
    const TTransportClick next = ResolveTransportClick(6, false, true);
    EXPECT_EQ(next.Kind, K::Transport);
    EXPECT_EQ(next.Index, 6);
}

TEST(TimeTexts, LengthText) {
    EXPECT_EQ(SongLengthText(5), "0:05");
    EXPECT_EQ(SongLengthText(185), "3:05");
    EXPECT_EQ(SongLengthText(3599), "59:59");
    EXPECT_EQ(SongLengthText(3600), "1:00:00");
    EXPECT_EQ(SongLengthText(3725), "1:02:05");
    EXPECT_EQ(SongLengthText(36000 * 10), "100:00:00");
    EXPECT_EQ(SongLengthText(-1), "");
}

TEST(TimeTexts, TotalTextAndReadingShare) {
    EXPECT_EQ(TotalTimeText(185, 3725, false), "3:05/1:02:05");
    EXPECT_EQ(TotalTimeText(0, 754, true), "0:00/12:34+");
    EXPECT_EQ(TotalTimeText(0, 1LL << 40, false), "0:00/596523:14:07");
    EXPECT_EQ(ReadingShareText(41, 100, false), "Reading 41 %");
    EXPECT_EQ(ReadingShareText(1, 3, true), "\xE8\xAA\xAD\xE3\x81\xBF\xE8\xBE\xBC\xE3\x81\xBF\xE4\xB8\xAD 33 %");
}

TEST(TimeTexts, ElapsedText) {
    EXPECT_EQ(ElapsedTimeText(0), "00:00");
    EXPECT_EQ(ElapsedTimeText(185), "03:05");
    EXPECT_EQ(ElapsedTimeText(3599), "59:59");
    EXPECT_EQ(ElapsedTimeText(3725), "1:02:05");
    EXPECT_EQ(ElapsedTimeText(INT_MAX), "596523:14:07");
}

TEST(TimeTexts, CaptionTrimsBlanksAndControls) {
    EXPECT_EQ(PlayingCaption("  Song \t\r\n"), "Song - VelvetLister");
    EXPECT_EQ(PlayingCaption("a  b"), "a  b - VelvetLister");
    EXPECT_EQ(PlayingCaption(" \x01 "), " - VelvetLister");
    EXPECT_EQ(PlayingCaption("\x82\xA0"), "\x82\xA0 - VelvetLister");  // high bytes are text
}

TEST(TimeDisplay, ShowsEachNewSecondOnce) {
    TTimeDisplay d;
    EXPECT_TRUE(TickTimeDisplay(d, 185700));
    EXPECT_EQ(d.Text, "03:05");
    EXPECT_EQ(d.Tag, 185);
    EXPECT_FALSE(TickTimeDisplay(d, 185999));
    EXPECT_TRUE(TickTimeDisplay(d, 3725000));
    EXPECT_EQ(d.Text, "1:02:05");
    // Second 0 equals the initial tag: the start text stays.
    TTimeDisplay fresh;
    EXPECT_FALSE(TickTimeDisplay(fresh, 400));
    EXPECT_EQ(fresh.Text, "00:00");
}

TEST(TimeDisplay, PausedBlinksAndStoppedIsBlank) {
    TTimeDisplay d;
    TickTimeDisplay(d, 65000);
    EXPECT_TRUE(TickTimeDisplay(d, -65000));
    EXPECT_EQ(d.Text, "");
    EXPECT_TRUE(TickTimeDisplay(d, -65000));
    EXPECT_EQ(d.Text, "01:05");
    EXPECT_TRUE(TickTimeDisplay(d, -1));  // stopped: blank, the tag keeps its second
    EXPECT_EQ(d.Text, "");
    EXPECT_EQ(d.Tag, 65);
    EXPECT_TRUE(TickTimeDisplay(d, 66000));
    EXPECT_EQ(d.Text, "01:06");
    EXPECT_FALSE(d.BlinkOn);
}

TEST(Snapping, EdgesAttractWithinTheDistance) {
    int x = 7, y = 300;
    SnapToScreenEdges(x, y, 275, 116, 1024, 768, 10);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 300);
    x = 7;
    SnapToScreenEdges(x, y, 275, 116, 1024, 768, -10);  // absolute value
    EXPECT_EQ(x, 0);
    x = -11;
    y = 10;
    SnapToScreenEdges(x, y, 275, 116, 1024, 768, 10);
    EXPECT_EQ(x, -11);
    EXPECT_EQ(y, 0);
    x = 1024 - 275 + 10;
    y = 768 - 116 - 10;
    SnapToScreenEdges(x, y, 275, 116, 1024, 768, 10);
    EXPECT_EQ(x, 749);
    EXPECT_EQ(y, 652);
}

TEST(Snapping, RightEdgeSeesTheLeftSnap) {
    // A window almost as wide as the screen: the left snap happens first, then the
    // right test looks at the snapped x and moves it again.
    int x = 5, y = 100;
    SnapToScreenEdges(x, y, 1020, 116, 1024, 768, 10);
    EXPECT_EQ(x, 4);
    // Wider than the screen: the right edge is at a negative x.
    x = -30;
    SnapToScreenEdges(x, y, 1050, 116, 1024, 768, 10);
    EXPECT_EQ(x, -26);
    x = INT_MIN;
    y = INT_MAX;
    SnapToScreenEdges(x, y, INT_MAX, INT_MAX, 1024, 768, INT_MAX);  // no overflow
}

TEST(NumberColumn, DigitsOfTheCountUpToEight) {
    EXPECT_EQ(NumberColumnSample(0), "8. ");
    EXPECT_EQ(NumberColumnSample(9), "8. ");
    EXPECT_EQ(NumberColumnSample(10), "88. ");
    EXPECT_EQ(NumberColumnSample(100000), "888888. ");
    EXPECT_EQ(NumberColumnDigits(99999999), 8);
    EXPECT_EQ(NumberColumnDigits(100000000), 8);
    EXPECT_EQ(NumberColumnDigits(INT_MAX), 8);
}

}  // namespace
