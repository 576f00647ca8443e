#include "reading/FolderScan_win.h"

#include <windows.h>

#include "base/Handles_win.h"
#include "base/Text_win.h"
#include "base/CommonLib.h"
#include "host/CommonLib_win.h"
#include "fileinfo/PlaylistFile.h"
#include "fileinfo/EntryNames.h"

namespace {
constexpr DWORD kVolumeLabel = 0x8;

std::string FullPathOf(const std::string& path) {
    char buffer[MAX_PATH * 4] = {};
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) return path;
    return std::string(buffer, n);
}

std::wstring FullPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4] = {};
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH * 4) return path;
    return std::wstring(buffer, n);
}

// A trailing 0x5C that is the second byte of a character such as "表" stays.
std::string WithoutTrailingDelimiter(std::string s) {
    if (s.size() > 3 || (s.size() == 3 && s[1] == ':')) return ExcludeTrailingPathDelimiter(s, AnsiPathText());
    return s;
}

class TScan {
public:
    TScan(const TFolderScan& scan, const std::function<bool()>& more, const std::function<void(TFoundFile)>& found)
        : scan_(scan), more_(more), found_(found) {}

    // Read-only, hidden, archive and folders are taken; system files are
    // skipped. Folder links (junctions, symbolic links) inside the tree are not
    // followed: one back to a parent would scan the tree again and again. A
    // link given as the root itself is entered.
    static bool Skipped(DWORD attr) {
        return (attr & (FILE_ATTRIBUTE_SYSTEM | kVolumeLabel)) ||
               ((attr & FILE_ATTRIBUTE_DIRECTORY) && (attr & FILE_ATTRIBUTE_REPARSE_POINT));
    }

    void File(std::string path, std::wstring wide) {
        const std::string ext = LowerAscii(FileExtension(path, &AnsiLeadByte), &AnsiLeadByte);
        if (PlaylistTypeOfExtension(ext) != TPlaylistType::None || !scan_.AudioExtensions.Contains(ext)) return;
        found_(TFoundFile{std::move(path), std::move(wide)});
        ++count_;
    }

    // The folder's full path, as entering it would report it; the process's
    // current folder is left alone (other threads of the player share it).
    void Folder(const std::string& dir) {
        const std::string base = WithoutTrailingDelimiter(FullPathOf(dir));
        const DWORD attr = GetFileAttributesA(base.c_str());
        if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY) || !more_()) return;
        WIN32_FIND_DATAA fd;
        TFindHandle find(FindFirstFileA((base + "\\*.*").c_str(), &fd));
        if (!find) return;
        do {
            if (!more_()) return;
            const std::string name = fd.cFileName;
            if (name == "." || name == ".." || Skipped(fd.dwFileAttributes)) continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Folder(base + "\\" + name);
            else
                File(base + "\\" + name, {});
        } while (FindNextFileA(find.get(), &fd));
    }

    void Folder(const std::wstring& dir) {
        std::wstring base = FullPathOf(dir);
        if (base.size() > 3 && (base.back() == L'\\' || base.back() == L'/')) base.pop_back();
        const DWORD attr = GetFileAttributesW(base.c_str());
        if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY) || !more_()) return;
        WIN32_FIND_DATAW fd;
        TFindHandle find(FindFirstFileW((base + L"\\*.*").c_str(), &fd));
        if (!find) return;
        do {
            if (!more_()) return;
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L".." || Skipped(fd.dwFileAttributes)) continue;
            const std::wstring path = base + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Folder(path);
            else
                File(WideToAnsiName(path), path);
        } while (FindNextFileW(find.get(), &fd));
    }

    int Count() const { return count_; }

private:
    const TFolderScan& scan_;
    const std::function<bool()>& more_;
    const std::function<void(TFoundFile)>& found_;
    int count_ = 0;
};
}  // namespace

int ScanFolder(const TFolderScan& scan, const std::function<bool()>& more,
               const std::function<void(TFoundFile)>& found) {
    TScan s(scan, more, found);
    if (scan.WideRoot.empty())
        s.Folder(scan.Root);
    else
        s.Folder(scan.WideRoot);
    return s.Count();
}
