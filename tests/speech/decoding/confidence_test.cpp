// The confidence in a recognised word: each piece of evidence moves it the
// right way, and it stays a probability whatever the evidence.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "decoding/confidence.h"

namespace {

// A trained word said again: its states explain the word almost as well as
// the best state of any model, silence explains the recording far worse, and
// its nearest template is near, its frames paired off mostly one to one.
speech::ConfidenceEvidence TrainedWord() {
    speech::ConfidenceEvidence evidence;
    evidence.wordLogLikelihood = -60.0;
    evidence.garbageLogLikelihood = -58.0;
    evidence.pathLogLikelihood = -55.0;
    evidence.silenceLogLikelihood = -85.0;
    evidence.templateDistance = 4.0;
    evidence.diagonalShare = 0.5;
    evidence.speechFrames = 60.0;
    evidence.templateFrames = 62.0;
    evidence.templates = 9;
    return evidence;
}

TEST(Confidence, EachPieceOfEvidenceAgainstTheWordLowersIt) {
    const double trained = speech::Confidence(TrainedWord());
    EXPECT_GT(trained, 0.8);
    const struct {
        const char* what;
        std::function<void(speech::ConfidenceEvidence&)> change;
    } cases[] = {
        {"other states explain the word better", [](auto& e) { e.garbageLogLikelihood = -40.0; }},
        {"silence explains the recording as well", [](auto& e) { e.silenceLogLikelihood = -55.0; }},
        {"its takes are far", [](auto& e) { e.templateDistance = 6.0; }},
        {"the warping bends to fit", [](auto& e) { e.diagonalShare = 0.2; }},
    };
    for (const auto& c : cases) {
        auto evidence = TrainedWord();
        c.change(evidence);
        EXPECT_LT(speech::Confidence(evidence), trained - 0.01) << c.what;
    }
    auto untrained = TrainedWord();
    untrained.garbageLogLikelihood = -45.0;
    untrained.templateDistance = 6.5;
    EXPECT_LT(speech::Confidence(untrained), speech::kAcceptanceThreshold);
}

TEST(Confidence, StaysAProbabilityWhateverTheEvidence) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const struct {
        const char* what;
        std::function<void(speech::ConfidenceEvidence&)> change;
    } cases[] = {
        {"no templates", [](auto& e) { e = speech::ConfidenceEvidence{}; }},
        {"no silence model", [](auto& e) { e.silenceLogLikelihood = -kInfinity; }},
        {"a state that cannot produce a frame", [](auto& e) { e.wordLogLikelihood = -kInfinity; }},
        {"no number", [](auto& e) { e.garbageLogLikelihood = e.diagonalShare = std::nan(""); }},
        {"a recording of no length", [](auto& e) { e.speechFrames = 0.0; }},
    };
    for (const auto& c : cases) {
        auto evidence = TrainedWord();
        c.change(evidence);
        const double confidence = speech::Confidence(evidence);
        EXPECT_GE(confidence, 0.0) << c.what;
        EXPECT_LE(confidence, 1.0) << c.what;
    }
}

}  // namespace
