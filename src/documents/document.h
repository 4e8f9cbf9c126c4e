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
struct TEditorCfg;

// The settings documents read, filled from the environment options by the owner.
struct DocumentSettings {
  BackupSettings backup;
  int tabsMode = 1;  // 0 hard tabs, 1 tabs to spaces
  int tabWidth = 8;
  bool undoAfterSave = true;
  bool autoUpdateChangedFiles = false;
  bool showRightMargin = false;  // Global\\WordWrap: margin line drawn, draggable
  bool hideMouseWhenTyping = true;
};

// How the window shows a document's editor, derived from the editor configuration.
struct DocumentViewSettings {
  FontSpec editorFont;
  FontSpec oemFont{"Terminal", 14};
  FontSpec gutterFont{"Courier New", 8};
  int extraLineSpacing = 0;
  int insertCaretShape = 0;     // 0 vertical, 1 horizontal, 2 half block, 3 block
  int overwriteCaretShape = 3;
  int rightEdge = 80;           // 0: no margin line
  int gutterWidth = 30;         // 0: no gutter
  bool lineNumbers = false;
  bool wordwrapGlyph = true;
  bool lineSelectCursor = true;  // the gutter shows the line-select pointer
  bool hideMouseWhenTyping = true;
};

// Help on a keyword: the help file and the word to look up.
struct HelpRequest {
  std::string file;
  std::string keyword;
  bool keywordLookup = false;  // a ".HLP" file opened at the keyword; else the file is opened
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
  // The macro recorder: every command that is not cancelled.
  std::function<void(EditorCommand, char, const CommandData&)> recordCommand;
  // The help file of the document's highlighter (empty for none).
  std::function<std::string(const HighlighterChoice&)> highlighterHelpFile;
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
  const TEditorFileHandler& fileHandler() const { return *handler_; }
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

  // ---- the editor control's settings and display state ----
  // Applies the shared configuration to the editor (options with the derived ones, tabs,
  // indent, trimming) and derives how the window shows it.
  void ApplyEditorConfig(const TEditorCfg& cfg);
  const DocumentViewSettings& ViewSettings() const { return viewSettings_; }
  bool ColorCurrentLine() const { return colorCurrentLine_; }
  void SetColorCurrentLine(bool value);
  bool OverrideTxtFgColor() const { return !editor_->has(EditorOption::eoSpecialLineDefaultFg); }
  void SetOverrideTxtFgColor(bool value);
  bool OEMView() const { return oemView_; }
  void SetOEMView(bool value);
  bool Wordwrap() const { return editor_->wordWrap(); }
  void SetWordwrap(bool value);
  bool RulerVsbl() const { return rulerVsbl_; }
  void SetRulerVsbl(bool value);
  bool EmphasizeWord() const { return emphasizeWord_; }
  void SetEmphasizeWord(bool value);
  const std::string& EmphasizedWord() const { return emphasizedWord_; }
  void SetEmphasizedWord(std::string word);
  // 1-based caret line at the previous status change, -1 before the first.
  int LastCaretLine() const { return lastCaretLine_; }

  // ---- the user's actions ----
  // The keys handled before the control (virtual key, shift bits); true when consumed.
  // F1 is not consumed here: the window asks HelpOnKeyword.
  bool HandleKey(std::uint16_t key, std::uint8_t shift);
  // A click in the gutter released on the line it was pressed on: selects the whole line.
  void SelectGutterLine(int line1);
  // The keyword at the caret (or the selection) with the highlighter's help file.
  std::optional<HelpRequest> HelpOnKeyword() const;
  // Saves first when modified; the file to open with the shell, or nothing.
  std::optional<std::string> PrepareOpenInShell();
  // The right edge for a margin dragged to the 1-based column under the mouse; nothing when
  // the column is too small.
  static std::optional<int> RightEdgeFromDrag(int column1);
  // Puts the caret at (column + 1, line + 1).
  void SetCaret(int column0, int line0);

  // Queries for the main window's command states.
  bool CanCopy() const { return editor_->selAvail(); }
  bool CanCut() const { return editor_->selAvail() && !locked_; }
  bool CanUndo() const { return editor_->canUndo() && !locked_; }
  bool CanRedo() const { return editor_->canRedo() && !locked_; }

 private:
  void changed();
  void onTextChanged();
  void onStatusChange(unsigned bits);
  void onProcessCommand(EditorCommand& command, char& ch, CommandData& data);
  void onCommandProcessed(EditorCommand command, char ch, const CommandData& data);
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

  DocumentViewSettings viewSettings_;
  bool colorCurrentLine_ = false;
  bool oemView_ = false;
  bool rulerVsbl_ = false;
  bool emphasizeWord_ = false;
  std::string emphasizedWord_;
  int lastCaretLine_ = -1;
  bool typedLineBreak_ = false;  // the caret move comes from Enter: the left line is kept
};

}  // namespace qv
