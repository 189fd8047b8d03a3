#pragma once
// Every file of the program has a bare name, so each test runs in a fresh
// folder of its own: the fixture creates it, enters it, and removes it.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

class TestFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        original_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "parrot-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        std::filesystem::current_path(folder_);
    }
    void TearDown() override
    {
        std::filesystem::current_path(original_);
        std::filesystem::remove_all(folder_);
    }

    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path original_;
    std::filesystem::path folder_;
};

inline std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}
