#pragma once
// Writes the dictionary files "english.idx", "english.key" and "english.dct".

#include <filesystem>
#include <string>

#include "make_dictionary/dictionary_image.h"

// Writes the three files into `directory`, creating it if needed. Each file
// is written under a temporary name and renamed into place only when all
// three are complete, so a failed run leaves no partial dictionary behind.
// Returns false with `error` set on failure.
bool WriteDictionaryImage(const DictionaryImage& image, const std::filesystem::path& directory, std::string& error);
