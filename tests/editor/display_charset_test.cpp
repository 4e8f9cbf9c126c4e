#include "editor/display_charset.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(DisplayCharset, ChoosesUtf8OnlyForValidUtf8) {
  struct Case { std::string bytes; DisplayCharset expected; };
  const Case cases[] = {
      {"plain ascii", DisplayCharset::Utf8},
      {"gr\xC3\xBC\xC3\x9F dich \xF0\x9F\x98\x80", DisplayCharset::Utf8},
      {"caf\xE9", DisplayCharset::Windows1252},            // Latin-1 e-acute
      {"\xC3", DisplayCharset::Windows1252},                // cut sequence
      {"\xC0\x80", DisplayCharset::Windows1252},            // overlong NUL
      {"\xED\xA0\x80", DisplayCharset::Windows1252},        // surrogate
      {std::string("a\0b", 3), DisplayCharset::Utf8},       // zero bytes are fine
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseDisplayCharset(c.bytes), c.expected) << c.bytes;
}

TEST(DisplayCharset, DecodesEachSetAndRoundTripsThroughEncode) {
  struct Case { std::string bytes; DisplayCharset cs; char32_t cp; int length; };
  const Case cases[] = {
      {"\xE2\x82\xAC", DisplayCharset::Utf8, 0x20AC, 3},
      {"\x80", DisplayCharset::Windows1252, 0x20AC, 1},
      {"\xE9", DisplayCharset::Windows1252, 0xE9, 1},
      {"\xB0", DisplayCharset::Oem437, 0x2591, 1},
      {"\x81", DisplayCharset::Oem437, 0xFC, 1},
  };
  for (const Case& c : cases) {
    const DecodedChar d = DecodeAt(c.bytes, 0, c.cs);
    EXPECT_EQ(d.cp, c.cp) << c.bytes;
    EXPECT_EQ(d.length, c.length) << c.bytes;
    EXPECT_EQ(EncodeChar(c.cp, c.cs), c.bytes);
  }
  EXPECT_EQ(DecodeAt("\xC3(", 0, DisplayCharset::Utf8).cp, 0xFFFDu) << "a broken lead byte is one byte";
  EXPECT_EQ(EncodeChar(0x4E2D, DisplayCharset::Windows1252), std::nullopt) << "not in the set";
  EXPECT_EQ(EncodeChar(0x1F600, DisplayCharset::Utf8), "\xF0\x9F\x98\x80");
}

TEST(DisplayCharset, CaretStopsOnlyAtCharacterStarts) {
  const std::string line = "a\xC3\xA9z";  // a, e-acute (2 bytes), z
  EXPECT_TRUE(IsCharStart(line, 1, DisplayCharset::Utf8));
  EXPECT_FALSE(IsCharStart(line, 2, DisplayCharset::Utf8));
  EXPECT_EQ(CharStartBefore(line, 2, DisplayCharset::Utf8), 1);
  EXPECT_EQ(NextCharStart(line, 1, DisplayCharset::Utf8), 3);
  EXPECT_TRUE(IsCharStart(line, 2, DisplayCharset::Windows1252));
}

TEST(DisplayCharset, CellsExpandTabsAndShareSequenceStarts) {
  const std::string line = "\t\xC3\xA9x";
  const std::vector<int> cells = CellStarts(line, DisplayCharset::Utf8, 4);
  EXPECT_EQ(cells, (std::vector<int>{0, 4, 4, 5, 6}));
  EXPECT_EQ(ColumnOfCell(cells, line, 2), 0) << "inside the tab";
  EXPECT_EQ(ColumnOfCell(cells, line, 4), 1);
  EXPECT_EQ(ColumnOfCell(cells, line, 5), 3);
  EXPECT_EQ(ColumnOfCell(cells, line, 9), 7) << "past the end counts cells as columns";
}

}  // namespace
}  // namespace qv
