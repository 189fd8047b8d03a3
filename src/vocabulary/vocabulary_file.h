#pragma once
// The vocabulary file "commands.txt": its first line is the next utterance
// number; each further line is a word: its name, "#", then each utterance
// number followed by "#". Lines are separated by one line feed, with none
// after the last.

#include <cstdint>
#include <string>

#include "vocabulary/word_entry.h"

struct VocabularyFileState {
    // The next utterance number: past the first line's number, past every
    // number a word refers to and past every "N.raw" in the file's folder,
    // so that a new recording never replaces one that exists.
    std::int32_t counter = 0;
    // Why a file that exists could not be read ("is not a regular file",
    // "could not be read (...)"); empty when it was read or did not exist.
    // Replacing such a file would lose the words in it.
    std::string unreadable;
};

// Reads the file into `vocabulary`. A missing file is created empty. A first
// line that is not a number but holds "#" is read as a word line. A word line
// replaces an entry of the same name; lines without a name add nothing.
// Finally the built-in entries "sp" and "sil" replace any entries of those
// names. Every entry refers to `dictionary`. A file that cannot be read
// leaves only "sp" and "sil". Problems, and a counter raised past the
// first line's, are said on stderr.
VocabularyFileState ReadVocabularyFile(const char* fileName, Vocabulary& vocabulary,
                                       const PronunciationDictionary* dictionary);

// The word lines of the file for every entry that is not built-in, in the
// Vocabulary's order, each but the last ending in a line feed.
std::string VocabularyLines(const Vocabulary& vocabulary);

// Replaces the file with `counter` and every entry that is not built-in, in
// the Vocabulary's order. Returns 0 on success; otherwise the errno of the
// step that failed, with the previous file left as it was.
int WriteVocabularyFile(const char* fileName, const Vocabulary& vocabulary, std::int32_t counter);
