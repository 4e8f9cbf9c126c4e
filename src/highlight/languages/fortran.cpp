// The Fortran highlighter for fixed and free source form: C and * comment lines, ! comments,
// keywords in any case, .EQ. style operators, strings with doubled quotes, D exponents.
#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind { kComment, kIdentifier, kReserved, kNumber, kSpace, kString, kSymbol };

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Identifier", "Identifier", kNavy, kClNone, 0, Role::Identifier},
    {"Reserved word", "Reserved_Word", kBlue, kClNone, 0, Role::Keyword},
    {"Number", "Number", kRed, kClNone, 0},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
};

const KeywordSet& Keywords() {
  static const KeywordSet set(
      "abstract access action advance allocatable allocate assign assignment associate asynchronous "
      "backspace bind block blockdata call case character class close codimension common complex "
      "concurrent contains contiguous continue critical cycle data deallocate default deferred "
      "dimension do double doubleprecision elemental else elseif elsewhere end endassociate endblock "
      "endblockdata endcritical enddo endenum endfile endforall endfunction endif endinterface "
      "endmodule endprocedure endprogram endselect endsubmodule endsubroutine endteam endtype "
      "endwhere entry enum enumerator equivalence error exit extends external final flush forall "
      "format function generic go goto if images implicit import impure in include inout integer "
      "intent interface intrinsic inquire kind len lock logical module namelist none non_overridable "
      "nopass nullify only open operator optional out parameter pass pause pointer precision print "
      "private procedure program protected public pure read real recursive result return rewind "
      "save select sequence stop submodule subroutine sync target team then to type unlock use "
      "value volatile wait where while write "
      "abs achar acos adjustl adjustr aimag aint all allocated anint any asin associated atan atan2 "
      "bit_size btest ceiling char cmplx conjg cos cosh count cshift date_and_time dble digits dim "
      "dot_product dprod eoshift epsilon exp exponent floor fraction huge iachar iand ibclr ibits "
      "ibset ichar ieor index int ior ishft ishftc lbound len_trim lge lgt lle llt log log10 matmul "
      "max maxloc maxval merge min minloc minval mod modulo mvbits nearest nint not pack present "
      "product radix random_number random_seed range repeat reshape rrspacing scale scan "
      "selected_int_kind selected_real_kind set_exponent shape sign sin sinh size spacing spread "
      "sqrt sum system_clock tan tanh tiny transfer transpose trim ubound unpack verify",
      false);
  return set;
}

// The words between dots: .EQ., .AND., .TRUE. ...
const KeywordSet& DotOperators() {
  static const KeywordSet set("eq ne lt le gt ge and or not eqv neqv true false", false);
  return set;
}

const CharSet& Letters() {
  static const CharSet set = CharRange('a', 'z') | CharRange('A', 'Z');
  return set;
}

// At a ".": the length of a dot operator starting there, or 0.
std::size_t DotOperatorAt(const Cursor& c) {
  if (c.at() != '.') return 0;
  Cursor w{c.text, c.pos + 1};
  w.skip(Letters());
  if (w.pos == c.pos + 1 || w.at() != '.') return 0;
  return DotOperators().contains(w.from(c.pos + 1)) ? w.pos + 1 - c.pos : 0;
}

class FortranLexer final : public Lexer {
 public:
  int scan(Cursor& c, HighlighterRange& range) override {
    range = 0;
    unsigned char ch = c.at();
    // Fixed form: C, c or * in column 1 makes the line a comment ("CALL" does not, nor a free
    // form "c = 1").
    if (c.pos == 0 && (ch == '*' || ((ch == 'C' || ch == 'c') && !WordChars().test(c.at(1)) && !IsAssignment(c)))) {
      c.toEnd();
      return kComment;
    }
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    if (ch == '!') {
      c.toEnd();
      return kComment;
    }
    if (ch == '\'' || ch == '"') {
      c.advance();
      while (!c.atEnd()) {
        unsigned char q = c.at();
        c.advance();
        if (q != ch) continue;
        if (c.at() != ch) break;
        c.advance();  // a doubled quote stands for one
      }
      return kString;
    }
    if (std::size_t len = DotOperatorAt(c)) {
      c.advance(len);
      return kReserved;
    }
    if (DigitChars().test(ch) || (ch == '.' && DigitChars().test(c.at(1)))) {
      scanNumber(c);
      return kNumber;
    }
    if (WordStartChars().test(ch)) {
      std::size_t start = c.pos;
      c.skip(WordChars());
      return Keywords().contains(c.from(start)) ? kReserved : kIdentifier;
    }
    c.advance();
    return kSymbol;
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<FortranLexer>(*this); }

 private:
  // After a one-letter name: "= value" (not "==") or "%component".
  static bool IsAssignment(const Cursor& c) {
    Cursor p{c.text, c.pos + 1};
    p.skip(Chars(" \t"));
    return (p.at() == '=' && p.at(1) != '=') || p.at() == '%';
  }

  // 12, 1.5, .5, 1.0E-3, 2.5D0, 1.0_dp; "1.EQ.2" keeps its operator.
  static void scanNumber(Cursor& c) {
    c.skip(DigitChars());
    if (c.at() == '.' && !DotOperatorAt(c)) {
      c.advance();
      c.skip(DigitChars());
    }
    unsigned char e = static_cast<unsigned char>(LowerAscii(static_cast<char>(c.at())));
    if ((e == 'e' || e == 'd' || e == 'q') &&
        (DigitChars().test(c.at(1)) || ((c.at(1) == '+' || c.at(1) == '-') && DigitChars().test(c.at(2))))) {
      c.advance(2);
      c.skip(DigitChars());
    }
    if (c.at() == '_' && WordChars().test(c.at(1))) {  // kind parameter
      c.advance();
      c.skip(WordChars());
    }
  }
};

}  // namespace

std::unique_ptr<Highlighter> MakeFortranHighlighter() {
  return std::make_unique<LexerHighlighter>("Fortran", std::make_unique<FortranLexer>(), kAttributes,
                                            WordChars());
}

}  // namespace qv::lang
