// Commenting and uncommenting the caret line or the selection with the highlighter's markers.
#pragma once
#include <string>
#include <string_view>

#include "documents/editing_commands.h"

namespace qv {

// The first item of a blank-separated list of markers.
std::string FirstMarker(std::string_view list);

// Whether the context has a comment pair or a line comment to toggle with.
bool CanToggleComment(const EditingContext& ctx);

// Comments the subject when it does not begin with the marker, else uncomments it; one step.
// False when nothing could be done (no markers, locked).
bool ToggleComment(Editor& editor, const EditingContext& ctx);

}  // namespace qv
