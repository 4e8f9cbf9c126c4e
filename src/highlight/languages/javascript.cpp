// The JavaScript highlighter: ES2023 keywords, template literals with substitutions, regular
// expression literals and block comments carried across lines.
#include "highlight/languages/javascript_lexer.h"
#include "highlight/languages/languages.h"

namespace qv::lang {

namespace {

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Identifier", "Identifier", kNavy, kClNone, 0, Role::Identifier},
    {"Reserved word", "Reserved_Word", kNavy, kClNone, kFsBold, Role::Keyword},
    {"Non-reserved keyword", "Non_Reserved_Keyword", kFuchsia, kClNone, 0},
    {"Event", "Event", kGreen, kClNone, 0},
    {"Number", "Number", kRed, kClNone, 0},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
};

// Range: low nibble the mode; kInSubstitution while inside "${...}" of a template, with the
// depth of open braces there in bits 8-15.
enum Mode : HighlighterRange { kCode = 0, kBlockComment = 1, kTemplate = 2, kSingleLine = 3, kDoubleLine = 4 };
constexpr HighlighterRange kModeMask = 0xF, kInSubstitution = 0x10;

HighlighterRange Depth(HighlighterRange r) { return (r >> 8) & 0xFF; }
HighlighterRange WithDepth(HighlighterRange r, HighlighterRange depth) { return (r & 0xFF) | (depth << 8); }

const KeywordSet& Reserved() {
  static const KeywordSet set(
      "await break case catch class const continue debugger default delete do else enum export "
      "extends false finally for function if import in instanceof let new null return static super "
      "switch this throw true try typeof var void while with yield implements interface package "
      "private protected public",
      true);
  return set;
}

const KeywordSet& NonReserved() {
  static const KeywordSet set(
      "async of get set from as target meta undefined NaN Infinity globalThis arguments eval "
      "Array ArrayBuffer BigInt BigInt64Array Boolean DataView Date Error EvalError FinalizationRegistry "
      "Float32Array Float64Array Function Int8Array Int16Array Int32Array Intl JSON Map Math Number "
      "Object Promise Proxy RangeError ReferenceError Reflect RegExp Set SharedArrayBuffer String Symbol "
      "SyntaxError TypeError URIError Uint8Array Uint8ClampedArray Uint16Array Uint32Array WeakMap "
      "WeakRef WeakSet AggregateError Atomics console window document navigator location history "
      "localStorage sessionStorage alert confirm prompt setTimeout setInterval clearTimeout "
      "clearInterval fetch require module exports parseInt parseFloat isNaN isFinite encodeURI "
      "encodeURIComponent decodeURI decodeURIComponent structuredClone queueMicrotask",
      true);
  return set;
}

const KeywordSet& Events() {
  static const KeywordSet set(
      "onabort onafterprint onbeforeprint onbeforeunload onblur oncanplay onchange onclick "
      "oncontextmenu oncopy oncut ondblclick ondrag ondragend ondragenter ondragleave ondragover "
      "ondragstart ondrop onended onerror onfocus onfocusin onfocusout onhashchange oninput oninvalid "
      "onkeydown onkeypress onkeyup onload onloadeddata onloadstart onmessage onmousedown "
      "onmouseenter onmouseleave onmousemove onmouseout onmouseover onmouseup onoffline ononline "
      "onpagehide onpageshow onpaste onpause onplay onpointerdown onpointermove onpointerup "
      "onpopstate onprogress onreset onresize onscroll onsearch onselect onstorage onsubmit "
      "ontouchend ontouchmove ontouchstart ontransitionend onunload onwheel",
      false);
  return set;
}

// After the opening "/": moves past the closing "/" and the flags; false (cursor unchanged)
// when the line holds no end.
bool ScanRegex(Cursor& c) {
  std::size_t start = c.pos;
  bool inClass = false;
  while (!c.atEnd()) {
    char ch = c.text[c.pos];
    if (ch == '\\') {
      c.advance(2);
      continue;
    }
    ++c.pos;
    if (ch == '[') inClass = true;
    else if (ch == ']') inClass = false;
    else if (ch == '/' && !inClass) {
      c.skip(WordChars());
      return true;
    }
  }
  c.pos = start;
  return false;
}

// Template text up to the closing backquote or a "${"; true when it stopped at "${" (consumed).
bool ScanTemplateText(Cursor& c, HighlighterRange& range) {
  while (!c.atEnd()) {
    char ch = c.text[c.pos];
    if (ch == '\\') {
      c.advance(2);
      continue;
    }
    if (ch == '`') {
      c.advance();
      range = kCode;
      return false;
    }
    if (ch == '$' && c.at(1) == '{') {
      c.advance(2);
      range = kCode | kInSubstitution;
      return true;
    }
    ++c.pos;
  }
  range = kTemplate;
  return false;
}

}  // namespace

std::span<const AttrSpec> JsLexer::Attributes() { return kAttributes; }

const CharSet& JsLexer::IdentifierChars() {
  static const CharSet set = WordChars() | Chars("$");
  return set;
}

void JsLexer::beginLine(std::string_view, HighlighterRange&) { regexAllowed_ = true; }

int JsLexer::scan(Cursor& c, HighlighterRange& range) {
  HighlighterRange sub = range & ~kModeMask;  // substitution bit and depth survive the mode
  switch (range & kModeMask) {
    case kBlockComment:
      if (c.skipPast("*/")) range = sub;
      return kComment;
    case kTemplate:
      ScanTemplateText(c, range);
      return kString;
    case kSingleLine:
    case kDoubleLine: {
      bool closed = ScanQuoted(c, (range & kModeMask) == kSingleLine ? '\'' : '"', '\\');
      if (closed) range = sub;
      regexAllowed_ = false;
      return kString;
    }
    default:
      break;
  }
  return code(c, range);
}

int JsLexer::code(Cursor& c, HighlighterRange& range) {
  unsigned char ch = c.at();
  if (SpaceChars().test(ch)) {
    c.skip(SpaceChars());
    return kSpace;
  }
  if (ch == '/' && c.at(1) == '/') {
    c.toEnd();
    return kComment;
  }
  if (ch == '/' && c.at(1) == '*') {
    c.advance(2);
    if (!c.skipPast("*/")) range = (range & ~kModeMask) | kBlockComment;
    return kComment;
  }
  if (IdentifierChars().test(ch) && !DigitChars().test(ch)) {
    std::size_t start = c.pos;
    c.skip(IdentifierChars());
    std::string_view word = c.from(start);
    bool member = start > 0 && c.text[start - 1] == '.';
    if (!member && Reserved().contains(word)) {
      regexAllowed_ = !(word == "this" || word == "super" || word == "true" || word == "false" || word == "null");
      return kReserved;
    }
    regexAllowed_ = false;
    if (Events().contains(word)) return kEvent;
    if (!member && NonReserved().contains(word)) return kNonReserved;
    return kIdentifier;
  }
  if (DigitChars().test(ch) || (ch == '.' && DigitChars().test(c.at(1)))) {
    ScanNumber(c, {'_', false, true, true});
    regexAllowed_ = false;
    return kNumber;
  }
  if (ch == '"' || ch == '\'') {
    c.advance();
    if (!ScanQuoted(c, static_cast<char>(ch), '\\'))
      range = (range & ~kModeMask) | (ch == '\'' ? kSingleLine : kDoubleLine);
    regexAllowed_ = false;
    return kString;
  }
  if (ch == '`') {
    c.advance();
    if (range & kInSubstitution) {
      // A template nested in a substitution is taken whole on this line.
      while (!c.atEnd() && c.at() != '`') c.advance(c.at() == '\\' ? 2 : 1);
      c.advance();
    } else {
      ScanTemplateText(c, range);
    }
    regexAllowed_ = false;
    return kString;
  }
  if (ch == '/' && regexAllowed_) {
    c.advance();
    if (ScanRegex(c)) {
      regexAllowed_ = false;
      return kString;
    }
    return kSymbol;
  }
  if (range & kInSubstitution) {
    if (ch == '{') {
      range = WithDepth(range, Depth(range) + 1 > 0xFF ? 0xFF : Depth(range) + 1);
    } else if (ch == '}') {
      if (Depth(range) == 0) {
        c.advance();  // back into the template's text
        range = kTemplate;
        ScanTemplateText(c, range);
        regexAllowed_ = false;
        return kString;
      }
      range = WithDepth(range, Depth(range) - 1);
    }
  }
  c.advance();
  regexAllowed_ = !(ch == ')' || ch == ']' || ch == '}');
  return kSymbol;
}

void JsLexer::endLine(std::string_view line, HighlighterRange& range) {
  HighlighterRange mode = range & kModeMask;
  if (mode == kSingleLine || mode == kDoubleLine) {
    std::size_t n = 0;
    while (n < line.size() && line[line.size() - 1 - n] == '\\') ++n;
    if (n % 2 == 0) range &= ~kModeMask;  // unterminated string ends with its line
  }
}

std::unique_ptr<Highlighter> MakeJavascriptHighlighter() {
  return std::make_unique<LexerHighlighter>("JavaScript", std::make_unique<JsLexer>(), kAttributes,
                                            JsLexer::IdentifierChars());
}

}  // namespace qv::lang
