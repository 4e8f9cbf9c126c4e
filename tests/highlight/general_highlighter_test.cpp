// The general highlighter: how configured languages split lines into tokens across lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "highlight/extra_attributes.h"
#include "highlight/general_highlighter.h"

namespace qv {
namespace {

struct LanguageSetup {
  std::string lineComment = "//";
  std::string blockBeg = "/*";
  std::string blockEnd = "*/";
  std::string stringBeg = "\"";
  std::string stringEnd = "\"";
  char escape = 0;
  bool multiline = false;
  bool caseSensitive = false;
  bool preprocessor = false;
  std::string identBeg = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
  std::string ident = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789";
  std::string numChars = "0123456789";
  std::vector<std::string> keywords1;
};

std::unique_ptr<TSynMyGeneralSyn> Make(const LanguageSetup& s) {
  auto hl = std::make_unique<TSynMyGeneralSyn>();
  hl->setIdentifierChars(s.ident);
  hl->setIdentifierBegChars(s.identBeg);
  hl->setNumConstChars(s.numChars);
  hl->setCaseSensitive(s.caseSensitive);
  hl->setDetectPreprocessor(s.preprocessor);
  hl->setComments(s.lineComment, s.blockBeg, s.blockEnd);
  hl->setStringDelimiters(s.stringBeg, s.stringEnd, s.multiline);
  hl->setEscapeChar(s.escape);
  hl->setKeyWords(1, s.keywords1);
  hl->buildDispatchTable();
  return hl;
}

const char* KindName(int kind) {
  static const char* const kNames[] = {"comment", "ident",  "key1",   "key2", "key3",
                                       "key4",    "key5",   "eol",    "num",  "pre",
                                       "space",   "string", "symbol", "other"};
  return kind >= 0 && kind <= 13 ? kNames[kind] : "?";
}

// Every token of every line as kind(text), lines separated by " | ", carrying the range.
std::string Tokens(Highlighter& hl, const std::vector<std::string>& lines) {
  std::string out;
  hl.resetRange();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) out += " | ";
    hl.setLine(lines[i], static_cast<int>(i));
    bool first = true;
    for (; !hl.eol(); hl.next()) {
      if (!first) out += ' ';
      first = false;
      out += KindName(hl.tokenKind());
      out += '(' + std::string(hl.tokenText()) + ')';
    }
  }
  return out;
}

struct Case {
  const char* what;
  LanguageSetup setup;
  std::vector<std::string> lines;
  std::string expected;
};

LanguageSetup With(void (*change)(LanguageSetup&)) {
  LanguageSetup s;
  change(s);
  return s;
}

const Case kCases[] = {
    {"line comment after an identifier", {}, {"a // b"}, "ident(a) space( ) comment(// b)"},
    {"block comment spanning two lines", {}, {"x /* y", "z */ w"},
     "ident(x) space( ) comment(/* y) | comment(z */) space( ) ident(w)"},
    {"empty line inside a block comment keeps it open", {}, {"/* a", "", "b */"},
     "comment(/* a) |  | comment(b */)"},
    {"block comment closed on its own line", {}, {"/* a */b"}, "comment(/* a */) ident(b)"},
    {"slash that begins no marker is a symbol", {}, {"a/b"}, "ident(a) symbol(/) ident(b)"},
    {"case-insensitive keywords match every spelling",
     With([](LanguageSetup& s) { s.keywords1 = {"BEGIN"}; }), {"begin Begin BEGIN"},
     "key1(begin) space( ) key1(Begin) space( ) key1(BEGIN)"},
    {"case-sensitive keywords match only their own spelling",
     With([](LanguageSetup& s) { s.caseSensitive = true; s.keywords1 = {"BEGIN"}; }),
     {"begin BEGIN"}, "ident(begin) space( ) key1(BEGIN)"},
    {"word marker REM needs a word boundary",
     With([](LanguageSetup& s) { s.lineComment = "REM"; s.blockBeg = s.blockEnd = ""; }),
     {"REMARK", "rem2", "rem x", "REM"}, "ident(REMARK) | ident(rem2) | comment(rem x) | comment(REM)"},
    {"word marker among several markers",
     With([](LanguageSetup& s) { s.lineComment = "REM ::"; s.blockBeg = s.blockEnd = ""; }),
     {"REMARK :: x", ":a"}, "ident(REMARK) space( ) comment(:: x) | symbol(:) ident(a)"},
    {"multi-line string runs to the closing quote on the next line",
     With([](LanguageSetup& s) { s.multiline = true; }), {"a \"b c", "d\" e"},
     "ident(a) space( ) string(\"b c) | string(d\") space( ) ident(e)"},
    {"closing quote first on the next line ends the string there",
     With([](LanguageSetup& s) { s.multiline = true; }), {"\"open", "\" x"},
     "string(\"open) | string(\") space( ) ident(x)"},
    {"without multi-line strings an open string ends with its line", {}, {"\"open", "x\""},
     "string(\"open) | ident(x) string(\")"},
    {"escaped quote does not end the string",
     With([](LanguageSetup& s) { s.escape = '\\'; }), {R"("a\"b" c)"},
     R"(string("a\"b") space( ) ident(c))"},
    {"escape at the end of the line",
     With([](LanguageSetup& s) { s.escape = '\\'; s.multiline = true; }), {R"("a\)", R"(b" c)"},
     R"(string("a\) | string(b") space( ) ident(c))"},
    {"opening character without an end character runs to the end of the line",
     With([](LanguageSetup& s) { s.stringBeg = "\"'"; s.stringEnd = "\""; s.multiline = true; }),
     {"'abc' d", "e"}, "string('abc' d) | ident(e)"},
    {"start and end characters pair by position",
     With([](LanguageSetup& s) { s.stringBeg = "<\""; s.stringEnd = ">\""; }), {"<a\"b> c"},
     "string(<a\"b>) space( ) ident(c)"},
    {"preprocessor line with detection on",
     With([](LanguageSetup& s) { s.preprocessor = true; }), {"#include <x.h>"},
     "pre(#include <x.h>)"},
    {"hash is a symbol with detection off", {}, {"#include"}, "symbol(#) ident(include)"},
    {"two dots end a number", With([](LanguageSetup& s) { s.numChars = "0123456789."; }),
     {"1..5 2.5"}, "num(1) other(.) other(.) num(5) space( ) num(2.5)"},
    {"other characters are one-character tokens", {}, {"a+=b"},
     "ident(a) other(+) other(=) ident(b)"},
    {"tabs and control characters are space", {}, {"a\t\x01 b"}, "ident(a) space(\t\x01 ) ident(b)"},
    {"line break characters inside a line", {}, {"a\r\nb\rc"},
     "ident(a) space(\r\n) ident(b) space(\r) ident(c)"},
    {"a zero byte inside a line is text", {}, {std::string("a\0b", 3)},
     std::string("ident(a) other(\0) ident(b)", 26)},
    {"empty line", {}, {""}, ""},
    {"marker that is also a line comment start: line comment wins",
     With([](LanguageSetup& s) { s.lineComment = "--"; s.blockBeg = "--["; s.blockEnd = "]]"; }),
     {"--[ x"}, "comment(--[ x)"},
    {"end markers close comments opened by any begin marker",
     With([](LanguageSetup& s) { s.blockBeg = "(* {"; s.blockEnd = "*) }"; s.lineComment = ""; }),
     {"(* a } b"}, "comment((* a }) space( ) ident(b)"},
    {"block markers compare without regard to case",
     With([](LanguageSetup& s) { s.blockBeg = "=begin"; s.blockEnd = "=end"; s.lineComment = "#"; }),
     {"=begin", "x", "=END y"}, "comment(=begin) | comment(x) | comment(=END) space( ) ident(y)"},
    {"identifier without identifier start characters",
     With([](LanguageSetup& s) { s.identBeg = ""; }), {"ab 1"},
     "other(a) other(b) space( ) num(1)"},
};

class GeneralHighlighterCases : public ::testing::TestWithParam<Case> {};

TEST_P(GeneralHighlighterCases, Tokenises) {
  const Case& c = GetParam();
  auto hl = Make(c.setup);
  EXPECT_EQ(Tokens(*hl, c.lines), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, GeneralHighlighterCases, ::testing::ValuesIn(kCases));

TEST(GeneralHighlighter, RangeValuesAtLineEnds) {
  LanguageSetup s;
  s.multiline = true;
  auto hl = Make(s);
  auto rangeAfter = [&](const std::string& line) {
    hl->setLine(line, 0);
    while (!hl->eol()) hl->next();
    return hl->range() & 0xFF;
  };
  hl->resetRange();
  EXPECT_EQ(hl->range(), 3u);
  EXPECT_EQ(rangeAfter("/* open"), 1u);
  EXPECT_EQ(rangeAfter(""), 1u);
  EXPECT_EQ(rangeAfter("*/ \"str"), 2u);
  EXPECT_EQ(rangeAfter("end\""), 3u);
}

TEST(GeneralHighlighter, LineInsideStringRescansOnItsOwn) {
  // Two delimiter pairs: a line re-scanned later continues with its own string's end character.
  LanguageSetup s;
  s.stringBeg = "\"'";
  s.stringEnd = "\"'";
  s.multiline = true;
  auto hl = Make(s);
  hl->resetRange();
  hl->setLine("x = \"abc", 0);
  while (!hl->eol()) hl->next();
  const HighlighterRange insideDouble = hl->range();
  hl->setLine("y = 'def", 1);  // another string opened by the same highlighter
  while (!hl->eol()) hl->next();

  hl->setRange(insideDouble);
  hl->setLine("it's\" z", 2);
  EXPECT_EQ(std::string(hl->tokenText()), "it's\"");
  EXPECT_EQ(hl->tokenKind(), TSynMyGeneralSyn::tkString);
}

TEST(GeneralHighlighter, RescanningOneLineFromItsStoredRangeEqualsTheFullScan) {
  LanguageSetup s;
  s.stringBeg = "\"'`";
  s.stringEnd = "\"'`";
  s.escape = '\\';
  s.multiline = true;
  s.keywords1 = {"if"};
  auto hl = Make(s);
  const std::string pieces[] = {"if", " ", "x", "\"", "'", "`", "/*", "*/", "//", "\\", "12", "#"};
  std::uint32_t seed = 12345;
  auto random = [&seed](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  std::vector<std::string> lines(300);
  for (auto& line : lines)
    for (std::uint32_t k = random(8); k > 0; --k) line += pieces[random(std::size(pieces))];

  std::vector<std::string> full;
  std::vector<HighlighterRange> rangeAfter;
  hl->resetRange();
  for (const auto& line : lines) {
    std::string tokens;
    for (hl->setLine(line, 0); !hl->eol(); hl->next())
      tokens += std::to_string(hl->tokenKind()) + ":" + std::string(hl->tokenText()) + " ";
    full.push_back(tokens);
    rangeAfter.push_back(hl->range());
  }
  // Another highlighter with a different history re-scans single lines in reverse order.
  auto other = Make(s);
  for (std::size_t i = lines.size() - 1; i > 0; --i) {
    other->setRange(rangeAfter[i - 1]);
    std::string tokens;
    for (other->setLine(lines[i], 0); !other->eol(); other->next())
      tokens += std::to_string(other->tokenKind()) + ":" + std::string(other->tokenText()) + " ";
    ASSERT_EQ(tokens, full[i]) << "line " << i << ": " << lines[i];
    ASSERT_EQ(other->range(), rangeAfter[i]) << "line " << i;
  }
}

TEST(GeneralHighlighter, AttributesInIndexOrderAndByKind) {
  TSynMyGeneralSyn hl;
  const char* const names[] = {"Comment", "Identifier", "Keywords 1", "Keywords 2",
                               "Keywords 3", "Keywords 4", "Keywords 5", "Number",
                               "Space", "String", "Symbol", "Preprocessor"};
  ASSERT_EQ(hl.attributes().size(), std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(hl.attributes()[i]->name, names[i]);
  EXPECT_EQ(hl.commentAttri()->style, kFsItalic);
  EXPECT_EQ(hl.defaultAttribute(DefaultAttribute::Keyword), hl.keyAttri(1));
  EXPECT_EQ(hl.defaultAttribute(DefaultAttribute::Whitespace), hl.spaceAttri());
  EXPECT_EQ(hl.defaultAttribute(DefaultAttribute::Symbol), nullptr);
  EXPECT_EQ(hl.languageName(), "");

  LanguageSetup s;
  s.keywords1 = {"if"};
  auto conf = Make(s);
  conf->setLine("if x", 0);
  EXPECT_EQ(conf->tokenAttribute(), conf->keyAttri(1));
  conf->next();
  EXPECT_EQ(conf->tokenAttribute(), conf->spaceAttri());
  conf->next();
  EXPECT_EQ(conf->tokenAttribute(), conf->identifierAttri());
  conf->next();
  EXPECT_TRUE(conf->eol());
  EXPECT_EQ(conf->tokenAttribute(), nullptr);
}

TEST(GeneralHighlighter, CloneScansAndColoursLikeTheOriginal) {
  LanguageSetup s;
  s.keywords1 = {"while"};
  s.preprocessor = true;
  auto original = Make(s);
  AddExtraAttributes(*original);
  original->keyAttri(1)->foreground = 0x123456;
  original->setLanguageName("Demo");
  original->defaultFilter = "Demo (*.demo)|*.demo";

  auto copy = original->clone();
  const std::vector<std::string> lines = {"while /* c", "c */ \"s\" #p"};
  EXPECT_EQ(Tokens(*copy, lines), Tokens(*original, lines));
  ASSERT_EQ(copy->attributes().size(), original->attributes().size());
  auto* general = dynamic_cast<TSynMyGeneralSyn*>(copy.get());
  ASSERT_NE(general, nullptr);
  EXPECT_EQ(general->keyAttri(1)->foreground, 0x123456u);
  EXPECT_EQ(general->displayLanguageName(), "Demo");
  EXPECT_EQ(general->defaultFilter, "Demo (*.demo)|*.demo");

  // Changing the copy leaves the original alone.
  general->setKeyWords(1, {});
  original->setLine("while", 0);
  EXPECT_EQ(original->tokenKind(), TSynMyGeneralSyn::tkKey1);
}

TEST(GeneralHighlighter, KeywordListsAreUpperCasedSortedAndSearchedInOrder) {
  TSynMyGeneralSyn hl;
  hl.setIdentifierChars("abcxyz");
  hl.setIdentifierBegChars("abcxyz");
  hl.setKeyWords(2, {"zz", "abc", "abc"});
  hl.setKeyWords(3, {"abc", "xy"});
  hl.buildDispatchTable();
  EXPECT_EQ(hl.keyWords(2), (std::vector<std::string>{"ABC", "ZZ"}));
  hl.setLine("abc xy", 0);
  EXPECT_EQ(hl.tokenKind(), TSynMyGeneralSyn::tkKey1 + 1);
  hl.next();
  hl.next();
  EXPECT_EQ(hl.tokenKind(), TSynMyGeneralSyn::tkKey1 + 2);
}

}  // namespace
}  // namespace qv
