// The editor control's option set: one flag per behaviour, stored as a small bit set.
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace qv {

// Every option the editor control understands. The order is fixed: it is the bit index.
enum class EditorOption : std::uint8_t {
  eoAltSetsColumnMode,       // Alt held while selecting with the mouse selects a column block
  eoAutoIndent,              // a new line starts with the previous line's indentation
  eoAutoSizeMaxScrollWidth,  // the horizontal scroll range grows with the longest line seen
  eoDragDropEditing,         // a selection can be dragged to move or copy it
  eoDropFiles,               // files dropped on the view are passed to the owner
  eoEnhanceEndKey,           // End goes to the last non-blank first, then the true end
  eoEnhanceHomeKey,          // Home goes to the first non-blank first, then column 1
  eoGroupUndo,               // consecutive edits of the same kind undo as one step
  eoHideShowScrollbars,      // scroll bars appear only when needed
  eoKeepCaretX,              // vertical moves keep the caret's column past short lines
  eoScrollPastEol,           // the caret may go past the end of a line
  eoShowScrollHint,          // the top line number is shown while dragging the scroll bar
  eoShowSpecialChars,        // blanks, tabs and line ends are drawn with glyphs
  eoSmartTabDelete,          // Backspace in leading blanks goes back to the previous indent
  eoSmartTabs,               // Tab goes to the next word start of the line above
  eoSpecialLineDefaultFg,    // special-line colouring keeps the highlighter's text colours
  eoTabsInBlockIndent,       // block indent inserts a tab instead of blanks
  eoTabsToSpaces,            // Tab inserts blanks
  eoTrimTrailingSpaces,      // trailing blanks of an edited line are removed
};

inline constexpr int kEditorOptionCount = static_cast<int>(EditorOption::eoTrimTrailingSpaces) + 1;

// A set of editor options (a value type; cheap to copy and compare).
class EditorOptions {
 public:
  constexpr EditorOptions() = default;
  constexpr EditorOptions(std::initializer_list<EditorOption> options) {
    for (EditorOption o : options) bits_ |= bit(o);
  }
  static constexpr EditorOptions fromBits(std::uint32_t bits) {
    EditorOptions s;
    s.bits_ = bits & ((1u << kEditorOptionCount) - 1);
    return s;
  }

  constexpr bool has(EditorOption o) const { return (bits_ & bit(o)) != 0; }
  constexpr void include(EditorOption o) { bits_ |= bit(o); }
  constexpr void exclude(EditorOption o) { bits_ &= ~bit(o); }
  constexpr void set(EditorOption o, bool on) { on ? include(o) : exclude(o); }
  constexpr std::uint32_t bits() const { return bits_; }
  constexpr bool empty() const { return bits_ == 0; }

  constexpr EditorOptions operator|(EditorOptions other) const { return fromBits(bits_ | other.bits_); }
  constexpr EditorOptions operator&(EditorOptions other) const { return fromBits(bits_ & other.bits_); }
  constexpr EditorOptions operator-(EditorOptions other) const { return fromBits(bits_ & ~other.bits_); }
  constexpr bool operator==(const EditorOptions&) const = default;

 private:
  static constexpr std::uint32_t bit(EditorOption o) { return 1u << static_cast<unsigned>(o); }
  std::uint32_t bits_ = 0;
};

// Names as written in code and settings ("eoAutoIndent", ...), in enum order.
inline constexpr std::array<std::string_view, kEditorOptionCount> kEditorOptionNames = {
    "eoAltSetsColumnMode", "eoAutoIndent",       "eoAutoSizeMaxScrollWidth", "eoDragDropEditing",
    "eoDropFiles",         "eoEnhanceEndKey",    "eoEnhanceHomeKey",         "eoGroupUndo",
    "eoHideShowScrollbars", "eoKeepCaretX",      "eoScrollPastEol",          "eoShowScrollHint",
    "eoShowSpecialChars",  "eoSmartTabDelete",   "eoSmartTabs",              "eoSpecialLineDefaultFg",
    "eoTabsInBlockIndent", "eoTabsToSpaces",     "eoTrimTrailingSpaces",
};

constexpr std::string_view editorOptionName(EditorOption o) {
  return kEditorOptionNames[static_cast<std::size_t>(o)];
}

constexpr std::optional<EditorOption> editorOptionFromName(std::string_view name) {
  for (std::size_t i = 0; i < kEditorOptionNames.size(); ++i)
    if (kEditorOptionNames[i] == name) return static_cast<EditorOption>(i);
  return std::nullopt;
}

// Options that are on before any configuration is applied and that no user setting controls.
inline constexpr EditorOptions kEditorBaseOptions = {
    EditorOption::eoAltSetsColumnMode, EditorOption::eoAutoSizeMaxScrollWidth,
    EditorOption::eoDropFiles,         EditorOption::eoHideShowScrollbars,
    EditorOption::eoShowScrollHint,    EditorOption::eoSpecialLineDefaultFg,
};

// Options that follow from others: call after changing eoScrollPastEol or eoSmartTabs.
constexpr EditorOptions withDerivedOptions(EditorOptions o) {
  o.set(EditorOption::eoKeepCaretX, !o.has(EditorOption::eoScrollPastEol));
  o.set(EditorOption::eoSmartTabDelete, o.has(EditorOption::eoSmartTabs));
  return o;
}

}  // namespace qv
