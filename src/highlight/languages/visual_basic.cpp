// The Visual Basic highlighter (VB6 and VBScript): ' and Rem comments, strings with doubled
// quotes, #date# literals, &H and &O numbers, directives and keywords in any case.
#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind { kComment, kIdentifier, kReserved, kNumber, kSpace, kString, kSymbol };

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Identifier", "Identifier", kNavy, kClNone, 0, Role::Identifier},
    {"Reserved word", "Reserved_Word", kNavy, kClNone, kFsBold, Role::Keyword},
    {"Number", "Number", kRed, kClNone, 0},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
};

const KeywordSet& Keywords() {
  static const KeywordSet set(
      "addressof alias and any as attribute base begin boolean byref byte byval call case cbool "
      "cbyte ccur cdate cdbl cdec cint circle class clng close collection const csng cstr currency "
      "cvar cverr date debug declare defbool defbyte defcur defdate defdbl defdec defint deflng "
      "defobj defsng defstr defvar dim do double each else elseif empty end endif enum eqv erase "
      "error event execute executeglobal exit explicit false for friend function get global gosub "
      "goto if imp implements in input integer is let lib like line load local lock long loop lset "
      "me mod new next not nothing null object on open option optional or preserve print private "
      "property public put raiseevent randomize redim rem resume return rset seek select set "
      "single spc static step stop string sub tab then to true type typeof unload unlock until "
      "variant version wend while with withevents write xor",
      false);
  return set;
}

// Type-declaration characters that may follow a number: 10&, 1.5#, 3!.
const CharSet& NumberSuffixes() {
  static const CharSet set = Chars("%&!#@");
  return set;
}

class VisualBasicLexer final : public Lexer {
 public:
  int scan(Cursor& c, HighlighterRange& range) override {
    range = 0;
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    if (ch == '\'') {
      c.toEnd();
      return kComment;
    }
    if (ch == '"') {
      c.advance();
      scanString(c);
      return kString;
    }
    if (WordStartChars().test(ch)) {
      std::size_t start = c.pos;
      c.skip(WordChars());
      std::string_view word = c.from(start);
      bool member = start > 0 && c.text[start - 1] == '.';
      if (!member && EqualsNoCase(word, "rem")) {
        c.toEnd();
        return kComment;
      }
      // Name$ and the like: a type character ends the name.
      if (c.at() == '$' || c.at() == '%' || c.at() == '!') c.advance();
      return !member && Keywords().contains(word) ? kReserved : kIdentifier;
    }
    if (ch == '&' && (c.at(1) == 'H' || c.at(1) == 'h' || c.at(1) == 'O' || c.at(1) == 'o')) {
      bool hex = c.at(1) == 'H' || c.at(1) == 'h';
      const CharSet& digits = hex ? HexDigitChars() : CharRange('0', '7');
      if (digits.test(c.at(2))) {
        c.advance(2);
        c.skip(digits);
        if (c.at() == '&' || c.at() == '%') c.advance();
        return kNumber;
      }
    }
    if (DigitChars().test(ch) || (ch == '.' && DigitChars().test(c.at(1)))) {
      scanNumber(c);
      return kNumber;
    }
    if (ch == '#') {
      // #1/1/2000#: a date; #If, #Const: a directive.
      if (WordStartChars().test(c.at(1)) && Keywords().contains(wordAt(c, c.pos + 1))) {
        c.advance();
        c.skip(WordChars());
        return kReserved;
      }
      std::size_t end = c.text.find('#', c.pos + 1);
      if (end != std::string_view::npos && DigitChars().test(c.at(1))) {
        c.pos = end + 1;
        return kNumber;
      }
    }
    c.advance();
    return kSymbol;
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<VisualBasicLexer>(*this); }

 private:
  static std::string_view wordAt(const Cursor& c, std::size_t at) {
    Cursor w{c.text, at};
    w.skip(WordChars());
    return w.from(at);
  }

  // After the opening quote: "" inside is one quote; a string never spans lines.
  static void scanString(Cursor& c) {
    while (!c.atEnd()) {
      char ch = c.text[c.pos];
      c.advance();
      if (ch != '"') continue;
      if (c.at() != '"') return;
      c.advance();
    }
  }

  static void scanNumber(Cursor& c) {
    c.skip(DigitChars());
    if (c.at() == '.' && DigitChars().test(c.at(1))) {
      c.advance();
      c.skip(DigitChars());
    }
    unsigned char e = c.at();
    if ((e == 'e' || e == 'E' || e == 'd' || e == 'D') &&
        (DigitChars().test(c.at(1)) || ((c.at(1) == '+' || c.at(1) == '-') && DigitChars().test(c.at(2))))) {
      c.advance(2);
      c.skip(DigitChars());
    }
    if (NumberSuffixes().test(c.at()) && !WordChars().test(c.at(1))) c.advance();
  }
};

}  // namespace

std::unique_ptr<Highlighter> MakeVisualBasicHighlighter() {
  return std::make_unique<LexerHighlighter>("Visual Basic", std::make_unique<VisualBasicLexer>(), kAttributes,
                                            WordChars());
}

}  // namespace qv::lang
