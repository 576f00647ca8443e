#include "base/ProfileFile_win.h"

#include <windows.h>

namespace {

// Returned as the default: no stored value can be this, so it marks absence.
// It holds neither blanks nor quotes, which the platform would trim from it.
constexpr char kAbsent[] = "\x01\x02VelvetLister.absent\x03";

}  // namespace

TProfileReader ProfileFileReader(std::string path, std::string section) {
    return [path = std::move(path), section = std::move(section)](const std::string& key) -> std::optional<std::string> {
        char buffer[kProfileValueLimit + 1];
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, buffer, sizeof buffer, path.c_str());
        std::string value(buffer, n);
        if (value == kAbsent)
            return std::nullopt;
        return value;
    };
}
