#pragma once
// The list's background: the background tiles (or the colour the player's skin
// lends, or the shadow colour around the picture) with the foreground picture
// anchored at the bottom-right corner. It changes only with the skin and the
// list's size, so it is composed once into a bitmap and copied from there on.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "base/Handles_win.h"

class TWatermarkSkin;

class TWatermarkBackground {
public:
    // Paints `skin`'s background into `area` of `dc`.
    void Paint(HDC dc, const RECT& area, const TWatermarkSkin& skin);

private:
    void Drop();
    // What the composed bitmap was made of: any difference composes again.
    struct TKey {
        int Width = 0, Height = 0;
        HBITMAP Foreground = nullptr, Tiles = nullptr, Mask = nullptr;
        std::int64_t ForegroundSignature = 0, TilesSignature = 0;
        std::optional<std::uint32_t> Lent;
        std::uint32_t Shadow = 0, Background = 0;
        bool operator==(const TKey&) const = default;
    };
    static TKey KeyOf(const TWatermarkSkin& skin, int width, int height);

    TBitmap bitmap_;
    TMemoryDc dc_;  // declared after the bitmap it holds: it goes first
    TKey key_;
};
