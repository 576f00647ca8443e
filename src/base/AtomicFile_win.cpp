#include "base/AtomicFile_win.h"
#include <algorithm>
#include <vector>
#include "base/Handles_win.h"

namespace {
// The folder part of a path (up to its last "\" or "/"), "." for a bare name.
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

// The new file until it has been moved over the target: removed on every other path.
class TTempFile {
public:
    std::wstring Path;
    bool Kept = false;
    ~TTempFile() {
        if (!Path.empty() && !Kept) DeleteFileW(Path.c_str());
    }
};
}  // namespace

bool ReplaceFileContents(const std::wstring& target, std::string_view bytes, DWORD& error) {
    error = ERROR_SUCCESS;
    TTempFile temp;
    {
        std::vector<wchar_t> name(MAX_PATH + 1, L'\0');
        // Makes a new, empty file of a name nobody else holds, beside the target.
        if (GetTempFileNameW(FolderOf(target).c_str(), L"vls", 0, name.data()) == 0) {
            error = GetLastError();
            return false;
        }
        temp.Path = name.data();
        TFile file(CreateFileW(temp.Path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = GetLastError();
            return false;
        }
        // In pieces: one call is limited to what a DWORD counts, and a full disk
        // shows as a short write.
        constexpr size_t kPiece = 64u << 20;
        for (size_t at = 0; at < bytes.size();) {
            const DWORD n = static_cast<DWORD>(std::min(kPiece, bytes.size() - at));
            DWORD written = 0;
            if (!WriteFile(file.get(), bytes.data() + at, n, &written, nullptr) || written != n) {
                error = written != n && GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL : GetLastError();
                return false;
            }
            at += n;
        }
        if (!FlushFileBuffers(file.get())) {
            error = GetLastError();
            return false;
        }
        HANDLE h = file.release();
        if (!CloseHandle(h)) {
            error = GetLastError();
            return false;
        }
    }
    if (!MoveFileExW(temp.Path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        return false;
    }
    temp.Kept = true;
    return true;
}

std::wstring SystemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring out = n && text ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == L'\n' || out.back() == L'\r' || out.back() == L' ')) out.pop_back();
    if (out.empty()) out = L"Error " + std::to_wstring(error);
    return out;
}
