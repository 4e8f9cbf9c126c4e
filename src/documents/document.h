// One open file without its window: name, state flags, caption and status texts, change
// detection and the close question. The window (TfmEditor) renders it.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "documents/backup.h"
#include "documents/document_view.h"
#include "documents/text_format.h"
#include "editor/editor.h"
#include "editor/text_buffer.h"
#include "platform/prompter.h"

namespace qv {

class Document;
class TEditorFileHandler;

// The settings documents read, filled from the environment options by the owner.
struct DocumentSettings {
  BackupSettings backup;
  int tabsMode = 1;  // 0 hard tabs, 1 tabs to spaces
  int tabWidth = 8;
  bool undoAfterSave = true;
  bool autoUpdateChangedFiles = false;
};

// The highlighter picked for a file name: its index in the table and its dialog filter pair.
struct HighlighterChoice {
  int index = 0;
  std::string filter;  // "Description|*.ext;*.ext2", empty for none
};

// What every document shares with the rest of the program; owned by the main window and
// outliving its documents. Hooks left empty do nothing.
struct DocumentServices {
  Prompter* prompter = nullptr;
  DocumentSettings settings;
  std::string highlighterFilters;  // filter pairs of all highlighters, after "All files"
  std::function<HighlighterChoice(const std::string& fileName)> selectHighlighter;
  std::function<void(const std::string& fileName)> addRecentFile;
  std::function<void(const std::string& folder)> noteLastDir;
  std::function<void(Document&, const std::string& newName)> fileRenamed;  // project manager
  std::function<void(Document&)> recordPosition;                           // position history
  std::function<void(Document&)> restorePosition;
  std::function<void(Document&)> fileLoaded;  // tells the compare results window
  std::function<void(Document&)> activate;
  std::function<void(Document&)> close;       // closes the document's window
  // Raised by the project manager before loading one of its entries; every load clears it.
  bool projectLoad = false;
  // Set while a change check shows a question, so reactivation does not start another.
  bool changeCheckRunning = false;
};

// The eight status panels, in order.
enum StatusPanel { spCaret, spInsertMode, spSelMode, spRecording, spModified, spFormat,
                   spFileSize, spStatusMsg, kStatusPanelCount };

class Document {
 public:
  explicit Document(DocumentServices& services);
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // The document's editor control; its buffer is the document's text.
  Editor& editor() { return *editor_; }
  const Editor& editor() const { return *editor_; }
  const TextBuffer& lines() const { return editor_->lines(); }
  DocumentView& view() { return *view_; }
  const DocumentView& view() const { return *view_; }
  TEditorFileHandler& fileHandler() { return *handler_; }
  DocumentServices& services() { return services_; }

  // Called whenever the caption or a status text may have changed.
  void setStateListener(std::function<void()> listener) { stateListener_ = std::move(listener); }

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name);
  // The untitled name "Edit<n>" of the New command.
  void SetUntitledName(int counter);
  bool Modified() const { return modified_; }
  void SetModified(bool value);
  TTextFormat TextFormat() const { return textFormat_; }
  void SetTextFormat(TTextFormat value);
  bool Locked() const { return locked_; }
  void SetLocked(bool value);
  bool NewFile() const { return newFile_; }
  void SetNewFile(bool value) { newFile_ = value; }
  bool FileMissing() const { return fileMissing_; }
  void SetFileMissing(bool value) { fileMissing_ = value; }
  bool PlaceholderFile() const { return placeholderFile_; }
  void SetPlaceholderFile(bool value) { placeholderFile_ = value; }
  bool InitialBlank() const { return initialBlank_; }
  void SetInitialBlank(bool value) { initialBlank_ = value; }
  bool ProjectFile() const { return projectFile_; }
  void SetProjectFile(bool value) { projectFile_ = value; }
  bool MacroIsRecording() const { return macroIsRecording_; }
  void SetMacroIsRecording(bool value);
  bool ReadOnlyOnDisk() const { return readOnlyOnDisk_; }
  bool KeptAfterDeletion() const { return keptAfterDeletion_; }
  bool NamingNewDocument() const { return namingNew_; }
  void SetNamingNewDocument(bool value) { namingNew_ = value; }
  const HighlighterChoice& Highlighter() const { return highlighter_; }
  void SetHighlighter(HighlighterChoice choice) { highlighter_ = std::move(choice); hasHighlighter_ = true; }

  // The break written for the marked formats: the one the file was loaded with, else CR LF.
  LineBreak MarkedLineBreak() const { return markedBreak_; }
  void SetMarkedLineBreak(LineBreak b) { markedBreak_ = b; }
  // The odd last byte of a UTF-16 file, written back after the text.
  std::optional<unsigned char> StrayByte() const { return strayByte_; }

  // Caption: name, " *#" marks, " [ReadOnly]"; the tab shows its file-name part, "&" doubled.
  std::string Caption() const;
  std::string TabText() const;
  std::string StatusText(StatusPanel panel) const;
  std::array<std::string, kStatusPanelCount> StatusTexts() const;
  // The blink of "Recording": flips panel 3 between shown and empty.
  void BlinkRecording();
  // Panel 7 when text is selected: "%d chars%s selected." with ", %d lines" for several lines.
  std::string SelectionStatus() const;

  // Re-reads the read-only bit of the file; true when it changed.
  bool RefreshReadOnly();
  void RememberFileTime();
  std::int64_t FileSize() const { return fileSize_; }
  void ShowFileSize();

  // Reading and writing.
  bool LoadFromFile(const std::string& name, bool restorePosition);
  bool Save(bool saveAs);
  void AfterSave(bool ok, const std::string& name);
  bool InsertFile(const std::string& name);
  bool AppendFile(const std::string& name);
  // Writes the selection, every line followed by CR LF; shows "Error saving" on failure.
  bool WriteSelectionToFile(const std::string& name);

  // Change detection and reload.
  void CheckFileOnDisk();
  bool ReloadFromDisk();

  // The close question, then the steps before the window goes. False keeps the document open.
  bool CloseQuery();

  // Shows "Error opening '%s'." for the name.
  void ReportOpenError(const std::string& name);

 private:
  void changed();
  void onTextChanged();
  bool readInto(const std::string& name, std::string& error);

  DocumentServices& services_;
  std::unique_ptr<Editor> editor_;
  std::unique_ptr<EditorDocumentView> view_;
  std::unique_ptr<TEditorFileHandler> handler_;
  std::function<void()> stateListener_;
  bool loading_ = false;  // text changes while loading do not count as edits

  std::string fileName_;
  HighlighterChoice highlighter_;
  bool hasHighlighter_ = false;
  TTextFormat textFormat_ = TTextFormat::tfNormal;
  LineBreak markedBreak_ = LineBreak::CrLf;
  std::optional<unsigned char> strayByte_;
  bool modified_ = false;
  bool locked_ = false;
  bool newFile_ = false;
  bool fileMissing_ = true;
  bool placeholderFile_ = false;
  bool initialBlank_ = false;
  bool projectFile_ = false;
  bool macroIsRecording_ = false;
  bool recordingShown_ = false;
  bool readOnlyOnDisk_ = false;
  bool keptAfterDeletion_ = false;
  bool namingNew_ = false;
  std::optional<std::int64_t> fileTime_;  // modification time (ns) at the last load or save
  std::int64_t fileSize_ = 0;
};

}  // namespace qv
