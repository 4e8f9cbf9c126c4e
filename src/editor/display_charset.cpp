// Decoding and encoding for the three display character sets.
#include "editor/display_charset.h"

#include <algorithm>
#include <array>

namespace qv {
namespace {

// Windows-1252 0x80..0x9F; 0 marks the five undefined codes, shown as themselves (C1).
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr std::array<char32_t, 128> kCp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// Length of the valid UTF-8 sequence starting at i, or 0.
int Utf8SequenceLength(std::string_view s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return 1;
  int len;
  char32_t min;
  if (c >= 0xC2 && c <= 0xDF) len = 2, min = 0x80;
  else if (c >= 0xE0 && c <= 0xEF) len = 3, min = 0x800;
  else if (c >= 0xF0 && c <= 0xF4) len = 4, min = 0x10000;
  else return 0;
  if (i + len > s.size()) return 0;
  char32_t cp = c & (0x3F >> (len - 1));
  for (int k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

char32_t DecodeUtf8(std::string_view s, size_t i, int len) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (len == 1) return c;
  char32_t cp = c & (0x3F >> (len - 1));
  for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return cp;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    // Fast path over ASCII runs.
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
    if (i == bytes.size()) break;
    const int len = Utf8SequenceLength(bytes, i);
    if (len == 0) return false;
    i += static_cast<size_t>(len);
  }
  return true;
}

DisplayCharset ChooseDisplayCharset(std::string_view sample) {
  return IsValidUtf8(sample) ? DisplayCharset::Utf8 : DisplayCharset::Windows1252;
}

DecodedChar DecodeAt(std::string_view line, int col, DisplayCharset cs) {
  const unsigned char c = static_cast<unsigned char>(line[static_cast<size_t>(col)]);
  switch (cs) {
    case DisplayCharset::Utf8: {
      const int len = Utf8SequenceLength(line, static_cast<size_t>(col));
      if (len == 0) return {0xFFFD, 1};
      return {DecodeUtf8(line, static_cast<size_t>(col), len), len};
    }
    case DisplayCharset::Windows1252:
      if (c >= 0x80 && c < 0xA0 && kCp1252High[c - 0x80] != 0) return {kCp1252High[c - 0x80], 1};
      return {c, 1};
    case DisplayCharset::Oem437:
      return {c >= 0x80 ? kCp437High[c - 0x80] : c, 1};
  }
  return {c, 1};
}

std::optional<std::string> EncodeChar(char32_t cp, DisplayCharset cs) {
  if (cp < 0x80) return std::string(1, static_cast<char>(cp));
  switch (cs) {
    case DisplayCharset::Utf8: {
      if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
      std::string out;
      auto cont = [&](int shift) { out += static_cast<char>(0x80 | ((cp >> shift) & 0x3F)); };
      if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        cont(0);
      } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        cont(6);
        cont(0);
      } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        cont(12);
        cont(6);
        cont(0);
      }
      return out;
    }
    case DisplayCharset::Windows1252:
      for (int i = 0; i < 32; ++i)
        if (kCp1252High[static_cast<size_t>(i)] == cp) return std::string(1, static_cast<char>(0x80 + i));
      if (cp >= 0xA0 && cp <= 0xFF) return std::string(1, static_cast<char>(cp));
      return std::nullopt;
    case DisplayCharset::Oem437:
      for (int i = 0; i < 128; ++i)
        if (kCp437High[static_cast<size_t>(i)] == cp) return std::string(1, static_cast<char>(0x80 + i));
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> EncodeText(std::u32string_view text, DisplayCharset cs) {
  std::string out;
  for (char32_t cp : text) {
    auto bytes = EncodeChar(cp, cs);
    if (!bytes) return std::nullopt;
    out += *bytes;
  }
  return out;
}

bool IsCharStart(std::string_view line, int col, DisplayCharset cs) {
  if (cs != DisplayCharset::Utf8 || col <= 0 || col >= static_cast<int>(line.size())) return true;
  return CharStartBefore(line, col, cs) == col;
}

int CharStartBefore(std::string_view line, int col, DisplayCharset cs) {
  const int size = static_cast<int>(line.size());
  if (cs != DisplayCharset::Utf8 || col <= 0 || col >= size) return std::max(col, 0);
  // Look back at most three bytes for a lead byte whose valid sequence covers col.
  for (int start = col; start >= std::max(0, col - 3); --start) {
    const unsigned char c = static_cast<unsigned char>(line[static_cast<size_t>(start)]);
    if ((c & 0xC0) != 0x80) {
      const int len = Utf8SequenceLength(line, static_cast<size_t>(start));
      return (len > 0 && start + len > col) ? start : col;
    }
  }
  return col;
}

int NextCharStart(std::string_view line, int col, DisplayCharset cs) {
  const int size = static_cast<int>(line.size());
  if (col >= size) return col + 1;
  const int start = CharStartBefore(line, col, cs);
  return start + DecodeAt(line, start, cs).length;
}

std::vector<int> CellStarts(std::string_view line, DisplayCharset cs, int tabWidth) {
  std::vector<int> cells(line.size() + 1);
  int cell = 0;
  size_t i = 0;
  while (i < line.size()) {
    const int len = line[i] == '\t' ? 1 : DecodeAt(line, static_cast<int>(i), cs).length;
    for (int k = 0; k < len; ++k) cells[i + static_cast<size_t>(k)] = cell;
    cell = line[i] == '\t' ? (cell / tabWidth + 1) * tabWidth : cell + 1;
    i += static_cast<size_t>(len);
  }
  cells[line.size()] = cell;
  return cells;
}

int ColumnOfCell(const std::vector<int>& cells, std::string_view line, int cell) {
  const int size = static_cast<int>(line.size());
  if (cell >= cells[static_cast<size_t>(size)]) return size + (cell - cells[static_cast<size_t>(size)]);
  // The last byte whose character starts at or before the cell.
  auto it = std::upper_bound(cells.begin(), cells.begin() + size, cell);
  int col = static_cast<int>(it - cells.begin()) - 1;
  col = std::max(col, 0);
  while (col > 0 && cells[static_cast<size_t>(col - 1)] == cells[static_cast<size_t>(col)]) --col;
  return col;
}

}  // namespace qv
