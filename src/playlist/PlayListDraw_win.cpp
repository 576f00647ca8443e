// Drawing the entries over the watermark: the list box erases its background
// through DrawListBackground and asks DrawEntry for every visible row. Rows are
// never filled; the background is painted once per erase.
#include "playlist/PlayList_win.h"
#include "base/Text_win.h"
#include "playlist/Geometry.h"
#include "skin/WatermarkPaint_win.h"
#include "skin/WatermarkSkin_win.h"

namespace {
constexpr UINT kColumnFormat = DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX;
constexpr UINT kTitleFormat = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE;

// Texts are UTF-8 and drawn wide, so that a title shows every character the
// list font (or the system's fallback for it) has.
int TextWidth(HDC dc, const std::string& s) {
    SIZE size{};
    const std::wstring wide = Utf8ToWide(s);
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

void DrawText8(HDC dc, const std::string& text, RECT r, UINT format, COLORREF color, TTextWidths& widths) {
    SetTextColor(dc, color);
    const std::wstring wide = Utf8ToWide(text);
    const int n = static_cast<int>(wide.size());
    if (format == kTitleFormat) {
        // A title that fits is drawn as the text layout would draw it (at the
        // cell's top left, clipped to the cell) without the layout's own passes
        // over it: text is most of a repaint's cost.
        int width = 0;
        if (widths.Width(dc, wide, width) && width <= r.right - r.left) {
            ExtTextOutW(dc, r.left, r.top, ETO_CLIPPED, &r, wide.c_str(), static_cast<UINT>(n), nullptr);
            return;
        }
    }
    DrawTextW(dc, wide.c_str(), n, &r, format);
}
}  // namespace

// Text in the shadow colour one pixel right and down, then in its colour on top.
void DrawShadowText(HDC dc, const RECT& rect, UINT format, COLORREF color, COLORREF shadow, const std::string& text,
                    TTextWidths& widths) {
    RECT s{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
    DrawText8(dc, text, s, format, shadow, widths);
    DrawText8(dc, text, rect, format, color, widths);
}

void TFormPlayList::DrawEntry(TCustomPlayListBox& list, int i, const RECT& r, unsigned state) {
    HDC dc = list.Canvas().Handle();
    if (!dc || i < 0 || i >= list.Count()) return;
    SetBkMode(dc, TRANSPARENT);
    const TWatermarkSkin& skin = *skin_;
    const TMP3FileInfo* rec = Record(i);
    if (rec && rec->ToRead) reading_.NoteDrawn(*rec);  // what shows is read first
    const std::string lengthText = rec ? std::string(rec->SongLengthText()) : std::string();

    int wN = 0;
    if (Option.ShowSongNumber) wN = TextWidth(dc, NumberColumnSample(list.Count()));
    int wL = 0;
    if (Option.ShowSongTime) wL = std::max(TextWidth(dc, " 88:88"), TextWidth(dc, " " + lengthText));

    // An entry kept from the host without being read is dimmed: half way from the
    // normal colour to the list's background.
    const TListColours shown = skin.ShownColours();
    const TRowColours colours = RowColours(shown, (state & ODS_SELECTED) != 0, i == playingIndex_, rec && rec->Kept);
    if (colours.Bar) {
        TBrush bar(CreateSolidBrush(*colours.Bar));
        FillRect(dc, &r, bar.get());
    }
    const COLORREF columnColor = colours.Column;
    auto draw = [&](const std::string& text, const RECT& rect, UINT format, COLORREF color) {
        if (Option.EnableDrawFontShadow)
            DrawShadowText(dc, rect, format, color, shown.Background, text, titleWidths_);
        else
            DrawText8(dc, text, rect, format, color, titleWidths_);
    };
    if (Option.ShowSongNumber) draw(std::to_string(i + 1) + ". ", RECT{r.left, r.top, wN, r.bottom}, kColumnFormat, columnColor);
    if (Option.ShowSongTime) draw(lengthText, RECT{r.right - wL, r.top, r.right, r.bottom}, kColumnFormat, columnColor);
    draw(list.Text(i), RECT{r.left + wN, r.top, r.right - wL, r.bottom}, kTitleFormat, colours.Title);
}

void TFormPlayList::DrawListBackground(TCustomPlayListBox& list, const RECT& r) {
    HDC dc = list.Canvas().Handle();
    if (dc && skin_) background_.Paint(dc, r, *skin_);
}
