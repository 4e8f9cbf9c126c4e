// What a document needs from the editor that shows its text, implemented over the editor control.
#pragma once
#include <string_view>

#include "editor/editor.h"
#include "editor/text_buffer.h"

namespace qv {

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

// The document's view of its own editor control.
class EditorDocumentView : public DocumentView {
 public:
  explicit EditorDocumentView(Editor& editor) : editor_(editor) {}

  TextPos caret() const override { return Editor::toPos(editor_.caretXY()); }
  void setCaret(TextPos pos) override { editor_.setCaretXY(Editor::toCoord(editor_.lines().clamp(pos))); }
  int topLine() const override { return editor_.topLine() - 1; }
  void setTopLine(int line) override { editor_.setTopLine(line + 1); }
  int leftChar() const override { return editor_.leftChar() - 1; }
  void setLeftChar(int column) override { editor_.setLeftChar(column + 1); }
  TextPos selectionBegin() const override {
    return editor_.selAvail() ? Editor::toPos(editor_.blockBegin()) : caret();
  }
  TextPos selectionEnd() const override {
    return editor_.selAvail() ? Editor::toPos(editor_.blockEnd()) : caret();
  }
  SelectionMode selectionMode() const override { return editor_.selectionMode(); }
  bool insertMode() const override { return editor_.insertMode(); }
  void insertText(std::string_view text) override { editor_.setSelText(text); }
  void centerCaretLine() override {
    editor_.setTopLine(std::max(1, editor_.caretXY().Line - editor_.linesInWindow() / 2));
  }
  void clearUndo() override { editor_.clearUndo(); }

  // Selects from anchor to caret in the given mode (0-based positions).
  void select(TextPos anchor, TextPos caret, SelectionMode mode = SelectionMode::Normal) {
    editor_.setSelectionMode(mode);
    editor_.setSelection(Editor::toCoord(editor_.lines().clamp(anchor)),
                         Editor::toCoord(editor_.lines().clamp(caret)));
  }

 private:
  Editor& editor_;
};

}  // namespace qv
