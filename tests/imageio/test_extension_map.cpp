#include "imageio/ExtensionMap.h"

#include <gtest/gtest.h>

using vexa::imageio::ExtensionMap;
using vexa::imageio::fileExtension;

TEST(ExtensionMap, SplitsEveryListAtItsSemicolons) {
    const auto map = ExtensionMap::fromPatternLists({"*.BMP;*.DIB;*.RLE", "*.GIF"});
    EXPECT_EQ(map.size(), 4);
    EXPECT_EQ(map.find("*.DIB"), 0);
    EXPECT_EQ(map.find("*.RLE"), 0);
    EXPECT_EQ(map.find("*.GIF"), 1);
    EXPECT_EQ(map.find("*.PNG"), std::nullopt);
}

TEST(ExtensionMap, OnlyTheLastPieceIsTrimmedAndDroppedWhenEmpty) {
    const auto map = ExtensionMap::fromPatternLists({" *.A ; *.B ", "*.C;", "*.D; "});
    EXPECT_EQ(map.find(" *.A "), 0); // inner pieces are kept as they are
    EXPECT_EQ(map.find("*.A"), std::nullopt);
    EXPECT_EQ(map.find("*.B"), 0); // the last piece lost its blanks
    EXPECT_EQ(map.find("*.C"), 1);
    EXPECT_EQ(map.find("*.D"), 2);
    EXPECT_EQ(map.find(""), std::nullopt);
    EXPECT_EQ(map.size(), 4);
}

TEST(ExtensionMap, AnEmptyPieceBeforeTheLastIsAKey) {
    const auto map = ExtensionMap::fromPatternLists({"*.A;;*.B"});
    EXPECT_EQ(map.find(""), 0);
}

TEST(ExtensionMap, KeysIgnoreLetterCase) {
    const auto map = ExtensionMap::fromPatternLists({"*.JPG;*.JPEG"});
    EXPECT_EQ(map.find("*.jpeg"), 0);
    EXPECT_EQ(map.find("*.Jpg"), 0);
}

TEST(ExtensionMap, APatternListedTwiceKeepsTheEncoderThatAddedItFirst) {
    // The lists are taken from the last to the first.
    const auto map = ExtensionMap::fromPatternLists({"*.TIF", "*.X;*.tif"});
    EXPECT_EQ(map.find("*.TIF"), 1);
}

TEST(ExtensionMap, EmptyWithoutEncoders) {
    EXPECT_TRUE(ExtensionMap::fromPatternLists({}).isEmpty());
    EXPECT_TRUE(ExtensionMap::fromPatternLists({"", " "}).isEmpty());
}

TEST(FileExtension, TextAfterTheLastDotOfTheName) {
    EXPECT_EQ(fileExtension("/home/a/cover.front.JPG"), "JPG");
    EXPECT_EQ(fileExtension("/home/a/.hidden"), "hidden");
    EXPECT_EQ(fileExtension("relative.png"), "png");
}

TEST(FileExtension, EmptyWhenTheNameHasNoDot) {
    EXPECT_EQ(fileExtension("/home/a/cover"), "");
    EXPECT_EQ(fileExtension("/home/a.b/cover"), "");
    EXPECT_EQ(fileExtension("/home/a/cover."), "");
    EXPECT_EQ(fileExtension(""), "");
}

TEST(FileExtension, BackslashIsAnOrdinaryCharacterHere) {
    EXPECT_EQ(fileExtension("/home/a.b\\cover"), "b\\cover");
}
