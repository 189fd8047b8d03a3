#pragma once
// One training file, created or emptied (see CreateFile). A file that cannot
// be created, or a symbolic link in its place, is skipped with a stderr line:
// every write to it does nothing, and the training run goes on.

#include <cstdio>
#include <string_view>

class TrainingFile {
public:
    explicit TrainingFile(const char* name);
    ~TrainingFile();
    TrainingFile(const TrainingFile&) = delete;
    TrainingFile& operator=(const TrainingFile&) = delete;

    TrainingFile& operator<<(std::string_view text);
    // Wide text is written as 8-bit text.
    TrainingFile& operator<<(std::wstring_view text);
    // Numbers are written in decimal.
    TrainingFile& operator<<(long long number);

private:
    std::FILE* file_;
};
