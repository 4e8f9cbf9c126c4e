// The Tcl/Tk highlighter's keyword list, which the user may change and the settings store keeps.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "editor/highlighter.h"

namespace qv::lang {

// The reserved words of a Tcl/Tk highlighter, one per line in their order; nothing for any
// other highlighter.
std::optional<std::string> TclHighlighterKeyWords(const Highlighter& h);

// Replaces the reserved words of a Tcl/Tk highlighter; words are separated by line breaks or
// blanks. False (and nothing changed) for any other highlighter.
bool SetTclHighlighterKeyWords(Highlighter& h, std::string_view words);

}  // namespace qv::lang
