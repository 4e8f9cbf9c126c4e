// The FoxPro highlighter: * and NOTE comment lines (continued by a trailing ";"), && comments,
// strings in '', "" and [], .T. style constants, and keywords in any case, also abbreviated to
// their first four letters.
#include <string>

#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind { kComment, kIdentifier, kReserved, kNumber, kSpace, kString, kSymbol };

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Identifier", "Identifier", kNavy, kClNone, 0, Role::Identifier},
    {"Reserved word", "Reserved_Word", kBlue, kClNone, kFsBold, Role::Keyword},
    {"Number", "Number", kRed, kClNone, 0},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
};

constexpr std::string_view kKeywords =
    "accept activate additive alias all alltrim alter and append array asc ascending at average "
    "between blank bottom browse by calculate call cancel case cdow chr clear close cmonth col "
    "collate color command compile continue copy count create ctod cursor database date day "
    "deactivate declare default define delete descending dimension dir directory display distinct "
    "dlls do doevents dow dtoc dtos edit eject else enddefine enddo endfor endfunc endif endcase "
    "endproc endscan endtext endtry endwith eof erase error exact exclusive exit export external "
    "fcount field fields file filter finally find flush for form format found from function gather "
    "get go goto having help hide iif import in index indexes inkey input insert into isblank "
    "isnull join keyboard label last left len like list local locate loop lower ltrim lparameters "
    "menu message min max modify month move next note nodefault nvl object of off on order "
    "otherwise pack parameters pop popup private procedure program protected public push quit "
    "read recall recno reccount refresh reindex release rename replace report restore resume "
    "retry return right round rtrim run safety save say scan scatter scroll seek select set "
    "show skip sort space sql store str structure substr sum summary suspend table tag text then "
    "this thisform thisformset to top total transform trim try type union unique unlock update "
    "upper use val validate values view wait where while window with year zap "
    "addobject createobject define class endclass as bof dodefault getobject messagebox newobject "
    "sys textmerge throw catch lock rlock flock strtran occurs at_c padl padr padc sqlexec "
    "sqlconnect sqldisconnect used dbf alen acopy ascan asort fopen fclose fgets fputs fwrite "
    "fread fseek fcreate include if ifdef ifndef undef deleted shared nowait noupdate again talk "
    "memo memvar blank noconsole console printer nowait preview";

const KeywordSet& Keywords() {
  static const KeywordSet set(kKeywords, false);
  return set;
}

// "REPL" for REPLACE, "MODI" for MODIFY: the first four or more letters of a longer keyword.
const KeywordSet& Abbreviations() {
  static const KeywordSet set = [] {
    std::string prefixes;
    Cursor c{kKeywords, 0};
    while (!c.atEnd()) {
      c.skip(SpaceChars());
      std::size_t start = c.pos;
      while (!c.atEnd() && !SpaceChars().test(c.at())) c.advance();
      std::string_view word = c.from(start);
      for (std::size_t n = 4; n < word.size(); ++n) (prefixes += word.substr(0, n)) += ' ';
    }
    return KeywordSet(prefixes, false);
  }();
  return set;
}

const KeywordSet& DotConstants() {
  static const KeywordSet set("t f y n null and or not", false);
  return set;
}

// Range: the comment goes on (the previous comment line ended in ";").
constexpr HighlighterRange kCommentContinues = 1;

class FoxLexer final : public Lexer {
 public:
  void beginLine(std::string_view, HighlighterRange&) override {
    firstToken_ = true;
    subscriptMayFollow_ = false;
    lineIsComment_ = false;
  }

  int scan(Cursor& c, HighlighterRange& range) override {
    if (range == kCommentContinues) return comment(c);
    range = 0;
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    bool first = firstToken_;
    firstToken_ = false;
    bool subscript = subscriptMayFollow_;
    subscriptMayFollow_ = false;
    if (ch == '&' && c.at(1) == '&') {
      c.toEnd();
      return kComment;
    }
    if ((first && ch == '*') || (first && c.startsWithNoCase("note") && !WordChars().test(c.at(4)))) return comment(c);
    if (ch == '\'' || ch == '"' || (ch == '[' && !subscript)) {
      unsigned char close = ch == '[' ? ']' : ch;
      c.advance();
      std::size_t end = c.text.find(static_cast<char>(close), c.pos);
      c.pos = end == std::string_view::npos ? c.text.size() : end + 1;
      return kString;
    }
    if (ch == '.' && WordStartChars().test(c.at(1))) {
      Cursor w{c.text, c.pos + 1};
      w.skip(WordChars());
      if (w.at() == '.' && DotConstants().contains(w.from(c.pos + 1))) {
        c.pos = w.pos + 1;
        return kReserved;
      }
    }
    if (DigitChars().test(ch) || (ch == '.' && DigitChars().test(c.at(1)))) {
      ScanNumber(c, {0, false, false, false});
      subscriptMayFollow_ = true;
      return kNumber;
    }
    if (ch == '#' && WordStartChars().test(c.at(1))) {  // #DEFINE, #IF ...
      Cursor w{c.text, c.pos + 1};
      w.skip(WordChars());
      if (Keywords().contains(w.from(c.pos + 1))) {
        c.pos = w.pos;
        return kReserved;
      }
    }
    if (WordStartChars().test(ch)) {
      std::size_t start = c.pos;
      c.skip(WordChars());
      std::string_view word = c.from(start);
      bool member = start > 0 && c.text[start - 1] == '.';
      if (!member && (Keywords().contains(word) || Abbreviations().contains(word))) return kReserved;
      subscriptMayFollow_ = true;
      return kIdentifier;
    }
    c.advance();
    subscriptMayFollow_ = ch == ')' || ch == ']';
    return kSymbol;
  }

  void endLine(std::string_view line, HighlighterRange& range) override {
    std::size_t last = line.find_last_not_of(" \t");
    range = lineIsComment_ && last != std::string_view::npos && line[last] == ';' ? kCommentContinues : 0;
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<FoxLexer>(*this); }

 private:
  // A comment line; a ";" at its end carries it on to the next line.
  int comment(Cursor& c) {
    c.toEnd();
    lineIsComment_ = true;
    return kComment;
  }

  bool firstToken_ = true;
  bool subscriptMayFollow_ = false;  // a "[" here indexes an array rather than opening a string
  bool lineIsComment_ = false;
};

}  // namespace

std::unique_ptr<Highlighter> MakeFoxHighlighter() {
  return std::make_unique<LexerHighlighter>("Foxpro", std::make_unique<FoxLexer>(), kAttributes, WordChars());
}

}  // namespace qv::lang
