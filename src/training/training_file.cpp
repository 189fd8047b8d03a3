#include "training_file.h"

#include <string>

#include "text/text.h"

TrainingFile::TrainingFile(const char* name) : file_(CreateFile(name)) {}

TrainingFile::~TrainingFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

TrainingFile& TrainingFile::operator<<(std::string_view text) {
    if (file_ != nullptr && !text.empty()) {
        std::fwrite(text.data(), 1, text.size(), file_);
    }
    return *this;
}

TrainingFile& TrainingFile::operator<<(std::wstring_view text) { return *this << std::string_view(ToNarrowText(text)); }

TrainingFile& TrainingFile::operator<<(long long number) { return *this << std::string_view(IntToText(number)); }
