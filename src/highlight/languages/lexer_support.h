// Shared pieces of the built-in highlighters: character sets, keyword sets, a line cursor, the
// per-language lexer interface and the highlighter that drives a lexer over one line.
#pragma once
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "editor/highlighter.h"

namespace qv::lang {

using CharSet = std::bitset<256>;

// The set of the bytes listed in `chars`.
CharSet Chars(std::string_view chars);
// The bytes first..last inclusive.
CharSet CharRange(unsigned char first, unsigned char last);

const CharSet& DigitChars();
const CharSet& HexDigitChars();
// Letters, "_" and every byte from 0x80 up (so UTF-8 names stay one word).
const CharSet& WordStartChars();
const CharSet& WordChars();
// Blank bytes: 1-32 except nothing; a line never holds its own break.
const CharSet& SpaceChars();

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
bool EqualsNoCase(std::string_view a, std::string_view b);

// A fixed set of words, compared with or without regard to ASCII case.
class KeywordSet {
 public:
  KeywordSet() = default;
  // `words` is blank-separated.
  KeywordSet(std::string_view words, bool caseSensitive);
  bool contains(std::string_view word) const;
  bool empty() const { return words_.empty(); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_set<std::string, Hash, std::equal_to<>> words_;
  bool caseSensitive_ = true;
  std::size_t longest_ = 0;
};

// A position in one line; reading past the end gives 0.
struct Cursor {
  std::string_view text;
  std::size_t pos = 0;

  bool atEnd() const { return pos >= text.size(); }
  unsigned char at(std::size_t ahead = 0) const {
    return pos + ahead < text.size() ? static_cast<unsigned char>(text[pos + ahead]) : 0;
  }
  void advance(std::size_t n = 1) { pos = pos + n < text.size() ? pos + n : text.size(); }
  void toEnd() { pos = text.size(); }
  bool startsWith(std::string_view s) const { return text.substr(pos).starts_with(s); }
  // `s` in lower case.
  bool startsWithNoCase(std::string_view s) const;
  void skip(const CharSet& set) {
    while (pos < text.size() && set.test(static_cast<unsigned char>(text[pos]))) ++pos;
  }
  // Moves past the next `s`, or to the end; true when found.
  bool skipPast(std::string_view s);
  std::string_view from(std::size_t start) const { return text.substr(start, pos - start); }
  std::string_view rest() const { return text.substr(pos < text.size() ? pos : text.size()); }
};

// After an opening quote: moves past the closing `quote` (an `escape` byte skips the byte after
// it; 0 for none). True when the string closed on this line.
bool ScanQuoted(Cursor& c, char quote, char escape);

enum class NumberClass { Decimal, Float, Hex, Octal, Binary };
struct NumberRules {
  char separator = 0;          // digit separator ("'" in C++, "_" in Java, Python, JavaScript)
  bool octalLeadingZero = false;  // "017" is octal
  bool prefixO = false;        // "0o17"
  bool prefixB = true;         // "0b101"
};
// At a digit, or a "." followed by a digit: moves past the number and its letter suffix.
NumberClass ScanNumber(Cursor& c, const NumberRules& rules);

// What a role is used for, so the editor can ask for it without knowing the language.
enum class Role { None, Comment, Identifier, Keyword, String, Space, Symbol };

// One attribute a highlighter creates, in index order.
struct AttrSpec {
  const char* name;
  const char* storageName;
  Color foreground;
  Color background;
  int style;
  Role role = Role::None;
};

// Attributes of an embedded language, named after the host's prefix ("Script: Comment").
struct AttrGroup {
  std::string_view namePrefix;
  std::string_view storagePrefix;
  std::span<const AttrSpec> attrs;
};

// A language's scanner. Token kinds are indices into the highlighter's attribute list.
class Lexer {
 public:
  virtual ~Lexer() = default;
  // Start of a line, with the range the previous line ended in.
  virtual void beginLine(std::string_view line, HighlighterRange& range) {}
  // Reads one token at c.pos (not at the end), moves past it and returns its kind.
  virtual int scan(Cursor& c, HighlighterRange& range) = 0;
  // The line is exhausted: turn the range into what the next line starts with.
  virtual void endLine(std::string_view line, HighlighterRange& range) {}
  virtual std::unique_ptr<Lexer> clone() const = 0;
};

// Interned strings for states that need more than a number (here-document terminators).
// Index 0 is never handed out; equal strings get equal indices.
class StringPool {
 public:
  std::uint32_t intern(std::string_view s);
  std::string_view get(std::uint32_t index) const;
  static constexpr std::uint32_t kMaxEntries = 2047;

 private:
  std::vector<std::string> items_;
};

// A highlighter that runs one lexer and maps kinds to its attributes.
class LexerHighlighter : public Highlighter {
 public:
  LexerHighlighter(std::string languageName, std::unique_ptr<Lexer> lexer,
                   std::span<const AttrSpec> attributes, const CharSet& identifierChars);
  // Kinds count through the groups in order: the second group's first kind follows the first's last.
  LexerHighlighter(std::string languageName, std::unique_ptr<Lexer> lexer,
                   std::initializer_list<AttrGroup> groups, const CharSet& identifierChars);

  std::string languageName() const override { return languageName_; }
  void setLine(std::string_view line, int lineNumber) override;
  void next() override;
  bool eol() const override { return eol_; }
  std::string_view tokenText() const override;
  int tokenKind() const override { return kind_; }
  int tokenPosition() const override { return static_cast<int>(tokenStart_); }
  HighlighterAttribute* tokenAttribute() const override;
  HighlighterRange range() const override { return range_; }
  void setRange(HighlighterRange value) override { range_ = value; }
  void resetRange() override { range_ = 0; }
  HighlighterAttribute* defaultAttribute(DefaultAttribute which) const override;
  const std::bitset<256>& identifierChars() const override { return identChars_; }
  bool isCommentKind(int kind) const override;
  std::unique_ptr<Highlighter> clone() const override;

  Lexer& lexer() { return *lexer_; }
  const Lexer& lexer() const { return *lexer_; }

 private:
  std::string languageName_;
  std::unique_ptr<Lexer> lexer_;
  std::vector<Role> roles_;  // by kind; same length as the lexer's attributes
  CharSet identChars_;
  std::string line_;
  std::size_t pos_ = 0;
  std::size_t tokenStart_ = 0;
  std::size_t tokenEnd_ = 0;
  int kind_ = -1;
  bool eol_ = true;
  HighlighterRange range_ = 0;
};

// Common colours in the stored encoding.
inline constexpr Color kGray = Rgb(0x80, 0x80, 0x80);
inline constexpr Color kNavy = Rgb(0, 0, 0x80);
inline constexpr Color kBlue = Rgb(0, 0, 0xFF);
inline constexpr Color kTeal = Rgb(0, 0x80, 0x80);
inline constexpr Color kRed = Rgb(0xFF, 0, 0);
inline constexpr Color kMaroon = Rgb(0x80, 0, 0);
inline constexpr Color kFuchsia = Rgb(0xFF, 0, 0xFF);
inline constexpr Color kGreen = Rgb(0, 0x80, 0);
inline constexpr Color kPurple = Rgb(0x80, 0, 0x80);
inline constexpr Color kOlive = Rgb(0x80, 0x80, 0);
inline constexpr Color kBlack = Rgb(0, 0, 0);

}  // namespace qv::lang
