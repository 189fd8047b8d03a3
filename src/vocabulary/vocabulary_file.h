#pragma once
// The vocabulary file "commands.txt": its first line is the next utterance
// number; each further line is a word: its name, "#", then each utterance
// number followed by "#". Lines are separated by one line feed, with none
// after the last.

#include <cstdint>

#include "vocabulary/word_entry.h"

// Reads the file into `vocabulary` and returns the next utterance number
// from its first line (0 for an empty or new file). A missing file is
// created empty. A word line replaces an entry of the same name; lines
// without a name add nothing. Finally the built-in entries "sp" and "sil"
// replace any entries of those names. Every entry refers to `dictionary`.
// A file that can be neither opened nor created leaves only "sp" and "sil",
// returns 0 and says so on stderr.
std::int32_t ReadVocabularyFile(const char* fileName, Vocabulary& vocabulary,
                                const PronunciationDictionary* dictionary);

// Replaces the file with `counter` and every entry that is not built-in, in
// the Vocabulary's order. Returns 0 on success; otherwise the errno of the
// step that failed, with the previous file left as it was.
int WriteVocabularyFile(const char* fileName, const Vocabulary& vocabulary, std::int32_t counter);
