// The editor view's accessibility interface: text by offsets, caret, selection and editing.
#include "editor/ui/editor_accessible.h"

#include <algorithm>
#include <climits>

#include "editor/ui/editor_view.h"
#include "editor/ui/text_codec.h"

namespace qv {
namespace {

// UTF-16 units of one shown character.
int Units(char32_t cp) { return cp >= 0x10000 ? 2 : 1; }

int LineUnits(std::string_view text, DisplayCharset cs) {
  if (cs != DisplayCharset::Utf8) return static_cast<int>(text.size());
  int units = 0;
  int i = 0;
  const int n = static_cast<int>(text.size());
  while (i < n) {
    if (static_cast<unsigned char>(text[static_cast<size_t>(i)]) < 0x80) {
      ++units;
      ++i;
      continue;
    }
    const DecodedChar d = DecodeAt(text, i, cs);
    units += Units(d.cp);
    i += d.length;
  }
  return units;
}

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("qv::EditorView") && object && object->isWidgetType())
    if (auto* view = qobject_cast<EditorView*>(object)) return new EditorViewAccessible(view);
  return nullptr;
}

}  // namespace

EditorViewAccessible::EditorViewAccessible(EditorView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

void EditorViewAccessible::install() {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
}

EditorView* EditorViewAccessible::view() const { return static_cast<EditorView*>(widget()); }
Editor& EditorViewAccessible::editor() const { return view()->editor(); }

void* EditorViewAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (t == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

QString EditorViewAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) return text(0, characterCount());
  return QAccessibleWidget::text(t);
}

QAccessible::State EditorViewAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.editable = !editor().readOnly();
  s.readOnly = editor().readOnly();
  s.multiLine = true;
  s.selectableText = true;
  return s;
}

void EditorViewAccessible::refreshLineStarts() const {
  if (builtFor_ == view()->textVersion() && !lineStarts_.empty()) return;
  const Editor& e = editor();
  const int lines = e.lineCount();
  lineStarts_.assign(static_cast<size_t>(lines) + 1, 0);
  long long offset = 0;
  for (int i = 0; i < lines; ++i) {
    lineStarts_[static_cast<size_t>(i)] = static_cast<int>(std::min<long long>(offset, INT_MAX));
    offset += LineUnits(e.line(i + 1), view()->charset()) + (i + 1 < lines ? 1 : 0);
  }
  lineStarts_[static_cast<size_t>(lines)] = static_cast<int>(std::min<long long>(offset, INT_MAX));
  builtFor_ = view()->textVersion();
}

int EditorViewAccessible::offsetOf(BufferCoord c) const {
  refreshLineStarts();
  const Editor& e = editor();
  const int line = std::clamp(c.Line, 1, e.lineCount());
  const std::string_view text = e.line(line);
  const int col = std::clamp(c.Char - 1, 0, static_cast<int>(text.size()));
  return lineStarts_[static_cast<size_t>(line - 1)] + LineUnits(text.substr(0, static_cast<size_t>(col)), view()->charset());
}

BufferCoord EditorViewAccessible::coordOf(int offset) const {
  refreshLineStarts();
  const Editor& e = editor();
  offset = std::clamp(offset, 0, lineStarts_.back());
  // The last line starting at or before the offset.
  const auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end() - 1, offset);
  const int line0 = std::max(0, static_cast<int>(it - lineStarts_.begin()) - 1);
  const std::string_view text = e.line(line0 + 1);
  int units = offset - lineStarts_[static_cast<size_t>(line0)];
  int col = 0;
  const int n = static_cast<int>(text.size());
  while (col < n && units > 0) {
    const DecodedChar d = DecodeAt(text, col, view()->charset());
    units -= Units(d.cp);
    col += d.length;
  }
  return {col + 1, line0 + 1};
}

void EditorViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || !editor().selAvail()) return;
  *startOffset = offsetOf(editor().blockBegin());
  *endOffset = offsetOf(editor().blockEnd());
}

int EditorViewAccessible::selectionCount() const { return editor().selAvail() ? 1 : 0; }

void EditorViewAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void EditorViewAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex == 0 && editor().selAvail()) editor().setCaretXY(editor().caretXY());
}

void EditorViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex != 0) return;
  editor().setSelection(coordOf(startOffset), coordOf(endOffset));
  view()->ensureCaretVisible();
}

int EditorViewAccessible::cursorPosition() const { return offsetOf(editor().caretXY()); }

void EditorViewAccessible::setCursorPosition(int position) {
  editor().setCaretXY(coordOf(position));
  view()->ensureCaretVisible();
}

QString EditorViewAccessible::text(int startOffset, int endOffset) const {
  refreshLineStarts();
  if (endOffset < 0) endOffset = characterCount();
  startOffset = std::clamp(startOffset, 0, characterCount());
  endOffset = std::clamp(endOffset, startOffset, characterCount());
  const BufferCoord from = coordOf(startOffset);
  const BufferCoord to = coordOf(endOffset);
  QString out;
  for (int line = from.Line; line <= to.Line; ++line) {
    const std::string_view text = editor().line(line);
    const int a = line == from.Line ? from.Char - 1 : 0;
    const int b = line == to.Line ? to.Char - 1 : static_cast<int>(text.size());
    out += DecodeBytes(text.substr(static_cast<size_t>(a), static_cast<size_t>(std::max(0, b - a))), view()->charset());
    if (line != to.Line) out += QLatin1Char('\n');
  }
  return out;
}

QString EditorViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const {
  if (boundaryType != QAccessible::LineBoundary)
    return QAccessibleTextInterface::textAtOffset(offset, boundaryType, startOffset, endOffset);
  // A line with its break, as screen readers read lines.
  refreshLineStarts();
  const int line0 = coordOf(offset).Line - 1;
  *startOffset = lineStarts_[static_cast<size_t>(line0)];
  *endOffset = lineStarts_[static_cast<size_t>(line0) + 1];
  return text(*startOffset, *endOffset);
}

int EditorViewAccessible::characterCount() const {
  refreshLineStarts();
  return lineStarts_.back();
}

QRect EditorViewAccessible::characterRect(int offset) const {
  const QPoint topLeft = view()->pointOf(coordOf(offset));
  const QRect cell(topLeft, QSize(view()->charWidth(), view()->lineHeight()));
  return QRect(view()->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

int EditorViewAccessible::offsetAtPoint(const QPoint& point) const {
  return offsetOf(view()->coordAt(view()->viewport()->mapFromGlobal(point)));
}

void EditorViewAccessible::scrollToSubstring(int startIndex, int endIndex) {
  editor().setCaretXY(coordOf(endIndex));
  view()->ensureCaretVisible();
  editor().setCaretXY(coordOf(startIndex));
  view()->ensureCaretVisible();
}

QString EditorViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = offset;
  return QString();
}

void EditorViewAccessible::deleteText(int startOffset, int endOffset) { replaceText(startOffset, endOffset, QString()); }

void EditorViewAccessible::insertText(int offset, const QString& text) { replaceText(offset, offset, text); }

void EditorViewAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
  if (editor().readOnly()) return;
  const auto bytes = EncodeQString(text, view()->charset());
  if (!bytes) return;  // the document's character set cannot hold it: nothing changes
  const BufferCoord from = coordOf(std::min(startOffset, endOffset));
  const BufferCoord to = coordOf(std::max(startOffset, endOffset));
  const BufferCoord end = editor().replaceRange(from, to, *bytes);
  editor().setCaretXY(end);
}

}  // namespace qv
