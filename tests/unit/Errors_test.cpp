#include "base/Errors.h"
#include <gtest/gtest.h>

TEST(Errors, ListErrorCarriesIndex) {
    EListError e(7);
    EXPECT_EQ(std::string(e.what()), "リストのインデックスが範囲を超えています (7)");
    EXPECT_EQ(std::string(EInsertError().what()), "行を挿入できません");
}
