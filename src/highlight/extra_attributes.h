// The colour roles every highlighter carries besides its token attributes: selection, right
// edge, current line and matched braces.
#pragma once
#include <string_view>

#include "editor/highlighter.h"

namespace qv {

inline constexpr std::string_view kSelectionAttr = "Selection";
inline constexpr std::string_view kRightEdgeAttr = "Right edge";
inline constexpr std::string_view kCurrentLineAttr = "Current Line";
inline constexpr std::string_view kMatchedBracesAttr = "Matched braces";

// Adds the extra attributes with their built-in colours (plain text has no brace matching).
void AddExtraAttributes(Highlighter& highlighter, bool withMatchedBraces = true);

// The attribute with this name, compared without regard to case; the first attribute when there
// is none by that name (nullptr only for a highlighter without attributes).
HighlighterAttribute* FindAttributeNoCase(const Highlighter& highlighter, std::string_view name);

// True when the two names are equal without regard to ASCII case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace qv
