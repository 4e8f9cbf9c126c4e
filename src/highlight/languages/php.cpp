// The PHP highlighter: PHP 8 code between "<?php" and "?>", with the page around it scanned as
// HTML; comments, strings and here-documents carried across lines.
#include <cstdio>

#include "highlight/languages/html_lexer.h"
#include "highlight/languages/languages.h"

namespace qv::lang {

namespace {

enum Kind { kComment, kIdentifier, kReserved, kVariable, kNumber, kString, kSymbol, kSpace, kCount };
constexpr int kHtmlOffset = kCount;

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Identifier", "Identifier", kClWindowText, kClNone, 0, Role::Identifier},
    {"Reserved word", "Reserved_Word", kNavy, kClNone, kFsBold, Role::Keyword},
    {"Variable", "Variable", kTeal, kClNone, 0},
    {"Number", "Number", kRed, kClNone, 0},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
};

// Range: bit 31 inside PHP code; bits 24-27 the PHP state; bits 0-23 the HTML range to return
// to, or, in a here-document, the pool index of its terminator together with that HTML range.
constexpr HighlighterRange kInPhp = 1u << 31, kStateShift = 24, kStateMask = 0xFu << 24, kLowMask = 0xFFFFFF;
enum State : HighlighterRange { kCode = 0, kBlockComment = 1, kSingle = 2, kDouble = 3, kHeredoc = 4, kBacktick = 5 };

const KeywordSet& Keywords() {
  static const KeywordSet set(
      "abstract and array as break callable case catch class clone const continue declare default do "
      "echo else elseif empty enddeclare endfor endforeach endif endswitch endwhile enum eval exit "
      "extends final finally fn for foreach function global goto if implements include include_once "
      "instanceof insteadof interface isset list match namespace new or print private protected "
      "public readonly require require_once return static switch throw trait try unset use var while "
      "xor yield true false null self parent int float bool string void never mixed object iterable "
      "__class__ __dir__ __file__ __function__ __line__ __method__ __namespace__ __trait__ "
      "__halt_compiler die",
      false);
  return set;
}

class PhpLexer final : public Lexer {
 public:
  void beginLine(std::string_view line, HighlighterRange& range) override {
    phpOpen_ = kUnknown;
    phpOpenSize_ = 0;
    if (!(range & kInPhp)) {
      html_.beginLine(line, range);
    }
  }

  int scan(Cursor& c, HighlighterRange& range) override {
    if (range & kInPhp) return php(c, range);
    std::size_t open = nextOpen(c);
    if (open == c.pos) {
      std::size_t len = c.startsWithNoCase("<?php") ? 5 : c.startsWith("<?=") ? 3 : 2;
      c.advance(len);
      range = kInPhp | (range & kLowMask);
      return kReserved;
    }
    Cursor inner{c.text.substr(0, open == std::string_view::npos ? c.text.size() : open), c.pos};
    int kind = html_.scan(inner, range) + kHtmlOffset;
    range &= kLowMask;
    c.pos = inner.pos > c.pos ? inner.pos : c.pos + 1;
    return kind;
  }

  void endLine(std::string_view line, HighlighterRange& range) override {
    if (!(range & kInPhp)) {
      html_.endLine(line, range);
      return;
    }
    HighlighterRange state = (range & kStateMask) >> kStateShift;
    if (state == kCode) range &= ~kStateMask;
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<PhpLexer>(*this); }

 private:
  std::size_t nextOpen(const Cursor& c) {
    if (phpOpenSize_ != c.text.size()) {
      phpOpen_ = kUnknown;
      phpOpenSize_ = c.text.size();
    }
    if (phpOpen_ == kUnknown || (phpOpen_ != std::string_view::npos && phpOpen_ < c.pos)) {
      phpOpen_ = c.text.find("<?", c.pos);
      // "<?xml" is an XML declaration, not PHP
      while (phpOpen_ != std::string_view::npos && Cursor{c.text, phpOpen_ + 2}.startsWithNoCase("xml"))
        phpOpen_ = c.text.find("<?", phpOpen_ + 2);
    }
    return phpOpen_;
  }

  void setState(HighlighterRange& range, HighlighterRange state) {
    range = (range & ~kStateMask) | (state << kStateShift);
  }

  int php(Cursor& c, HighlighterRange& range) {
    switch ((range & kStateMask) >> kStateShift) {
      case kBlockComment:
        if (c.skipPast("*/")) setState(range, kCode);
        return kComment;
      case kSingle:
        if (ScanQuoted(c, '\'', '\\')) setState(range, kCode);
        return kString;
      case kDouble:
        if (ScanQuoted(c, '"', '\\')) setState(range, kCode);
        return kString;
      case kBacktick:
        if (ScanQuoted(c, '`', '\\')) setState(range, kCode);
        return kString;
      case kHeredoc:
        return heredocLine(c, range);
      default:
        break;
    }
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    if (ch == '?' && c.at(1) == '>') {
      c.advance(2);
      range &= kLowMask;  // back to the page
      return kReserved;
    }
    if ((ch == '/' && c.at(1) == '/') || (ch == '#' && c.at(1) != '[')) {
      // a line comment ends before "?>"
      std::size_t end = c.text.find("?>", c.pos);
      c.pos = end == std::string_view::npos ? c.text.size() : end;
      return kComment;
    }
    if (ch == '/' && c.at(1) == '*') {
      c.advance(2);
      if (!c.skipPast("*/")) setState(range, kBlockComment);
      return kComment;
    }
    if (ch == '$' && WordStartChars().test(c.at(1))) {
      c.advance();
      c.skip(WordChars());
      return kVariable;
    }
    if (ch == '<' && c.startsWith("<<<")) return heredocStart(c, range);
    if (WordStartChars().test(ch)) {
      std::size_t start = c.pos;
      c.skip(WordChars());
      bool member = start >= 2 && c.text.substr(start - 2, 2) == "->";
      return !member && Keywords().contains(c.from(start)) ? kReserved : kIdentifier;
    }
    if (DigitChars().test(ch) || (ch == '.' && DigitChars().test(c.at(1)))) {
      ScanNumber(c, {'_', true, true, true});
      return kNumber;
    }
    if (ch == '\'' || ch == '"' || ch == '`') {
      c.advance();
      if (!ScanQuoted(c, static_cast<char>(ch), '\\')) setState(range, ch == '\'' ? kSingle : ch == '"' ? kDouble : kBacktick);
      return kString;
    }
    c.advance();
    return kSymbol;
  }

  // At "<<<": "<<<EOT", "<<<\"EOT\"" or "<<<'EOT'" up to the end of the line.
  int heredocStart(Cursor& c, HighlighterRange& range) {
    Cursor probe = c;
    probe.advance(3);
    probe.skip(Chars(" \t"));
    char quote = 0;
    if (probe.at() == '"' || probe.at() == '\'') {
      quote = static_cast<char>(probe.at());
      probe.advance();
    }
    std::size_t start = probe.pos;
    probe.skip(WordChars());
    std::string_view label = probe.from(start);
    if (label.empty() || label.size() > 64) {
      c.advance();
      return kSymbol;
    }
    if (quote && probe.at() == static_cast<unsigned char>(quote)) probe.advance();
    c.toEnd();
    char saved[16];
    std::snprintf(saved, sizeof saved, "%06x", static_cast<unsigned>(range & kLowMask));
    std::uint32_t index = pool_.intern(std::string(label) + '\n' + saved);
    if (index != 0) range = kInPhp | (kHeredoc << kStateShift) | index;
    return kString;
  }

  // A line of a here-document: the terminator (optionally indented) ends it.
  int heredocLine(Cursor& c, HighlighterRange& range) {
    std::string_view entry = pool_.get(range & kLowMask);
    std::size_t nl = entry.find('\n');
    if (nl == std::string_view::npos) {
      range = kInPhp;
      c.toEnd();
      return kString;
    }
    std::string_view label = entry.substr(0, nl);
    std::size_t first = c.text.find_first_not_of(" \t");
    if (c.pos == 0 && first != std::string_view::npos) {
      std::string_view rest = c.text.substr(first);
      if (rest.starts_with(label) && !WordChars().test(static_cast<unsigned char>(rest.size() > label.size() ? rest[label.size()] : ';'))) {
        c.pos = first + label.size();
        range = kInPhp | static_cast<HighlighterRange>(std::strtoul(std::string(entry.substr(nl + 1)).c_str(), nullptr, 16));
        return kString;
      }
    }
    c.toEnd();
    return kString;
  }

  HtmlLexer html_;
  StringPool pool_;
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-2);
  std::size_t phpOpen_ = kUnknown;
  std::size_t phpOpenSize_ = 0;
};

}  // namespace

std::unique_ptr<Highlighter> MakePhpHighlighter() {
  return std::make_unique<LexerHighlighter>(
      "PHP", std::make_unique<PhpLexer>(),
      std::initializer_list<AttrGroup>{{"", "", kAttributes},
                                       {"HTML: ", "HTML_", HtmlLexer::Attributes()},
                                       {"Script: ", "Script_", JsLexer::Attributes()},
                                       {"Style: ", "Style_", CssLexer::Attributes()}},
      WordChars() | Chars("$"));
}

}  // namespace qv::lang
