// The editor control without its view: text, caret and selection, options, undo, commands by
// number and the events a document and a view rely on.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/clipboard.h"
#include "editor/display_charset.h"
#include "editor/editor_commands.h"
#include "editor/editor_options.h"
#include "editor/keystrokes.h"
#include "editor/text_buffer.h"
#include "editor/undo_list.h"

namespace qv {

class Highlighter;
class RangeCache;

// A place at the editor's interface: 1-based column (bytes) and 1-based line.
struct BufferCoord {
  int Char = 1;
  int Line = 1;
  constexpr auto operator<=>(const BufferCoord&) const = default;
};

// An owning list of buffer coordinates (comment ranges, for one).
using TBufferCoordList = std::vector<BufferCoord>;

// What a status-change event reports as changed.
enum StatusChange : unsigned {
  scNone = 0,
  scCaretX = 1,
  scCaretY = 2,
  scLeftChar = 4,
  scTopLine = 8,
  scInsertMode = 16,
  scModified = 32,
  scSelection = 64,
  scReadOnly = 128,
  scAll = 255,
};

// Extra data of a command: a position (ecGotoXY, ecSelGotoXY) or a text (ecString, ecImeStr).
struct CommandData {
  std::optional<BufferCoord> pos;
  std::string text;
};

enum class TransientType { Before, After };

class Editor {
 public:
  Editor();
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  // ---- text ----
  const TextBuffer& lines() const { return buffer_; }
  int lineCount() const { return buffer_.lineCount(); }
  std::string_view line(int line1) const { return buffer_.line(line1 - 1); }
  std::string text() const { return buffer_.text(); }
  void setText(std::string_view text);  // clears undo and the modified flag
  void loadBytes(std::string_view bytes);
  BufferIoResult loadFile(const std::string& path);

  // ---- caret and selection (1-based) ----
  BufferCoord caretXY() const { return toCoord(caret_); }
  void setCaretXY(BufferCoord p);  // clears the selection
  BufferCoord blockBegin() const { return toCoord(std::min(selAnchor_, selEnd_)); }
  BufferCoord blockEnd() const { return toCoord(std::max(selAnchor_, selEnd_)); }
  void setBlockBegin(BufferCoord p);  // collapses the selection at p
  void setBlockEnd(BufferCoord p);    // extends from the anchor to p
  void setSelection(BufferCoord anchor, BufferCoord end);  // caret at end
  bool selAvail() const;
  std::string selText() const;
  void setSelText(std::string_view text);  // replaces the selection as one undo step
  SelectionMode selectionMode() const { return mode_; }
  void setSelectionMode(SelectionMode m);
  void selectAll();
  void clearSelection();

  // ---- view state ----
  int topLine() const { return topLine_ + 1; }
  void setTopLine(int line1);
  int leftChar() const { return leftChar_ + 1; }
  void setLeftChar(int col1);
  int linesInWindow() const { return linesInWindow_; }
  void setLinesInWindow(int n);
  int charsInWindow() const { return charsInWindow_; }
  void setCharsInWindow(int n);
  void ensureCaretVisible();
  bool wordWrap() const { return wordWrap_; }
  void setWordWrap(bool on) { wordWrap_ = on; }
  int wrapWidth() const { return wrapWidth_ > 0 ? wrapWidth_ : std::max(1, charsInWindow_); }
  void setWrapWidth(int columns) { wrapWidth_ = columns; }  // 0: the window width

  // ---- modes and settings ----
  bool insertMode() const { return insertMode_; }
  void setInsertMode(bool on);
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool on);
  EditorOptions options() const { return options_; }
  void setOptions(EditorOptions o) { options_ = o; }
  bool has(EditorOption o) const { return options_.has(o); }
  int tabWidth() const { return tabWidth_; }
  void setTabWidth(int w) { tabWidth_ = std::clamp(w, 1, 256); }
  int blockIndent() const { return blockIndent_; }
  void setBlockIndent(int n) { blockIndent_ = std::clamp(n, 1, 256); }
  void setHighlighter(Highlighter* h);
  Highlighter* highlighter() const { return highlighter_; }
  // Highlighter ranges at line starts, kept in step with the text; null without a highlighter.
  // Call invalidate() on it when the highlighter's configuration changes.
  RangeCache* rangeCache() const { return ranges_.get(); }
  // How bytes form characters: in UTF-8 the caret and selection never stop inside a sequence,
  // and Backspace and Delete remove whole characters. The other sets are one byte per character.
  DisplayCharset displayCharset() const { return charset_; }
  void setDisplayCharset(DisplayCharset cs);
  void setClipboard(EditorClipboard* c) { clipboard_ = c; }
  KeyStrokes& keystrokes() { return keystrokes_; }

  // ---- commands ----
  void executeCommand(EditorCommand command, char ch = 0, CommandData data = {});
  // Runs the command bound to the key, if any; true when one was bound.
  bool executeKey(std::uint16_t key, std::uint8_t shift);

  // ---- undo ----
  bool canUndo() const { return !readOnly_ && undo_.canUndo(); }
  bool canRedo() const { return !readOnly_ && undo_.canRedo(); }
  void undo();
  void redo();
  void clearUndo();
  void clearRedo() { undo_.clearRedo(); }
  void clearUndoRedo();
  std::size_t undoTextBytes() const { return undo_.textBytes(); }
  // Edits between these calls undo as one step (nesting counts).
  void beginUndoBlock();
  void endUndoBlock();
  // The undo/redo painting lock: takes the paint-transient handler away and locks updates.
  void beginUndoPaintLock();
  void endUndoPaintLock();
  bool updateLocked() const { return updateLock_ > 0; }
  void beginUpdate() { ++updateLock_; }
  void endUpdate() { updateLock_ = std::max(0, updateLock_ - 1); }

  // The modified flag follows the undo position: undoing back to the saved state clears it.
  bool modified() const { return modifiedForced_ || undo_.position() != savedPosition_; }
  void setModified(bool on);

  // ---- what the program adds ----
  void trimLine(int line1);               // when eoTrimTrailingSpaces is on
  bool removeTrailingBlanks();            // selection or whole text; true when changed
  bool convertTabsAndSpaces(bool toSpaces, int width);
  bool removeComments();                  // needs a highlighter
  char charAtCaret() const;               // 0 beyond the line end
  bool multiLineOperation() const { return multiLineOp_; }
  void setMultiLineOperation(bool on) { multiLineOp_ = on; }
  // Replaces the text between two positions (1-based) as one edit; returns the end of the new text.
  BufferCoord replaceRange(BufferCoord from, BufferCoord to, std::string_view text);

  // ---- marks ----
  std::optional<BufferCoord> marker(int n) const;
  void setMarker(int n, std::optional<BufferCoord> p);

  // ---- events ----
  // Before a control command runs; set the command to ecNone to cancel it or change it.
  std::function<void(EditorCommand&, char&, CommandData&)> onProcessCommand;
  // Before a user command (numbers from ecUserFirst) runs; the control does nothing with it.
  std::function<void(EditorCommand&, char&, CommandData&)> onProcessUserCommand;
  std::function<void(EditorCommand, char, const CommandData&)> onCommandProcessed;
  std::function<void()> onChange;
  std::function<void(unsigned)> onStatusChange;  // StatusChange bits
  std::function<void(TransientType)> onPaintTransient;
  std::function<void()> onAutoCompletion;  // ecAutoCompletion

  // Helpers for the view and tests.
  static BufferCoord toCoord(TextPos p) { return {p.col + 1, p.line + 1}; }
  static TextPos toPos(BufferCoord c) { return {c.Line - 1, c.Char - 1}; }
  CaretState caretState() const { return {caret_, selAnchor_, selEnd_, mode_}; }
  void setCaretState(const CaretState& s);

 private:
  class Batch;
  friend class Batch;

  // primitives
  TextPos edit(TextPos from, TextPos to, std::string_view text, UndoReason reason = UndoReason::Other);
  TextPos clampCaret(TextPos p) const;
  TextPos clampText(TextPos p) const;  // inside the text, at a character start
  int charStart(std::string_view s, int col) const;     // start of the character holding col
  int charStartAfter(std::string_view s, int col) const;  // col when it starts one, else the next
  int nextChar(std::string_view s, int col) const;
  // Screen cells from byte from to byte to (tab stops counted from `from`); bytes past the end
  // of the line count one cell each.
  int cellsBetween(std::string_view s, int from, int to) const;
  // The byte column `cells` cells after from, not going past limit, except that at the line's end
  // the remaining cells count as columns past it.
  int columnAtCells(std::string_view s, int from, int limit, int cells) const;
  int caretX() const;  // the caret's screen column (within its display row under word wrap)
  // Vertical moves aim for the caret's own column again (worked out when needed: on a very long
  // line that costs a scan, too much for every keystroke).
  void rememberX() { desiredCol_ = -1; }
  int desiredX() const { return desiredCol_ >= 0 ? desiredCol_ : caretX(); }
  TextPos moveRows(TextPos p, int delta, int x) const;
  void closeUndoGroup();
  void moveCaret(TextPos p, bool select);
  void status(unsigned bits) { pendingStatus_ |= bits; }
  void changed() { textChanged_ = true; }
  void flush();
  bool isWordChar(unsigned char c) const;
  std::vector<int> rowsOf(int line) const;

  // commands
  void runCommand(EditorCommand c, char ch, const CommandData& data);
  bool wrapHomeEnd(EditorCommand c);
  void doMove(EditorCommand c, const CommandData& data);
  void deleteSelection();
  void typeChar(char ch) { typeChars(std::string_view(&ch, 1)); }
  void typeChars(std::string_view ch);  // one character's bytes
  void typeString(std::string_view text);
  void insertText(std::string_view text);
  void lineBreak(bool moveCaret);
  void deleteLastChar();
  void deleteChar();
  void tab();
  void shiftTab();
  void blockIndentCmd();
  void blockUnindentCmd();
  struct LineBracket {
    int col;
    char ch;
    int kind;  // 0 code, 1 comment, 2 string
  };
  void lineBrackets(int line, char a, char b, std::vector<LineBracket>& out) const;
  void matchBracket();
  void changeCase(EditorCommand c);
  void copy();
  void cut();
  void paste();
  void selectWord();
  void replaceLines(int first, int last, const std::vector<std::string>& newLines, bool keepAfterBreak);
  std::pair<TextPos, TextPos> orderedSel() const;
  bool transformLines(const std::function<std::string(std::string_view)>& fn);

  TextBuffer buffer_;
  UndoList undo_;
  std::uint64_t savedPosition_ = 0;
  bool modifiedForced_ = false;
  TextPos caret_;
  TextPos selAnchor_;
  TextPos selEnd_;
  SelectionMode mode_ = SelectionMode::Normal;
  int desiredCol_ = -1;  // screen column that vertical moves aim for (eoKeepCaretX); -1 the caret's
  DisplayCharset charset_ = DisplayCharset::Utf8;
  int topLine_ = 0;
  int leftChar_ = 0;
  int linesInWindow_ = 25;
  int charsInWindow_ = 80;
  bool wordWrap_ = false;
  int wrapWidth_ = 0;
  bool insertMode_ = true;
  bool readOnly_ = false;
  EditorOptions options_;
  int tabWidth_ = 8;
  int blockIndent_ = 2;
  Highlighter* highlighter_ = nullptr;
  std::unique_ptr<RangeCache> ranges_;  // follows buffer_, so declared after it
  EditorClipboard* clipboard_ = nullptr;
  std::unique_ptr<MemoryClipboard> ownClipboard_;
  KeyStrokes keystrokes_;
  int undoBlockDepth_ = 0;
  bool undoBlockFresh_ = false;  // the next edit in the block starts its group
  int undoPaintLock_ = 0;
  std::function<void(TransientType)> savedPaintTransient_;
  int updateLock_ = 0;
  bool multiLineOp_ = false;
  std::array<std::optional<TextPos>, 10> markers_;
  unsigned pendingStatus_ = 0;
  bool textChanged_ = false;
  int batchDepth_ = 0;
  struct Snapshot {
    CaretState caret;
    int top = 0;
    int left = 0;
    bool insert = true;
    bool modified = false;
    bool readOnly = false;
  } snap_;
  CaretState stateBefore_;  // at the start of the outermost operation
  CaretState blockBefore_;  // at the start of the outermost undo block
  bool touched_ = false;    // the top undo group got an item in this operation
};

}  // namespace qv
