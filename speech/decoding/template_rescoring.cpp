#include "decoding/template_rescoring.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "decoding/dynamic_time_warping.h"

namespace speech {
namespace {

// Weight of the warping distance (average scaled frame distance) against the
// HMM log-likelihood per frame. When every word was trained on several
// recordings, the nearest of them is a surer match and counts for more.
constexpr double kWarpingWeight = 0.5;
constexpr double kSeveralTakesWarpingWeight = 0.75;

std::string Joined(const std::vector<std::string>& phones) {
    std::string text;
    for (const auto& phone : phones) text += (text.empty() ? "" : " ") + phone;
    return text;
}

}  // namespace

std::size_t ChooseByTemplates(const std::vector<Hypothesis>& candidates, const FeatureMatrix& features,
                              const FrameSpan& speechSpan, const TemplateSet& templates, const Lexicon& lexicon) {
    if (templates.templates.empty() || templates.dimension != features.dimension || features.frameCount == 0) return 0;
    // The template keys of the candidates' words: only their templates are warped.
    std::vector<std::vector<std::string>> keysOf(candidates.size());
    std::map<std::string, double> nearest;
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        const Hypothesis& candidate = candidates[c];
        const auto pronunciations = candidate.words.size() == 3 ? lexicon.find(candidate.words[1].word) : lexicon.end();
        if (pronunciations == lexicon.end()) continue;
        for (const auto& pronunciation : pronunciations->second) {
            keysOf[c].push_back(Joined(pronunciation));
            nearest.emplace(keysOf[c].back(), std::numeric_limits<double>::infinity());
        }
    }
    // Warping distance of the recording's speech to each key's nearest template.
    const FeatureMatrix speech = SpeechFrames(features, speechSpan);
    std::map<std::string, std::size_t> takes;
    for (const auto& entry : templates.templates) {
        ++takes[entry.key];
        const auto found = nearest.find(entry.key);
        if (found != nearest.end())
            found->second = std::min(found->second, WarpingDistance(speech, entry.frames, templates.scales));
    }
    double largest = 0.0;
    for (const auto& [key, distance] : nearest)
        if (std::isfinite(distance)) largest = std::max(largest, distance);
    const bool severalTakes =
        std::all_of(takes.begin(), takes.end(), [](const auto& entry) { return entry.second >= 2; });
    const double warpingWeight = severalTakes ? kSeveralTakesWarpingWeight : kWarpingWeight;

    std::size_t best = 0;
    double bestCombined = -std::numeric_limits<double>::infinity();
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        double distance = std::numeric_limits<double>::infinity();
        for (const auto& key : keysOf[c]) distance = std::min(distance, nearest.at(key));
        const double combined =
            candidates[c].score / features.frameCount - warpingWeight * (std::isfinite(distance) ? distance : largest);
        if (combined > bestCombined) {
            bestCombined = combined;
            best = c;
        }
    }
    return best;
}

}  // namespace speech
