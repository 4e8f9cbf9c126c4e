// Attribute bookkeeping shared by every highlighter.
#include "editor/highlighter.h"

#include <algorithm>

namespace qv {

HighlighterAttribute* Highlighter::attribute(std::string_view name) const {
  auto it = std::find_if(attributes_.begin(), attributes_.end(),
                         [&](const auto& a) { return a->name == name || a->storageName == name; });
  return it == attributes_.end() ? nullptr : it->get();
}

HighlighterAttribute* Highlighter::addAttribute(std::string name, std::string storageName, Color fg,
                                                Color bg, int style) {
  auto a = std::make_unique<HighlighterAttribute>();
  a->name = std::move(name);
  a->storageName = std::move(storageName);
  a->foreground = a->defaultForeground = fg;
  a->background = a->defaultBackground = bg;
  a->style = a->defaultStyle = style;
  attributes_.push_back(std::move(a));
  return attributes_.back().get();
}

}  // namespace qv
