// Undo and redo history.
#include "editor/undo_list.h"

namespace qv {

void UndoList::add(UndoItem item, const CaretState& before, const CaretState& after, bool join) {
  redo_.clear();
  if (join && !undo_.empty() && undo_.back().open) {
    undo_.back().items.push_back(std::move(item));
    undo_.back().after = after;
    return;
  }
  if (!undo_.empty()) undo_.back().open = false;
  UndoGroup g;
  g.id = nextId_++;
  g.items.push_back(std::move(item));
  g.before = before;
  g.after = after;
  g.open = true;
  undo_.push_back(std::move(g));
}

void UndoList::closeGroup() {
  if (!undo_.empty()) undo_.back().open = false;
}

UndoGroup UndoList::popUndo() {
  UndoGroup g = std::move(undo_.back());
  undo_.pop_back();
  g.open = false;
  return g;
}

std::size_t UndoList::textBytes() const {
  std::size_t n = 0;
  for (const auto* list : {&undo_, &redo_})
    for (const UndoGroup& g : *list)
      for (const UndoItem& i : g.items) n += i.removed.size() + i.inserted.size();
  return n;
}

UndoGroup UndoList::popRedo() {
  UndoGroup g = std::move(redo_.back());
  redo_.pop_back();
  return g;
}

}  // namespace qv
