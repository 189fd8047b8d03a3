#include "text.h"

bool LineReader::ReadLine(std::string& line) {
    line.clear();
    int c = std::getc(file_);
    if (c == EOF) {
        return false;
    }
    while (c != EOF && c != '\n') {
        line += static_cast<char>(c);
        c = std::getc(file_);
    }
    if (c == '\n' && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}
