#include "grammar/word_network.h"

#include <algorithm>
#include <set>

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

bool OrderNullNodes(const WordNetwork& network, const std::vector<std::vector<std::uint32_t>>& outgoing,
                    std::vector<std::uint32_t>& order) {
    order.clear();
    std::vector<std::uint32_t> incoming(network.nodes.size(), 0);
    std::vector<std::uint32_t> ready;
    std::size_t nullCount = 0;
    for (std::uint32_t n = 0; n < network.nodes.size(); ++n) {
        if (!network.nodes[n].word.empty()) continue;
        ++nullCount;
        for (const auto next : outgoing[n])
            if (network.nodes[next].word.empty()) ++incoming[next];
    }
    for (std::uint32_t n = 0; n < network.nodes.size(); ++n)
        if (network.nodes[n].word.empty() && incoming[n] == 0) ready.push_back(n);
    while (!ready.empty()) {
        const std::uint32_t n = ready.back();
        ready.pop_back();
        order.push_back(n);
        for (const auto next : outgoing[n])
            if (network.nodes[next].word.empty() && --incoming[next] == 0) ready.push_back(next);
    }
    return order.size() == nullCount;
}

WordNetwork OneWordSentences(const WordNetwork& network, std::vector<std::uint32_t>& branchOfNode) {
    WordNetwork sentences;
    branchOfNode.clear();
    const std::size_t count = network.nodes.size();
    if (network.start >= count || network.end >= count) return sentences;
    const auto outgoing = OutgoingArcs(network);
    std::vector<std::uint32_t> nullOrder;
    if (!OrderNullNodes(network, outgoing, nullOrder)) return sentences;
    auto isWord = [&](std::uint32_t n) { return !network.nodes[n].word.empty(); };

    // The words after which the network may end, reached from each null node
    // through null nodes only (latest null nodes first, so that every null
    // node's successors are known before it).
    std::vector<bool> endsAt(count, false);
    std::vector<std::vector<std::uint32_t>> lastWordsVia(count);
    auto lastWordsAfter = [&](std::uint32_t node) {
        std::vector<std::uint32_t> found;
        for (const auto next : outgoing[node]) {
            if (!isWord(next)) {
                found.insert(found.end(), lastWordsVia[next].begin(), lastWordsVia[next].end());
            } else if (endsAt[next]) {
                found.push_back(next);
            }
        }
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        return found;
    };
    std::vector<bool> nullReachesEnd(count, false);
    for (auto n = nullOrder.rbegin(); n != nullOrder.rend(); ++n) {
        nullReachesEnd[*n] = *n == network.end;
        for (const auto next : outgoing[*n])
            nullReachesEnd[*n] = nullReachesEnd[*n] || (!isWord(next) && nullReachesEnd[next]);
    }
    for (std::uint32_t n = 0; n < count; ++n) {
        if (!isWord(n)) continue;
        endsAt[n] = n == network.end;
        for (const auto next : outgoing[n]) endsAt[n] = endsAt[n] || (!isWord(next) && nullReachesEnd[next]);
    }
    for (auto n = nullOrder.rbegin(); n != nullOrder.rend(); ++n) lastWordsVia[*n] = lastWordsAfter(*n);

    // The words reached from `node` through null nodes only, ascending.
    std::vector<bool> seen(count, false);
    auto wordsAfter = [&](std::uint32_t node) {
        std::vector<std::uint32_t> words, visited, stack(outgoing[node].begin(), outgoing[node].end());
        while (!stack.empty()) {
            const std::uint32_t next = stack.back();
            stack.pop_back();
            if (seen[next]) continue;
            seen[next] = true;
            visited.push_back(next);
            if (isWord(next)) {
                words.push_back(next);
            } else {
                stack.insert(stack.end(), outgoing[next].begin(), outgoing[next].end());
            }
        }
        for (const auto n : visited) seen[n] = false;
        std::sort(words.begin(), words.end());
        return words;
    };

    const std::vector<std::uint32_t> firstWords =
        isWord(network.start) ? std::vector<std::uint32_t>{network.start} : wordsAfter(network.start);
    sentences.nodes = {{""}, {""}};
    branchOfNode = {0, 0};
    sentences.start = 0;
    sentences.end = 1;
    std::uint32_t branches = 1;
    auto addNode = [&](std::uint32_t original, std::uint32_t from, std::uint32_t branch) {
        sentences.nodes.push_back({network.nodes[original].word});
        branchOfNode.push_back(branch);
        const auto added = std::uint32_t(sentences.nodes.size() - 1);
        sentences.arcs.push_back({from, added});
        return added;
    };
    std::set<std::vector<std::string>> done;
    for (const auto first : firstWords) {
        std::uint32_t firstCopy = 0;
        for (const auto middle : wordsAfter(first)) {
            std::uint32_t middleCopy = 0;
            for (const auto last : lastWordsAfter(middle)) {
                if (!done.insert({network.nodes[first].word, network.nodes[middle].word, network.nodes[last].word})
                         .second)
                    continue;
                if (firstCopy == 0) firstCopy = addNode(first, sentences.start, 0);
                if (middleCopy == 0) middleCopy = addNode(middle, firstCopy, branches++);
                sentences.arcs.push_back({addNode(last, middleCopy, branchOfNode[middleCopy]), sentences.end});
            }
        }
    }
    if (sentences.arcs.empty()) {
        branchOfNode.clear();
        return WordNetwork{};
    }
    return sentences;
}

}  // namespace speech
