// The editor view: draws an Editor's text on a monospace grid with its highlighter's colours,
// gutter, right edge, selection and caret, and turns keys, mouse and input methods into
// editor commands. Only the visible lines are scanned.
#pragma once
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QFont>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "editor/display_charset.h"
#include "editor/editor.h"
#include "editor/ui/line_cells.h"
#include "platform/prompter.h"

namespace qv {

class RangeCache;
class QtClipboard;
struct HighlighterAttribute;

class EditorView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // The view follows the editor's changes; it chains to handlers set on the editor before it.
  explicit EditorView(Editor& editor, QWidget* parent = nullptr);
  ~EditorView() override;

  Editor& editor() { return editor_; }
  void setHighlighter(Highlighter* highlighter);
  // Forget cached highlighting (after a colour or configuration change of the highlighter).
  void highlighterChanged();

  void setEditorFont(const FontSpec& font);
  void setGutterFont(const FontSpec& font);
  void setGutter(int widthPixels, bool lineNumbers);
  void setRightEdge(int column) { rightEdge_ = column; viewport()->update(); }
  int rightEdge() const { return rightEdge_; }
  void setExtraLineSpacing(int pixels);
  // 0 vertical, 1 horizontal, 2 half block, 3 block.
  void setCaretShapes(int insertShape, int overwriteShape);
  void setCurrentLineColoring(bool on, bool overrideTextColors);
  void setWordWrap(bool on);
  bool wordWrap() const { return editor_.wordWrap(); }

  DisplayCharset charset() const { return charset_; }
  void setCharset(DisplayCharset cs);
  // UTF-8 when the text is valid UTF-8, else Windows-1252.
  void chooseCharsetFromText();

  int lineHeight() const { return lineHeight_; }
  int charWidth() const { return charWidth_; }
  // Line (1-based) under a viewport y; column (1-based, bytes) under a viewport x on that line.
  BufferCoord coordAt(QPoint viewportPos) const;
  QPoint pointOf(BufferCoord c) const;  // top-left of the cell, viewport coordinates
  void ensureCaretVisible();
  void centerCaretLine();

  // One screen row: a line, or a part of it under word wrap.
  struct Row {
    int line = 0;      // 0-based; lineCount() for rows below the text
    int startCol = 0;  // byte column where the row starts
    int endCol = 0;    // byte column where it ends (exclusive)
  };
  Row rowAt(int screenRow) const;
  // The first `count` screen rows, laid out in one pass.
  std::vector<Row> layoutRows(int count) const;
  int visibleRows() const;
  int textLeft() const;  // x where column cell 0 of the visible area would start
  // The byte columns of a line that a row shows.
  std::pair<int, int> visibleColumns(const Row& row) const;

  // Painted after the text (the word emphasis, for one).
  void setAfterPaint(std::function<void(QPainter&)> painter) { afterPaint_ = std::move(painter); }
  // Replaces the default whole-line selection of a gutter click.
  void setGutterLineSelect(std::function<void(int line1)> select) { gutterSelect_ = std::move(select); }
  void setWordwrapGlyph(bool on) { wrapGlyph_ = on; viewport()->update(); }
  void setGutterLineSelectCursor(bool on) { lineSelectCursor_ = on; }
  void setHideMouseWhenTyping(bool on) { hideMouseWhenTyping_ = on; }
  // The right margin can be dragged while it is drawn.
  void setRightEdgeDraggable(bool on) { edgeDraggable_ = on; }
  const QFont& editorFont() const { return font_; }
  // Bumped on every change of the text or of how it is shown.
  std::uint64_t textVersion() const { return textVersion_; }
  // MIME type naming the view a text drag started in (its selection is what moves).
  static QString internalDragFormat() { return QStringLiteral("application/x-quirvane-editor-drag"); }

 signals:
  // A line to show in the status bar (e.g. a typed character the document's set cannot hold).
  void statusMessage(const QString& text);
  void filesDropped(const QStringList& files);
  void gutterLineClicked(int line1);
  // The right margin dragged to the 1-based column under the mouse; finished when released.
  void rightEdgeDragged(int column1);
  void rightEdgeDragFinished();
  // The view scrolled or its metrics changed (the ruler follows).
  void viewChanged();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab belongs to the text
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dragLeaveEvent(QDragLeaveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void onTextChanged();
  void onStatusChanged(unsigned bits);
  void updateMetrics();
  void updateScrollBars();
  int rowOfLine(int line0) const;  // first screen row of a line (word wrap aware)
  // Where each display row of a line starts under word wrap (a long line is wrapped once).
  std::vector<int> wrapStarts(int line0) const;
  // Under word wrap a line can be taller than the screen: the rows of the top line above the
  // screen, and moving the top by rows.
  int skippedRows() const;
  void setTopRow(int line1, int row);
  void scrollRows(int delta);
  // Width in cells of a line whose walk stopped at `reached` (the rest is measured once).
  int lineCells(int line0, std::string_view text, CellPos reached) const;
  void paintRow(QPainter& p, const Row& row, int y, int lineNumberWidth);
  void paintGutter(QPainter& p, const Row& row, int y);
  void paintGlyph(QPainter& p, int x, int y, const QString& glyph, const QColor& fg, int style);
  void paintControlChar(QPainter& p, const QRect& cell, char32_t cp, const QColor& fg);
  void typeText(const QString& text);
  bool handleCharsetAwareCommand(EditorCommand c);
  void snapCaretToChar(bool forward);
  void restartBlink();
  HighlighterAttribute* extraAttribute(const char* name) const;
  std::optional<std::pair<BufferCoord, BufferCoord>> bracketPair() const;

  Editor& editor_;
  std::unique_ptr<RangeCache> ranges_;
  std::unique_ptr<QtClipboard> clipboard_;
  Highlighter* highlighter_ = nullptr;
  DisplayCharset charset_ = DisplayCharset::Utf8;
  QFont font_;
  QFont gutterFont_;
  int charWidth_ = 8;
  int lineHeight_ = 16;
  int ascent_ = 12;
  int extraSpacing_ = 0;
  int gutterWidth_ = 30;
  bool lineNumbers_ = false;
  int rightEdge_ = 80;
  int insertCaret_ = 0;
  int overwriteCaret_ = 3;
  bool colorCurrentLine_ = false;
  bool overrideTextColors_ = false;
  int maxCells_ = 0;  // widest line seen, for the horizontal scroll range
  struct LineWidth {
    int line = -1;
    int size = -1;
    int cells = 0;
  };
  mutable LineWidth widthCache_;  // the last long line measured past the screen's edge
  struct WrapCache {
    int line = -1;
    std::uint64_t version = 0;
    int width = 0;
    int tabWidth = 0;
    std::vector<int> starts;
  };
  mutable WrapCache wrapCache_;  // the rows of the last long line wrapped
  int topRowLine_ = 0;           // the top line topRow_ belongs to
  int topRow_ = 0;               // its rows scrolled above the screen
  bool caretOn_ = true;
  QBasicTimer blink_;
  QBasicTimer dragScroll_;
  QBasicTimer dropScroll_;  // scrolls while dragged text is near an edge
  bool selecting_ = false;
  bool gutterPress_ = false;
  int gutterPressLine_ = 0;
  QString preedit_;
  bool syncingScroll_ = false;
  std::function<void(QPainter&)> afterPaint_;
  std::function<void(int)> gutterSelect_;
  bool wrapGlyph_ = true;
  bool lineSelectCursor_ = true;
  bool hideMouseWhenTyping_ = false;
  bool mouseHidden_ = false;
  bool edgeDraggable_ = false;
  bool edgeDrag_ = false;
  BufferCoord edgeDragCaret_;
  bool nearEdge(int x) const;
  void showMouse();
  bool insideSelection(BufferCoord c) const;
  void startTextDrag();
  // Moves or copies this view's selection to target as one undo step.
  void dropOwnSelection(BufferCoord target, bool copy);
  void dropForeignText(BufferCoord target, const QString& text);
  void notifyCaretMoved();

  std::uint64_t textVersion_ = 0;
  bool dragPending_ = false;   // pressed inside the selection; a move starts a text drag
  QPoint dragPressPos_;
  std::optional<BufferCoord> dropCaret_;  // where dragged text would land
  QPoint dropScrollPos_;                  // last position of a text drag over the view
};

}  // namespace qv
