// Drawing and input for the editor view.
#include "editor/ui/editor_view.h"

#include <QAccessible>
#include <QApplication>
#include <QDrag>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QUrl>

#include <algorithm>
#include <array>
#include <utility>

#include "editor/highlighter.h"
#include "editor/range_cache.h"
#include "editor/text_wrap.h"
#include "editor/ui/qt_clipboard.h"
#include "editor/ui/editor_accessible.h"
#include "editor/ui/line_cells.h"
#include "editor/ui/qt_colors.h"
#include "editor/ui/text_codec.h"

namespace qv {
namespace {

constexpr int kTextMargin = 2;  // pixels between the gutter and column 1
// Tokens are coloured while the visible part of a line starts within this many bytes; further
// into a giant line (minified code, a log) the text is drawn plain, so painting stays quick.
constexpr int kHighlightReach = 256 * 1024;
constexpr int kDragScrollMargin = 20;  // pixels from an edge where a text drag scrolls

std::uint16_t VirtualKey(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<std::uint16_t>('A' + (qtKey - Qt::Key_A));
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<std::uint16_t>('0' + (qtKey - Qt::Key_0));
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return static_cast<std::uint16_t>(vk::F1 + (qtKey - Qt::Key_F1));
  switch (qtKey) {
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::Return;
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Space: return vk::Space;
    case Qt::Key_PageUp: return vk::Prior;
    case Qt::Key_PageDown: return vk::Next;
    case Qt::Key_End: return vk::End;
    case Qt::Key_Home: return vk::Home;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_Delete: return vk::Delete;
    case Qt::Key_BracketLeft: return 219;
    case Qt::Key_BracketRight: return 221;
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_BraceRight: return 221;
    default: return 0;
  }
}

std::uint8_t ShiftBits(Qt::KeyboardModifiers m, int qtKey) {
  std::uint8_t s = ssNone;
  if ((m & Qt::ShiftModifier) || qtKey == Qt::Key_Backtab) s |= ssShift;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  if (m & Qt::AltModifier) s |= ssAlt;
  return s;
}

QFont MakeFont(const FontSpec& given) {
  QFont f(QString::fromStdString(given.name));
  f.setPointSize(std::max(1, given.size));
  f.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
  f.setFixedPitch(true);
  f.setKerning(false);
  if (!QFontInfo(f).fixedPitch()) {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(std::max(1, given.size));
    f = fixed;
  }
  return f;
}

QFont Styled(const QFont& base, int style) {
  QFont f = base;
  f.setBold(style & kFsBold);
  f.setItalic(style & kFsItalic);
  f.setUnderline(style & kFsUnderline);
  f.setStrikeOut(style & kFsStrikeOut);
  return f;
}

// The gutter's pointer: an arrow pointing right, towards the line it selects.
QCursor LineSelectCursor() {
  static const QCursor cursor = [] {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF arrow[] = {{22, 16}, {6, 4}, {10, 16}, {6, 28}};
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::black);
    p.drawPolygon(arrow, 4);
    return QCursor(pm, 22, 16);
  }();
  return cursor;
}

bool IsControl(char32_t cp) { return cp < 0x20 || cp == 0x7F; }

}  // namespace

EditorView::EditorView(Editor& editor, QWidget* parent) : QAbstractScrollArea(parent), editor_(editor) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(false);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  // The buffer is not changed through this reference: the cache only listens to it.
  ranges_ = std::make_unique<RangeCache>(const_cast<TextBuffer&>(editor_.lines()), nullptr);
  clipboard_ = std::make_unique<QtClipboard>(charset_);
  editor_.setClipboard(clipboard_.get());

  auto prevChange = editor_.onChange;
  editor_.onChange = [this, prevChange] {
    if (prevChange) prevChange();
    onTextChanged();
  };
  auto prevStatus = editor_.onStatusChange;
  editor_.onStatusChange = [this, prevStatus](unsigned bits) {
    if (prevStatus) prevStatus(bits);
    onStatusChanged(bits);
  };

  viewport()->setMouseTracking(true);
  EditorViewAccessible::install();
  setEditorFont(FontSpec{});
  setGutterFont(FontSpec{"Courier New", 8, kClWindowText, 0});
  restartBlink();
}

EditorView::~EditorView() {
  if (editor_.highlighter() == highlighter_) editor_.setHighlighter(nullptr);
  editor_.setClipboard(nullptr);
}

void EditorView::setHighlighter(Highlighter* highlighter) {
  highlighter_ = highlighter;
  editor_.setHighlighter(highlighter);
  ranges_->setHighlighter(highlighter);
  viewport()->update();
}

void EditorView::highlighterChanged() {
  ranges_->invalidate();
  viewport()->update();
}

void EditorView::setEditorFont(const FontSpec& font) {
  font_ = MakeFont(font);
  updateMetrics();
}

void EditorView::setGutterFont(const FontSpec& font) {
  gutterFont_ = MakeFont(font);
  viewport()->update();
}

void EditorView::setGutter(int widthPixels, bool lineNumbers) {
  gutterWidth_ = std::max(0, widthPixels);
  lineNumbers_ = lineNumbers;
  updateMetrics();
}

void EditorView::setExtraLineSpacing(int pixels) {
  extraSpacing_ = std::max(0, pixels);
  updateMetrics();
}

void EditorView::setCaretShapes(int insertShape, int overwriteShape) {
  insertCaret_ = insertShape;
  overwriteCaret_ = overwriteShape;
  viewport()->update();
}

void EditorView::setCurrentLineColoring(bool on, bool overrideTextColors) {
  colorCurrentLine_ = on;
  overrideTextColors_ = overrideTextColors;
  viewport()->update();
}

void EditorView::setWordWrap(bool on) {
  editor_.setWordWrap(on);
  if (on) editor_.setLeftChar(1);
  updateScrollBars();
  viewport()->update();
}

void EditorView::setCharset(DisplayCharset cs) {
  charset_ = cs;
  editor_.setDisplayCharset(cs);  // caret moves and deletes step whole characters of this set
  ++textVersion_;
  clipboard_->setCharset(cs);
  snapCaretToChar(false);
  viewport()->update();
}

void EditorView::chooseCharsetFromText() {
  const TextBuffer& b = editor_.lines();
  bool valid = true;
  for (int i = 0; i < b.lineCount() && valid; ++i) valid = IsValidUtf8(b.line(i));
  setCharset(valid ? DisplayCharset::Utf8 : DisplayCharset::Windows1252);
}

void EditorView::updateMetrics() {
  // Glyphs advance by a fraction of a pixel; runs of text start on whole-pixel cells. Letter
  // spacing makes every glyph advance exactly one cell, so a run never drifts off the grid.
  font_.setLetterSpacing(QFont::AbsoluteSpacing, 0);
  const qreal advance = QFontMetricsF(font_).horizontalAdvance(QLatin1Char('M'));
  charWidth_ = std::max(1, qRound(advance));
  font_.setLetterSpacing(QFont::AbsoluteSpacing, charWidth_ - advance);
  const QFontMetrics fm(font_);
  lineHeight_ = std::max(1, fm.height() + extraSpacing_);
  ascent_ = fm.ascent() + extraSpacing_ / 2;
  const int rows = std::max(1, viewport()->height() / lineHeight_);
  const int cols = std::max(1, (viewport()->width() - textLeft()) / charWidth_);
  editor_.setLinesInWindow(rows);
  editor_.setCharsInWindow(cols);
  updateScrollBars();
  viewport()->update();
  emit viewChanged();
}

int EditorView::textLeft() const { return gutterWidth_ + kTextMargin; }

int EditorView::visibleRows() const { return viewport()->height() / std::max(1, lineHeight_) + 1; }

void EditorView::updateScrollBars() {
  syncingScroll_ = true;
  const int lines = editor_.lineCount();
  const int page = std::max(1, editor_.linesInWindow());
  verticalScrollBar()->setRange(0, std::max(0, lines - 1));
  verticalScrollBar()->setPageStep(page);
  verticalScrollBar()->setValue(editor_.topLine() - 1);
  if (editor_.wordWrap()) {
    horizontalScrollBar()->setRange(0, 0);
  } else {
    const int cols = editor_.charsInWindow();
    const int widest = std::max(maxCells_, editor_.leftChar() - 1 + cols);
    horizontalScrollBar()->setRange(0, std::max(0, widest - cols + 1));
    horizontalScrollBar()->setPageStep(cols);
    horizontalScrollBar()->setValue(editor_.leftChar() - 1);
  }
  syncingScroll_ = false;
}

void EditorView::scrollContentsBy(int, int) {
  if (syncingScroll_) return;
  editor_.setTopLine(verticalScrollBar()->value() + 1);
  if (!editor_.wordWrap()) editor_.setLeftChar(horizontalScrollBar()->value() + 1);
  viewport()->update();
  emit viewChanged();
}

void EditorView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  updateMetrics();
}

void EditorView::onTextChanged() {
  ++textVersion_;
  updateScrollBars();
  viewport()->update();
}

void EditorView::onStatusChanged(unsigned bits) {
  if ((bits & scTopLine) && editor_.topLine() != topRowLine_) topRow_ = 0;  // moved by whole lines
  if (bits & (scTopLine | scLeftChar)) {
    updateScrollBars();
    emit viewChanged();
  }
  if (bits & (scCaretX | scCaretY)) {
    restartBlink();
    notifyCaretMoved();
  }
  viewport()->update();
}

void EditorView::notifyCaretMoved() {
  if (!QAccessible::isActive()) return;  // offsets cost a pass over the text
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(this);
  QAccessibleTextInterface* text = iface ? iface->textInterface() : nullptr;
  if (!text) return;
  QAccessibleTextCursorEvent event(this, text->cursorPosition());
  QAccessible::updateAccessibility(&event);
}

// ---- layout of screen rows ----

EditorView::Row EditorView::rowAt(int screenRow) const {
  const int lines = editor_.lineCount();
  int line = editor_.topLine() - 1;
  if (!editor_.wordWrap()) {
    line += screenRow;
    if (line >= lines) return {lines, 0, 0};
    return {line, 0, editor_.lines().lineLength(line)};
  }
  screenRow += skippedRows();
  while (line < lines) {
    const std::string_view text = editor_.line(line + 1);
    const std::vector<int> starts = wrapStarts(line);
    if (screenRow < static_cast<int>(starts.size())) {
      const size_t r = static_cast<size_t>(screenRow);
      const int end = r + 1 < starts.size() ? starts[r + 1] : static_cast<int>(text.size());
      return {line, starts[r], end};
    }
    screenRow -= static_cast<int>(starts.size());
    ++line;
  }
  return {lines, 0, 0};
}

std::vector<int> EditorView::wrapStarts(int line0) const {
  const std::string_view text = editor_.line(line0 + 1);
  const int width = std::max(1, editor_.charsInWindow());
  constexpr size_t kCachedFrom = 4096;  // shorter lines are wrapped afresh: it costs nothing
  if (text.size() < kCachedFrom) return wrapRows(text, width, editor_.tabWidth());
  WrapCache& c = wrapCache_;
  if (c.line != line0 || c.version != textVersion_ || c.width != width || c.tabWidth != editor_.tabWidth()) {
    c = {line0, textVersion_, width, editor_.tabWidth(), wrapRows(text, width, editor_.tabWidth())};
  }
  return c.starts;
}

int EditorView::skippedRows() const {
  if (!editor_.wordWrap() || topRowLine_ != editor_.topLine() || topRow_ == 0) return 0;
  return std::min(topRow_, static_cast<int>(wrapStarts(topRowLine_ - 1).size()) - 1);  // the text may have shrunk
}

void EditorView::setTopRow(int line1, int row) {
  topRowLine_ = line1;
  topRow_ = std::max(0, row);
  editor_.setTopLine(line1);
  viewport()->update();
}

void EditorView::scrollRows(int delta) {
  int line = editor_.topLine();
  int row = skippedRows();
  while (delta > 0) {
    const int count = static_cast<int>(wrapStarts(line - 1).size());
    if (row + delta < count) {
      row += delta;
      break;
    }
    if (line >= editor_.lineCount()) {
      row = count - 1;
      break;
    }
    delta -= count - row;
    ++line;
    row = 0;
  }
  while (delta < 0) {
    if (row + delta >= 0) {
      row += delta;
      break;
    }
    if (line <= 1) {
      row = 0;
      break;
    }
    delta += row + 1;
    --line;
    row = static_cast<int>(wrapStarts(line - 1).size()) - 1;
  }
  setTopRow(line, row);
}

std::vector<EditorView::Row> EditorView::layoutRows(int count) const {
  std::vector<Row> rows;
  rows.reserve(static_cast<size_t>(std::max(0, count)));
  const int lines = editor_.lineCount();
  int skip = skippedRows();
  for (int line = editor_.topLine() - 1; line < lines && static_cast<int>(rows.size()) < count; ++line) {
    const std::string_view text = editor_.line(line + 1);
    const int size = static_cast<int>(text.size());
    if (!editor_.wordWrap()) {
      rows.push_back({line, 0, size});
      continue;
    }
    const std::vector<int> starts = wrapStarts(line);
    for (size_t r = static_cast<size_t>(std::exchange(skip, 0)); r < starts.size() && static_cast<int>(rows.size()) < count; ++r)
      rows.push_back({line, starts[r], r + 1 < starts.size() ? starts[r + 1] : size});
  }
  while (static_cast<int>(rows.size()) < count) rows.push_back({lines, 0, 0});
  return rows;
}

std::pair<int, int> EditorView::visibleColumns(const Row& row) const { return {row.startCol, row.endCol}; }

int EditorView::lineCells(int line0, std::string_view text, CellPos reached) const {
  const int size = static_cast<int>(text.size());
  if (reached.col >= size) return reached.cell;
  if (widthCache_.line == line0 && widthCache_.size == size) return widthCache_.cells;
  widthCache_ = {line0, size, AdvanceToColumn(text, reached, size, charset_, editor_.tabWidth()).cell};
  return widthCache_.cells;
}

int EditorView::rowOfLine(int line0) const {
  const int top = editor_.topLine() - 1;
  if (!editor_.wordWrap()) return line0 - top;
  if (line0 < top) return -1;
  int rows = -skippedRows();
  for (int l = top; l < line0 && rows <= visibleRows(); ++l) rows += static_cast<int>(wrapStarts(l).size());
  return rows;
}

BufferCoord EditorView::coordAt(QPoint pos) const {
  const int screenRow = std::max(0, pos.y()) / lineHeight_;
  Row row = rowAt(screenRow);
  if (row.line >= editor_.lineCount()) {
    row.line = editor_.lineCount() - 1;
    row.startCol = 0;
    row.endCol = editor_.lines().lineLength(row.line);
  }
  const std::string_view text = editor_.line(row.line + 1);
  const int leftCell = editor_.wordWrap() ? 0 : editor_.leftChar() - 1;
  const int cellX = pos.x() - textLeft();
  int cell = leftCell + (cellX + charWidth_ / 2) / charWidth_;
  cell = std::max(cell, 0);
  if (editor_.wordWrap()) cell += CellOfColumn(text, row.startCol, charset_, editor_.tabWidth());
  int col = CharAtCell(text, cell, charset_, editor_.tabWidth()).col;
  if (editor_.wordWrap() && row.endCol < static_cast<int>(text.size())) col = std::min(col, row.endCol);
  if (!editor_.has(EditorOption::eoScrollPastEol)) col = std::min(col, static_cast<int>(text.size()));
  return {col + 1, row.line + 1};
}

QPoint EditorView::pointOf(BufferCoord c) const {
  const int line0 = c.Line - 1;
  const std::string_view text = editor_.line(std::clamp(c.Line, 1, editor_.lineCount()));
  const int col = c.Char - 1;
  const int size = static_cast<int>(text.size());
  int cell = CellOfColumn(text, col, charset_, editor_.tabWidth());
  int screenRow = rowOfLine(line0);
  if (editor_.wordWrap()) {
    const std::vector<int> starts = wrapStarts(line0);
    const int r = rowOfColumn(starts, std::min(col, size));
    screenRow += r;
    cell -= CellOfColumn(text, starts[static_cast<size_t>(r)], charset_, editor_.tabWidth());
  } else {
    cell -= editor_.leftChar() - 1;
  }
  return {textLeft() + cell * charWidth_, screenRow * lineHeight_};
}

// ---- painting ----

HighlighterAttribute* EditorView::extraAttribute(const char* name) const {
  return highlighter_ ? highlighter_->attribute(name) : nullptr;
}

std::optional<std::pair<BufferCoord, BufferCoord>> EditorView::bracketPair() const {
  const BufferCoord caret = editor_.caretXY();
  const std::string_view line = editor_.line(caret.Line);
  const int col = caret.Char - 1;
  if (col < 0 || col >= static_cast<int>(line.size()) || !highlighter_) return std::nullopt;
  const char ch = line[static_cast<size_t>(col)];
  const bool angle = highlighter_->languageName() == "HTML" || highlighter_->languageName() == "XML";
  const std::string_view opens = angle ? "<" : "([{";
  const std::string_view closes = angle ? ">" : ")]}";
  const size_t o = opens.find(ch);
  const size_t c = closes.find(ch);
  if (o == std::string_view::npos && c == std::string_view::npos) return std::nullopt;
  // Only a one-character symbol token counts as a bracket.
  auto* symbol = highlighter_->defaultAttribute(DefaultAttribute::Symbol);
  highlighter_->setRange(ranges_->rangeAtLineStart(caret.Line - 1));
  highlighter_->setLine(line, caret.Line - 1);
  bool isSymbol = false;
  while (!highlighter_->eol()) {
    if (highlighter_->tokenPosition() == col) {
      isSymbol = highlighter_->tokenText().size() == 1 &&
                 (highlighter_->tokenAttribute() == symbol || symbol == nullptr);
      break;
    }
    if (highlighter_->tokenPosition() > col) break;
    highlighter_->next();
  }
  if (!isSymbol) return std::nullopt;
  const bool forward = o != std::string_view::npos;
  const char open = forward ? ch : opens[c];
  const char close = forward ? closes[o] : ch;
  int depth = 0;
  long budget = 4'000'000;  // bytes looked at; a pair farther away is not shown
  int l = caret.Line;
  int i = col;
  while (budget > 0 && l >= 1 && l <= editor_.lineCount()) {
    const std::string_view text = editor_.line(l);
    if (forward) {
      for (; i < static_cast<int>(text.size()) && budget > 0; ++i, --budget) {
        if (text[static_cast<size_t>(i)] == open) ++depth;
        else if (text[static_cast<size_t>(i)] == close && --depth == 0)
          return std::make_pair(caret, BufferCoord{i + 1, l});
      }
      ++l;
      i = 0;
    } else {
      for (; i >= 0 && budget > 0; --i, --budget) {
        if (text[static_cast<size_t>(i)] == close) ++depth;
        else if (text[static_cast<size_t>(i)] == open && --depth == 0)
          return std::make_pair(caret, BufferCoord{i + 1, l});
      }
      --l;
      if (l >= 1) i = static_cast<int>(editor_.line(l).size()) - 1;
    }
  }
  return std::nullopt;
}

void EditorView::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const QColor base = palette().color(QPalette::Base);
  QColor background = base;
  if (highlighter_) {
    if (auto* ws = highlighter_->defaultAttribute(DefaultAttribute::Whitespace))
      background = ToQColor(ws->background, base);
  }
  p.fillRect(viewport()->rect(), background);

  const int rows = visibleRows();
  const int lineNumberWidth = QFontMetrics(gutterFont_).horizontalAdvance(QString::number(editor_.lineCount()));
  const std::vector<Row> layout = layoutRows(rows);
  for (int r = 0; r < rows; ++r) {
    const Row& row = layout[static_cast<size_t>(r)];
    const int y = r * lineHeight_;
    if (row.line >= editor_.lineCount()) {
      if (gutterWidth_ > 0) p.fillRect(0, y, gutterWidth_, lineHeight_, palette().color(QPalette::Button));
      continue;
    }
    paintRow(p, row, y, lineNumberWidth);
    if (gutterWidth_ > 0) paintGutter(p, row, y);
  }

  // Right edge.
  if (rightEdge_ > 0) {
    const int leftCell = editor_.wordWrap() ? 0 : editor_.leftChar() - 1;
    const int x = textLeft() + (rightEdge_ - leftCell) * charWidth_;
    if (x >= textLeft()) {
      auto* edge = extraAttribute("Right edge");
      p.setPen(ToQColor(edge ? edge->foreground : kClNone, QColor(Qt::lightGray)));
      p.drawLine(x, 0, x, viewport()->height());
    }
  }

  // Matched brackets.
  if (auto pair = bracketPair()) {
    auto* braces = extraAttribute("Matched braces");
    const QColor fg = ToQColor(braces ? braces->foreground : kClNone, QColor(Qt::red));
    const QColor bg = ToQColor(braces ? braces->background : kClNone, QColor());
    for (BufferCoord c : {pair->first, pair->second}) {
      const QPoint pt = pointOf(c);
      if (pt.y() < 0 || pt.y() > viewport()->height()) continue;
      const QRect cell(pt.x(), pt.y(), charWidth_, lineHeight_);
      if (bg.isValid()) p.fillRect(cell, bg);
      p.setPen(fg);
      p.setFont(Styled(font_, kFsBold));
      const char ch = editor_.line(c.Line)[static_cast<size_t>(c.Char - 1)];
      p.drawText(pt.x(), pt.y() + ascent_, QString(QLatin1Char(ch)));
    }
  }

  if (afterPaint_) afterPaint_(p);

  if (dropCaret_) {
    const QPoint pt = pointOf(*dropCaret_);
    p.fillRect(QRect(pt.x(), pt.y(), 2, lineHeight_), palette().color(QPalette::Text));
  }

  // Caret.
  if (hasFocus() && caretOn_) {
    const QPoint pt = pointOf(editor_.caretXY());
    if (pt.x() >= textLeft() - 1) {
      const int shape = editor_.insertMode() ? insertCaret_ : overwriteCaret_;
      QRect r(pt.x(), pt.y(), 2, lineHeight_);
      if (shape == 1) r = QRect(pt.x(), pt.y() + lineHeight_ - 2, charWidth_, 2);
      else if (shape == 2) r = QRect(pt.x(), pt.y() + lineHeight_ / 2, charWidth_, lineHeight_ - lineHeight_ / 2);
      else if (shape == 3) r = QRect(pt.x(), pt.y(), charWidth_, lineHeight_);
      p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      p.fillRect(r, Qt::white);
      p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (!preedit_.isEmpty()) {
      p.setPen(palette().color(QPalette::Text));
      p.setFont(Styled(font_, kFsUnderline));
      p.drawText(pt.x(), pt.y() + ascent_, preedit_);
    }
  }
}

void EditorView::paintGutter(QPainter& p, const Row& row, int y) {
  p.fillRect(0, y, gutterWidth_, lineHeight_, palette().color(QPalette::Button));
  p.setFont(gutterFont_);
  p.setPen(palette().color(QPalette::ButtonText));
  if (row.startCol == 0) {
    if (lineNumbers_) {
      p.drawText(QRect(0, y, gutterWidth_ - 4, lineHeight_), Qt::AlignRight | Qt::AlignVCenter,
                 QString::number(row.line + 1));
    }
    for (int n = 0; n < 10; ++n) {
      auto m = editor_.marker(n);
      if (!m || m->Line != row.line + 1) continue;
      const QRect box(2, y + 1, std::min(lineHeight_ - 2, 14), lineHeight_ - 2);
      p.fillRect(box, QColor(0x3c, 0x78, 0xd8));
      p.setPen(Qt::white);
      p.drawText(box, Qt::AlignCenter, QString::number(n));
      p.setPen(palette().color(QPalette::ButtonText));
      break;
    }
  } else if (wrapGlyph_) {
    p.drawText(QRect(0, y, gutterWidth_ - 4, lineHeight_), Qt::AlignRight | Qt::AlignVCenter,
               QString(QChar(0x21B5)));  // continuation of a wrapped line
  }
}

// One character outside ASCII. Glyphs wider than a cell (CJK, say) are narrowed into their
// cell so that the grid, and with it the caret, stays where the columns say.
void EditorView::paintGlyph(QPainter& p, int x, int y, const QString& glyph, const QColor& fg, int style) {
  p.setFont(Styled(font_, style));
  p.setPen(fg);
  const int advance = p.fontMetrics().horizontalAdvance(glyph);
  if (advance <= charWidth_ + 1) {
    p.drawText(x, y + ascent_, glyph);
    return;
  }
  p.save();
  p.translate(x, y + ascent_);
  p.scale(static_cast<qreal>(charWidth_) / advance, 1.0);
  p.drawText(0, 0, glyph);
  p.restore();
}

// Control characters (a zero byte, say) as a small block with their caret-notation letter, so
// they stay visible whatever the font holds.
void EditorView::paintControlChar(QPainter& p, const QRect& cell, char32_t cp, const QColor& fg) {
  const QRect box = cell.adjusted(1, 2, -1, -2);
  QColor fill = fg;
  fill.setAlpha(150);
  p.fillRect(box, fill);
  QFont small = font_;
  small.setPointSizeF(std::max(5.0, font_.pointSizeF() * 0.7));
  small.setBold(true);
  p.setFont(small);
  p.setPen(palette().color(QPalette::Base));
  p.drawText(box, Qt::AlignCenter, cp == 0x7F ? QStringLiteral("?") : QString(QChar(static_cast<char16_t>(cp + 0x40))));
}

void EditorView::paintRow(QPainter& p, const Row& row, int y, int) {
  const std::string_view text = editor_.line(row.line + 1);
  const int size = static_cast<int>(text.size());
  const bool wrap = editor_.wordWrap();
  const int leftCell = wrap ? 0 : editor_.leftChar() - 1;
  const int visibleCells = (viewport()->width() - textLeft()) / charWidth_ + 2;
  const int tabWidth = editor_.tabWidth();
  const bool special = editor_.has(EditorOption::eoShowSpecialChars);

  // Selected byte range of this line, and whether the line is the coloured current line.
  int selFrom = 0, selTo = -1;
  bool selToEnd = false;
  if (editor_.selAvail()) {
    const BufferCoord b = editor_.blockBegin();
    const BufferCoord e = editor_.blockEnd();
    const int line1 = row.line + 1;
    if (line1 >= b.Line && line1 <= e.Line) {
      switch (editor_.selectionMode()) {
        case SelectionMode::Normal:
          selFrom = line1 == b.Line ? b.Char - 1 : 0;
          selTo = line1 == e.Line ? e.Char - 1 : size;
          selToEnd = line1 != e.Line;
          break;
        case SelectionMode::Line:
          selFrom = 0;
          selTo = size;
          selToEnd = true;
          break;
        case SelectionMode::Column:
          selFrom = std::min(b.Char, e.Char) - 1;
          selTo = std::max(b.Char, e.Char) - 1;
          break;
      }
    }
  }
  const bool currentLine = colorCurrentLine_ && !editor_.selAvail() && editor_.caretXY().Line == row.line + 1;
  auto* selAttr = extraAttribute("Selection");
  const QColor selFg = ToQColor(selAttr ? selAttr->foreground : kClNone, palette().color(QPalette::HighlightedText));
  const QColor selBg = ToQColor(selAttr ? selAttr->background : kClNone, palette().color(QPalette::Highlight));
  auto* curAttr = currentLine ? extraAttribute("Current Line") : nullptr;
  const QColor curBg = ToQColor(curAttr ? curAttr->background : kClNone, QColor(0xFF, 0xFF, 0xE0));
  const QColor curFg = ToQColor(curAttr ? curAttr->foreground : kClNone, QColor());
  const QColor defaultFg = palette().color(QPalette::Text);

  if (currentLine) p.fillRect(textLeft(), y, viewport()->width(), lineHeight_, curBg);
  p.setClipRect(textLeft(), y, viewport()->width() - textLeft(), lineHeight_);

  // Walk only the visible characters, in token order; cells count from the line start.
  const CellPos first = wrap ? AdvanceToColumn(text, CellPos{}, row.startCol, charset_, tabWidth)
                             : CharAtCell(text, leftCell, charset_, tabWidth);
  int pos = std::min(first.col, size);
  int cell = first.cell - (first.col - pos);  // past the end each column is one cell
  const int rowStartCell = wrap ? first.cell : 0;
  const int xBase = textLeft();
  QString run;
  int runCell = 0;
  QColor runFg;
  int runStyle = 0;
  auto flush = [&] {
    if (run.isEmpty()) return;
    p.setFont(Styled(font_, runStyle));
    p.setPen(runFg);
    p.drawText(xBase + runCell * charWidth_, y + ascent_, run);
    run.clear();
  };
  bool done = false;
  auto drawSpan = [&](int from, int to, HighlighterAttribute* attr) {
    QColor fg = attr ? ToQColor(attr->foreground, defaultFg) : defaultFg;
    QColor bg = attr ? ToQColor(attr->background, QColor()) : QColor();
    if (currentLine) {
      bg = QColor();
      if (overrideTextColors_ && curFg.isValid()) fg = curFg;
    }
    const int style = attr ? attr->style : 0;
    while (pos < to && !done) {
      if (pos >= row.endCol) {
        done = true;
        break;
      }
      const bool isTab = text[static_cast<size_t>(pos)] == '\t';
      const DecodedChar d = isTab ? DecodedChar{U'\t', 1} : DecodeAt(text, pos, charset_);
      const int next = isTab ? (cell / tabWidth + 1) * tabWidth : cell + 1;
      if (pos >= row.startCol) {
        const int c0 = cell - (wrap ? rowStartCell : 0) - leftCell;
        const int c1 = next - (wrap ? rowStartCell : 0) - leftCell;
        if (c0 > visibleCells) {
          done = true;
          break;
        }
        if (c1 > 0) {
          const bool selected = pos >= selFrom && pos < selTo;
          const QColor cfg = selected ? selFg : fg;
          const QRect cellRect(xBase + c0 * charWidth_, y, (c1 - c0) * charWidth_, lineHeight_);
          if (selected) p.fillRect(cellRect, selBg);
          else if (bg.isValid()) p.fillRect(cellRect, bg);
          char32_t shown = isTab ? (special ? U'\u00BB' : 0) : d.cp;
          if (d.cp == U' ' && special) shown = U'\u00B7';
          if (!isTab && IsControl(d.cp)) {
            flush();
            paintControlChar(p, cellRect, d.cp, cfg);
          } else if (shown >= 0x7F) {
            flush();
            paintGlyph(p, xBase + c0 * charWidth_, y, QString::fromUcs4(&shown, 1), cfg, style);
          } else if (shown && shown != U' ') {
            if (cfg != runFg || style != runStyle || c0 != runCell + run.size() || selected) flush();
            if (run.isEmpty()) {
              runCell = c0;
              runFg = cfg;
              runStyle = style;
            }
            run.append(QChar(static_cast<char16_t>(shown)));
            if (selected) flush();
          } else {
            flush();
          }
        }
      }
      pos += d.length;
      cell = next;
    }
    (void)from;
  };

  if (highlighter_ && size > 0 && pos < kHighlightReach) {
    highlighter_->setRange(ranges_->rangeAtLineStart(row.line));
    highlighter_->setLine(text, row.line);
    while (!highlighter_->eol() && !done && pos < row.endCol) {
      const int start = highlighter_->tokenPosition();
      const int end = start + static_cast<int>(highlighter_->tokenText().size());
      if (start > pos) drawSpan(pos, start, nullptr);
      drawSpan(start, end, highlighter_->tokenAttribute());
      highlighter_->next();
    }
  }
  if (!done && pos < size) drawSpan(pos, size, nullptr);
  flush();
  if (!wrap) maxCells_ = std::max(maxCells_, lineCells(row.line, text, CellPos{pos, cell}));

  // Selection past the line end, and the line-end mark.
  if (row.endCol == size && pos >= size) {
    const int endCell = cell - (wrap ? rowStartCell : 0) - leftCell;
    if (selToEnd || (editor_.selectionMode() == SelectionMode::Column && selTo > size)) {
      const int extra = selToEnd ? 1 : selTo - std::max(size, selFrom);
      const int startCell = selToEnd ? endCell : endCell + std::max(0, selFrom - size);
      p.fillRect(xBase + startCell * charWidth_, y, extra * charWidth_, lineHeight_, selBg);
    }
    if (special && row.line + 1 < editor_.lineCount()) {
      p.setPen(QColor(Qt::gray));
      p.setFont(font_);
      p.drawText(xBase + endCell * charWidth_, y + ascent_, QString(QChar(0x00B6)));
    }
  }
  p.setClipping(false);
}

// ---- caret and scrolling ----

void EditorView::restartBlink() {
  caretOn_ = true;
  const int interval = QApplication::cursorFlashTime() / 2;
  if (interval > 0) blink_.start(interval, this);
  viewport()->update();
}

void EditorView::timerEvent(QTimerEvent* e) {
  if (e->timerId() == blink_.timerId()) {
    caretOn_ = !caretOn_;
    viewport()->update();
    return;
  }
  if (e->timerId() == dropScroll_.timerId()) {
    // Within 20 pixels of an edge: a line at the top or bottom, else a column at the sides.
    const QPoint pos = dropScrollPos_;
    const QRect r = viewport()->rect();
    if (pos.y() < kDragScrollMargin) editor_.setTopLine(std::max(1, editor_.topLine() - 1));
    else if (pos.y() >= r.height() - kDragScrollMargin) editor_.setTopLine(std::min(editor_.lineCount(), editor_.topLine() + 1));
    else if (pos.x() < textLeft() + kDragScrollMargin && !editor_.wordWrap()) editor_.setLeftChar(std::max(1, editor_.leftChar() - 1));
    else if (pos.x() >= r.width() - kDragScrollMargin && !editor_.wordWrap()) editor_.setLeftChar(editor_.leftChar() + 1);
    else dropScroll_.stop();
    dropCaret_ = coordAt(pos);
    updateScrollBars();
    viewport()->update();
    return;
  }
  if (e->timerId() == dragScroll_.timerId()) {
    const QPoint pos = viewport()->mapFromGlobal(QCursor::pos());
    if (pos.y() < 0) editor_.setTopLine(editor_.topLine() - 1);
    else if (pos.y() > viewport()->height()) editor_.setTopLine(editor_.topLine() + 1);
    else if (pos.x() < textLeft()) editor_.setLeftChar(editor_.leftChar() - 1);
    else if (pos.x() > viewport()->width()) editor_.setLeftChar(editor_.leftChar() + 1);
    else {
      dragScroll_.stop();
      return;
    }
    editor_.setBlockEnd(coordAt(pos));
    updateScrollBars();
    return;
  }
  QAbstractScrollArea::timerEvent(e);
}

void EditorView::ensureCaretVisible() {
  const BufferCoord caret = editor_.caretXY();
  const int rows = std::max(1, editor_.linesInWindow());
  if (caret.Line < editor_.topLine() && !editor_.wordWrap()) {
    editor_.setTopLine(caret.Line);
  } else if (caret.Line < editor_.topLine()) {
    const int caretRow = rowOfColumn(wrapStarts(caret.Line - 1), std::min(caret.Char - 1, static_cast<int>(editor_.line(caret.Line).size())));
    setTopRow(caret.Line, caretRow < rows ? 0 : caretRow);
  } else if (!editor_.wordWrap()) {
    if (caret.Line >= editor_.topLine() + rows) editor_.setTopLine(caret.Line - rows + 1);
  } else {
    const std::string_view text = editor_.line(caret.Line);
    const int caretRow = rowOfColumn(wrapStarts(caret.Line - 1), std::min(caret.Char - 1, static_cast<int>(text.size())));
    if (caret.Line == editor_.topLine() && caretRow < skippedRows()) {
      setTopRow(caret.Line, caretRow);
    } else if (caretRow + 1 > rows) {
      // The caret's line alone is taller than the screen: show the rows ending at the caret.
      const bool shown = caret.Line == editor_.topLine() && caretRow < skippedRows() + rows;
      if (!shown) setTopRow(caret.Line, caretRow - rows + 1);
    } else {
      // Walk up from the caret line until the rows no longer fit.
      int used = caretRow + 1;
      int top = caret.Line;
      while (top > editor_.topLine()) {
        const int r = static_cast<int>(wrapStarts(top - 2).size());
        if (used + r > rows) break;
        used += r;
        --top;
      }
      if (top > editor_.topLine()) setTopRow(top, 0);
    }
  }
  if (!editor_.wordWrap()) {
    const std::string_view text = editor_.line(caret.Line);
    const int cell = CellOfColumn(text, caret.Char - 1, charset_, editor_.tabWidth());
    const int cols = std::max(1, editor_.charsInWindow());
    if (cell < editor_.leftChar() - 1) editor_.setLeftChar(std::max(1, cell + 1 - cols / 4));
    else if (cell >= editor_.leftChar() - 1 + cols) editor_.setLeftChar(cell - cols + 2 + cols / 4);
  }
  updateScrollBars();
}

void EditorView::centerCaretLine() {
  editor_.setTopLine(std::max(1, editor_.caretXY().Line - editor_.linesInWindow() / 2));
  ensureCaretVisible();
}

// ---- keyboard ----

void EditorView::snapCaretToChar(bool forward) {
  if (charset_ != DisplayCharset::Utf8) return;
  const BufferCoord caret = editor_.caretXY();
  const std::string_view text = editor_.line(caret.Line);
  const int col = caret.Char - 1;
  if (col >= static_cast<int>(text.size()) || IsCharStart(text, col, charset_)) return;
  const int target = forward ? NextCharStart(text, col, charset_) : CharStartBefore(text, col, charset_);
  if (editor_.selAvail()) editor_.setBlockEnd({target + 1, caret.Line});
  else editor_.setCaretXY({target + 1, caret.Line});
}

bool EditorView::handleCharsetAwareCommand(EditorCommand c) {
  if (charset_ != DisplayCharset::Utf8) return false;
  const BufferCoord caret = editor_.caretXY();
  const std::string_view text = editor_.line(caret.Line);
  const int col = caret.Char - 1;
  const int size = static_cast<int>(text.size());
  if ((c == ecDeleteLastChar || c == ecDeleteChar) && !editor_.selAvail() && !editor_.readOnly()) {
    if (c == ecDeleteLastChar && col > 0 && col <= size) {
      const int start = CharStartBefore(text, col - 1, charset_);
      if (col - start <= 1) return false;
      editor_.replaceRange({start + 1, caret.Line}, caret, "");
      editor_.setCaretXY({start + 1, caret.Line});
      return true;
    }
    if (c == ecDeleteChar && col < size) {
      const int next = NextCharStart(text, col, charset_);
      if (next - col <= 1) return false;
      editor_.replaceRange(caret, {next + 1, caret.Line}, "");
      editor_.setCaretXY(caret);
      return true;
    }
    return false;
  }
  if (c == ecLeft || c == ecSelLeft || c == ecRight || c == ecSelRight) {
    editor_.executeCommand(c);
    snapCaretToChar(c == ecRight || c == ecSelRight);
    return true;
  }
  return false;
}

void EditorView::typeText(const QString& text) {
  for (const uint cp : text.toUcs4()) {
    if (cp < 0x20 || cp == 0x7F) continue;
    auto bytes = EncodeChar(static_cast<char32_t>(cp), charset_);
    if (!bytes) {
      const char32_t c = static_cast<char32_t>(cp);
      emit statusMessage(tr("Cannot type %1: the document's character set has no such character.")
                             .arg(QString::fromUcs4(&c, 1)));
      QApplication::beep();
      continue;
    }
    if (bytes->size() == 1) editor_.executeCommand(ecChar, (*bytes)[0]);
    else editor_.executeCommand(ecString, 0, CommandData{std::nullopt, *bytes});
  }
}

void EditorView::showMouse() {
  if (!mouseHidden_) return;
  mouseHidden_ = false;
  viewport()->setCursor(Qt::IBeamCursor);
}

bool EditorView::nearEdge(int x) const {
  if (!edgeDraggable_ || rightEdge_ <= 0) return false;
  const int leftCell = editor_.wordWrap() ? 0 : editor_.leftChar() - 1;
  const int edgeX = textLeft() + (rightEdge_ - leftCell) * charWidth_;
  return std::abs(x - edgeX) <= 2;
}

void EditorView::keyPressEvent(QKeyEvent* e) {
  if (hideMouseWhenTyping_ && !e->text().isEmpty() && !mouseHidden_) {
    mouseHidden_ = true;
    viewport()->setCursor(Qt::BlankCursor);
  }
  const std::uint16_t key = VirtualKey(e->key());
  const std::uint8_t shift = ShiftBits(e->modifiers(), e->key());
  if (key != 0) {
    if (auto command = editor_.keystrokes().find(key, shift)) {
      if (*command == ecPaste && clipboard_) {
        (void)clipboard_->get();
        if (clipboard_->lastRefused()) {
          emit statusMessage(tr("The clipboard holds characters this document's character set cannot hold."));
          QApplication::beep();
          e->accept();
          return;
        }
      }
      if (!handleCharsetAwareCommand(*command)) editor_.executeCommand(*command);
      ensureCaretVisible();
      restartBlink();
      e->accept();
      return;
    }
  }
  const QString text = e->text();
  const bool commandModifier = e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
  const bool altOnly = (e->modifiers() & Qt::AltModifier) && !(e->modifiers() & Qt::ControlModifier);
  if (!text.isEmpty() && !commandModifier && !altOnly && text.at(0).unicode() >= 0x20) {
    typeText(text);
    ensureCaretVisible();
    restartBlink();
    e->accept();
    return;
  }
  QAbstractScrollArea::keyPressEvent(e);
}

void EditorView::inputMethodEvent(QInputMethodEvent* e) {
  if (!e->commitString().isEmpty()) {
    typeText(e->commitString());
    ensureCaretVisible();
  }
  preedit_ = e->preeditString();
  viewport()->update();
  e->accept();
}

QVariant EditorView::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle: {
      const QPoint pt = pointOf(editor_.caretXY());
      return QRect(viewport()->mapToParent(pt), QSize(2, lineHeight_));
    }
    case Qt::ImFont:
      return font_;
    case Qt::ImEnabled:
      return !editor_.readOnly();
    case Qt::ImCursorPosition:
      return editor_.caretXY().Char - 1;
    case Qt::ImSurroundingText:
      return DecodeBytes(editor_.line(editor_.caretXY().Line), charset_);
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

// ---- mouse ----

void EditorView::mousePressEvent(QMouseEvent* e) {
  setFocus();
  if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(e);
  const QPoint pos = e->position().toPoint();
  if (nearEdge(pos.x())) {
    edgeDrag_ = true;
    edgeDragCaret_ = editor_.caretXY();
    return;
  }
  if (pos.x() < gutterWidth_) {
    gutterPress_ = true;
    gutterPressLine_ = coordAt(pos).Line;
    return;
  }
  const BufferCoord c = coordAt(pos);
  if (!(e->modifiers() & (Qt::ShiftModifier | Qt::AltModifier)) && editor_.has(EditorOption::eoDragDropEditing) &&
      insideSelection(c)) {
    dragPending_ = true;
    dragPressPos_ = pos;
    return;
  }
  if (e->modifiers() & Qt::ShiftModifier) {
    editor_.setBlockEnd(c);
  } else {
    const bool column = (e->modifiers() & Qt::AltModifier) && editor_.has(EditorOption::eoAltSetsColumnMode);
    editor_.setSelectionMode(column ? SelectionMode::Column : SelectionMode::Normal);
    editor_.setCaretXY(c);
  }
  snapCaretToChar(false);
  selecting_ = true;
  restartBlink();
}

void EditorView::mouseMoveEvent(QMouseEvent* e) {
  showMouse();
  const QPoint pos = e->position().toPoint();
  if (edgeDrag_) {
    const int leftCell = editor_.wordWrap() ? 0 : editor_.leftChar() - 1;
    const int column1 = leftCell + (pos.x() - textLeft() + charWidth_ / 2) / charWidth_ + 1;
    emit rightEdgeDragged(column1);
    QToolTip::showText(e->globalPosition().toPoint() + QPoint(12, 12),
                       tr("Column: %1").arg(rightEdge_), this);
    return;
  }
  if (dragPending_) {
    if ((pos - dragPressPos_).manhattanLength() >= QApplication::startDragDistance()) {
      dragPending_ = false;
      startTextDrag();
    }
    return;
  }
  if (!selecting_) {
    if (nearEdge(pos.x())) viewport()->setCursor(Qt::SplitHCursor);
    else if (pos.x() < gutterWidth_ && lineSelectCursor_) viewport()->setCursor(LineSelectCursor());
    else viewport()->setCursor(Qt::IBeamCursor);
    return QAbstractScrollArea::mouseMoveEvent(e);
  }
  editor_.setBlockEnd(coordAt(pos));
  snapCaretToChar(true);
  if (!viewport()->rect().contains(pos) || pos.x() < textLeft()) {
    if (!dragScroll_.isActive()) dragScroll_.start(50, this);
  }
  ensureCaretVisible();
}

void EditorView::mouseReleaseEvent(QMouseEvent* e) {
  dragScroll_.stop();
  selecting_ = false;
  if (dragPending_) {  // a click inside the selection without a drag places the caret
    dragPending_ = false;
    editor_.setCaretXY(coordAt(e->position().toPoint()));
    snapCaretToChar(false);
    restartBlink();
  }
  if (edgeDrag_) {
    edgeDrag_ = false;
    editor_.setCaretXY(edgeDragCaret_);
    QToolTip::hideText();
    emit rightEdgeDragFinished();
    return;
  }
  if (gutterPress_) {
    gutterPress_ = false;
    const int line = coordAt(e->position().toPoint()).Line;
    if (line == gutterPressLine_ && gutterSelect_) {
      gutterSelect_(line);
      emit gutterLineClicked(line);
    } else if (line == gutterPressLine_) {
      // The whole line with its break (the last line to its end), caret at its start.
      const BufferCoord end = line < editor_.lineCount()
                                  ? BufferCoord{1, line + 1}
                                  : BufferCoord{static_cast<int>(editor_.line(line).size()) + 1, line};
      editor_.setSelection(end, {1, line});
      emit gutterLineClicked(line);
    }
  }
  QAbstractScrollArea::mouseReleaseEvent(e);
}

void EditorView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || e->position().x() < gutterWidth_) return;
  editor_.setCaretXY(coordAt(e->position().toPoint()));
  editor_.executeCommand(ecSelWord);
}

void EditorView::wheelEvent(QWheelEvent* e) {
  const int steps = e->angleDelta().y() / 40;  // three lines a notch
  if (e->modifiers() & Qt::ShiftModifier || e->angleDelta().x() != 0) {
    const int h = e->angleDelta().x() != 0 ? -e->angleDelta().x() / 40 : -steps;
    editor_.setLeftChar(std::max(1, editor_.leftChar() + h));
  } else if (editor_.wordWrap()) {
    scrollRows(-steps);
  } else {
    editor_.setTopLine(std::clamp(editor_.topLine() - steps, 1, editor_.lineCount()));
  }
  updateScrollBars();
  viewport()->update();
  e->accept();
}

void EditorView::focusInEvent(QFocusEvent* e) {
  restartBlink();
  QAbstractScrollArea::focusInEvent(e);
}

void EditorView::focusOutEvent(QFocusEvent* e) {
  blink_.stop();
  caretOn_ = false;
  viewport()->update();
  QAbstractScrollArea::focusOutEvent(e);
}

bool EditorView::insideSelection(BufferCoord c) const {
  if (!editor_.selAvail() || editor_.selectionMode() == SelectionMode::Column) return false;
  const BufferCoord b = editor_.blockBegin();
  const BufferCoord e = editor_.blockEnd();
  auto before = [](BufferCoord x, BufferCoord y) { return x.Line < y.Line || (x.Line == y.Line && x.Char < y.Char); };
  return !before(c, b) && before(c, e);
}

void EditorView::startTextDrag() {
  auto* mime = new QMimeData;
  mime->setText(DecodeBytes(editor_.selText(), charset_));
  mime->setData(internalDragFormat(), QByteArray::number(reinterpret_cast<quintptr>(this)));
  auto* drag = new QDrag(this);
  drag->setMimeData(mime);
  drag->exec(editor_.readOnly() ? Qt::CopyAction : Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void EditorView::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) {
    e->acceptProposedAction();
  } else if (e->mimeData()->hasText() && !editor_.readOnly() && editor_.has(EditorOption::eoDragDropEditing)) {
    e->accept();
  }
}

void EditorView::dragMoveEvent(QDragMoveEvent* e) {
  if (e->mimeData()->hasUrls() || !e->mimeData()->hasText()) return e->acceptProposedAction();
  const QPoint pos = e->position().toPoint();
  const bool own = e->mimeData()->data(internalDragFormat()) == QByteArray::number(reinterpret_cast<quintptr>(this));
  dropCaret_ = coordAt(pos);
  dropScrollPos_ = pos;
  const QRect r = viewport()->rect();
  const bool nearSide = pos.y() < kDragScrollMargin || pos.y() >= r.height() - kDragScrollMargin ||
                        pos.x() < textLeft() + kDragScrollMargin || pos.x() >= r.width() - kDragScrollMargin;
  if (nearSide && !dropScroll_.isActive()) dropScroll_.start(100, this);
  if (own && insideSelection(*dropCaret_)) {
    e->ignore();
  } else {
    e->setDropAction((e->modifiers() & Qt::ControlModifier) || !own ? Qt::CopyAction : Qt::MoveAction);
    e->accept();
  }
  viewport()->update();
}

void EditorView::dragLeaveEvent(QDragLeaveEvent*) {
  dropScroll_.stop();
  dropCaret_.reset();
  viewport()->update();
}

void EditorView::dropEvent(QDropEvent* e) {
  dropScroll_.stop();
  dropCaret_.reset();
  viewport()->update();
  const QMimeData* mime = e->mimeData();
  if (mime->hasUrls()) {
    QStringList files;
    for (const QUrl& url : mime->urls())
      if (url.isLocalFile()) files << url.toLocalFile();
    if (!files.isEmpty()) {
      emit filesDropped(files);
      e->acceptProposedAction();
    }
    return;
  }
  if (!mime->hasText() || editor_.readOnly() || !editor_.has(EditorOption::eoDragDropEditing)) return;
  const BufferCoord target = coordAt(e->position().toPoint());
  const bool own = mime->data(internalDragFormat()) == QByteArray::number(reinterpret_cast<quintptr>(this));
  const bool copy = (e->modifiers() & Qt::ControlModifier) != 0;
  if (own && editor_.selAvail()) {
    if (insideSelection(target)) return e->ignore();
    dropOwnSelection(target, copy);
    // The view moved the text itself: the drag source must not delete anything.
    e->setDropAction(Qt::CopyAction);
  } else {
    dropForeignText(target, mime->text());
    e->setDropAction(Qt::CopyAction);
  }
  e->accept();
  setFocus();
  ensureCaretVisible();
}

void EditorView::dropOwnSelection(BufferCoord target, bool copy) {
  const BufferCoord b = editor_.blockBegin();
  const BufferCoord e = editor_.blockEnd();
  const std::string text = editor_.selText();
  auto before = [](BufferCoord x, BufferCoord y) { return x.Line < y.Line || (x.Line == y.Line && x.Char < y.Char); };
  // A position after the removed range [b, e) moves back by it.
  auto shifted = [&](BufferCoord p) -> BufferCoord {
    if (p.Line > e.Line) return {p.Char, p.Line - (e.Line - b.Line)};
    if (p.Line == e.Line) return {b.Char + (p.Char - e.Char), b.Line};
    return p;
  };
  // Dropping past a line's end lands at its end.
  target.Char = std::min(target.Char, static_cast<int>(editor_.line(target.Line).size()) + 1);
  editor_.beginUndoBlock();
  BufferCoord start = target;
  BufferCoord end;
  if (copy) {
    end = editor_.replaceRange(target, target, text);
  } else if (before(target, b)) {  // removing the text after the target leaves it in place
    editor_.replaceRange(b, e, "");
    end = editor_.replaceRange(target, target, text);
  } else {
    end = editor_.replaceRange(target, target, text);
    editor_.replaceRange(b, e, "");
    start = shifted(start);
    end = shifted(end);
  }
  editor_.endUndoBlock();
  editor_.setSelection(start, end);
}

void EditorView::dropForeignText(BufferCoord target, const QString& text) {
  const auto bytes = EncodeQString(text, charset_);
  if (!bytes) {
    emit statusMessage(tr("The dropped text holds characters this document's character set cannot hold."));
    return;
  }
  target.Char = std::min(target.Char, static_cast<int>(editor_.line(target.Line).size()) + 1);
  editor_.beginUndoBlock();
  const BufferCoord end = editor_.replaceRange(target, target, *bytes);
  editor_.endUndoBlock();
  editor_.setSelection(target, end);
}

}  // namespace qv
