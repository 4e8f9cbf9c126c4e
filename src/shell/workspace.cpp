// Creating, opening, activating and closing documents, in tab order, without any window.
#include "shell/workspace.h"

#include <filesystem>
#include <system_error>

#include "config/file_names.h"
#include "config/hourglass.h"
#include "config/shared_dialogs.h"
#include "documents/document.h"

namespace qv {
namespace fs = std::filesystem;

namespace {

bool FileExists(const std::string& name) {
  std::error_code ec;
  return !name.empty() && fs::is_regular_file(name, ec);
}

// Holds a painting lock for a scope when it was taken, so every exit path releases it.
class PaintLockScope {
 public:
  PaintLockScope(Workspace& ws, bool take, bool onlyWhenMaximized = false)
      : ws_(ws), onlyWhenMaximized_(onlyWhenMaximized), held_(take && ws.BeginPaintLock(onlyWhenMaximized)) {}
  ~PaintLockScope() {
    if (held_) ws_.EndPaintLock(onlyWhenMaximized_);
  }
  PaintLockScope(const PaintLockScope&) = delete;
  PaintLockScope& operator=(const PaintLockScope&) = delete;

 private:
  Workspace& ws_;
  bool onlyWhenMaximized_;
  bool held_;
};

}  // namespace

Document* Workspace::document(DocumentHandle doc) const {
  const auto it = docs_.find(doc);
  return it == docs_.end() ? nullptr : it->second;
}

std::optional<DocumentHandle> Workspace::handleOf(const Document& doc) const {
  for (const auto& [handle, d] : docs_)
    if (d == &doc) return handle;
  return std::nullopt;
}

DocumentHandle Workspace::CreateDocument(bool newFile) {
  const bool hadActive = order_.active().has_value();
  PaintLockScope lock(*this, true, true);

  const DocumentHandle handle = nextHandle_++;
  Document& doc = windows_.createWindow(handle);
  docs_[handle] = &doc;
  doc.SetFileMissing(true);
  doc.SetNewFile(true);
  if (newFile) {
    windows_.applyNewFileDefaults(handle);
    doc.SetModified(false);
  }
  ++untitledCounter_;
  const int index = order_.insert(handle);
  windows_.tabInserted(index, handle);
  windows_.showWindow(handle, !hadActive);
  documentActivated(handle);
  return handle;
}

DocumentHandle Workspace::NewDocument() {
  const DocumentHandle handle = CreateDocument(true);
  Document& doc = *document(handle);
  doc.SetNamingNewDocument(true);
  doc.SetUntitledName(untitledCounter_);
  return handle;
}

DocumentHandle Workspace::CreateBlankDocument() {
  const DocumentHandle handle = NewDocument();
  document(handle)->SetInitialBlank(true);
  return handle;
}

bool Workspace::OpenFile(const std::string& rawName) {
  const std::string name = CanonicalFileName(rawName);
  if (const auto open = FindDocument(name)) {
    ActivateDocument(*open);
    return true;
  }
  bool result = false;
  if (FileExists(name)) {
    const DocumentHandle handle = CreateDocument(false);
    const bool loaded = document(handle)->LoadFromFile(name, true);
    --untitledCounter_;
    if (loaded) {
      result = true;
      windows_.documentLoaded(handle);
      closeInitialBlank();
    } else {
      CloseDocument(handle);
    }
  }
  if (!result) {
    recentFiles_.remove(name);
    ShowOpenError(name, windows_.prompter());
  }
  return result;
}

void Workspace::closeInitialBlank() {
  const auto blank = blank_.fileOpened();
  if (!blank) return;
  Document* d = document(*blank);
  if (!d || !d->InitialBlank()) return;
  const auto active = order_.active();
  CloseDocument(*blank);
  // The file just opened stays in front.
  if (active && *active != *blank && document(*active)) ActivateDocument(*active, true);
}

void Workspace::OpenFileFromCommandLine(const std::string& rawName, const std::string& currentDir) {
  std::string name = CommandLineFileName(rawName, currentDir);
  if (FileExists(name)) {
    OpenFile(name);
    return;
  }
  const DocumentHandle handle = CreateDocument(true);
  Document& doc = *document(handle);
  doc.SetFileMissing(true);
  doc.SetNewFile(false);
  name = CanonicalFileName(name);
  // Only a name that can be created becomes the document's; the empty file holds its place.
  if (CreatePlaceholderFile(name)) {
    doc.SetFileName(name);
    doc.SetPlaceholderFile(true);
    windows_.documentLoaded(handle);
  }
}

void Workspace::OpenFileList(const std::vector<std::string>& names, bool onlyExisting) {
  PaintLockScope lock(*this, names.size() > 2);
  HourglassScope busy;
  for (const std::string& name : names) {
    if (onlyExisting && !FileExists(CanonicalFileName(name))) continue;
    OpenFile(name);
  }
}

std::optional<DocumentHandle> Workspace::FindDocument(const std::string& name) const {
  // Names compare as the file system does: byte-exact.
  const std::string canonical = CanonicalFileName(name);
  for (DocumentHandle h : order_.tabs())
    if (const Document* d = document(h); d && d->FileName() == canonical) return h;
  return std::nullopt;
}

void Workspace::ActivateDocument(DocumentHandle doc, bool force) {
  if (!document(doc)) return;
  if (order_.active() == doc && windows_.isInFront(doc)) return;
  windows_.bringToFront(doc, !force && MaximizedDocument().has_value());
  documentActivated(doc);
}

void Workspace::documentActivated(DocumentHandle doc) {
  if (!document(doc)) return;
  order_.setActive(doc);
  windows_.activeChanged(doc);
}

void Workspace::documentClosed(DocumentHandle doc) {
  if (!document(doc)) return;
  blank_.unmark(doc);
  const auto index = order_.indexOf(doc);
  const auto next = order_.remove(doc);
  docs_.erase(doc);
  if (index) windows_.tabRemoved(*index);
  if (next) {
    ActivateDocument(*next, true);
  } else {
    order_.setActive(std::nullopt);
    windows_.lastDocumentClosed();
  }
}

bool Workspace::CloseAll() {
  const std::vector<DocumentHandle> all = order_.tabs();
  {
    PaintLockScope lock(*this, all.size() > 2);
    for (DocumentHandle h : all)
      if (document(h)) CloseDocument(h);
  }
  const bool allClosed = order_.count() == 0;
  windows_.closeAllFinished(allClosed);
  return allClosed;
}

void Workspace::NextDocument(bool forward) {
  if (const auto next = order_.neighbour(forward)) ActivateDocument(*next, true);
}

bool Workspace::ActivateByAltDigit(int digit) {
  const auto doc = order_.byAltDigit(digit);
  if (doc) ActivateDocument(*doc, true);
  return doc.has_value();
}

void Workspace::VisitEveryDocument() {
  PaintLockScope lock(*this, true);
  for (int i = 0, n = order_.count(); i < n; ++i) NextDocument(true);
}

LastOpenFiles Workspace::CollectLastOpen(const std::string& project) const {
  std::vector<OpenDocumentInfo> tabs;
  std::optional<int> activeIndex;
  for (DocumentHandle h : order_.tabs()) {
    const Document* d = document(h);
    if (!d) continue;
    if (order_.active() == h) activeIndex = static_cast<int>(tabs.size());
    tabs.push_back({d->FileName(), d->FileMissing() || d->NewFile(), d->ProjectFile()});
  }
  return CollectLastOpenFiles(tabs, activeIndex, project);
}

std::optional<DocumentHandle> Workspace::MaximizedDocument() const {
  for (DocumentHandle h : order_.tabs())
    if (windows_.isMaximized(h)) return h;
  return std::nullopt;
}

bool Workspace::BeginPaintLock(bool onlyWhenMaximized) {
  if (onlyWhenMaximized && !windows_.mainWindowMaximized()) return false;
  if (paintLock_.begin()) windows_.lockUpdates(true);
  return true;
}

void Workspace::EndPaintLock(bool onlyWhenMaximized) {
  if (onlyWhenMaximized && !windows_.mainWindowMaximized()) return;
  if (paintLock_.end()) windows_.lockUpdates(false);
}

}  // namespace qv
