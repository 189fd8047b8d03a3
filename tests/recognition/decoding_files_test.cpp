// The decoding lists and the decoder's parameter file, byte for byte.

#include <string>

#include <gtest/gtest.h>

#include "../app/test_folder.h"
#include "app/session_file_names.h"
#include "expected_dec_params.h"
#include "recognition/recognition_session.h"

namespace {

using DecodingFiles = TestFolder;

TEST_F(DecodingFiles, ListsNameTheUtterance)
{
    RecognitionSession session;
    session.SetFileNames(kDecodingFileNames);
    for (const auto& [number, text] : {std::pair{0, "0"}, std::pair{-3, "-3"}, std::pair{12, "12"}}) {
        session.utteranceNumber = number;
        session.WriteRawDecList();
        session.WriteMfcDecList();
        session.WriteOutDecList();
        session.WriteLatDecList();
        EXPECT_EQ(ReadFileBytes("raw_dec.txt"), std::string(text) + ".raw\n");
        EXPECT_EQ(ReadFileBytes("mfc_dec.txt"), std::string(text) + ".mfc\n");
        EXPECT_EQ(ReadFileBytes("out_dec.txt"), "decoder.out");
        EXPECT_EQ(ReadFileBytes("lat_dec.txt"), "loop_grammar.lat");
    }
}

TEST_F(DecodingFiles, ParametersHoldEighteenLines)
{
    WriteFileBytes("params_dec.txt", std::string(2000, 'x'));
    RecognitionSession session;
    session.SetFileNames(kDecodingFileNames);
    session.WriteDecParams();
    EXPECT_EQ(ReadFileBytes("params_dec.txt"), kExpectedDecParams);
}

}  // namespace
