#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "support/temporary_folder.h"
#include "text/text.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(IntegerText, ReadsTheLeadingDecimalSaturatingAt32Bits) {
    constexpr std::int32_t max = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t min = std::numeric_limits<std::int32_t>::min();
    const std::pair<std::string, std::int32_t> cases[] = {
        {" \t\r\n-42abc", -42},
        {"+8#", 8},
        {"12 34", 12},
        {"", 0},
        {"+-5", 0},
        {"#3", 0},
        {"2147483648", max},
        {"-2147483648", min},
        {"-2147483649", min},
        {std::string(400, '9'), max},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(TextToInt(text), value) << text;
    }
}

// Numbers beyond a double's range saturate to infinity or zero by the
// position of their first digit, however many digits they have.
TEST(TextToDouble, ReadsTheLeadingNumberAndSaturates) {
    const std::pair<std::string, double> cases[] = {
        {"  -1.5e3x", -1500.0},
        {"+.5", 0.5},
        {"", 0.0},
        {"+-1", 0.0},
        {"e5", 0.0},
        {"nan", 0.0},
        {"-1e999", -kInfinity},
        {"1" + std::string(400, '0'), kInfinity},
        {"0.0000001e-2147483648", 0.0},
        {"0." + std::string(400, '0') + "1", 0.0},
        {"1" + std::string(400, '0') + "e-800", 0.0},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(TextToDouble(text), value) << text;
    }
}

// Numbers are read and written with "." whatever the process locale says;
// here a German one, compiled for the test from the system's sources.
TEST(NumberText, IgnoresTheProcessLocale) {
    const TemporaryFolder locales;
    const std::string command = "localedef -i de_DE -f UTF-8 " + locales.Path("de_DE.UTF-8") + " >/dev/null 2>&1";
    setenv("LOCPATH", locales.path().c_str(), 1);
    if (std::system(command.c_str()) == -1 || std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        unsetenv("LOCPATH");
        GTEST_SKIP() << "no German locale can be compiled";
    }
    char localeText[32];
    std::snprintf(localeText, sizeof localeText, "%g", 0.5);
    EXPECT_STREQ(localeText, "0,5");  // the locale is really in force
    EXPECT_EQ(TextToDouble("-1.5e3"), -1500.0);
    EXPECT_EQ(TextToDouble("0,5"), 0.0);
    EXPECT_EQ(DoubleToText(-2513.75, 6), "-2513.75");
    EXPECT_EQ(DoubleToText(1234567.0, 6), "1.23457e+06");
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
}

}  // namespace
