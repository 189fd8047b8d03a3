#include "grammar/grammar_compiler.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace speech {
namespace {

// Limits that keep a hostile grammar from exhausting the stack or memory.
constexpr int kMaxNesting = 200;
constexpr std::size_t kMaxNodes = 100000;
// Building recurses through expressions and the definitions they use.
constexpr std::size_t kMaxDepth = 1000;

constexpr std::string_view kSymbols = "|()[]{}<>;=$";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool IsWordChar(char c) { return !IsBlank(c) && kSymbols.find(c) == std::string_view::npos; }

struct Token {
    enum Kind { kWord, kReference, kSymbol, kEnd } kind = kEnd;
    std::string text;  // the word, the reference's name, or the symbol
    int line = 1;
    int column = 1;
};

std::string At(int line, int column) {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

bool Tokenise(std::string_view text, std::vector<Token>& tokens, std::string& error) {
    int line = 1;
    int column = 1;
    std::size_t i = 0;
    const auto advance = [&] {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
        ++i;
    };
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            advance();
            continue;
        }
        Token token;
        token.line = line;
        token.column = column;
        if (text[i] == '$') {
            advance();
            while (i < text.size() && IsWordChar(text[i])) {
                token.text += text[i];
                advance();
            }
            if (token.text.empty()) {
                error = At(token.line, token.column) + "\"$\" must be followed by a name";
                return false;
            }
            token.kind = Token::kReference;
        } else if (IsWordChar(text[i])) {
            while (i < text.size() && IsWordChar(text[i])) {
                token.text += text[i];
                advance();
            }
            token.kind = Token::kWord;
        } else {
            token.text = std::string(1, text[i]);
            token.kind = Token::kSymbol;
            advance();
        }
        tokens.push_back(std::move(token));
    }
    Token end;
    end.line = line;
    end.column = column;
    tokens.push_back(end);
    return true;
}

// Parsed expressions, kept in one pool and referred to by index.
struct Expression {
    enum Kind { kWord, kReference, kSequence, kAlternatives, kOptional, kZeroOrMore, kOneOrMore } kind = kWord;
    std::string word;
    std::size_t definition = 0;  // for kReference
    std::vector<std::size_t> parts;
    int line = 1;
    int column = 1;
};

class Parser {
public:
    explicit Parser(const std::vector<Token>& tokens) : tokens_(tokens) {}

    // On success `root` is the expression that forms the network.
    bool ParseGrammar(std::vector<Expression>& pool, std::size_t& root, std::string& error);

private:
    const Token& Peek(std::size_t ahead = 0) const { return tokens_[std::min(position_ + ahead, tokens_.size() - 1)]; }
    bool IsSymbol(std::string_view symbol, std::size_t ahead = 0) const {
        return Peek(ahead).kind == Token::kSymbol && Peek(ahead).text == symbol;
    }
    bool Fail(const Token& token, const std::string& message, std::string& error) const {
        error = At(token.line, token.column) + message;
        return false;
    }
    std::string Describe(const Token& token) const {
        return token.kind == Token::kEnd ? "the end of the grammar" : "\"" + token.text + "\"";
    }
    bool ParseAlternatives(std::size_t& result, int depth, std::string& error);
    bool ParseSequence(std::size_t& result, int depth, std::string& error);
    bool ParseItem(std::size_t& result, int depth, std::string& error);

    const std::vector<Token>& tokens_;
    std::size_t position_ = 0;
    std::vector<Expression>* pool_ = nullptr;
    std::map<std::string, std::size_t> definitions_;  // name -> root expression
    std::string defining_;
};

bool Parser::ParseGrammar(std::vector<Expression>& pool, std::size_t& root, std::string& error) {
    pool_ = &pool;
    bool haveRoot = false;
    while (Peek().kind == Token::kReference && IsSymbol("=", 1)) {
        const Token& name = Peek();
        if (definitions_.count(name.text) != 0) return Fail(name, "$" + name.text + " is defined twice", error);
        position_ += 2;
        defining_ = name.text;
        std::size_t expression = 0;
        if (!ParseAlternatives(expression, 0, error)) return false;
        if (!IsSymbol(";")) return Fail(Peek(), "expected \";\", found " + Describe(Peek()), error);
        ++position_;
        defining_.clear();
        definitions_[name.text] = expression;
        root = expression;
        haveRoot = true;
    }
    if (Peek().kind != Token::kEnd) {
        if (!ParseAlternatives(root, 0, error)) return false;
        haveRoot = true;
        if (IsSymbol(";")) ++position_;
        if (Peek().kind != Token::kEnd)
            return Fail(Peek(), "expected the end of the grammar, found " + Describe(Peek()), error);
    }
    if (!haveRoot) return Fail(Peek(), "the grammar is empty", error);
    return true;
}

bool Parser::ParseAlternatives(std::size_t& result, int depth, std::string& error) {
    if (depth > kMaxNesting) return Fail(Peek(), "brackets nested too deeply", error);
    Expression alternatives;
    alternatives.kind = Expression::kAlternatives;
    alternatives.line = Peek().line;
    alternatives.column = Peek().column;
    while (true) {
        std::size_t sequence = 0;
        if (!ParseSequence(sequence, depth, error)) return false;
        alternatives.parts.push_back(sequence);
        if (!IsSymbol("|")) break;
        ++position_;
    }
    if (alternatives.parts.size() == 1) {
        result = alternatives.parts.front();
        return true;
    }
    result = pool_->size();
    pool_->push_back(std::move(alternatives));
    return true;
}

bool Parser::ParseSequence(std::size_t& result, int depth, std::string& error) {
    Expression sequence;
    sequence.kind = Expression::kSequence;
    sequence.line = Peek().line;
    sequence.column = Peek().column;
    while (Peek().kind == Token::kWord || Peek().kind == Token::kReference || IsSymbol("(") || IsSymbol("[") ||
           IsSymbol("{") || IsSymbol("<")) {
        std::size_t item = 0;
        if (!ParseItem(item, depth, error)) return false;
        sequence.parts.push_back(item);
    }
    if (sequence.parts.empty()) {
        const bool emptyAlternative =
            IsSymbol("|") || IsSymbol(")") || IsSymbol("]") || IsSymbol("}") || IsSymbol(">") || IsSymbol(";");
        return Fail(Peek(),
                    emptyAlternative ? "empty alternative before " + Describe(Peek())
                                     : "expected a word, \"$name\" or a bracket, found " + Describe(Peek()),
                    error);
    }
    if (sequence.parts.size() == 1) {
        result = sequence.parts.front();
        return true;
    }
    result = pool_->size();
    pool_->push_back(std::move(sequence));
    return true;
}

bool Parser::ParseItem(std::size_t& result, int depth, std::string& error) {
    const Token& token = Peek();
    Expression item;
    item.line = token.line;
    item.column = token.column;
    if (token.kind == Token::kWord) {
        item.kind = Expression::kWord;
        item.word = token.text;
        ++position_;
    } else if (token.kind == Token::kReference) {
        if (token.text == defining_) return Fail(token, "recursive reference to $" + token.text, error);
        const auto found = definitions_.find(token.text);
        if (found == definitions_.end()) return Fail(token, "undefined reference to $" + token.text, error);
        item.kind = Expression::kReference;
        item.definition = found->second;
        ++position_;
    } else {
        static const std::map<std::string, std::pair<std::string, Expression::Kind>> brackets = {
            {"(", {")", Expression::kSequence}},
            {"[", {"]", Expression::kOptional}},
            {"{", {"}", Expression::kZeroOrMore}},
            {"<", {">", Expression::kOneOrMore}}};
        const auto& [closing, kind] = brackets.at(token.text);
        ++position_;
        std::size_t inner = 0;
        if (!ParseAlternatives(inner, depth + 1, error)) return false;
        if (!IsSymbol(closing)) return Fail(Peek(), "expected \"" + closing + "\", found " + Describe(Peek()), error);
        ++position_;
        if (kind == Expression::kSequence) {
            result = inner;
            return true;
        }
        item.kind = kind;
        item.parts.push_back(inner);
    }
    result = pool_->size();
    pool_->push_back(std::move(item));
    return true;
}

// Parts and referenced definitions always come before the expressions that
// use them in the pool, so one forward pass can work out, for every
// expression, whether it can match no word at all and how deeply building it
// recurses.
struct ExpressionFacts {
    std::vector<bool> canBeEmpty;
    std::vector<std::size_t> depth;
};

ExpressionFacts Examine(const std::vector<Expression>& pool) {
    ExpressionFacts facts;
    facts.canBeEmpty.resize(pool.size());
    facts.depth.resize(pool.size());
    for (std::size_t i = 0; i < pool.size(); ++i) {
        const Expression& expression = pool[i];
        std::size_t deepest = 0;
        bool allEmpty = true;
        bool anyEmpty = false;
        for (std::size_t part : expression.parts) {
            deepest = std::max(deepest, facts.depth[part]);
            allEmpty = allEmpty && facts.canBeEmpty[part];
            anyEmpty = anyEmpty || facts.canBeEmpty[part];
        }
        switch (expression.kind) {
            case Expression::kWord:
                facts.canBeEmpty[i] = false;
                break;
            case Expression::kReference:
                facts.canBeEmpty[i] = facts.canBeEmpty[expression.definition];
                deepest = facts.depth[expression.definition];
                break;
            case Expression::kSequence:
            case Expression::kOneOrMore:
                facts.canBeEmpty[i] = allEmpty;
                break;
            case Expression::kAlternatives:
                facts.canBeEmpty[i] = anyEmpty;
                break;
            case Expression::kOptional:
            case Expression::kZeroOrMore:
                facts.canBeEmpty[i] = true;
                break;
        }
        facts.depth[i] = deepest + 1;
    }
    return facts;
}

bool CheckExpressions(const std::vector<Expression>& pool, std::size_t root, std::string& error) {
    const ExpressionFacts facts = Examine(pool);
    for (std::size_t i = 0; i < pool.size(); ++i) {
        const Expression& expression = pool[i];
        if (facts.depth[i] > kMaxDepth) {
            error = At(expression.line, expression.column) + "definitions nested too deeply";
            return false;
        }
        // A loop whose body can match nothing would put a cycle of null
        // nodes into the network, which no search can walk to an end.
        const bool loop = expression.kind == Expression::kZeroOrMore || expression.kind == Expression::kOneOrMore;
        if (loop && facts.canBeEmpty[expression.parts.front()]) {
            error = At(expression.line, expression.column) + "the body of a repetition can match nothing";
            return false;
        }
    }
    if (facts.canBeEmpty[root]) {
        error = At(pool[root].line, pool[root].column) + "the grammar accepts an utterance without any word";
        return false;
    }
    return true;
}

// Builds the network, null nodes joining the pieces, then removes every null
// node that only passes through to one neighbour.
class NetworkBuilder {
public:
    explicit NetworkBuilder(const std::vector<Expression>& pool) : pool_(pool) {}

    bool Build(std::size_t root, WordNetwork& network, std::string& error);

private:
    struct Piece {
        std::uint32_t in = 0;
        std::uint32_t out = 0;
    };
    bool AddNode(const std::string& word, std::uint32_t& node);
    void Join(std::uint32_t from, std::uint32_t to) {
        successors_[from].insert(to);
        predecessors_[to].insert(from);
    }
    bool Instantiate(std::size_t index, Piece& piece);
    void RemovePassThroughNulls(std::uint32_t start, std::uint32_t end);

    const std::vector<Expression>& pool_;
    std::vector<std::string> words_;
    std::vector<std::set<std::uint32_t>> successors_;
    std::vector<std::set<std::uint32_t>> predecessors_;
    std::vector<bool> removed_;
};

bool NetworkBuilder::AddNode(const std::string& word, std::uint32_t& node) {
    if (words_.size() >= kMaxNodes) return false;
    node = static_cast<std::uint32_t>(words_.size());
    words_.push_back(word);
    successors_.emplace_back();
    predecessors_.emplace_back();
    return true;
}

bool NetworkBuilder::Instantiate(std::size_t index, Piece& piece) {
    const Expression& expression = pool_[index];
    switch (expression.kind) {
        case Expression::kWord:
            if (!AddNode(expression.word, piece.in)) return false;
            piece.out = piece.in;
            return true;
        case Expression::kReference:
            return Instantiate(expression.definition, piece);
        case Expression::kSequence: {
            Piece previous;
            for (std::size_t i = 0; i < expression.parts.size(); ++i) {
                Piece part;
                if (!Instantiate(expression.parts[i], part)) return false;
                if (i == 0) {
                    piece.in = part.in;
                } else {
                    Join(previous.out, part.in);
                }
                previous = part;
            }
            piece.out = previous.out;
            return true;
        }
        default:
            break;
    }
    if (!AddNode("", piece.in) || !AddNode("", piece.out)) return false;
    for (std::size_t part : expression.parts) {
        Piece inner;
        if (!Instantiate(part, inner)) return false;
        Join(piece.in, inner.in);
        Join(inner.out, piece.out);
        if (expression.kind == Expression::kZeroOrMore || expression.kind == Expression::kOneOrMore)
            Join(inner.out, inner.in);
    }
    if (expression.kind == Expression::kOptional || expression.kind == Expression::kZeroOrMore)
        Join(piece.in, piece.out);
    return true;
}

void NetworkBuilder::RemovePassThroughNulls(std::uint32_t start, std::uint32_t end) {
    removed_.assign(words_.size(), false);
    bool changed = true;
    while (changed) {
        changed = false;
        for (std::uint32_t node = 0; node < words_.size(); ++node) {
            if (removed_[node] || !words_[node].empty() || node == start || node == end) continue;
            auto& out = successors_[node];
            auto& in = predecessors_[node];
            if (out.size() != 1 && in.size() != 1) continue;
            for (std::uint32_t from : in) successors_[from].erase(node);
            for (std::uint32_t to : out) predecessors_[to].erase(node);
            for (std::uint32_t from : in)
                for (std::uint32_t to : out) Join(from, to);
            in.clear();
            out.clear();
            removed_[node] = true;
            changed = true;
        }
    }
}

bool NetworkBuilder::Build(std::size_t root, WordNetwork& network, std::string& error) {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    Piece body;
    if (!AddNode("", start) || !AddNode("", end) || !Instantiate(root, body)) {
        error = "the grammar expands to more than " + std::to_string(kMaxNodes) + " nodes";
        return false;
    }
    Join(start, body.in);
    Join(body.out, end);
    RemovePassThroughNulls(start, end);

    std::vector<std::uint32_t> renumbered(words_.size());
    network = WordNetwork{};
    for (std::uint32_t node = 0; node < words_.size(); ++node) {
        if (removed_[node]) continue;
        renumbered[node] = static_cast<std::uint32_t>(network.nodes.size());
        network.nodes.push_back({words_[node]});
    }
    for (std::uint32_t node = 0; node < words_.size(); ++node)
        for (std::uint32_t to : successors_[node]) network.arcs.push_back({renumbered[node], renumbered[to]});
    network.start = renumbered[start];
    network.end = renumbered[end];
    return true;
}

}  // namespace

bool CompileGrammar(std::string_view text, WordNetwork& network, std::string& error) {
    std::vector<Token> tokens;
    if (!Tokenise(text, tokens, error)) return false;
    std::vector<Expression> pool;
    std::size_t root = 0;
    if (!Parser(tokens).ParseGrammar(pool, root, error) || !CheckExpressions(pool, root, error)) return false;
    return NetworkBuilder(pool).Build(root, network, error);
}

}  // namespace speech
