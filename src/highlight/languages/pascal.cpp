// The Object Pascal highlighter: keywords and directives, three comment forms, compiler
// directives, character codes, hexadecimal numbers and asm blocks carried across lines.
#include "highlight/languages/languages.h"
#include "highlight/languages/pascal_lexer.h"

namespace qv::lang {

namespace {

enum Kind { kAssembler, kChar, kComment, kDirective, kFloat, kHex, kIdentifier, kNumber, kReserved, kSpace, kString, kSymbol };

constexpr AttrSpec kAttributes[] = {
    {"Assembler", "Assembler", kBlue, kClNone, 0},
    {"Character", "Character", kMaroon, kClNone, 0},
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Preprocessor", "Preprocessor", kTeal, kClNone, 0},
    {"Float", "Float", kRed, kClNone, 0},
    {"Hexadecimal", "Hexadecimal", kRed, kClNone, 0},
    {"Identifier", "Identifier", kClWindowText, kClNone, 0, Role::Identifier},
    {"Number", "Number", kRed, kClNone, 0},
    {"Reserved word", "Reserved_Word", kNavy, kClNone, kFsBold, Role::Keyword},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
};

enum State : HighlighterRange { kCode = 0, kBraceComment = 1, kParenComment = 2, kBraceDirective = 3, kParenDirective = 4, kAsm = 5 };

const KeywordSet& Keywords() {
  static const KeywordSet set(
      "absolute abstract and array as asm assembler at automated begin case cdecl class const "
      "constructor contains default deprecated destructor dispid dispinterface div do downto dynamic "
      "else end except export exports external far file final finalization finally for forward "
      "function goto helper if implementation implements in index inherited initialization inline "
      "interface is label library message mod name near nil nodefault not object of on operator or "
      "out overload override package packed pascal platform private procedure program property "
      "protected public published raise read readonly record reference register reintroduce "
      "repeat requires resourcestring safecall sealed set shl shr specialize static stdcall stored "
      "strict string then threadvar to try type unit unsafe until uses var varargs virtual while "
      "with write writeonly xor generic self result true false",
      false);
  return set;
}

class PascalLexer final : public Lexer {
 public:
  int scan(Cursor& c, HighlighterRange& range) override {
    switch (range) {
      case kBraceComment:
      case kBraceDirective: {
        int kind = range == kBraceDirective ? kDirective : kComment;
        if (c.skipPast("}")) range = kCode;
        return kind;
      }
      case kParenComment:
      case kParenDirective: {
        int kind = range == kParenDirective ? kDirective : kComment;
        if (c.skipPast("*)")) range = kCode;
        return kind;
      }
      case kAsm:
        return asmText(c, range);
      default:
        break;
    }
    range = kCode;
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    if (ch == '{') {
      bool directive = c.at(1) == '$';
      c.advance();
      if (!c.skipPast("}")) range = directive ? kBraceDirective : kBraceComment;
      return directive ? kDirective : kComment;
    }
    if (ch == '(' && c.at(1) == '*') {
      bool directive = c.at(2) == '$';
      c.advance(2);
      if (!c.skipPast("*)")) range = directive ? kParenDirective : kParenComment;
      return directive ? kDirective : kComment;
    }
    if (ch == '/' && c.at(1) == '/') {
      c.toEnd();
      return kComment;
    }
    if (ch == '\'') {
      c.advance();
      ScanQuoted(c, '\'', 0);
      return kString;
    }
    if (ch == '#') {
      c.advance();
      if (c.at() == '$') {
        c.advance();
        c.skip(HexDigitChars());
      } else {
        c.skip(DigitChars());
      }
      return kChar;
    }
    if (ch == '$') {
      c.advance();
      c.skip(HexDigitChars());
      return kHex;
    }
    if (WordStartChars().test(ch) || ch == '&') {
      std::size_t start = c.pos;
      c.advance();
      c.skip(WordChars());
      std::string_view word = c.from(start);
      if (word[0] == '&') return kIdentifier;  // &begin: a keyword used as a name
      bool member = start > 0 && c.text[start - 1] == '.';
      if (!member && Keywords().contains(word)) {
        if (EqualsNoCase(word, "asm")) range = kAsm;
        return kReserved;
      }
      return kIdentifier;
    }
    if (DigitChars().test(ch)) {
      return ScanNumber(c, {0, false, false, false}) == NumberClass::Float ? kFloat : kNumber;
    }
    c.advance();
    return kSymbol;
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<PascalLexer>(*this); }

 private:
  // Inside asm ... end: everything is assembler up to the word "end".
  static int asmText(Cursor& c, HighlighterRange& range) {
    if (SpaceChars().test(c.at())) {
      c.skip(SpaceChars());
      return kSpace;
    }
    if (c.at() == '/' && c.at(1) == '/') {
      c.toEnd();
      return kComment;
    }
    if (c.at() == '{') {
      if (!c.skipPast("}")) range = kBraceComment;  // the asm block resumes as code afterwards
      return kComment;
    }
    if (WordStartChars().test(c.at())) {
      std::size_t start = c.pos;
      c.skip(WordChars());
      if (EqualsNoCase(c.from(start), "end")) {
        range = kCode;
        return kReserved;
      }
      return kAssembler;
    }
    while (!c.atEnd() && !WordStartChars().test(c.at()) && !SpaceChars().test(c.at()) && c.at() != '{' &&
           !(c.at() == '/' && c.at(1) == '/'))
      c.advance();
    return kAssembler;
  }
};

}  // namespace

std::unique_ptr<Lexer> MakePascalLexer() { return std::make_unique<PascalLexer>(); }

std::span<const AttrSpec> PascalAttributes() { return kAttributes; }

std::unique_ptr<Highlighter> MakePascalHighlighter() {
  return std::make_unique<LexerHighlighter>("Object Pascal", std::make_unique<PascalLexer>(), kAttributes,
                                            WordChars());
}

}  // namespace qv::lang
