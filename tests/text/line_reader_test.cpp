#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "text/text.h"

namespace {

std::vector<std::string> ReadAllLines(const std::string& bytes) {
    std::FILE* file = std::tmpfile();
    EXPECT_NE(file, nullptr);
    if (file == nullptr) {
        return {};
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    LineReader reader(file);
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line)) {
        lines.push_back(line);
    }
    std::fclose(file);
    return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(LineReader, SplitsAtLineFeedsAndDropsTheCarriageReturnBeforeOne) {
    EXPECT_EQ(ReadAllLines("7\nhello#0#1#\nstop#4#"), (Lines{"7", "hello#0#1#", "stop#4#"}));
    EXPECT_EQ(ReadAllLines("7\r\nhello\r\n"), (Lines{"7", "hello"}));
    EXPECT_EQ(ReadAllLines("a\n\n\r\nb\r\r\n"), (Lines{"a", "", "", "b\r"}));
    EXPECT_EQ(ReadAllLines("last\r"), (Lines{"last\r"}));
    EXPECT_EQ(ReadAllLines("\n"), (Lines{""}));
    EXPECT_EQ(ReadAllLines(""), Lines{});
    // NUL bytes and long lines are kept whole.
    const std::string withNul("a\0b", 3);
    const std::string longLine(10000, 'w');
    EXPECT_EQ(ReadAllLines(withNul + "\n" + longLine + "\nz"), (Lines{withNul, longLine, "z"}));
}
