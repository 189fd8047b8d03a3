#pragma once
// Template rescoring, the step after the search: among the one-word
// sentences the decoder found ("!SENT_START W !SENT_END"), each path's HMM
// score per frame is combined with how closely the recording's speech
// matches the recordings its middle word was trained on (dynamic time
// warping against the word templates); the best combination wins.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "decoding/decoder.h"
#include "decoding/dynamic_time_warping.h"
#include "decoding/word_templates.h"
#include "models/model_inventory.h"

namespace speech {

// The word templates as rescoring reads them: scaled for warping and
// grouped by key. Preparing them is a good part of a rescoring's work, so a
// recogniser that recognises recording after recording against the same
// templates keeps them prepared.
class TemplateIndex {
public:
    TemplateIndex() = default;
    explicit TemplateIndex(const TemplateSet& templates);

    bool Empty() const { return templatesOf_.empty(); }
    std::uint32_t Dimension() const { return dimension_; }
    const std::vector<float>& Scales() const { return scales_; }
    // Whether every key has two templates or more.
    bool SeveralTakes() const { return severalTakes_; }
    // The templates of `key` ("y eh s"); null without.
    const std::vector<ScaledFrames>* Find(const std::string& key) const;

private:
    std::uint32_t dimension_ = 0;
    std::vector<float> scales_;
    std::map<std::string, std::vector<ScaledFrames>> templatesOf_;
    bool severalTakes_ = false;
};

// What rescoring chose, and what the templates tell of it.
struct TemplateChoice {
    std::size_t best = 0;  // index of the chosen candidate
    // Warping distance to the nearest of the chosen word's templates;
    // infinity without.
    double distance = std::numeric_limits<double>::infinity();
    std::uint32_t templates = 0;  // templates of the chosen word
    double templateFrames = 0.0;  // their average length
    // The steps of the best warping path to that nearest template.
    WarpingSteps nearestSteps;
};

// The best of `candidates` (not empty, best HMM score first) by combined
// score, comparing the frames of `speech` with the templates; ties go to the
// earlier. Without templates, or with templates of another dimension, the
// HMM score alone decides. A candidate that is not a one-word sentence, or
// whose word has no template, is charged the largest distance found, so that
// it neither wins nor loses by it. Only the templates of the candidates'
// words are warped.
TemplateChoice ChooseByTemplates(const std::vector<Hypothesis>& candidates, const FeatureMatrix& features,
                                 const FrameSpan& speech, const TemplateIndex& templates, const Lexicon& lexicon);

}  // namespace speech
