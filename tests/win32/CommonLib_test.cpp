// The path helpers against real folders under Wine. ResolvePath computes its result
// without entering folders; these tests hold it to the behaviour of actually
// entering them as the current directory, case by case.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "host/CommonLib_win.h"

namespace {

std::string CurrentDir() {
    char buffer[MAX_PATH * 2];
    DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    return std::string(buffer, n);
}

// True if the text ends in a "\" of its own, not the second byte of a
// double-byte character.
bool EndsWithBackslash(const std::string& s) {
    if (s.empty()) return false;
    const char* last = CharPrevA(s.c_str(), s.c_str() + s.size());
    return last == s.c_str() + s.size() - 1 && *last == '\\';
}

// The reference: enter base, then the path's folder, read where we are, restore.
bool ResolveByChangingDirectory(const std::string& base, const std::string& path, std::string& out) {
    if (path.empty() || base.empty()) {
        out = path;
        return true;
    }
    const std::string drive = ExtractPathDrive(path, AnsiPathText());
    std::string dir = ExtractPathDir(path, AnsiPathText());
    const std::string name = ExtractPathName(path, AnsiPathText());
    if (EndsWithBackslash(dir)) dir.pop_back();
    if (!drive.empty() && !dir.empty() && dir[0] == '\\') {
        out = path;
        return true;
    }
    const std::string saved = CurrentDir();
    if (!SetCurrentDirectoryA(base.c_str())) return false;
    if (!dir.empty()) SetCurrentDirectoryA((dir + "\\").c_str());
    std::string reached = CurrentDir();
    SetCurrentDirectoryA(saved.c_str());
    if (EndsWithBackslash(reached)) reached.pop_back();
    out = reached + "\\" + name;
    return true;
}

class CommonLibPaths : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(TempDir(), "");
        root_ = TempName("vl_paths_");
        zroot_ = "Z:\\tmp\\vl_paths_" + std::to_string(GetCurrentProcessId());
        for (const std::string& d : {root_, root_ + "\\P", root_ + "\\P\\skins", root_ + "\\P\\skins\\deep",
                                     root_ + "\\X", root_ + "\\Mixed Case", root_ + "\\sp ace", zroot_,
                                     zroot_ + "\\media"})
            MakeDir(d);
        base_ = root_ + "\\P";
        savedDir_ = CurrentDir();
    }
    void TearDown() override {
        SetCurrentDirectoryA(savedDir_.c_str());
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryA(it->c_str());
    }
    void MakeDir(const std::string& d) {
        ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << d;
        made_.push_back(d);
    }
    // Both ways, same answer; returns it.
    std::string Both(const std::string& base, const std::string& path, bool baseExists = true) {
        std::string mine = "(none)", reference = "(none)";
        const bool okMine = ResolvePath(base, path, mine);
        const bool okReference = ResolveByChangingDirectory(base, path, reference);
        EXPECT_EQ(okMine, okReference) << base << " | " << path;
        EXPECT_EQ(okMine, baseExists) << base << " | " << path;
        EXPECT_EQ(mine, reference) << base << " | " << path;
        return mine;
    }
    std::string root_, zroot_, base_, savedDir_;
    std::vector<std::string> made_;
};

}  // namespace

TEST_F(CommonLibPaths, SameAsEnteringTheFolders) {
    const std::string shortRoot = root_.substr(2);  // without "C:"
    const std::vector<std::string> paths = {
        "fg.bmp", "skins\\fg.bmp", "skins\\deep\\fg.bmp", "..\\X\\fg.bmp", "..\\x\\fg.bmp",
        "..\\Mixed Case\\fg.bmp", "..\\mixed case\\fg.bmp", "..\\sp ace\\fg.bmp", ".\\skins\\..\\fg.bmp",
        "skins\\\\deep\\fg.bmp", "skins/deep\\fg.bmp", "nothere\\fg.bmp", "..\\nothere\\fg.bmp",
        "..\\..\\..\\..\\..\\..\\..\\..\\..\\fg.bmp", root_ + "\\X\\fg.bmp", root_ + "\\nothere\\fg.bmp",
        "C:\\fg.bmp", "C:fg.bmp", "C:skins\\fg.bmp", "c:SKINS\\fg.bmp", "\\fg.bmp", shortRoot + "\\X\\fg.bmp",
        "Z:\\fg.bmp", zroot_ + "\\media\\fg.bmp", zroot_ + "\\MEDIA\\fg.bmp", "Z:fg.bmp",
        "Z:" + zroot_.substr(2) + "\\media\\fg.bmp", "skins\\", "..\\", "skins.\\fg.bmp", "skins \\fg.bmp",
        "\\\\server\\share\\fg.bmp", "\\\\server\\share", "fg.bmp\\", "a:b:c.bmp"};
    for (const std::string& base : {base_, base_ + "\\", root_ + "\\P\\skins\\deep", std::string("C:\\"),
                                     std::string("Z:\\"), root_ + "\\Mixed Case", root_ + "\\p"})
        for (const std::string& p : paths) Both(base, p);
}

TEST_F(CommonLibPaths, DriveRelativePathsOfAnotherDrive) {
    // "Z:media\..." from a base on C: goes through Z:'s remembered folder, if any.
    SetEnvironmentVariableA("=Z:", nullptr);
    EXPECT_EQ(Both(base_, "Z:tmp\\fg.bmp"), "Z:\\tmp\\fg.bmp");
    SetEnvironmentVariableA("=Z:", zroot_.c_str());
    EXPECT_EQ(Both(base_, "Z:media\\fg.bmp"), zroot_ + "\\media\\fg.bmp");
    SetEnvironmentVariableA("=Z:", nullptr);
}

TEST_F(CommonLibPaths, ExpectedResultsAndNoChangeOfCurrentDirectory) {
    // Another folder is current; the result must not depend on it, nor change it.
    ASSERT_TRUE(SetCurrentDirectoryA((root_ + "\\X").c_str()));
    const std::string before = CurrentDir();
    std::string out;
    ASSERT_TRUE(ResolvePath(base_, "fg.bmp", out));
    EXPECT_EQ(out, base_ + "\\fg.bmp");
    ASSERT_TRUE(ResolvePath(base_, "..\\X\\fg.bmp", out));
    EXPECT_EQ(out, root_ + "\\X\\fg.bmp");
    ASSERT_TRUE(ResolvePath(base_, "nothere\\fg.bmp", out));
    EXPECT_EQ(out, base_ + "\\fg.bmp");
    ASSERT_TRUE(ResolvePath(base_, "", out));
    EXPECT_EQ(out, "");
    ASSERT_TRUE(ResolvePath(base_, "\\\\server\\share\\fg.bmp", out));
    EXPECT_EQ(out, "\\\\server\\share\\fg.bmp");
    out = "previous";
    EXPECT_FALSE(ResolvePath(root_ + "\\nothere", "fg.bmp", out));
    EXPECT_EQ(out, "previous");
    EXPECT_EQ(CurrentDir(), before);
}

TEST_F(CommonLibPaths, UnenterableBaseGivesNoResultBothWays) {
    std::string a = "a", b = "b";
    EXPECT_FALSE(ResolvePath(root_ + "\\nothere", "fg.bmp", a));
    EXPECT_FALSE(ResolveByChangingDirectory(root_ + "\\nothere", "fg.bmp", b));
    EXPECT_EQ(a, "a");
    Both("Q:\\", "fg.bmp", false);  // a drive that does not exist
}

TEST_F(CommonLibPaths, PathsBeyondMaxPath) {
    // Folders nested past MAX_PATH (made through the "\\?\" form): entering them
    // fails, and so must the computed resolution.
    std::string deep = base_;
    std::vector<std::string> levels;
    while (deep.size() < MAX_PATH + 40) {
        deep += "\\" + std::string(30, 'd');
        const std::wstring w = L"\\\\?\\" + std::wstring(deep.begin(), deep.end());
        ASSERT_TRUE(CreateDirectoryW(w.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        levels.push_back(deep);
    }
    for (const std::string& level : levels) {
        const std::string rel = level.substr(base_.size() + 1);
        if (level.size() < MAX_PATH - 2) {
            Both(base_, rel + "\\fg.bmp");
        } else {
            // Windows refuses such a current directory, so the folder is dropped.
            // Wine enters it but then cannot report it through the ANSI call
            // (the change-directory way gives "\\fg.bmp" there); we keep to Windows.
            std::string out;
            ASSERT_TRUE(ResolvePath(base_, rel + "\\fg.bmp", out));
            EXPECT_EQ(out, base_ + "\\fg.bmp");
        }
        Both(base_, level + "\\fg.bmp");
        Both(level, "fg.bmp", level.size() < MAX_PATH - 2);
        Both(level, "..\\fg.bmp", level.size() < MAX_PATH - 2);
    }
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
        const std::wstring w = L"\\\\?\\" + std::wstring(it->begin(), it->end());
        RemoveDirectoryW(w.c_str());
    }
}

// Runs on a Japanese system (code page 932): the CommonLib_test_cp932 entry of the
// test run, or by hand with VL_WINE_LC_ALL=ja_JP.UTF-8 build/cross/wine-run.sh ...
TEST_F(CommonLibPaths, ShiftJisFolderNamesEndingInBackslashByte) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    const std::string hyo = "\x95\x5C", so = "\x83\x5C";  // both end in byte 0x5C
    MakeDir(base_ + "\\" + hyo);
    MakeDir(base_ + "\\" + hyo + "\\" + so);
    const std::string file = base_ + "\\" + hyo + "\\" + so + "\\fg" + hyo + ".bmp";
    EXPECT_EQ(RelativePath(base_ + "\\", file), hyo + "\\" + so + "\\fg" + hyo + ".bmp");
    EXPECT_EQ(RelativePath(base_ + "\\" + hyo + "\\", file), so + "\\fg" + hyo + ".bmp");
    EXPECT_EQ(RelativePath(base_ + "\\" + hyo + "\\" + so + "\\", base_ + "\\x.bmp"), "..\\..\\x.bmp");
    EXPECT_EQ(Both(base_, hyo + "\\" + so + "\\fg" + hyo + ".bmp"), file);
    EXPECT_EQ(Both(base_ + "\\" + hyo, so + "\\..\\fg.bmp"), base_ + "\\" + hyo + "\\fg.bmp");
    EXPECT_EQ(Both(base_ + "\\" + hyo + "\\" + so, "fg.bmp"), base_ + "\\" + hyo + "\\" + so + "\\fg.bmp");
    // The system's own lead-byte table agrees with the path helpers.
    EXPECT_EQ(ExtractPathFolder(file, AnsiPathText()), base_ + "\\" + hyo + "\\" + so);
    EXPECT_EQ(ExcludeTrailingPathDelimiter(base_ + "\\" + hyo, AnsiPathText()), base_ + "\\" + hyo);
}

TEST_F(CommonLibPaths, RelativeThenResolveRoundTrips) {
    const std::string base = base_ + "\\";
    for (const std::string& file :
         {base_ + "\\skins\\fg.bmp", base_ + "\\skins\\deep\\fg.bmp", root_ + "\\X\\fg.bmp",
          root_ + "\\Mixed Case\\fg.bmp", base_ + "\\fg.bmp", std::string("C:\\fg.bmp"),
          zroot_ + "\\media\\fg.bmp"}) {
        const std::string relative = RelativePath(base, file);
        std::string back;
        ASSERT_TRUE(ResolvePath(base, relative, back)) << relative;
        EXPECT_EQ(back, file) << relative;
    }
    EXPECT_EQ(RelativePath(base, base_ + "\\skins\\fg.bmp"), "skins\\fg.bmp");
    EXPECT_EQ(RelativePath(base, root_ + "\\X\\fg.bmp"), "..\\X\\fg.bmp");
    EXPECT_EQ(RelativePath(base, zroot_ + "\\media\\fg.bmp"), zroot_ + "\\media\\fg.bmp");
    // Case differences in the shared part do not make extra levels.
    std::string upper = base_;
    CharUpperBuffA(&upper[0], DWORD(upper.size()));
    EXPECT_EQ(RelativePath(base, upper + "\\skins\\fg.bmp"), "skins\\fg.bmp");
}
