// Tabs and blanks, quoting, placeholders and dialog filters.
#include "config/text_helpers.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(TabsTest, ExpandAndCompress) {
  struct Case {
    const char* line;
    int width;
    const char* expanded;    // ExpandTabs(line)
    const char* compressed;  // CompressSpaces(line)
  };
  const Case cases[] = {
      {"a\tb", 4, "a   b", "a\tb"},
      {"        x", 4, "        x", "\t\tx"},
      {"ab  x", 4, "ab  x", "ab\tx"},
      {"abc x", 4, "abc x", "abc x"},
      {"abc  x", 4, "abc  x", "abc  x"},      // two blanks that cross a stop stay blanks
      {"   x", 4, "   x", "   x"},            // blanks short of a stop stay
      {"    ", 4, "    ", "\t"},              // trailing run ending on a stop
      {"     ", 4, "     ", "\t "},           // a single blank past the stop stays a blank
      {"\t\tx", 8, "                x", "\t\tx"},
      {"ab\tc\td", 3, "ab c  d", "ab\tc\td"},
      {"a  \tb", 4, "a   b", "a  \tb"},        // blanks before a tab are kept as they are
      {"", 4, "", ""},
      {"x\ty", 1, "x y", "x\ty"},
      {"x\ty", 0, "x y", "x\ty"},             // a width below 1 counts as 1
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandTabs(c.line, c.width), c.expanded) << "ExpandTabs(\"" << c.line << "\", " << c.width << ")";
    EXPECT_EQ(CompressSpaces(c.line, c.width), c.compressed)
        << "CompressSpaces(\"" << c.line << "\", " << c.width << ")";
  }
}

TEST(TabsTest, CompressingExpandedTextKeepsItsColumns) {
  const char* lines[] = {"\tif (x)\t\t// note", "  a\t b\tc", "abcdefgh\tz"};
  for (const char* line : lines)
    for (int w : {2, 4, 8})
      EXPECT_EQ(ExpandTabs(CompressSpaces(ExpandTabs(line, w), w), w), ExpandTabs(line, w)) << line << " / " << w;
}

TEST(QuotingTest, AddRemoveAndAmpersands) {
  struct Case {
    const char* text;
    const char* added;
    const char* removed;
  };
  const Case cases[] = {
      {"", "", ""},
      {"a b", "\"a b\"", "a b"},
      {"\"a b\"", "\"a b\"", "a b"},
      {"\"a b", "\"a b\"", "a b"},
      {"a b\"", "\"a b\"", "a b"},
      {"\"", "\"", ""},
      {"\"\"x\"\"", "\"\"x\"\"", "\"x\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AddQuotes(c.text), c.added) << c.text;
    EXPECT_EQ(RemoveQuotes(c.text), c.removed) << c.text;
  }
  EXPECT_EQ(DoubleAmpersands("Tom & Jerry && co"), "Tom && Jerry &&&& co");
  EXPECT_EQ(DoubleAmpersands(""), "");
}

TEST(FormatTextTest, FillsPlaceholdersSafely) {
  EXPECT_EQ(FormatText("Error opening '%s'.", {"/tmp/a b.txt"}), "Error opening '/tmp/a b.txt'.");
  EXPECT_EQ(FormatText("Replaced %d occurences of '%s' with '%s'.", {"3", "x", "y"}),
            "Replaced 3 occurences of 'x' with 'y'.");
  EXPECT_EQ(FormatText("%s and %s", {"one"}), "one and ") << "a missing argument is empty";
  EXPECT_EQ(FormatText("100%% %n %x %", {"unused"}), "100% %n %x %");
  EXPECT_EQ(FormatText("%s", {"%s%d"}), "%s%d") << "arguments are not formatted again";
}

TEST(FilterTest, IndexAndDefaultExtension) {
  const std::string filter =
      "All files (*.*)|*.*|Pascal (*.pas;*.pp)|*.pas;*.pp|C/C++ (*.c;*.h)| *.c ;*.h|Broken";
  EXPECT_EQ(FilterIndexOf(filter, "Pascal (*.pas;*.pp)|*.pas;*.pp"), 2);
  EXPECT_EQ(FilterIndexOf(filter, "All files (*.*)|*.*"), 1);
  EXPECT_EQ(FilterIndexOf(filter, "Perl (*.pl)|*.pl"), 1);
  EXPECT_EQ(FilterIndexOf(filter, ""), 1);
  EXPECT_EQ(FilterIndexOf("", "Pascal (*.pas;*.pp)|*.pas;*.pp"), 1);

  EXPECT_EQ(FilterDefaultExt(filter, 2), "pas");
  EXPECT_EQ(FilterDefaultExt(filter, 1), "");
  EXPECT_EQ(FilterDefaultExt(filter, 3), "c");
  EXPECT_EQ(FilterDefaultExt(filter, 4), "") << "a pair without a pattern";
  EXPECT_EQ(FilterDefaultExt(filter, 0), "");
  EXPECT_EQ(FilterDefaultExt(filter, 99), "");
}

}  // namespace
}  // namespace qv
