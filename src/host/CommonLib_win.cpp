#include "host/CommonLib_win.h"

#include <windows.h>

#include <vector>

namespace {

bool AnsiIsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

std::wstring UpperWide(std::string_view s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), &w[0], n);
    if (!w.empty()) CharUpperBuffW(&w[0], DWORD(w.size()));
    return w;
}

// File names compare the way the file system does: character by character after
// upper-casing, not by the user's sort order.
bool AnsiSameText(std::string_view a, std::string_view b) { return UpperWide(a) == UpperWide(b); }

class TWinPathSystem : public IPathSystem {
public:
    bool FullPath(const std::string& path, std::string& full) override {
        char buffer[MAX_PATH];
        DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
        if (n == 0) return false;
        if (n < MAX_PATH) {
            full.assign(buffer, n);
            return true;
        }
        std::vector<char> big(n);
        n = GetFullPathNameA(path.c_str(), DWORD(big.size()), big.data(), nullptr);
        if (n == 0 || n >= big.size()) return false;
        full.assign(big.data(), n);
        return true;
    }
    bool IsDirectory(const std::string& full) override {
        const DWORD attributes = GetFileAttributesA(full.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::string DriveDirectory(char drive) override {
        const char name[] = {'=', drive, ':', '\0'};
        char buffer[MAX_PATH];
        const DWORD n = GetEnvironmentVariableA(name, buffer, MAX_PATH);
        return (n > 0 && n < MAX_PATH) ? std::string(buffer, n) : std::string();
    }
};

}  // namespace

const TPathText& AnsiPathText() {
    static const TPathText text{&AnsiIsLeadByte, &AnsiSameText};
    return text;
}

bool ResolvePath(const std::string& base, const std::string& path, std::string& out) {
    TWinPathSystem system;
    return ResolvePath(base, path, out, system, AnsiPathText());
}

std::string RelativePath(const std::string& baseWithSlash, const std::string& file) {
    return RelativePath(std::string_view(baseWithSlash), std::string_view(file), AnsiPathText());
}
