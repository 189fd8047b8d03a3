#include "decoding/pronunciation_tree.h"

namespace speech {
namespace {

using Arc = PronunciationTree::Arc;

// Stands for a position of a chain that has no place in the tree yet.
constexpr std::uint32_t kUnplaced = PronunciationTree::kEntry - 1;

// The arcs into each position of `chain`, in the order in which the search
// offers them: the entries, then the arcs between positions.
std::vector<std::vector<ChainArc>> ArcsInto(const StateChain& chain) {
    std::vector<std::vector<ChainArc>> into(chain.states.size());
    for (const auto& arc : chain.entries) into[arc.to].push_back(arc);
    for (const auto& arc : chain.arcs) into[arc.to].push_back(arc);
    return into;
}

// True when tree position `position` has exactly the arcs `arcs`, read with
// the chain's self-loop (`self`) as a loop on `position`.
bool SameArcs(const std::vector<Arc>& tree, const std::vector<ChainArc>& arcs, std::uint32_t self,
              const std::vector<std::uint32_t>& place, std::uint32_t position) {
    if (tree.size() != arcs.size()) return false;
    for (std::size_t a = 0; a < arcs.size(); ++a) {
        const std::uint32_t from = arcs[a].from == ChainArc::kOutside ? PronunciationTree::kEntry
                                   : arcs[a].from == self             ? position
                                                                      : place[arcs[a].from];
        if (from == kUnplaced || tree[a].position != from || tree[a].logProbability != arcs[a].logProbability)
            return false;
    }
    return true;
}

}  // namespace

PronunciationTree JoinPronunciations(const std::vector<StateChain>& chains) {
    PronunciationTree tree;
    for (const auto& chain : chains) {
        const auto into = ArcsInto(chain);
        // A position shares a position of an earlier pronunciation when it
        // has the same state and the same arcs from places already settled;
        // positions are visited in order, so a prefix shares first.
        const std::uint32_t earlier = std::uint32_t(tree.states.size());
        std::vector<std::uint32_t> place(chain.states.size(), kUnplaced);
        for (std::uint32_t q = 0; q < chain.states.size(); ++q) {
            for (std::uint32_t m = 0; m < earlier && place[q] == kUnplaced; ++m)
                if (tree.states[m] == chain.states[q] && SameArcs(tree.incoming[m], into[q], q, place, m)) place[q] = m;
            if (place[q] != kUnplaced) continue;
            place[q] = std::uint32_t(tree.states.size());
            tree.states.push_back(chain.states[q]);
            tree.incoming.emplace_back();
        }
        // The arcs of the new positions, now that every position has a place.
        for (std::uint32_t q = 0; q < chain.states.size(); ++q) {
            if (place[q] < earlier) continue;
            for (const auto& arc : into[q])
                tree.incoming[place[q]].push_back(
                    {arc.from == ChainArc::kOutside ? PronunciationTree::kEntry : place[arc.from], arc.logProbability});
        }
        // An exit that an earlier pronunciation shares already would only
        // offer the same token again.
        for (const auto& arc : chain.exits) {
            const Arc exit{place[arc.from], arc.logProbability};
            bool known = false;
            for (const auto& other : tree.exits)
                known = known || (other.position == exit.position && other.logProbability == exit.logProbability);
            if (!known) tree.exits.push_back(exit);
        }
    }
    return tree;
}

}  // namespace speech
