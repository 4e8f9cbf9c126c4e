// Screen cells of a line's bytes, found without building a table for the whole line: a line
// can be tens of megabytes, so plain ASCII goes eight bytes at a time.
#pragma once
#include <cstdint>
#include <cstring>
#include <string_view>

#include "editor/display_charset.h"

namespace qv {

// A character start (byte column) and the screen cell where it is drawn.
struct CellPos {
  int col = 0;
  int cell = 0;
};

namespace cells_detail {

// True when none of the eight bytes is a tab or has its high bit set: each is one cell.
inline bool PlainAscii8(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  const std::uint64_t tabs = w ^ (kOnes * '\t');
  const bool hasTab = ((tabs - kOnes) & ~tabs & kHigh) != 0;
  return !hasTab && (w & kHigh) == 0;
}

// One character at pos: its byte length and the cell after it.
inline void Step(std::string_view text, CellPos& at, DisplayCharset cs, int tabWidth) {
  const auto c = static_cast<unsigned char>(text[static_cast<size_t>(at.col)]);
  if (c == '\t') {
    at.cell = (at.cell / tabWidth + 1) * tabWidth;
    ++at.col;
  } else if (c < 0x80 || cs != DisplayCharset::Utf8) {
    ++at.cell;
    ++at.col;
  } else {
    ++at.cell;
    at.col += DecodeAt(text, at.col, cs).length;
  }
}

}  // namespace cells_detail

// Moves `from` (a character start) forward to the character start at or after byte column
// `stopCol`; past the end each column is one cell.
inline CellPos AdvanceToColumn(std::string_view text, CellPos from, int stopCol, DisplayCharset cs,
                               int tabWidth) {
  const int size = static_cast<int>(text.size());
  const int stop = stopCol < size ? stopCol : size;
  tabWidth = tabWidth > 0 ? tabWidth : 1;
  while (from.col < stop) {
    if (stop - from.col >= 8 && cells_detail::PlainAscii8(text.data() + from.col)) {
      from.col += 8;
      from.cell += 8;
      continue;
    }
    cells_detail::Step(text, from, cs, tabWidth);
  }
  if (stopCol > from.col && from.col >= size) {
    from.cell += stopCol - from.col;
    from.col = stopCol;
  }
  return from;
}

// The character that covers screen cell `cell` (the last one starting at or before it); past
// the end of the line, one column a cell.
inline CellPos CharAtCell(std::string_view text, int cell, DisplayCharset cs, int tabWidth) {
  const int size = static_cast<int>(text.size());
  tabWidth = tabWidth > 0 ? tabWidth : 1;
  CellPos at;
  while (at.col < size) {
    if (size - at.col >= 8 && at.cell + 8 <= cell && cells_detail::PlainAscii8(text.data() + at.col)) {
      at.col += 8;
      at.cell += 8;
      continue;
    }
    CellPos next = at;
    cells_detail::Step(text, next, cs, tabWidth);
    if (next.cell > cell) return at;
    at = next;
  }
  if (cell > at.cell) {
    at.col += cell - at.cell;
    at.cell = cell;
  }
  return at;
}

// Screen cell of byte column col (a column inside a character counts from that character's end).
inline int CellOfColumn(std::string_view text, int col, DisplayCharset cs, int tabWidth) {
  return AdvanceToColumn(text, CellPos{}, col, cs, tabWidth).cell;
}

}  // namespace qv
