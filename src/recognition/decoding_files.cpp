// The four decoding lists and the decoder's parameter file. A file that
// cannot be created (or a symbolic link in its place) is skipped with a stderr
// line, and the engine reports what it then finds.

#include <string>

#include "recognition/recognition_session.h"
#include "text/text.h"

int RecognitionSession::WriteDecParams() {
    const FileNames& f = fileNames;
    std::string content;
    content += "function = lattice_rescoring\n";
    content += std::string("monophones_file = ") + f.monophonesFile + "\n";
    content += std::string("models_file = ") + f.modelsFile + "\n";
    content += std::string("phones_file = ") + f.phonesFile + "\n";
    content += std::string("lexicon_file = ") + f.lexiconFile + "\n";
    content += std::string("states_file = ") + f.statesFile + "\n";
    content += std::string("transitions_file = ") + f.transitionsFile + "\n";
    content += "input_format = binary\n";
    content += "align_mode = word\n";
    content += "context_mode = monophone\n";
    content += "history_paths = 1\n";
    content += "nbest_paths = 1\n";
    content += "beam_pruning = 300 150 150\n";
    content += "mapmi_limit = 10000\n";
    content += "num_allowed_words = 50\n";
    content += std::string("mfcc_list = ") + f.mfcListFile + "\n";
    content += std::string("output_list = ") + f.outListFile + "\n";
    content += std::string("input_lattice_list = ") + f.latListFile + "\n";
    OverwriteFile(f.paramsFile, content);
    return 0;
}

int RecognitionSession::WriteRawDecList() {
    OverwriteFile(fileNames.rawListFile, IntToText(utteranceNumber) + ".raw\n");
    return 0;
}

int RecognitionSession::WriteMfcDecList() {
    OverwriteFile(fileNames.mfcListFile, IntToText(utteranceNumber) + ".mfc\n");
    return 0;
}

int RecognitionSession::WriteOutDecList() {
    OverwriteFile(fileNames.outListFile, kDecoderOutputFile);
    return 0;
}

int RecognitionSession::WriteLatDecList() {
    OverwriteFile(fileNames.latListFile, fileNames.latticeFile);
    return 0;
}
