#include "app/SettingsRules.h"

#include <gtest/gtest.h>

TEST(SettingsRules, TabMustBeExactlyAnIndex) {
    EXPECT_EQ(vexa::app::tabFromSetting("0"), 0);
    EXPECT_EQ(vexa::app::tabFromSetting("11"), 11);
    for (const char* value : {"12", "05", " 3", "3 ", "-1", "+1", "1.0", "", "Scan"})
        EXPECT_FALSE(vexa::app::tabFromSetting(value).has_value()) << value;
}
