// Steps 10 to 15 of a training run: the Baum-Welch trainer's parameter file
// and the five engine tools, each called whatever the one before returned.

#include "engine/engine_arguments.h"
#include "engine/speech_engine.h"
#include "training_file.h"
#include "training_session.h"

int TrainingSession::WriteTrainParams() {
    TrainingFile file(fileNames.paramsFile);
    file << "train_mode = normal\n"
         << "acc_file = \n"
         << "acclist_file = \n"
         << "mfcclist_file = " << fileNames.mfcListFile << "\n"
         << "lablist_file = " << fileNames.labelListFile << "\n"
         << "monophones_file = " << fileNames.monophonesFile << "\n"
         << "models_file = " << fileNames.modelsFile << "\n"
         << "phones_file = " << fileNames.phonesFile << "\n"
         << "lexicon_file = " << fileNames.lexiconFile << "\n"
         << "states_file = " << fileNames.initStatesFile << "\n"
         << "transitions_file = " << fileNames.initTransitionsFile << "\n"
         << "updated_states_file = " << fileNames.trainedStatesFile << "\n"
         << "updated_trans_file = " << fileNames.trainedTransitionsFile << "\n"
         << "input_mode = binary\n"
         << "output_mode = binary\n"
         << "context_mode = monophone\n"
         << "min_mpd = 1000\n"
         << "beam_width = 500\n"
         << "min_occupancy = 1.0e-10\n"
         << "min_model_count = 1\n"
         << "variance_floor_file = " << fileNames.varianceFloorFile << "\n"
         << "state_occupancy_file = \n"
         << "state_occupancy = off\n";
    return 0;
}

int TrainingSession::RunGrammarCompiler() {
    RunEngineTool(EngineTool::GrammarCompiller,
                  {"grammar_compiler", "-input", fileNames.grammarFile, "-output", fileNames.latticeFile}, failures);
    return 0;
}

int TrainingSession::RunExtractFeatures() {
    RunEngineTool(EngineTool::ExtractFeatures, FeatureExtractionArguments(fileNames.rawListFile, fileNames.mfcListFile),
                  failures);
    return 0;
}

int TrainingSession::RunInitHmm() {
    RunEngineTool(EngineTool::InitHMM,
                  {"init_hmm", "-input", fileNames.mfcListFile, "-models", fileNames.modelLengthsFile, "-trans",
                   fileNames.initTransitionsFile, "-mode", "binary", "-state", fileNames.initStatesTextFile,
                   "-vfloor_file", fileNames.varianceFloorFile, "-var_floor", "0.0002"},
                  failures);
    return 0;
}

int TrainingSession::RunConvertMmf() {
    RunEngineTool(EngineTool::ConvertMmf,
                  {"convert_mmf", "-input_mode", "ascii", "-output_mode", "binary", fileNames.initStatesTextFile,
                   fileNames.initStatesFile},
                  failures);
    return 0;
}

int TrainingSession::RunBwTrain() {
    RunEngineTool(EngineTool::BWTrain, {"bw_train", "-p", fileNames.paramsFile}, failures);
    return 0;
}
