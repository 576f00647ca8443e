// The look the player's skin lends to the style object: laid over the own
// colours and the list's face when drawing, never written into them.
#include "skin/WatermarkSkin_win.h"

#include <cstring>

#include "base/Fonts_win.h"

namespace {
bool SameLogFont(const LOGFONTA& a, const LOGFONTA& b) {
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}
}  // namespace

void TWatermarkSkin::SetInherited(const TInheritedLook& look) {
    if (look == inherited_) return;
    inherited_ = look;
    changed_ = true;
}

TListColours TWatermarkSkin::ShownColours() const {
    return ::ShownColours(TListColours{normalColor_, playColor_, selectColor_, shadowColor_, std::nullopt}, inherited_);
}

HFONT TWatermarkSkin::ShownListFont(HFONT own) {
    LOGFONTA lf{};
    if (!own || !inherited_.FontFace || !GetObjectA(own, sizeof lf, &lf) || !FontInstalled(*inherited_.FontFace))
        return own;
    lstrcpynA(lf.lfFaceName, inherited_.FontFace->c_str(), LF_FACESIZE);
    if (shownFont_ && SameLogFont(lf, shownLogFont_)) return shownFont_.get();
    TFont made(CreateFontIndirectA(&lf));
    if (!made) return own;
    previousShownFont_ = std::move(shownFont_);
    shownFont_ = std::move(made);
    shownLogFont_ = lf;
    return shownFont_.get();
}
