#pragma once
// The compiled grammar: a network of word nodes and null nodes joined by
// arcs, with one start and one end node. Its text layout is in
// docs/formats.md. Networks from the grammar compiler have null start and
// end nodes, no arc leaving the end, and no cycle made of null nodes only,
// so a search can pass through null nodes without looping forever.

#include <cstdint>
#include <string>
#include <vector>

namespace speech {

struct WordNetwork {
    struct Node {
        std::string word;  // empty for a null node
    };
    struct Arc {
        std::uint32_t from = 0;
        std::uint32_t to = 0;
    };
    std::vector<Node> nodes;
    std::vector<Arc> arcs;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

bool ReadWordNetwork(const std::string& path, WordNetwork& network, std::string& error);
bool WriteWordNetwork(const std::string& path, const WordNetwork& network, std::string& error);

// The nodes each node has an arc to; arcs to missing nodes are left out.
std::vector<std::vector<std::uint32_t>> OutgoingArcs(const WordNetwork& network);

// The null nodes of `network` in an order where every arc between two null
// nodes goes forward; false when null nodes form a cycle.
bool OrderNullNodes(const WordNetwork& network, const std::vector<std::vector<std::uint32_t>>& outgoing,
                    std::vector<std::uint32_t>& order);

// The one-word sentences of `network`: every path of three words (a word
// the network may start with, one word, a word after which it may end), each
// in its own branch: the network's first words are shared (branch 0), while
// every middle word is followed by its own copy of each last word (the
// middle word and its copies make one branch, `branchOfNode`), so that a
// search keeps every middle word's best path to the end apart. Paths naming
// the same three words are kept once. Null start and end nodes (branch 0);
// empty when the network has no such path (or null nodes form a cycle).
// Built in time proportional to the network's size plus the paths'.
WordNetwork OneWordSentences(const WordNetwork& network, std::vector<std::uint32_t>& branchOfNode);

}  // namespace speech
