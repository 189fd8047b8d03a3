#include "models/hmm_chain.h"

#include <algorithm>
#include <cmath>

namespace speech {
namespace {

// An arc across a run of tee models records one transition use per tee it
// crosses, and every model before and inside the run gets such arcs, so a
// long run would grow the chain with the square of its length. No
// pronunciation or label line needs more than a few tees in a row.
constexpr std::size_t kMaxTeesInARow = 16;

struct Target {
    std::uint32_t position = ChainArc::kOutside;
    double probability = 1.0;
    std::vector<TransitionUse> uses;
};

struct ChainModel {
    const PhoneModel* model = nullptr;
    const TransitionSet::Matrix* matrix = nullptr;
    std::uint32_t firstPosition = 0;
};

// Everything reachable when model `k` is entered: its first emitting states,
// and past tee models the states of the models after it, or the chain's exit.
void EntryTargets(const std::vector<ChainModel>& models, std::size_t k, std::vector<Target>& targets) {
    Target prefix;
    for (; k < models.size(); ++k) {
        const ChainModel& current = models[k];
        const std::uint32_t size = current.matrix->size;
        for (std::uint32_t j = 1; j + 1 < size; ++j) {
            const double p = current.matrix->At(0, j);
            if (p <= 0.0) continue;
            Target target = prefix;
            target.position = current.firstPosition + j - 1;
            target.probability *= p;
            target.uses.push_back({current.model->transitions, 0, std::uint16_t(j)});
            targets.push_back(std::move(target));
        }
        const double tee = current.matrix->At(0, size - 1);
        if (!(tee > 0.0)) return;
        prefix.probability *= tee;
        prefix.uses.push_back({current.model->transitions, 0, std::uint16_t(size - 1)});
    }
    targets.push_back(std::move(prefix));
}

bool IsTee(const ChainModel& model) { return model.matrix->At(0, model.matrix->size - 1) > 0.0; }

void AddArc(StateChain& chain, std::vector<ChainArc>& list, std::uint32_t from, const Target& target,
            double probability, const std::vector<TransitionUse>& firstUses) {
    ChainArc arc;
    arc.from = from;
    arc.to = target.position;
    arc.logProbability = SafeLog(probability * target.probability);
    arc.usesBegin = std::uint32_t(chain.uses.size());
    chain.uses.insert(chain.uses.end(), firstUses.begin(), firstUses.end());
    chain.uses.insert(chain.uses.end(), target.uses.begin(), target.uses.end());
    arc.usesEnd = std::uint32_t(chain.uses.size());
    list.push_back(arc);
}

}  // namespace

double SafeLog(double probability) { return probability > 0.0 ? std::log(probability) : kLogZero; }

bool BuildStateChain(const std::vector<std::string>& phones, const ModelInventory& inventory,
                     const TransitionSet& transitions, StateChain& chain, std::string& error) {
    chain = StateChain{};
    std::vector<ChainModel> models;
    for (std::size_t k = 0; k < phones.size(); ++k) {
        ChainModel entry;
        entry.model = inventory.Find(phones[k]);
        if (entry.model == nullptr) {
            error = "phone " + phones[k] + " has no model";
            return false;
        }
        if (entry.model->transitions >= transitions.matrices.size() ||
            transitions.matrices[entry.model->transitions].size != entry.model->states.size() + 2) {
            error = "model " + phones[k] + " has no transition matrix of its size";
            return false;
        }
        entry.matrix = &transitions.matrices[entry.model->transitions];
        entry.firstPosition = std::uint32_t(chain.states.size());
        for (const auto state : entry.model->states) {
            chain.states.push_back(state);
            chain.label.push_back(std::uint32_t(k));
        }
        models.push_back(entry);
    }

    std::size_t teesInARow = 0;
    for (std::size_t k = 0; k < models.size(); ++k) {
        teesInARow = IsTee(models[k]) ? teesInARow + 1 : 0;
        if (teesInARow > kMaxTeesInARow) {
            error = "more than " + std::to_string(kMaxTeesInARow) + " tee models (" + phones[k] + ") in a row";
            return false;
        }
    }
    std::vector<Target> entries;
    EntryTargets(models, 0, entries);
    for (const auto& target : entries) {
        // A chain of tee models alone is crossed without a frame, which no
        // recording can do: that entry leads nowhere.
        if (target.position == ChainArc::kOutside) continue;
        AddArc(chain, chain.entries, ChainArc::kOutside, target, 1.0, {});
    }
    for (std::size_t k = 0; k < models.size(); ++k) {
        const ChainModel& current = models[k];
        const std::uint32_t size = current.matrix->size;
        std::vector<Target> next;
        EntryTargets(models, k + 1, next);
        for (std::uint32_t i = 1; i + 1 < size; ++i) {
            const std::uint32_t from = current.firstPosition + i - 1;
            for (std::uint32_t j = 1; j + 1 < size; ++j) {
                const double p = current.matrix->At(i, j);
                if (p <= 0.0) continue;
                Target target;
                target.position = current.firstPosition + j - 1;
                AddArc(chain, chain.arcs, from, target, p,
                       {{current.model->transitions, std::uint16_t(i), std::uint16_t(j)}});
            }
            const double exit = current.matrix->At(i, size - 1);
            if (exit <= 0.0) continue;
            for (const auto& target : next) {
                const std::vector<TransitionUse> uses{
                    {current.model->transitions, std::uint16_t(i), std::uint16_t(size - 1)}};
                AddArc(chain, target.position == ChainArc::kOutside ? chain.exits : chain.arcs, from, target, exit,
                       uses);
            }
        }
    }
    std::stable_sort(chain.arcs.begin(), chain.arcs.end(),
                     [](const ChainArc& a, const ChainArc& b) { return a.from < b.from; });
    return true;
}

}  // namespace speech
