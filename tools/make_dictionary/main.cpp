// make_dictionary SOURCE DIRECTORY: turns the CMU pronouncing dictionary file
// SOURCE into the English dictionary files in DIRECTORY.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "dictionary/whole_file.h"
#include "make_dictionary/cmu_source.h"
#include "make_dictionary/dictionary_image.h"
#include "make_dictionary/dictionary_output.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_dictionary CMUDICT-FILE OUTPUT-DIRECTORY\n";
        return 2;
    }
    const char* source = argv[1];
    std::vector<char> text;
    if (!ReadWholeFile(source, text)) {
        std::cerr << "make_dictionary: cannot read " << source
                  << " (it comes with the Debian package pocketsphinx-en-us)\n";
        return 1;
    }
    std::vector<SourceWord> words;
    std::string error;
    if (!ParseCmuDictionary(std::string_view(text.data(), text.size()), words, error)) {
        std::cerr << "make_dictionary: " << source << ": " << error << '\n';
        return 1;
    }
    if (words.empty()) {
        std::cerr << "make_dictionary: " << source << " holds no words\n";
        return 1;
    }
    DictionaryImage image;
    if (!BuildDictionaryImage(std::move(words), image, error) || !WriteDictionaryImage(image, argv[2], error)) {
        std::cerr << "make_dictionary: " << error << '\n';
        return 1;
    }
    return 0;
}
