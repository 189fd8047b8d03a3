#include "decoding/template_rescoring.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    for (const auto& phone : phones) {
        if (!text.empty()) text += ' ';
        text += phone;
    }
    return text;
}

}  // namespace

TemplateIndex::TemplateIndex(const TemplateSet& templates)
    : dimension_(templates.dimension), scales_(templates.scales) {
    for (const auto& entry : templates.templates)
        templatesOf_[entry.key].push_back(ScaleFrames(entry.frames, templates.scales));
    severalTakes_ = std::all_of(templatesOf_.begin(), templatesOf_.end(),
                                [](const auto& entry) { return entry.second.size() >= 2; });
}

const std::vector<ScaledFrames>* TemplateIndex::Find(const std::string& key) const {
    const auto found = templatesOf_.find(key);
    return found != templatesOf_.end() ? &found->second : nullptr;
}

TemplateChoice ChooseByTemplates(const std::vector<Hypothesis>& candidates, const FeatureMatrix& features,
                                 const FrameSpan& speechSpan, const TemplateIndex& templates, const Lexicon& lexicon) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    TemplateChoice choice;
    const double frames = std::max<std::uint32_t>(features.frameCount, 1);
    auto perFrame = [&](std::size_t c) { return candidates[c].score / frames; };
    const bool useTemplates = !templates.Empty() && templates.Dimension() == features.dimension;
    const double warpingWeight = templates.SeveralTakes() ? kSeveralTakesWarpingWeight : kWarpingWeight;
    // The templates of each candidate's word, through its pronunciations.
    std::vector<std::vector<const ScaledFrames*>> templatesOfCandidate(candidates.size());
    for (std::size_t c = 0; c < candidates.size() && useTemplates; ++c) {
        const Hypothesis& candidate = candidates[c];
        const auto pronunciations = candidate.words.size() == 3 ? lexicon.find(candidate.words[1].word) : lexicon.end();
        if (pronunciations == lexicon.end()) continue;
        for (const auto& pronunciation : pronunciations->second)
            if (const auto* found = templates.Find(Joined(pronunciation)))
                for (const ScaledFrames& frames : *found) templatesOfCandidate[c].push_back(&frames);
    }

    // Each candidate's distance: from the recording's speech to the nearest
    // template of its word, infinity without one. Candidates come best HMM
    // score first, and a template's warping is abandoned once the word can
    // neither come nearer by it nor reach the best combined score so far: the
    // distance of every word that can win is exact, that of a word that
    // cannot may be only a lower bound of it ("at least X").
    std::vector<double> distances(candidates.size(), kInfinity);
    std::vector<const ScaledFrames*> nearest(candidates.size(), nullptr);
    ScaledFrames speech;
    if (useTemplates && features.frameCount > 0) {
        speech = ScaleFrames(SpeechFrames(features, speechSpan), templates.Scales());
        double bestSoFar = -kInfinity;
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            for (const ScaledFrames* frames : templatesOfCandidate[c]) {
                const double losing = (perFrame(c) - bestSoFar) / warpingWeight;
                const double distance = WarpingDistance(speech, *frames, std::min(distances[c], losing));
                if (distance < distances[c]) {
                    distances[c] = distance;
                    nearest[c] = frames;
                }
            }
            if (std::isfinite(distances[c]))
                bestSoFar = std::max(bestSoFar, perFrame(c) - warpingWeight * distances[c]);
        }
    }
    double largest = 0.0;
    for (const double distance : distances)
        if (std::isfinite(distance)) largest = std::max(largest, distance);

    double bestCombined = -kInfinity;
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        double combined = perFrame(c);
        if (useTemplates) combined -= warpingWeight * (std::isfinite(distances[c]) ? distances[c] : largest);
        if (combined > bestCombined) {
            bestCombined = combined;
            choice.best = c;
        }
    }
    choice.distance = distances[choice.best];
    if (nearest[choice.best] != nullptr) choice.nearestSteps = BestWarpingSteps(speech, *nearest[choice.best]);
    for (const ScaledFrames* frames : templatesOfCandidate[choice.best]) {
        ++choice.templates;
        choice.templateFrames += frames->frameCount;
    }
    if (choice.templates > 0) choice.templateFrames /= choice.templates;
    return choice;
}

}  // namespace speech
