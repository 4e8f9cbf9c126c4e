// A document's file operations: the save name, backups, writing, copy, rename and revert.
#pragma once
#include <optional>
#include <string>

#include "documents/text_format.h"
#include "editor/text_buffer.h"

namespace qv {

class Document;

// Owned by its document; asks the user through the document's prompter.
class TEditorFileHandler {
 public:
  explicit TEditorFileHandler(Document& editor) : editor_(editor) {}

  std::string BackupFileName() const;
  bool MakeBackup();
  bool BackupExists() const;
  void RevertToBackup();
  bool CanRevertToSaved() const;
  void RevertToSaved();
  bool CanRename() const;
  bool RenameTo(const std::string& newName);
  // The name to save to, or nothing when the user cancelled.
  std::optional<std::string> AskSaveName(bool forceDialog);
  // The save dialog for Write Block To File: same filters, overwrite question, no read-only one.
  std::optional<std::string> AskBlockFileName();
  // Writes the document's lines in the format; a read-only target or a failed write gives false
  // and leaves any file already there untouched.
  bool WriteLines(const TextBuffer& lines, TTextFormat format, const std::string& name);
  void CopyTo();
  void SaveViewState();
  void RestoreViewState();

 private:
  std::optional<std::string> RunSaveDialog(bool rememberExtension);

  Document& editor_;  // the owner
  TextPos savedCaret_;
  int savedTopLine_ = 0;
  int savedLeftChar_ = 0;
};

// Owner-write permission is what the read-only attribute means here.
bool IsReadOnlyFile(const std::string& name);
bool ClearReadOnly(const std::string& name);

}  // namespace qv
