#pragma once
// The grammar notation compiled into word networks:
//   $name = expression ;      a definition, usable as $name after it
//   expression [;]            optional closing expression: the network
// Without a closing expression the last definition is the network.
// Expressions: words, $name references, sequences, a | b alternatives,
// ( ) grouping, [ ] optional, { } zero or more, < > one or more.

#include <string>
#include <string_view>

#include "grammar/word_network.h"

namespace speech {

// Compiles `text`. False with `error` naming line and column on a syntax
// error, an undefined or recursive reference, an empty alternative, a loop
// whose body could match nothing, or a grammar that accepts no word at all.
// The network's start and end are null nodes; every other node is a word.
bool CompileGrammar(std::string_view text, WordNetwork& network, std::string& error);

}  // namespace speech
