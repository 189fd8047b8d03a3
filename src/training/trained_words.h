#pragma once
// Which Vocabulary entries a training run writes into its files. Built-in
// entries never take part. A word that cannot be trained faithfully (one
// loaded from a hand-edited "commands.txt", say) stays in the Vocabulary and
// is saved unchanged, but is left out of every training file, because it
// would break the grammar or the decoder's output for the whole vocabulary.

#include <string>

#include "vocabulary/word_entry.h"

bool TakesPartInTraining(const std::wstring& word, const WordEntry& entry);

// One line on stderr for each entry that is left out although it is not
// built in.
void ReportUntrainableWords(const Vocabulary& vocabulary);
