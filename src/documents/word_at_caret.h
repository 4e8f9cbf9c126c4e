// The word delimiters shared by the typing aids, and the word at the caret.
#pragma once
#include <string>
#include <string_view>

#include "editor/editor.h"

namespace qv {

// Blank, TAB and the punctuation that ends a word: " @.,:;()[]{}<>=&$#%*/\+-!|'
inline constexpr std::string_view kWordDelimiters = " \"@.,:;()[]{}<>=&$#%*/\\+-!|'\t";

constexpr bool IsWordDelimiter(char c) { return kWordDelimiters.find(c) != std::string_view::npos; }

// The word touching the caret: the caret inside it, right after its last character, or right
// before its first when a delimiter precedes. With select, a non-empty word becomes the selection.
std::string WordAtCaret(Editor& editor, bool select = false);

}  // namespace qv
