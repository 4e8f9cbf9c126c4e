// A document's state, its caption and status texts, loading and saving, change detection.
#include "documents/document.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "config/text_helpers.h"
#include "documents/atomic_file.h"
#include "documents/document_messages.h"
#include "documents/text_file_handler.h"

namespace qv {
namespace fs = std::filesystem;

namespace {

// Lines and columns are 32-bit in the editor; larger files are refused with a message.
constexpr std::uintmax_t kMaxLoadBytes = INT_MAX;

std::string FileNamePart(const std::string& name) {
  const std::size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string UpperExtension(const std::string& name) {
  const std::string base = FileNamePart(name);
  const std::size_t dot = base.find_last_of('.');
  std::string ext = dot == std::string::npos ? std::string() : base.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

std::optional<std::int64_t> ModificationTime(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return std::nullopt;
  return std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// The whole of a regular file, or its first `limit` bytes; a folder, a device or a file too
// large is refused.
bool ReadWholeFile(const std::string& name, std::string& data, std::string& error,
                   std::uintmax_t limit = UINTMAX_MAX) {
  std::error_code ec;
  const fs::file_status status = fs::status(name, ec);
  if (!fs::exists(status)) {
    error = "file does not exist";
    return false;
  }
  if (!fs::is_regular_file(status)) {
    error = "not a regular file";
    return false;
  }
  const std::uintmax_t size = fs::file_size(name, ec);
  if (ec || size > kMaxLoadBytes) {
    error = ec ? ec.message() : "file too large";
    return false;
  }
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    error = "cannot open file";
    return false;
  }
  const std::uintmax_t wanted = std::min(size, limit);
  data.resize(wanted);
  in.read(data.data(), static_cast<std::streamsize>(wanted));
  if (static_cast<std::uintmax_t>(in.gcount()) != wanted) {
    error = "cannot read file";
    return false;
  }
  return true;
}

// Text assignment's split: CR LF, CR or LF; a break at the very end makes no empty last line.
std::vector<std::string_view> SplitTextLines(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    out.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) out.push_back(text.substr(start));
  return out;
}

LineBreak ToLineBreak(std::string_view brk) {
  return brk == "\n" ? LineBreak::Lf : brk == "\r" ? LineBreak::Cr : LineBreak::CrLf;
}

}  // namespace

Document::Document(DocumentServices& services)
    : services_(services),
      editor_(std::make_unique<Editor>()),
      view_(std::make_unique<EditorDocumentView>(*editor_)),
      handler_(std::make_unique<TEditorFileHandler>(*this)) {
  editor_->onChange = [this] { onTextChanged(); };
  editor_->onStatusChange = [this](unsigned bits) { onStatusChange(bits); };
  editor_->onProcessCommand = [this](EditorCommand& c, char& ch, CommandData& d) {
    onProcessCommand(c, ch, d);
  };
  editor_->onCommandProcessed = [this](EditorCommand c, char ch, const CommandData& d) {
    onCommandProcessed(c, ch, d);
  };
}

Document::~Document() = default;

void Document::changed() {
  if (stateListener_) stateListener_();
}

void Document::onTextChanged() {
  if (loading_) return;
  initialBlank_ = false;
  SetModified(true);
}

void Document::SetFileName(const std::string& name) {
  if (name != fileName_) {
    const bool extChanged = UpperExtension(name) != UpperExtension(fileName_);
    fileName_ = name;
    if (((extChanged && !namingNew_) || !hasHighlighter_) && services_.selectHighlighter) {
      SetHighlighter(services_.selectHighlighter(name));
    }
    placeholderFile_ = false;
    RefreshReadOnly();
    changed();
  }
  namingNew_ = false;
}

void Document::SetUntitledName(int counter) { SetFileName("Edit" + std::to_string(counter)); }

void Document::SetModified(bool value) {
  if (value == modified_) return;
  modified_ = value;
  changed();
}

void Document::SetTextFormat(TTextFormat value) {
  if (value == textFormat_) return;
  textFormat_ = value;
  modified_ = true;
  changed();
}

void Document::SetLocked(bool value) {
  if (value == locked_) return;
  locked_ = value;
  editor_->setReadOnly(value);
  changed();
}

void Document::SetMacroIsRecording(bool value) {
  macroIsRecording_ = value;
  recordingShown_ = value;
  changed();
}

void Document::BlinkRecording() {
  if (!macroIsRecording_) return;
  recordingShown_ = !recordingShown_;
  changed();
}

std::string Document::Caption() const {
  std::string caption = fileName_;
  std::string marks;
  if (modified_) marks += '*';
  if (locked_) marks += '#';
  if (!marks.empty()) caption += " " + marks;
  if (readOnlyOnDisk_) caption += " [" + MessageText(kMsgReadOnly) + "]";
  return caption;
}

std::string Document::TabText() const {
  return DoubleAmpersands(FileNamePart(fileName_) + Caption().substr(fileName_.size()));
}

std::string Document::SelectionStatus() const {
  const DocumentView& v = view();
  const TextPos begin = v.selectionBegin();
  const TextPos end = v.selectionEnd();
  if (begin == end) return {};
  std::int64_t chars = 0;
  if (v.selectionMode() == SelectionMode::Column) {
    chars = std::int64_t(end.line - begin.line + 1) * std::abs(end.col - begin.col);
  } else {
    chars = lines().offsetOf(end, 2) - lines().offsetOf(begin, 2);
  }
  std::string linesPart;
  if (end.line - begin.line >= 1) {
    linesPart = FormatText(", %d %s", {std::to_string(end.line - begin.line),
                                       MessageText(kMsgLines)});
  }
  return MessageText(kMsgCharsSelected, {std::to_string(chars), linesPart});
}

std::string Document::StatusText(StatusPanel panel) const {
  switch (panel) {
    case spCaret: {
      const TextPos caret = view().caret();
      return "Ln " + std::to_string(caret.line + 1) + ", Col " + std::to_string(caret.col + 1);
    }
    case spInsertMode:
      return MessageText(view().insertMode() ? kMsgInsert : kMsgOverwrite);
    case spSelMode:
      return MessageText(view().selectionMode() == SelectionMode::Normal ? kMsgSelNormal
                                                                         : kMsgSelColumn);
    case spRecording:
      return macroIsRecording_ && recordingShown_ ? MessageText(kMsgRecording) : std::string();
    case spModified:
      return modified_ ? MessageText(kMsgModifiedStatus) : std::string();
    case spFormat:
      return std::string(TextFormatStatusText(textFormat_));
    case spFileSize:
      if (fileSize_ == 0 || fileMissing_) return {};
      return MessageText(kMsgFileSize) + " " + std::to_string(fileSize_);
    case spStatusMsg:
      return SelectionStatus();
    case kStatusPanelCount:
      break;
  }
  return {};
}

std::array<std::string, kStatusPanelCount> Document::StatusTexts() const {
  std::array<std::string, kStatusPanelCount> texts;
  for (int i = 0; i < kStatusPanelCount; ++i) texts[i] = StatusText(static_cast<StatusPanel>(i));
  return texts;
}

bool Document::RefreshReadOnly() {
  const bool readOnly = !fileName_.empty() && IsReadOnlyFile(fileName_);
  if (readOnly == readOnlyOnDisk_) return false;
  readOnlyOnDisk_ = readOnly;
  changed();
  return true;
}

void Document::RememberFileTime() { fileTime_ = ModificationTime(fileName_); }

void Document::ShowFileSize() {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(fileName_, ec);
  fileSize_ = ec ? 0 : static_cast<std::int64_t>(size);
  changed();
}

void Document::ReportOpenError(const std::string& name) {
  ShowErrorMessage(services_.prompter, MessageText(kMsgErrorOpening, {name}));
}

bool Document::readInto(const std::string& name, std::string& error) {
  // The first block decides the format. An 8-bit file then streams into the editor, so a large
  // file is never held twice; a marked file is read whole to be decoded.
  std::string data;
  if (!ReadWholeFile(name, data, error, kDetectSampleSize)) return false;
  const TTextFormat format = DetectTextFormatFromSample(data);
  const bool marked = IsMarkedFormat(format);
  if (marked && !ReadWholeFile(name, data, error)) return false;
  loading_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{loading_};
  if (!marked) {
    const BufferIoResult loaded = editor_->loadFile(name);
    if (!loaded.ok) {
      error = loaded.error;
      return false;
    }
    textFormat_ = format;
    strayByte_.reset();
    return true;
  }
  textFormat_ = format;
  strayByte_.reset();
  auto decoded = DecodeMarkedText(data, format);
  if (!decoded) {
    error = "damaged byte-order mark";
    return false;
  }
  data.clear();
  data.shrink_to_fit();
  markedBreak_ = ToLineBreak(DominantLineBreak(decoded->text));
  strayByte_ = decoded->strayByte;
  editor_->loadBytes(decoded->text);
  return true;
}

bool Document::LoadFromFile(const std::string& name, bool restorePosition) {
  const bool projectLoad = services_.projectLoad;
  services_.projectLoad = false;
  std::string error;
  const bool ok = readInto(name, error);
  if (ok) {
    fileMissing_ = false;
    newFile_ = false;
    keptAfterDeletion_ = false;
    SetFileName(name);
    if (!projectLoad && services_.addRecentFile) services_.addRecentFile(name);
    RememberFileTime();
  } else {
    SetFileName(name);
    std::error_code ec;
    fileMissing_ = !fs::exists(name, ec);
    newFile_ = false;
    if (fileMissing_) textFormat_ = TTextFormat::tfNormal;
  }
  if (ok && restorePosition && services_.restorePosition) services_.restorePosition(*this);
  if (services_.fileLoaded) services_.fileLoaded(*this);
  ShowFileSize();
  modified_ = false;
  changed();
  return ok;
}

bool Document::Save(bool saveAs) {
  const auto name = handler_->AskSaveName(saveAs);
  if (!name) return false;
  handler_->MakeBackup();
  const bool ok = handler_->WriteLines(lines(), textFormat_, *name);
  AfterSave(ok, *name);
  return ok;
}

void Document::AfterSave(bool ok, const std::string& name) {
  if (services_.fileRenamed) services_.fileRenamed(*this, name);
  SetFileName(name);
  if (services_.noteLastDir) services_.noteLastDir(fs::path(name).parent_path().string());
  if (services_.addRecentFile) services_.addRecentFile(name);
  if (!ok) {
    ShowErrorMessage(services_.prompter, MessageText(kMsgErrorSaving, {fileName_}));
    return;
  }
  RememberFileTime();
  fileMissing_ = false;
  newFile_ = false;
  placeholderFile_ = false;
  keptAfterDeletion_ = false;
  editor_->setModified(false);
  SetModified(false);
  if (services_.recordPosition) services_.recordPosition(*this);
  ShowFileSize();
  RefreshReadOnly();
  if (!services_.settings.undoAfterSave) view().clearUndo();
  changed();
}

namespace {

// The lines of a file to insert, tabs expanded when the settings ask for it, each with CR LF.
std::optional<std::string> InsertionText(const std::string& name, const DocumentSettings& s) {
  std::string data;
  std::string error;
  if (!ReadWholeFile(name, data, error)) return std::nullopt;
  std::string text;
  text.reserve(data.size() + data.size() / 16);
  for (std::string_view line : SplitTextLines(data)) {
    if (s.tabsMode == 1) {
      text += ExpandTabs(line, s.tabWidth);
    } else {
      text += line;
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace

bool Document::InsertFile(const std::string& name) {
  if (locked_) return false;
  const auto text = InsertionText(name, services_.settings);
  if (!text) {
    ReportOpenError(name);
    return false;
  }
  view().insertText(*text);
  view().centerCaretLine();
  return true;
}

bool Document::AppendFile(const std::string& name) {
  if (locked_) return false;
  auto text = InsertionText(name, services_.settings);
  if (!text) {
    ReportOpenError(name);
    return false;
  }
  DocumentView& v = view();
  v.setCaret(lines().endPos());
  if (v.caret().col != 0) text->insert(0, "\r\n");
  v.insertText(*text);
  v.setCaret({lines().lineCount() - 1, 0});
  v.centerCaretLine();
  return true;
}

bool Document::WriteSelectionToFile(const std::string& name) {
  const DocumentView& v = view();
  const TextPos begin = v.selectionBegin();
  const TextPos end = v.selectionEnd();
  std::string selected;
  if (v.selectionMode() == SelectionMode::Column) {
    const int left = std::min(begin.col, end.col);
    const int right = std::max(begin.col, end.col);
    for (int i = begin.line; i <= end.line; ++i) {
      const std::string_view line = lines().line(i);
      const auto from = std::min<std::size_t>(static_cast<std::size_t>(left), line.size());
      const auto to = std::min<std::size_t>(static_cast<std::size_t>(right), line.size());
      selected.append(line.substr(from, to - from));
      selected += "\r\n";
    }
  } else {
    selected = lines().text(begin, end, "\r\n");
  }
  std::string out;
  out.reserve(selected.size() + 2);
  for (std::string_view line : SplitTextLines(selected)) {
    out += line;
    out += "\r\n";
  }
  const bool ok = !name.empty() && !IsReadOnlyFile(name) && WriteFileSafely(name, out);
  if (!ok) ShowErrorMessage(services_.prompter, MessageText(kMsgErrorSaving, {name}));
  return ok;
}

void Document::CheckFileOnDisk() {
  // A document without a file has nothing to compare; it leaves another check's guard alone.
  if (fileMissing_ || services_.changeCheckRunning) return;
  services_.changeCheckRunning = true;
  RefreshReadOnly();
  const auto mtime = ModificationTime(fileName_);
  if (mtime && mtime != fileTime_) {
    if (services_.settings.autoUpdateChangedFiles ||
        AskWarning(services_.prompter, MessageText(kMsgFileChanged, {fileName_}),
                   MsgButtons::YesNo) == MsgResult::Yes) {
      ReloadFromDisk();
    }
  } else if (!mtime) {
    if (AskWarning(services_.prompter, MessageText(kMsgFileDeleted, {fileName_}),
                   MsgButtons::YesNo) == MsgResult::Yes) {
      modified_ = true;
      fileMissing_ = true;
      keptAfterDeletion_ = true;
      changed();
    } else {
      modified_ = false;
      services_.changeCheckRunning = false;
      if (services_.close) services_.close(*this);  // may destroy this document
      return;
    }
  }
  services_.changeCheckRunning = false;
}

bool Document::ReloadFromDisk() {
  std::error_code ec;
  if (!fs::exists(fileName_, ec)) return false;
  const TextPos caret = view().caret();
  const int top = view().topLine();
  const std::string name = fileName_;
  const bool ok = LoadFromFile(name, true);
  if (ok) {
    view().setTopLine(top);
    view().setCaret(caret);
  } else {
    ReportOpenError(name);
  }
  fileMissing_ = false;
  return ok;
}

bool Document::CloseQuery() {
  if (modified_) {
    if (services_.activate) services_.activate(*this);
    switch (AskWarning(services_.prompter, MessageText(kMsgSaveChanges, {fileName_}),
                       MsgButtons::YesNoCancel)) {
      case MsgResult::Yes:
        if (!Save(false)) return false;
        break;
      case MsgResult::No:
        break;
      default:
        return false;
    }
  }
  if (placeholderFile_) {
    // Only the empty file the program made; anything written into it since is kept.
    std::error_code ec;
    if (fs::is_regular_file(fileName_, ec) && fs::file_size(fileName_, ec) == 0) {
      fs::remove(fileName_, ec);
    }
  } else if (!fileMissing_ && !projectFile_ && services_.recordPosition) {
    services_.recordPosition(*this);
  }
  return true;
}

}  // namespace qv
