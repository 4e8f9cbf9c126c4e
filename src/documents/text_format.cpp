// Detection of a file's text format and the UTF-16 and UTF-8 conversions of the marked formats.
#include "documents/text_format.h"

#include <array>
#include <fstream>
#include <optional>
#include <vector>

namespace qv {
namespace {

constexpr std::string_view kMarkLE = "\xFF\xFE";
constexpr std::string_view kMarkBE = "\xFE\xFF";
constexpr std::string_view kMarkUTF8 = "\xEF\xBB\xBF";

// Windows-1252 characters 0x80..0x9F; the five holes map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::size_t Utf8Length(std::uint32_t cp) {
  return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// Writes cp's UTF-8 form at out; returns the position after it.
char* PutUtf8(char* out, std::uint32_t cp) {
  const auto byte = [](std::uint32_t v) { return static_cast<char>(v); };
  if (cp < 0x80) {
    *out++ = byte(cp);
  } else if (cp < 0x800) {
    *out++ = byte(0xC0 | (cp >> 6));
    *out++ = byte(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = byte(0xE0 | (cp >> 12));
    *out++ = byte(0x80 | ((cp >> 6) & 0x3F));
    *out++ = byte(0x80 | (cp & 0x3F));
  } else {
    *out++ = byte(0xF0 | (cp >> 18));
    *out++ = byte(0x80 | ((cp >> 12) & 0x3F));
    *out++ = byte(0x80 | ((cp >> 6) & 0x3F));
    *out++ = byte(0x80 | (cp & 0x3F));
  }
  return out;
}

// Calls visit(code point) for each character of UTF-16 data (an even number of bytes); a
// surrogate without its partner is passed on by itself.
// The byte order is a template argument so the loop holds no test of it.
template <bool BigEndian, typename Visit>
void ForEachUtf16CodePoint(std::string_view body, Visit visit) {
  const auto* data = reinterpret_cast<const unsigned char*>(body.data());
  const std::size_t units = body.size() / 2;
  const auto unitAt = [&](std::size_t i) -> std::uint32_t {
    const std::uint32_t a = data[2 * i], b = data[2 * i + 1];
    return BigEndian ? (a << 8) | b : (b << 8) | a;
  };
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t unit = unitAt(i);
    if (unit < 0xD800) {
      visit(unit);
      continue;
    }
    if (unit <= 0xDBFF && i + 1 < units) {
      const std::uint32_t next = unitAt(i + 1);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        visit(0x10000 + ((unit - 0xD800u) << 10) + (next - 0xDC00u));
        ++i;
        continue;
      }
    }
    visit(unit);
  }
}

// One code point of UTF-8 at text[pos] (surrogates allowed, overlong forms refused).
// Returns the sequence length, or 0 when the bytes there are not such a sequence.
std::size_t NextCodePoint(std::string_view text, std::size_t pos, std::uint32_t& cp) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  std::size_t len = 0;
  std::uint32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2, cp = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3, cp = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4, cp = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - pos < len) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF) return 0;
  return len;
}

}  // namespace

std::string_view TextFormatStatusText(TTextFormat format) {
  switch (format) {
    case TTextFormat::tfNormal: return "DOS";
    case TTextFormat::tfUnix: return "UNIX";
    case TTextFormat::tfMac: return "MAC";
    case TTextFormat::tfUnicode: return "Unicode";
    case TTextFormat::tfUnicodeBigEndian: return "Unicode BE";
    case TTextFormat::tfUTF8: return "UTF-8";
  }
  return "";
}

std::optional<TTextFormat> TextFormatFromInt(int value) {
  if (value < 0 || value > 5) return std::nullopt;
  return static_cast<TTextFormat>(value);
}

bool IsMarkedFormat(TTextFormat format) {
  return format == TTextFormat::tfUnicode || format == TTextFormat::tfUnicodeBigEndian ||
         format == TTextFormat::tfUTF8;
}

std::string_view ByteOrderMark(TTextFormat format) {
  switch (format) {
    case TTextFormat::tfUnicode: return kMarkLE;
    case TTextFormat::tfUnicodeBigEndian: return kMarkBE;
    case TTextFormat::tfUTF8: return kMarkUTF8;
    default: return "";
  }
}

std::string_view LineBreakOf(TTextFormat format) {
  switch (format) {
    case TTextFormat::tfUnix: return "\n";
    case TTextFormat::tfMac: return "\r";
    default: return "\r\n";
  }
}

TTextFormat DetectTextFormatFromSample(std::string_view sample) {
  sample = sample.substr(0, kDetectSampleSize);
  if (sample.starts_with(kMarkLE)) return TTextFormat::tfUnicode;
  if (sample.starts_with(kMarkBE)) return TTextFormat::tfUnicodeBigEndian;
  if (sample.starts_with(kMarkUTF8)) return TTextFormat::tfUTF8;
  // The text before the first zero byte decides; when it holds no break the rest of the sample
  // does, so a zero byte early in the file never turns its LF breaks into CR LF on saving.
  const auto byBreaks = [](std::string_view text) -> std::optional<TTextFormat> {
    if (text.find("\r\n") != std::string_view::npos) return TTextFormat::tfNormal;
    if (text.find('\n') != std::string_view::npos) return TTextFormat::tfUnix;
    if (text.find('\r') != std::string_view::npos) return TTextFormat::tfMac;
    return std::nullopt;
  };
  if (auto f = byBreaks(sample.substr(0, sample.find('\0')))) return *f;
  return byBreaks(sample).value_or(TTextFormat::tfNormal);
}

TTextFormat DetectTextFormat(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return TTextFormat::tfNormal;
  std::string sample(kDetectSampleSize, '\0');
  in.read(sample.data(), static_cast<std::streamsize>(sample.size()));
  sample.resize(static_cast<std::size_t>(in.gcount()));
  return DetectTextFormatFromSample(sample);
}

std::string_view DominantLineBreak(std::string_view text) {
  if (text.find("\r\n") != std::string_view::npos) return "\r\n";
  if (text.find('\n') != std::string_view::npos) return "\n";
  if (text.find('\r') != std::string_view::npos) return "\r";
  return "\r\n";
}

std::optional<DecodedText> DecodeMarkedText(std::string_view fileBytes, TTextFormat format) {
  const std::string_view mark = ByteOrderMark(format);
  if (mark.empty() || !fileBytes.starts_with(mark)) return std::nullopt;
  std::string_view body = fileBytes.substr(mark.size());
  DecodedText result;
  if (format == TTextFormat::tfUTF8) {
    result.text.assign(body);
    return result;
  }
  const bool bigEndian = format == TTextFormat::tfUnicodeBigEndian;
  if (body.size() % 2 != 0) {
    result.strayByte = static_cast<unsigned char>(body.back());
    body.remove_suffix(1);
  }
  // Measured first, so the text is written through a pointer into one exact allocation.
  std::size_t length = 0;
  const auto count = [&](std::uint32_t cp) { length += Utf8Length(cp); };
  if (bigEndian) {
    ForEachUtf16CodePoint<true>(body, count);
  } else {
    ForEachUtf16CodePoint<false>(body, count);
  }
  result.text.resize(length);
  char* out = result.text.data();
  const auto put = [&](std::uint32_t cp) { out = PutUtf8(out, cp); };
  if (bigEndian) {
    ForEachUtf16CodePoint<true>(body, put);
  } else {
    ForEachUtf16CodePoint<false>(body, put);
  }
  return result;
}

bool IsWideUtf8Text(std::string_view text) {
  std::uint32_t cp = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const std::size_t len = NextCodePoint(text, pos, cp);
    if (len == 0) return false;
    pos += len;
  }
  return true;
}

void MarkedTextEncoder::encode(std::string_view piece, std::string& out) const {
  if (format_ != TTextFormat::tfUnicode && format_ != TTextFormat::tfUnicodeBigEndian) {
    out.append(piece);
    return;
  }
  const bool bigEndian = format_ == TTextFormat::tfUnicodeBigEndian;
  // Sized once and filled through a pointer: appending two bytes at a time is the slow part.
  const std::size_t start = out.size();
  out.resize(start + 2 * piece.size());
  char* dst = out.data() + start;
  const auto put = [&](char16_t unit) {
    const char lo = static_cast<char>(unit & 0xFF), hi = static_cast<char>(unit >> 8);
    *dst++ = bigEndian ? hi : lo;
    *dst++ = bigEndian ? lo : hi;
  };
  if (wideUtf8_) {
    // No character takes more than twice its UTF-8 length in UTF-16: the size above suffices.
    std::uint32_t cp = 0;
    for (std::size_t pos = 0; pos < piece.size();) {
      const std::size_t len = NextCodePoint(piece, pos, cp);
      pos += len ? len : 1;  // not reached for text checked with IsWideUtf8Text
      if (len == 0) cp = static_cast<unsigned char>(piece[pos - 1]);
      if (cp >= 0x10000) {
        cp -= 0x10000;
        put(static_cast<char16_t>(0xD800 | (cp >> 10)));
        put(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
      } else {
        put(static_cast<char16_t>(cp));
      }
    }
  } else {
    for (const char c : piece) {
      const auto b = static_cast<unsigned char>(c);
      put(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t{b});
    }
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
}

std::string EncodeMarkedText(std::string_view text, TTextFormat format,
                             std::optional<unsigned char> strayByte) {
  std::string out(ByteOrderMark(format));
  const bool wide = IsMarkedFormat(format) && format != TTextFormat::tfUTF8 && IsWideUtf8Text(text);
  MarkedTextEncoder(format, wide).encode(text, out);
  if (strayByte && IsMarkedFormat(format) && format != TTextFormat::tfUTF8) out.push_back(static_cast<char>(*strayByte));
  return out;
}

}  // namespace qv
