// The C/C++ highlighter: C23 and C++23 keywords, preprocessor lines with continuations, raw
// strings, block comments and asm blocks carried across lines.
#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind {
  kAssembler, kComment, kDirective, kFloat, kHex, kIdentifier, kInvalid, kNumber, kReserved,
  kSpace, kString, kChar, kSymbol
};

constexpr AttrSpec kAttributes[] = {
    {"Assembler", "Assembler", kBlue, kClNone, 0},
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Preprocessor", "Preprocessor", kTeal, kClNone, 0},
    {"Float", "Float", kRed, kClNone, 0},
    {"Hexadecimal", "Hexadecimal", kRed, kClNone, 0},
    {"Identifier", "Identifier", kNavy, kClNone, 0, Role::Identifier},
    {"Illegal char", "Illegal_Char", kFuchsia, kClNone, 0},
    {"Number", "Number", kRed, kClNone, 0},
    {"Reserved word", "Reserved_Word", kBlue, kClNone, kFsBold, Role::Keyword},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Character", "Character", kMaroon, kClNone, 0},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
};

// Range: low byte the state, bits 8 and up the raw-string delimiter's pool index.
enum State : HighlighterRange {
  kNormal = 0, kBlockComment = 1, kDirectiveLine = 2, kStringLine = 3, kLineComment = 4,
  kRawString = 5, kAsmBlock = 6, kCharLine = 7
};

const KeywordSet& Keywords() {
  static const KeywordSet set(
      "alignas alignof and and_eq asm auto bitand bitor bool break case catch char char8_t char16_t "
      "char32_t class compl concept const consteval constexpr constinit const_cast continue co_await "
      "co_return co_yield decltype default delete do double dynamic_cast else enum explicit export "
      "extern false final float for friend goto if import inline int long module mutable namespace new "
      "noexcept not not_eq nullptr operator or or_eq override private protected public register "
      "reinterpret_cast requires restrict return short signed sizeof static static_assert static_cast "
      "struct switch template this thread_local throw true try typedef typeid typename typeof "
      "typeof_unqual union unsigned using virtual void volatile wchar_t while xor xor_eq "
      "_Alignas _Alignof _Atomic _BitInt _Bool _Complex _Decimal32 _Decimal64 _Decimal128 _Generic "
      "_Imaginary _Noreturn _Static_assert _Thread_local __asm __asm__ _asm __attribute__ __declspec "
      "__inline __inline__ __forceinline __int8 __int16 __int32 __int64 __restrict __volatile__ __cdecl "
      "__stdcall __fastcall",
      true);
  return set;
}

bool IsStringPrefix(std::string_view w) {
  return w == "L" || w == "u" || w == "U" || w == "u8" || w == "R" || w == "LR" || w == "uR" ||
         w == "UR" || w == "u8R";
}

class CppLexer final : public Lexer {
 public:
  void beginLine(std::string_view line, HighlighterRange& range) override {
    inDirective_ = (range & 0xFF) == kDirectiveLine;
    if (inDirective_) range = kNormal;
    atLineStart_ = true;
    afterAsm_ = false;
  }

  int scan(Cursor& c, HighlighterRange& range) override {
    switch (range & 0xFF) {
      case kBlockComment: return blockComment(c, range);
      case kLineComment: c.toEnd(); return kComment;
      case kStringLine: range = ScanQuoted(c, '"', '\\') ? kNormal : kStringLine; return kString;
      case kCharLine: range = ScanQuoted(c, '\'', '\\') ? kNormal : kCharLine; return kChar;
      case kRawString: return rawString(c, range);
      case kAsmBlock: return asmBlock(c, range);
      default: break;
    }
    range = kNormal;
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    bool lineStart = atLineStart_;
    atLineStart_ = false;
    if (ch == '/' && c.at(1) == '/') {
      c.toEnd();
      range = kLineComment;  // kept only when the line ends with a backslash
      return kComment;
    }
    if (ch == '/' && c.at(1) == '*') {
      c.advance(2);
      range = kBlockComment;
      return blockComment(c, range);
    }
    if (inDirective_) return directiveText(c);
    if (ch == '#' && lineStart) {
      inDirective_ = true;
      return directiveText(c);
    }
    if (afterAsm_) {
      afterAsm_ = false;
      if (ch == '{') {
        c.advance();
        range = kAsmBlock;
        return kAssembler;
      }
    }
    if (WordStartChars().test(ch)) {
      std::size_t start = c.pos;
      c.skip(WordChars());
      std::string_view word = c.from(start);
      if ((c.at() == '"' || c.at() == '\'') && IsStringPrefix(word)) {
        if (word.back() == 'R' && c.at() == '"') return rawStringStart(c, range);
        return quoted(c, range);
      }
      if (Keywords().contains(word)) {
        if (word == "asm" || word == "__asm" || word == "_asm" || word == "__asm__") afterAsm_ = true;
        return kReserved;
      }
      return kIdentifier;
    }
    if (DigitChars().test(ch) || (ch == '.' && DigitChars().test(c.at(1)))) {
      switch (ScanNumber(c, {'\'', true, false, true})) {
        case NumberClass::Float: return kFloat;
        case NumberClass::Hex: return kHex;
        default: return kNumber;
      }
    }
    if (ch == '"' || ch == '\'') return quoted(c, range);
    c.advance();
    if (ch == '@' || ch == '`' || ch < 32 || ch == 127) return kInvalid;
    return kSymbol;
  }

  void endLine(std::string_view line, HighlighterRange& range) override {
    bool continued = !line.empty() && line.back() == '\\';
    HighlighterRange state = range & 0xFF;
    if (state == kLineComment || state == kStringLine || state == kCharLine) {
      if (!continued) range = kNormal;
    } else if (state == kNormal && inDirective_ && continued) {
      range = kDirectiveLine;
    }
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<CppLexer>(*this); }

 private:
  static int blockComment(Cursor& c, HighlighterRange& range) {
    if (c.skipPast("*/")) range = kNormal;
    return kComment;
  }

  // Directive text up to a comment or the end of the line.
  static int directiveText(Cursor& c) {
    while (!c.atEnd()) {
      if (c.at() == '/' && (c.at(1) == '/' || c.at(1) == '*') && c.pos > 0) break;
      c.advance();
    }
    return kDirective;
  }

  // At the opening quote of a character or string literal.
  static int quoted(Cursor& c, HighlighterRange& range) {
    char quote = static_cast<char>(c.at());
    c.advance();
    bool closed = ScanQuoted(c, quote, '\\');
    if (!closed) range = quote == '"' ? kStringLine : kCharLine;
    return quote == '"' ? kString : kChar;
  }

  int rawStringStart(Cursor& c, HighlighterRange& range) {
    std::size_t open = c.pos + 1;
    std::size_t paren = c.text.find('(', open);
    if (paren == std::string_view::npos || paren - open > 16) {
      c.advance();
      ScanQuoted(c, '"', 0);  // not a valid raw string: colour it as far as it goes
      return kString;
    }
    std::string close = ")";
    close.append(c.text.substr(open, paren - open));
    close.push_back('"');
    c.pos = paren + 1;
    if (!c.skipPast(close)) range = kRawString | (pool_.intern(close) << 8);
    return kString;
  }

  int rawString(Cursor& c, HighlighterRange& range) {
    std::string_view close = pool_.get(range >> 8);
    if (close.empty() || c.skipPast(close)) range = kNormal;
    return kString;
  }

  static int asmBlock(Cursor& c, HighlighterRange& range) {
    if (c.at() == '/' && c.at(1) == '/') {
      c.toEnd();
      return kComment;
    }
    if (c.at() == '/' && c.at(1) == '*') {
      c.advance(2);
      c.skipPast("*/");
      return kComment;
    }
    if (c.at() == '}') {
      c.advance();
      range = kNormal;
      return kAssembler;
    }
    while (!c.atEnd() && c.at() != '}' && !(c.at() == '/' && (c.at(1) == '/' || c.at(1) == '*'))) c.advance();
    return kAssembler;
  }

  StringPool pool_;
  bool inDirective_ = false;
  bool atLineStart_ = true;
  bool afterAsm_ = false;
};

}  // namespace

std::unique_ptr<Highlighter> MakeCppHighlighter() {
  return std::make_unique<LexerHighlighter>("C/C++", std::make_unique<CppLexer>(), kAttributes, WordChars());
}

}  // namespace qv::lang
