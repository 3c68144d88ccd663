// The command line of `vexa-cli effect`, parsed without running anything.

#include "cli/EffectArguments.h"
#include "core/base/FilePath.h"

#include <gtest/gtest.h>

namespace vexa::cli {
namespace {

using vexa::base::fileNameText;

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
    EXPECT_EQ(a->input.bytes(), "in.png");
    EXPECT_EQ(a->output.bytes(), "out.jpg");
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

TEST(EffectArguments, OptionsTakeTheirValueEitherWayAndDoubleDashEndsThem) {
    const struct {
        QStringList arguments;
        std::int32_t parameter;
        const char* input;
    } cases[] = {
        {{"15", "--param=12", "in.png", "out.png"}, 12, "in.png"},
        {{"15", "--param", "12", "in.png", "out.png"}, 12, "in.png"},
        {{"15", "-param", "-3", "in.png", "out.png"}, -3, "in.png"},
        {{"15", "--color=1,2,3", "in.png", "out.png"}, 1 + 2 * 256 + 3 * 65536, "in.png"},
        {{"15", "in.png", "out.png", "--param", "7"}, 7, "in.png"},
        {{"15", "--param", "7", "--", "--list", "-out.png"}, 7, "--list"},
        {{"15", "--param", "5", "--", "-in.png", "--param=1"}, 5, "-in.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const auto a = parse(c.arguments);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->effectId, 15);
        EXPECT_EQ(a->parameter, c.parameter);
        EXPECT_EQ(a->input.bytes(), c.input);
    }
    EXPECT_EQ(parse({"--help"})->action, EffectArguments::Action::Help);
    EXPECT_EQ(parse({"blur", "-h", "in.png"})->action, EffectArguments::Action::Help);
    // A name that is not UTF-8 comes back as its bytes.
    const auto bytes = parse({"blur", fileNameText("caf\xe9.png"), fileNameText("\xff.bmp")});
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->input.bytes(), "caf\xe9.png");
    EXPECT_EQ(bytes->output.bytes(), "\xff.bmp");
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
        {"--list=yes"},
        {"7", "in.png", "out.png", "--param=4", "--param", "5"},
        {"7", "-x", "in.png", "out.png"},
    };
    for (const QStringList& arguments : bad) {
        QString error;
        EXPECT_FALSE(parse(arguments, &error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.contains('\n'));
    }
    QString error;
    parse({"1", "in.png", "out.png", "--param"}, &error);
    EXPECT_EQ(error, "'--param' needs a value");
    parse({"1", "in.png", "out.png", "--quality=3"}, &error);
    EXPECT_EQ(error, "unknown option '--quality'");
}

} // namespace
} // namespace vexa::cli
