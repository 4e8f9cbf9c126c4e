// Definition files: reading languages from *.chl files and writing changed settings back.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "highlight/definition_file.h"
#include "highlight/extra_attributes.h"
#include "support/test_env.h"

namespace qv {
namespace {

using test::FreshDir;
using test::ReadFileBytes;
using test::WriteFileBytes;

// Tokens of one line as kind(text) separated by blanks.
std::string Tokens(Highlighter& hl, const std::string& line) {
  std::string out;
  hl.resetRange();
  for (hl.setLine(line, 0); !hl.eol(); hl.next()) {
    if (!out.empty()) out += ' ';
    out += std::to_string(hl.tokenKind()) + "(" + std::string(hl.tokenText()) + ")";
  }
  return out;
}

const char kBatch[] =
    "// Definition of a small batch language\r\n"
    "Language:               Batch files\r\n"
    "Filter:                 Batch files (*.bat,*.cmd)|*.bat;*.cmd\r\n"
    "Description:            Command scripts\r\n"
    "HelpFile:\r\n"
    "CaseSensitive:          0\r\n"
    "LineComment:            REM ::\r\n"
    "BlockCommentBeg:\r\n"
    "BlockCommentEnd:\r\n"
    "IdentifierBegChars:     a..z A..Z _ %\r\n"
    "IdentifierChars:        a..z A..Z 0..9 _ %\r\n"
    "NumConstBegChars:       0..9\r\n"
    "NumConstChars:          0..9 .\r\n"
    "EscapeChar:             ^\r\n"
    "StringBegChar:          \"\r\n"
    "StringEndChar:          \"\r\n"
    "MultilineStrings:       0\r\n"
    "UsePreprocessor:        0\r\n"
    "KeyWords1:              call echo exit for goto\r\n"
    "                        if set shift\r\n"
    "KeyWords2:              errorlevel exist not\r\n"
    "CurrLineHighlighted:    0\r\n"
    "OverrideTxtFgColor:     0\r\n"
    "BlockAutoindent:        0\r\n"
    "BlockBegStr:\r\n"
    "BlockEndStr:\r\n"
    "SpaceCol:               clWindowText clWindow\r\n"
    "Keyword1Col:            clNavy clWindow B\r\n"
    "Keyword2Col:            clTeal clWindow\r\n"
    "IdentifierCol:          clWindowText clWindow\r\n"
    "CommentCol:             clGray clWindow I\r\n"
    "NumberCol:              clRed clWindow\r\n"
    "StringCol:              clMaroon clWindow\r\n"
    "SymbolCol:              clGray clWindow\r\n"
    "PreprocessorCol:        clGreen clWindow\r\n"
    "SelectionCol:           clHighlightText clHighlight\r\n"
    "CurrentLineCol:         clBlack clYellow\r\n"
    "MatchedBracesCol:       clRed clWindow\r\n";

TEST(DefinitionFile, ReadsEveryKeyOfAFullDefinition) {
  const auto defs = ParseDefinitionText(kBatch);
  ASSERT_EQ(defs.size(), 1u);
  const TCustHLDef& d = defs[0];
  EXPECT_EQ(d.name, "Batch files");
  EXPECT_EQ(d.filter, "Batch files (*.bat,*.cmd)|*.bat;*.cmd");
  EXPECT_EQ(d.description, "Command scripts");
  EXPECT_EQ(d.helpFile, "");
  EXPECT_EQ(d.lineComment, "REM ::");
  EXPECT_EQ(d.escapeChar, '^');
  EXPECT_EQ(d.stringBegChar, "\"");
  EXPECT_EQ(d.keyWords[0],
            (std::vector<std::string>{"call", "echo", "exit", "for", "goto", "if", "set", "shift"}));
  EXPECT_EQ(d.keyWords[1], (std::vector<std::string>{"errorlevel", "exist", "not"}));
  EXPECT_EQ(d.keywordCol[0].foreground, 0x800000u);
  EXPECT_EQ(d.keywordCol[0].style, kFsBold);
  EXPECT_EQ(d.commentCol.style, kFsItalic);
  EXPECT_EQ(d.currentLineCol.background, 0x00FFFFu);

  auto hl = CompleteDefinition(d, "/defs/batch.chl");
  EXPECT_EQ(hl->displayLanguageName(), "Batch files");
  EXPECT_EQ(hl->sourceFileName, "/defs/batch.chl");
  EXPECT_EQ(hl->defaultFilter, d.filter);
  EXPECT_EQ(hl->commentAttri()->foreground, 0x808080u);
  EXPECT_EQ(hl->spaceAttri()->style, 0);
  EXPECT_EQ(FindAttributeNoCase(*hl, "selection")->foreground, kClHighlightText);
  // Keywords are found whatever their case; "REM" comments need a word boundary.
  EXPECT_EQ(Tokens(*hl, "ECHO %x% 1.5 rem note"),
            "2(ECHO) 10( ) 1(%x%) 10( ) 8(1.5) 10( ) 0(rem note)");
  EXPECT_EQ(Tokens(*hl, "if not \"a^\"b\" :: x"),
            "2(if) 10( ) 3(not) 10( ) 11(\"a^\"b\") 10( ) 0(:: x)");
}

struct ParseCase {
  const char* what;
  std::string text;
  void (*check)(const std::vector<TCustHLDef>&);
};

const ParseCase kParseCases[] = {
    {"two languages in one file",
     "Language: A\nKeyWords1: x\nLanguage: B\nKeyWords1: y\n",
     [](const std::vector<TCustHLDef>& d) {
       ASSERT_EQ(d.size(), 2u);
       EXPECT_EQ(d[0].name, "A");
       EXPECT_EQ(d[1].name, "B");
       EXPECT_EQ(d[1].keyWords[0], std::vector<std::string>{"y"});
     }},
    {"keys before the first Language have no effect", "KeyWords1: x\nLanguage: A\n",
     [](const std::vector<TCustHLDef>& d) {
       ASSERT_EQ(d.size(), 1u);
       EXPECT_TRUE(d[0].keyWords[0].empty());
     }},
    {"a definition without a name is dropped", "Filter: x|*.x\nLanguage:\nKeyWords1: a\n",
     [](const std::vector<TCustHLDef>& d) { EXPECT_TRUE(d.empty()); }},
    {"colour missing its last parts, the next key taken as the second part",
     "Language: A\nCommentCol: clGreen\nNumberCol: clRed clWindow\n",
     [](const std::vector<TCustHLDef>& d) {
       ASSERT_EQ(d.size(), 1u);
       EXPECT_EQ(d[0].commentCol.foreground, 0x008000u);
       EXPECT_EQ(d[0].commentCol.background, kClNone);
       EXPECT_EQ(d[0].commentCol.style, 0);
       EXPECT_EQ(d[0].numberCol.foreground, kClWindowText);
       EXPECT_EQ(d[0].numberCol.background, kClWindow);
     }},
    {"colour with hexadecimal value and two style letters",
     "Language: A\nKeyword1Col: $000080FF clWindow BI\n",
     [](const std::vector<TCustHLDef>& d) {
       EXPECT_EQ(d[0].keywordCol[0].foreground, 0x000080FFu);
       EXPECT_EQ(d[0].keywordCol[0].style, kFsBold | kFsItalic);
     }},
    {"a key as third colour part is processed",
     "Language: A\nStringCol: clRed clBlue\nKeyWords1: k\n",
     [](const std::vector<TCustHLDef>& d) {
       EXPECT_EQ(d[0].stringCol.background, 0xFF0000u);
       EXPECT_EQ(d[0].stringCol.style, 0);
       EXPECT_EQ(d[0].keyWords[0], std::vector<std::string>{"k"});
     }},
    {"empty EscapeChar means none", "Language: A\nEscapeChar:\nStringBegChar: '\n",
     [](const std::vector<TCustHLDef>& d) {
       EXPECT_EQ(d[0].escapeChar, 0);
       EXPECT_EQ(d[0].stringBegChar, "'");
     }},
    {"keyword list over several lines, colon stripped",
     "Language: A\nKeyWords1: case\n\t  default:   label:\n   goto\n",
     [](const std::vector<TCustHLDef>& d) {
       EXPECT_EQ(d[0].keyWords[0], (std::vector<std::string>{"case", "default", "label", "goto"}));
     }},
    {"rest of line keeps colons and slashes", "Language: A\nLineComment:   // -- ::  \n",
     [](const std::vector<TCustHLDef>& d) { EXPECT_EQ(d[0].lineComment, "// -- ::"); }},
    {"comment lines only in the first column",
     "Language: A\n// KeyWords1: hidden\nKeyWords1: a\n  // b\n",
     [](const std::vector<TCustHLDef>& d) {
       EXPECT_EQ(d[0].keyWords[0], (std::vector<std::string>{"a", "//", "b"}));
     }},
    {"flag followed by a key is off and the key counts",
     "Language: A\nCaseSensitive: Language: B\nMultilineStrings: 2\nUsePreprocessor: yes\n",
     [](const std::vector<TCustHLDef>& d) {
       ASSERT_EQ(d.size(), 2u);
       EXPECT_FALSE(d[0].caseSensitive);
       EXPECT_TRUE(d[1].multilineStrings);
       EXPECT_FALSE(d[1].usePreprocessor);
     }},
    {"a key given twice keeps its last value", "Language: A\nFilter: one\nFilter: two  words\n",
     [](const std::vector<TCustHLDef>& d) { EXPECT_EQ(d[0].filter, "two words"); }},
    {"old Mac line breaks", "Language: A\rLineComment: #\rKeyWords1: x\r",
     [](const std::vector<TCustHLDef>& d) {
       EXPECT_EQ(d[0].lineComment, "#");
       EXPECT_EQ(d[0].keyWords[0], std::vector<std::string>{"x"});
     }},
    {"a zero byte ends the text", std::string("Language: A\0Language: B\n", 24),
     [](const std::vector<TCustHLDef>& d) {
       ASSERT_EQ(d.size(), 1u);
       EXPECT_EQ(d[0].name, "A");
     }},
};

class DefinitionParseCases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(DefinitionParseCases, Reads) {
  SCOPED_TRACE(GetParam().what);
  GetParam().check(ParseDefinitionText(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Table, DefinitionParseCases, ::testing::ValuesIn(kParseCases));

TEST(DefinitionFile, ColourTextsBothWays) {
  EXPECT_EQ(ParseDefinitionColor("CLRED"), 0x0000FFu);
  EXPECT_EQ(ParseDefinitionColor("clBtnFace"), 0x8000000Fu);
  EXPECT_EQ(ParseDefinitionColor("$80000005"), kClWindow);
  EXPECT_EQ(ParseDefinitionColor("255"), 255u);
  EXPECT_EQ(ParseDefinitionColor("-2147483643"), kClWindow);
  for (const char* bad : {"red", "$", "$1FFFFFFFF", "12x", "", "99999999999"})
    EXPECT_EQ(ParseDefinitionColor(bad), kClNone) << bad;
  EXPECT_EQ(DefinitionColorText(0x808000), "clTeal");
  EXPECT_EQ(DefinitionColorText(kClHighlight), "clHighlight");
  EXPECT_EQ(DefinitionColorText(0x00C08080), "$00C08080");
  EXPECT_EQ(DefinitionColorText(kClNone), "clNone");
  EXPECT_EQ(ParseStyleLetters("sbx"), kFsBold | kFsStrikeOut);
  EXPECT_EQ(StyleLetters(kFsStrikeOut | kFsItalic | kFsBold | kFsUnderline), "BIUS");
  EXPECT_EQ(ExpandCharacterSet({"a..c", "_", "z..x", "0..1", "..", "x.."}), "abc_01..x..");
}

TEST(DefinitionFile, WithoutIdentifierStartLettersAreSymbols) {
  auto defs = ParseDefinitionText("Language: A\nKeyWords1: ab\nIdentifierChars: a..z\n");
  auto hl = CompleteDefinition(defs.at(0), "a.chl");
  EXPECT_EQ(Tokens(*hl, "ab"), "13(a) 13(b)");
  EXPECT_EQ(hl->symbolAttri(), [&] { hl->setLine("a", 0); return hl->tokenAttribute(); }());
}

TEST(DefinitionFile, OmittedExtraColoursKeepTheirBuiltInColours) {
  auto hl = CompleteDefinition(ParseDefinitionText("Language: A\nSelectionCol: clRed clNone\n").at(0),
                               "a.chl");
  EXPECT_EQ(hl->attribute(kSelectionAttr)->foreground, 0x0000FFu);
  EXPECT_EQ(hl->attribute(kSelectionAttr)->background, kClHighlight);
  EXPECT_EQ(hl->attribute(kCurrentLineAttr)->background, 0x00FFFFu);
  EXPECT_EQ(hl->attribute(kMatchedBracesAttr)->foreground, 0x0000FFu);
  // Token colours a definition omits are window text on window, without style.
  EXPECT_EQ(hl->commentAttri()->foreground, kClWindowText);
  EXPECT_EQ(hl->commentAttri()->style, 0);
}

TEST(DefinitionFolder, LoadsEveryFileInNameOrderAndReportsUnreadableOnes) {
  const auto dir = FreshDir("defs");
  WriteFileBytes(dir / "b.chl", "Language: B1\nLanguage: B2\n");
  WriteFileBytes(dir / "A.CHL", "Language: A\n");
  WriteFileBytes(dir / "notes.txt", "Language: ignored\n");
  WriteFileBytes(dir / "c.chl", "Language: C\n");
  ::chmod((dir / "c.chl").c_str(), 0);
  const bool canStillRead = ::access((dir / "c.chl").c_str(), R_OK) == 0;  // running as root

  HighlighterDefinitions defs;
  const auto result = defs.loadFolder(dir);
  std::vector<std::string> names, sources;
  for (const auto& h : defs.highlighters()) {
    names.push_back(h->displayLanguageName());
    sources.push_back(std::filesystem::path(h->sourceFileName).filename().string());
  }
  if (canStillRead) {
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B1", "B2", "C"}));
  } else {
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B1", "B2"}));
    ASSERT_EQ(result.unreadable.size(), 1u);
    EXPECT_EQ(result.unreadable[0].filename(), "c.chl");
  }
  EXPECT_EQ(sources[1], "b.chl");
  EXPECT_EQ(sources[2], "b.chl");
  EXPECT_EQ(defs.nextDefinition(0), defs.highlighters()[0].get());
  EXPECT_EQ(defs.nextDefinition(99), nullptr);
}

TEST(DefinitionFolder, MissingOrEmptyFolderGivesNothing) {
  HighlighterDefinitions defs;
  EXPECT_TRUE(defs.loadFolder(FreshDir("empty")).unreadable.empty());
  EXPECT_TRUE(defs.loadFolder(FreshDir("gone") / "Highlighters").unreadable.empty());
  EXPECT_TRUE(defs.highlighters().empty());
}

DefinitionSettings SampleSettings() {
  DefinitionSettings s;
  s.filter = "Batch files (*.bat,*.cmd,*.btm)|*.bat;*.cmd;*.btm";
  s.helpFile = "/help/batch.html";
  s.colorCurrentLine = true;
  s.blockAutoindent = true;
  s.blockBegStr = "(";
  return s;
}

TEST(DefinitionWriteBack, ReplacesFirstMatchingLinesAndAppendsTheRest) {
  const auto dir = FreshDir("write");
  const auto file = dir / "batch.chl";
  WriteFileBytes(file, kBatch);
  auto hl = CompleteDefinition(ParseDefinitionText(kBatch).at(0), file.string());
  hl->keyAttri(2)->foreground = 0x00C08080;
  hl->keyAttri(2)->style = kFsUnderline | kFsBold;

  ASSERT_EQ(WriteDefinitionSettings(file, SampleSettings(), *hl), DefinitionWriteResult::Ok);
  const std::string text = ReadFileBytes(file);
  EXPECT_NE(text.find("\r\nFilter:                 Batch files (*.bat,*.cmd,*.btm)|*.bat;*.cmd;*.btm\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\nHelpFile:               /help/batch.html\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nCurrLineHighlighted:    1\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nBlockEndStr:\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nKeyword2Col:            $00C08080 clWindow BU\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nKeyword3Col:            clWindowText clWindow\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nMatchedBracesCol:       clRed clWindow\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Filter:                 Batch files (*.bat,*.cmd)|"), std::string::npos);
  EXPECT_TRUE(text.starts_with("// Definition of a small batch language\r\n"));

  // The rewritten file reads back with the new values.
  const auto again = ParseDefinitionText(text);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].filter, SampleSettings().filter);
  EXPECT_TRUE(again[0].currLineHighlighted);
  EXPECT_EQ(again[0].keywordCol[1].style, kFsBold | kFsUnderline);
}

TEST(DefinitionWriteBack, IndentedKeysDoNotMatchAndLaterLinesWin) {
  std::vector<std::string> lines = {"Language: A", "  Filter: old|*.old", "/Filter: x", "",
                                    "Filter", "HelpFile:x"};
  auto hl = CompleteDefinition(ParseDefinitionText("Language: A\n").at(0), "a.chl");
  const auto out = StoreDefinitionSettings(lines, SampleSettings(), *hl);
  EXPECT_EQ(out[1], "  Filter: old|*.old");
  EXPECT_EQ(out[2], "/Filter: x");
  EXPECT_EQ(out[4], "Filter:                 " + SampleSettings().filter);  // key without ":"
  EXPECT_EQ(out[5], "HelpFile:               /help/batch.html");
  EXPECT_EQ(out[6], "CurrLineHighlighted:    1");  // appended
  std::string joined;
  for (const auto& l : out) joined += l + "\n";
  EXPECT_EQ(ParseDefinitionText(joined).at(0).filter, SampleSettings().filter);
}

TEST(DefinitionWriteBack, SecondDefinitionWritesIntoTheFirstDefinitionsLines) {
  std::vector<std::string> lines = {"Language: A", "Filter: a|*.a", "Language: B", "Filter: b|*.b"};
  auto hl = CompleteDefinition(ParseDefinitionText("Language: B\n").at(0), "ab.chl");
  const auto out = StoreDefinitionSettings(lines, SampleSettings(), *hl);
  EXPECT_EQ(out[1], "Filter:                 " + SampleSettings().filter);
  EXPECT_EQ(out[3], "Filter: b|*.b");
}

TEST(DefinitionWriteBack, UnreadableOrReadOnlyFileIsLeftAsItWas) {
  const auto dir = FreshDir("readonly");
  auto hl = CompleteDefinition(ParseDefinitionText("Language: A\n").at(0), "a.chl");
  EXPECT_EQ(WriteDefinitionSettings(dir / "missing.chl", SampleSettings(), *hl),
            DefinitionWriteResult::OpenFailed);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.chl"));

  const auto file = dir / "locked.chl";
  WriteFileBytes(file, "Language: A\n");
  ::chmod(file.c_str(), 0444);
  EXPECT_EQ(WriteDefinitionSettings(file, SampleSettings(), *hl), DefinitionWriteResult::SaveFailed);
  EXPECT_EQ(ReadFileBytes(file), "Language: A\n");
}

TEST(DefinitionFile, BinaryGarbageNeverCrashes) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919 + 13) % 255 + 1);  // no zero byte
  junk += "\nLanguage: Z\nCommentCol: \x01 \xff";
  const auto defs = ParseDefinitionText(junk);
  ASSERT_FALSE(defs.empty());
  auto hl = CompleteDefinition(defs.back(), "z.chl");
  hl->setLine(junk, 0);
  std::size_t covered = 0;
  for (; !hl->eol(); hl->next()) covered += hl->tokenText().size();
  EXPECT_GT(covered, 0u);
}

}  // namespace
}  // namespace qv
