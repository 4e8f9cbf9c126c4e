// The program's open documents without their windows: tab order, the active document, the
// recent lists, the painting lock, and creating, opening, activating and closing documents.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/main_window_state.h"
#include "shell/startup.h"

namespace qv {

class Document;
class Prompter;

// What the workspace asks of the windows that show its documents (the main window, or a
// stand-in in tests).
class WorkspaceWindows {
 public:
  virtual ~WorkspaceWindows() = default;

  // Makes the (not yet shown) window of a new document and returns the document it renders.
  virtual Document& createWindow(DocumentHandle doc) = 0;
  // A new, unnamed document takes the default highlighter, text format and word wrap.
  virtual void applyNewFileDefaults(DocumentHandle doc) = 0;
  // Shows a new window, maximized when asked, in front of the others.
  virtual void showWindow(DocumentHandle doc, bool maximized) = 0;
  // Asks the window to close; it asks its own save question and, when it goes, reports back
  // with Workspace::documentClosed.
  virtual void closeWindow(DocumentHandle doc) = 0;
  // Brings the window to the front; with redrawAtOnce, redraws the main window once after.
  virtual void bringToFront(DocumentHandle doc, bool redrawAtOnce) = 0;
  virtual bool isInFront(DocumentHandle doc) const = 0;
  virtual bool isMaximized(DocumentHandle doc) const = 0;
  virtual bool mainWindowMaximized() const = 0;
  // Switches redrawing of the main window off (true) or back on.
  virtual void lockUpdates(bool locked) = 0;

  virtual void tabInserted(int index, DocumentHandle doc) = 0;
  virtual void tabRemoved(int index) = 0;
  // A document became the active one: select its tab, show its highlighter and status.
  virtual void activeChanged(DocumentHandle doc) = 0;
  // A file was loaded into the document.
  virtual void documentLoaded(DocumentHandle doc) = 0;
  // The last document closed (not part of Close All).
  virtual void lastDocumentClosed() = 0;
  // Close All ended; allClosed is false when a document refused.
  virtual void closeAllFinished(bool allClosed) = 0;

  virtual Prompter& prompter() = 0;
};

// The open documents in tab order and the operations on them; documents are known by their
// handles and live in the windows of WorkspaceWindows.
class Workspace {
 public:
  explicit Workspace(WorkspaceWindows& windows) : windows_(windows) {}
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // A new document, inserted right of the current tab and active.
  DocumentHandle CreateDocument(bool newFile);
  // The New command: a new document named "Edit<n>".
  DocumentHandle NewDocument();
  // Activates the document when the file is open, else loads it; false (and an error box)
  // when the file is missing or cannot be read.
  bool OpenFile(const std::string& name);
  // A file named alone on the command line; a missing one becomes a new document holding its
  // place with an empty file.
  void OpenFileFromCommandLine(const std::string& name, const std::string& currentDir);
  void OpenFileList(const std::vector<std::string>& names, bool onlyExisting);
  std::optional<DocumentHandle> FindDocument(const std::string& name) const;
  void ActivateDocument(DocumentHandle doc, bool force = false);
  void CloseDocument(DocumentHandle doc) { windows_.closeWindow(doc); }
  // Closes every document (each asks its own question); false when one stayed open.
  bool CloseAll();
  // Ctrl+F6 / Ctrl+Shift+F6: the next or previous document in tab order.
  void NextDocument(bool forward);
  // Alt+1 ... Alt+9, Alt+0: activates that tab; false (doing nothing) beyond the last tab.
  bool ActivateByAltDigit(int digit);
  // With painting locked, activates every document once in tab order, so the one that was
  // active ends active again (after a maximized document was restored).
  void VisitEveryDocument();
  std::optional<DocumentHandle> EnumDocument(int index) const { return order_.at(index); }
  std::optional<DocumentHandle> MaximizedDocument() const;
  // The painting lock; with onlyWhenMaximized it does nothing (false) unless the main window
  // is maximized.
  bool BeginPaintLock(bool onlyWhenMaximized = false);
  void EndPaintLock(bool onlyWhenMaximized = false);
  int paintLockCount() const { return paintLock_.count(); }
  // The InitialBlank start action's document.
  DocumentHandle CreateBlankDocument();

  // Reports from the window side.
  void documentActivated(DocumentHandle doc);
  void documentClosed(DocumentHandle doc);
  void tabMoved(int from, int to) { order_.move(from, to); }

  // What the next start reopens: the named non-project documents in tab order, the active one.
  LastOpenFiles CollectLastOpen(const std::string& project) const;

  const DocumentOrder& order() const { return order_; }
  std::vector<DocumentHandle> documents() const { return order_.tabs(); }
  std::optional<DocumentHandle> active() const { return order_.active(); }
  Document* document(DocumentHandle doc) const;
  std::optional<DocumentHandle> handleOf(const Document& doc) const;
  RecentList& recentFiles() { return recentFiles_; }
  const RecentList& recentFiles() const { return recentFiles_; }
  RecentList& recentProjects() { return recentProjects_; }
  int untitledCounter() const { return untitledCounter_; }
  InitialBlank& initialBlank() { return blank_; }

 private:
  void closeInitialBlank();

  WorkspaceWindows& windows_;
  std::map<DocumentHandle, Document*> docs_;
  DocumentHandle nextHandle_ = 1;
  DocumentOrder order_;
  RecentList recentFiles_;
  RecentList recentProjects_;
  PaintLockCount paintLock_;
  InitialBlank blank_;
  int untitledCounter_ = 0;
};

}  // namespace qv
