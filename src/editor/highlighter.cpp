// Attribute bookkeeping shared by every highlighter.
#include "editor/highlighter.h"

#include <algorithm>
#include <cctype>

namespace qv {

namespace {
bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}
}  // namespace

// Attribute names are looked up without regard to case, as settings and definition files store them.
HighlighterAttribute* Highlighter::attribute(std::string_view name) const {
  auto it = std::find_if(attributes_.begin(), attributes_.end(), [&](const auto& a) {
    return SameText(a->name, name) || SameText(a->storageName, name);
  });
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
