// The common interface of the find engines: the hits of a pattern in a text and the text that
// replaces a hit. Plain text and regular expressions implement it (search_plain.h, search_regex.h).
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct SearchOptions {
  bool matchCase = false;
  bool wholeWord = false;  // honoured by the plain engine; the regular-expression engine ignores it
};

// One hit: byte offset and byte length in the text that was searched.
struct SearchHit {
  std::size_t position = 0;
  std::size_t length = 0;
  bool operator==(const SearchHit&) const = default;
};

// Why a pattern cannot be used: a message for the user and the byte offset in the pattern.
struct SearchError {
  std::string message;
  std::size_t offset = 0;
};

// How the engine reads the bytes of a text: Detect treats a text that is valid UTF-8 as UTF-8 and
// any other as single bytes; Bytes always reads single bytes (a document shown as 8-bit).
enum class SearchTextMode { Detect, Bytes };

// Finds a pattern in texts. Texts are usually one line each (without its break), but any byte
// string works, zero bytes included. Positions and lengths count bytes.
class SearchEngine {
 public:
  using HitCallback = std::function<bool(const SearchHit&)>;  // return false to stop

  virtual ~SearchEngine() = default;

  // Takes a new pattern. On error the engine finds nothing until a usable pattern is set.
  virtual std::optional<SearchError> setPattern(std::string_view pattern, const SearchOptions& options) = 0;

  // The hit lying wholly within text[from, to): the first one, or with backwards the last one.
  // The rest of the text is context (whole-word checks, look-behind, anchors).
  virtual std::optional<SearchHit> find(std::string_view text, std::size_t from, std::size_t to,
                                        bool backwards) = 0;

  // Every hit lying wholly within text[from, to), left to right, never overlapping.
  virtual void findEach(std::string_view text, std::size_t from, std::size_t to,
                        const HitCallback& onHit) = 0;

  // Appends the text that replaces the hit most recently found or reported (valid while the
  // searched text is alive and until the next search); the regular-expression engine expands
  // group references here.
  virtual void appendReplacement(std::string_view replaceWith, std::string& out) const = 0;

  // Why the last search stopped early (a regular expression exceeding its backtracking limit).
  const std::optional<std::string>& matchError() const { return matchError_; }

  void setTextMode(SearchTextMode mode) { textMode_ = mode; }
  SearchTextMode textMode() const { return textMode_; }

  std::vector<SearchHit> findAll(std::string_view text) {
    std::vector<SearchHit> hits;
    findEach(text, 0, text.size(), [&](const SearchHit& h) {
      hits.push_back(h);
      return true;
    });
    return hits;
  }

  std::string replacement(std::string_view replaceWith) const {
    std::string out;
    appendReplacement(replaceWith, out);
    return out;
  }

 protected:
  std::optional<std::string> matchError_;

 private:
  SearchTextMode textMode_ = SearchTextMode::Detect;
};

// The plain engine, or the regular-expression engine when regex is true.
std::unique_ptr<SearchEngine> MakeSearchEngine(bool regex);

// Bytes that make up words for whole-word matching: ASCII letters and digits, "_" and every byte
// of a multi-byte character.
inline bool IsSearchWordByte(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         c >= 0x80;
}

// Strict UTF-8 check (no overlong forms, no surrogates, nothing above U+10FFFF).
bool SearchTextIsUtf8(std::string_view text);

}  // namespace qv
