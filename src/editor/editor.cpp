// The editor control's state, undo machinery and command execution.
#include "editor/editor.h"

#include <limits>

#include "editor/highlighter.h"
#include "editor/range_cache.h"
#include "editor/text_ops.h"
#include "editor/text_wrap.h"

namespace qv {

namespace {
constexpr int kMaxPastEol = 4096;  // how far past a line's end the caret may go
// Lines can be millions of columns long, so the left column may go as far as any caret.
constexpr int kMaxLeftChar = std::numeric_limits<int>::max() / 2;
constexpr int kBracketLineLimit = 100000;
}  // namespace

// Groups the events of one operation: status and change events fire once, at the end.
class Editor::Batch {
 public:
  explicit Batch(Editor& e) : e_(e) {
    if (e_.batchDepth_++ == 0) {
      e_.snap_ = {e_.caretState(), e_.topLine_, e_.leftChar_, e_.insertMode_, e_.modified(), e_.readOnly_};
      e_.stateBefore_ = e_.caretState();
    }
  }
  ~Batch() {
    if (--e_.batchDepth_ == 0) e_.flush();
  }

 private:
  Editor& e_;
};

Editor::Editor() : keystrokes_(KeyStrokes::defaults()) {
  options_ = withDerivedOptions(kEditorBaseOptions);
  options_.include(EditorOption::eoEnhanceEndKey);
  ownClipboard_ = std::make_unique<MemoryClipboard>();
  clipboard_ = ownClipboard_.get();
  buffer_.addListener([this](const BufferChange& c) {
    // Markers follow their lines; markers inside removed lines land on the changed line.
    const int delta = c.inserted - c.removed;
    for (auto& m : markers_) {
      if (!m) continue;
      if (m->line >= c.line + c.removed) m->line += delta;
      else if (m->line > c.line) m->line = c.line;
    }
  });
}

Editor::~Editor() = default;

void Editor::flush() {
  // Edits may leave an old selection behind lines that are gone; keep everything inside the text.
  caret_ = clampCaret(caret_);
  if (mode_ == SelectionMode::Column) {
    selAnchor_ = clampCaret(selAnchor_);
    selEnd_ = clampCaret(selEnd_);
  } else {
    selAnchor_ = clampText(selAnchor_);
    selEnd_ = clampText(selEnd_);
  }
  if (touched_ && undo_.top() && undoBlockDepth_ == 0) undo_.top()->after = caretState();
  touched_ = false;
  unsigned bits = pendingStatus_;
  pendingStatus_ = 0;
  CaretState now = caretState();
  if (now.caret.col != snap_.caret.caret.col) bits |= scCaretX;
  if (now.caret.line != snap_.caret.caret.line) bits |= scCaretY;
  if (now.selAnchor != snap_.caret.selAnchor || now.selEnd != snap_.caret.selEnd || now.mode != snap_.caret.mode)
    bits |= scSelection;
  if (topLine_ != snap_.top) bits |= scTopLine;
  if (leftChar_ != snap_.left) bits |= scLeftChar;
  if (insertMode_ != snap_.insert) bits |= scInsertMode;
  if (modified() != snap_.modified) bits |= scModified;
  if (readOnly_ != snap_.readOnly) bits |= scReadOnly;
  bool changedText = textChanged_;
  textChanged_ = false;
  if (changedText && onChange) onChange();
  if (bits && onStatusChange) onStatusChange(bits);
}

// ---- text ----

void Editor::setText(std::string_view text) {
  Batch b(*this);
  buffer_.setText(text);
  undo_.clear();
  savedPosition_ = undo_.position();
  modifiedForced_ = false;
  markers_ = {};
  setCaretState({});
  topLine_ = leftChar_ = 0;
  changed();
}

void Editor::loadBytes(std::string_view bytes) {
  Batch b(*this);
  buffer_.loadBytes(bytes);
  undo_.clear();
  savedPosition_ = undo_.position();
  modifiedForced_ = false;
  markers_ = {};
  setCaretState({});
  topLine_ = leftChar_ = 0;
  changed();
}

BufferIoResult Editor::loadFile(const std::string& path) {
  Batch b(*this);
  BufferIoResult r = buffer_.loadFile(path);
  if (!r.ok) return r;
  undo_.clear();
  savedPosition_ = undo_.position();
  modifiedForced_ = false;
  markers_ = {};
  setCaretState({});
  topLine_ = leftChar_ = 0;
  changed();
  return r;
}

// ---- caret and selection ----

TextPos Editor::clampCaret(TextPos p) const {
  p.line = std::clamp(p.line, 0, buffer_.lineCount() - 1);
  std::string_view s = buffer_.line(p.line);
  const int len = static_cast<int>(s.size());
  int max = has(EditorOption::eoScrollPastEol) ? std::max(len, kMaxPastEol) : len;
  p.col = charStart(s, std::clamp(p.col, 0, max));
  return p;
}

TextPos Editor::clampText(TextPos p) const {
  p = buffer_.clamp(p);
  p.col = charStart(buffer_.line(p.line), p.col);
  return p;
}

int Editor::charStart(std::string_view s, int col) const { return CharStartBefore(s, col, charset_); }

int Editor::charStartAfter(std::string_view s, int col) const {
  return IsCharStart(s, col, charset_) ? col : NextCharStart(s, col, charset_);
}

int Editor::nextChar(std::string_view s, int col) const { return NextCharStart(s, col, charset_); }

int Editor::cellsBetween(std::string_view s, int from, int to) const {
  const int len = static_cast<int>(s.size());
  int cells = 0;
  int i = from;
  while (i < std::min(to, len)) {
    if (s[static_cast<std::size_t>(i)] == '\t') {
      cells = (cells / tabWidth_ + 1) * tabWidth_;
      ++i;
    } else {
      ++cells;
      i = static_cast<unsigned char>(s[static_cast<std::size_t>(i)]) < 0x80 ? i + 1 : nextChar(s, i);
    }
  }
  return cells + std::max(0, to - std::max(i, len));
}

int Editor::columnAtCells(std::string_view s, int from, int limit, int cells) const {
  const int len = static_cast<int>(s.size());
  limit = std::min(limit, len);
  int used = 0;
  int i = from;
  while (i < limit) {
    const bool tab = s[static_cast<std::size_t>(i)] == '\t';
    const int next = tab ? i + 1 : nextChar(s, i);
    const int after = tab ? (used / tabWidth_ + 1) * tabWidth_ : used + 1;
    if (after > cells) return i;
    used = after;
    i = next;
  }
  return i == len ? len + std::max(0, cells - used) : i;
}

int Editor::caretX() const {
  std::string_view s = buffer_.line(caret_.line);
  int rowStart = 0;
  if (wordWrap_) {
    std::vector<int> rows = rowsOf(caret_.line);
    rowStart = rows[static_cast<std::size_t>(rowOfColumn(rows, std::min(caret_.col, static_cast<int>(s.size()))))];
  }
  return cellsBetween(s, rowStart, caret_.col);
}

// Moves delta display rows up (negative) or down from p, aiming for screen column x in the row.
TextPos Editor::moveRows(TextPos p, int delta, int x) const {
  std::vector<int> rows = rowsOf(p.line);
  int r = rowOfColumn(rows, std::min(p.col, buffer_.lineLength(p.line)));
  for (; delta < 0; ++delta) {
    if (r > 0) --r;
    else if (p.line > 0) {
      rows = rowsOf(--p.line);
      r = static_cast<int>(rows.size()) - 1;
    } else break;
  }
  for (; delta > 0; --delta) {
    if (r + 1 < static_cast<int>(rows.size())) ++r;
    else if (p.line + 1 < buffer_.lineCount()) {
      rows = rowsOf(++p.line);
      r = 0;
    } else break;
  }
  std::string_view s = buffer_.line(p.line);
  const bool lastRow = r + 1 == static_cast<int>(rows.size());
  const int rowEnd = lastRow ? static_cast<int>(s.size()) : rows[static_cast<std::size_t>(r) + 1];
  p.col = columnAtCells(s, rows[static_cast<std::size_t>(r)], rowEnd, x);
  // A column on the boundary would show on the next row; stay on the last character of this one.
  if (!lastRow && p.col >= rowEnd) p.col = charStart(s, rowEnd - 1);
  return p;
}

void Editor::closeUndoGroup() {
  // Inside an undo block every edit belongs to the one step, whatever the caret does between them.
  if (undoBlockDepth_ == 0) undo_.closeGroup();
}

void Editor::setDisplayCharset(DisplayCharset cs) {
  Batch b(*this);
  charset_ = cs;
  setCaretState(caretState());
}

void Editor::setHighlighter(Highlighter* h) {
  highlighter_ = h;
  if (!h) ranges_.reset();
  else if (ranges_) ranges_->setHighlighter(h);
  else ranges_ = std::make_unique<RangeCache>(buffer_, h);
}

void Editor::setCaretState(const CaretState& s) {
  Batch b(*this);
  caret_ = clampCaret(s.caret);
  mode_ = s.mode;
  if (mode_ == SelectionMode::Column) {
    selAnchor_ = clampCaret(s.selAnchor);
    selEnd_ = clampCaret(s.selEnd);
  } else {
    selAnchor_ = clampText(s.selAnchor);
    selEnd_ = clampText(s.selEnd);
  }
  rememberX();
}

void Editor::setCaretXY(BufferCoord p) {
  Batch b(*this);
  moveCaret(toPos(p), false);
  rememberX();
  closeUndoGroup();
}

void Editor::setBlockBegin(BufferCoord p) {
  Batch b(*this);
  selAnchor_ = selEnd_ = mode_ == SelectionMode::Column ? clampCaret(toPos(p)) : clampText(toPos(p));
}

void Editor::setBlockEnd(BufferCoord p) {
  Batch b(*this);
  selEnd_ = mode_ == SelectionMode::Column ? clampCaret(toPos(p)) : clampText(toPos(p));
}

void Editor::setSelection(BufferCoord anchor, BufferCoord end) {
  Batch b(*this);
  setBlockBegin(anchor);
  setBlockEnd(end);
  caret_ = clampCaret(toPos(end));
  rememberX();
}

bool Editor::selAvail() const {
  if (mode_ == SelectionMode::Column) return selAnchor_.col != selEnd_.col;
  if (mode_ == SelectionMode::Line) return true && selAnchor_ != selEnd_;
  return selAnchor_ != selEnd_;
}

std::pair<TextPos, TextPos> Editor::orderedSel() const {
  return {std::min(selAnchor_, selEnd_), std::max(selAnchor_, selEnd_)};
}

std::string Editor::selText() const {
  if (!selAvail()) return {};
  auto [b, e] = orderedSel();
  switch (mode_) {
    case SelectionMode::Normal: return buffer_.text(b, e);
    case SelectionMode::Column: {
      int c1 = std::min(selAnchor_.col, selEnd_.col), c2 = std::max(selAnchor_.col, selEnd_.col);
      std::string out;
      for (int l = b.line; l <= e.line; ++l) {
        std::string_view s = buffer_.line(l);
        if (l > b.line) out += "\r\n";
        const int n = static_cast<int>(s.size());
        // A character belongs to the block when its first byte lies inside the columns.
        const int from = charStartAfter(s, std::min(c1, n)), to = charStartAfter(s, std::min(c2, n));
        if (from < to) out.append(s.substr(from, to - from));
      }
      return out;
    }
    case SelectionMode::Line: {
      std::string out = buffer_.text({b.line, 0}, {e.line, buffer_.lineLength(e.line)});
      if (e.line + 1 < buffer_.lineCount()) out += "\r\n";
      return out;
    }
  }
  return {};
}

void Editor::setSelText(std::string_view text) {
  if (readOnly_) return;
  Batch b(*this);
  beginUndoBlock();
  deleteSelection();
  insertText(text);
  endUndoBlock();
}

void Editor::setSelectionMode(SelectionMode m) {
  Batch b(*this);
  mode_ = m;
  if (m != SelectionMode::Column) {
    selAnchor_ = clampText(selAnchor_);
    selEnd_ = clampText(selEnd_);
  }
}

void Editor::selectAll() {
  Batch b(*this);
  selAnchor_ = {0, 0};
  selEnd_ = buffer_.endPos();
  caret_ = selEnd_;
  rememberX();
}

void Editor::clearSelection() {
  Batch b(*this);
  selAnchor_ = selEnd_ = clampText(caret_);
}

void Editor::moveCaret(TextPos p, bool select) {
  p = clampCaret(p);
  if (select) {
    if (!selAvail() || caret_ != selEnd_) selAnchor_ = mode_ == SelectionMode::Column ? caret_ : clampText(caret_);
    selEnd_ = mode_ == SelectionMode::Column ? p : clampText(p);
  } else {
    selAnchor_ = selEnd_ = clampText(p);
  }
  caret_ = p;
}

// ---- view state ----

void Editor::setTopLine(int line1) {
  Batch b(*this);
  topLine_ = std::clamp(line1 - 1, 0, buffer_.lineCount() - 1);
}

void Editor::setLeftChar(int col1) {
  Batch b(*this);
  leftChar_ = std::clamp(col1 - 1, 0, kMaxLeftChar);
}

void Editor::setLinesInWindow(int n) { linesInWindow_ = std::max(1, n); }
void Editor::setCharsInWindow(int n) { charsInWindow_ = std::max(1, n); }

void Editor::ensureCaretVisible() {
  Batch b(*this);
  if (caret_.line < topLine_) topLine_ = caret_.line;
  else if (caret_.line >= topLine_ + linesInWindow_) topLine_ = caret_.line - linesInWindow_ + 1;
  if (!wordWrap_) {
    if (caret_.col < leftChar_) leftChar_ = caret_.col;
    else if (caret_.col >= leftChar_ + charsInWindow_) leftChar_ = caret_.col - charsInWindow_ + 1;
  }
}

void Editor::setInsertMode(bool on) {
  Batch b(*this);
  insertMode_ = on;
}

void Editor::setReadOnly(bool on) {
  Batch b(*this);
  readOnly_ = on;
}

// ---- undo ----

TextPos Editor::edit(TextPos from, TextPos to, std::string_view text, UndoReason reason) {
  from = buffer_.clamp(from);
  to = buffer_.clamp(to);
  if (to < from) std::swap(from, to);
  if (from == to && text.empty()) return from;
  UndoItem item;
  item.from = from;
  item.removedEnd = to;
  item.removed = buffer_.text(from, to, "\n");
  item.insertedEnd = buffer_.replace(from, to, text);
  item.reason = reason;
  bool join = false;
  CaretState before = stateBefore_;
  if (undoBlockDepth_ > 0) {
    join = !undoBlockFresh_;
    undoBlockFresh_ = false;
    before = blockBefore_;
  } else if (has(EditorOption::eoGroupUndo) && reason != UndoReason::Other) {
    UndoGroup* top = undo_.top();
    if (top && top->open && !top->items.empty() && top->items.back().reason == reason) {
      const UndoItem& last = top->items.back();
      switch (reason) {
        case UndoReason::Typing: join = item.from == last.insertedEnd; break;
        case UndoReason::DeleteBack: join = item.removedEnd == last.from; break;
        case UndoReason::DeleteForward: join = item.from == last.from; break;
        case UndoReason::Other: break;
      }
    }
  }
  TextPos end = item.insertedEnd;
  if (join && reason == UndoReason::Typing && item.removed.empty() && undo_.top()->items.back().removed.empty() &&
      undo_.top()->items.back().reason == UndoReason::Typing && undo_.top()->items.back().insertedEnd == item.from) {
    // Consecutive typing extends one item instead of adding one per character.
    UndoItem& last = undo_.top()->items.back();
    last.insertedEnd = item.insertedEnd;
    undo_.clearRedo();
  } else {
    undo_.add(std::move(item), before, caretState(), join);
  }
  if (undoBlockDepth_ == 0 && reason == UndoReason::Other) undo_.closeGroup();
  touched_ = true;
  changed();
  return end;
}

void Editor::beginUndoBlock() {
  if (undoBlockDepth_++ == 0) {
    undo_.closeGroup();
    undoBlockFresh_ = true;
    blockBefore_ = caretState();
  }
}

void Editor::endUndoBlock() {
  if (undoBlockDepth_ == 0) return;
  if (--undoBlockDepth_ == 0) {
    if (!undoBlockFresh_ && undo_.top()) undo_.top()->after = caretState();
    undo_.closeGroup();
    undoBlockFresh_ = false;
  }
}

void Editor::undo() {
  if (readOnly_ || !undo_.canUndo() || undoBlockDepth_ > 0) return;
  Batch b(*this);
  UndoGroup g = undo_.popUndo();
  // Each item keeps only the text that is not in the buffer: the new text is read back here.
  for (auto it = g.items.rbegin(); it != g.items.rend(); ++it) {
    it->inserted = buffer_.text(it->from, it->insertedEnd, "\n");
    buffer_.replace(it->from, it->insertedEnd, it->removed);
    std::string().swap(it->removed);
  }
  setCaretState(g.before);
  undo_.pushRedo(std::move(g));
  changed();
}

void Editor::redo() {
  if (readOnly_ || !undo_.canRedo() || undoBlockDepth_ > 0) return;
  Batch b(*this);
  UndoGroup g = undo_.popRedo();
  for (auto& it : g.items) {
    it.removed = buffer_.text(it.from, it.removedEnd, "\n");
    buffer_.replace(it.from, it.removedEnd, it.inserted);
    std::string().swap(it.inserted);
  }
  setCaretState(g.after);
  undo_.pushUndo(std::move(g));
  changed();
}

void Editor::clearUndo() {
  Batch b(*this);
  if (modified()) modifiedForced_ = true;
  savedPosition_ = UINT64_MAX;
  undo_.clearUndo();
  if (!modifiedForced_) savedPosition_ = undo_.position();
}

void Editor::clearUndoRedo() {
  clearUndo();
  undo_.clearRedo();
}

void Editor::setModified(bool on) {
  Batch b(*this);
  modifiedForced_ = on;
  if (!on) savedPosition_ = undo_.position();
}

void Editor::beginUndoPaintLock() {
  if (undoPaintLock_++ == 0) {
    savedPaintTransient_ = std::move(onPaintTransient);
    onPaintTransient = nullptr;
    beginUpdate();
  }
}

void Editor::endUndoPaintLock() {
  if (undoPaintLock_ == 0) return;
  if (--undoPaintLock_ == 0) {
    onPaintTransient = std::move(savedPaintTransient_);
    savedPaintTransient_ = nullptr;
    endUpdate();
  }
}

BufferCoord Editor::replaceRange(BufferCoord from, BufferCoord to, std::string_view text) {
  if (readOnly_) return from;
  Batch b(*this);
  beginUndoBlock();
  TextPos end = edit(toPos(from), toPos(to), text);
  endUndoBlock();
  return toCoord(end);
}

// ---- marks ----

std::optional<BufferCoord> Editor::marker(int n) const {
  if (n < 0 || n > 9 || !markers_[n]) return std::nullopt;
  return toCoord(*markers_[n]);
}

void Editor::setMarker(int n, std::optional<BufferCoord> p) {
  if (n < 0 || n > 9) return;
  markers_[n] = p ? std::optional<TextPos>(clampText(toPos(*p))) : std::nullopt;
}

// ---- commands ----

bool Editor::executeKey(std::uint16_t key, std::uint8_t shift) {
  auto c = keystrokes_.find(key, shift);
  if (!c) return false;
  executeCommand(*c);
  return true;
}

void Editor::executeCommand(EditorCommand command, char ch, CommandData data) {
  if (isUserCommand(command)) {
    if (onProcessUserCommand) onProcessUserCommand(command, ch, data);
  } else if (onProcessCommand) {
    onProcessCommand(command, ch, data);
  }
  if (command == ecNone) return;
  {
    Batch b(*this);
    if (!isUserCommand(command)) runCommand(command, ch, data);
  }
  if (onCommandProcessed) onCommandProcessed(command, ch, data);
}

bool Editor::isWordChar(unsigned char c) const {
  if (highlighter_) return highlighter_->isIdentChar(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
}

std::vector<int> Editor::rowsOf(int line) const {
  return wrapRows(buffer_.line(line), wrapWidth(), tabWidth_, charset_);
}

// Home and End move within display rows while word wrap is on; false leaves the command as it is.
bool Editor::wrapHomeEnd(EditorCommand c) {
  if (!wordWrap_) return false;
  const bool select = c == ecSelLineStart || c == ecSelLineEnd;
  const bool home = c == ecLineStart || c == ecSelLineStart;
  const int len = buffer_.lineLength(caret_.line);
  std::vector<int> rows = rowsOf(caret_.line);
  if (rows.size() < 2) return false;
  const int col = std::min(caret_.col, len);
  if (home) {
    int r = rowOfColumn(rows, col);
    if (r == 0) return false;
    moveCaret({caret_.line, col == rows[r] ? 0 : rows[r]}, select);
  } else {
    int r = 0;  // a column on a boundary is the end of the earlier row here
    while (r + 1 < static_cast<int>(rows.size()) && rows[r + 1] < col) ++r;
    if (col == 0) r = 0;
    int rowEnd = r + 1 < static_cast<int>(rows.size()) ? rows[r + 1] : len;
    moveCaret({caret_.line, col >= rowEnd ? len : rowEnd}, select);
  }
  rememberX();
  return true;
}

void Editor::doMove(EditorCommand c, const CommandData& data) {
  const bool select = (c > ecSelection && c <= ecSelGotoXY);
  const EditorCommand base = select ? c - ecSelection : c;
  const bool pastEol = has(EditorOption::eoScrollPastEol);
  TextPos p = caret_;
  const int len = buffer_.lineLength(p.line);
  const int last = buffer_.lineCount() - 1;
  bool keepDesired = false;
  switch (base) {
    case ecLeft:
      if (p.col > 0) {
        const int col = std::min(p.col, pastEol ? p.col : len);
        p.col = col > len ? col - 1 : charStart(buffer_.line(p.line), col - 1);
      } else if (p.line > 0) {
        p = {p.line - 1, buffer_.lineLength(p.line - 1)};
      }
      break;
    case ecRight:
      if (p.col < len) p.col = nextChar(buffer_.line(p.line), p.col);
      else if (pastEol) ++p.col;
      else if (p.line < last) p = {p.line + 1, 0};
      break;
    case ecUp:
    case ecDown:
    case ecPageUp:
    case ecPageDown: {
      const int step = (base == ecUp || base == ecDown) ? 1 : std::max(1, linesInWindow_);
      const int dir = (base == ecUp || base == ecPageUp) ? -1 : 1;
      const bool keep = pastEol || has(EditorOption::eoKeepCaretX);
      const int want = keep ? desiredX() : caretX();
      desiredCol_ = want;
      if (wordWrap_) {
        p = moveRows(p, dir * step, want);
        if (step > 1) topLine_ = std::clamp(topLine_ + p.line - caret_.line, 0, last);
      } else {
        p.line = std::clamp(p.line + dir * step, 0, last);
        if (step > 1) topLine_ = std::clamp(topLine_ + dir * step, 0, last);
        p.col = columnAtCells(buffer_.line(p.line), 0, INT32_MAX, want);
      }
      keepDesired = true;
      break;
    }
    case ecWordLeft: {
      std::string_view s = buffer_.line(p.line);
      int col = std::min(p.col, static_cast<int>(s.size()));
      if (col == 0) {
        if (p.line > 0) p = {p.line - 1, buffer_.lineLength(p.line - 1)};
        break;
      }
      while (col > 0 && !isWordChar(static_cast<unsigned char>(s[col - 1]))) --col;
      while (col > 0 && isWordChar(static_cast<unsigned char>(s[col - 1]))) --col;
      p.col = charStart(s, col);
      break;
    }
    case ecWordRight: {
      std::string_view s = buffer_.line(p.line);
      int n = static_cast<int>(s.size());
      if (p.col >= n) {
        if (p.line < last) p = {p.line + 1, 0};
        break;
      }
      int col = p.col;
      while (col < n && isWordChar(static_cast<unsigned char>(s[col]))) ++col;
      while (col < n && !isWordChar(static_cast<unsigned char>(s[col]))) ++col;
      p.col = charStartAfter(s, col);
      break;
    }
    case ecLineStart: {
      int first = textops::leadingBlanks(buffer_.line(p.line));
      if (has(EditorOption::eoEnhanceHomeKey) && p.col != first && first < len) p.col = first;
      else p.col = 0;
      break;
    }
    case ecLineEnd: {
      int trimmed = static_cast<int>(textops::trimRight(buffer_.line(p.line)).size());
      if (has(EditorOption::eoEnhanceEndKey) && p.col != trimmed && trimmed < len) p.col = trimmed;
      else p.col = len;
      break;
    }
    case ecPageLeft: p.col = std::max(0, p.col - charsInWindow_); break;
    case ecPageRight: p.col = p.col + charsInWindow_; break;
    case ecPageTop:
    case ecPageBottom:
      p.line = base == ecPageTop ? std::min(topLine_, last) : std::clamp(topLine_ + linesInWindow_ - 1, 0, last);
      p.col = columnAtCells(buffer_.line(p.line), 0, INT32_MAX, desiredX());
      keepDesired = true;
      break;
    case ecEditorTop: p = {0, 0}; break;
    case ecEditorBottom: p = buffer_.endPos(); break;
    case ecGotoXY:
      if (data.pos) p = toPos(*data.pos);
      break;
    default: break;
  }
  if (!pastEol) p = clampText(p);
  moveCaret(p, select);
  if (!keepDesired) rememberX();
  closeUndoGroup();
  ensureCaretVisible();
}

void Editor::deleteSelection() {
  if (!selAvail() || readOnly_) return;
  auto [b, e] = orderedSel();
  switch (mode_) {
    case SelectionMode::Normal:
      edit(b, e, "");
      caret_ = b;
      break;
    case SelectionMode::Column: {
      int c1 = std::min(selAnchor_.col, selEnd_.col), c2 = std::max(selAnchor_.col, selEnd_.col);
      beginUndoBlock();
      for (int l = b.line; l <= e.line; ++l) {
        std::string_view s = buffer_.line(l);
        const int len = static_cast<int>(s.size());
        const int from = charStartAfter(s, std::min(c1, len)), to = charStartAfter(s, std::min(c2, len));
        if (from < to) edit({l, from}, {l, to}, "");
      }
      endUndoBlock();
      caret_ = clampCaret({std::min(selAnchor_.line, selEnd_.line), c1});
      break;
    }
    case SelectionMode::Line:
      if (e.line + 1 < buffer_.lineCount()) edit({b.line, 0}, {e.line + 1, 0}, "");
      else if (b.line > 0) edit({b.line - 1, buffer_.lineLength(b.line - 1)}, buffer_.endPos(), "");
      else edit({0, 0}, buffer_.endPos(), "");
      caret_ = clampText({b.line, 0});
      break;
  }
  selAnchor_ = selEnd_ = clampText(caret_);
  rememberX();
}

// Inserts at the caret (padding with blanks past the line end) and moves the caret after it.
void Editor::insertText(std::string_view text) {
  if (text.empty()) return;
  int len = buffer_.lineLength(caret_.line);
  TextPos at = caret_;
  std::string padded;
  if (at.col > len) {
    padded.assign(static_cast<std::size_t>(at.col - len), ' ');
    padded.append(text);
    text = padded;
    at.col = len;
  }
  caret_ = edit(at, at, text, UndoReason::Typing);
  selAnchor_ = selEnd_ = caret_;
  rememberX();
}

void Editor::typeChars(std::string_view ch) {
  if (readOnly_ || ch.empty()) return;
  if (ch[0] == '\r' || ch[0] == '\n') return lineBreak(true);
  if (static_cast<unsigned char>(ch[0]) < 32 && ch[0] != '\t') return;
  if (selAvail()) {
    beginUndoBlock();
    deleteSelection();
    insertText(ch);
    endUndoBlock();
  } else if (!insertMode_ && caret_.col < buffer_.lineLength(caret_.line)) {
    // Overwriting replaces the whole character under the caret.
    const TextPos to{caret_.line, nextChar(buffer_.line(caret_.line), caret_.col)};
    caret_ = edit(caret_, to, ch, UndoReason::Typing);
    selAnchor_ = selEnd_ = caret_;
    rememberX();
  } else {
    insertText(ch);
  }
  ensureCaretVisible();
}

// Types a text character by character; CR LF is one line break.
void Editor::typeString(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      typeChars(text.substr(i, 1));
      i += 2;
      continue;
    }
    const std::size_t n = static_cast<std::size_t>(DecodeAt(text, static_cast<int>(i), charset_).length);
    typeChars(text.substr(i, n));
    i += n;
  }
}

void Editor::lineBreak(bool moveCaretDown) {
  if (readOnly_) return;
  beginUndoBlock();
  deleteSelection();
  std::string_view s = buffer_.line(caret_.line);
  const int len = static_cast<int>(s.size());
  const int col = std::min(caret_.col, len);
  std::string indent;
  if (moveCaretDown && has(EditorOption::eoAutoIndent))
    indent.assign(s.substr(0, std::min(textops::leadingBlanks(s), col)));
  int cut = col;
  if (has(EditorOption::eoTrimTrailingSpaces)) cut = static_cast<int>(textops::trimRight(s.substr(0, col)).size());
  std::string insert = "\n" + indent;
  TextPos end = edit({caret_.line, cut}, {caret_.line, col}, insert);
  if (moveCaretDown) caret_ = end;
  else caret_ = {caret_.line, cut};
  selAnchor_ = selEnd_ = caret_;
  rememberX();
  endUndoBlock();
  ensureCaretVisible();
}

void Editor::deleteLastChar() {
  if (readOnly_) return;
  if (selAvail()) {
    beginUndoBlock();
    deleteSelection();
    endUndoBlock();
    return;
  }
  const std::string_view s = buffer_.line(caret_.line);
  const int len = static_cast<int>(s.size());
  if (caret_.col > len) {
    caret_.col -= 1;
  } else if (caret_.col == 0) {
    if (caret_.line == 0) return;
    TextPos to = caret_;
    caret_ = {caret_.line - 1, buffer_.lineLength(caret_.line - 1)};
    edit(caret_, to, "", UndoReason::DeleteBack);
  } else {
    int from = charStart(s, caret_.col - 1);
    const bool inIndent = textops::leadingBlanks(s) >= caret_.col;
    if (has(EditorOption::eoSmartTabDelete) && inIndent && s.substr(0, caret_.col).find('\t') == std::string_view::npos) {
      // Back to the indentation of the nearest line above that is indented less.
      for (int l = caret_.line - 1; l >= 0; --l) {
        std::string_view above = buffer_.line(l);
        if (textops::trimRight(above).empty()) continue;
        int ind = textops::leadingBlanks(above);
        if (ind < caret_.col) {
          from = ind;
          break;
        }
      }
    }
    TextPos to = caret_;
    caret_ = {caret_.line, from};
    edit(caret_, to, "", UndoReason::DeleteBack);
  }
  selAnchor_ = selEnd_ = clampText(caret_);
  rememberX();
  ensureCaretVisible();
}

void Editor::deleteChar() {
  if (readOnly_) return;
  if (selAvail()) {
    beginUndoBlock();
    deleteSelection();
    endUndoBlock();
    return;
  }
  const int len = buffer_.lineLength(caret_.line);
  if (caret_.col >= len) {
    if (caret_.line + 1 >= buffer_.lineCount()) return;
    std::string pad(static_cast<std::size_t>(caret_.col - len), ' ');
    edit({caret_.line, len}, {caret_.line + 1, 0}, pad, UndoReason::DeleteForward);
  } else {
    edit(caret_, {caret_.line, nextChar(buffer_.line(caret_.line), caret_.col)}, "", UndoReason::DeleteForward);
  }
  selAnchor_ = selEnd_ = clampText(caret_);
}

void Editor::tab() {
  if (readOnly_) return;
  auto [b, e] = orderedSel();
  if (selAvail() && b.line != e.line) return blockIndentCmd();
  beginUndoBlock();
  deleteSelection();
  std::string_view s = buffer_.line(caret_.line);
  const int display = textops::displayColumn(s, caret_.col, tabWidth_);
  int target = (display / tabWidth_ + 1) * tabWidth_;
  if (has(EditorOption::eoSmartTabs)) {
    // The next word start of the nearest non-blank line above.
    for (int l = caret_.line - 1; l >= 0; --l) {
      std::string exp = textops::expandTabs(buffer_.line(l), tabWidth_);
      if (textops::trimRight(exp).empty()) continue;
      int i = display;
      const int n = static_cast<int>(exp.size());
      while (i < n && exp[i] != ' ') ++i;
      while (i < n && exp[i] == ' ') ++i;
      if (i < n && i > display) target = i;
      break;
    }
  }
  if (has(EditorOption::eoTabsToSpaces)) insertText(std::string(static_cast<std::size_t>(target - display), ' '));
  else insertText("\t");
  endUndoBlock();
  ensureCaretVisible();
}

void Editor::shiftTab() {
  if (readOnly_) return;
  if (selAvail()) return blockUnindentCmd();
  // One line's worth of block unindent.
  TextPos keep = caret_;
  selAnchor_ = {caret_.line, 0};
  selEnd_ = {caret_.line, 0};
  CaretState s = caretState();
  s.selEnd = {caret_.line, 1};
  s.caret = keep;
  setCaretState(s);
  blockUnindentCmd();
  TextPos now = caret_;
  selAnchor_ = selEnd_ = clampText(now);
}

void Editor::blockIndentCmd() {
  if (readOnly_ || !selAvail()) return;
  const TextPos b = orderedSel().first, e = orderedSel().second;
  int lastLine = (e.col == 0 && e.line > b.line && mode_ != SelectionMode::Line) ? e.line - 1 : e.line;
  const bool useTab = has(EditorOption::eoTabsInBlockIndent) && !has(EditorOption::eoTabsToSpaces);
  const std::string ins = useTab ? std::string("\t") : std::string(static_cast<std::size_t>(blockIndent_), ' ');
  const int n = static_cast<int>(ins.size());
  CaretState st = caretState();
  beginUndoBlock();
  for (int l = b.line; l <= lastLine; ++l) edit({l, 0}, {l, 0}, ins);
  auto moveWith = [&](TextPos p) {
    if (p.line >= b.line && p.line <= lastLine && p.col > 0) p.col += n;
    return p;
  };
  st.caret = moveWith(st.caret);
  st.selAnchor = moveWith(st.selAnchor);
  st.selEnd = moveWith(st.selEnd);
  setCaretState(st);
  endUndoBlock();
}

void Editor::blockUnindentCmd() {
  if (readOnly_ || !selAvail()) return;
  const TextPos b = orderedSel().first, e = orderedSel().second;
  int lastLine = (e.col == 0 && e.line > b.line && mode_ != SelectionMode::Line) ? e.line - 1 : e.line;
  const bool useTab = has(EditorOption::eoTabsInBlockIndent) && !has(EditorOption::eoTabsToSpaces);
  CaretState st = caretState();
  std::vector<int> removed(static_cast<std::size_t>(lastLine - b.line + 1), 0);
  beginUndoBlock();
  for (int l = b.line; l <= lastLine; ++l) {
    std::string_view s = buffer_.line(l);
    int r = 0;
    if (useTab) {
      r = (!s.empty() && s[0] == '\t') ? 1 : 0;
    } else {
      while (r < blockIndent_ && r < static_cast<int>(s.size()) && s[r] == ' ') ++r;
    }
    if (r > 0) edit({l, 0}, {l, r}, "");
    removed[static_cast<std::size_t>(l - b.line)] = r;
  }
  auto moveWith = [&](TextPos p) {
    if (p.line >= b.line && p.line <= lastLine) p.col = std::max(0, p.col - removed[static_cast<std::size_t>(p.line - b.line)]);
    return p;
  };
  st.caret = moveWith(st.caret);
  st.selAnchor = moveWith(st.selAnchor);
  st.selEnd = moveWith(st.selEnd);
  setCaretState(st);
  endUndoBlock();
}

// The brackets a or b of one line, with what each stands in: 0 code, 1 comment, 2 string.
void Editor::lineBrackets(int line, char a, char b, std::vector<LineBracket>& out) const {
  out.clear();
  std::string_view s = buffer_.line(line);
  const char both[] = {a, b};
  if (s.find_first_of(std::string_view(both, 2)) == std::string_view::npos) return;
  if (!highlighter_ || !ranges_) {
    for (int i = 0; i < static_cast<int>(s.size()); ++i)
      if (s[static_cast<std::size_t>(i)] == a || s[static_cast<std::size_t>(i)] == b)
        out.push_back({i, s[static_cast<std::size_t>(i)], 0});
    return;
  }
  const HighlighterRange range = ranges_->rangeAtLineStart(line);  // may scan other lines first
  const HighlighterAttribute* comment = highlighter_->defaultAttribute(DefaultAttribute::Comment);
  const HighlighterAttribute* text = highlighter_->defaultAttribute(DefaultAttribute::String);
  highlighter_->setRange(range);
  for (highlighter_->setLine(s, line); !highlighter_->eol(); highlighter_->next()) {
    const HighlighterAttribute* attr = highlighter_->tokenAttribute();
    int kind = 0;
    if ((attr && attr == comment) || highlighter_->isCommentKind(highlighter_->tokenKind())) kind = 1;
    else if (attr && attr == text) kind = 2;
    std::string_view t = highlighter_->tokenText();
    const int pos = highlighter_->tokenPosition();
    for (int k = 0; k < static_cast<int>(t.size()); ++k)
      if (t[static_cast<std::size_t>(k)] == a || t[static_cast<std::size_t>(k)] == b)
        out.push_back({pos + k, t[static_cast<std::size_t>(k)], kind});
  }
}

// Moves the caret to the bracket matching the one under it. Brackets count only where they stand
// in the same kind of text as the first one, so brackets in strings and comments do not pair
// with code.
void Editor::matchBracket() {
  static constexpr std::string_view open = "([{<", close = ")]}>";
  std::string_view s = buffer_.line(caret_.line);
  if (caret_.col >= static_cast<int>(s.size())) return;
  const char c = s[static_cast<std::size_t>(caret_.col)];
  std::size_t k = open.find(c);
  const bool forward = k != std::string_view::npos;
  if (!forward) k = close.find(c);
  if (k == std::string_view::npos) return;
  const char same = c, other = forward ? close[k] : open[k];
  std::vector<LineBracket> found;
  lineBrackets(caret_.line, same, other, found);
  auto at = std::find_if(found.begin(), found.end(), [&](const LineBracket& x) { return x.col == caret_.col; });
  if (at == found.end()) return;
  const int kind = at->kind;
  // Tokenising is dearer than a byte scan, so a highlighted walk stops after this many lines.
  const int limit = highlighter_ ? kBracketLineLimit : INT32_MAX;
  int depth = 0;
  for (int l = caret_.line, walked = 0; l >= 0 && l < buffer_.lineCount() && walked <= limit;
       l += forward ? 1 : -1, ++walked) {
    if (l != caret_.line) lineBrackets(l, same, other, found);
    const auto visit = [&](const LineBracket& x) {
      if (x.kind != kind) return false;
      if (l == caret_.line && (forward ? x.col < caret_.col : x.col > caret_.col)) return false;
      if (x.ch == same) ++depth;
      else if (--depth == 0) return true;
      return false;
    };
    const auto hit = forward ? std::find_if(found.begin(), found.end(), visit)
                             : std::find_if(found.rbegin(), found.rend(), visit).base();
    if (forward ? hit != found.end() : hit != found.begin()) {
      const int col = forward ? hit->col : std::prev(hit)->col;
      moveCaret({l, col}, false);
      rememberX();
      return;
    }
  }
}

void Editor::changeCase(EditorCommand c) {
  if (readOnly_) return;
  const bool block = c >= ecUpperCaseBlock;
  const EditorCommand kind = block ? c - (ecUpperCaseBlock - ecUpperCase) : c;
  const textops::CaseChange how = kind == ecUpperCase   ? textops::CaseChange::Upper
                                  : kind == ecLowerCase ? textops::CaseChange::Lower
                                  : kind == ecToggleCase ? textops::CaseChange::Invert
                                                         : textops::CaseChange::Title;
  CaretState saved = caretState();
  if (!selAvail()) {
    if (block) return;
    // The word at or before the caret.
    std::string_view s = buffer_.line(caret_.line);
    int n = static_cast<int>(s.size());
    int e = std::min(caret_.col, n);
    while (e < n && isWordChar(static_cast<unsigned char>(s[e]))) ++e;
    int b = std::min(caret_.col, n);
    while (b > 0 && isWordChar(static_cast<unsigned char>(s[b - 1]))) --b;
    b = charStart(s, b);
    e = charStartAfter(s, e);
    if (b == e) return;
    std::string t = textops::changeCase(s.substr(b, e - b), how);
    if (t != s.substr(b, e - b)) edit({caret_.line, b}, {caret_.line, e}, t);
    setCaretState(saved);
    return;
  }
  auto [b, e] = orderedSel();
  beginUndoBlock();
  if (mode_ == SelectionMode::Normal) {
    std::string src = buffer_.text(b, e, "\n");
    std::string t = textops::changeCase(src, how);
    if (t != src) edit(b, e, t);
  } else {
    int c1 = mode_ == SelectionMode::Column ? std::min(selAnchor_.col, selEnd_.col) : 0;
    int c2 = mode_ == SelectionMode::Column ? std::max(selAnchor_.col, selEnd_.col) : INT32_MAX;
    for (int l = b.line; l <= e.line; ++l) {
      std::string_view s = buffer_.line(l);
      const int from = charStartAfter(s, std::min(c1, static_cast<int>(s.size())));
      const int to = charStartAfter(s, std::min(c2, static_cast<int>(s.size())));
      std::string t = textops::changeCase(s.substr(from, to - from), how);
      if (t != s.substr(from, to - from)) edit({l, from}, {l, to}, t);
    }
  }
  setCaretState(saved);
  endUndoBlock();
}

void Editor::copy() {
  if (!selAvail() || !clipboard_) return;
  clipboard_->set({selText(), mode_});
}

void Editor::cut() {
  if (readOnly_ || !selAvail()) return;
  copy();
  beginUndoBlock();
  deleteSelection();
  endUndoBlock();
}

void Editor::paste() {
  if (readOnly_ || !clipboard_) return;
  std::optional<ClipboardContent> content = clipboard_->get();
  if (!content) return;
  beginUndoBlock();
  deleteSelection();
  const TextPos start = caret_;
  if (content->mode == SelectionMode::Column) {
    std::vector<std::string> pieces = textops::splitLines(content->text);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      int l = start.line + static_cast<int>(i);
      if (l >= buffer_.lineCount()) edit(buffer_.endPos(), buffer_.endPos(), "\n");
      caret_ = {l, start.col < buffer_.lineLength(l) ? charStart(buffer_.line(l), start.col) : start.col};
      insertText(pieces[i]);
    }
    // The caret goes below the pasted block, at the column where the paste began.
    int next = caret_.line + 1;
    if (next >= buffer_.lineCount()) edit(buffer_.endPos(), buffer_.endPos(), "\n");
    caret_ = clampCaret({next, start.col});
    if (!has(EditorOption::eoScrollPastEol)) caret_ = clampText(caret_);
    selAnchor_ = selEnd_ = clampText(caret_);
  } else if (content->mode == SelectionMode::Line) {
    caret_ = {start.line, 0};
    insertText(content->text);
  } else {
    insertText(content->text);
  }
  rememberX();
  endUndoBlock();
  ensureCaretVisible();
}

void Editor::selectWord() {
  std::string_view s = buffer_.line(caret_.line);
  int n = static_cast<int>(s.size());
  int b = std::min(caret_.col, n), e = b;
  while (e < n && isWordChar(static_cast<unsigned char>(s[e]))) ++e;
  while (b > 0 && isWordChar(static_cast<unsigned char>(s[b - 1]))) --b;
  selAnchor_ = {caret_.line, charStart(s, b)};
  selEnd_ = {caret_.line, charStartAfter(s, e)};
  caret_ = selEnd_;
  rememberX();
}

void Editor::runCommand(EditorCommand c, char ch, const CommandData& data) {
  if ((c >= ecLeft && c <= ecGotoXY) || (c >= ecSelLeft && c <= ecSelGotoXY)) {
    if ((c == ecLineStart || c == ecLineEnd || c == ecSelLineStart || c == ecSelLineEnd) && wrapHomeEnd(c)) return;
    return doMove(c, data);
  }
  if (c >= ecGotoMarker0 && c <= ecGotoMarker9) {
    if (auto& m = markers_[c - ecGotoMarker0]) {
      moveCaret(*m, false);
      rememberX();
      ensureCaretVisible();
    }
    return;
  }
  if (c >= ecSetMarker0 && c <= ecSetMarker9) {
    auto& m = markers_[c - ecSetMarker0];
    if (m && m->line == caret_.line) m.reset();
    else m = clampText(caret_);
    return;
  }
  if ((c >= ecUpperCase && c <= ecTitleCase) || (c >= ecUpperCaseBlock && c <= ecToggleCaseBlock))
    return changeCase(c);
  switch (c) {
    case ecSelWord: selectWord(); break;
    case ecSelectAll: selectAll(); break;
    case ecCopy: copy(); break;
    case ecCut: cut(); break;
    case ecPaste: paste(); break;
    case ecUndo: undo(); break;
    case ecRedo: redo(); break;
    case ecScrollUp:
    case ecScrollDown: {
      topLine_ = std::clamp(topLine_ + (c == ecScrollUp ? -1 : 1), 0, buffer_.lineCount() - 1);
      int line = std::clamp(caret_.line, topLine_, std::max(topLine_, topLine_ + linesInWindow_ - 1));
      if (line != caret_.line) moveCaret({line, caret_.col}, false);
      break;
    }
    case ecScrollLeft: leftChar_ = std::max(0, leftChar_ - 1); break;
    case ecScrollRight: leftChar_ = std::min(kMaxLeftChar, leftChar_ + 1); break;
    case ecInsertMode: insertMode_ = true; break;
    case ecOverwriteMode: insertMode_ = false; break;
    case ecToggleMode: insertMode_ = !insertMode_; break;
    case ecNormalSelect: setSelectionMode(SelectionMode::Normal); break;
    case ecColumnSelect: setSelectionMode(SelectionMode::Column); break;
    case ecLineSelect: setSelectionMode(SelectionMode::Line); break;
    case ecMatchBracket: matchBracket(); break;
    case ecDeleteLastChar: deleteLastChar(); break;
    case ecDeleteChar: deleteChar(); break;
    case ecDeleteWord:
    case ecDeleteLastWord:
    case ecDeleteBOL:
    case ecDeleteEOL: {
      if (readOnly_) break;
      std::string_view s = buffer_.line(caret_.line);
      const int n = static_cast<int>(s.size());
      const int col = std::min(caret_.col, n);
      TextPos from{caret_.line, col}, to = from;
      if (c == ecDeleteEOL) to.col = n;
      else if (c == ecDeleteBOL) from.col = 0;
      else if (c == ecDeleteWord) {
        if (col >= n) to = caret_.line + 1 < buffer_.lineCount() ? TextPos{caret_.line + 1, 0} : from;
        int i = col;
        while (i < n && isWordChar(static_cast<unsigned char>(s[i]))) ++i;
        while (i < n && !isWordChar(static_cast<unsigned char>(s[i]))) ++i;
        if (col < n) to.col = charStartAfter(s, i);
      } else {
        if (col == 0 && caret_.line > 0) from = {caret_.line - 1, buffer_.lineLength(caret_.line - 1)};
        int i = col;
        while (i > 0 && !isWordChar(static_cast<unsigned char>(s[i - 1]))) --i;
        while (i > 0 && isWordChar(static_cast<unsigned char>(s[i - 1]))) --i;
        if (col > 0) from.col = charStart(s, i);
      }
      beginUndoBlock();
      edit(from, to, "");
      endUndoBlock();
      moveCaret(from, false);
      rememberX();
      break;
    }
    case ecDeleteLine: {
      if (readOnly_) break;
      const int l = caret_.line;
      beginUndoBlock();
      if (l + 1 < buffer_.lineCount()) edit({l, 0}, {l + 1, 0}, "");
      else if (l > 0) edit({l - 1, buffer_.lineLength(l - 1)}, {l, buffer_.lineLength(l)}, "");
      else edit({0, 0}, {0, buffer_.lineLength(0)}, "");
      endUndoBlock();
      moveCaret({std::min(l, buffer_.lineCount() - 1), 0}, false);
      desiredCol_ = 0;
      break;
    }
    case ecClearAll:
      if (readOnly_) break;
      beginUndoBlock();
      edit({0, 0}, buffer_.endPos(), "");
      endUndoBlock();
      moveCaret({0, 0}, false);
      break;
    case ecLineBreak: lineBreak(true); break;
    case ecInsertLine: lineBreak(false); break;
    case ecChar: typeChar(ch); break;
    case ecString:
    case ecImeStr: {
      if (readOnly_) break;
      beginUndoBlock();
      typeString(data.text);
      endUndoBlock();
      break;
    }
    case ecBlockIndent: blockIndentCmd(); break;
    case ecBlockUnindent: blockUnindentCmd(); break;
    case ecTab: tab(); break;
    case ecShiftTab: shiftTab(); break;
    case ecAutoCompletion:
      if (onAutoCompletion) onAutoCompletion();
      break;
    default: break;  // folding, comment block, context help: accepted, nothing to do here
  }
}

// ---- what the program adds ----

char Editor::charAtCaret() const {
  std::string_view s = buffer_.line(caret_.line);
  return caret_.col < static_cast<int>(s.size()) ? s[caret_.col] : '\0';
}

void Editor::trimLine(int line1) {
  if (readOnly_ || !has(EditorOption::eoTrimTrailingSpaces)) return;
  const int l = line1 - 1;
  if (l < 0 || l >= buffer_.lineCount()) return;
  std::string_view s = buffer_.line(l);
  const int keep = static_cast<int>(textops::trimRight(s).size());
  if (keep == static_cast<int>(s.size())) return;
  Batch b(*this);
  CaretState st = caretState();
  edit({l, keep}, {l, static_cast<int>(s.size())}, "");
  setCaretState(st);
}

// Applies fn to every line of the selection, or of the whole text; the result (each line with
// CR LF after it) replaces the range as one step when any line changed.
bool Editor::transformLines(const std::function<std::string(std::string_view)>& fn) {
  if (readOnly_) return false;
  Batch b(*this);
  TextPos from{0, 0}, to = buffer_.endPos();
  std::string src;
  if (selAvail()) {
    src = selText();
    if (mode_ == SelectionMode::Normal) std::tie(from, to) = orderedSel();
    else {
      auto [sb, se] = orderedSel();
      from = {sb.line, 0};
      to = mode_ == SelectionMode::Line && se.line + 1 < buffer_.lineCount() ? TextPos{se.line + 1, 0}
                                                                               : TextPos{se.line, buffer_.lineLength(se.line)};
      src = buffer_.text(from, to);
    }
  } else {
    src = buffer_.text();
  }
  std::vector<std::string> lines = textops::splitLines(src);
  bool changed = false;
  std::string out;
  out.reserve(src.size() + 2);
  for (const auto& l : lines) {
    std::string t = fn(l);
    changed = changed || t != l;
    out += t;
    out += "\r\n";
  }
  if (!changed) return false;
  beginUndoBlock();
  TextPos end = edit(from, to, out);
  selAnchor_ = from;
  selEnd_ = end;
  caret_ = end;
  mode_ = SelectionMode::Normal;
  rememberX();
  endUndoBlock();
  return true;
}

bool Editor::removeTrailingBlanks() {
  return transformLines([](std::string_view l) { return std::string(textops::trimRight(l)); });
}

bool Editor::convertTabsAndSpaces(bool toSpaces, int width) {
  return transformLines([&](std::string_view l) {
    return toSpaces ? textops::expandTabs(l, width) : textops::compressSpaces(l, width);
  });
}

bool Editor::removeComments() {
  if (readOnly_ || !highlighter_) return false;
  Batch b(*this);
  multiLineOp_ = true;
  const bool hadSel = selAvail();
  CaretState saved = caretState();
  TextPos start{0, 0}, stop = buffer_.endPos();
  if (hadSel) std::tie(start, stop) = orderedSel();
  const HighlighterAttribute* commentAttr = highlighter_->defaultAttribute(DefaultAttribute::Comment);
  TBufferCoordList starts, ends;
  bool inRun = false;
  highlighter_->resetRange();
  for (int l = 0; l < buffer_.lineCount() && TextPos{l, 0} <= stop; ++l) {
    highlighter_->setLine(buffer_.line(l), l);
    for (; !highlighter_->eol(); highlighter_->next()) {
      const int pos = highlighter_->tokenPosition();
      TextPos tp{l, pos};
      if (tp < start) continue;
      if (!(tp < stop)) break;
      const bool comment = (commentAttr && highlighter_->tokenAttribute() == commentAttr) ||
                           highlighter_->isCommentKind(highlighter_->tokenKind());
      if (comment) {
        if (!inRun) starts.push_back(toCoord(tp));
        const int endCol = pos + static_cast<int>(highlighter_->tokenText().size());
        if (inRun) ends.back() = toCoord({l, endCol});
        else ends.push_back(toCoord({l, endCol}));
        inRun = true;
      } else {
        inRun = false;
      }
    }
  }
  if (starts.empty()) {
    multiLineOp_ = false;
    return false;
  }
  beginUndoBlock();
  for (std::size_t i = starts.size(); i-- > 0;) {
    TextPos s = toPos(starts[i]), e = toPos(ends[i]);
    if (e.col == 0 && e.line > s.line) {
      e = {e.line - 1, buffer_.lineLength(e.line - 1)};
      if (s.line == e.line && textops::trimRight(buffer_.line(s.line).substr(0, s.col)).empty()) s.col = 0;
    }
    edit(s, e, "");
    if (hadSel) {
      if (saved.selAnchor > saved.selEnd) saved.selAnchor.line -= e.line - s.line;
      else saved.selEnd.line -= e.line - s.line;
    }
    if (has(EditorOption::eoTrimTrailingSpaces)) {
      std::string_view line = buffer_.line(s.line);
      int keep = static_cast<int>(textops::trimRight(line).size());
      if (keep < static_cast<int>(line.size())) edit({s.line, keep}, {s.line, static_cast<int>(line.size())}, "");
    }
  }
  setCaretState(saved);
  endUndoBlock();
  multiLineOp_ = false;
  return true;
}

}  // namespace qv
