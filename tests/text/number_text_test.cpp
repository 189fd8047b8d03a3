#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "text/text.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(IntToText, WritesDecimalWithLeadingMinus)
{
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(7), "7");
    EXPECT_EQ(IntToText(-2), "-2");
    EXPECT_EQ(IntToText(std::numeric_limits<long long>::min()), "-9223372036854775808");
}

TEST(TextToInt, ReadsTheLeadingDecimalNumber)
{
    EXPECT_EQ(TextToInt("7"), 7);
    EXPECT_EQ(TextToInt(" \t\r\n-42abc"), -42);
    EXPECT_EQ(TextToInt("+8#"), 8);
    EXPECT_EQ(TextToInt("007"), 7);
    EXPECT_EQ(TextToInt("12 34"), 12);
    for (const char* noNumber : {"", "-", "+", "abc", "+-5", "- 5", "#3"}) {
        EXPECT_EQ(TextToInt(noNumber), 0) << noNumber;
    }
}

TEST(TextToInt, SaturatesAtTheLimitsOf32Bits)
{
    constexpr std::int32_t max = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t min = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(TextToInt("2147483647"), max);
    EXPECT_EQ(TextToInt("2147483648"), max);
    EXPECT_EQ(TextToInt("-2147483648"), min);
    EXPECT_EQ(TextToInt("-2147483649"), min);
    EXPECT_EQ(TextToInt(std::string(400, '9')), max);
    EXPECT_EQ(TextToInt("-" + std::string(400, '9')), min);
}

TEST(TextToDouble, ReadsTheLeadingNumberLikeStrtod)
{
    EXPECT_EQ(TextToDouble("0.0002"), 0.0002);
    EXPECT_EQ(TextToDouble("  -1.5e3x"), -1500.0);
    EXPECT_EQ(TextToDouble("+.5"), 0.5);
    EXPECT_EQ(TextToDouble("5."), 5.0);
    EXPECT_EQ(TextToDouble("2E+2"), 200.0);
    EXPECT_EQ(TextToDouble("1e"), 1.0);
    EXPECT_EQ(TextToDouble("-2513.75 extra"), -2513.75);
    EXPECT_EQ(TextToDouble("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_TRUE(std::signbit(TextToDouble("-0")));
    for (const char* noNumber : {"", ".", "-", "+-1", "e5", "x1", "inf", "nan"}) {
        EXPECT_EQ(TextToDouble(noNumber), 0.0) << noNumber;
    }
}

TEST(TextToDouble, OutOfRangeGivesInfinityOrZero)
{
    EXPECT_EQ(TextToDouble("1e999"), kInfinity);
    EXPECT_EQ(TextToDouble("-1e999"), -kInfinity);
    EXPECT_EQ(TextToDouble("1" + std::string(400, '0')), kInfinity);
    EXPECT_EQ(TextToDouble("0.0000001e-2147483648"), 0.0);
    EXPECT_EQ(TextToDouble("1e-999"), 0.0);
    EXPECT_EQ(TextToDouble("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(TextToDouble("1" + std::string(400, '0') + "e-800"), 0.0);
}

TEST(DoubleToText, MatchesPrintfGeneralFormat)
{
    const double values[] = {0.0, -0.0, 1.0, -2513.75, 0.0002, 1e-5, 123456789.0, 1.0 / 3.0,
                             1e300, 5e-324, kInfinity};
    for (const double value : values) {
        for (const int digits : {1, 3, 6, 10, 17}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*g", digits, value);
            EXPECT_EQ(DoubleToText(value, digits), expected) << value << " " << digits;
        }
    }
    EXPECT_EQ(DoubleToText(-2513.75, 6), "-2513.75");
    EXPECT_EQ(DoubleToText(0.5, 0), "0.5");
    EXPECT_EQ(DoubleToText(1234567.0, 6), "1.23457e+06");
}

// Switches the process to a locale whose decimal separator is a comma. When
// none is installed, compiles de_DE.UTF-8 into a temporary folder if the
// system's locale sources are there.
class CommaDecimalLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.utf8", "fr_FR.utf8"}) {
            if (Use(name)) {
                return;
            }
        }
        if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE")) {
            return;
        }
        std::string pattern = (std::filesystem::temp_directory_path() / "parrot-locale-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        compiledLocales = pattern;
        const std::string command = "localedef -i de_DE -f UTF-8 " + compiledLocales.string() +
                                    "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(command.c_str()) != -1) {
            setenv("LOCPATH", compiledLocales.c_str(), 1);
            Use("de_DE.UTF-8");
        }
    }

    void TearDown() override
    {
        std::setlocale(LC_ALL, "C");
        if (!compiledLocales.empty()) {
            unsetenv("LOCPATH");
            std::filesystem::remove_all(compiledLocales);
        }
    }

    bool Use(const char* name)
    {
        active = std::setlocale(LC_ALL, name) != nullptr &&
                 std::localeconv()->decimal_point == std::string(",");
        return active;
    }

    bool active = false;
    std::filesystem::path compiledLocales;
};

TEST_F(CommaDecimalLocale, ConversionsIgnoreTheProcessLocale)
{
    if (!active) {
        GTEST_SKIP() << "no comma-decimal locale is installed or can be compiled";
    }
    char localeText[32];
    std::snprintf(localeText, sizeof localeText, "%g", 0.5);
    ASSERT_STREQ(localeText, "0,5");  // the locale is really in force

    EXPECT_EQ(TextToDouble("0.0002"), 0.0002);
    EXPECT_EQ(TextToDouble("-1.5e3"), -1500.0);
    EXPECT_EQ(TextToDouble("0,5"), 0.0);
    EXPECT_EQ(DoubleToText(-2513.75, 6), "-2513.75");
    EXPECT_EQ(DoubleToText(1234567.0, 6), "1.23457e+06");
    EXPECT_EQ(IntToText(-1234567), "-1234567");
    EXPECT_EQ(TextToInt(" 1234567"), 1234567);
}

}  // namespace
