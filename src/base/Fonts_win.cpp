#include "base/Fonts_win.h"
#include <windows.h>

namespace {
int CALLBACK AnyFontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM lp) {
    *reinterpret_cast<bool*>(lp) = true;
    return 0;
}
}  // namespace

int ScreenDpi() {
    HDC dc = GetDC(nullptr);
    if (!dc) return 96;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

bool FontInstalled(const std::string& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    if (!dc) return false;
    EnumFontFamiliesExA(dc, &lf, reinterpret_cast<FONTENUMPROCA>(&AnyFontFound), reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}
