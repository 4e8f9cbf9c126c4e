// What a screen reader sees of the editor view: its text by lines, the caret and the selection.
#pragma once
#include <QAccessibleWidget>

#include <cstdint>
#include <vector>

#include "editor/editor.h"

namespace qv {

class EditorView;

// The text interface of an EditorView. Offsets count UTF-16 units of the lines as shown,
// joined by one "\n" each.
class EditorViewAccessible : public QAccessibleWidget,
                             public QAccessibleTextInterface,
                             public QAccessibleEditableTextInterface {
 public:
  explicit EditorViewAccessible(EditorView* view);

  // Registers the factory that gives every EditorView this interface (once per program).
  static void install();

  void* interface_cast(QAccessible::InterfaceType t) override;
  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;

  // QAccessibleTextInterface
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                       int* endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

  // QAccessibleEditableTextInterface
  void deleteText(int startOffset, int endOffset) override;
  void insertText(int offset, const QString& text) override;
  void replaceText(int startOffset, int endOffset, const QString& text) override;

  // Offset of a buffer position, and the buffer position of an offset.
  int offsetOf(BufferCoord c) const;
  BufferCoord coordOf(int offset) const;

 private:
  EditorView* view() const;
  Editor& editor() const;
  void refreshLineStarts() const;

  // lineStarts_[i] is the offset of line i (0-based); the last entry is the character count.
  mutable std::vector<int> lineStarts_;
  mutable std::uint64_t builtFor_ = ~std::uint64_t{0};
};

}  // namespace qv
