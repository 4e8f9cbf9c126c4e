// The position history: where the user was in every file worked on (top line, caret, wrap,
// bookmarks, a hand-chosen highlighter), kept most recent first in "QuirvanePos.ini".
#pragma once
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "documents/bookmarks.h"

namespace qv {

class Editor;
class HighlighterTable;
struct THighLighter;

// One file's remembered state; positions are 1-based.
struct TFilePosRec {
  int TopLine = 1;
  int CaretX = 1;
  int CaretY = 1;
  bool WordWrap = false;
  std::string Highlighter;  // empty unless chosen by hand
  TBookmarkList Bookmarks;
  bool operator==(const TFilePosRec&) const = default;
};

inline constexpr std::size_t kMaxFilePosLines = 500;
inline constexpr std::string_view kFilePosFileName = "QuirvanePos.ini";

// "\"name\"|top,x,y|(i:x,y);...|highlighter|wrap". Empty for a name the line form cannot hold
// (a double quote or a line break inside it).
std::string FormatFilePosLine(std::string_view fileName, const TFilePosRec& rec);
// The name and record of one line; nothing for a line that carries no name.
std::optional<std::pair<std::string, TFilePosRec>> ParseFilePosLine(std::string_view line);

// The highlighter name a document stores: the entry's name when it is not the one the file
// name selects, else empty.
std::string HandChosenHighlighter(HighlighterTable& table, std::string_view fileName,
                                  const THighLighter* current);

// What Restore found for the caller to apply beyond the editor.
struct FilePosRestore {
  bool found = false;
  std::optional<bool> wordWrap;  // set when the document's wrap is to be set
  std::string highlighter;       // the stored hand-chosen highlighter name, if any
};

class TFilePosHistory {
 public:
  using Entry = std::pair<std::string, TFilePosRec>;

  // The file in the application-data folder.
  static std::filesystem::path DefaultFile();
  explicit TFilePosHistory(std::filesystem::path file = DefaultFile());
  // Writes the file when enabled (the end of a run).
  ~TFilePosHistory();
  TFilePosHistory(const TFilePosHistory&) = delete;
  TFilePosHistory& operator=(const TFilePosHistory&) = delete;

  bool Enabled() const { return enabled_; }
  // A change reads the file when it was not read yet.
  void SetEnabled(bool on);
  bool Loaded() const { return loaded_; }

  // The record of a file (whole name compared) and its place in the list; nothing when disabled.
  const TFilePosRec* Find(std::string_view fileName, int* position = nullptr) const;
  // Puts the record at the top of the list (replacing the file's old one).
  void Store(const std::string& fileName, TFilePosRec rec);
  // Records an editor's state for the file.
  void Store(const Editor& editor, const std::string& fileName, std::string highlighterName);
  // Applies the stored state to an editor just loaded with the file. Nothing while a project
  // is being opened; without a record only the default wrap is handed back.
  FilePosRestore Restore(Editor& editor, std::string_view fileName, bool wordwrapByDefault,
                         bool projectLoading) const;

  // The entries of a history file's text: its first kMaxFilePosLines lines, damaged ones skipped.
  static std::vector<Entry> ParseText(std::string_view text);
  // Reads at most the first kMaxFilePosLines lines; false when the file is missing or unreadable.
  bool ReadFile();
  // Replaces the file whole (never half-written); false on failure, which leaves the old file.
  bool WriteFile() const;

  const std::vector<Entry>& entries() const { return entries_; }
  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
  std::vector<Entry> entries_;  // most recently stored first
  bool enabled_ = false;
  bool loaded_ = false;
};

}  // namespace qv
