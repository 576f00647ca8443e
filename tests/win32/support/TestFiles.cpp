#include "TestFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

std::string TempDir() {
    char tmp[MAX_PATH] = {};
    const DWORD n = GetTempPathA(MAX_PATH, tmp);
    return n == 0 || n >= MAX_PATH ? std::string() : std::string(tmp, n);
}

std::string TempName(const std::string& prefix) {
    return TempDir() + prefix + std::to_string(GetCurrentProcessId());
}

bool WriteBytes(const std::string& path, const std::string& bytes, bool shared) {
    const DWORD share = shared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok = bytes.empty() || (::WriteFile(h, bytes.data(), DWORD(bytes.size()), &done, nullptr) &&
                                      done == bytes.size());
    CloseHandle(h);
    return ok;
}

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

TTempFolder::~TTempFolder() {
    if (dir_.empty()) return;
    for (const std::string& f : files_) DeleteFileA(f.c_str());
    RemoveDirectoryA(dir_.c_str());
}

bool TTempFolder::Make(const std::string& prefix, bool perTest) {
    if (TempDir().empty()) return false;
    dir_ = TempName(prefix);
    if (perTest) dir_ += std::string("_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(dir_.c_str(), nullptr);
    return true;
}

std::string TTempFolder::Write(const std::string& name, const std::string& bytes) {
    const std::string path = Path(name);
    EXPECT_TRUE(WriteBytes(path, bytes)) << path;
    files_.push_back(path);
    return path;
}
