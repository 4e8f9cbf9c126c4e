// The Java highlighter: Java 21 keywords and contextual keywords, documentation comments, text
// blocks and annotations.
#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind { kComment, kDocumentation, kIdentifier, kInvalid, kNumber, kReserved, kSpace, kString, kSymbol };

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Documentation", "Documentation", kTeal, kClNone, kFsItalic, Role::Comment},
    {"Identifier", "Identifier", kNavy, kClNone, 0, Role::Identifier},
    {"Invalid symbol", "Invalid_Symbol", kFuchsia, kClNone, 0},
    {"Number", "Number", kRed, kClNone, 0},
    {"Reserved word", "Reserved_Word", kNavy, kClNone, kFsBold, Role::Keyword},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
};

enum State : HighlighterRange { kCode = 0, kBlockComment = 1, kDocComment = 2, kTextBlock = 3 };

const KeywordSet& Keywords() {
  static const KeywordSet set(
      "abstract assert boolean break byte case catch char class const continue default do double "
      "else enum extends final finally float for goto if implements import instanceof int interface "
      "long native new package private protected public return short static strictfp super switch "
      "synchronized this throw throws transient try void volatile while true false null var record "
      "yield sealed permits non-sealed when module requires exports opens to uses provides with "
      "transitive open",
      true);
  return set;
}

class JavaLexer final : public Lexer {
 public:
  int scan(Cursor& c, HighlighterRange& range) override {
    switch (range) {
      case kBlockComment:
      case kDocComment: {
        int kind = range == kDocComment ? kDocumentation : kComment;
        if (c.skipPast("*/")) range = kCode;
        return kind;
      }
      case kTextBlock:
        return textBlock(c, range);
      default:
        break;
    }
    range = kCode;
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
      bool doc = c.at(2) == '*' && c.at(3) != '/';
      c.advance(2);
      if (!c.skipPast("*/")) range = doc ? kDocComment : kBlockComment;
      return doc ? kDocumentation : kComment;
    }
    if (WordStartChars().test(ch) || ch == '$') {
      std::size_t start = c.pos;
      c.skip(WordChars() | Chars("$"));
      std::string_view word = c.from(start);
      if (word == "non" && c.startsWith("-sealed")) {
        c.advance(7);
        return kReserved;
      }
      bool member = start > 0 && c.text[start - 1] == '.';
      return !member && Keywords().contains(word) ? kReserved : kIdentifier;
    }
    if (DigitChars().test(ch) || (ch == '.' && DigitChars().test(c.at(1)))) {
      ScanNumber(c, {'_', false, false, true});
      return kNumber;
    }
    if (ch == '"') {
      if (c.at(1) == '"' && c.at(2) == '"') {
        c.advance(3);
        range = kTextBlock;
        return textBlock(c, range);
      }
      c.advance();
      ScanQuoted(c, '"', '\\');
      return kString;
    }
    if (ch == '\'') {
      c.advance();
      ScanQuoted(c, '\'', '\\');
      return kString;
    }
    c.advance();
    if (ch == '#' || ch == '`' || ch == '\\' || ch < 32 || ch == 127) return kInvalid;
    return kSymbol;
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<JavaLexer>(*this); }

 private:
  static int textBlock(Cursor& c, HighlighterRange& range) {
    while (!c.atEnd()) {
      if (c.at() == '\\') {
        c.advance(2);
      } else if (c.startsWith("\"\"\"")) {
        c.advance(3);
        range = kCode;
        return kString;
      } else {
        c.advance();
      }
    }
    return kString;
  }
};

}  // namespace

std::unique_ptr<Highlighter> MakeJavaHighlighter() {
  return std::make_unique<LexerHighlighter>("Java", std::make_unique<JavaLexer>(), kAttributes,
                                            WordChars() | Chars("$"));
}

}  // namespace qv::lang
