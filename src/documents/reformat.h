// Reformatting a paragraph to the right margin.
#pragma once
#include <string>
#include <string_view>

#include "documents/editing_commands.h"

namespace qv {

// Joins the lines of text and breaks them again after word delimiters: the first line at most
// rightEdge wide, the others rightEdge - indent wide and indented by indent blanks. A word
// longer than the width stays whole. Lines are joined with CR LF.
std::string ReformatText(std::string_view text, int rightEdge, int indent);

// The caret line and the lines below it up to the first empty line, reformatted as one step.
void ReformatParagraph(Editor& editor, const EditingContext& ctx);

}  // namespace qv
