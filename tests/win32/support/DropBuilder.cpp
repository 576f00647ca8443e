#include "DropBuilder.h"
#include <shlobj.h>
#include <cstring>

HDROP MakeDrop(const std::vector<std::string>& files, POINT pt) {
    size_t chars = 1;
    for (const auto& f : files) chars += f.size() + 1;
    HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->pt = pt;
    df->fNC = FALSE;
    df->fWide = FALSE;
    char* p = reinterpret_cast<char*>(df) + sizeof(DROPFILES);
    for (const auto& f : files) {
        std::memcpy(p, f.c_str(), f.size() + 1);
        p += f.size() + 1;
    }
    *p = '\0';
    GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

HDROP MakeWideDrop(const std::vector<std::wstring>& files, POINT pt) {
    size_t chars = 1;
    for (const auto& f : files) chars += f.size() + 1;
    HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->pt = pt;
    df->fWide = TRUE;
    auto* p = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(df) + sizeof(DROPFILES));
    for (const auto& f : files) {
        std::memcpy(p, f.c_str(), (f.size() + 1) * sizeof(wchar_t));
        p += f.size() + 1;
    }
    *p = L'\0';
    GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}
