// Undo and redo history: each step is a group of text replacements with the caret and
// selection before and after it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "editor/clipboard.h"
#include "editor/text_buffer.h"

namespace qv {

// Caret and selection as the editor keeps them (0-based).
struct CaretState {
  TextPos caret;
  TextPos selAnchor;
  TextPos selEnd;
  SelectionMode mode = SelectionMode::Normal;
  bool operator==(const CaretState&) const = default;
};

// Why an edit happened; consecutive typing or deleting of one kind can join one group.
enum class UndoReason : std::uint8_t { Other, Typing, DeleteBack, DeleteForward };

// One replacement: the text between from and removedEnd became the text up to insertedEnd.
// Texts hold lines joined with LF (lines never contain a break themselves). Only the side that is
// not in the buffer is kept: on the undo list `removed` (inserted is empty), on the redo list
// `inserted` (removed is empty); the other side is read back from the buffer when needed, so a
// replace-all over a big file does not hold its new text twice.
struct UndoItem {
  TextPos from;
  TextPos removedEnd;
  TextPos insertedEnd;
  std::string removed;
  std::string inserted;
  UndoReason reason = UndoReason::Other;
};

struct UndoGroup {
  std::uint64_t id = 0;  // unique over the editor's life; ties the modified flag to a position
  std::vector<UndoItem> items;
  CaretState before;
  CaretState after;
  bool open = false;  // typing may still be added
};

class UndoList {
 public:
  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  void clearUndo() { undo_.clear(); }
  void clearRedo() { redo_.clear(); }
  void clear() {
    undo_.clear();
    redo_.clear();
  }

  // Records an item; joins the open group when grouping applies, else starts a group.
  void add(UndoItem item, const CaretState& before, const CaretState& after, bool join);
  // Closes the top group so that the next edit starts a new one.
  void closeGroup();
  UndoGroup* top() { return undo_.empty() ? nullptr : &undo_.back(); }

  UndoGroup popUndo();
  UndoGroup popRedo();
  void pushUndo(UndoGroup g) { undo_.push_back(std::move(g)); }
  void pushRedo(UndoGroup g) { redo_.push_back(std::move(g)); }

  // Id of the newest group on the undo list (0 when empty).
  std::uint64_t position() const { return undo_.empty() ? 0 : undo_.back().id; }
  std::size_t undoCount() const { return undo_.size(); }
  // Bytes of text held by both lists (what the history costs in memory, roughly).
  std::size_t textBytes() const;
  std::size_t redoCount() const { return redo_.size(); }

 private:
  std::vector<UndoGroup> undo_;
  std::vector<UndoGroup> redo_;
  std::uint64_t nextId_ = 1;
};

}  // namespace qv
