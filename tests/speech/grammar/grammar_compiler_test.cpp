// Grammar notation to word network: what the networks accept, and the errors.

#include <set>
#include <sstream>

#include "grammar/grammar_compiler.h"
#include "grammar/word_network.h"
#include "speech/support/speech_test_support.h"

using namespace speech;
using namespace speech_test;

namespace {

// Nodes reachable from `from` through arcs whose targets are null nodes or
// word nodes; null nodes are passed through, word nodes collected. `end` is
// collected too when reached.
std::set<std::uint32_t> NextWordNodes(const WordNetwork& network, const std::set<std::uint32_t>& from) {
    std::set<std::uint32_t> found, visited;
    std::vector<std::uint32_t> stack(from.begin(), from.end());
    while (!stack.empty()) {
        const std::uint32_t node = stack.back();
        stack.pop_back();
        for (const auto& arc : network.arcs) {
            if (arc.from != node || !visited.insert(arc.to).second) continue;
            if (network.nodes[arc.to].word.empty() && arc.to != network.end) {
                stack.push_back(arc.to);
            } else {
                found.insert(arc.to);
            }
        }
    }
    return found;
}

bool Accepts(const WordNetwork& network, const std::string& sentence) {
    std::set<std::uint32_t> current = {network.start};
    std::istringstream words(sentence);
    std::string word;
    while (words >> word) {
        std::set<std::uint32_t> next;
        for (std::uint32_t node : NextWordNodes(network, current))
            if (network.nodes[node].word == word) next.insert(node);
        if (next.empty()) return false;
        current = next;
    }
    return NextWordNodes(network, current).count(network.end) != 0;
}

// The words of the network's nodes, each as often as it has a node.
std::multiset<std::string> WordsOf(const WordNetwork& network) {
    std::multiset<std::string> words;
    for (const auto& node : network.nodes)
        if (!node.word.empty()) words.insert(node.word);
    return words;
}

WordNetwork Compile(const std::string& grammar) {
    WordNetwork network;
    std::string error;
    EXPECT_TRUE(CompileGrammar(grammar, network, error)) << error;
    return network;
}

std::string CompileError(const std::string& grammar) {
    WordNetwork network;
    std::string error;
    EXPECT_FALSE(CompileGrammar(grammar, network, error)) << grammar;
    return error;
}

}  // namespace

TEST(GrammarCompiler, TheLoopGrammarTakesOneOrMoreWordsAndGivesOneWordSentences) {
    const WordNetwork network = Compile(ReadText(WorkedExample("loop_grammar.txt")));
    EXPECT_TRUE(network.nodes[network.start].word.empty());
    EXPECT_TRUE(network.nodes[network.end].word.empty());
    EXPECT_TRUE(Accepts(network, "!SENT_START YES !SENT_END"));
    EXPECT_TRUE(Accepts(network, "!SENT_START YES NO NO YES !SENT_END"));
    EXPECT_FALSE(Accepts(network, "!SENT_START !SENT_END"));
    EXPECT_FALSE(Accepts(network, "YES !SENT_END"));
    EXPECT_FALSE(Accepts(network, "!SENT_START YES"));
    EXPECT_FALSE(Accepts(network, "!SENT_START MAYBE !SENT_END"));
    // Each word appears once: the loop goes back through the network, not
    // through copies of the words.
    EXPECT_EQ(WordsOf(network), (std::multiset<std::string>{"!SENT_END", "!SENT_START", "NO", "YES"}));

    // Its one-word sentences give each word its own ending.
    std::vector<std::uint32_t> branches;
    const WordNetwork sentences = OneWordSentences(network, branches);
    EXPECT_TRUE(Accepts(sentences, "!SENT_START YES !SENT_END"));
    EXPECT_TRUE(Accepts(sentences, "!SENT_START NO !SENT_END"));
    EXPECT_FALSE(Accepts(sentences, "!SENT_START YES NO !SENT_END"));
    EXPECT_EQ(WordsOf(sentences), (std::multiset<std::string>{"!SENT_END", "!SENT_END", "!SENT_START", "NO", "YES"}));
    // Each word and its own ending make a branch, apart from the first word.
    for (const auto& arc : sentences.arcs)
        if (sentences.nodes[arc.to].word == "!SENT_END") {
            EXPECT_EQ(branches[arc.to], branches[arc.from]);
            EXPECT_NE(branches[arc.to], 0u);
        }
    EXPECT_EQ(std::set<std::uint32_t>(branches.begin(), branches.end()).size(), 3u);
    EXPECT_TRUE(OneWordSentences(Compile("( start end )"), branches).nodes.empty());
}

TEST(GrammarCompiler, NestedOperatorsReferencesAndAClosingExpression) {
    const WordNetwork network = Compile(
        "$digit = one | two | three;\n"
        "$number = < $digit > [ point { $digit } ];\n"
        "( start ( $number | none ) [ please ] end )\n");
    EXPECT_TRUE(Accepts(network, "start one end"));
    EXPECT_TRUE(Accepts(network, "start one two three point end"));
    EXPECT_TRUE(Accepts(network, "start three point two two please end"));
    EXPECT_TRUE(Accepts(network, "start none please end"));
    EXPECT_FALSE(Accepts(network, "start point two end"));
    EXPECT_FALSE(Accepts(network, "start none one end"));
    EXPECT_FALSE(Accepts(network, "start one please please end"));
    // Without a closing expression the last definition is the network; a
    // word may hold any character but blanks and the operators.
    const WordNetwork last = Compile("$a = x;\r\n$b = {$a} y-1.5!;");
    EXPECT_TRUE(Accepts(last, "y-1.5!"));
    EXPECT_TRUE(Accepts(last, "x x y-1.5!"));
    EXPECT_FALSE(Accepts(last, "x"));
}

TEST(GrammarCompiler, ErrorsNameTheLineAndColumn) {
    const std::pair<std::string, std::string> cases[] = {
        {"$g = !SENT_START < | YES > !SENT_END;", "line 1, column 20: empty alternative"},
        {"$g = a |;", "line 1, column 9: empty alternative"},
        {"$g = a\n  $missing b;", "line 2, column 3: undefined reference to $missing"},
        {"$g = a $g;", "line 1, column 8: recursive reference to $g"},
        {"$g = ( a b ;", "line 1, column 12: expected \")\""},
        {"$g = a b", "line 1, column 9: expected \";\""},
        {"$g = a; $g = b;", "line 1, column 9: $g is defined twice"},
        {"$g = { [ a ] } b;", "line 1, column 6: the body of a repetition can match nothing"},
        {"$g = [ a ];", "line 1, column 6: the grammar accepts an utterance without any word"},
        {"$ = a;", "line 1, column 1: \"$\" must be followed by a name"},
        {"a ) b", "line 1, column 3: expected the end of the grammar"},
        {"  \n ", "line 2, column 2: the grammar is empty"},
        {"$g = a = b;", "line 1, column 8"},
    };
    for (const auto& [grammar, expected] : cases) {
        const std::string error = CompileError(grammar);
        EXPECT_EQ(error.rfind(expected, 0), 0u) << grammar << "\n  gave: " << error;
    }
}

TEST(GrammarCompiler, HostileGrammarsFailCleanly) {
    EXPECT_NE(CompileError(std::string(100000, '(') + "a").find("nested too deeply"), std::string::npos);
    std::string doubling = "$a0 = x;\n";
    for (int i = 1; i <= 40; ++i)
        doubling += "$a" + std::to_string(i) + " = $a" + std::to_string(i - 1) + " $a" + std::to_string(i - 1) + ";\n";
    EXPECT_NE(CompileError(doubling).find("more than"), std::string::npos);
    std::string chain = "$a0 = x;\n";
    for (int i = 1; i <= 5000; ++i) chain += "$a" + std::to_string(i) + " = $a" + std::to_string(i - 1) + ";\n";
    EXPECT_NE(CompileError(chain).find("nested too deeply"), std::string::npos);
}
