#include "grammar/word_network.h"

#include <algorithm>

#include "common/format_io.h"
#include "common/tool_support.h"

namespace speech {
namespace {

constexpr std::uint32_t kVersion = 1;

bool CheckNetwork(const std::string& path, const WordNetwork& network, std::string& error) {
    const std::size_t count = network.nodes.size();
    if (network.start >= count || network.end >= count) {
        error = path + ": start or end node is not in the network";
        return false;
    }
    for (const WordNetwork::Node& node : network.nodes) {
        if (node.word.find_first_of(" \t\r\n") != std::string::npos) {
            error = path + ": word \"" + node.word + "\" holds a blank";
            return false;
        }
    }
    for (const WordNetwork::Arc& arc : network.arcs) {
        if (arc.from >= count || arc.to >= count) {
            error = path + ": arc " + std::to_string(arc.from) + " -> " + std::to_string(arc.to) +
                    " joins a node that is not in the network";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadWordNetwork(const std::string& path, WordNetwork& network, std::string& error) {
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) return false;
    network = WordNetwork{};
    TokenReader reader(contents, path);
    std::uint32_t version = 0;
    std::uint32_t nodes = 0;
    std::uint32_t arcs = 0;
    if (!reader.Expect("network", error) || !reader.ReadUnsigned(version, error)) return false;
    if (version != kVersion) {
        error = reader.Problem("unsupported network version " + std::to_string(version));
        return false;
    }
    if (!reader.Expect("nodes", error) || !reader.ReadUnsigned(nodes, error) || !reader.Expect("arcs", error) ||
        !reader.ReadUnsigned(arcs, error) || !reader.Expect("start", error) ||
        !reader.ReadUnsigned(network.start, error) || !reader.Expect("end", error) ||
        !reader.ReadUnsigned(network.end, error))
        return false;
    // Every node line and arc line takes more than eight characters.
    if (nodes > reader.Remaining() / 8 || arcs > reader.Remaining() / 8) {
        error = reader.Problem("file too short for " + std::to_string(nodes) + " nodes and " + std::to_string(arcs) +
                               " arcs");
        return false;
    }
    network.nodes.resize(nodes);
    for (std::uint32_t i = 0; i < nodes; ++i) {
        std::uint32_t index = 0;
        std::string kind;
        if (!reader.Expect("node", error) || !reader.ReadUnsigned(index, error)) return false;
        if (index != i) {
            error = reader.Problem("expected node " + std::to_string(i) + ", found " + std::to_string(index));
            return false;
        }
        if (!reader.ReadWord(kind, error)) return false;
        if (kind == "word") {
            if (!reader.ReadWord(network.nodes[i].word, error)) return false;
        } else if (kind != "null") {
            error = reader.Problem("expected \"word\" or \"null\", found \"" + kind + "\"");
            return false;
        }
    }
    network.arcs.resize(arcs);
    for (WordNetwork::Arc& arc : network.arcs) {
        if (!reader.Expect("arc", error) || !reader.ReadUnsigned(arc.from, error) ||
            !reader.ReadUnsigned(arc.to, error))
            return false;
    }
    if (!reader.AtEnd()) {
        error = reader.Problem("unexpected text after the last arc");
        return false;
    }
    if (!CheckNetwork(path, network, error)) {
        network = WordNetwork{};
        return false;
    }
    return true;
}

bool WriteWordNetwork(const std::string& path, const WordNetwork& network, std::string& error) {
    if (!CheckNetwork(path, network, error)) {
        error += ", nothing written";
        return false;
    }
    std::string text = "network " + std::to_string(kVersion) + "\nnodes " + std::to_string(network.nodes.size()) +
                       "\narcs " + std::to_string(network.arcs.size()) + "\nstart " + std::to_string(network.start) +
                       "\nend " + std::to_string(network.end) + "\n";
    for (std::size_t i = 0; i < network.nodes.size(); ++i) {
        const std::string& word = network.nodes[i].word;
        text += "node " + std::to_string(i) + (word.empty() ? " null" : " word " + word) + "\n";
    }
    for (const WordNetwork::Arc& arc : network.arcs)
        text += "arc " + std::to_string(arc.from) + " " + std::to_string(arc.to) + "\n";
    return WriteFileAtomically(path, text, error);
}

std::vector<std::vector<std::uint32_t>> OutgoingArcs(const WordNetwork& network) {
    std::vector<std::vector<std::uint32_t>> outgoing(network.nodes.size());
    for (const auto& arc : network.arcs)
        if (arc.from < network.nodes.size() && arc.to < network.nodes.size()) outgoing[arc.from].push_back(arc.to);
    return outgoing;
}

WordSuccessors FollowingWords(const WordNetwork& network, const std::vector<std::vector<std::uint32_t>>& outgoing,
                              std::uint32_t node) {
    WordSuccessors successors;
    std::vector<bool> seen(network.nodes.size(), false);
    std::vector<std::uint32_t> stack(outgoing[node].begin(), outgoing[node].end());
    while (!stack.empty()) {
        const std::uint32_t next = stack.back();
        stack.pop_back();
        if (seen[next]) continue;
        seen[next] = true;
        if (!network.nodes[next].word.empty()) {
            successors.words.push_back(next);
            continue;
        }
        if (next == network.end) successors.reachesEnd = true;
        stack.insert(stack.end(), outgoing[next].begin(), outgoing[next].end());
    }
    std::sort(successors.words.begin(), successors.words.end());
    return successors;
}

}  // namespace speech
