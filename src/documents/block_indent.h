// Typing aids for block languages: indenting after a block opener, unindenting a block closer
// as it is typed, and wrapping at the right margin.
#pragma once
#include <optional>
#include <string>

#include "documents/editing_commands.h"

namespace qv {

// Whether the highlighter asks for block indentation (switch on, both block strings set).
bool BlockIndentApplies(const EditingContext& ctx);

// After a line break: a line below one ending with the block begin gets that line's indent
// plus one block indent (none when the new line is the block end). True when it acted.
bool BlockAutoIndent(Editor& editor, const EditingContext& ctx);

// A new text for one line and where the caret goes in it.
struct LineRewrite {
  int line = 1;
  std::string text;
  int caretColumn = 1;
};

// What BlockEndUnindent would do, without doing it.
std::optional<LineRewrite> PlanBlockEndUnindent(const Editor& editor, char typed, const EditingContext& ctx);

// Before `typed` goes in (0 for a line break): a caret line holding just the block end is
// aligned with the line that opened the innermost open block. True when it acted.
bool BlockEndUnindent(Editor& editor, char typed, const EditingContext& ctx);

// After a typed character: past the right margin (when shown), the text after the last word
// delimiter moves to a new line. True when it acted.
bool WrapAtRightMargin(Editor& editor, const EditingContext& ctx);

}  // namespace qv
