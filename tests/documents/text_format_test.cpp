// Format detection and the UTF-16 / UTF-8 conversions of marked files.
#include "documents/text_format.h"

#include <gtest/gtest.h>

#include "support/test_env.h"

namespace qv {
namespace {

using namespace std::string_literals;

struct DetectCase {
  const char* name;
  std::string sample;
  TTextFormat expected;
};

TEST(DetectTextFormat, ByMarkThenByFirstBreakKind) {
  const std::string filler(kDetectSampleSize, 'a');
  const DetectCase cases[] = {
      {"empty", "", TTextFormat::tfNormal},
      {"no break", "abc", TTextFormat::tfNormal},
      {"crlf", "a\r\nb", TTextFormat::tfNormal},
      {"lf", "a\nb\n", TTextFormat::tfUnix},
      {"cr", "a\rb\r", TTextFormat::tfMac},
      {"crlf and lone lf", "a\nb\r\nc", TTextFormat::tfNormal},
      {"lf and lone cr", "a\rb\nc", TTextFormat::tfUnix},
      {"break after a zero byte when none before it", "ab\0\ncd"s, TTextFormat::tfUnix},
      {"break before zero byte wins", "a\r\nb\0\n"s, TTextFormat::tfNormal},
      {"break before zero byte counts", "a\nb\0c"s, TTextFormat::tfUnix},
      {"utf-16 le mark", "\xFF\xFE" "A\0"s, TTextFormat::tfUnicode},
      {"utf-16 be mark", "\xFE\xFF\0A"s, TTextFormat::tfUnicodeBigEndian},
      {"utf-8 mark", "\xEF\xBB\xBFx\ny", TTextFormat::tfUTF8},
      {"half a utf-8 mark", "\xEF\xBBx\n", TTextFormat::tfUnix},
      {"crlf beyond the window", filler + "\r\n", TTextFormat::tfNormal},
      {"lf beyond the window", filler + "\n", TTextFormat::tfNormal},
      {"cr inside the window, lf beyond", filler.substr(10) + "\r" + filler + "\n",
       TTextFormat::tfMac},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectTextFormatFromSample(c.sample), c.expected) << c.name;
  }
}

TEST(DetectTextFormat, ReadsOnlyTheFirstBlockOfAFile) {
  const auto dir = test::FreshDir("detect");
  test::WriteFileBytes(dir / "late.txt", std::string(kDetectSampleSize, 'x') + "\n");
  test::WriteFileBytes(dir / "mac.txt", "one\rtwo");
  EXPECT_EQ(DetectTextFormat(dir / "late.txt"), TTextFormat::tfNormal);
  EXPECT_EQ(DetectTextFormat(dir / "mac.txt"), TTextFormat::tfMac);
  EXPECT_EQ(DetectTextFormat(dir / "missing.txt"), TTextFormat::tfNormal);
}

TEST(TextFormat, StatusTextsAndStoredValues) {
  const std::pair<int, const char*> table[] = {{0, "DOS"},     {1, "UNIX"},       {2, "MAC"},
                                               {3, "Unicode"}, {4, "Unicode BE"}, {5, "UTF-8"}};
  for (auto [value, text] : table) {
    const auto format = TextFormatFromInt(value);
    ASSERT_TRUE(format.has_value()) << value;
    EXPECT_EQ(TextFormatStatusText(*format), text);
  }
  EXPECT_FALSE(TextFormatFromInt(6).has_value());
  EXPECT_FALSE(TextFormatFromInt(-1).has_value());
}

struct Utf16Case {
  const char* name;
  std::string littleEndianBody;  // after FF FE
  std::string utf8;
};

// Big-endian bodies are the same code units with their bytes swapped.
std::string SwapPairs(std::string bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

TEST(MarkedText, Utf16DecodesToUtf8AndEncodesBackByteForByte) {
  const Utf16Case cases[] = {
      {"ascii", "A\0B\0"s, "AB"},
      {"empty", "", ""},
      {"low byte zero (U+0100)", "\x00\x01"s, "\xC4\x80"},
      {"zero character keeps what follows", "a\0\0\0b\0"s, "a\0b"s},
      {"latin-1", "\xE9\0"s, "\xC3\xA9"},
      {"euro sign", "\xAC\x20"s, "\xE2\x82\xAC"},
      {"surrogate pair U+1F600", "\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80"},
      {"lone high surrogate", "\x3D\xD8" "A\0"s, "\xED\xA0\xBD" "A"},
      {"lone low surrogate at end", "A\0\x00\xDE"s, "A\xED\xB8\x80"},
      {"line breaks", "a\0\r\0\n\0b\0\n\0"s, "a\r\nb\n"},
  };
  for (const auto& c : cases) {
    for (const bool bigEndian : {false, true}) {
      const auto format = bigEndian ? TTextFormat::tfUnicodeBigEndian : TTextFormat::tfUnicode;
      const std::string file = std::string(ByteOrderMark(format)) +
                               (bigEndian ? SwapPairs(c.littleEndianBody) : c.littleEndianBody);
      const auto decoded = DecodeMarkedText(file, format);
      ASSERT_TRUE(decoded.has_value()) << c.name;
      EXPECT_EQ(decoded->text, c.utf8) << c.name << (bigEndian ? " (BE)" : " (LE)");
      EXPECT_FALSE(decoded->strayByte.has_value()) << c.name;
      EXPECT_EQ(EncodeMarkedText(decoded->text, format), file) << c.name;
    }
  }
}

TEST(MarkedText, OddLengthUtf16KeepsItsLastByte) {
  const std::string file = "\xFF\xFE" "A\0\x7F"s;
  const auto decoded = DecodeMarkedText(file, TTextFormat::tfUnicode);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->text, "A");
  ASSERT_TRUE(decoded->strayByte.has_value());
  EXPECT_EQ(EncodeMarkedText(decoded->text, TTextFormat::tfUnicode, decoded->strayByte), file);
}

TEST(MarkedText, Utf8MarkKeepsEveryByte) {
  const std::string body = "caf\xC3\xA9\r\n\xFF\0z\n"s;
  const std::string file = "\xEF\xBB\xBF" + body;
  const auto decoded = DecodeMarkedText(file, TTextFormat::tfUTF8);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->text, body);
  EXPECT_EQ(EncodeMarkedText(body, TTextFormat::tfUTF8), file);
}

TEST(MarkedText, MissingMarkIsNotDecoded) {
  EXPECT_FALSE(DecodeMarkedText("A\0B\0"s, TTextFormat::tfUnicode).has_value());
  EXPECT_FALSE(DecodeMarkedText("\xFF\xFE", TTextFormat::tfUnicodeBigEndian).has_value());
  EXPECT_FALSE(DecodeMarkedText("plain", TTextFormat::tfUTF8).has_value());
  EXPECT_FALSE(DecodeMarkedText("\xFF\xFE", TTextFormat::tfNormal).has_value());
}

TEST(MarkedText, TextThatIsNotUtf8IsEncodedAsItIsShown) {
  // A document of legacy 8-bit bytes is shown in Windows-1252; converting it keeps those glyphs.
  const struct {
    std::string text;
    std::string littleEndianBody;
  } cases[] = {
      {"\x80", "\xAC\x20"s},             // euro sign
      {"caf\xE9", "c\0a\0f\0\xE9\0"s},   // e acute
      {"\x81\x9F", "\x81\0\x78\x01"s},   // undefined byte as itself, Y diaeresis
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeMarkedText(c.text, TTextFormat::tfUnicode), "\xFF\xFE" + c.littleEndianBody);
  }
}

TEST(MarkedText, DominantLineBreakFollowsTheDetectionOrder) {
  EXPECT_EQ(DominantLineBreak("a\nb\r\n"), "\r\n");
  EXPECT_EQ(DominantLineBreak("a\nb\r"), "\n");
  EXPECT_EQ(DominantLineBreak("a\rb"), "\r");
  EXPECT_EQ(DominantLineBreak("ab"), "\r\n");
}

}  // namespace
}  // namespace qv
