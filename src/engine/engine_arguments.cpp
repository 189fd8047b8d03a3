#include "engine_arguments.h"

#include "audio/recording_format.h"

std::vector<std::string> FeatureExtractionArguments(const char* rawListFile, const char* mfcListFile) {
    return {"extract_feature",
            "-delta",
            "-acc",
            "-cms",
            "-zero_mean",
            "-energy",
            "-energy_norm",
            "-mfcc",
            "12",
            "-delta_win",
            "2",
            "-lifter_coeff",
            "36",
            "-window_dur",
            "20",
            "-frame_dur",
            "10",
            "-num_fbanks",
            "22",
            "-window_type",
            "hamming",
            "-sf",
            std::to_string(kRecordingRate) + ".0",
            "-pre_emph_coeff",
            "0.97",
            "-output_mode",
            "binary",
            "-input",
            rawListFile,
            "-output",
            mfcListFile};
}
