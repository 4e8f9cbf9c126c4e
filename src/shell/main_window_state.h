// The main window's decisions that need no window: tab order and the active document, the
// recent lists, the painting lock count, the window list and what is remembered of open files.
#pragma once
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/command_line.h"
#include "shell/startup.h"

namespace qv {

class Registry;

inline constexpr std::size_t kRecentListSize = 30;

// A most-recently-used list of file names, newest first, without duplicates.
class RecentList {
 public:
  explicit RecentList(std::size_t capacity = kRecentListSize) : capacity_(capacity) {}

  // Puts the name at the top (moving it there when listed); the oldest falls off.
  void add(const std::string& name);
  void remove(const std::string& name);
  bool empty() const { return items_.empty(); }
  const std::vector<std::string>& items() const { return items_; }

  // Values MRU1 ... MRU<capacity> of the key; empty and missing entries are skipped.
  void Load(Registry& reg, std::string_view key);
  // Writes MRU1 ... in order and deletes the positions beyond the list.
  void Save(Registry& reg, std::string_view key) const;

 private:
  std::size_t capacity_;
  std::vector<std::string> items_;
};

// The documents in tab order (the document order everywhere in the program) and the active one.
// Invariant: the active document, when set, is one of the tabs.
class DocumentOrder {
 public:
  const std::vector<DocumentHandle>& tabs() const { return tabs_; }
  int count() const { return static_cast<int>(tabs_.size()); }
  std::optional<DocumentHandle> active() const { return active_; }
  std::optional<int> indexOf(DocumentHandle doc) const;
  std::optional<DocumentHandle> at(int index) const;

  // Inserts right of the active document's tab (appends when none is active); the new document
  // becomes active. Returns its index.
  int insert(DocumentHandle doc);
  // Removes a document. Returns the one whose tab is selected next: the tab now at the same
  // position, or the last tab when the removed one was last; nothing when no tab remains.
  std::optional<DocumentHandle> remove(DocumentHandle doc);
  // A tab dragged from one position to another.
  void move(int from, int to);
  // Ignored for a document that has no tab.
  void setActive(std::optional<DocumentHandle> doc);

  // The next (after the last: the first) or previous (before the first: the last) document in
  // tab order; nothing when no document is active.
  std::optional<DocumentHandle> neighbour(bool forward) const;
  // Alt+1 ... Alt+9 give tabs 1 to 9, Alt+0 the tenth; nothing beyond the last tab.
  std::optional<DocumentHandle> byAltDigit(int digit) const;

 private:
  std::vector<DocumentHandle> tabs_;
  std::optional<DocumentHandle> active_;
};

// A nesting counter of painting locks; only the outermost begin and end change the screen.
class PaintLockCount {
 public:
  // True when this call locks the window (the count left 0).
  bool begin() { return count_++ == 0; }
  // True when this call unlocks the window (the count returned to 0); never below 0.
  bool end() {
    if (count_ == 0) return false;
    return --count_ == 0;
  }
  int count() const { return count_; }

 private:
  int count_ = 0;
};

// Items of the Window menu: the first nine names as "&1 name" ... "&9 name" ("&" in a name is
// doubled so it shows as itself).
std::vector<std::string> WindowMenuCaptions(const std::vector<std::string>& fileNames);

// A file named alone on the command line: a name without a folder is taken in currentDir.
std::string CommandLineFileName(const std::string& name, const std::filesystem::path& currentDir);
// Creates the empty file that holds a new document's place; false (creating nothing) when the
// name exists already or cannot be created.
bool CreatePlaceholderFile(const std::string& name);

// A document as the last-open-files list sees it.
struct OpenDocumentInfo {
  std::string fileName;
  bool fileMissing = false;
  bool projectFile = false;  // returns with its project
};

// What to remember for the next start: every named non-project document in tab order, the
// active one when it has a file, and the open project.
LastOpenFiles CollectLastOpenFiles(const std::vector<OpenDocumentInfo>& tabs,
                                   std::optional<int> activeIndex, const std::string& project);
// Deletes key LastOpenFiles; writes it anew only when startAction is 2.
void SaveLastOpenFiles(Registry& reg, int startAction, const LastOpenFiles& last);
// Project, File0 ... File<FilesCount-1> (empty and missing ones skipped) and ActiveFile.
LastOpenFiles LoadLastOpenFiles(Registry& reg);

// Height of the file tab row in pixels: 23 for one row; with several rows allowed, 19 a row
// plus 4 (0 for none).
int TabRowHeight(int rows, bool multiline);
// The row each tab goes into when tabs of these widths wrap at the available width, in order;
// a tab wider than a whole row gets a row of its own.
std::vector<int> WrapTabRows(const std::vector<int>& widths, int available);

}  // namespace qv
