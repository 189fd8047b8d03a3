// The grammar compiler, on grammar text as "loop_grammar.txt" holds it; a
// network it compiles is written and read back unchanged.

#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "grammar/grammar_compiler.h"

namespace {

bool SameNetwork(const speech::WordNetwork& a, const speech::WordNetwork& b) {
    if (a.start != b.start || a.end != b.end || a.nodes.size() != b.nodes.size() || a.arcs.size() != b.arcs.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.nodes.size(); ++i) {
        if (a.nodes[i].word != b.nodes[i].word) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.arcs.size(); ++i) {
        if (a.arcs[i].from != b.arcs[i].from || a.arcs[i].to != b.arcs[i].to) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterScratchFolder();
    speech::WordNetwork network;
    std::string error;
    if (!speech::CompileGrammar(std::string_view(reinterpret_cast<const char*>(data), size), network, error)) {
        return 0;
    }
    speech::WordNetwork reread;
    if (!speech::WriteWordNetwork("network.lat", network, error) ||
        !speech::ReadWordNetwork("network.lat", reread, error) || !SameNetwork(network, reread)) {
        std::abort();
    }
    return 0;
}
