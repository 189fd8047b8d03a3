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

// The word nodes reached from `node` through null nodes only, ascending, and
// whether the end node is reached that way: the words that may follow it.
struct WordSuccessors {
    std::vector<std::uint32_t> words;
    bool reachesEnd = false;
};
WordSuccessors FollowingWords(const WordNetwork& network, const std::vector<std::vector<std::uint32_t>>& outgoing,
                              std::uint32_t node);

}  // namespace speech
