// The Perl highlighter: Perl 5.36 keywords and built-in functions, variables with their sigils,
// strings with interpolated variables, quote-like operators with any delimiters, regular
// expressions, here-documents, POD blocks, formats and the data section after __END__.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind {
  kComment, kPod, kKeyword, kFunction, kVariable, kPredefined, kSpecialSub, kWord, kQuote, kHeredoc,
  kOctal, kDecimal, kHex, kPragma, kFormat, kOperator, kSymbol, kRegex, kData, kSpace
};

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Pod", "Pod", kTeal, kClNone, 0},
    {"Keyword", "Keyword", kBlue, kClNone, kFsBold, Role::Keyword},
    {"Internal function", "Internal_Function", kNavy, kClNone, 0},
    {"Variable", "Variable", kTeal, kClNone, 0},
    {"Predefined variable", "Predefined_Variable", kFuchsia, kClNone, 0},
    {"Special sub", "Special_Sub", kFuchsia, kClNone, 0},
    {"Unrecognised word", "Unrecognised_Word", kFuchsia, kClNone, 0, Role::Identifier},
    {"Quote", "Quote", kMaroon, kClNone, 0, Role::String},
    {"Here-document", "Here_Document", kMaroon, kClNone, 0},
    {"Octal number", "Octal_Number", kRed, kClNone, 0},
    {"Decimal number", "Decimal_Number", kRed, kClNone, 0},
    {"Hexadecimal number", "Hexadecimal_Number", kRed, kClNone, 0},
    {"Pragma", "Pragma", kBlue, kClNone, 0},
    {"Format", "Format", kOlive, kClNone, 0},
    {"Operator", "Operator", kPurple, kClNone, 0},
    {"Symbol", "Symbol", kPurple, kClNone, 0, Role::Symbol},
    {"Regular expression", "Regular_Expression", kGreen, kClNone, 0},
    {"End of data", "End_Of_Data", kBlack, kClNone, 0},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
};

// Range: the low nibble is the state. A here-document keeps the pool index of its pending
// terminators above the nibble; an open quote keeps its delimiter, nesting and flags there.
constexpr HighlighterRange kStateMask = 0xF;
enum State : HighlighterRange { kCode = 0, kInPod = 1, kInFormat = 2, kInData = 3, kInDataPod = 4, kInHeredoc = 5, kInQuote = 6 };
constexpr unsigned kIndexShift = 4;

struct QuoteState {
  static constexpr HighlighterRange kInterpolate = 1u << 20, kRegexKind = 1u << 21, kMorePart = 1u << 22,
                                    kAwaitOpen = 1u << 23;
  unsigned char close = 0;  // the closing delimiter
  unsigned depth = 0;       // nested opening brackets inside the quote
  bool interpolate = false;
  bool regex = false;
  bool morePart = false;   // s, tr and y have a second part
  bool awaitOpen = false;  // between the parts of s{...}{...}

  static QuoteState From(HighlighterRange r) {
    QuoteState q;
    q.close = static_cast<unsigned char>((r >> 4) & 0xFF);
    q.depth = (r >> 12) & 0xFF;
    q.interpolate = r & kInterpolate;
    q.regex = r & kRegexKind;
    q.morePart = r & kMorePart;
    q.awaitOpen = r & kAwaitOpen;
    return q;
  }
  HighlighterRange pack() const {
    return kInQuote | (static_cast<HighlighterRange>(close) << 4) | ((depth & 0xFF) << 12) |
           (interpolate ? kInterpolate : 0) | (regex ? kRegexKind : 0) | (morePart ? kMorePart : 0) |
           (awaitOpen ? kAwaitOpen : 0);
  }
};

unsigned char ClosingOf(unsigned char open) {
  switch (open) {
    case '(': return ')';
    case '[': return ']';
    case '{': return '}';
    case '<': return '>';
    default: return open;
  }
}

unsigned char OpeningOf(unsigned char close) {
  switch (close) {
    case ')': return '(';
    case ']': return '[';
    case '}': return '{';
    case '>': return '<';
    default: return 0;
  }
}

const KeywordSet& Keywords() {
  static const KeywordSet set(
      "if elsif else unless while until for foreach do last next redo goto return my our local state "
      "sub package use no require and or not xor eq ne lt gt le ge cmp isa given when default break "
      "continue format try catch finally defer __PACKAGE__ __FILE__ __LINE__ __SUB__",
      true);
  return set;
}

const KeywordSet& Functions() {
  static const KeywordSet set(
      "abs accept alarm atan2 bind binmode bless caller chdir chmod chomp chop chown chr chroot close "
      "closedir connect cos crypt dbmclose dbmopen defined delete die dump each endgrent endhostent "
      "endnetent endprotoent endpwent endservent eof eval evalbytes exec exists exit exp fc fcntl "
      "fileno flock fork formline getc getgrent getgrgid getgrnam gethostbyaddr gethostbyname "
      "gethostent getlogin getnetbyaddr getnetbyname getnetent getpeername getpgrp getppid "
      "getpriority getprotobyname getprotobynumber getprotoent getpwent getpwnam getpwuid "
      "getservbyname getservbyport getservent getsockname getsockopt glob gmtime grep hex index int "
      "ioctl join keys kill lc lcfirst length link listen localtime lock log lstat map mkdir msgctl "
      "msgget msgrcv msgsnd oct open opendir ord pack pipe pop pos print printf prototype push "
      "quotemeta rand read readdir readline readlink readpipe recv ref rename reset reverse rewinddir "
      "rindex rmdir say scalar seek seekdir select semctl semget semop send setgrent sethostent "
      "setnetent setpgrp setpriority setprotoent setpwent setservent setsockopt shift shmctl shmget "
      "shmread shmwrite shutdown sin sleep socket socketpair sort splice split sprintf sqrt srand stat "
      "study substr symlink syscall sysopen sysread sysseek system syswrite tell telldir tie tied time "
      "times truncate uc ucfirst umask undef unlink unpack unshift untie utime values vec wait waitpid "
      "wantarray warn write",
      true);
  return set;
}

const KeywordSet& SpecialSubs() {
  static const KeywordSet set("BEGIN END INIT CHECK UNITCHECK AUTOLOAD DESTROY", true);
  return set;
}

// Names that are predefined after a sigil, and the standard file handles as bare words.
const KeywordSet& PredefinedNames() {
  static const KeywordSet set("_ ARGV ARGVOUT ENV INC SIG STDIN STDOUT STDERR", true);
  return set;
}

const KeywordSet& FileHandles() {
  static const KeywordSet set("STDIN STDOUT STDERR ARGV ARGVOUT DATA", true);
  return set;
}

const KeywordSet& Pragmas() {
  static const KeywordSet set(
      "attributes autodie autouse base bigint bignum bigrat blib builtin bytes charnames constant "
      "deprecate diagnostics encoding experimental feature fields filetest if integer less lib "
      "locale mro ok open ops overload overloading parent re sigtrap sort strict subs threads utf8 "
      "vars version vmsish warnings",
      true);
  return set;
}

// The quote-like operators: q qq qw qx m qr s tr y.
bool IsQuoteWord(std::string_view w) {
  return w == "q" || w == "qq" || w == "qw" || w == "qx" || w == "m" || w == "qr" || w == "s" || w == "tr" ||
         w == "y";
}

// Punctuation that names a predefined variable after "$" ($&, $!, $/ ...).
const CharSet& PunctuationVars() {
  static const CharSet set = Chars("&`'+!@/\\,;.<>()[]|0-:?\"=~%^*$");
  return set;
}

bool IsLetter(unsigned char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }

// Moves past a name with "::" package separators; true when it held one.
bool SkipQualifiedName(Cursor& c) {
  bool qualified = false;
  for (;;) {
    c.skip(WordChars());
    if (c.at() == ':' && c.at(1) == ':') {
      qualified = true;
      c.advance(2);
      continue;
    }
    return qualified;
  }
}

// The next position of a byte at or after a position in one line. Scanning only moves forward,
// so remembering the last answer per byte keeps lines full of unclosed brackets linear.
class NextOf {
 public:
  void reset() { entries_ = {}; }
  std::size_t find(std::string_view text, std::size_t from, char ch) {
    for (Entry& e : entries_) {
      if (e.used && e.ch != ch) continue;
      if (!e.used || from < e.from || (e.at != std::string_view::npos && e.at < from)) {
        e = {true, ch, from, text.find(ch, from)};
      }
      return e.at;
    }
    return text.find(ch, from);
  }

 private:
  struct Entry {
    bool used = false;
    char ch = 0;
    std::size_t from = 0;
    std::size_t at = std::string_view::npos;
  };
  std::array<Entry, 6> entries_{};
};

// A "$" or "@" that starts an interpolated variable inside a string closed by `close`.
bool AtInterpolation(const Cursor& c, unsigned char close) {
  unsigned char sigil = c.at(), n = c.at(1);
  if ((sigil != '$' && sigil != '@') || n == close) return false;
  if (WordStartChars().test(n)) return true;
  if (n == '{') return close != '}';
  if (n == '$') return WordStartChars().test(c.at(2)) || c.at(2) == '{';
  if (sigil == '$') return DigitChars().test(n) || (n == ':' && c.at(1) == ':');
  return false;
}

// At an interpolated variable: its sigils, name and (outside patterns) the subscripts after it.
// Returns the kind: $_, $1 and the like are predefined.
int ScanInterpolated(Cursor& c, unsigned char close, bool subscripts, NextOf& next) {
  c.advance();
  bool deref = false;
  while (c.at() == '$') {
    c.advance();
    deref = true;
  }
  if (c.at() == '{') {
    std::size_t end = next.find(c.text, c.pos, '}');
    if (end != std::string_view::npos) c.pos = end + 1;
    return kVariable;
  }
  std::size_t nameStart = c.pos;
  bool predefined = false;
  if (DigitChars().test(c.at())) {
    c.skip(DigitChars());
    predefined = true;
  } else {
    predefined = !SkipQualifiedName(c) && PredefinedNames().contains(c.from(nameStart));
  }
  while (subscripts) {
    std::size_t arrow = (c.at() == '-' && c.at(1) == '>') ? 2 : 0;
    unsigned char open = c.at(arrow);
    if (open != '[' && open != '{') break;
    unsigned char shut = ClosingOf(open);
    if (shut == close) break;
    std::size_t end = next.find(c.text, c.pos + arrow, static_cast<char>(shut));
    if (end == std::string_view::npos) break;
    if (close && next.find(c.text, c.pos, static_cast<char>(close)) < end) break;
    c.pos = end + 1;
  }
  return predefined && !deref ? kPredefined : kVariable;
}

class PerlLexer final : public Lexer {
 public:
  void beginLine(std::string_view, HighlighterRange&) override {
    expectTerm_ = true;
    afterArrow_ = false;
    afterUse_ = false;
    seenToken_ = false;
    pendingFormat_ = false;
    pendingHeredocs_.clear();
    next_.reset();
  }

  int scan(Cursor& c, HighlighterRange& range) override {
    switch (range & kStateMask) {
      case kInPod:
      case kInDataPod: return podLine(c, range);
      case kInFormat: return formatLine(c, range);
      case kInData: return dataLine(c, range);
      case kInHeredoc: return heredocLine(c, range);
      case kInQuote: return quote(c, range, false);
      case kCode: break;
      default: range = kCode; break;
    }
    return code(c, range);
  }

  void endLine(std::string_view, HighlighterRange& range) override {
    if (!pendingHeredocs_.empty()) {
      // Bodies follow this line in the order their operators appeared.
      std::string chain;
      for (const std::string& item : pendingHeredocs_) chain += item + '\n';
      std::uint32_t index = pool_.intern(chain);
      range = index ? (kInHeredoc | (index << kIndexShift)) : kCode;
    } else if (pendingFormat_ && (range & kStateMask) == kCode) {
      range = kInFormat;
    }
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<PerlLexer>(*this); }

 private:
  static int podLine(Cursor& c, HighlighterRange& range) {
    if (c.pos == 0 && c.startsWith("=cut") && !WordChars().test(c.at(4)))
      range = (range & kStateMask) == kInDataPod ? kInData : kCode;
    c.toEnd();
    return kPod;
  }

  static int dataLine(Cursor& c, HighlighterRange& range) {
    if (c.pos == 0 && c.at() == '=' && IsLetter(c.at(1))) {
      if (!(c.startsWith("=cut") && !WordChars().test(c.at(4)))) range = kInDataPod;
      c.toEnd();
      return kPod;
    }
    c.toEnd();
    return kData;
  }

  static int formatLine(Cursor& c, HighlighterRange& range) {
    std::string_view line = c.text;
    while (!line.empty() && SpaceChars().test(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
    if (c.pos == 0 && line == ".") range = kCode;
    c.toEnd();
    return kFormat;
  }

  int heredocLine(Cursor& c, HighlighterRange& range) {
    std::string_view chain = pool_.get(range >> kIndexShift);
    std::size_t nl = chain.find('\n');
    if (nl == std::string_view::npos || nl < 3) {  // a range this lexer never made
      range = kCode;
      return code(c, range);
    }
    bool interpolate = chain[0] == 'i';
    bool indented = chain[1] == '~';
    std::string_view terminator = chain.substr(2, nl - 2);
    if (c.pos == 0) {
      std::string_view body = c.text;
      if (indented) body.remove_prefix(std::min(body.size(), body.find_first_not_of(" \t")));
      if (body == terminator) {
        std::string_view rest = chain.substr(nl + 1);
        std::uint32_t index = rest.empty() ? 0 : pool_.intern(rest);
        range = index ? (kInHeredoc | (index << kIndexShift)) : kCode;
        c.toEnd();
        return kHeredoc;
      }
    }
    if (!interpolate) {
      c.toEnd();
      return kHeredoc;
    }
    if (AtInterpolation(c, 0)) return ScanInterpolated(c, 0, true, next_);
    c.advance();
    while (!c.atEnd()) {
      if (c.at() == '\\') {
        c.advance(2);
        continue;
      }
      if (AtInterpolation(c, 0)) break;
      c.advance();
    }
    return kHeredoc;
  }

  // Inside a string, a quote-like operator or a pattern. `fresh`: the cursor is just past the
  // opening delimiter and the token so far is the opener.
  int quote(Cursor& c, HighlighterRange& range, bool fresh) {
    QuoteState q = QuoteState::From(range);
    int kind = q.regex ? kRegex : kQuote;
    if (q.awaitOpen) {
      if (SpaceChars().test(c.at())) {
        c.skip(SpaceChars());
        return kind;
      }
      q.awaitOpen = false;
      q.close = ClosingOf(c.at());
      q.depth = 0;
      c.advance();
      fresh = true;
    }
    if (q.close == 0) {
      range = kCode;
      return code(c, range);
    }
    if (!fresh && q.interpolate && AtInterpolation(c, q.close)) {
      range = q.pack();
      return ScanInterpolated(c, q.close, !q.regex, next_);
    }
    unsigned char open = OpeningOf(q.close);
    while (!c.atEnd()) {
      unsigned char ch = c.at();
      if (ch == '\\' && q.close != '\\') {
        c.advance(2);
        continue;
      }
      if (q.interpolate && AtInterpolation(c, q.close)) break;
      c.advance();
      if (open && ch == open) {
        if (q.depth < 255) ++q.depth;
        continue;
      }
      if (ch != q.close) continue;
      if (q.depth > 0) {
        --q.depth;
        continue;
      }
      if (q.morePart) {
        q.morePart = false;
        if (!open) continue;  // s/a/b/: the same delimiter goes on
        c.skip(SpaceChars());
        if (c.atEnd()) {
          q.awaitOpen = true;
          break;
        }
        q.close = ClosingOf(c.at());
        open = OpeningOf(q.close);
        c.advance();
        continue;
      }
      if (q.regex) c.skip(CharRange('a', 'z') | CharRange('A', 'Z'));
      range = kCode;
      expectTerm_ = false;
      return kind;
    }
    range = q.pack();
    return kind;
  }

  int code(Cursor& c, HighlighterRange& range) {
    unsigned char ch = c.at();
    if (c.pos == 0) {
      if (ch == '=' && IsLetter(c.at(1))) {
        if (!(c.startsWith("=cut") && !WordChars().test(c.at(4)))) range = kInPod;
        c.toEnd();
        return kPod;
      }
      if ((c.startsWith("__END__") && !WordChars().test(c.at(7))) ||
          (c.startsWith("__DATA__") && !WordChars().test(c.at(8)))) {
        range = kInData;
        c.toEnd();
        return kData;
      }
    }
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    bool firstToken = !seenToken_;
    seenToken_ = true;
    bool arrow = afterArrow_;
    bool afterUse = afterUse_;
    afterArrow_ = afterUse_ = false;
    if (ch == '#') {
      c.toEnd();
      return kComment;
    }
    if (ch == '$' || ch == '@' || ch == '%' || ch == '&' || ch == '*') {
      int kind = variable(c);
      if (kind >= 0) {
        expectTerm_ = false;
        return kind;
      }
    }
    if (WordStartChars().test(ch)) return word(c, range, firstToken, arrow, afterUse);
    if (DigitChars().test(ch) || (ch == '.' && expectTerm_ && DigitChars().test(c.at(1)))) {
      expectTerm_ = false;
      switch (ScanNumber(c, {'_', true, true, true})) {
        case NumberClass::Hex: return kHex;
        case NumberClass::Octal: return kOctal;
        default: return kDecimal;
      }
    }
    if (ch == '"' || ch == '\'' || ch == '`' || (ch == '/' && expectTerm_)) {
      QuoteState q;
      q.close = ch;
      q.interpolate = ch != '\'';
      q.regex = ch == '/';
      c.advance();
      range = q.pack();
      return quote(c, range, true);
    }
    if (ch == '<' && c.at(1) == '<') {
      if (heredocStart(c)) {
        expectTerm_ = false;
        return kHeredoc;
      }
    }
    if (ch == '-' && expectTerm_ && IsLetter(c.at(1)) && !WordChars().test(c.at(2)) &&
        Chars("rwxoRWXOezsfdlpSbcugktTBAMC").test(c.at(1))) {
      c.advance(2);  // a file test: -e $name
      return kOperator;
    }
    if (Chars("([{,;").test(ch)) {
      c.advance();
      expectTerm_ = true;
      return kSymbol;
    }
    if (Chars(")]}").test(ch)) {
      c.advance();
      expectTerm_ = false;
      return kSymbol;
    }
    if (Chars("+-*/%=<>!~\\?:.&|^").test(ch)) {
      static constexpr std::string_view kLong[] = {"<=>", "**=", "||=", "&&=", "//=", "...", "<<=", ">>=", "=~",
                                                   "!~", "==", "!=", "<=", ">=", "**", "++", "--", "&&", "||",
                                                   "//", "..", "->", "=>", "::", "+=", "-=", "*=", "/=", ".=",
                                                   "%=", "|=", "&=", "^=", "<<", ">>"};
      std::size_t len = 1;
      for (std::string_view op : kLong)
        if (c.startsWith(op)) {
          len = op.size();
          break;
        }
      afterArrow_ = len == 2 && c.at() == '-' && c.at(1) == '>';
      c.advance(len);
      expectTerm_ = true;
      return kOperator;
    }
    c.advance();
    return kSymbol;
  }

  // At a sigil: the variable it starts, or -1 when the character is an operator here.
  int variable(Cursor& c) {
    unsigned char sigil = c.at(), n = c.at(1);
    if (sigil == '%' || sigil == '&' || sigil == '*') {
      bool term = expectTerm_ && (WordStartChars().test(n) || n == '$' || n == '{' || (sigil == '%' && (n == '+' || n == '-')) ||
                                  (n == ':' && c.at(2) == ':'));
      if (!term) return -1;
    }
    if (sigil == '@' && !(WordStartChars().test(n) || n == '$' || n == '{' || n == '-' || n == '+' || n == ':'))
      return -1;
    c.advance();
    if (sigil == '$' && n == '#' && (c.at(1) == '$' || c.at(1) == '{' || WordStartChars().test(c.at(1)))) c.advance();
    if (c.at() == '$' && !(WordStartChars().test(c.at(1)) || c.at(1) == '$' || c.at(1) == '{' || c.at(1) == ':')) {
      c.advance();  // "$$": the process number
      return kPredefined;
    }
    bool deref = false;
    while (c.at() == '$') {
      c.advance();
      deref = true;
    }
    unsigned char first = c.at();
    if (first == '{') {
      std::size_t end = next_.find(c.text, c.pos, '}');
      bool simple = end != std::string_view::npos && end > c.pos + 1;
      for (std::size_t i = c.pos + 1; simple && i < end; ++i)
        simple = WordChars().test(static_cast<unsigned char>(c.text[i])) || (i == c.pos + 1 && c.text[i] == '^');
      if (simple) {
        bool caret = c.text[c.pos + 1] == '^';
        c.pos = end + 1;
        return caret ? kPredefined : kVariable;
      }
      return kVariable;  // "${" "@{": a block follows
    }
    if (WordStartChars().test(first) || (first == ':' && c.at(1) == ':')) {
      std::size_t nameStart = c.pos;
      bool qualified = SkipQualifiedName(c);
      if (!deref && !qualified && sigil != '&' && PredefinedNames().contains(c.from(nameStart))) return kPredefined;
      return sigil == '&' ? kWord : kVariable;
    }
    if (sigil == '$' || sigil == '@' || sigil == '%') {
      if (DigitChars().test(first)) {
        c.skip(DigitChars());
        return kPredefined;
      }
      if (first == '^' && (IsLetter(c.at(1)) || c.at(1) == '_' || c.at(1) == '[' || c.at(1) == ']')) {
        c.advance(2);
        return kPredefined;
      }
      if (PunctuationVars().test(first) && first != 0 && !deref) {
        c.advance();
        return kPredefined;
      }
    }
    return kVariable;
  }

  int word(Cursor& c, HighlighterRange& range, bool firstToken, bool arrow, bool afterUse) {
    std::size_t start = c.pos;
    bool qualified = SkipQualifiedName(c);
    std::string_view w = c.from(start);
    bool expected = expectTerm_;
    expectTerm_ = false;
    if (qualified || arrow) return kWord;
    // A bare word before "=>" or alone in braces is a string, never an operator.
    Cursor after = c;
    after.skip(SpaceChars());
    bool bareKey = after.startsWith("=>") || (start > 0 && c.text[start - 1] == '{' && c.at() == '}');
    if (bareKey) return kWord;
    if (IsQuoteWord(w)) {
      unsigned char d = after.at();
      bool spaced = after.pos > c.pos;
      bool quoteLike = !after.atEnd() && !(spaced && (d == '#' || WordChars().test(d) || d == '=')) &&
                       d != ',' && d != ';' && d != ')' && !(d == '=' && after.at(1) == '=');
      if (quoteLike) {
        QuoteState q;
        q.close = ClosingOf(d);
        q.interpolate = d != '\'' && w != "q" && w != "qw" && w != "tr" && w != "y";
        q.regex = w == "m" || w == "qr" || w == "s" || w == "tr" || w == "y";
        q.morePart = w == "s" || w == "tr" || w == "y";
        c.pos = after.pos + 1;
        range = q.pack();
        return quote(c, range, true);
      }
    }
    if (w.size() > 1 && w[0] == 'v' && w.find_first_not_of("0123456789", 1) == std::string_view::npos) {
      while (c.at() == '.' && DigitChars().test(c.at(1))) {  // a version string: v5.36.0
        c.advance();
        c.skip(DigitChars());
      }
      return kDecimal;
    }
    if (afterUse && Pragmas().contains(w)) {
      expectTerm_ = true;
      return kPragma;
    }
    if (w == "x" && !expected) {  // repetition: "-" x 20
      expectTerm_ = true;
      return kOperator;
    }
    if (Keywords().contains(w)) {
      afterUse_ = w == "use" || w == "no";
      expectTerm_ = !w.starts_with("__");
      if (firstToken && w == "format") pendingFormat_ = IsFormatHeader(c.rest());
      return kKeyword;
    }
    if (SpecialSubs().contains(w)) return kSpecialSub;
    if (Functions().contains(w)) {
      expectTerm_ = true;
      return kFunction;
    }
    if (FileHandles().contains(w)) {
      expectTerm_ = true;
      return kPredefined;
    }
    return kWord;
  }

  // The rest of a "format NAME =" line.
  static bool IsFormatHeader(std::string_view rest) {
    Cursor c{rest, 0};
    c.skip(SpaceChars());
    SkipQualifiedName(c);
    c.skip(SpaceChars());
    if (c.at() != '=') return false;
    c.advance();
    c.skip(SpaceChars());
    return c.atEnd();
  }

  // At "<<": a here-document operator (<<EOF, <<"EOF", <<'EOF', <<~EOF); the body follows the line.
  bool heredocStart(Cursor& c) {
    Cursor p = c;
    p.advance(2);
    bool indented = p.at() == '~';
    if (indented) p.advance();
    if (expectTerm_ && p.at() == ' ') p.skip(Chars(" \t"));
    if (p.pos > c.pos + 2 + (indented ? 1 : 0) && p.at() != '"' && p.at() != '\'') return false;
    unsigned char q = p.at();
    std::string_view terminator;
    bool interpolate = true;
    if (q == '"' || q == '\'' || q == '`') {
      std::size_t end = p.text.find(static_cast<char>(q), p.pos + 1);
      if (end == std::string_view::npos) return false;
      terminator = p.text.substr(p.pos + 1, end - p.pos - 1);
      interpolate = q != '\'';
      p.pos = end + 1;
    } else if (WordStartChars().test(q)) {
      std::size_t start = p.pos;
      p.skip(WordChars());
      terminator = p.from(start);
    }
    if (terminator.empty() || terminator.size() > 200 || terminator.find('\n') != std::string_view::npos ||
        pendingHeredocs_.size() >= 16)
      return false;
    std::string item;
    item += interpolate ? 'i' : 'n';
    item += indented ? '~' : '-';
    item += terminator;
    pendingHeredocs_.push_back(std::move(item));
    c.pos = p.pos;
    return true;
  }

  StringPool pool_;
  // Line-local state, reset at the start of each line.
  bool expectTerm_ = true;  // a "/" here starts a pattern, "%" a hash
  bool afterArrow_ = false;
  bool afterUse_ = false;
  bool seenToken_ = false;
  bool pendingFormat_ = false;
  std::vector<std::string> pendingHeredocs_;
  NextOf next_;
};

}  // namespace

std::unique_ptr<Highlighter> MakePerlHighlighter() {
  return std::make_unique<LexerHighlighter>("Perl", std::make_unique<PerlLexer>(), kAttributes,
                                            WordChars() | Chars("$@%"));
}

}  // namespace qv::lang
