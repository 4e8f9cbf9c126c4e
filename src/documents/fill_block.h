// Filling a column block with a repeated text.
#pragma once
#include <optional>
#include <string>

#include "documents/editing_commands.h"

namespace qv {

// The longest fill text a macro stores with the command.
inline constexpr std::size_t kMaxRecordedFillText = 255;

// Fills the column block with `fill` repeated and cut to the block's width, as one step; the
// column mode, block and caret stay. Nothing outside column mode, without a selection, in a
// locked document or for an empty text.
bool FillBlock(Editor& editor, std::string_view fill, const EditingContext& ctx);

// Asks for the fill text (nullopt when cancelled or empty).
std::optional<std::string> AskFillText(const EditingContext& ctx);

}  // namespace qv
