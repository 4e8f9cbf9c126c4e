// The interface between the editor and a syntax highlighter: the editor hands over one line at a
// time, reads tokens (text, position, kind, attribute) to the end of the line, and keeps the
// range value reported at the end of each line so constructs spanning lines continue correctly.
#pragma once
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/color.h"

namespace qv {

// A named colour-and-style role ("Comment", "Keywords 1", "Selection", ...).
struct HighlighterAttribute {
  std::string name;         // display name
  std::string storageName;  // settings subkey name (no blanks)
  Color foreground = kClNone;
  Color background = kClNone;
  int style = 0;  // FontStyle bits
  // Values at creation, for "reset to defaults" and for deciding what to store.
  Color defaultForeground = kClNone;
  Color defaultBackground = kClNone;
  int defaultStyle = 0;
};

// Roles the editor asks for without knowing the language.
enum class DefaultAttribute { Comment, Identifier, Keyword, String, Whitespace, Symbol };

// State carried from the end of one line to the start of the next. Highlighters that need more
// than a number (a here-document's terminator, say) intern what they need and store an index.
using HighlighterRange = std::uint32_t;

class Highlighter {
 public:
  virtual ~Highlighter() = default;

  // Class-level language name ("C/C++", "Pascal", ...); empty for the general highlighter.
  virtual std::string languageName() const = 0;

  // Scanning one line: setLine scans the first token; next() moves on; eol() after the last.
  virtual void setLine(std::string_view line, int lineNumber) = 0;
  virtual void next() = 0;
  virtual bool eol() const = 0;
  virtual std::string_view tokenText() const = 0;
  virtual int tokenKind() const = 0;
  virtual int tokenPosition() const = 0;  // 0-based byte offset of the token in the line
  virtual HighlighterAttribute* tokenAttribute() const = 0;

  virtual HighlighterRange range() const = 0;
  virtual void setRange(HighlighterRange value) = 0;
  virtual void resetRange() = 0;

  // Attributes in their fixed order (the index order); the table adds the extra ones at the end.
  std::vector<std::unique_ptr<HighlighterAttribute>>& attributes() { return attributes_; }
  const std::vector<std::unique_ptr<HighlighterAttribute>>& attributes() const { return attributes_; }
  HighlighterAttribute* attribute(std::string_view name) const;
  HighlighterAttribute* addAttribute(std::string name, std::string storageName, Color fg = kClNone,
                                     Color bg = kClNone, int style = 0);

  virtual HighlighterAttribute* defaultAttribute(DefaultAttribute which) const = 0;
  virtual const std::bitset<256>& identifierChars() const = 0;
  bool isIdentChar(unsigned char c) const { return identifierChars().test(c); }

  // True when tokenKind() is a comment (used by comment removal and statistics).
  virtual bool isCommentKind(int kind) const = 0;

  // A fresh highlighter configured like this one (printing and export scan with their own copy).
  virtual std::unique_ptr<Highlighter> clone() const = 0;

  // Called after a change of configuration or colours; the editor re-scans and repaints.
  void onChange(std::function<void()> listener) { changeListeners_.push_back(std::move(listener)); }
  void notifyChange() const {
    for (const auto& l : changeListeners_) l();
  }

 protected:
  Highlighter() = default;
  Highlighter(const Highlighter&) = delete;
  Highlighter& operator=(const Highlighter&) = delete;

 private:
  std::vector<std::unique_ptr<HighlighterAttribute>> attributes_;
  std::vector<std::function<void()>> changeListeners_;
};

}  // namespace qv
