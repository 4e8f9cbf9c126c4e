// Saving documents larger than one write piece: every format round-trips, and the UTF-16 choice
// between UTF-8 and Windows-1252 is made for the whole text, not piece by piece.
#include <gtest/gtest.h>

#include <string>

#include "document_fixture.h"

namespace qv::test {
namespace {

// About 3 MB in lines that mix ASCII, two-, three- and four-byte UTF-8 characters.
std::string ManyLines(std::string_view lineBreak) {
  std::string text;
  for (int i = 0; i < 40000; ++i) {
    if (i > 0) text += lineBreak;
    text += "line " + std::to_string(i) + " caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 tail of the line";
  }
  return text;
}

std::string Utf16Units(std::u16string_view units, bool bigEndian) {
  std::string out;
  for (const char16_t u : units) {
    const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

struct FormatCase {
  TTextFormat format;
  LineBreak markedBreak;  // the break the marked formats write
};

TEST_F(DocumentTest, LargeDocumentRoundTripsInEveryFormat) {
  const FormatCase cases[] = {
      {TTextFormat::tfNormal, LineBreak::CrLf}, {TTextFormat::tfUnix, LineBreak::CrLf},
      {TTextFormat::tfMac, LineBreak::CrLf},    {TTextFormat::tfUnicode, LineBreak::CrLf},
      {TTextFormat::tfUnicodeBigEndian, LineBreak::Lf}, {TTextFormat::tfUTF8, LineBreak::Lf},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(TextFormatStatusText(c.format));
    const std::string file = write("big.txt", ManyLines("\n"));
    ASSERT_TRUE(doc->LoadFromFile(file, false));
    doc->SetTextFormat(c.format);
    doc->SetMarkedLineBreak(c.markedBreak);
    ASSERT_TRUE(doc->Save(false));
    const std::string saved = read("big.txt");
    if (!IsMarkedFormat(c.format)) {
      EXPECT_TRUE(saved == ManyLines(LineBreakOf(c.format))) << "8-bit save changed bytes";
      continue;
    }
    if (c.format == TTextFormat::tfUTF8) {
      EXPECT_TRUE(saved == "\xEF\xBB\xBF" + ManyLines(lineBreakBytes(c.markedBreak)))
          << "UTF-8 save changed bytes";
    }
    auto reloaded = std::make_unique<Document>(services);
    ASSERT_TRUE(reloaded->LoadFromFile(file, false));
    EXPECT_EQ(reloaded->TextFormat(), c.format);
    EXPECT_EQ(reloaded->MarkedLineBreak(), c.markedBreak);
    ASSERT_EQ(reloaded->lines().lineCount(), 40000);
    EXPECT_TRUE(reloaded->lines().bytes(LineBreak::Lf) == ManyLines("\n"))
        << "text changed through a save and a reload";
  }
}

TEST_F(DocumentTest, ByteThatIsNotUtf8LateInALargeDocumentMakesTheWholeSaveWindows1252) {
  // The first line is valid UTF-8; only the last line, well past the first piece, is not.
  const std::string text = "caf\xC3\xA9\n" + std::string(3 << 20, 'x') + "\n\x80";
  const std::string file = write("mixed.txt", text);
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  doc->SetTextFormat(TTextFormat::tfUnicode);
  ASSERT_TRUE(doc->Save(false));
  const std::string saved = read("mixed.txt");
  EXPECT_EQ(saved.substr(0, 12), "\xFF\xFE" + Utf16Units(u"caf\u00C3\u00A9", false))
      << "each byte of the first line should be one Windows-1252 character";
  EXPECT_EQ(saved.substr(saved.size() - 2), Utf16Units(u"\u20AC", false));
}

TEST_F(DocumentTest, StrayByteOfAnOddUtf16FileIsWrittenBackAfterTheLastPiece) {
  std::string file = "\xFE\xFF" + Utf16Units(u"ab\n", true);
  for (int i = 0; i < 300000; ++i) file += Utf16Units(u"0123\n", true);
  file += '\x7F';
  const std::string path = write("odd.txt", file);
  ASSERT_TRUE(doc->LoadFromFile(path, false));
  ASSERT_TRUE(doc->Save(false));
  EXPECT_TRUE(read("odd.txt") == file) << "odd-length UTF-16 file changed by saving";
}

}  // namespace
}  // namespace qv::test
