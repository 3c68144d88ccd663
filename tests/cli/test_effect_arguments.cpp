// The command line of `vexa-cli effect`, parsed without running anything.

#include "EffectArguments.h"

#include <gtest/gtest.h>

namespace vexa::cli {
namespace {

std::optional<EffectArguments> parse(const QStringList& arguments, QString* errorOut = nullptr) {
    QString error;
    std::optional<EffectArguments> parsed = parseEffectArguments(arguments, error);
    EXPECT_EQ(parsed.has_value(), error.isEmpty());
    if (errorOut) *errorOut = error;
    return parsed;
}

TEST(EffectArguments, FindsEffectsByIdOrByNameInAnySpelling) {
    EXPECT_EQ(findEffect("12"), 12);
    EXPECT_EQ(findEffect("gray scale"), 12);
    EXPECT_EQ(findEffect("GRAY-SCALE"), 12);
    EXPECT_EQ(findEffect("Black & White"), 18);
    EXPECT_EQ(findEffect("floyd_steinberg_dither"), 21);
    EXPECT_EQ(findEffect("0"), std::nullopt);
    EXPECT_EQ(findEffect("32"), std::nullopt);
    EXPECT_EQ(findEffect("sharpness"), std::nullopt);
}

TEST(EffectArguments, TakesAParameterAColourOrTheUsualValue) {
    auto a = parse({"sharpen", "in.png", "out.jpg"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->effectId, 1);
    EXPECT_EQ(a->parameter, 2);
    EXPECT_EQ(a->input, "in.png");
    EXPECT_EQ(a->output, "out.jpg");
    a = parse({"--param", "-2147483648", "6", "in.png", "out.jpg"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->parameter, INT32_MIN);
    a = parse({"emboss", "in.png", "out.png", "--colour", "0,120,120"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->parameter, 0 + 120 * 256 + 120 * 65536);
    a = parse({"--list"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->action, EffectArguments::Action::List);
}

TEST(EffectArguments, RejectsWhatItCannotUseWithAMessage) {
    const QStringList bad[] = {
        {},
        {"sharpen", "in.png"},
        {"sharpen", "in.png", "out.png", "extra.png"},
        {"nosuch", "in.png", "out.png"},
        {"1", "in.png", "out.png", "--param"},
        {"1", "in.png", "out.png", "--param", "2147483648"},
        {"1", "in.png", "out.png", "--param", "2.5"},
        {"7", "in.png", "out.png", "--colour", "1,2"},
        {"7", "in.png", "out.png", "--colour", "1,2,256"},
        {"7", "in.png", "out.png", "--colour", "1,2,3", "--param", "4"},
        {"7", "in.png", "out.png", "--quality", "3"},
        {"--list", "extra"},
    };
    for (const QStringList& arguments : bad) {
        QString error;
        EXPECT_FALSE(parse(arguments, &error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.contains('\n'));
    }
}

} // namespace
} // namespace vexa::cli
