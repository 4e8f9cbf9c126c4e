// How a line's bytes are shown: UTF-8 (one glyph per sequence), Windows-1252 for text that is
// not valid UTF-8, and code page 437 for the OEM view. Showing never changes a byte.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class DisplayCharset { Utf8, Windows1252, Oem437 };

bool IsValidUtf8(std::string_view bytes);

// UTF-8 for text that is valid UTF-8, Windows-1252 otherwise.
DisplayCharset ChooseDisplayCharset(std::string_view sample);

// The character at byte col and how many bytes it takes (at least 1). A byte that starts no
// valid UTF-8 sequence stands for itself as U+FFFD, one byte long.
struct DecodedChar {
  char32_t cp;
  int length;
};
DecodedChar DecodeAt(std::string_view line, int col, DisplayCharset cs);

// The character's bytes in the charset, or nothing when the charset cannot hold it.
std::optional<std::string> EncodeChar(char32_t cp, DisplayCharset cs);
// Whole text; nothing when any character cannot be held.
std::optional<std::string> EncodeText(std::u32string_view text, DisplayCharset cs);

// True when byte col starts a character (always true outside UTF-8).
bool IsCharStart(std::string_view line, int col, DisplayCharset cs);
// The character start at or before col, and the next character start after col.
int CharStartBefore(std::string_view line, int col, DisplayCharset cs);
int NextCharStart(std::string_view line, int col, DisplayCharset cs);

// Screen cell where each byte's character starts, tabs expanded; cells[i] for i in [0, size]
// (cells[size] is the width of the line). Bytes inside a sequence share its start cell.
std::vector<int> CellStarts(std::string_view line, DisplayCharset cs, int tabWidth);

// The byte column whose character covers screen cell `cell` (or the end of the line plus the
// cells beyond it, as byte columns, when past the end).
int ColumnOfCell(const std::vector<int>& cells, std::string_view line, int cell);

}  // namespace qv
