// The constructs of the later built-in languages that are easy to get wrong, one case each:
// a few lines scanned in order, then chosen tokens checked by their text and attribute.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "highlight/languages/builtin_highlighters.h"

namespace qv {
namespace {

struct Expect {
  int line;  // 0-based line of the case
  const char* text;
  const char* attribute;  // storage name
};

struct Case {
  const char* name;
  const char* component;
  std::vector<std::string> lines;
  std::vector<Expect> expected;
};

// "line|text" -> storage name, for every token of every line.
std::vector<std::pair<std::string, std::string>> ScanLines(Highlighter& h, const std::vector<std::string>& lines) {
  std::vector<std::pair<std::string, std::string>> out;
  h.resetRange();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    for (h.setLine(lines[i], static_cast<int>(i)); !h.eol(); h.next())
      out.emplace_back(std::to_string(i) + "|" + std::string(h.tokenText()),
                       h.tokenAttribute() ? h.tokenAttribute()->storageName : "(none)");
  }
  return out;
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"PerlTwoHereDocumentsOnOneLine",
       "hlPerl",
       {"print <<A, <<'B';", "x $v", "A", "y $v", "B", "1;"},
       {{0, "<<A", "Here_Document"}, {0, "<<'B'", "Here_Document"}, {1, "$v", "Variable"},
        {2, "A", "Here_Document"}, {3, "y $v", "Here_Document"}, {4, "B", "Here_Document"},
        {5, "1", "Decimal_Number"}}},
      {"PerlIndentedHereDocumentEndsAtIndentedTerminator",
       "hlPerl",
       {"my $t = <<~EOT;", "    EOTX", "    EOT", "$t"},
       {{1, "    EOTX", "Here_Document"}, {2, "    EOT", "Here_Document"}, {3, "$t", "Variable"}}},
      {"PerlNestedBracketsInQuoteLikeOperators",
       "hlPerl",
       {"my $s = q{a {b} c} . 1;"},
       {{0, "q{a {b} c}", "Quote"}, {0, ".", "Operator"}, {0, "1", "Decimal_Number"}}},
      {"PerlSubstitutionWithBracketsAcrossLines",
       "hlPerl",
       {"$x =~ s{a}", "  {b}gx; $y"},
       {{0, "s{a}", "Regular_Expression"}, {1, "{b}gx", "Regular_Expression"}, {1, "$y", "Variable"}}},
      {"PerlSlashIsDivisionAfterATerm",
       "hlPerl",
       {"my $r = $a / $b / 2;", "split /,/, $s;"},
       {{0, "/", "Operator"}, {1, "/,/", "Regular_Expression"}}},
      {"PerlQuoteWordsAsHashKeysStayWords",
       "hlPerl",
       {"my %h = (s => 1, y => 2); $h{q} = 3;"},
       {{0, "s", "Unrecognised_Word"}, {0, "y", "Unrecognised_Word"}, {0, "q", "Unrecognised_Word"},
        {0, "3", "Decimal_Number"}}},
      {"PerlPodRunsToCut",
       "hlPerl",
       {"=head1 X", "", "my $not_code;", "=cut", "my $code;"},
       {{2, "my $not_code;", "Pod"}, {3, "=cut", "Pod"}, {4, "$code", "Variable"}}},
      {"PerlInterpolationOnlyInDoubleQuotes",
       "hlPerl",
       {"'$a' . \"$b\""},
       {{0, "'$a'", "Quote"}, {0, "$b", "Variable"}}},
      {"PerlFormatRunsToTheDotLine",
       "hlPerl",
       {"format STDOUT =", "@<<< $x", ".", "print 1;"},
       {{1, "@<<< $x", "Format"}, {2, ".", "Format"}, {3, "print", "Internal_Function"}}},
      {"VisualBasicRemNeedsAWholeWord",
       "hlVisualBasic",
       {"Remark = 1 : REM note", "x = &HFF + #12/31/1999#"},
       {{0, "Remark", "Identifier"}, {0, "REM note", "Comment"}, {1, "&HFF", "Number"},
        {1, "#12/31/1999#", "Number"}}},
      {"TclHashIsACommentOnlyWhereACommandStarts",
       "hlTCL",
       {"set c #fff ;# note", "# whole line"},
       {{0, "#", "Symbol"}, {0, "# note", "Comment"}, {1, "# whole line", "Comment"}}},
      {"TclStringSpansLines",
       "hlTCL",
       {"puts \"one", "two $x\" ; set"},
       {{1, "two ", "String"}, {1, "$x", "Variable"}, {1, "\"", "String"}, {1, "set", "Reserved_Word"}}},
      {"FortranColumnOneComments",
       "hlFortran",
       {"C comment", "CALL X", "c = 2", "* star", "      Y = 1.5D-3 .EQ. Z ! tail"},
       {{0, "C comment", "Comment"}, {1, "CALL", "Reserved_Word"}, {2, "c", "Identifier"},
        {3, "* star", "Comment"}, {4, "1.5D-3", "Number"}, {4, ".EQ.", "Reserved_Word"}, {4, "! tail", "Comment"}}},
      {"FoxAbbreviationsAndBracketStrings",
       "hlFox",
       {"REPL x WITH [a]", "y = arr[2] && idx", "* go on ;", "still comment"},
       {{0, "REPL", "Reserved_Word"}, {0, "[a]", "String"}, {1, "[", "Symbol"}, {1, "&& idx", "Comment"},
        {3, "still comment", "Comment"}}},
      {"InnoSectionsSwitchBetweenSetupAndPascal",
       "hlInnoSetup",
       {"[Setup]", "AppName=X", "[Code]", "begin end;", "[Files]", "Source: \"{app}\\a\""},
       {{0, "[Setup]", "Section"}, {1, "AppName", "Reserved_Word"}, {3, "begin", "Reserved_Word"},
        {5, "Source", "Parameter"}, {5, "{app}", "Constant"}}},
  };
  return cases;
}

class ConstructTest : public ::testing::TestWithParam<Case> {};

TEST_P(ConstructTest, TokensHaveTheirAttributes) {
  const Case& tc = GetParam();
  auto h = MakeBuiltinHighlighter(tc.component);
  ASSERT_NE(h, nullptr);
  auto tokens = ScanLines(*h, tc.lines);
  for (const Expect& e : tc.expected) {
    std::string key = std::to_string(e.line) + "|" + e.text;
    auto found = std::find_if(tokens.begin(), tokens.end(), [&](const auto& t) { return t.first == key; });
    ASSERT_NE(found, tokens.end()) << tc.name << ": no token \"" << e.text << "\" on line " << e.line;
    EXPECT_EQ(found->second, e.attribute) << tc.name << ": token \"" << e.text << "\" on line " << e.line;
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, ConstructTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
