#pragma once
// Temporary files for the Win32 tests: the system's temporary folder, a folder
// of a test's own in it, and files written there as a user's program leaves
// them (closed, no sharing asked while writing).
#include <string>
#include <vector>

// The temporary folder with its trailing backslash, or "" when there is none.
std::string TempDir();
// TempDir() + prefix + this process's id: a name no other run of the tests uses.
std::string TempName(const std::string& prefix);
// Replaces the file at path with bytes; false when it cannot be made. Shared:
// others may read and write it meanwhile, as with the C library's files.
bool WriteBytes(const std::string& path, const std::string& bytes, bool shared = false);
// Removes a folder with everything in it, read-only files included.
void RemoveTree(const std::string& dir);

// A folder in the temporary folder, made by Make() and removed with the files
// it was told about when it goes.
class TTempFolder {
public:
    TTempFolder() = default;
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    ~TTempFolder();

    // TempName(prefix), followed by "_<test name>" when perTest; false without
    // a temporary folder.
    bool Make(const std::string& prefix, bool perTest = false);
    const std::string& Dir() const { return dir_; }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    // Writes a file into the folder (a test fails when it cannot) and returns its path.
    std::string Write(const std::string& name, const std::string& bytes);
    // A file put into the folder some other way, removed with it.
    void Keep(const std::string& path) { files_.push_back(path); }
    const std::vector<std::string>& Files() const { return files_; }

private:
    std::string dir_;
    std::vector<std::string> files_;
};
