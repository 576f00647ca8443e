// FileCrc32 against real files under Wine: signatures, the four failure codes and
// the deny-write sharing mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "fileinfo/CRC.h"

namespace {

class FileCrc32Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.Make("vl_crc_"));
        dir_ = folder_.Dir();
    }
    std::string Write(const std::string& name, const std::string& bytes) { return folder_.Write(name, bytes); }
    TTempFolder folder_;
    std::string dir_;
};

}  // namespace

TEST_F(FileCrc32Test, Signatures) {
    EXPECT_EQ(FileCrc32(Write("empty.bin", "")), 0);
    EXPECT_EQ(FileCrc32(Write("abc.bin", "abc")), std::int64_t(0x00000003352441C2LL));

    // Same bytes, different names: same signature. Larger than one block.
    std::string big;
    for (int i = 0; i < 10000; ++i) big += char(i * 7);
    const auto a = FileCrc32(Write("one.bmp", big));
    const auto b = FileCrc32(Write("two.bmp", big));
    EXPECT_EQ(a, b);
    const std::uint32_t crc =
        Crc32Update(0xFFFFFFFFu, reinterpret_cast<const std::uint8_t*>(big.data()), big.size()) ^
        0xFFFFFFFFu;
    EXPECT_EQ(a, (std::int64_t(10000) << 32) | crc);
    big[5000] ^= 1;
    EXPECT_NE(FileCrc32(Write("three.bmp", big)), a);
}

TEST_F(FileCrc32Test, FailureCodes) {
    EXPECT_EQ(FileCrc32(dir_ + "\\missing.bmp"), -1);
    EXPECT_EQ(FileCrc32(dir_ + "\\nofolder\\x.bmp"), -1);
    EXPECT_EQ(FileCrc32(""), -1);
    EXPECT_EQ(FileCrc32(dir_), -2);
    EXPECT_EQ(FileCrc32(dir_ + "\\"), -2);

    // Someone holding the file without read sharing: cannot open.
    const std::string path = Write("locked.bmp", "abc");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FileCrc32(path), -3);
    CloseHandle(lock);
    EXPECT_EQ(FileCrc32(path), std::int64_t(0x00000003352441C2LL));
}

TEST_F(FileCrc32Test, OpensDenyingWritersOnly) {
    const std::string path = Write("shared.bmp", "abc");
    // Another reader that allows reading: we can still open it.
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FileCrc32(path), std::int64_t(0x00000003352441C2LL));
    CloseHandle(reader);
    // A writer that allows reading: our deny-write open must fail.
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FileCrc32(path), -3);
    CloseHandle(writer);
}
