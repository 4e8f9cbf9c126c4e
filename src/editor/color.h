// Colours as stored everywhere in the program: 0x00BBGGRR for RGB, 0x80000000 + index for a
// system colour, 0x1FFFFFFF for "no colour".
#pragma once
#include <cstdint>

namespace qv {

using Color = std::uint32_t;

inline constexpr Color kClNone = 0x1FFFFFFF;
inline constexpr Color kClSystemBase = 0x80000000;
inline constexpr Color kClWindow = 0x80000005;
inline constexpr Color kClWindowText = 0x80000008;
inline constexpr Color kClHighlight = 0x8000000D;
inline constexpr Color kClHighlightText = 0x8000000E;
inline constexpr Color kClBtnFace = 0x8000000F;

constexpr Color Rgb(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr bool IsSystemColor(Color c) { return (c & 0xFF000000u) == kClSystemBase; }

// Font style bits, shared by highlighter attributes and stored fonts.
enum FontStyle : int { kFsBold = 1, kFsItalic = 2, kFsUnderline = 4, kFsStrikeOut = 8 };

}  // namespace qv
