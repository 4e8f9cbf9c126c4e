// What a document needs from the editor that shows its text, and a plain stand-in for it.
#pragma once
#include <string>
#include <string_view>

#include "editor/text_buffer.h"

namespace qv {

enum class SelectionMode { Normal, Column, Line };

// Caret, selection, scroll position and undo of the editor showing a document. Positions are
// 0-based (line, byte column); the document converts them to the 1-based form users see.
class DocumentView {
 public:
  virtual ~DocumentView() = default;
  virtual TextPos caret() const = 0;
  virtual void setCaret(TextPos pos) = 0;
  virtual int topLine() const = 0;
  virtual void setTopLine(int line) = 0;
  virtual int leftChar() const = 0;
  virtual void setLeftChar(int column) = 0;
  // Selection begin and end in text order; equal when nothing is selected.
  virtual TextPos selectionBegin() const = 0;
  virtual TextPos selectionEnd() const = 0;
  virtual SelectionMode selectionMode() const = 0;
  virtual bool insertMode() const = 0;
  // Replaces the selection (or inserts at the caret) as one undo step; the caret ends after it.
  virtual void insertText(std::string_view text) = 0;
  virtual void centerCaretLine() = 0;
  virtual void clearUndo() = 0;
};

// Used while no editor is attached (a document loaded for a command or a plug-in, and tests):
// keeps a caret and a selection over the buffer, and has no undo.
class PlainDocumentView : public DocumentView {
 public:
  explicit PlainDocumentView(TextBuffer& buffer) : buffer_(buffer) {}

  TextPos caret() const override { return buffer_.clamp(caret_); }
  void setCaret(TextPos pos) override { caret_ = anchor_ = buffer_.clamp(pos); }
  int topLine() const override { return topLine_; }
  void setTopLine(int line) override { topLine_ = line; }
  int leftChar() const override { return leftChar_; }
  void setLeftChar(int column) override { leftChar_ = column; }
  TextPos selectionBegin() const override { return std::min(caret(), buffer_.clamp(anchor_)); }
  TextPos selectionEnd() const override { return std::max(caret(), buffer_.clamp(anchor_)); }
  SelectionMode selectionMode() const override { return mode_; }
  bool insertMode() const override { return insertMode_; }
  void insertText(std::string_view text) override {
    caret_ = anchor_ = buffer_.replace(selectionBegin(), selectionEnd(), text);
  }
  void centerCaretLine() override {}
  void clearUndo() override {}

  // Selects from anchor to caret.
  void select(TextPos anchor, TextPos caret, SelectionMode mode = SelectionMode::Normal) {
    anchor_ = buffer_.clamp(anchor);
    caret_ = buffer_.clamp(caret);
    mode_ = mode;
  }
  void setInsertMode(bool on) { insertMode_ = on; }

 private:
  TextBuffer& buffer_;
  TextPos caret_;
  TextPos anchor_;
  int topLine_ = 0;
  int leftChar_ = 0;
  SelectionMode mode_ = SelectionMode::Normal;
  bool insertMode_ = true;
};

}  // namespace qv
