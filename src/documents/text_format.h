// The on-disk text formats of a document: detection, and the conversion of the marked formats.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// A document's file format: three 8-bit line-break styles and three byte-order-marked encodings.
// The numeric values are stored in settings and sent to plug-ins.
enum class TTextFormat : std::uint8_t {
  tfNormal = 0,            // CR LF
  tfUnix = 1,              // LF
  tfMac = 2,               // CR
  tfUnicode = 3,           // FF FE, UTF-16 little endian
  tfUnicodeBigEndian = 4,  // FE FF, UTF-16 big endian
  tfUTF8 = 5,              // EF BB BF, then the bytes unchanged
};

inline constexpr std::size_t kDetectSampleSize = 4096;

// "DOS", "UNIX", "MAC", "Unicode", "Unicode BE", "UTF-8".
std::string_view TextFormatStatusText(TTextFormat format);

// Values 0..5 name a format; anything else is nothing.
std::optional<TTextFormat> TextFormatFromInt(int value);

bool IsMarkedFormat(TTextFormat format);

// The byte-order mark written before a marked format's text ("" for the 8-bit formats).
std::string_view ByteOrderMark(TTextFormat format);

// The line break an 8-bit format writes; the marked formats default to CR LF.
std::string_view LineBreakOf(TTextFormat format);

// The format of a file from its first bytes (at most kDetectSampleSize are looked at).
TTextFormat DetectTextFormatFromSample(std::string_view sample);

// Reads the first block of the file; a file that cannot be opened counts as tfNormal.
TTextFormat DetectTextFormat(const std::filesystem::path& file);

// The break style of a decoded text, by the same rule as the 8-bit detection: CR LF anywhere wins,
// then LF, then CR; no break at all gives CR LF.
std::string_view DominantLineBreak(std::string_view text);

// The text of a marked file as the document holds it: UTF-8 bytes (unchanged bytes for tfUTF8).
struct DecodedText {
  std::string text;
  // A UTF-16 file of odd length ends in half a code unit; it is kept so saving writes it back.
  std::optional<unsigned char> strayByte;
};

// Decodes a whole marked file (mark included). Nothing when the data does not start with the
// format's mark. Zero characters are kept; unpaired surrogates are kept in their 3-byte form.
std::optional<DecodedText> DecodeMarkedText(std::string_view fileBytes, TTextFormat format);

// Whether text is UTF-8 as the UTF-16 encoders take it: well-formed sequences, surrogates allowed.
// A text is valid exactly when each of its lines is, so a document can be checked line by line.
bool IsWideUtf8Text(std::string_view text);

// Encodes a marked format's text piece by piece, so a large document is written without a second
// copy of it in memory. Pieces must not split a UTF-8 sequence (whole lines never do).
class MarkedTextEncoder {
 public:
  // wideUtf8: IsWideUtf8Text holds for the whole text, which is then encoded character by
  // character; otherwise every byte is a Windows-1252 character.
  MarkedTextEncoder(TTextFormat format, bool wideUtf8) : format_(format), wideUtf8_(wideUtf8) {}
  // Appends the encoded piece to out (the piece unchanged for tfUTF8 and the 8-bit formats).
  void encode(std::string_view piece, std::string& out) const;

 private:
  TTextFormat format_;
  bool wideUtf8_;
};

// The whole file for a marked format: mark, then the text encoded. Text that is valid UTF-8
// (unpaired surrogates allowed) is encoded character by character; any other text is taken as
// Windows-1252, the character set it is shown in.
std::string EncodeMarkedText(std::string_view text, TTextFormat format,
                             std::optional<unsigned char> strayByte = std::nullopt);

}  // namespace qv
