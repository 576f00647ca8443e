#include "host/CommonLib_win.h"

#include <windows.h>

#include <vector>

#include "base/Text_win.h"

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

bool Utf8SameText(std::string_view a, std::string_view b) {
    std::wstring x = Utf8ToWide(std::string(a)), y = Utf8ToWide(std::string(b));
    if (!x.empty()) CharUpperBuffW(&x[0], DWORD(x.size()));
    if (!y.empty()) CharUpperBuffW(&y[0], DWORD(y.size()));
    return x == y;
}

// UTF-8 never has a "\" inside a character: no lead bytes to watch.
class TUtf8PathSystem : public IPathSystem {
public:
    bool FullPath(const std::string& path, std::string& full) override {
        const std::wstring wide = Utf8ToWide(path);
        std::vector<wchar_t> buffer(MAX_PATH);
        DWORD n = GetFullPathNameW(wide.c_str(), DWORD(buffer.size()), buffer.data(), nullptr);
        if (n >= buffer.size()) {
            buffer.resize(n);
            n = GetFullPathNameW(wide.c_str(), DWORD(buffer.size()), buffer.data(), nullptr);
        }
        if (n == 0 || n >= buffer.size()) return false;
        full = WideToUtf8(std::wstring(buffer.data(), n));
        return true;
    }
    bool IsDirectory(const std::string& full) override {
        const DWORD attributes = GetFileAttributesW(Utf8ToWide(full).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::string DriveDirectory(char drive) override {
        const wchar_t name[] = {L'=', static_cast<wchar_t>(static_cast<unsigned char>(drive)), L':', L'\0'};
        wchar_t buffer[MAX_PATH];
        const DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH);
        return (n > 0 && n < MAX_PATH) ? WideToUtf8(std::wstring(buffer, n)) : std::string();
    }
};

}  // namespace

const TPathText& Utf8PathText() {
    static const TPathText text{nullptr, &Utf8SameText};
    return text;
}

bool ResolvePathUtf8(const std::string& base, const std::string& path, std::string& out) {
    TUtf8PathSystem system;
    return ResolvePath(base, path, out, system, Utf8PathText());
}

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
