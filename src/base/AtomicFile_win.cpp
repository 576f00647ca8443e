#include "base/AtomicFile_win.h"
#include <algorithm>
#include <vector>

namespace {
// The folder part of a path (up to its last "\" or "/"), "." for a bare name.
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}
}  // namespace

TFileReplacement::TFileReplacement(std::wstring target) : target_(std::move(target)) {}

TFileReplacement::~TFileReplacement() {
    file_.reset();  // an open file cannot be deleted
    if (!temp_.empty() && !committed_) DeleteFileW(temp_.c_str());
}

bool TFileReplacement::Fail() {
    if (error_ == ERROR_SUCCESS) error_ = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
    return false;
}

bool TFileReplacement::Begin() {
    if (error_ != ERROR_SUCCESS || !temp_.empty()) return false;
    std::vector<wchar_t> name(MAX_PATH + 1, L'\0');
    // Makes a new, empty file of a name nobody else holds, beside the target.
    if (GetTempFileNameW(FolderOf(target_).c_str(), L"vls", 0, name.data()) == 0) return Fail();
    temp_ = name.data();
    file_.reset(CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_ || Fail();
}

bool TFileReplacement::Write(std::string_view bytes) {
    if (error_ != ERROR_SUCCESS || !file_) return false;
    // In pieces a DWORD can count; a full disk shows as a short write.
    constexpr size_t kPiece = 64u << 20;
    for (size_t at = 0; at < bytes.size();) {
        const DWORD n = static_cast<DWORD>(std::min(kPiece, bytes.size() - at));
        DWORD written = 0;
        SetLastError(ERROR_SUCCESS);
        if (!WriteFile(file_.get(), bytes.data() + at, n, &written, nullptr)) return Fail();
        if (written != n) {
            error_ = ERROR_DISK_FULL;
            return false;
        }
        at += n;
    }
    return true;
}

bool TFileReplacement::Commit() {
    if (error_ != ERROR_SUCCESS || !file_) return false;
    if (!FlushFileBuffers(file_.get())) return Fail();
    // Closed here, not by the owner: a close that fails is a write that failed.
    if (!CloseHandle(file_.release())) return Fail();
    if (!MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return Fail();
    committed_ = true;
    return true;
}

bool ReplaceFileContents(const std::wstring& target, std::string_view bytes, DWORD& error) {
    TFileReplacement replacement(target);
    const bool ok = replacement.Begin() && replacement.Write(bytes) && replacement.Commit();
    error = replacement.Error();
    return ok;
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
