#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

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

// Switches the process to a locale whose decimal separator is a comma. When
// none is installed, compiles de_DE.UTF-8 into a temporary folder if the
// system's locale sources are there.
class CommaDecimalLocale : public ::testing::Test {
protected:
    void SetUp() override {
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
        const std::string command =
            "localedef -i de_DE -f UTF-8 " + compiledLocales.string() + "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(command.c_str()) != -1) {
            setenv("LOCPATH", compiledLocales.c_str(), 1);
            Use("de_DE.UTF-8");
        }
    }

    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        if (!compiledLocales.empty()) {
            unsetenv("LOCPATH");
            std::filesystem::remove_all(compiledLocales);
        }
    }

    bool Use(const char* name) {
        active = std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point == std::string(",");
        return active;
    }

    bool active = false;
    std::filesystem::path compiledLocales;
};

TEST_F(CommaDecimalLocale, ConversionsIgnoreTheProcessLocale) {
    if (!active) {
        GTEST_SKIP() << "no comma-decimal locale is installed or can be compiled";
    }
    char localeText[32];
    std::snprintf(localeText, sizeof localeText, "%g", 0.5);
    ASSERT_STREQ(localeText, "0,5");  // the locale is really in force

    EXPECT_EQ(TextToDouble("-1.5e3"), -1500.0);
    EXPECT_EQ(TextToDouble("0,5"), 0.0);
    EXPECT_EQ(DoubleToText(-2513.75, 6), "-2513.75");
    EXPECT_EQ(DoubleToText(1234567.0, 6), "1.23457e+06");
}

}  // namespace
