#pragma once
// TWatermarkSkin: the one style object of the playlist window. It holds the list
// font, the four text colours, the foreground watermark picture with the region of
// its opaque pixels, the optional background tile block, and the equaliser layout a
// skin asks for. The playlist window owns it; everything else reaches it through
// that window. All of it runs on the user-interface thread.
//
// Changed is raised by every operation that alters something visible and lowered
// only by the code that repaints the list afterwards.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/Handles_win.h"
#include "skin/PlEditText.h"

// 0x00BBGGRR, red in the lowest byte. Values with the top bit set name a system
// colour (0x80000000 | COLOR_xxx); the setters resolve them to RGB.
using TColor = std::uint32_t;

// The font as the settings and the preferences dialog see it.
struct TFontSpec {
    std::string Name;  // face name, ANSI
    int Size = 0;      // points
    bool Bold = false;
    bool Italic = false;
    bool operator==(const TFontSpec&) const = default;
};

// An owned picture and its size.
struct TSkinBitmap {
    TBitmap Handle;
    int Width = 0;
    int Height = 0;
    explicit operator bool() const { return static_cast<bool>(Handle); }
};

// The header of a 32-bit top-down picture of width x height (its colours never
// depend on the display).
BITMAPINFOHEADER TopDown32Header(int width, int height);

// The current RGB value of a colour, resolving a system colour reference.
TColor ResolveColor(TColor color);

// The region of the pixels of `bitmap` whose colour differs from its top-left pixel
// (the fourth byte of a 32-bit pixel never counts), in the bitmap's own coordinates.
// Null when there is no such pixel or the bitmap cannot be read. The bitmap must not
// be selected into a device context meanwhile (its pixels are read with GetDIBits).
//
// The skin's bitmaps are replaced by LoadFG and LoadBG: a painter selects them into
// its memory DC only for the duration of one paint, or the old one cannot be freed.
TRegion BuildOpaqueRegion(HBITMAP bitmap);

class TWatermarkSkin {
public:
    // Name of the logo bitmap in the module's resources.
    static constexpr const wchar_t* kLogoResource = L"VELVETLISTER.LOGO.BMP";
    static constexpr const char* kNoFileYet = ":none:";

    // Default font and colours; the logo as foreground, no background.
    TWatermarkSkin();
    virtual ~TWatermarkSkin();
    TWatermarkSkin(const TWatermarkSkin&) = delete;
    TWatermarkSkin& operator=(const TWatermarkSkin&) = delete;

    // Load (or drop, for an empty or missing file name) the pictures. Unchanged
    // content, by file signature, is not loaded again. A file that cannot be read as
    // a picture shows "FG image load error" / "BG image load error" once.
    void LoadFG(const std::string& fileName);
    void LoadBG(const std::string& fileName);

    const std::string& FGFileName() const { return fgFileName_; }  // empty: the logo
    const std::string& BGFileName() const { return bgFileName_; }  // empty: none
    std::int64_t FGSignature() const { return fgSignature_; }
    std::int64_t BGSignature() const { return bgSignature_; }
    const TSkinBitmap& FGBitmap() const { return fgBitmap_; }  // always present
    const TSkinBitmap& BGBitmap() const { return bgBitmap_; }  // the enlarged tile block, or empty
    HRGN FGRegion() const;                                     // borrowed; null when nothing is opaque
    // Monochrome, 1 where the foreground is transparent; null when nothing is opaque.
    HBITMAP FGMask() const { return fgMask_.get(); }

    // The font. Font() creates the handle when first asked after a change; it stays
    // owned by this object.
    const TFontSpec& FontSpec() const { return font_; }
    HFONT Font() const;
    void SetFontName(const std::string& name);
    void SetFontSize(int points);
    void SetFontBold(bool bold);
    void SetFontItalic(bool italic);
    void AssignFont(const TFontSpec& font);
    void AssignFont(const std::string& name, int points, bool bold, bool italic);

    TColor ShadowColor() const { return shadowColor_; }
    TColor PlayColor() const { return playColor_; }
    TColor SelectColor() const { return selectColor_; }
    TColor NormalColor() const { return normalColor_; }
    void SetShadowColor(TColor color) { SetColor(shadowColor_, color); }
    void SetPlayColor(TColor color) { SetColor(playColor_, color); }
    void SetSelectColor(TColor color) { SetColor(selectColor_, color); }
    void SetNormalColor(TColor color) { SetColor(normalColor_, color); }

    // The equaliser placement a skin wishes (0-6), its offsets for the relative
    // layout and its stacking wish (<0 behind the main window, >0 in front, 0 leave).
    // None of these is painted, so none raises Changed.
    std::uint8_t EqualizerLayout() const { return equalizerLayout_; }
    void SetEqualizerLayout(std::uint8_t layout) { equalizerLayout_ = layout; }
    int EqualizerOffsetX = 0;
    int EqualizerOffsetY = 0;
    int EqualizerZorder = 0;

    // What the player's skin lends over the colours and the list face above
    // while the "Inherit" option is on; those stay the plug-in's own (saved,
    // edited in the preferences). A different look raises Changed.
    const TInheritedLook& Inherited() const { return inherited_; }
    void SetInherited(const TInheritedLook& look);
    // The colours the list is drawn in.
    TListColours ShownColours() const;
    // The list font to show: `own` with the lent face when one is installed, else
    // `own` itself. The made font stays owned here, the one before it too until
    // the next change, so a list still holding that one never sees it freed.
    HFONT ShownListFont(HFONT own);

    bool Changed() const { return changed_; }
    void ClearChanged() { changed_ = false; }

    // The window that owns the load-error message boxes (may stay null).
    void SetMessageOwner(HWND owner) { messageOwner_ = owner; }

private:
    void SetColor(TColor& field, TColor color);
    void FontChanged();
    bool SameSignature(const std::string& name, std::int64_t signature, const std::string& storedName,
                       std::int64_t storedSignature) const;
    void ShowLoadError(const char* what, const std::string& path, std::int64_t signature) const;

    std::string fgFileName_ = kNoFileYet;
    std::string bgFileName_;
    std::int64_t fgSignature_ = 0;
    std::int64_t bgSignature_ = 0;
    TSkinBitmap fgBitmap_;
    TSkinBitmap bgBitmap_;
    mutable TRegion fgRegion_;
    mutable bool fgRegionBuilt_ = false;
    TBitmap fgMask_;
    TFontSpec font_;
    mutable TFont fontHandle_;
    TColor shadowColor_ = 0;
    TColor playColor_ = 0x0000FF;
    TColor selectColor_ = 0xFF0000;
    TColor normalColor_ = 0x000000;
    std::uint8_t equalizerLayout_ = 0;
    TInheritedLook inherited_;
    TFont shownFont_;
    TFont previousShownFont_;
    LOGFONTA shownLogFont_{};
    bool changed_ = false;
    HWND messageOwner_ = nullptr;
};
