// Regular-expression search on PCRE2: one compiled form for UTF-8 texts and one for byte texts.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "editor/search_regex.h"

#include <pcre2.h>

namespace qv {
namespace {

struct CodeFree {
  void operator()(pcre2_code* p) const { pcre2_code_free(p); }
};
struct MatchDataFree {
  void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
};
struct MatchContextFree {
  void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
};
struct JitStackFree {
  void operator()(pcre2_jit_stack* p) const { pcre2_jit_stack_free(p); }
};

using CodePtr = std::unique_ptr<pcre2_code, CodeFree>;
using MatchDataPtr = std::unique_ptr<pcre2_match_data, MatchDataFree>;

std::string Pcre2Message(int code) {
  PCRE2_UCHAR buffer[256];
  int n = pcre2_get_error_message(code, buffer, sizeof buffer);
  return n < 0 ? "unknown error " + std::to_string(code) : std::string(reinterpret_cast<char*>(buffer));
}

// One compiled form of the pattern with match data sized for it.
struct Compiled {
  CodePtr code;
  MatchDataPtr data;
  std::uint32_t groups = 0;  // capture groups, not counting the whole match

  // Compiles; on failure returns the error and leaves code empty.
  std::optional<SearchError> compile(std::string_view pattern, std::uint32_t options) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options,
                             &error, &offset, nullptr));
    if (!code) {
      return SearchError{"Error in regular expression at position " + std::to_string(offset + 1) +
                             ": " + Pcre2Message(error) + ".",
                         offset};
    }
    pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);  // falls back to the interpreter on failure
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &groups);
    data.reset(pcre2_match_data_create_from_pattern(code.get(), nullptr));
    return std::nullopt;
  }
};

std::size_t NextCharacter(std::string_view text, std::size_t pos, bool utf) {
  ++pos;
  if (utf)
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
  return pos;
}

}  // namespace

bool SearchTextIsUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    // Runs of ASCII eight bytes at a time.
    while (end - p >= 8) {
      std::uint64_t w;
      __builtin_memcpy(&w, p, 8);
      if (w & 0x8080808080808080ULL) break;
      p += 8;
    }
    if (p == end) break;
    unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int extra;
    std::uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (end - p <= extra) return false;
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    p += extra + 1;
  }
  return true;
}

struct RegexSearch::Impl {
  Compiled utf;    // for texts that are valid UTF-8; empty when the pattern is not UTF-8
  Compiled bytes;  // for any other text; empty when the pattern needs UTF-8 (e.g. \x{100})
  std::unique_ptr<pcre2_match_context, MatchContextFree> context;
  std::unique_ptr<pcre2_jit_stack, JitStackFree> jitStack;

  // The hit last found: its text and group offsets (pairs, PCRE2_UNSET for unset groups).
  std::string_view subject;
  std::vector<PCRE2_SIZE> groups;
  bool haveHit = false;

  // Returns why matching failed, if it did.
  std::optional<std::string> scan(std::string_view text, std::size_t from, std::size_t to,
                                  bool allowUtf, const HitCallback& onHit);
};

RegexSearch::RegexSearch() : impl_(std::make_unique<Impl>()) {
  impl_->context.reset(pcre2_match_context_create(nullptr));
  impl_->jitStack.reset(pcre2_jit_stack_create(32 * 1024, 4 * 1024 * 1024, nullptr));
  if (impl_->context && impl_->jitStack)
    pcre2_jit_stack_assign(impl_->context.get(), nullptr, impl_->jitStack.get());
}

RegexSearch::~RegexSearch() = default;

std::optional<SearchError> RegexSearch::setPattern(std::string_view pattern,
                                                   const SearchOptions& options) {
  Impl& d = *impl_;
  d.utf = Compiled{};
  d.bytes = Compiled{};
  d.haveHit = false;
  matchError_.reset();
  if (pattern.empty()) return SearchError{"The search text is empty.", 0};

  std::uint32_t flags = options.matchCase ? 0 : PCRE2_CASELESS;
  std::optional<SearchError> utfError;
  if (SearchTextIsUtf8(pattern)) utfError = d.utf.compile(pattern, flags | PCRE2_UTF);
  auto bytesError = d.bytes.compile(pattern, flags);
  if (!d.utf.code && !d.bytes.code) return utfError ? utfError : bytesError;
  return std::nullopt;
}

std::optional<std::string> RegexSearch::Impl::scan(std::string_view text, std::size_t from,
                                                   std::size_t to, bool allowUtf,
                                                   const HitCallback& onHit) {
  const bool isUtf = allowUtf && utf.code && SearchTextIsUtf8(text);
  Compiled& c = isUtf ? utf : bytes;
  if (!c.code || !c.data) return std::nullopt;
  const std::uint32_t base = isUtf ? PCRE2_NO_UTF_CHECK : 0;
  // A start inside a UTF-8 character would be undefined behaviour without the UTF check.
  if (isUtf)
    while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) ++from;
  const auto* subject8 = reinterpret_cast<PCRE2_SPTR>(text.data());

  std::size_t pos = from;
  std::uint32_t extra = 0;  // set to retry non-empty at the spot of an empty hit
  while (pos <= to) {
    int rc = pcre2_match(c.code.get(), subject8, text.size(), pos, base | extra, c.data.get(),
                         context.get());
    if (rc == PCRE2_ERROR_NOMATCH) {
      if (extra == 0) return std::nullopt;
      extra = 0;
      pos = NextCharacter(text, pos, isUtf);
      continue;
    }
    if (rc < 0) {
      return "The regular expression could not be matched: " + Pcre2Message(rc) + ".";
    }
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(c.data.get());
    const std::size_t start = ov[0], end = ov[1];
    if (start > end || start < from) {  // \K games: step on
      extra = 0;
      pos = NextCharacter(text, pos, isUtf);
      continue;
    }
    if (end > to) {  // runs past the range: a later start may still fit
      if (start >= to) return std::nullopt;
      extra = 0;
      pos = NextCharacter(text, start, isUtf);
      continue;
    }
    subject = text;
    groups.assign(ov, ov + 2 * (std::size_t{c.groups} + 1));
    haveHit = true;
    if (!onHit(SearchHit{start, end - start})) return std::nullopt;
    pos = end;
    extra = (start == end) ? (PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED) : 0;
  }
  return std::nullopt;
}

std::optional<SearchHit> RegexSearch::find(std::string_view text, std::size_t from, std::size_t to,
                                           bool backwards) {
  matchError_.reset();
  if (to > text.size()) to = text.size();
  if (from > to) return std::nullopt;
  std::optional<SearchHit> found;
  std::vector<PCRE2_SIZE> foundGroups;
  const bool allowUtf = textMode() == SearchTextMode::Detect;
  matchError_ = impl_->scan(text, from, to, allowUtf, [&](const SearchHit& hit) {
    found = hit;
    if (backwards) foundGroups = impl_->groups;
    return backwards;  // forward: the first hit is the one
  });
  if (backwards && found) impl_->groups = std::move(foundGroups);
  return found;
}

void RegexSearch::findEach(std::string_view text, std::size_t from, std::size_t to,
                           const HitCallback& onHit) {
  matchError_.reset();
  if (to > text.size()) to = text.size();
  if (from > to) return;
  matchError_ = impl_->scan(text, from, to, textMode() == SearchTextMode::Detect, onHit);
}

void RegexSearch::appendReplacement(std::string_view replaceWith, std::string& out) const {
  const Impl& d = *impl_;
  const std::size_t groupCount = d.haveHit ? d.groups.size() / 2 : 0;  // whole match included
  auto appendGroup = [&](std::size_t n) {
    PCRE2_SIZE s = d.groups[2 * n], e = d.groups[2 * n + 1];
    if (s != PCRE2_UNSET && e != PCRE2_UNSET && s <= e && e <= d.subject.size())
      out.append(d.subject.substr(s, e - s));
  };
  auto isDigit = [](char ch) { return ch >= '0' && ch <= '9'; };

  for (std::size_t i = 0; i < replaceWith.size(); ++i) {
    const char ch = replaceWith[i];
    const bool last = i + 1 == replaceWith.size();
    if ((ch == '$' || ch == '\\') && !last && isDigit(replaceWith[i + 1])) {
      std::size_t n = static_cast<std::size_t>(replaceWith[i + 1] - '0');
      if (n < groupCount) {
        appendGroup(n);
        ++i;
        continue;
      }
    } else if (ch == '$' && !last && replaceWith[i + 1] == '{') {
      std::size_t close = replaceWith.find('}', i + 2);
      std::string_view digits =
          close == std::string_view::npos ? std::string_view{} : replaceWith.substr(i + 2, close - i - 2);
      bool numeric = !digits.empty() && digits.size() <= 6;
      std::size_t n = 0;
      for (char dch : digits) {
        numeric = numeric && isDigit(dch);
        n = n * 10 + static_cast<std::size_t>(dch - '0');
      }
      if (numeric && n < groupCount) {
        appendGroup(n);
        i = close;
        continue;
      }
    } else if (ch == '$' && !last && replaceWith[i + 1] == '&') {
      if (groupCount > 0) {
        appendGroup(0);
        ++i;
        continue;
      }
    } else if (ch == '$' && !last && replaceWith[i + 1] == '$') {
      out.push_back('$');
      ++i;
      continue;
    } else if (ch == '\\' && !last) {
      const char next = replaceWith[i + 1];
      if (next == '\\' || next == 'n' || next == 't') {
        out.push_back(next == 'n' ? '\n' : next == 't' ? '\t' : '\\');
        ++i;
        continue;
      }
    }
    out.push_back(ch);
  }
}

}  // namespace qv
