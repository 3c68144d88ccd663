#include "SettingsRules.h"

#include <gtest/gtest.h>

TEST(SettingsRules, TabMustBeExactlyAnIndex) {
    EXPECT_EQ(vexa::tabFromSetting("0"), 0);
    EXPECT_EQ(vexa::tabFromSetting("11"), 11);
    for (const char* value : {"12", "05", " 3", "3 ", "-1", "+1", "1.0", "", "Scan"})
        EXPECT_FALSE(vexa::tabFromSetting(value).has_value()) << value;
}
