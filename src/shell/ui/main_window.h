// The main window: document windows with their file tabs, the menus and actions, and the
// program's document management (creating, opening, activating and closing documents).
#pragma once
#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "documents/document.h"
#include "shell/command_line.h"
#include "shell/handover.h"
#include "shell/main_window_state.h"
#include "shell/startup.h"
#include "shell/workspace.h"

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSystemTrayIcon;
class QToolBar;

namespace qv {

class EditingActions;
class FileTabRow;
class HighlighterTable;
class TfmEditor;
class TFileIconPool;
class TFilePosHistory;
struct EditingContext;
struct EditingMemory;

// The frame of the program (objectName "fmMain"): owns the document windows, knows the
// active one, keeps the recent lists, and carries out the command line and hand-overs.
class TfmMain : public QMainWindow,
                public CommandLineHost,
                public StartActionHost,
                public RunningInstanceHost {
  Q_OBJECT
 public:
  explicit TfmMain(QWidget* parent = nullptr);
  ~TfmMain() override;

  // The arguments the first show runs (after the GNU options), and the folder they are
  // relative to.
  void setStartArguments(std::vector<std::string> args, std::filesystem::path startupDir);

  // Document management.
  TfmEditor* CreateDocument(bool newFile);
  TfmEditor* NewDocument();  // the New command
  bool OpenFile(const std::string& name);
  void OpenFileFromCommandLine(const std::string& name);
  void OpenFileList(const std::vector<std::string>& names, bool onlyExisting);
  TfmEditor* FindDocument(const std::string& name) const;
  void ActivateDocument(TfmEditor* doc, bool force = false);
  TfmEditor* ActiveEditor() const;
  // Documents in tab order (the order everywhere in the program).
  std::vector<TfmEditor*> Documents() const;
  TfmEditor* EnumDocument(int index) const;
  TfmEditor* MaximizedDocument() const;
  void NextDocument(bool forward);
  // Closes every document (each asks its own question); false when one stayed open.
  bool CloseAll();
  bool BeginPaintLock(bool onlyWhenMaximized = false);
  void EndPaintLock(bool onlyWhenMaximized = false);
  int paintLockCount() const { return workspace_->paintLockCount(); }

  const RecentList& recentFiles() const { return workspace_->recentFiles(); }
  int untitledCounter() const { return workspace_->untitledCounter(); }
  Workspace& workspace() { return *workspace_; }
  bool StayOnTop() const { return stayOnTop_; }
  void SetStayOnTop(bool on);
  bool FileTabsVsbl() const { return fileTabsVsbl_; }
  void SetFileTabsVsbl(bool on);
  FileTabRow* fileTabs() const { return tabs_; }
  bool MultilineTabs() const { return multilineTabs_; }
  void SetMultilineTabs(bool on);
  // The tray icon while the notification area can be used (found out at start); nothing
  // otherwise. Tests stand in for a desktop that has one with setTrayAvailable.
  QSystemTrayIcon* trayIcon() const { return tray_; }
  void setTrayAvailable(bool available);
  // After a document left the maximized state: with painting locked, activates every document
  // once in tab order so the one that was active ends active again.
  void CycleDocumentsAfterRestore();
  // Number of panels the main status bar shows: 1, or 8 while a document is maximized.
  int statusPanelCount() const;

  // Where later parts of the program add their items: the menus by their action names
  // ("acFile", "acEdit", "acView", "acTools", "acOptions", "acWin", "acHelp", ...) and every
  // action by its name.
  QMenu* menu(const QString& name) const;
  QAction* action(const QString& name) const;
  // Adds a menu after the named one (or at the end); it is found by name afterwards.
  QMenu* addMenuAfter(const QString& after, const QString& name, const QString& caption);

  HighlighterTable& highlighters() { return *highlighters_; }
  DocumentServices& services() { return services_; }

  // Runs the shut-down steps after every document agreed; false when one refused.
  bool ShutDown();

  // CommandLineHost
  void openFileFromCommandLine(const std::string& name) override { OpenFileFromCommandLine(name); }
  bool openFile(const std::string& name) override { return OpenFile(name); }
  std::optional<DocumentHandle> activeDocument() const override;
  bool isProjectFile(const std::string& name) override;
  std::vector<DocumentHandle> openProjectFile(const std::string& name) override;
  void printFile(const std::string& name) override;
  int documentWindowCount() const override;
  void goTo(DocumentHandle doc, std::int32_t column, std::int32_t line) override;
  void playMacro(DocumentHandle doc, const std::string& macroName) override;
  void lock(DocumentHandle doc) override;
  void save(DocumentHandle doc) override;
  void close(DocumentHandle doc) override;
  using QMainWindow::close;
  void postCloseRequest() override;
  void beginPaintLock() override { BeginPaintLock(); }
  void endPaintLock() override { EndPaintLock(); }

  // StartActionHost
  DocumentHandle createBlankDocument() override;
  void openFileList(const std::vector<std::string>& names, bool onlyExisting) override {
    OpenFileList(names, onlyExisting);
  }
  std::optional<DocumentHandle> findDocument(const std::string& name) override;
  void activateDocument(DocumentHandle doc) override;

  // RunningInstanceHost
  bool allowsAnotherInstance() override;
  void handOverChunkArrived() override;
  void handOverArrived(const std::vector<std::string>& arguments) override;
  void handOverRefused() override;

  // Runs the command line; false when there was no argument (the start action then runs).
  bool ProcessCommandLine(const std::vector<std::string>& args);

  TfmEditor* document(DocumentHandle handle) const;
  std::optional<DocumentHandle> handleOf(const TfmEditor* doc) const;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  class WindowSide;
  struct Entry {
    TfmEditor* editor = nullptr;
    QMdiSubWindow* window = nullptr;
  };

  void FirstShow();
  void refreshDocumentSettings();
  void createActions();
  void createMenus();
  void createToolbar();
  void createStatusBar();
  void createTray();
  void registerSettingsSteps();
  void loadGlobalSettings(class Registry& reg);
  void saveGlobalSettings(class Registry& reg);

  QAction* makeAction(const char* name, const QString& caption, const QKeySequence& key = {},
                      int hintId = 0, const char* hint = nullptr);
  QMenu* makeMenu(const char* name, const QString& caption);
  void updateActions();
  void updateFileMenu();
  void updateViewMenu();
  void updateToolsMenu();
  void rebuildRecentMenu();
  void rebuildWindowMenu();
  void rebuildHighlighterMenu();
  void rebuildHighlighterBox();

  // The window side of an activation: tab, highlighter box, status and focus.
  void showActive(TfmEditor* doc);
  // A new document's window, not yet shown, wired to the main window.
  Document& makeDocumentWindow(DocumentHandle handle);
  void documentClosed(TfmEditor* doc);
  void refreshTab(TfmEditor* doc);
  void layoutTabs();
  void refreshStatus();
  void syncHighlighter(TfmEditor* doc);
  // The editing commands' view of a document: its highlighter's strings, settings and state.
  EditingContext editingContext(TfmEditor* doc);
  void installEditing();
  void restorePosition(Document& d);
  void recordPosition(Document& d);
  void applyHighlighter(TfmEditor* doc, int entryIndex);
  void checkFilesOnDisk();
  void closeDocument(TfmEditor* doc);
  void showTabMenu(int index, const QPoint& globalPos);
  void restoreFromTray();

  // Commands.
  void cmdOpen();
  void cmdSaveAll();
  void cmdRename();
  void cmdInsertFile(bool append);
  void cmdWriteBlock();
  void cmdExportRegistrySettings();
  void cmdAbout();
  void cmdHelpTopics();

  DocumentServices services_;
  std::unique_ptr<HighlighterTable> highlighters_;
  std::unique_ptr<TFileIconPool> iconPool_;
  std::unique_ptr<TFilePosHistory> history_;
  std::unique_ptr<EditingMemory> editingMemory_;
  EditingActions* editingActions_ = nullptr;
  QMdiArea* mdi_ = nullptr;
  FileTabRow* tabs_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QComboBox* highlighterBox_ = nullptr;
  QLabel* statusPanels_[kStatusPanelCount] = {};
  QSystemTrayIcon* tray_ = nullptr;
  std::map<QString, QMenu*> menus_;
  QMenu* tabMenu_ = nullptr;

  std::map<DocumentHandle, Entry> docs_;
  std::unique_ptr<WindowSide> windowSide_;
  std::unique_ptr<Workspace> workspace_;
  LastOpenFiles lastOpenFiles_;
  bool closing_ = false;
  bool shown_ = false;
  bool shutDownDone_ = false;
  bool cycling_ = false;       // CycleDocumentsAfterRestore runs
  bool cyclePending_ = false;  // posted once however many windows left the maximized state
  bool stayOnTop_ = false;
  bool fileTabsVsbl_ = true;
  bool multilineTabs_ = true;
  bool vsblFileTabIcons_ = true;
  bool formMaximized_ = false;
  bool btmWinVsbl_ = true;
  bool saveFilePositions_ = true;
  bool wordWrap_ = false;
  bool prjManagerRelPath_ = false;
  std::vector<std::string> startArgs_;
  std::filesystem::path startupDir_;
};

}  // namespace qv
