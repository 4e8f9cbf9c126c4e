// The Python highlighter: Python 3.12 keywords and soft keywords, built-in names, string
// prefixes, triple-quoted strings and backslash-continued strings carried across lines.
#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind { kComment, kIdentifier, kReserved, kNonKeyword, kSystem, kNumber, kHex, kFloat, kString, kSymbol, kSpace };

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Identifier", "Identifier", kClWindowText, kClNone, 0, Role::Identifier},
    {"Reserved word", "Reserved_Word", kNavy, kClNone, kFsBold, Role::Keyword},
    {"Non-reserved keyword", "Non_Reserved_Keyword", kFuchsia, kClNone, 0},
    {"System functions and variables", "System_Functions_and_Variables", kGreen, kClNone, 0},
    {"Number", "Number", kRed, kClNone, 0},
    {"Hexadecimal", "Hexadecimal", kRed, kClNone, 0},
    {"Float", "Float", kRed, kClNone, 0},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
};

// Range: 0 normal; otherwise an open string: bit 0 double quote, bit 1 triple, bit 3 set.
constexpr HighlighterRange kOpen = 8, kDouble = 1, kTriple = 2;

const KeywordSet& Reserved() {
  static const KeywordSet set(
      "False None True and as assert async await break class continue def del elif else except "
      "finally for from global if import in is lambda nonlocal not or pass raise return try while with "
      "yield",
      true);
  return set;
}

const KeywordSet& NonReserved() {
  static const KeywordSet set(
      "match case type self cls print abs aiter all anext any ascii bin bool breakpoint bytearray "
      "bytes callable chr classmethod compile complex delattr dict dir divmod enumerate eval exec "
      "filter float format frozenset getattr globals hasattr hash help hex id input int isinstance "
      "issubclass iter len list locals map max memoryview min next object oct open ord pow property "
      "range repr reversed round set setattr slice sorted staticmethod str sum super tuple vars zip "
      "NotImplemented Ellipsis BaseException Exception ArithmeticError AssertionError AttributeError "
      "EOFError ImportError ModuleNotFoundError IndexError KeyError KeyboardInterrupt LookupError "
      "MemoryError NameError NotImplementedError OSError OverflowError RecursionError RuntimeError "
      "StopIteration StopAsyncIteration SyntaxError SystemExit TypeError ValueError ZeroDivisionError "
      "FileNotFoundError PermissionError TimeoutError UnicodeError UnicodeDecodeError UnicodeEncodeError "
      "ExceptionGroup BaseExceptionGroup",
      true);
  return set;
}

bool IsStringPrefix(std::string_view w) {
  if (w.size() > 2) return false;
  bool seenR = false, seenOther = false;
  for (char ch : w) {
    char l = LowerAscii(ch);
    if (l == 'r') {
      if (seenR) return false;
      seenR = true;
    } else if (l == 'b' || l == 'f' || l == 'u') {
      if (seenOther) return false;
      seenOther = true;
    } else {
      return false;
    }
  }
  return !(w.size() == 2 && (LowerAscii(w[0]) == 'u' || LowerAscii(w[1]) == 'u'));
}

class PythonLexer final : public Lexer {
 public:
  int scan(Cursor& c, HighlighterRange& range) override {
    if (range & kOpen) return continueString(c, range);
    range = 0;
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    if (ch == '#') {
      c.toEnd();
      return kComment;
    }
    if (WordStartChars().test(ch)) {
      std::size_t start = c.pos;
      c.skip(WordChars());
      std::string_view word = c.from(start);
      if ((c.at() == '"' || c.at() == '\'') && IsStringPrefix(word)) {
        return openString(c, range);
      }
      if (Reserved().contains(word)) return kReserved;
      if (word.size() > 4 && word.starts_with("__") && word.ends_with("__")) return kSystem;
      if (NonReserved().contains(word)) return kNonKeyword;
      return kIdentifier;
    }
    if (DigitChars().test(ch) || (ch == '.' && DigitChars().test(c.at(1)))) {
      switch (ScanNumber(c, {'_', false, true, true})) {
        case NumberClass::Float: return kFloat;
        case NumberClass::Hex: return kHex;
        default: return kNumber;
      }
    }
    if (ch == '"' || ch == '\'') return openString(c, range);
    c.advance();
    return kSymbol;
  }

  void endLine(std::string_view line, HighlighterRange& range) override {
    // A one-quote string stays open only when the line ends in an escaping backslash.
    if ((range & kOpen) && !(range & kTriple) && !EndsWithEscape(line)) range = 0;
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<PythonLexer>(*this); }

 private:
  static bool EndsWithEscape(std::string_view line) {
    std::size_t n = 0;
    while (n < line.size() && line[line.size() - 1 - n] == '\\') ++n;
    return n % 2 == 1;
  }

  // At the opening quote.
  static int openString(Cursor& c, HighlighterRange& range) {
    char q = static_cast<char>(c.at());
    bool triple = c.at(1) == static_cast<unsigned char>(q) && c.at(2) == static_cast<unsigned char>(q);
    c.advance(triple ? 3 : 1);
    range = kOpen | (q == '"' ? kDouble : 0) | (triple ? kTriple : 0);
    return continueString(c, range);
  }

  static int continueString(Cursor& c, HighlighterRange& range) {
    char q = (range & kDouble) ? '"' : '\'';
    bool triple = range & kTriple;
    while (!c.atEnd()) {
      char ch = c.text[c.pos];
      if (ch == '\\') {  // even a raw string does not end on an escaped quote
        c.advance(2);
        continue;
      }
      ++c.pos;
      if (ch != q) continue;
      if (!triple) {
        range = 0;
        return kString;
      }
      if (c.at() == static_cast<unsigned char>(q) && c.at(1) == static_cast<unsigned char>(q)) {
        c.advance(2);
        range = 0;
        return kString;
      }
    }
    return kString;
  }
};

}  // namespace

std::unique_ptr<Highlighter> MakePythonHighlighter() {
  return std::make_unique<LexerHighlighter>("Python", std::make_unique<PythonLexer>(), kAttributes, WordChars());
}

}  // namespace qv::lang
