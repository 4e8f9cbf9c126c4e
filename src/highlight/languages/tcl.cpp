// The Tcl/Tk highlighter: comments only where a command starts, braces and brackets, quoted
// strings carried across lines, $variables, the Tcl 8.6 commands and the Tk commands.
#include "highlight/languages/tcl.h"

#include <vector>

#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind { kComment, kIdentifier, kReserved, kSecondReserved, kNumber, kSpace, kString, kSymbol, kVariable };

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Identifier", "Identifier", kClWindowText, kClNone, 0, Role::Identifier},
    {"Reserved word", "Reserved_Word", kNavy, kClNone, kFsBold, Role::Keyword},
    {"Second reserved word", "Second_Reserved_Word", kBlue, kClNone, kFsBold},
    {"Number", "Number", kRed, kClNone, 0},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
    {"Variable", "Variable", kTeal, kClNone, 0},
};

// Range bits: inside a quoted string; the line continues a comment; the line continues a
// command (the previous one ended in a backslash), so it does not start one.
constexpr HighlighterRange kInString = 1, kInComment = 2, kContinued = 4;

constexpr std::string_view kCommands =
    "after append apply array auto_execok auto_import auto_load auto_mkindex auto_qualify "
    "auto_reset bgerror binary break catch cd chan clock close coroutine concat continue dict "
    "else elseif encoding eof error eval exec exit expr fblocked fconfigure fcopy file fileevent "
    "finally flush for foreach format gets glob global history if incr info interp join lappend "
    "lassign lindex linsert list llength lmap load lrange lrepeat lreplace lreverse lsearch lset "
    "lsort namespace oo::class oo::copy oo::define oo::objdefine oo::object open package pid "
    "proc puts pwd read refchan regexp regsub rename return scan seek set socket source split "
    "string subst switch tailcall tell then throw time tm trace try unload unset update uplevel "
    "upvar variable vwait while yield yieldto zlib my self next method constructor destructor";

// The words of a blank- or line-separated list, in their order.
std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && SpaceChars().test(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t start = i;
    while (i < text.size() && !SpaceChars().test(static_cast<unsigned char>(text[i]))) ++i;
    if (i > start) out.emplace_back(text.substr(start, i - start));
  }
  return out;
}

const KeywordSet& TkCommands() {
  static const KeywordSet set(
      "bell bind bindtags button canvas checkbutton clipboard console destroy entry event focus font "
      "frame grab grid image label labelframe listbox lower menu menubutton message option pack "
      "panedwindow photo place radiobutton raise scale scrollbar selection send spinbox text tk "
      "tk_chooseColor tk_chooseDirectory tk_getOpenFile tk_getSaveFile tk_messageBox tk_popup tkwait "
      "toplevel winfo wm ttk::button ttk::checkbutton ttk::combobox ttk::entry ttk::frame ttk::label "
      "ttk::labelframe ttk::menubutton ttk::notebook ttk::panedwindow ttk::progressbar "
      "ttk::radiobutton ttk::scale ttk::scrollbar ttk::separator ttk::sizegrip ttk::spinbox "
      "ttk::style ttk::treeview",
      true);
  return set;
}

const CharSet& NameChars() {
  static const CharSet set = WordChars() | Chars(":");
  return set;
}

bool EndsInBackslash(std::string_view line) {
  std::size_t n = 0;
  while (n < line.size() && line[line.size() - 1 - n] == '\\') ++n;
  return n % 2 == 1;
}

class TclLexer final : public Lexer {
 public:
  TclLexer() { setKeyWords(kCommands); }

  std::string keyWords() const {
    std::string out;
    for (const std::string& w : words_) out += w + "\r\n";
    return out;
  }
  void setKeyWords(std::string_view text) {
    words_ = SplitWords(text);
    std::string joined;
    for (const std::string& w : words_) joined += w + ' ';
    commands_ = KeywordSet(joined, true);
  }

  void beginLine(std::string_view, HighlighterRange& range) override {
    commandStart_ = !(range & kContinued);
    noParenFrom_ = std::string_view::npos;
  }

  int scan(Cursor& c, HighlighterRange& range) override {
    if (range & kInComment) {
      c.toEnd();
      return kComment;
    }
    if (range & kInString) return stringBody(c, range);
    range = 0;
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    bool start = commandStart_;
    commandStart_ = false;
    if (ch == '#' && start) {
      c.toEnd();
      range = kInComment;  // kept only when the line ends in a backslash
      return kComment;
    }
    if (ch == '"') {
      c.advance();
      range = kInString;
      fresh_ = true;
      return stringBody(c, range);
    }
    if (ch == '$') return variable(c);
    if (ch == '\\') {
      c.advance(2);  // an escaped character is part of a word
      return kIdentifier;
    }
    if (ch == ';' || ch == '[' || ch == '{') {
      c.advance();
      commandStart_ = true;
      return kSymbol;
    }
    if (ch == '-' && WordStartChars().test(c.at(1))) {  // an option: -text, -command
      c.advance();
      c.skip(NameChars());
      return kIdentifier;
    }
    if (DigitChars().test(ch)) {
      ScanNumber(c, {0, false, true, true});
      return kNumber;
    }
    if (NameChars().test(ch)) {
      std::size_t begin = c.pos;
      c.skip(NameChars());
      std::string_view word = c.from(begin);
      while (word.starts_with("::")) word.remove_prefix(2);
      if (commands_.contains(word)) return kReserved;
      if (TkCommands().contains(word)) return kSecondReserved;
      return kIdentifier;
    }
    c.advance();
    return kSymbol;
  }

  void endLine(std::string_view line, HighlighterRange& range) override {
    bool continued = EndsInBackslash(line);
    if ((range & kInComment) && !continued) range &= ~kInComment;
    range = (range & ~kContinued) | (continued && !(range & kInString) ? kContinued : 0);
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<TclLexer>(*this); }

 private:
  int variable(Cursor& c) {
    c.advance();
    if (c.at() == '{') {
      std::size_t end = c.text.find('}', c.pos);
      c.pos = end == std::string_view::npos ? c.text.size() : end + 1;
      return kVariable;
    }
    c.skip(NameChars());
    if (c.at() == '(' && c.pos < noParenFrom_) {  // an array element: $name(index)
      std::size_t end = c.text.find(')', c.pos);
      if (end != std::string_view::npos)
        c.pos = end + 1;
      else
        noParenFrom_ = c.pos;  // none further on: do not search again
    }
    return kVariable;
  }

  // Inside a quoted string: text up to the closing quote, with $variables as their own tokens.
  int stringBody(Cursor& c, HighlighterRange& range) {
    bool fresh = fresh_;
    fresh_ = false;
    if (!fresh && c.at() == '$' && (NameChars().test(c.at(1)) || c.at(1) == '{')) return variable(c);
    while (!c.atEnd()) {
      unsigned char ch = c.at();
      if (ch == '\\') {
        c.advance(2);
        continue;
      }
      if (ch == '$' && (NameChars().test(c.at(1)) || c.at(1) == '{')) break;  // the text before it is one token
      c.advance();
      if (ch == '"') {
        range &= ~kInString;
        return kString;
      }
    }
    return kString;
  }

  std::vector<std::string> words_;  // the reserved words in the user's order
  KeywordSet commands_;             // the same words, for lookup
  bool commandStart_ = true;        // a "#" here starts a comment
  bool fresh_ = false;              // the string's opening quote is the token so far
  std::size_t noParenFrom_ = std::string_view::npos;
};

}  // namespace

std::unique_ptr<Highlighter> MakeTclHighlighter() {
  return std::make_unique<LexerHighlighter>("Tcl/Tk", std::make_unique<TclLexer>(), kAttributes, NameChars());
}

namespace {

const TclLexer* TclLexerOf(const Highlighter& h) {
  auto* lh = dynamic_cast<const LexerHighlighter*>(&h);
  return lh ? dynamic_cast<const TclLexer*>(&lh->lexer()) : nullptr;
}

TclLexer* TclLexerOf(Highlighter& h) {
  auto* lh = dynamic_cast<LexerHighlighter*>(&h);
  return lh ? dynamic_cast<TclLexer*>(&lh->lexer()) : nullptr;
}

}  // namespace

std::optional<std::string> TclHighlighterKeyWords(const Highlighter& h) {
  const TclLexer* lexer = TclLexerOf(h);
  if (!lexer) return std::nullopt;
  return lexer->keyWords();
}

bool SetTclHighlighterKeyWords(Highlighter& h, std::string_view words) {
  TclLexer* lexer = TclLexerOf(h);
  if (!lexer) return false;
  lexer->setKeyWords(words);
  return true;
}

}  // namespace qv::lang
