// Plain-text search by scanning for the needle's rarest byte with memchr/memrchr.
#include "editor/search_plain.h"

#include <string.h>  // memrchr

#include <cstring>

namespace qv {
namespace {

constexpr unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

constexpr unsigned char OtherCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + ('a' - 'A'));
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - ('a' - 'A'));
  return c;
}

constexpr std::array<unsigned char, 256> kFold = [] {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = FoldAscii(static_cast<unsigned char>(i));
  return t;
}();

// Rough frequency of a byte in source code and prose (higher = more common). Scanning for a rare
// byte keeps false candidates, and so the verifying work, low.
constexpr int ByteFrequency(unsigned char c) {
  constexpr const char* kLetters = "etaoinshrdlcumwfgypbvkjxqz";
  constexpr int kLetterFreq[] = {127, 91, 82, 75, 70, 67, 63, 61, 60, 43, 40, 28, 28,
                                 24,  24, 22, 20, 20, 19, 15, 10, 8,  2,  2,  1,  1};
  if (c == ' ') return 200;
  if (c >= 'a' && c <= 'z') {
    for (int i = 0; kLetters[i]; ++i)
      if (kLetters[i] == c) return kLetterFreq[i];
  }
  if (c >= 'A' && c <= 'Z') return ByteFrequency(static_cast<unsigned char>(c + 32)) / 8;
  if (c >= '0' && c <= '9') return 30;
  if (c == '\t' || c == '_' || c == '(' || c == ')' || c == ';' || c == ',' || c == '.' ||
      c == '=' || c == '"')
    return 25;
  if (c >= 0x80) return 3;
  if (c < 0x20) return 0;
  return 6;
}

// Next occurrence of c in [p, end) or end.
inline const char* ScanForward(const char* p, const char* end, unsigned char c) {
  const void* q = std::memchr(p, c, static_cast<std::size_t>(end - p));
  return q ? static_cast<const char*>(q) : end;
}

// Last occurrence of c in [begin, end) or nullptr.
inline const char* ScanBackward(const char* begin, const char* end, unsigned char c) {
  return static_cast<const char*>(memrchr(begin, c, static_cast<std::size_t>(end - begin)));
}

}  // namespace

std::optional<SearchError> PlainSearch::setPattern(std::string_view pattern,
                                                   const SearchOptions& options) {
  needle_.assign(pattern);
  matchCase_ = options.matchCase;
  wholeWord_ = options.wholeWord;
  if (needle_.empty()) return SearchError{"The search text is empty.", 0};
  if (!matchCase_)
    for (char& ch : needle_) ch = static_cast<char>(kFold[static_cast<unsigned char>(ch)]);

  int best = 1 << 30;
  for (std::size_t i = 0; i < needle_.size(); ++i) {
    auto c = static_cast<unsigned char>(needle_[i]);
    int freq = ByteFrequency(c);
    if (!matchCase_ && OtherCase(c) != c) freq += ByteFrequency(OtherCase(c)) + 2;  // two scans
    if (freq < best) {
      best = freq;
      anchor_ = i;
    }
  }
  anchorA_ = static_cast<unsigned char>(needle_[anchor_]);
  anchorB_ = matchCase_ ? anchorA_ : OtherCase(anchorA_);
  return std::nullopt;
}

bool PlainSearch::matchesAt(const char* p) const {
  const std::size_t m = needle_.size();
  if (matchCase_) return std::memcmp(p, needle_.data(), m) == 0;
  for (std::size_t i = 0; i < m; ++i)
    if (kFold[static_cast<unsigned char>(p[i])] != static_cast<unsigned char>(needle_[i])) return false;
  return true;
}

bool PlainSearch::wholeWordAt(std::string_view text, std::size_t pos) const {
  if (!wholeWord_) return true;
  const std::size_t end = pos + needle_.size();
  if (pos > 0 && IsSearchWordByte(static_cast<unsigned char>(text[pos - 1]))) return false;
  if (end < text.size() && IsSearchWordByte(static_cast<unsigned char>(text[end]))) return false;
  return true;
}

std::optional<SearchHit> PlainSearch::hitAt(std::string_view text, const char* anchor) const {
  const char* start = anchor - anchor_;
  const auto pos = static_cast<std::size_t>(start - text.data());
  if (matchesAt(start) && wholeWordAt(text, pos)) return SearchHit{pos, needle_.size()};
  return std::nullopt;
}

std::optional<SearchHit> PlainSearch::findForward(std::string_view text, std::size_t from,
                                                  std::size_t to) const {
  const std::size_t m = needle_.size();
  const char* base = text.data();
  // Anchor bytes of candidate hits lie in [lo, hi).
  const char* lo = base + from + anchor_;
  const char* hi = base + (to - m) + anchor_ + 1;
  auto accept = [&](const char* at) { return hitAt(text, at); };
  if (anchorA_ == anchorB_) {
    for (const char* p = lo; (p = ScanForward(p, hi, anchorA_)) != hi; ++p)
      if (auto hit = accept(p)) return hit;
    return std::nullopt;
  }
  const char* nextA = ScanForward(lo, hi, anchorA_);
  const char* nextB = ScanForward(lo, hi, anchorB_);
  while (true) {
    const char* p = nextA < nextB ? nextA : nextB;
    if (p == hi) return std::nullopt;
    if (auto hit = accept(p)) return hit;
    if (p == nextA) nextA = ScanForward(p + 1, hi, anchorA_);
    if (p == nextB) nextB = ScanForward(p + 1, hi, anchorB_);
  }
}

std::optional<SearchHit> PlainSearch::findBackward(std::string_view text, std::size_t from,
                                                   std::size_t to) const {
  const std::size_t m = needle_.size();
  const char* base = text.data();
  const char* lo = base + from + anchor_;
  const char* hi = base + (to - m) + anchor_ + 1;
  auto accept = [&](const char* at) { return hitAt(text, at); };
  if (anchorA_ == anchorB_) {
    for (const char* end = hi; end > lo;) {
      const char* p = ScanBackward(lo, end, anchorA_);
      if (!p) return std::nullopt;
      if (auto hit = accept(p)) return hit;
      end = p;
    }
    return std::nullopt;
  }
  const char* prevA = ScanBackward(lo, hi, anchorA_);
  const char* prevB = ScanBackward(lo, hi, anchorB_);
  while (prevA || prevB) {
    const char* p = (prevA && (!prevB || prevA > prevB)) ? prevA : prevB;
    if (auto hit = accept(p)) return hit;
    if (p == prevA) prevA = ScanBackward(lo, p, anchorA_);
    if (p == prevB) prevB = ScanBackward(lo, p, anchorB_);
  }
  return std::nullopt;
}

std::optional<SearchHit> PlainSearch::find(std::string_view text, std::size_t from, std::size_t to,
                                           bool backwards) {
  if (to > text.size()) to = text.size();
  if (needle_.empty() || from > to || to - from < needle_.size()) return std::nullopt;
  return backwards ? findBackward(text, from, to) : findForward(text, from, to);
}

void PlainSearch::findEach(std::string_view text, std::size_t from, std::size_t to,
                           const HitCallback& onHit) {
  if (to > text.size()) to = text.size();
  while (auto hit = find(text, from, to, false)) {
    if (!onHit(*hit)) return;
    from = hit->position + hit->length;
  }
}

void PlainSearch::appendReplacement(std::string_view replaceWith, std::string& out) const {
  out.append(replaceWith);
}

}  // namespace qv
