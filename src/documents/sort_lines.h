// Sorting the selected lines, by whole lines or by the pieces of a column selection.
#pragma once
#include <string>
#include <vector>

#include "documents/editing_commands.h"

namespace qv {

// Orders lines ignoring letter case; lines equal but for case keep their order.
void SortIgnoringCase(std::vector<std::string>& lines);

// Sorts the lines the selection touches as one step and restores the selection and caret.
// Nothing without a selection or in a locked document.
void SortLines(Editor& editor, const EditingContext& ctx);

}  // namespace qv
