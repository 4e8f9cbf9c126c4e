// The CSS highlighter: selectors and at-rules, known and unknown properties, colours, numbers
// with units, strings; comments, nesting and values carried across lines.
#include "highlight/languages/css_lexer.h"
#include "highlight/languages/languages.h"

namespace qv::lang {

namespace {

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Selector", "Selector", kBlue, kClNone, 0, Role::Keyword},
    {"Property", "Property", kNavy, kClNone, 0, Role::Identifier},
    {"Undefined property", "Undefined_Property", kFuchsia, kClNone, 0},
    {"Color value", "Color_Value", kMaroon, kClNone, 0},
    {"Number", "Number", kRed, kClNone, 0},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
    {"Text", "Text", kBlack, kClNone, 0},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
};

// Range: bit 0 in a comment, bit 1 in a value, bits 2-3 an open string (1 "'", 2 '"'),
// bits 8-15 the depth of open braces.
constexpr HighlighterRange kInComment = 1, kInValue = 2, kStringShift = 2, kStringMask = 0xC;
HighlighterRange Depth(HighlighterRange r) { return (r >> 8) & 0xFF; }
HighlighterRange WithDepth(HighlighterRange r, HighlighterRange d) { return (r & 0xFF) | ((d & 0xFF) << 8); }

const KeywordSet& Properties() {
  static const KeywordSet set(
      "accent-color align-content align-items align-self all animation animation-delay "
      "animation-direction animation-duration animation-fill-mode animation-iteration-count "
      "animation-name animation-play-state animation-timing-function appearance aspect-ratio "
      "backdrop-filter backface-visibility background background-attachment background-blend-mode "
      "background-clip background-color background-image background-origin background-position "
      "background-repeat background-size block-size border border-block border-bottom "
      "border-bottom-color border-bottom-left-radius border-bottom-right-radius border-bottom-style "
      "border-bottom-width border-collapse border-color border-image border-inline border-left "
      "border-left-color border-left-style border-left-width border-radius border-right "
      "border-right-color border-right-style border-right-width border-spacing border-style "
      "border-top border-top-color border-top-left-radius border-top-right-radius border-top-style "
      "border-top-width border-width bottom box-shadow box-sizing break-after break-before "
      "break-inside caption-side caret-color clear clip clip-path color column-count column-gap "
      "column-rule column-span column-width columns contain container container-name "
      "container-type content counter-increment counter-reset cursor direction display "
      "empty-cells filter flex flex-basis flex-direction flex-flow flex-grow flex-shrink flex-wrap "
      "float font font-family font-feature-settings font-kerning font-size font-size-adjust "
      "font-stretch font-style font-variant font-variant-numeric font-weight gap grid grid-area "
      "grid-auto-columns grid-auto-flow grid-auto-rows grid-column grid-column-end "
      "grid-column-start grid-row grid-row-end grid-row-start grid-template grid-template-areas "
      "grid-template-columns grid-template-rows height hyphens inline-size inset isolation "
      "justify-content justify-items justify-self left letter-spacing line-height list-style "
      "list-style-image list-style-position list-style-type margin margin-block margin-bottom "
      "margin-inline margin-left margin-right margin-top mask max-height max-width min-height "
      "min-width mix-blend-mode object-fit object-position opacity order orphans outline "
      "outline-color outline-offset outline-style outline-width overflow overflow-wrap overflow-x "
      "overflow-y overscroll-behavior padding padding-block padding-bottom padding-inline "
      "padding-left padding-right padding-top page-break-after page-break-before perspective "
      "place-content place-items place-self pointer-events position quotes resize right rotate "
      "row-gap scale scroll-behavior scroll-margin scroll-padding scroll-snap-align "
      "scroll-snap-type scrollbar-color scrollbar-width tab-size table-layout text-align "
      "text-align-last text-decoration text-decoration-color text-decoration-line "
      "text-decoration-style text-indent text-overflow text-shadow text-transform "
      "text-underline-offset top touch-action transform transform-origin transform-style "
      "transition transition-delay transition-duration transition-property "
      "transition-timing-function translate unicode-bidi user-select vertical-align visibility "
      "white-space widows width will-change word-break word-spacing word-wrap writing-mode z-index "
      "src font-display unicode-range size marks",
      false);
  return set;
}

const KeywordSet& ColorNames() {
  static const KeywordSet set(
      "aqua black blue fuchsia gray grey green lime maroon navy olive orange purple red silver teal "
      "white yellow transparent currentcolor aliceblue antiquewhite aquamarine azure beige bisque "
      "blanchedalmond blueviolet brown burlywood cadetblue chartreuse chocolate coral cornflowerblue "
      "cornsilk crimson cyan darkblue darkcyan darkgoldenrod darkgray darkgreen darkkhaki "
      "darkmagenta darkolivegreen darkorange darkorchid darkred darksalmon darkseagreen "
      "darkslateblue darkslategray darkturquoise darkviolet deeppink deepskyblue dimgray "
      "dodgerblue firebrick floralwhite forestgreen gainsboro ghostwhite gold goldenrod greenyellow "
      "honeydew hotpink indianred indigo ivory khaki lavender lavenderblush lawngreen lemonchiffon "
      "lightblue lightcoral lightcyan lightgray lightgreen lightpink lightsalmon lightseagreen "
      "lightskyblue lightslategray lightsteelblue lightyellow limegreen linen magenta "
      "mediumaquamarine mediumblue mediumorchid mediumpurple mediumseagreen mediumslateblue "
      "mediumspringgreen mediumturquoise mediumvioletred midnightblue mintcream mistyrose moccasin "
      "navajowhite oldlace olivedrab orangered orchid palegoldenrod palegreen paleturquoise "
      "palevioletred papayawhip peachpuff peru pink plum powderblue rebeccapurple rosybrown "
      "royalblue saddlebrown salmon sandybrown seagreen seashell sienna skyblue slateblue slategray "
      "snow springgreen steelblue tan thistle tomato turquoise violet wheat whitesmoke yellowgreen "
      "rgb rgba hsl hsla hwb lab lch oklab oklch color-mix",
      false);
  return set;
}

const CharSet& NameChars() {
  static const CharSet set = WordChars() | Chars("-");
  return set;
}

int ScanString(Cursor& c, HighlighterRange& range, char quote) {
  bool closed = ScanQuoted(c, quote, '\\');
  range &= ~kStringMask;
  if (!closed) range |= (quote == '\'' ? 1u : 2u) << kStringShift;
  return CssLexer::kString;
}

}  // namespace

std::span<const AttrSpec> CssLexer::Attributes() { return kAttributes; }
const CharSet& CssLexer::IdentifierChars() { return NameChars(); }

int CssLexer::scan(Cursor& c, HighlighterRange& range) {
  if (range & kInComment) {
    if (c.skipPast("*/")) range &= ~kInComment;
    return kComment;
  }
  if (range & kStringMask) return ScanString(c, range, ((range & kStringMask) >> kStringShift) == 1 ? '\'' : '"');
  unsigned char ch = c.at();
  if (SpaceChars().test(ch)) {
    c.skip(SpaceChars());
    return kSpace;
  }
  if (ch == '/' && c.at(1) == '*') {
    c.advance(2);
    if (!c.skipPast("*/")) range |= kInComment;
    return kComment;
  }
  if (ch == '"' || ch == '\'') {
    c.advance();
    return ScanString(c, range, static_cast<char>(ch));
  }
  bool inValue = range & kInValue;
  if (inValue && ch == '#' && HexDigitChars().test(c.at(1))) {
    c.advance();
    c.skip(NameChars());
    return kColor;
  }
  if (DigitChars().test(ch) ||
      (inValue && (ch == '.' || ch == '-' || ch == '+') &&
       (DigitChars().test(c.at(1)) || (ch != '.' && c.at(1) == '.' && DigitChars().test(c.at(2)))))) {
    c.advance();
    c.skip(DigitChars() | Chars("."));
    if ((c.at() == 'e' || c.at() == 'E') && DigitChars().test(c.at(1))) {
      c.advance();
      c.skip(DigitChars());
    }
    c.skip(NameChars());  // unit: px, em, deg
    if (c.at() == '%') c.advance();
    return kNumber;
  }
  if (NameChars().test(ch) || ch == '@' || (!inValue && (ch == '.' || ch == '#') && NameChars().test(c.at(1))) ||
      (ch == '-' && c.at(1) == '-')) {
    return word(c, range);
  }
  c.advance();
  switch (ch) {
    case '{':
      range = WithDepth(range & ~kInValue, Depth(range) + 1 > 0xFF ? 0xFF : Depth(range) + 1);
      afterProperty_ = false;
      break;
    case '}':
      range = WithDepth(range & ~kInValue, Depth(range) > 0 ? Depth(range) - 1 : 0);
      afterProperty_ = false;
      break;
    case ';':
      range &= ~kInValue;
      afterProperty_ = false;
      break;
    case ':':
      if (afterProperty_) range |= kInValue;
      afterProperty_ = false;
      break;
    default:
      break;
  }
  return kSymbol;
}

int CssLexer::word(Cursor& c, HighlighterRange& range) {
  std::size_t start = c.pos;
  c.advance();
  c.skip(NameChars());
  std::string_view w = c.from(start);
  if (range & kInValue) {
    if (ColorNames().contains(w)) return kColor;
    return kText;
  }
  afterProperty_ = false;
  if (w[0] == '@' || w[0] == '.' || w[0] == '#' || Depth(range) == 0) return kKey;
  std::size_t next = c.pos;
  while (next < c.text.size() && (c.text[next] == ' ' || c.text[next] == '\t')) ++next;
  bool colonFollows = next < c.text.size() && c.text[next] == ':';
  bool blockOpens = nextOf('{', c) != std::string_view::npos && nextOf(';', c) == std::string_view::npos;
  if (blockOpens && !(colonFollows && Properties().contains(w))) return kKey;  // a nested rule's selector
  if (w.starts_with("--") || Properties().contains(w)) {
    afterProperty_ = true;
    return kProperty;
  }
  if (colonFollows) {
    afterProperty_ = true;
    return kUndefinedProperty;
  }
  return kKey;
}

std::size_t CssLexer::nextOf(char ch, const Cursor& c) {
  std::size_t& cached = ch == '{' ? nextBrace_ : nextSemicolon_;
  if (cachedSize_ != c.text.size()) {  // a host page shows us a different stretch of the line
    nextBrace_ = nextSemicolon_ = kUnknown;
    cachedSize_ = c.text.size();
  }
  if (cached == kUnknown || (cached != std::string_view::npos && cached < c.pos)) cached = c.text.find(ch, c.pos);
  return cached;
}

void CssLexer::beginLine(std::string_view, HighlighterRange&) {
  nextBrace_ = nextSemicolon_ = kUnknown;
  cachedSize_ = 0;
  afterProperty_ = false;
}

void CssLexer::endLine(std::string_view line, HighlighterRange& range) {
  // A string stays open only when its line ends in an escaping backslash.
  std::size_t n = 0;
  while (n < line.size() && line[line.size() - 1 - n] == '\\') ++n;
  if (n % 2 == 0) range &= ~kStringMask;
}

std::unique_ptr<Highlighter> MakeCssHighlighter() {
  return std::make_unique<LexerHighlighter>("Cascading Style Sheet", std::make_unique<CssLexer>(), kAttributes,
                                            NameChars());
}

}  // namespace qv::lang
