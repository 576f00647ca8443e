#include "base/CaseFold_win.h"

#include <windows.h>

#include "base/Text_win.h"

TCaseFold AnsiCaseFold() {
    return TCaseFold(&AnsiLeadByte, [](std::string_view ch) {
        std::string s(ch);
        CharUpperBuffA(s.data(), static_cast<DWORD>(s.size()));
        return s;
    });
}
