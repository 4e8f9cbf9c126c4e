// The HTML highlighter: tags, attributes, values, entities and comments, with the bodies of
// script and style elements scanned as JavaScript and CSS.
#include "highlight/languages/html_lexer.h"
#include "highlight/languages/languages.h"

namespace qv::lang {

namespace {

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Reserved word", "Reserved_Word", kBlue, kClNone, kFsBold, Role::Keyword},
    {"Identifier", "Identifier", kNavy, kClNone, 0, Role::Identifier},
    {"Escape ampersand", "Escape_Ampersand", kPurple, kClNone, kFsBold},
    {"Value", "Value", kMaroon, kClNone, 0, Role::String},
    {"Text", "Text", kClWindowText, kClNone, 0},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
};

// Range: bits 0-3 the mode, bits 4-5 the element whose body follows the tag being read
// (1 script, 2 style), bits 8-23 the range of the embedded language.
enum Mode : HighlighterRange {
  kTextMode = 0, kCommentMode = 1, kTagMode = 2, kSingleValue = 3, kDoubleValue = 4, kScript = 5,
  kStyle = 6, kDeclaration = 7
};
constexpr HighlighterRange kModeMask = 0xF, kPendingShift = 4, kPendingMask = 0x30;
HighlighterRange Mode(HighlighterRange r) { return r & kModeMask; }
HighlighterRange Sub(HighlighterRange r) { return (r >> 8) & 0xFFFF; }
HighlighterRange WithSub(HighlighterRange r, HighlighterRange sub) { return (r & 0xFF) | ((sub & 0xFFFF) << 8); }
HighlighterRange WithMode(HighlighterRange r, HighlighterRange m) { return (r & ~kModeMask) | m; }

const CharSet& NameChars() {
  static const CharSet set = WordChars() | Chars("-:.@");
  return set;
}

}  // namespace

std::span<const AttrSpec> HtmlLexer::Attributes() { return kAttributes; }

void HtmlLexer::beginLine(std::string_view line, HighlighterRange& range) {
  embedEnd_ = kUnknown;
  expectName_ = closingTag_ = afterEquals_ = false;
  HighlighterRange sub = Sub(range);
  if (Mode(range) == kScript) js_.beginLine(line, sub);
  if (Mode(range) == kStyle) css_.beginLine(line, sub);
  range = WithSub(range, sub);
}

int HtmlLexer::scan(Cursor& c, HighlighterRange& range) {
  switch (Mode(range)) {
    case kCommentMode:
      if (c.skipPast("-->")) range = WithMode(range, kTextMode);
      return kComment;
    case kTagMode:
      return inTag(c, range);
    case kSingleValue:
    case kDoubleValue:
      if (ScanQuoted(c, Mode(range) == kSingleValue ? '\'' : '"', 0)) range = WithMode(range, kTagMode);
      return kValue;
    case kDeclaration:
      while (!c.atEnd() && c.at() != '>') c.advance();
      if (c.at() == '>') {
        c.advance();
        range = WithMode(range, kTextMode);
      }
      return kTag;
    case kScript:
    case kStyle:
      return embedded(c, range, Mode(range) == kScript);
    default:
      return text(c, range);
  }
}

int HtmlLexer::text(Cursor& c, HighlighterRange& range) {
  unsigned char ch = c.at();
  if (ch == '<') {
    if (c.startsWith("<!--")) {
      c.advance(4);
      if (!c.skipPast("-->")) range = WithMode(range, kCommentMode);
      return kComment;
    }
    if (c.at(1) == '!' || c.at(1) == '?') {
      c.advance(2);
      range = WithMode(range, kDeclaration);
      while (!c.atEnd() && c.at() != '>') c.advance();
      if (c.at() == '>') {
        c.advance();
        range = WithMode(range, kTextMode);
      }
      return kTag;
    }
    bool closing = c.at(1) == '/';
    if (WordStartChars().test(c.at(closing ? 2 : 1))) {
      c.advance(closing ? 2 : 1);
      range = WithMode(range & ~kPendingMask, kTagMode);
      expectName_ = true;
      closingTag_ = closing;
      afterEquals_ = false;
      return kSymbol;
    }
  }
  if (ch == '&') {
    std::size_t start = c.pos;
    c.advance();
    if (c.at() == '#') c.advance();
    c.skip(WordChars());
    if (c.at() == ';' && c.pos > start + 1) {
      c.advance();
      return kEntity;
    }
    c.pos = start + 1;
    return kText;
  }
  if (SpaceChars().test(ch)) {
    c.skip(SpaceChars());
    return kSpace;
  }
  while (!c.atEnd() && c.at() != '<' && c.at() != '&' && !SpaceChars().test(c.at())) c.advance();
  return kText;
}

int HtmlLexer::inTag(Cursor& c, HighlighterRange& range) {
  unsigned char ch = c.at();
  if (SpaceChars().test(ch)) {
    c.skip(SpaceChars());
    return kSpace;
  }
  if (ch == '>' || (ch == '/' && c.at(1) == '>')) {
    bool selfClosing = ch == '/';
    c.advance(selfClosing ? 2 : 1);
    HighlighterRange pending = (range & kPendingMask) >> kPendingShift;
    range &= ~kPendingMask;
    if (!selfClosing && pending == 1) range = WithSub(WithMode(range, kScript), 0);
    else if (!selfClosing && pending == 2) range = WithSub(WithMode(range, kStyle), 0);
    else range = WithMode(range, kTextMode);
    embedEnd_ = kUnknown;
    expectName_ = false;
    return kSymbol;
  }
  if (ch == '"' || ch == '\'') {
    c.advance();
    if (!ScanQuoted(c, static_cast<char>(ch), 0)) range = WithMode(range, ch == '\'' ? kSingleValue : kDoubleValue);
    afterEquals_ = false;
    return kValue;
  }
  if (ch == '=') {
    c.advance();
    afterEquals_ = true;
    return kSymbol;
  }
  if (afterEquals_) {  // unquoted value
    afterEquals_ = false;
    while (!c.atEnd() && !SpaceChars().test(c.at()) && c.at() != '>') c.advance();
    return kValue;
  }
  if (NameChars().test(ch)) {
    std::size_t start = c.pos;
    c.skip(NameChars());
    if (expectName_) {
      expectName_ = false;
      std::string_view name = c.from(start);
      if (!closingTag_ && EqualsNoCase(name, "script")) range |= 1u << kPendingShift;
      if (!closingTag_ && EqualsNoCase(name, "style")) range |= 2u << kPendingShift;
      return kTag;
    }
    return kAttribute;
  }
  c.advance();
  return kSymbol;
}

std::size_t HtmlLexer::embedEnd(const Cursor& c, std::string_view closeTag) {
  if (embedSize_ != c.text.size()) {
    embedEnd_ = kUnknown;
    embedSize_ = c.text.size();
  }
  if (embedEnd_ == kUnknown || (embedEnd_ != std::string_view::npos && embedEnd_ < c.pos)) {
    Cursor probe = c;
    embedEnd_ = std::string_view::npos;
    while ((probe.pos = probe.text.find('<', probe.pos)) != std::string_view::npos) {
      if (probe.startsWithNoCase(closeTag)) {
        embedEnd_ = probe.pos;
        break;
      }
      ++probe.pos;
    }
  }
  return embedEnd_;
}

int HtmlLexer::embedded(Cursor& c, HighlighterRange& range, bool script) {
  std::size_t end = embedEnd(c, script ? "</script" : "</style");
  if (end == c.pos) {
    range = WithSub(WithMode(range, kTextMode), 0);
    return text(c, range);
  }
  Cursor inner{c.text.substr(0, end == std::string_view::npos ? c.text.size() : end), c.pos};
  HighlighterRange sub = Sub(range);
  int kind = script ? js_.scan(inner, sub) + kJsOffset : css_.scan(inner, sub) + kCssOffset;
  if (inner.pos <= c.pos) inner.pos = c.pos + 1;
  c.pos = inner.pos;
  range = WithSub(range, sub);
  return kind;
}

void HtmlLexer::endLine(std::string_view line, HighlighterRange& range) {
  HighlighterRange sub = Sub(range);
  if (Mode(range) == kScript) js_.endLine(line, sub);
  if (Mode(range) == kStyle) css_.endLine(line, sub);
  range = WithSub(range, sub);
}

std::unique_ptr<Highlighter> MakeHtmlHighlighter() {
  return std::make_unique<LexerHighlighter>(
      "HTML", std::make_unique<HtmlLexer>(),
      std::initializer_list<AttrGroup>{{"", "", kAttributes},
                                       {"Script: ", "Script_", JsLexer::Attributes()},
                                       {"Style: ", "Style_", CssLexer::Attributes()}},
      NameChars());
}

}  // namespace qv::lang
