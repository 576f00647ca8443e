#include "skin/WatermarkPaint_win.h"

#include <algorithm>

#include "skin/WatermarkPlacement.h"
#include "skin/WatermarkSkin_win.h"

namespace {
// The composition itself, straight into `dc` (what the kept bitmap holds).
void PaintWatermarkBackground(HDC dc, const RECT& r, const TWatermarkSkin& skin) {
    const int W = r.right - r.left, H = r.bottom - r.top;
    const int fw = skin.FGBitmap().Width, fh = skin.FGBitmap().Height;
    const TWatermarkPlacement p = PlaceWatermark(fw, fh, W, H);

    TMemoryDc fgDc(CreateCompatibleDC(dc));
    TSelectGuard fgSel(fgDc.get(), skin.FGBitmap().Handle.get());
    // A background colour lent by the player's skin lies behind the foreground,
    // which then shows only its opaque pixels, as over tiles.
    const bool lentBackground = skin.Inherited().BackgroundColor.has_value();
    if (!skin.BGBitmap() && !lentBackground) {
        BitBlt(dc, r.left + p.DestX, r.top + p.DestY, p.Width, p.Height, fgDc.get(), p.SourceX, p.SourceY, SRCCOPY);
        TBrush fill(CreateSolidBrush(skin.ShadowColor()));
        if (p.DestY > 0) {
            RECT band{r.left, r.top, r.right, r.top + p.DestY};
            FillRect(dc, &band, fill.get());
        }
        if (p.DestX > 0) {
            RECT band{r.left, r.top + p.DestY, r.left + p.DestX, r.bottom};
            FillRect(dc, &band, fill.get());
        }
        return;
    }
    // Tiles (or the lent colour) everywhere, then the foreground's opaque pixels
    // over them: a masked copy in three block copies (XOR, AND with the mask, XOR
    // again), so a picture of millions of runs paints as fast as a plain one.
    if (!skin.BGBitmap()) {
        TBrush fill(CreateSolidBrush(skin.ShownColours().Background));
        FillRect(dc, &r, fill.get());
    } else {
        TMemoryDc bgDc(CreateCompatibleDC(dc));
        TSelectGuard bgSel(bgDc.get(), skin.BGBitmap().Handle.get());
        const int bw = std::max(1, skin.BGBitmap().Width), bh = std::max(1, skin.BGBitmap().Height);
        TSaveDc saved(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        for (int y = r.top; y < r.bottom; y += bh)
            for (int x = r.left; x < r.right; x += bw) BitBlt(dc, x, y, bw, bh, bgDc.get(), 0, 0, SRCCOPY);
    }
    if (!skin.FGMask()) return;
    TMemoryDc maskDc(CreateCompatibleDC(dc));
    TSelectGuard maskSel(maskDc.get(), skin.FGMask());
    TSaveDc saved(dc);
    const int x = r.left + p.DestX, y = r.top + p.DestY;
    BitBlt(dc, x, y, p.Width, p.Height, fgDc.get(), p.SourceX, p.SourceY, SRCINVERT);
    SetBkColor(dc, RGB(255, 255, 255));  // mask 1 (transparent) keeps what is there
    SetTextColor(dc, RGB(0, 0, 0));      // mask 0 (opaque) clears it for the foreground
    BitBlt(dc, x, y, p.Width, p.Height, maskDc.get(), p.SourceX, p.SourceY, SRCAND);
    BitBlt(dc, x, y, p.Width, p.Height, fgDc.get(), p.SourceX, p.SourceY, SRCINVERT);
}

}  // namespace

TWatermarkBackground::TKey TWatermarkBackground::KeyOf(const TWatermarkSkin& skin, int width, int height) {
    TKey key;
    key.Width = width;
    key.Height = height;
    key.Foreground = skin.FGBitmap().Handle.get();
    key.Tiles = skin.BGBitmap().Handle.get();
    key.Mask = skin.FGMask();
    key.ForegroundSignature = skin.FGSignature();
    key.TilesSignature = skin.BGSignature();
    key.Lent = skin.Inherited().BackgroundColor;
    key.Shadow = skin.ShadowColor();
    key.Background = skin.ShownColours().Background;
    return key;
}

void TWatermarkBackground::Drop() {
    dc_.reset();
    bitmap_.reset();
    key_ = TKey{};
}

void TWatermarkBackground::Paint(HDC dc, const RECT& area, const TWatermarkSkin& skin) {
    const int W = area.right - area.left, H = area.bottom - area.top;
    if (W <= 0 || H <= 0) return;
    const TKey key = KeyOf(skin, W, H);
    if (!dc_ || !(key == key_)) {
        Drop();
        // In colour whatever `dc` holds (a memory context may hold a monochrome bitmap).
        BITMAPINFO bi{};
        bi.bmiHeader = TopDown32Header(W, H);
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (bitmap_) dc_.reset(CreateCompatibleDC(dc));
        if (dc_ && !SelectObject(dc_.get(), bitmap_.get())) dc_.reset();
        if (!dc_) {
            // No memory for a second picture of the list: composed on every paint.
            Drop();
            PaintWatermarkBackground(dc, area, skin);
            return;
        }
        PaintWatermarkBackground(dc_.get(), RECT{0, 0, W, H}, skin);
        key_ = key;
    }
    BitBlt(dc, area.left, area.top, W, H, dc_.get(), 0, 0, SRCCOPY);
}
