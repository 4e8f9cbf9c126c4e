// Choosing a find engine.
#include "editor/search_engine.h"

#include "editor/search_plain.h"
#include "editor/search_regex.h"

namespace qv {

std::unique_ptr<SearchEngine> MakeSearchEngine(bool regex) {
  if (regex) return std::make_unique<RegexSearch>();
  return std::make_unique<PlainSearch>();
}

}  // namespace qv
