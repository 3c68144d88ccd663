#include "core/base/NumberText.h"

#include <gtest/gtest.h>

using vexa::base::textToInt16;

TEST(NumberText, RoundsHalvesToEven) {
    EXPECT_EQ(textToInt16("6.5"), 6);
    EXPECT_EQ(textToInt16("7.5"), 8);
    EXPECT_EQ(textToInt16("-0.5"), 0);
    EXPECT_EQ(textToInt16("-2.5"), -2);
    EXPECT_EQ(textToInt16("6.49"), 6);
    EXPECT_EQ(textToInt16("-1"), -1);
    EXPECT_EQ(textToInt16(" 6.00\n"), 6);
    EXPECT_EQ(textToInt16("1e2"), 100);
}

TEST(NumberText, RefusesWhatIsNoNumberOrOutOfRange) {
    for (const char* text : {"", "abc", "1a", "--1", "1.2.3", "<html>", "0x10", ". ", "inf", "nan"})
        EXPECT_FALSE(textToInt16(text).has_value()) << text;
    EXPECT_EQ(textToInt16("32767"), 32767);
    EXPECT_EQ(textToInt16("-32768"), -32768);
    EXPECT_FALSE(textToInt16("32767.5").has_value()); // rounds to 32768
    EXPECT_FALSE(textToInt16("-32769").has_value());
    EXPECT_FALSE(textToInt16("1e400").has_value());
}
