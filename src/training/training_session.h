#pragma once
// The object behind "Add/Train word": owns the pronunciation dictionary, the
// Vocabulary and the PhoneMap, loads and saves "commands.txt", and on every
// training run rewrites all training files from the whole Vocabulary and
// drives the speech engine's training tools.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "dictionary/pronunciation_dictionary.h"
#include "vocabulary/word_entry.h"

// The bare names of the training files, in the order the dialog gives them.
struct TrainingFileNames {
    const char* modelLengthsFile = "";        // "model_lengths.txt"
    const char* modelsFile = "";              // "models.txt"
    const char* monophonesFile = "";          // "monophones.txt"
    const char* phonesFile = "";              // "phones.txt"
    const char* grammarFile = "";             // "loop_grammar.txt"
    const char* latticeFile = "";             // "loop_grammar.lat"
    const char* lexiconFile = "";             // "lexicon.txt"
    const char* labelListFile = "";           // "model_transitions.txt"
    const char* rawListFile = "";             // "raw.txt"
    const char* mfcListFile = "";             // "mfc.txt"
    const char* initStatesTextFile = "";      // "init_states.txt"
    const char* initStatesFile = "";          // "init_states.bin"
    const char* initTransitionsFile = "";     // "init_transitions.txt"
    const char* varianceFloorFile = "";       // "init_varfloor.txt"
    const char* trainedStatesFile = "";       // "train_states.bin"
    const char* trainedTransitionsFile = "";  // "train_trans.txt"
    const char* paramsFile = "";              // "params_train.txt"
    const char* trainedVocabularyFile = "";   // "trained_vocabulary.txt"
};

class TrainingSession {
public:
    TrainingSession();  // loads "english.idx", "english.key", "english.dct"

    // Reads "commands.txt" into the Vocabulary (adding "sp" and "sil") and
    // returns the first utterance number no word or recording uses.
    std::int32_t LoadVocabulary();
    // Replaces "commands.txt" atomically; 0 on success, non-zero when the
    // file could not be written (the previous file is then left intact) or
    // was not read at load time (see unreadableVocabulary).
    int SaveVocabulary(std::int32_t utteranceCounter);

    void SetFileNames(const TrainingFileNames& names) { fileNames = names; }

    // Files utterance n under `word` and runs the whole training chain.
    // Returns 1 when the word was already in the Vocabulary, 0 when added.
    int TrainWord(const std::wstring& word, std::int32_t utteranceNumber);
    // Takes `word` out of the Vocabulary and retrains the rest; its
    // recordings stay on disk. When no word is left to train, the trained
    // models and the grammar lattice are removed instead. Returns 1 when
    // there is no such word (built-in words cannot be forgotten), 0 when it
    // was forgotten.
    int ForgetWord(const std::wstring& word);

    // The last training run completed for the Vocabulary as it is: its
    // completion mark names exactly these words and recordings. Also true
    // when no word takes part in training. False after a run that was
    // killed or whose tools failed, and when the words changed since.
    bool TrainingCompleted() const;
    // Runs the whole training chain for the Vocabulary as it is. The
    // completion mark is removed before the first file is rewritten and
    // written last, only when every tool succeeded.
    void RunTrainingChain();

    // The fifteen steps of a training run, in the order TrainWord runs them.
    int WriteModelLengths();
    int WriteModels();
    int WriteMonophones();
    int WritePhones();
    int WriteLoopGrammar();
    int WriteLexicon();
    int WriteLabelList();
    int WriteRawList();
    int WriteMfcList();
    int WriteTrainParams();
    int RunGrammarCompiler();
    int RunExtractFeatures();
    int RunInitHmm();
    int RunConvertMmf();
    int RunBwTrain();

    PronunciationDictionary dictionary;
    Vocabulary vocabulary;
    std::map<std::wstring, std::int32_t> phoneMap;
    TrainingFileNames fileNames;
    // Where the engine tools that fail during a training run are noted, one
    // line each; the dialog points it at the outcome of the command in
    // progress. Null: failures are not noted.
    std::vector<std::string>* failures = nullptr;
    // Why "commands.txt" could not be read at load time, as "is not a regular
    // file"; empty when it was read. Saving over it would lose its words.
    std::string unreadableVocabulary;
};
