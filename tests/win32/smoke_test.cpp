#include <windows.h>
#include <gtest/gtest.h>
TEST(Smoke, LoadsPlugin) {
    HMODULE m = LoadLibraryW(L"gen_VelvetLister.dll");
    ASSERT_NE(m, nullptr);
    EXPECT_NE(GetProcAddress(m, "winampGetGeneralPurposePlugin"), nullptr);
    FreeLibrary(m);
}
