// Regular-expression search on PCRE2 (Perl syntax, JIT-compiled), case-insensitive unless asked.
#pragma once
#include "editor/search_engine.h"

namespace qv {

// Texts that are valid UTF-8 are matched as UTF-8 (validated once per text), any other text
// byte by byte. Replacement texts may refer to groups: "$1" or "\1" (one digit), "${12}", "$&"
// and "$0" for the whole hit; "$$" is a dollar, "\\" a backslash, "\n" a line break, "\t" a tab.
// A reference to a group the pattern does not have stays as written.
class RegexSearch final : public SearchEngine {
 public:
  RegexSearch();
  ~RegexSearch() override;
  RegexSearch(const RegexSearch&) = delete;
  RegexSearch& operator=(const RegexSearch&) = delete;

  std::optional<SearchError> setPattern(std::string_view pattern, const SearchOptions& options) override;
  std::optional<SearchHit> find(std::string_view text, std::size_t from, std::size_t to,
                                bool backwards) override;
  void findEach(std::string_view text, std::size_t from, std::size_t to,
                const HitCallback& onHit) override;
  void appendReplacement(std::string_view replaceWith, std::string& out) const override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qv
