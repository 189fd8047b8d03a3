#pragma once
// The forms a vocabulary word takes in the training files, and the check that
// a word can be trained and stored faithfully.

#include <string>

// The grammar form of a word: blanks replaced by "_", then upper case.
std::wstring GrammarWord(const std::wstring& name);

// False for a word that would not survive training and saving: empty or only
// white space; holding "#" or a control character; holding a character that
// the grammar notation reserves (| ( ) [ ] { } < > ; = $); holding a
// character that has no UTF-8 form (a surrogate other than the U+DC80..U+DCFF
// that stand for invalid bytes, a value beyond U+10FFFF); the built-in "sp"
// or "sil"; or one whose grammar form contains "!SENT_START" or "!SENT_END".
bool IsTrainableWord(const std::wstring& word);
