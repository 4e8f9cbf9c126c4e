// Plain-text search: exact bytes, or ASCII letters without regard to case, optionally whole words.
#pragma once
#include <array>

#include "editor/search_engine.h"

namespace qv {

// Scans with memchr/memrchr for the needle's rarest byte and verifies candidates there, so a
// search over a large buffer runs close to memory speed.
class PlainSearch final : public SearchEngine {
 public:
  std::optional<SearchError> setPattern(std::string_view pattern, const SearchOptions& options) override;
  std::optional<SearchHit> find(std::string_view text, std::size_t from, std::size_t to,
                                bool backwards) override;
  void findEach(std::string_view text, std::size_t from, std::size_t to,
                const HitCallback& onHit) override;
  void appendReplacement(std::string_view replaceWith, std::string& out) const override;

 private:
  bool matchesAt(const char* p) const;
  bool wholeWordAt(std::string_view text, std::size_t pos) const;
  // The hit whose anchor byte is at `anchor`, if the whole needle matches there.
  std::optional<SearchHit> hitAt(std::string_view text, const char* anchor) const;
  std::optional<SearchHit> findForward(std::string_view text, std::size_t from, std::size_t to) const;
  std::optional<SearchHit> findBackward(std::string_view text, std::size_t from, std::size_t to) const;

  std::string needle_;  // lower-cased (ASCII) unless matchCase_
  bool matchCase_ = false;
  bool wholeWord_ = false;
  std::size_t anchor_ = 0;  // index in needle_ of the byte the scan looks for
  // The anchor byte in both cases; equal when it is no letter or case matters.
  unsigned char anchorA_ = 0;
  unsigned char anchorB_ = 0;
};

}  // namespace qv
