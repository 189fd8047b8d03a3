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
    // Warping distance of the recording's speech to each key's nearest template.
    const FeatureMatrix speech = SpeechFrames(features, speechSpan);
    std::map<std::string, double> nearest;
    std::map<std::string, std::size_t> takes;
    for (const auto& entry : templates.templates) {
        const double distance = WarpingDistance(speech, entry.frames, templates.scales);
        ++takes[entry.key];
        auto [found, inserted] = nearest.emplace(entry.key, distance);
        if (!inserted) found->second = std::min(found->second, distance);
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
        const Hypothesis& candidate = candidates[c];
        double distance = std::numeric_limits<double>::infinity();
        const auto pronunciations = candidate.words.size() == 3 ? lexicon.find(candidate.words[1].word) : lexicon.end();
        if (pronunciations != lexicon.end())
            for (const auto& pronunciation : pronunciations->second) {
                const auto found = nearest.find(Joined(pronunciation));
                if (found != nearest.end()) distance = std::min(distance, found->second);
            }
        const double combined =
            candidate.score / features.frameCount - warpingWeight * (std::isfinite(distance) ? distance : largest);
        if (combined > bestCombined) {
            bestCombined = combined;
            best = c;
        }
    }
    return best;
}

}  // namespace speech
