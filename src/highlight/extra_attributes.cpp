// Extra colour roles and case-blind attribute lookup shared by all highlighters.
#include "highlight/extra_attributes.h"

namespace qv {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

void AddExtraAttributes(Highlighter& highlighter, bool withMatchedBraces) {
  highlighter.addAttribute(std::string(kSelectionAttr), "Selection", kClHighlightText, kClHighlight);
  highlighter.addAttribute(std::string(kRightEdgeAttr), "RightEdge", Rgb(0xC0, 0xC0, 0xC0), kClNone);
  highlighter.addAttribute(std::string(kCurrentLineAttr), "CurrentLine", Rgb(0, 0, 0),
                           Rgb(0xFF, 0xFF, 0));
  if (withMatchedBraces)
    highlighter.addAttribute(std::string(kMatchedBracesAttr), "MatchedBraces", Rgb(0xFF, 0, 0),
                             kClWindow);
}

HighlighterAttribute* FindAttributeNoCase(const Highlighter& highlighter, std::string_view name) {
  const auto& attrs = highlighter.attributes();
  for (const auto& a : attrs)
    if (EqualsIgnoringCase(a->name, name)) return a.get();
  return attrs.empty() ? nullptr : attrs.front().get();
}

}  // namespace qv
