#include "base/CommonLib.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

// ---------------------------------------------------------------- colours

TEST(TextToColor, EveryNotationOfOneColour) {
    for (const char* text : {"255.128.0", "FF:80:00", "#FF8000", "33023", "$80FF", "ff:80:0", "#ff8000"})
        EXPECT_EQ(TextToColor(text), 33023u) << text;
}

TEST(TextToColor, TrimmingAndCutting) {
    EXPECT_EQ(TextToColor(" 0.0.255 ; blue"), 255u * 65536);
    EXPECT_EQ(TextToColor("\t\r\n0.0.255\r\n"), 255u * 65536);
    EXPECT_EQ(TextToColor("1.2.3\tcomment"), 1u + 2 * 256 + 3 * 65536);
    EXPECT_EQ(TextToColor("#FF8000 #000000"), 33023u);  // the second value is a comment
    EXPECT_EQ(TextToColor("255 .128.0"), 255u);        // cut at the space: a plain number
}

TEST(TextToColor, DottedAndColonParts) {
    EXPECT_EQ(TextToColor("300.-5.7"), 255u + 0 * 256 + 7 * 65536);
    EXPECT_EQ(TextToColor("1.2"), 1u + 2 * 256);
    EXPECT_EQ(TextToColor("1..3"), 1u + 3 * 65536);
    EXPECT_EQ(TextToColor(".5"), 5u * 256);
    EXPECT_EQ(TextToColor("1.2.3.4.5"), 1u + 2 * 256 + 3 * 65536);  // after a third dot: ignored
    EXPECT_EQ(TextToColor("x.2.y"), 2u * 256);                      // unreadable part counts 0
    EXPECT_EQ(TextToColor("99999999999.0.0"), 0u);                  // out of integer range: 0
    EXPECT_EQ(TextToColor("10:20"), 0x10u + 0x20 * 256);
    EXPECT_EQ(TextToColor("100:0:0"), 255u);      // 0x100 clamps
    EXPECT_EQ(TextToColor("FFFFFFFF:1:1"), 0x010100u);  // $FFFFFFFF is -1: clamps to 0
    EXPECT_EQ(TextToColor("-1:1:1"), 0x010100u);  // "$-1" is not a number
}

TEST(TextToColor, HashNotation) {
    EXPECT_EQ(TextToColor("#abc"), 10u * 256 + 188 * 65536);
    EXPECT_EQ(TextToColor("#"), 0u);
    EXPECT_EQ(TextToColor("#12FF8000"), 33023u);  // leading digits dropped
    EXPECT_EQ(TextToColor("#zz8000"), 0x80u * 256);
}

TEST(TextToColor, PlainNumbersAndErrors) {
    EXPECT_EQ(TextToColor("#FF.00"), 0u);  // hash and dot
    EXPECT_EQ(TextToColor("1.2:3"), 0u);   // dot and colon
    EXPECT_EQ(TextToColor(""), 0u);
    EXPECT_EQ(TextToColor("   "), 0u);
    EXPECT_EQ(TextToColor("red"), 0u);
    EXPECT_EQ(TextToColor("12abc"), 0u);
    EXPECT_EQ(TextToColor("$"), 0u);
    EXPECT_EQ(TextToColor("-"), 0u);
    EXPECT_EQ(TextToColor("$80000005"), 0x80000005u);  // a system colour reference passes through
    EXPECT_EQ(TextToColor("-2147483643"), 0x80000005u);
    EXPECT_EQ(TextToColor("2147483647"), 0x7FFFFFFFu);
    EXPECT_EQ(TextToColor("2147483648"), 0u);  // beyond the signed range
    EXPECT_EQ(TextToColor("$100000000"), 0u);
    EXPECT_EQ(TextToColor("+16"), 16u);
}

TEST(ColorToText, DecimalTriples) {
    EXPECT_EQ(ColorToText(33023), "255.128.0");
    EXPECT_EQ(ColorToText(255 * 256), "0.255.0");
    EXPECT_EQ(ColorToText(0xFFFFFF), "255.255.255");
    EXPECT_EQ(ColorToText(0), "0.0.0");
    EXPECT_EQ(ColorToText(0xAB00FF00), "0.255.0");  // top byte ignored
    for (std::uint32_t c : {0x000000u, 0x123456u, 0xFEDCBAu, 0x0080FFu})
        EXPECT_EQ(TextToColor(ColorToText(c)), c);
}

// ---------------------------------------------------------------- path parts

namespace {
// Shift-JIS lead bytes: 0x81-0x9F and 0xE0-0xFC.
bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
const TPathText kSjis{&SjisLead, nullptr};
const std::string kHyo = "\x95\x5C";  // a character whose second byte is "\"
}  // namespace

TEST(PathParts, DriveDirName) {
    EXPECT_EQ(ExtractPathDrive("C:\\P\\fg.bmp"), "C:");
    EXPECT_EQ(ExtractPathDrive("\\\\srv\\share\\x\\f"), "\\\\srv\\share");
    EXPECT_EQ(ExtractPathDrive("\\\\srv\\share"), "\\\\srv\\share");
    EXPECT_EQ(ExtractPathDrive("\\x\\f"), "");
    EXPECT_EQ(ExtractPathDrive("fg.bmp"), "");
    EXPECT_EQ(ExtractPathDir("C:\\P\\fg.bmp"), "C:\\P\\");
    EXPECT_EQ(ExtractPathDir("C:fg.bmp"), "C:");
    EXPECT_EQ(ExtractPathDir("fg.bmp"), "");
    EXPECT_EQ(ExtractPathName("C:\\P\\fg.bmp"), "fg.bmp");
    EXPECT_EQ(ExtractPathName("C:fg.bmp"), "fg.bmp");
    // A double-byte character ending in 0x5C is not a separator.
    const std::string p = "C:\\" + kHyo + "\\a" + kHyo + ".bmp";
    EXPECT_EQ(ExtractPathDir(p, kSjis), "C:\\" + kHyo + "\\");
    EXPECT_EQ(ExtractPathName(p, kSjis), "a" + kHyo + ".bmp");
    EXPECT_EQ(ExtractPathName(p), ".bmp");  // single-byte reading splits there
}

TEST(PathParts, ExtensionFolderAndTrailingDelimiter) {
    EXPECT_EQ(ExtractPathExt("C:\\M\\Track.MP3"), ".MP3");
    EXPECT_EQ(ExtractPathExt("C:\\a.b\\name"), "");
    EXPECT_EQ(ExtractPathFolder("C:\\x.mp3"), "C:\\");
    EXPECT_EQ(ExtractPathFolder("C:\\Music\\x.mp3"), "C:\\Music");
    EXPECT_EQ(ExtractPathFolder("C:x.mp3"), "C:");
    EXPECT_EQ(ExtractPathFolder("\\\\x.mp3"), "\\\\");
    EXPECT_EQ(JoinPath("", "a"), "a");
    EXPECT_EQ(JoinPath("C:\\", "a"), "C:\\a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("C:\\M/"), "C:\\M");
    // "表" ends in byte 0x5C: a folder named so keeps its last byte and gets a "\".
    const std::string hyo = "C:\\" + kHyo;
    EXPECT_FALSE(EndsWithPathDelimiter(hyo, kSjis));
    EXPECT_EQ(ExcludeTrailingPathDelimiter(hyo, kSjis), hyo);
    EXPECT_EQ(ExcludeTrailingPathDelimiter(hyo + "\\", kSjis), hyo);
    EXPECT_EQ(JoinPath(hyo, "a.mp3", kSjis), hyo + "\\a.mp3");
    EXPECT_EQ(ExtractPathFolder(hyo + "\\" + kHyo + ".mp3", kSjis), hyo);
    EXPECT_EQ(ExtractPathExt(hyo + "\\a" + kHyo, kSjis), "");
    // A lone lead byte at the end, or before a byte that cannot follow it, stays
    // within the text.
    EXPECT_EQ(ExtractPathName("C:\\a\x95", kSjis), "a\x95");
    EXPECT_FALSE(EndsWithPathDelimiter("\x95", kSjis));
    EXPECT_EQ(JoinPath("C:\\\x95", "b", kSjis), "C:\\\x95\\b");
    EXPECT_EQ(ExtractPathName("C:\\\x81:b", kSjis), "\x81:b");
}

TEST(PathParts, PathSeenFromAFolder) {
    const std::string folder = "D:\\" + kHyo + "\\" + kHyo;
    EXPECT_EQ(PathSeenFrom(folder, "x.mp3", kSjis), folder + "\\x.mp3");
    EXPECT_EQ(PathSeenFrom(folder, "..\\x.mp3", kSjis), folder + "\\..\\x.mp3");
    EXPECT_EQ(PathSeenFrom(folder, "\\Music\\x.mp3", kSjis), "D:\\Music\\x.mp3") << "rooted: the folder's drive";
    EXPECT_EQ(PathSeenFrom(folder, "C:\\x.mp3", kSjis), "C:\\x.mp3");
    EXPECT_EQ(PathSeenFrom(folder, "d:x.mp3", kSjis), folder + "\\x.mp3");
    EXPECT_EQ(PathSeenFrom(folder, "C:x.mp3", kSjis), "C:x.mp3");
    EXPECT_EQ(PathSeenFrom(folder, "\\\\srv\\s\\x.mp3", kSjis), "\\\\srv\\s\\x.mp3");
    EXPECT_EQ(PathSeenFrom("\\\\srv\\s\\m", "\\x.mp3", kSjis), "\\\\srv\\s\\x.mp3");
    EXPECT_EQ(PathSeenFrom("D:\\", "x.mp3", kSjis), "D:\\x.mp3");
}

TEST(RelativePath, Examples) {
    const std::string base = "C:\\Winamp\\Plugins\\";
    EXPECT_EQ(RelativePath(base, "C:\\Winamp\\Plugins\\skins\\fg.bmp", {}), "skins\\fg.bmp");
    EXPECT_EQ(RelativePath(base, "C:\\Pictures\\fg.bmp", {}), "..\\..\\Pictures\\fg.bmp");
    EXPECT_EQ(RelativePath(base, "D:\\fg.bmp", {}), "D:\\fg.bmp");
    EXPECT_EQ(RelativePath(base, "C:\\Winamp\\Plugins\\fg.bmp", {}), "fg.bmp");
    EXPECT_EQ(RelativePath(base, "C:\\Winamp\\fg.bmp", {}), "..\\fg.bmp");
    EXPECT_EQ(RelativePath(base, "", {}), "");
    EXPECT_EQ(RelativePath(base, "fg.bmp", {}), "fg.bmp");  // no drive: unchanged
}

TEST(RelativePath, CaseInsensitiveDrivesAndFolders) {
    EXPECT_EQ(RelativePath("c:\\WINAMP\\plugins\\", "C:\\Winamp\\Plugins\\Skins\\fg.bmp", {}),
              "Skins\\fg.bmp");
    EXPECT_EQ(RelativePath("\\\\Srv\\Share\\a\\", "\\\\srv\\share\\b\\f.bmp", {}), "..\\b\\f.bmp");
    EXPECT_EQ(RelativePath("\\\\srv\\one\\a\\", "\\\\srv\\two\\a\\f.bmp", {}), "\\\\srv\\two\\a\\f.bmp");
}

TEST(RelativePath, DoubleByteFolderNames) {
    // Folder "表" under C:\ : its trail byte must not split it into two levels.
    const std::string base = "C:\\" + kHyo + "\\";
    EXPECT_EQ(RelativePath(base, "C:\\" + kHyo + "\\fg.bmp", kSjis), "fg.bmp");
    EXPECT_EQ(RelativePath(base, "C:\\x\\fg.bmp", kSjis), "..\\x\\fg.bmp");
    // Two names that differ only in the trail byte case-folding must stay different.
    const std::string a = "\x83\x41", b = "\x83\x61";  // "ア" and "ャ" in Shift-JIS
    EXPECT_EQ(RelativePath("C:\\" + a + "\\", "C:\\" + b + "\\f", kSjis), "..\\" + b + "\\f");
}

// ---------------------------------------------------------------- ResolvePath

namespace {

// A file system of a few folders, with its own path completion.
class TFakeFs : public IPathSystem {
public:
    std::set<std::string> dirs;  // full paths, upper case, with a trailing "\"
    std::string processDir = "Z:\\PROCESS\\";
    std::string otherDriveDir;
    int fullPathCalls = 0;

    bool FullPath(const std::string& path, std::string& full) override {
        ++fullPathCalls;
        std::string p = path;
        for (char& c : p)
            if (c == '/') c = '\\';
        std::string root, rest;
        if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
            std::size_t a = p.find('\\', 2), b = a == std::string::npos ? a : p.find('\\', a + 1);
            root = p.substr(0, b);
            rest = b == std::string::npos ? "" : p.substr(b);
        } else if (p.size() >= 3 && p[1] == ':' && p[2] == '\\') {
            root = p.substr(0, 2);
            rest = p.substr(2);
        } else if (p.size() >= 2 && p[1] == ':') {
            return FullPath(processDir + p.substr(2), full);  // good enough for a fake
        } else if (!p.empty() && p[0] == '\\') {
            root = processDir.substr(0, 2);
            rest = p;
        } else {
            return FullPath(processDir + p, full);
        }
        std::vector<std::string> parts;
        std::size_t start = 0;
        while (start <= rest.size()) {
            std::size_t end = rest.find('\\', start);
            if (end == std::string::npos) end = rest.size();
            std::string part = rest.substr(start, end - start);
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            start = end + 1;
        }
        full = root + "\\";
        for (std::size_t i = 0; i < parts.size(); ++i) full += parts[i] + (i + 1 < parts.size() ? "\\" : "");
        if (!parts.empty() && !rest.empty() && rest.back() == '\\') full += '\\';
        return true;
    }
    bool IsDirectory(const std::string& full) override {
        std::string k = full;
        for (char& c : k) c = char(toupper(static_cast<unsigned char>(c)));
        if (k.back() != '\\') k += '\\';
        return dirs.count(k) > 0;
    }
    std::string DriveDirectory(char) override { return otherDriveDir; }
};

class ResolvePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* d : {"C:\\", "C:\\P\\", "C:\\P\\SKINS\\", "C:\\X\\", "D:\\", "D:\\MEDIA\\", "Z:\\",
                              "Z:\\PROCESS\\", "\\\\SRV\\SHARE\\", "\\\\SRV\\SHARE\\DIR\\"})
            fs.dirs.insert(d);
    }
    std::string Resolve(const std::string& base, const std::string& path) {
        std::string out = "(none)";
        EXPECT_TRUE(ResolvePath(base, path, out, fs)) << base << " | " << path;
        return out;
    }
    TFakeFs fs;
};

}  // namespace

TEST_F(ResolvePathTest, RelativeAbsoluteAndMissingFolders) {
    EXPECT_EQ(Resolve("C:\\P", "fg.bmp"), "C:\\P\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P\\", "fg.bmp"), "C:\\P\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P", "skins\\fg.bmp"), "C:\\P\\skins\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P", "..\\x\\fg.bmp"), "C:\\x\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P", ".\\skins\\..\\fg.bmp"), "C:\\P\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P", "D:\\Media\\fg.bmp"), "D:\\Media\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P", "nothere\\fg.bmp"), "C:\\P\\fg.bmp");         // dropped
    EXPECT_EQ(Resolve("C:\\P", "D:\\nothere\\fg.bmp"), "C:\\P\\fg.bmp");     // dropped
    EXPECT_EQ(Resolve("C:\\P", "..\\..\\..\\fg.bmp"), "C:\\fg.bmp");          // stops at the root
    EXPECT_EQ(Resolve("C:\\P", "C:\\fg.bmp"), "C:\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P", "\\X\\fg.bmp"), "C:\\X\\fg.bmp");             // rooted on base's drive
    EXPECT_EQ(Resolve("C:\\P", "\\fg.bmp"), "C:\\P\\fg.bmp");                // a bare "\" folder is no folder
    EXPECT_EQ(Resolve("C:\\P", "C:fg.bmp"), "C:\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P", "C:skins\\fg.bmp"), "C:\\P\\skins\\fg.bmp");  // drive-relative, same drive
    EXPECT_EQ(Resolve("C:\\P", "D:media\\fg.bmp"), "D:\\media\\fg.bmp");     // other drive: its root
    fs.otherDriveDir = "D:\\Media";
    EXPECT_EQ(Resolve("C:\\P", "D:..\\fg.bmp"), "D:\\fg.bmp");               // its remembered folder
    EXPECT_EQ(Resolve("C:\\P", "skins/fg.bmp"), "C:\\P\\skins/fg.bmp");      // only "\\" splits
    EXPECT_EQ(Resolve("C:\\P", "skins\\"), "C:\\P\\skins\\");                 // no file name
}

TEST_F(ResolvePathTest, EmptyNetworkAndUnenterableBase) {
    EXPECT_EQ(Resolve("C:\\P", ""), "");
    EXPECT_EQ(Resolve("", "skins\\fg.bmp"), "skins\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P", "\\\\srv\\share\\dir\\fg.bmp"), "\\\\srv\\share\\dir\\fg.bmp");
    EXPECT_EQ(Resolve("C:\\P", "\\\\srv\\share"), "\\\\srv\\share");
    EXPECT_EQ(fs.fullPathCalls, 0);  // decided from the text alone

    // A network base works like any other.
    EXPECT_EQ(Resolve("\\\\srv\\share\\dir", "..\\fg.bmp"), "\\\\srv\\share\\fg.bmp");
    EXPECT_EQ(Resolve("\\\\srv\\share\\dir", "..\\..\\fg.bmp"), "\\\\srv\\share\\fg.bmp");

    std::string out = "previous";
    EXPECT_FALSE(ResolvePath("C:\\nothere", "fg.bmp", out, fs));
    EXPECT_EQ(out, "previous");
    EXPECT_FALSE(ResolvePath("C:\\P\\skins\\fg.bmp", "x.bmp", out, fs));  // not a folder
    EXPECT_EQ(out, "previous");
}

TEST_F(ResolvePathTest, RoundTripsWithRelativePath) {
    const std::string base = "C:\\P\\";
    for (const char* file : {"C:\\P\\skins\\fg.bmp", "C:\\X\\fg.bmp", "C:\\P\\fg.bmp", "D:\\Media\\fg.bmp",
                             "C:\\fg.bmp"})
        EXPECT_EQ(Resolve(base, RelativePath(base, file, {})), file);
}
