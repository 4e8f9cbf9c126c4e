// The file operations of a document that ask the user: save name, backup, copy, rename, revert.
#include "documents/text_file_handler.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "config/text_helpers.h"
#include "documents/atomic_file.h"
#include "documents/document.h"
#include "documents/document_messages.h"

namespace qv {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kAllFilesFilter = "All files (*.*)|*.*|";

std::string FileNamePart(const std::string& name) {
  const std::size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string FolderPart(const std::string& name) {
  const std::size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

bool Exists(const std::string& name) {
  std::error_code ec;
  return fs::exists(name, ec);
}

}  // namespace

bool IsReadOnlyFile(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

bool ClearReadOnly(const std::string& name) {
  std::error_code ec;
  fs::permissions(name, fs::perms::owner_write, fs::perm_options::add, ec);
  return !ec;
}

std::string TEditorFileHandler::BackupFileName() const {
  return qv::BackupFileName(editor_.FileName(), editor_.services().settings.backup);
}

bool TEditorFileHandler::BackupExists() const {
  return qv::BackupExists(editor_.FileName(), editor_.services().settings.backup);
}

bool TEditorFileHandler::MakeBackup() {
  const auto outcome = MakeBackupCopy(editor_.FileName(), editor_.services().settings.backup);
  if (outcome != BackupOutcome::Failed) return true;
  ShowErrorMessage(editor_.services().prompter, MessageText(kMsgBackupFailed, {BackupFileName()}));
  return false;
}

bool TEditorFileHandler::CanRevertToSaved() const {
  return editor_.Modified() && !editor_.NewFile() && !editor_.FileMissing();
}

bool TEditorFileHandler::CanRename() const { return !editor_.NewFile() && !editor_.FileMissing(); }

void TEditorFileHandler::SaveViewState() {
  const DocumentView& view = editor_.view();
  savedCaret_ = view.caret();
  savedTopLine_ = view.topLine();
  savedLeftChar_ = view.leftChar();
}

void TEditorFileHandler::RestoreViewState() {
  DocumentView& view = editor_.view();
  view.setCaret(savedCaret_);
  view.setTopLine(savedTopLine_);
  view.setLeftChar(savedLeftChar_);
}

void TEditorFileHandler::RevertToSaved() {
  const std::string name = editor_.FileName();
  if (AskWarning(editor_.services().prompter, MessageText(kMsgRevertSaved, {name}),
                 MsgButtons::OkCancel) != MsgResult::Ok) {
    return;
  }
  SaveViewState();
  if (!editor_.LoadFromFile(name, false)) editor_.ReportOpenError(name);
  RestoreViewState();
}

void TEditorFileHandler::RevertToBackup() {
  const std::string backup = BackupFileName();
  if (AskWarning(editor_.services().prompter, MessageText(kMsgRevertBackup, {backup}),
                 MsgButtons::OkCancel) != MsgResult::Ok) {
    return;
  }
  const std::string own = editor_.FileName();
  SaveViewState();
  const bool loaded = editor_.LoadFromFile(backup, false);
  RestoreViewState();
  editor_.SetFileName(own);
  editor_.SetFileMissing(!Exists(own));
  // The stamp taken from the backup would make the own file look changed on disk.
  editor_.RememberFileTime();
  if (!loaded) {
    editor_.ReportOpenError(backup);
    return;
  }
  editor_.SetModified(true);
}

bool TEditorFileHandler::RenameTo(const std::string& requested) {
  const std::string oldName = editor_.FileName();
  std::string newName = requested;
  if (newName.find('/') == std::string::npos) {
    const std::string folder = FolderPart(oldName);
    if (!folder.empty()) newName = folder + "/" + newName;
  }
  std::error_code ec;
  if (Exists(newName) && !fs::equivalent(newName, oldName, ec)) {
    ShowErrorMessage(editor_.services().prompter, MessageText(kMsgRenameExists));
    return false;
  }
  if (std::rename(oldName.c_str(), newName.c_str()) != 0) {
    ShowErrorMessage(editor_.services().prompter,
                     MessageText(kMsgRenameFailed, {oldName, newName}));
    return false;
  }
  editor_.SetFileName(newName);
  return true;
}

std::optional<std::string> TEditorFileHandler::RunSaveDialog(bool rememberExtension) {
  DocumentServices& services = editor_.services();
  if (!services.prompter) return std::nullopt;
  FileDialogRequest request;
  request.filter = std::string(kAllFilesFilter) + services.highlighterFilters;
  request.filterIndex = editor_.Highlighter().filter.empty()
                            ? 1
                            : FilterIndexOf(request.filter, editor_.Highlighter().filter);
  std::string rememberedExt;
  if (!editor_.FileMissing()) {
    std::string name = editor_.FileName();
    const std::string base = FileNamePart(name);
    const std::size_t dot = base.find_last_of('.');
    if (dot != std::string::npos) {
      if (rememberExtension) rememberedExt = base.substr(dot + 1);
      name.erase(name.size() - (base.size() - dot));
    }
    request.fileName = name;
    request.initialDir = FolderPart(editor_.FileName());
  }
  if (services.activate) services.activate(editor_);
  for (;;) {
    const auto answer = services.prompter->saveFile(request);
    if (!answer || answer->files.empty() || answer->files.front().empty()) return std::nullopt;
    std::string chosen = answer->files.front();
    if (FileNamePart(chosen).find('.') == std::string::npos) {
      std::string ext;
      if (!rememberedExt.empty() && answer->filterIndex == request.filterIndex) {
        ext = rememberedExt;
      } else if (answer->filterIndex > 1) {
        ext = FilterDefaultExt(request.filter, answer->filterIndex);
      }
      if (!ext.empty()) chosen += "." + ext;
    }
    if (!Exists(chosen)) return chosen;
    if (AskWarning(services.prompter, MessageText(kMsgReplaceFile, {chosen}),
                   MsgButtons::OkCancel) == MsgResult::Ok) {
      return chosen;
    }
    request.fileName = chosen;
    request.filterIndex = answer->filterIndex;
  }
}

std::optional<std::string> TEditorFileHandler::AskSaveName(bool forceDialog) {
  std::string name = editor_.FileName();
  const bool untitled = editor_.NewFile() && editor_.FileMissing();
  if (forceDialog || name.empty() || untitled) {
    auto chosen = RunSaveDialog(true);
    if (!chosen) return std::nullopt;
    name = *chosen;
  }
  if (Exists(name) && IsReadOnlyFile(name)) {
    if (AskWarning(editor_.services().prompter, MessageText(kMsgReadOnlySave, {name}),
                   MsgButtons::OkCancel) != MsgResult::Ok) {
      return std::nullopt;
    }
    ClearReadOnly(name);
  }
  return name;
}

std::optional<std::string> TEditorFileHandler::AskBlockFileName() { return RunSaveDialog(false); }

bool TEditorFileHandler::WriteLines(const TextBuffer& lines, TTextFormat format,
                                    const std::string& name) {
  // Replacing beside the file would otherwise overwrite a read-only file without asking.
  if (name.empty() || IsReadOnlyFile(name)) return false;
  const bool utf16 =
      format == TTextFormat::tfUnicode || format == TTextFormat::tfUnicodeBigEndian;
  const std::string_view lineBreak = IsMarkedFormat(format)
                                         ? lineBreakBytes(editor_.MarkedLineBreak())
                                         : LineBreakOf(format);
  // The encoding depends on the whole text, so it is decided before the first piece is written.
  bool wideUtf8 = utf16;
  for (int i = 0; wideUtf8 && i < lines.lineCount(); ++i) wideUtf8 = IsWideUtf8Text(lines.line(i));
  const MarkedTextEncoder encoder(format, wideUtf8);

  // Written in pieces of about a megabyte: a large document is never copied whole.
  constexpr std::size_t kPiece = 1 << 20;
  AtomicFileWriter writer(name);
  if (!writer.begin() || !writer.write(ByteOrderMark(format))) return false;
  std::string piece;
  std::string encoded;
  const auto flush = [&] {
    encoded.clear();
    encoder.encode(piece, encoded);
    piece.clear();
    return writer.write(encoded);
  };
  piece.reserve(kPiece + kPiece / 4);
  bool ok = true;
  for (int i = 0; ok && i < lines.lineCount(); ++i) {
    if (i > 0) piece.append(lineBreak);
    piece.append(lines.line(i));
    if (piece.size() >= kPiece) ok = flush();
  }
  if (ok) ok = flush();
  // Half a code unit read from an odd-length UTF-16 file goes back where it was.
  if (ok && utf16 && editor_.StrayByte()) {
    const char stray = static_cast<char>(*editor_.StrayByte());
    ok = writer.write(std::string_view(&stray, 1));
  }
  return ok && writer.commit();
}

void TEditorFileHandler::CopyTo() {
  const auto name = AskSaveName(true);
  if (!name) return;
  if (!WriteLines(editor_.lines(), editor_.TextFormat(), *name)) {
    ShowErrorMessage(editor_.services().prompter, MessageText(kMsgErrorSaving, {*name}));
  }
}

}  // namespace qv
