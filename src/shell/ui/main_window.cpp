// The main window: document windows, file tabs, menus, status bar, tray and settings.
#include "shell/ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <system_error>

#include "config/editor_cfg.h"
#include "config/env_options.h"
#include "config/file_names.h"
#include "config/hourglass.h"
#include "config/language_choice.h"
#include "config/registry_export.h"
#include "config/safe_registry.h"
#include "config/settings_steps.h"
#include "config/shared_dialogs.h"
#include "config/translation.h"
#include "config/ui/language_menu.h"
#include "config/ui/translate_widget.h"
#include "documents/editing_commands.h"
#include "documents/file_pos_history.h"
#include "documents/text_file_handler.h"
#include "documents/ui/editing_actions.h"
#include "documents/ui/editor_window.h"
#include "documents/ui/file_icon_pool.h"
#include "editor/editor_commands.h"
#include "editor/ui/editor_view.h"
#include "highlight/highlighter_table.h"
#include "highlight/languages/builtin_highlighters.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "shell/ui/file_tab_row.h"
#include "version.h"

namespace qv {
namespace fs = std::filesystem;

namespace {

constexpr const char* kSettingsOwner = "fmMain";
constexpr std::string_view kGlobalKey = "\\Software\\Quirvane\\Quirvane\\Global";
constexpr std::string_view kFilePanKey = "\\Software\\Quirvane\\Quirvane\\FilePan";

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
QString Tr(int id, const char* english) { return Q(TranslatedText(id, english)); }

// The window's restored placement as the placement routines see it.
class MainWindowPlacement final : public PlacedWindow {
 public:
  explicit MainWindowPlacement(QMainWindow& w) : w_(w) {}
  WindowPlacement placement() const override {
    const QRect r = w_.isMaximized() || w_.isMinimized() ? w_.normalGeometry() : w_.geometry();
    return {{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}, w_.isMaximized()};
  }
  void setNormalRect(const NormalRect& rect) override {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width > 300 && height > 50) w_.setGeometry(rect.left, rect.top, width, height);
  }
  void maximize() override {}  // done at the end of the first show

 private:
  QMainWindow& w_;
};

}  // namespace

TfmMain::TfmMain(QWidget* parent)
    : QMainWindow(parent),
      highlighters_(std::make_unique<HighlighterTable>(MakeBuiltinHighlighter)),
      iconPool_(std::make_unique<TFileIconPool>()),
      history_(std::make_unique<TFilePosHistory>()),
      editingMemory_(std::make_unique<EditingMemory>()),
      windowSide_(std::make_unique<WindowSide>(*this)),
      workspace_(std::make_unique<Workspace>(*windowSide_)) {
  setObjectName("fmMain");
  setWindowTitle("Quirvane");
  setMinimumWidth(301);  // a resize to 300 pixels or less is refused
  resize(900, 640);
  setAcceptDrops(true);

  services_.prompter = &UserPrompter();
  refreshDocumentSettings();
  services_.selectHighlighter = [this](const std::string& fileName) {
    THighLighter& entry = highlighters_->FindHighlighterByFileName(fileName);
    return HighlighterChoice{static_cast<int>(&entry - highlighters_->entries().data()), entry.defaultFilter};
  };
  services_.addRecentFile = [this](const std::string& name) { workspace_->recentFiles().add(name); };
  services_.recordPosition = [this](Document& d) { recordPosition(d); };
  services_.restorePosition = [this](Document& d) { restorePosition(d); };
  services_.noteLastDir = [](const std::string& folder) { NoteLastDir(folder + "/"); };
  services_.activate = [this](Document& d) {
    for (TfmEditor* doc : Documents())
      if (&doc->document() == &d) ActivateDocument(doc, true);
  };
  services_.close = [this](Document& d) {
    for (TfmEditor* doc : Documents())
      if (&doc->document() == &d) QTimer::singleShot(0, this, [this, doc] { closeDocument(doc); });
  };

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  tabs_ = new FileTabRow(central);
  tabs_->setMultiline(multilineTabs_);
  tabs_->hide();
  mdi_ = new QMdiArea(central);
  mdi_->setObjectName("mdiClient");
  mdi_->setViewMode(QMdiArea::SubWindowView);
  mdi_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
  layout->addWidget(tabs_);
  layout->addWidget(mdi_, 1);
  setCentralWidget(central);

  connect(tabs_, &FileTabRow::tabClicked, this, [this](int index) {
    if (auto handle = workspace_->order().at(index)) ActivateDocument(document(*handle), true);
  });
  connect(tabs_, &FileTabRow::tabMoved, this, [this](int from, int to) {
    workspace_->tabMoved(from, to);
    for (TfmEditor* doc : Documents()) refreshTab(doc);
  });
  connect(tabs_, &FileTabRow::contextMenuRequested, this,
          [this](int index, const QPoint& globalPos) { showTabMenu(index, globalPos); });
  connect(tabs_, &FileTabRow::shiftClicked, this, [this](int index) {
    if (!EnvOptions().ShiftClickClosesFileTab) return;
    if (const auto handle = workspace_->order().at(index)) closeDocument(document(*handle));
  });
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
    if (!w) return;
    for (const auto& [handle, entry] : docs_)
      if (entry.window == w) workspace_->documentActivated(handle);
  });

  // The language comes first: actions take their translated hints when they are made.
  Registry reg;
  const std::string language = ReadLanguageSetting(reg);
  const bool languageLoaded = !language.empty() && LoadLanguage(language);
  createActions();
  createMenus();
  installEditing();
  createToolbar();
  createStatusBar();
  createTray();
  registerSettingsSteps();

  if (languageLoaded) TranslateWidget(this, "fmMain");
  InstallLanguageMenu(menu("acOptions"), this);

  qApp->installEventFilter(this);
  connect(qApp, &QApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) QTimer::singleShot(0, this, [this] { checkFilesOnDisk(); });
  });
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, [this] { updateActions(); });
  idle->start(250);
  layoutTabs();
  updateActions();
}

TfmMain::~TfmMain() {
  qApp->removeEventFilter(this);
  ProgramSettingsSteps().remove(kSettingsOwner);
  // Document windows go before the highlighter table they point into.
  std::map<DocumentHandle, Entry> docs;
  docs.swap(docs_);
  for (auto& [handle, entry] : docs) {
    entry.window->disconnect(this);
    entry.editor->disconnect(this);
  }
  for (auto& [handle, entry] : docs) delete entry.window;
}

void TfmMain::refreshDocumentSettings() {
  const TEnvOptions& env = EnvOptions();
  services_.settings.backup.backup = env.Backup;
  services_.settings.backup.backupDir = env.BackupDir;
  services_.settings.backup.backupDOSFileName = env.BackupDOSFileName;
  services_.settings.autoUpdateChangedFiles = env.AutoUpdateChangedFiles;
  services_.settings.tabsMode = EditorCfg().TabsMode;
  services_.settings.tabWidth = EditorCfg().TabWidth;
  services_.settings.undoAfterSave = EditorCfg().UndoAfterSave;
  // The save dialogs put "All files" first themselves.
  constexpr std::string_view allFiles = "All files (*.*)|*.*|";
  std::string filters = highlighters_->BuildDialogFilter(nullptr).filter;
  if (filters.starts_with(allFiles)) filters.erase(0, allFiles.size());
  services_.highlighterFilters = filters;
}

void TfmMain::setStartArguments(std::vector<std::string> args, fs::path startupDir) {
  startArgs_ = std::move(args);
  startupDir_ = std::move(startupDir);
}

// ---------------------------------------------------------------------------------------------
// Actions and menus

QAction* TfmMain::makeAction(const char* name, const QString& caption, const QKeySequence& key, int hintId,
                             const char* hint) {
  auto* a = new QAction(caption, this);
  a->setObjectName(name);
  if (!key.isEmpty()) {
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
  }
  if (hint) {
    const QString text = hintId ? Tr(hintId, hint) : QString(hint);
    a->setToolTip(text);
    a->setStatusTip(text);
  }
  addAction(a);
  return a;
}

QMenu* TfmMain::makeMenu(const char* name, const QString& caption) {
  auto* m = menuBar()->addMenu(caption);
  m->setObjectName(QString(name) + "Menu");
  m->menuAction()->setObjectName(name);
  menus_[name] = m;
  return m;
}

QMenu* TfmMain::menu(const QString& name) const {
  const auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

QAction* TfmMain::action(const QString& name) const { return findChild<QAction*>(name); }

QMenu* TfmMain::addMenuAfter(const QString& after, const QString& name, const QString& caption) {
  auto* m = new QMenu(caption, this);
  m->setObjectName(name + "Menu");
  m->menuAction()->setObjectName(name);
  QAction* before = nullptr;
  if (QMenu* prev = menu(after)) {
    const QList<QAction*> top = menuBar()->actions();
    const int i = top.indexOf(prev->menuAction());
    if (i >= 0 && i + 1 < top.size()) before = top[i + 1];
  }
  menuBar()->insertMenu(before, m);
  menus_[name] = m;
  return m;
}

void TfmMain::createActions() {
  auto doc = [this] { return ActiveEditor(); };
  auto on = [this](QAction* a, auto fn) { connect(a, &QAction::triggered, this, fn); };

  // File
  on(makeAction("acNew", "&New", QKeySequence("Ctrl+N"), 1300, "New file"), [this] { NewDocument(); });
  on(makeAction("acOpen", "&Open...", QKeySequence("Ctrl+O"), 1301, "Open file"), [this] { cmdOpen(); });
  on(makeAction("acSave", "&Save", QKeySequence("Ctrl+S"), 1302, "Save file"), [doc] {
    if (TfmEditor* d = doc()) d->document().Save(false);
  });
  on(makeAction("acSaveAs", "Save &As..."), [doc] {
    if (TfmEditor* d = doc()) d->document().Save(true);
  });
  on(makeAction("acSaveAllFiles", "Save A&ll Files", {}, 1303, "Save all files"), [this] { cmdSaveAll(); });
  on(makeAction("acCopyTo", "Cop&y To..."), [doc] {
    if (TfmEditor* d = doc()) d->document().fileHandler().CopyTo();
  });
  on(makeAction("acRename", "Rena&me..."), [this] { cmdRename(); });
  on(makeAction("acFileRevertToSaved", "To &Saved..."), [doc] {
    if (TfmEditor* d = doc()) d->document().fileHandler().RevertToSaved();
  });
  on(makeAction("acFileRevertToBackup", "To &Backup..."), [doc] {
    if (TfmEditor* d = doc()) d->document().fileHandler().RevertToBackup();
  });
  on(makeAction("acInsertFileAtCurrentPosition", "&Insert File At Current Position..."),
     [this] { cmdInsertFile(false); });
  on(makeAction("acAppendFile", "Appe&nd File..."), [this] { cmdInsertFile(true); });
  on(makeAction("acWriteBlockToFile", "&Write Block To File..."), [this] { cmdWriteBlock(); });
  on(makeAction("acClose", "&Close", QKeySequence("Ctrl+W"), 1304, "Close file"), [this] {
    if (TfmEditor* d = ActiveEditor()) closeDocument(d);
  });
  on(makeAction("acCloseAll", "Close All &Files"), [this] { CloseAll(); });
  on(makeAction("acExit", "E&xit", QKeySequence("Alt+X")), [this] { close(); });

  // Edit
  auto editCmd = [this](EditorCommand c) {
    return [this, c] {
      if (TfmEditor* d = ActiveEditor()) {
        d->editor().executeCommand(c);
        d->view().ensureCaretVisible();
      }
    };
  };
  on(makeAction("acEditUndo", "&Undo", QKeySequence("Ctrl+Z"), 1310, "Undo"), editCmd(ecUndo));
  on(makeAction("acEditRedo", "&Redo", QKeySequence("Ctrl+Shift+Z"), 1311, "Redo"), editCmd(ecRedo));
  on(makeAction("acEditCut", "Cu&t", {}, 1307, "Cut selected text to clipboard"), editCmd(ecCut));
  on(makeAction("acEditCopy", "&Copy", {}, 1308, "Copy selected text to clipboard"), editCmd(ecCopy));
  on(makeAction("acEditPaste", "&Paste", {}, 1309, "Paste text from clipboard"), editCmd(ecPaste));
  on(makeAction("acEditDelete", "&Delete"), [this] {
    if (TfmEditor* d = ActiveEditor(); d && d->editor().selAvail()) d->editor().setSelText("");
  });
  on(makeAction("acEditSelectAll", "Select &All", QKeySequence("Ctrl+A")), editCmd(ecSelectAll));

  // View
  on(makeAction("acShowToolbar", "&Toolbar"), [this](bool checked) { toolbar_->setVisible(checked); });
  on(makeAction("acShowFileTabs", "&File Tabs"), [this](bool checked) { SetFileTabsVsbl(checked); });
  on(makeAction("acWordwrap", "&Wordwrap", QKeySequence("Ctrl+Shift+W"), 1315, "Word wrap"), [doc] {
    if (TfmEditor* d = doc()) d->SetWordwrap(!d->document().Wordwrap());
  });
  on(makeAction("acViewRuler", "Ruler", QKeySequence("Ctrl+Shift+R")), [this] {
    if (!ActiveEditor()) return;
    EditorCfg().RulerVsbl = !EditorCfg().RulerVsbl;
    SetEditorCfgChanged(true);
    for (TfmEditor* d : Documents()) d->SetRulerVsbl(EditorCfg().RulerVsbl);
  });
  on(makeAction("acShowSpecialCharacters", "S&how Special Characters", QKeySequence("Ctrl+Shift+H")), [this] {
    if (!ActiveEditor()) return;
    TEditorCfg& cfg = EditorCfg();
    cfg.Options.set(EditorOption::eoShowSpecialChars, !cfg.Options.has(EditorOption::eoShowSpecialChars));
    SetEditorCfgChanged(true);
    for (TfmEditor* d : Documents()) d->ApplyEditorConfig(cfg);
  });
  on(makeAction("acViewOEMCharset", "O&EM Charset"), [doc] {
    if (TfmEditor* d = doc()) d->SetOEMView(!d->document().OEMView());
  });
  on(makeAction("acLockFileForChanges", "&Lock File For Changes"), [doc] {
    if (TfmEditor* d = doc()) d->document().SetLocked(!d->document().Locked());
  });
  on(makeAction("acCharsetUTF8", "&UTF-8"), [doc] {
    if (TfmEditor* d = doc()) d->SetDisplayCharset(DisplayCharset::Utf8);
  });
  on(makeAction("acCharsetWindows1252", "&Windows-1252"), [doc] {
    if (TfmEditor* d = doc()) d->SetDisplayCharset(DisplayCharset::Windows1252);
  });

  // Tools
  on(makeAction("acShellExecute", "S&hell Execute", QKeySequence("Ctrl+F12")), [doc] {
    if (TfmEditor* d = doc()) d->OpenInShell();
  });
  const std::pair<const char*, const char*> conversions[] = {{"acConvertToDOS", "&DOS (CRLF)"},
                                                             {"acConvertToUnicode", "U&nicode"},
                                                             {"acConvertToUNIX", "&UNIX (LF only)"},
                                                             {"acConvertToMAC", "&Macintosh (CR only)"}};
  const TTextFormat formats[] = {TTextFormat::tfNormal, TTextFormat::tfUnicode, TTextFormat::tfUnix,
                                 TTextFormat::tfMac};
  for (int i = 0; i < 4; ++i) {
    const TTextFormat format = formats[i];
    on(makeAction(conversions[i].first, conversions[i].second), [doc, format] {
      TfmEditor* d = doc();
      if (d && !d->document().Locked()) d->document().SetTextFormat(format);
    });
  }

  // Options
  on(makeAction("acStayOnTop", "&Stay On Top", {}, 1316, "Stay on top"), [this] { SetStayOnTop(!stayOnTop_); });
  on(makeAction("acExportRegistrySettings", "E&xport Registry Settings..."), [this] { cmdExportRegistrySettings(); });

  // Window
  on(makeAction("acCascade", "&Cascade"), [this] { mdi_->cascadeSubWindows(); });
  on(makeAction("acTileHorizontal", "Tile &Horizontal"), [this] {
    // One above the other, each as wide as the area.
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (windows.isEmpty()) return;
    const int h = mdi_->viewport()->height() / static_cast<int>(windows.size());
    int y = 0;
    for (QMdiSubWindow* w : windows) {
      w->showNormal();
      w->setGeometry(0, y, mdi_->viewport()->width(), h);
      y += h;
    }
  });
  on(makeAction("acTileVertical", "Tile &Vertical"), [this] {
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (windows.isEmpty()) return;
    const int w = mdi_->viewport()->width() / static_cast<int>(windows.size());
    int x = 0;
    for (QMdiSubWindow* sub : windows) {
      sub->showNormal();
      sub->setGeometry(x, 0, w, mdi_->viewport()->height());
      x += w;
    }
  });
  on(makeAction("acNextWin", "&Next Window"), [this] { mdi_->activateNextSubWindow(); });
  on(makeAction("acPrevWin", "&Previous Window"), [this] { mdi_->activatePreviousSubWindow(); });

  // Help
  on(makeAction("acHelpTopics", "&Help Topics", {}, 1318, "Help"), [this] { cmdHelpTopics(); });
  on(makeAction("acAbout", "&About..."), [this] { cmdAbout(); });

  // Outside the menus
  on(makeAction("acTrayRestore", "&Restore"), [this] { restoreFromTray(); });

  for (const char* name : {"acShowToolbar", "acShowFileTabs", "acWordwrap", "acShowSpecialCharacters",
                           "acViewOEMCharset", "acLockFileForChanges", "acStayOnTop", "acCharsetUTF8",
                           "acCharsetWindows1252", "acConvertToDOS", "acConvertToUnicode", "acConvertToUNIX",
                           "acConvertToMAC", "acViewRuler"})
    action(name)->setCheckable(true);
  // Ruler and the file-format marks are ticks only; their handlers decide the state.
  for (const char* name : {"acViewRuler", "acConvertToDOS", "acConvertToUnicode", "acConvertToUNIX",
                           "acConvertToMAC", "acCharsetUTF8", "acCharsetWindows1252"})
    connect(action(name), &QAction::triggered, this, [this] { updateActions(); });
}

void TfmMain::createMenus() {
  QMenu* file = makeMenu("acFile", "&File");
  for (const char* name : {"acNew", "acOpen", "acSave", "acSaveAs", "acSaveAllFiles"}) file->addAction(action(name));
  file->addSeparator();
  file->addAction(action("acCopyTo"));
  file->addAction(action("acRename"));
  QMenu* revert = file->addMenu("Revert");
  revert->setObjectName("acFileRevertMenu");
  revert->menuAction()->setObjectName("acFileRevert");
  revert->addAction(action("acFileRevertToSaved"));
  revert->addAction(action("acFileRevertToBackup"));
  menus_["acFileRevert"] = revert;
  file->addSeparator();
  file->addAction(action("acInsertFileAtCurrentPosition"));
  file->addAction(action("acAppendFile"));
  file->addAction(action("acWriteBlockToFile"));
  file->addSeparator();
  file->addAction(action("acClose"));
  file->addAction(action("acCloseAll"));
  file->addSeparator();
  QMenu* recent = file->addMenu("Recen&t Files");
  recent->setObjectName("acRecentFilesMenu");
  menus_["acRecentFiles"] = recent;
  connect(recent, &QMenu::aboutToShow, this, [this] { rebuildRecentMenu(); });
  file->addSeparator();
  file->addAction(action("acExit"));
  connect(file, &QMenu::aboutToShow, this, [this] { updateActions(); });

  QMenu* edit = makeMenu("acEdit", "&Edit");
  for (const char* name : {"acEditUndo", "acEditRedo"}) edit->addAction(action(name));
  edit->addSeparator();
  for (const char* name : {"acEditCut", "acEditCopy", "acEditPaste", "acEditDelete"}) edit->addAction(action(name));
  edit->addSeparator();
  edit->addAction(action("acEditSelectAll"));
  connect(edit, &QMenu::aboutToShow, this, [this] { updateActions(); });

  QMenu* view = makeMenu("acView", "&View");
  view->addAction(action("acShowToolbar"));
  view->addAction(action("acShowFileTabs"));
  view->addSeparator();
  for (const char* name : {"acWordwrap", "acViewRuler", "acShowSpecialCharacters", "acViewOEMCharset"})
    view->addAction(action(name));
  QMenu* charset = view->addMenu("Character S&et");
  charset->setObjectName("acCharsetMenu");
  menus_["acCharset"] = charset;
  charset->addAction(action("acCharsetUTF8"));
  charset->addAction(action("acCharsetWindows1252"));
  view->addSeparator();
  view->addAction(action("acLockFileForChanges"));
  connect(view, &QMenu::aboutToShow, this, [this] { updateActions(); });

  QMenu* tools = makeMenu("acTools", "&Tools");
  tools->addAction(action("acShellExecute"));
  tools->addSeparator();
  QMenu* setHl = tools->addMenu("&Set Highlighter");
  setHl->setObjectName("acSetHighlighterMenu");
  menus_["acSetHighlighter"] = setHl;
  connect(setHl, &QMenu::aboutToShow, this, [this] { rebuildHighlighterMenu(); });
  QMenu* convert = tools->addMenu("&Convert Text To...");
  convert->setObjectName("acConversionMenu");
  menus_["acConversion"] = convert;
  for (const char* name : {"acConvertToDOS", "acConvertToUnicode", "acConvertToUNIX", "acConvertToMAC"})
    convert->addAction(action(name));
  connect(tools, &QMenu::aboutToShow, this, [this] { updateActions(); });

  QMenu* options = makeMenu("acOptions", "&Options");
  options->addAction(action("acStayOnTop"));
  options->addSeparator();
  options->addAction(action("acExportRegistrySettings"));

  QMenu* win = makeMenu("acWin", "&Window");
  connect(win, &QMenu::aboutToShow, this, [this] { rebuildWindowMenu(); });
  rebuildWindowMenu();

  QMenu* help = makeMenu("acHelp", "&Help");
  help->addAction(action("acHelpTopics"));
  help->addSeparator();
  help->addAction(action("acAbout"));

  // Submenu heads carry the names of the actions they stand for.
  recent->menuAction()->setObjectName("acRecentFiles");
  setHl->menuAction()->setObjectName("acSetHighlighter");
  convert->menuAction()->setObjectName("acConversion");
  charset->menuAction()->setObjectName("acCharset");

  tabMenu_ = new QMenu(this);
  tabMenu_->setObjectName("pmFileTabs");
  tabMenu_->addAction(action("acClose"));
  QAction* copyName = tabMenu_->addAction("Cop&y Filename");
  copyName->setObjectName("miTabCopyFilename");
  connect(copyName, &QAction::triggered, this, [this] {
    if (TfmEditor* d = ActiveEditor()) QApplication::clipboard()->setText(Q(d->document().FileName()));
  });
}

void TfmMain::createToolbar() {
  // Icons from the desktop's theme; a button whose icon the theme lacks shows its caption.
  QIcon::setFallbackThemeName("Adwaita");
  const std::pair<const char*, const char*> icons[] = {
      {"acNew", "document-new"},     {"acOpen", "document-open"},   {"acSave", "document-save"},
      {"acClose", "window-close"},   {"acEditCut", "edit-cut"},     {"acEditCopy", "edit-copy"},
      {"acEditPaste", "edit-paste"}, {"acEditUndo", "edit-undo"},   {"acEditRedo", "edit-redo"},
      {"acExit", "application-exit"}, {"acHelpTopics", "help-contents"}, {"acAbout", "help-about"},
      {"acSaveAs", "document-save-as"}, {"acEditSelectAll", "edit-select-all"}, {"acEditDelete", "edit-delete"}};
  for (const auto& [name, icon] : icons)
    if (QIcon themed = QIcon::fromTheme(icon); !themed.isNull()) action(name)->setIcon(themed);
  toolbar_ = addToolBar("Main Toolbar");
  toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolbar_->setIconSize(QSize(16, 16));
  toolbar_->setObjectName("tbMain");
  toolbar_->setMovable(false);
  for (const char* name : {"acNew", "acOpen", "acSave", "acSaveAllFiles", "acClose"}) toolbar_->addAction(action(name));
  toolbar_->addSeparator();
  for (const char* name : {"acEditCut", "acEditCopy", "acEditPaste", "acEditUndo", "acEditRedo"})
    toolbar_->addAction(action(name));
  toolbar_->addSeparator();
  toolbar_->addAction(action("acWordwrap"));
  toolbar_->addAction(action("acStayOnTop"));
  toolbar_->addSeparator();
  highlighterBox_ = new QComboBox(toolbar_);
  highlighterBox_->setObjectName("cbHighlighters");
  highlighterBox_->setToolTip(Tr(1317, "Select active highlighter"));
  highlighterBox_->setMinimumContentsLength(14);
  highlighterBox_->setFocusPolicy(Qt::NoFocus);
  toolbar_->addWidget(highlighterBox_);
  connect(highlighterBox_, &QComboBox::activated, this, [this](int i) {
    TfmEditor* d = ActiveEditor();
    if (!d || i < 0) return;
    applyHighlighter(d, highlighterBox_->itemData(i).toInt());
    d->view().setFocus();
  });
  connect(toolbar_, &QToolBar::visibilityChanged, this,
          [this](bool visible) { action("acShowToolbar")->setChecked(visible); });
}

void TfmMain::createStatusBar() {
  for (int i = 0; i < kStatusPanelCount; ++i) {
    statusPanels_[i] = new QLabel(this);
    statusPanels_[i]->setObjectName(QString("stbMainPanel%1").arg(i));
    statusPanels_[i]->setContentsMargins(4, 0, 4, 0);
    statusBar()->addWidget(statusPanels_[i], i == spStatusMsg ? 1 : 0);
  }
  statusBar()->setObjectName("StatusBar");
  refreshStatus();
}

void TfmMain::createTray() { setTrayAvailable(QSystemTrayIcon::isSystemTrayAvailable()); }

void TfmMain::setTrayAvailable(bool available) {
  if (!available) {
    if (tray_) delete tray_->contextMenu();
    delete tray_;
    tray_ = nullptr;
    return;
  }
  if (tray_) return;
  tray_ = new QSystemTrayIcon(windowIcon(), this);
  tray_->setObjectName("tiTray");
  auto* menu = new QMenu(this);
  menu->setObjectName("pmTray");
  menu->addAction(action("acTrayRestore"));
  menu->addAction(action("acExit"));
  tray_->setContextMenu(menu);
  tray_->setToolTip("Quirvane");
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Trigger) restoreFromTray();
  });
}

void TfmMain::restoreFromTray() {
  if (tray_) tray_->hide();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TfmMain::updateActions() {
  TfmEditor* d = ActiveEditor();
  const bool hasDoc = d != nullptr;
  Document* document = hasDoc ? &d->document() : nullptr;
  const bool unlocked = hasDoc && !document->Locked();
  const bool sel = hasDoc && d->editor().selAvail();
  auto set = [this](const char* name, bool enabled, std::optional<bool> checked = std::nullopt,
                    std::optional<bool> visible = std::nullopt) {
    QAction* a = action(name);
    if (!a) return;
    a->setEnabled(enabled);
    if (checked) a->setChecked(*checked);
    if (visible) a->setVisible(*visible);
  };
  bool anyModified = false;
  for (TfmEditor* doc : Documents()) anyModified = anyModified || doc->document().Modified();

  set("acSave", hasDoc && document->Modified());
  set("acSaveAs", hasDoc);
  set("acSaveAllFiles", anyModified);
  set("acCopyTo", hasDoc);
  set("acRename", hasDoc && document->fileHandler().CanRename(), std::nullopt, hasDoc);
  set("acInsertFileAtCurrentPosition", unlocked, std::nullopt, unlocked);
  set("acAppendFile", unlocked, std::nullopt, unlocked);
  set("acWriteBlockToFile", sel, std::nullopt, hasDoc);
  set("acFileRevertToSaved", hasDoc && document->fileHandler().CanRevertToSaved());
  set("acFileRevertToBackup", hasDoc && document->fileHandler().BackupExists());
  if (QMenu* revert = menu("acFileRevert")) revert->menuAction()->setVisible(hasDoc);
  set("acClose", hasDoc);
  set("acCloseAll", hasDoc);
  if (editingActions_) editingActions_->refresh();
  if (QMenu* format = menu("acFormat")) format->menuAction()->setVisible(unlocked);
  if (QMenu* recent = menu("acRecentFiles")) recent->menuAction()->setEnabled(!workspace_->recentFiles().empty());

  if (QMenu* edit = menu("acEdit")) edit->menuAction()->setVisible(hasDoc);
  const bool clipboardText = QApplication::clipboard()->mimeData() && QApplication::clipboard()->mimeData()->hasText();
  set("acEditUndo", unlocked && d->editor().canUndo());
  set("acEditRedo", unlocked && d->editor().canRedo());
  set("acEditCut", sel && unlocked);
  set("acEditCopy", sel);
  set("acEditPaste", unlocked && clipboardText);
  set("acEditDelete", sel && unlocked);
  set("acEditSelectAll", hasDoc);

  set("acShowToolbar", true, toolbar_ && !toolbar_->isHidden());
  set("acShowFileTabs", true, fileTabsVsbl_);
  set("acWordwrap", hasDoc, hasDoc && document->Wordwrap());
  set("acViewRuler", hasDoc, EditorCfg().RulerVsbl);
  set("acShowSpecialCharacters", hasDoc, EditorCfg().Options.has(EditorOption::eoShowSpecialChars));
  set("acViewOEMCharset", hasDoc, hasDoc && document->OEMView());
  set("acLockFileForChanges", hasDoc, hasDoc && document->Locked());
  const DisplayCharset cs = hasDoc ? d->view().charset() : DisplayCharset::Utf8;
  const bool oem = hasDoc && document->OEMView();
  set("acCharsetUTF8", hasDoc && !oem, hasDoc && cs == DisplayCharset::Utf8);
  set("acCharsetWindows1252", hasDoc && !oem, hasDoc && cs == DisplayCharset::Windows1252);
  if (QMenu* charset = menu("acCharset")) charset->menuAction()->setEnabled(hasDoc);

  set("acShellExecute", hasDoc, std::nullopt, hasDoc);
  // Every Tools item needs a document; an empty menu is not shown.
  if (QMenu* tools = menu("acTools")) tools->menuAction()->setVisible(hasDoc);
  highlighterBox_->setEnabled(hasDoc);
  if (QMenu* setHl = menu("acSetHighlighter")) setHl->menuAction()->setVisible(hasDoc);
  if (QMenu* convert = menu("acConversion")) convert->menuAction()->setVisible(unlocked);
  const TTextFormat format = hasDoc ? document->TextFormat() : TTextFormat::tfNormal;
  set("acConvertToDOS", unlocked, hasDoc && format == TTextFormat::tfNormal);
  set("acConvertToUnicode", unlocked, hasDoc && format == TTextFormat::tfUnicode);
  set("acConvertToUNIX", unlocked, hasDoc && format == TTextFormat::tfUnix);
  set("acConvertToMAC", unlocked, hasDoc && format == TTextFormat::tfMac);

  set("acStayOnTop", true, stayOnTop_);
  for (const char* name : {"acCascade", "acTileHorizontal", "acTileVertical", "acNextWin", "acPrevWin"})
    set(name, hasDoc);
}

void TfmMain::rebuildRecentMenu() {
  QMenu* recent = menu("acRecentFiles");
  recent->clear();
  int n = 0;
  for (const std::string& name : workspace_->recentFiles().items()) {
    ++n;
    QString caption = Q(name);
    caption.replace("&", "&&");
    QAction* a = recent->addAction(n < 10 ? QString("&%1 %2").arg(n).arg(caption) : caption);
    a->setObjectName(QString("miRecentFile%1").arg(n));
    connect(a, &QAction::triggered, this, [this, name] { OpenFile(name); });
  }
}

void TfmMain::rebuildWindowMenu() {
  QMenu* win = menu("acWin");
  win->clear();
  for (const char* name : {"acCascade", "acTileHorizontal", "acTileVertical", "acNextWin", "acPrevWin"})
    win->addAction(action(name));
  const std::vector<TfmEditor*> docs = Documents();
  if (docs.empty()) return;
  win->addSeparator();
  std::vector<std::string> names;
  for (TfmEditor* d : docs) names.push_back(d->document().FileName());
  const std::vector<std::string> captions = WindowMenuCaptions(names);
  for (std::size_t i = 0; i < captions.size(); ++i) {
    TfmEditor* d = docs[i];
    QAction* a = win->addAction(Q(captions[i]));
    a->setObjectName(QString("miWindow%1").arg(i + 1));
    a->setCheckable(true);
    a->setChecked(d == ActiveEditor());
    connect(a, &QAction::triggered, this, [this, d] {
      if (handleOf(d)) ActivateDocument(d, true);
    });
  }
}

void TfmMain::rebuildHighlighterMenu() {
  QMenu* setHl = menu("acSetHighlighter");
  setHl->clear();
  TfmEditor* d = ActiveEditor();
  const int current = d ? d->document().Highlighter().index : -1;
  auto* group = new QActionGroup(setHl);
  for (const auto& named : highlighters_->SortedNames()) {
    const THighLighter* entry = nullptr;
    int index = -1;
    const auto& entries = highlighters_->entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].name == named.name) {
        entry = &entries[i];
        index = static_cast<int>(i);
        break;
      }
    if (!entry) continue;
    QAction* a = setHl->addAction(Q(named.name));
    a->setCheckable(true);
    a->setChecked(index == current);
    group->addAction(a);
    connect(a, &QAction::triggered, this, [this, index] {
      if (TfmEditor* doc = ActiveEditor()) applyHighlighter(doc, index);
    });
  }
}

void TfmMain::rebuildHighlighterBox() {
  highlighterBox_->clear();
  const auto& entries = highlighters_->entries();
  for (const auto& named : highlighters_->SortedNames())
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].name == named.name) {
        highlighterBox_->addItem(Q(named.name), static_cast<int>(i));
        break;
      }
}

// ---------------------------------------------------------------------------------------------
// Documents

// The main window as the workspace sees it: document windows in the MDI area and the tab row.
class TfmMain::WindowSide final : public WorkspaceWindows {
 public:
  explicit WindowSide(TfmMain& w) : w_(w) {}

  Document& createWindow(DocumentHandle handle) override { return w_.makeDocumentWindow(handle); }
  void applyNewFileDefaults(DocumentHandle handle) override {
    TfmEditor* editor = w_.document(handle);
    Document& doc = editor->document();
    const THighLighter& entry = w_.highlighters_->HighlighterForNewDocument(EditorCfg().DefaultHighlighter);
    doc.SetHighlighter({static_cast<int>(&entry - w_.highlighters_->entries().data()), entry.defaultFilter});
    doc.SetTextFormat(static_cast<TTextFormat>(std::clamp(EditorCfg().DefaultTextFormat, 0, 3)));
    editor->SetWordwrap(EditorCfg().WordwrapByDefault);
  }
  void showWindow(DocumentHandle handle, bool maximized) override {
    TfmEditor* editor = w_.document(handle);
    QMdiSubWindow* window = w_.docs_[handle].window;
    editor->setWindowTitle(editor->Caption());
    w_.syncHighlighter(editor);
    if (maximized)
      window->showMaximized();
    else
      window->show();
    w_.mdi_->setActiveSubWindow(window);
  }
  void closeWindow(DocumentHandle handle) override {
    if (const auto it = w_.docs_.find(handle); it != w_.docs_.end()) it->second.window->close();
  }
  void bringToFront(DocumentHandle handle, bool redrawAtOnce) override {
    if (redrawAtOnce) w_.setUpdatesEnabled(false);
    w_.mdi_->setActiveSubWindow(w_.docs_[handle].window);
    if (!w_.updatesEnabled() && w_.paintLockCount() == 0) {
      w_.setUpdatesEnabled(true);
      w_.update();
    }
  }
  bool isInFront(DocumentHandle handle) const override {
    const auto it = w_.docs_.find(handle);
    return it != w_.docs_.end() && w_.mdi_->activeSubWindow() == it->second.window;
  }
  bool isMaximized(DocumentHandle handle) const override {
    const auto it = w_.docs_.find(handle);
    return it != w_.docs_.end() && it->second.window && it->second.window->isMaximized();
  }
  bool mainWindowMaximized() const override { return w_.isMaximized(); }
  void lockUpdates(bool locked) override {
    w_.setUpdatesEnabled(!locked);
    if (!locked) w_.update();
  }
  void tabInserted(int index, DocumentHandle) override {
    w_.tabs_->insertTab(index, QString());
    w_.tabs_->setCurrentIndex(index);
  }
  void tabRemoved(int index) override {
    w_.tabs_->removeTab(index);
    w_.layoutTabs();
  }
  void activeChanged(DocumentHandle handle) override {
    if (TfmEditor* editor = w_.document(handle)) {
      w_.showActive(editor);
      w_.refreshTab(editor);
    }
  }
  void documentLoaded(DocumentHandle handle) override {
    TfmEditor* editor = w_.document(handle);
    w_.syncHighlighter(editor);
    if (!editor->document().FileMissing()) editor->view().chooseCharsetFromText();
  }
  void lastDocumentClosed() override {
    w_.refreshStatus();
    if (w_.tray_) w_.tray_->setToolTip("Quirvane");
    if (!w_.closing_ && EnvOptions().MinimizeIfNoFiles) w_.showMinimized();
  }
  void closeAllFinished(bool allClosed) override {
    w_.refreshStatus();
    if (allClosed && EnvOptions().MinimizeIfNoFiles && !w_.closing_) {
      w_.showMinimized();
      if (w_.tray_) w_.tray_->setToolTip("Quirvane");
    }
  }
  Prompter& prompter() override { return *w_.services_.prompter; }

 private:
  TfmMain& w_;
};

TfmEditor* TfmMain::document(DocumentHandle handle) const {
  const auto it = docs_.find(handle);
  return it == docs_.end() ? nullptr : it->second.editor;
}

std::optional<DocumentHandle> TfmMain::handleOf(const TfmEditor* doc) const {
  for (const auto& [handle, entry] : docs_)
    if (entry.editor == doc) return handle;
  return std::nullopt;
}

TfmEditor* TfmMain::ActiveEditor() const {
  const auto active = workspace_->active();
  return active ? document(*active) : nullptr;
}

std::vector<TfmEditor*> TfmMain::Documents() const {
  std::vector<TfmEditor*> out;
  for (DocumentHandle h : workspace_->order().tabs())
    if (TfmEditor* d = document(h)) out.push_back(d);
  return out;
}

TfmEditor* TfmMain::EnumDocument(int index) const {
  const auto handle = workspace_->EnumDocument(index);
  return handle ? document(*handle) : nullptr;
}

TfmEditor* TfmMain::MaximizedDocument() const {
  const auto handle = workspace_->MaximizedDocument();
  return handle ? document(*handle) : nullptr;
}

Document& TfmMain::makeDocumentWindow(DocumentHandle handle) {
  auto* editor = new TfmEditor(services_);
  InstallEditingCommands(editor->editor(), [this, editor] { return editingContext(editor); });
  editor->ApplyEditorConfig(EditorCfg());
  QMdiSubWindow* window = mdi_->addSubWindow(editor);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowIcon(TFileIconPool::NewFileIcon());
  docs_[handle] = {editor, window};

  connect(editor, &TfmEditor::captionChanged, this, [this, editor] {
    if (!handleOf(editor)) return;
    editor->setWindowTitle(editor->Caption());
    syncHighlighter(editor);
    refreshTab(editor);
  });
  connect(editor, &TfmEditor::statusChanged, this, [this, editor] {
    if (editor != ActiveEditor()) return;
    refreshStatus();
    updateActions();
  });
  connect(editor, &TfmEditor::activated, this, [this, editor] {
    if (const auto h = handleOf(editor); h && editor != ActiveEditor()) workspace_->documentActivated(*h);
  });
  connect(editor, &TfmEditor::closed, this, [this, editor] { documentClosed(editor); });
  // Dragging the right margin moves it in every document and is kept in the settings.
  connect(editor, &TfmEditor::rightEdgeDragged, this, [this](int column) {
    EditorCfg().RightEdge = column;
    SetEditorCfgChanged(true);
    for (TfmEditor* d : Documents()) d->view().setRightEdge(column);
  });
  connect(editor, &TfmEditor::filesDropped, this, [this](const QStringList& files) {
    std::vector<std::string> names;
    for (const QString& f : files) names.push_back(S(f));
    OpenFileList(names, false);
  });
  connect(window, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
    refreshStatus();
    // The user restored a maximized document: every document is visited once (posted, so
    // the restore of all windows finishes first).
    const bool restored = (before & Qt::WindowMaximized) && !(now & (Qt::WindowMaximized | Qt::WindowMinimized));
    if (restored && !cycling_ && !cyclePending_ && !closing_) {
      cyclePending_ = true;
      QTimer::singleShot(0, this, [this] {
        cyclePending_ = false;
        if (!MaximizedDocument()) CycleDocumentsAfterRestore();
      });
    }
  });
  return editor->document();
}

TfmEditor* TfmMain::CreateDocument(bool newFile) { return document(workspace_->CreateDocument(newFile)); }

TfmEditor* TfmMain::NewDocument() {
  TfmEditor* d = document(workspace_->NewDocument());
  d->view().setFocus();
  return d;
}

bool TfmMain::OpenFile(const std::string& name) { return workspace_->OpenFile(name); }

void TfmMain::OpenFileFromCommandLine(const std::string& name) {
  std::error_code cwdError;
  workspace_->OpenFileFromCommandLine(name, fs::current_path(cwdError).string());
}

void TfmMain::OpenFileList(const std::vector<std::string>& names, bool onlyExisting) {
  workspace_->OpenFileList(names, onlyExisting);
}

TfmEditor* TfmMain::FindDocument(const std::string& name) const {
  const auto handle = workspace_->FindDocument(name);
  return handle ? document(*handle) : nullptr;
}

void TfmMain::ActivateDocument(TfmEditor* doc, bool force) {
  if (const auto handle = doc ? handleOf(doc) : std::nullopt) workspace_->ActivateDocument(*handle, force);
}

void TfmMain::showActive(TfmEditor* doc) {
  const auto handle = handleOf(doc);
  if (!handle) return;
  if (const auto index = workspace_->order().indexOf(*handle)) tabs_->setCurrentIndex(*index);
  const int hl = doc->document().Highlighter().index;
  for (int i = 0; i < highlighterBox_->count(); ++i)
    if (highlighterBox_->itemData(i).toInt() == hl) highlighterBox_->setCurrentIndex(i);
  refreshStatus();
  updateActions();
  // Typing goes to the document that came to the front.
  if (isActiveWindow() && !doc->isAncestorOf(QApplication::focusWidget())) doc->view().setFocus();
}

void TfmMain::closeDocument(TfmEditor* doc) {
  if (const auto handle = handleOf(doc)) workspace_->CloseDocument(*handle);
}

void TfmMain::documentClosed(TfmEditor* doc) {
  const auto handle = handleOf(doc);
  if (!handle) return;
  docs_.erase(*handle);
  workspace_->documentClosed(*handle);
  layoutTabs();
  updateActions();
}

void TfmMain::refreshTab(TfmEditor* doc) {
  const auto handle = handleOf(doc);
  if (!handle) return;
  const auto index = workspace_->order().indexOf(*handle);
  if (!index) return;
  const Document& d = doc->document();
  tabs_->setTabText(*index, doc->TabText());
  tabs_->setTabToolTip(*index, Q(d.FileName()));
  const int icon = d.NewFile() ? iconPool_->NewFileIndex() : iconPool_->IconIndex(Q(d.FileName()));
  tabs_->setTabIcon(*index, vsblFileTabIcons_ && icon >= 0 ? iconPool_->Icon(icon) : QIcon());
  if (auto* window = docs_[*handle].window; window && icon >= 0) window->setWindowIcon(iconPool_->Icon(icon));
  layoutTabs();
}

void TfmMain::layoutTabs() {
  const bool visible = fileTabsVsbl_ && tabs_->count() > 0;
  tabs_->setVisible(visible);
  tabs_->setMultiline(multilineTabs_);
  if (visible) tabs_->relayout();
}

void TfmMain::SetMultilineTabs(bool on) {
  multilineTabs_ = on;
  layoutTabs();
}

void TfmMain::SetFileTabsVsbl(bool on) {
  fileTabsVsbl_ = on;
  layoutTabs();
  updateActions();
}

int TfmMain::statusPanelCount() const {
  int n = 0;
  for (QLabel* l : statusPanels_) n += l->isVisibleTo(const_cast<TfmMain*>(this)) ? 1 : 0;
  return n;
}

void TfmMain::refreshStatus() {
  TfmEditor* active = ActiveEditor();
  for (TfmEditor* d : Documents()) {
    const auto handle = handleOf(d);
    const bool maximized = docs_[*handle].window->isMaximized();
    if (d->statusBarVisible() == maximized) d->setStatusBarVisible(!maximized);
  }
  const bool eight = active && !active->statusBarVisible();
  const QStringList texts = eight ? active->StatusTexts() : QStringList();
  for (int i = 0; i < kStatusPanelCount; ++i) {
    statusPanels_[i]->setVisible(eight || i == spStatusMsg);
    statusPanels_[i]->setText(eight && i < texts.size() ? texts[i] : QString());
  }
}

void TfmMain::syncHighlighter(TfmEditor* doc) {
  const int index = doc->document().Highlighter().index;
  auto& entries = highlighters_->entries();
  if (index < 0 || index >= static_cast<int>(entries.size())) return;
  Highlighter* h = entries[static_cast<std::size_t>(index)].highlighter;
  if (doc->highlighter() != h) doc->SetHighlighter(h);
  if (doc == ActiveEditor())
    for (int i = 0; i < highlighterBox_->count(); ++i)
      if (highlighterBox_->itemData(i).toInt() == index) highlighterBox_->setCurrentIndex(i);
}

void TfmMain::applyHighlighter(TfmEditor* doc, int entryIndex) {
  auto& entries = highlighters_->entries();
  if (entryIndex < 0 || entryIndex >= static_cast<int>(entries.size())) return;
  const THighLighter& entry = entries[static_cast<std::size_t>(entryIndex)];
  doc->document().SetHighlighter({entryIndex, entry.defaultFilter});
  doc->SetColorCurrentLine(entry.colorCurrentLine);
  doc->SetOverrideTxtFgColor(entry.overrideTxtFgColor);
  syncHighlighter(doc);
}

void TfmMain::NextDocument(bool forward) { workspace_->NextDocument(forward); }

void TfmMain::CycleDocumentsAfterRestore() {
  if (cycling_) return;
  cycling_ = true;
  workspace_->VisitEveryDocument();
  cycling_ = false;
}

bool TfmMain::CloseAll() { return workspace_->CloseAll(); }

bool TfmMain::BeginPaintLock(bool onlyWhenMaximized) { return workspace_->BeginPaintLock(onlyWhenMaximized); }

void TfmMain::EndPaintLock(bool onlyWhenMaximized) { workspace_->EndPaintLock(onlyWhenMaximized); }

void TfmMain::SetStayOnTop(bool on) {
  stayOnTop_ = on;
  const bool visible = isVisible();
  const QRect geometry = this->geometry();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (visible) {
    setGeometry(geometry);
    show();
  }
  updateActions();
}

void TfmMain::checkFilesOnDisk() {
  if (closing_ || !EnvOptions().DetectFileChanges || services_.changeCheckRunning) return;
  for (TfmEditor* d : Documents())
    if (handleOf(d)) d->document().CheckFileOnDisk();
}

void TfmMain::showTabMenu(int index, const QPoint& globalPos) {
  if (const auto handle = workspace_->order().at(index)) ActivateDocument(document(*handle), true);
  tabMenu_->popup(globalPos);
}

// ---------------------------------------------------------------------------------------------
// Commands

void TfmMain::cmdOpen() {
  FileDialogRequest request;
  TfmEditor* d = ActiveEditor();
  const auto filter = highlighters_->BuildDialogFilter(d ? d->highlighter() : nullptr);
  request.filter = filter.filter;
  request.filterIndex = filter.index;
  request.initialDir = EnvOptions().LastDir;
  request.allowMultiple = true;
  const auto answer = services_.prompter->openFile(request);
  if (!answer || answer->files.empty()) return;
  for (const std::string& f : answer->files) workspace_->recentFiles().add(CanonicalFileName(f));
  OpenFileList(answer->files, false);
  NoteLastDir(answer->files.front());
}

void TfmMain::cmdSaveAll() {
  for (TfmEditor* d : Documents())
    if (handleOf(d) && d->document().Modified()) d->document().Save(false);
}

void TfmMain::cmdRename() {
  TfmEditor* d = ActiveEditor();
  if (!d || !d->document().fileHandler().CanRename()) return;
  const std::string oldName = d->document().FileName();
  const auto answer = services_.prompter->input(TranslatedText(1100, "Rename File"),
                                                TranslatedText(1101, "New filename:"),
                                                fs::path(oldName).filename().string());
  if (!answer || answer->empty()) return;
  if (d->document().fileHandler().RenameTo(*answer)) {
    workspace_->recentFiles().remove(oldName);
    workspace_->recentFiles().add(d->document().FileName());
  }
}

void TfmMain::cmdInsertFile(bool append) {
  TfmEditor* d = ActiveEditor();
  if (!d || d->document().Locked()) return;
  FileDialogRequest request;
  const auto filter = highlighters_->BuildDialogFilter(d->highlighter());
  request.filter = filter.filter;
  request.filterIndex = filter.index;
  request.initialDir = EnvOptions().LastDir;
  const auto answer = services_.prompter->openFile(request);
  if (!answer || answer->files.empty()) return;
  const std::string& name = answer->files.front();
  const bool ok = append ? d->document().AppendFile(name) : d->document().InsertFile(name);
  if (!ok) ShowOpenError(name, *services_.prompter);
}

void TfmMain::cmdWriteBlock() {
  TfmEditor* d = ActiveEditor();
  if (!d || !d->editor().selAvail()) return;
  if (const auto name = d->document().fileHandler().AskBlockFileName()) d->document().WriteSelectionToFile(*name);
}

void TfmMain::cmdExportRegistrySettings() {
  SaveSettings();
  FileDialogRequest request;
  request.defaultExt = "reg";
  request.filter = "Registry files (*.reg)|*.reg|All files (*.*)|*.*";
  request.overwritePrompt = true;
  const auto answer = services_.prompter->saveFile(request);
  if (!answer || answer->files.empty()) return;
  Registry reg;
  ExportRegistrySettings(reg.tree(), answer->files.front());
}

void TfmMain::cmdHelpTopics() {
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(ApplicationDirectory() + "help/Topics.htm")));
}

void TfmMain::cmdAbout() {
  QMessageBox box(this);
  box.setObjectName("fmAbout");
  box.setWindowTitle("About Quirvane");
  box.setIconPixmap(windowIcon().pixmap(48, 48));
  box.setText(QString("<b>Quirvane</b> %1").arg(kVersion));
  box.setInformativeText(
      "A programmer's text editor for the Linux desktop.\n\nBuilt with Qt %1, PCRE2 and SQLite."
      "\nThanks to everyone who reported a problem or suggested an improvement.");
  box.setInformativeText(box.informativeText().arg(qVersion()));
  box.setStandardButtons(QMessageBox::Ok);
  TranslateWidget(&box, "fmAbout");
  box.exec();
}

// ---------------------------------------------------------------------------------------------
// Command line, start action and hand-over

bool TfmMain::ProcessCommandLine(const std::vector<std::string>& args) {
  CommandLineEnv env;
  env.prompter = services_.prompter;
  env.text = [](int id, const std::string& english) { return TranslatedText(id, english); };
  return qv::ProcessCommandLine(args, *this, env);
}

std::optional<DocumentHandle> TfmMain::activeDocument() const { return workspace_->active(); }

bool TfmMain::isProjectFile(const std::string&) { return false; }  // projects arrive with their manager

std::vector<DocumentHandle> TfmMain::openProjectFile(const std::string& name) {
  ShowOpenError(name, *services_.prompter);
  workspace_->recentProjects().remove(name);
  return {};
}

void TfmMain::printFile(const std::string& name) {
  if (!OpenFile(name)) return;
  services_.prompter->message("Quirvane", "Printing is not available in this version.", MsgIcon::Information,
                              MsgButtons::Ok);
}

int TfmMain::documentWindowCount() const { return static_cast<int>(mdi_->subWindowList().size()); }

void TfmMain::goTo(DocumentHandle handle, std::int32_t column, std::int32_t line) {
  if (TfmEditor* d = document(handle)) {
    d->editor().setLeftChar(1);
    d->SetCaret(column, line);
    d->CenterCaretLine();
  }
}

void TfmMain::playMacro(DocumentHandle, const std::string&) {}  // macros arrive with their store

void TfmMain::lock(DocumentHandle handle) {
  if (TfmEditor* d = document(handle)) d->document().SetLocked(true);
}

void TfmMain::save(DocumentHandle handle) {
  if (TfmEditor* d = document(handle)) d->document().Save(false);
}

void TfmMain::close(DocumentHandle handle) {
  if (TfmEditor* d = document(handle)) closeDocument(d);
}

void TfmMain::postCloseRequest() { QMetaObject::invokeMethod(this, "close", Qt::QueuedConnection); }

DocumentHandle TfmMain::createBlankDocument() {
  const DocumentHandle handle = workspace_->CreateBlankDocument();
  if (TfmEditor* d = document(handle)) d->view().setFocus();
  return handle;
}

std::optional<DocumentHandle> TfmMain::findDocument(const std::string& name) {
  if (TfmEditor* d = FindDocument(name)) return handleOf(d);
  return std::nullopt;
}

void TfmMain::activateDocument(DocumentHandle handle) { ActivateDocument(document(handle), true); }

bool TfmMain::allowsAnotherInstance() {
  // A dialog above the main window answers 0, so the start hands over.
  if (QApplication::activeModalWidget()) return false;
  return EnvOptions().MultipleInstances;
}

void TfmMain::handOverChunkArrived() {
  if (tray_) tray_->hide();
  if (isMinimized() || !isVisible()) {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
  }
  raise();
  activateWindow();
}

void TfmMain::handOverArrived(const std::vector<std::string>& arguments) {
  // Run after the answer went back, so the sender is free while documents open.
  QTimer::singleShot(0, this, [this, arguments] { ProcessCommandLine(arguments); });
}

void TfmMain::handOverRefused() {
  services_.prompter->message("Quirvane", "A second start handed over more text than can be taken; it was ignored.",
                              MsgIcon::Warning, MsgButtons::Ok);
}

// ---------------------------------------------------------------------------------------------
// Settings

void TfmMain::registerSettingsSteps() {
  SettingsSteps& steps = ProgramSettingsSteps();
  steps.onLoad(LoadStep::Global, kSettingsOwner, [this](Registry& reg) { loadGlobalSettings(reg); });
  steps.onSave(SaveStep::Global, kSettingsOwner, [this](Registry& reg) { saveGlobalSettings(reg); });
  steps.onLoad(LoadStep::RecentLists, kSettingsOwner, [this](Registry& reg) {
    workspace_->recentFiles().Load(reg, "mruFiles");
    workspace_->recentProjects().Load(reg, "mruProjects");
  });
  steps.onSave(SaveStep::RecentLists, kSettingsOwner, [this](Registry& reg) {
    workspace_->recentFiles().Save(reg, "mruFiles");
    workspace_->recentProjects().Save(reg, "mruProjects");
  });
  steps.onLoad(LoadStep::LastOpenFiles, kSettingsOwner, [this](Registry& reg) {
    if (EnvOptions().StartAction == kStartOpenLast) lastOpenFiles_ = LoadLastOpenFiles(reg);
  });
  steps.onSave(SaveStep::LastOpenFiles, kSettingsOwner, [this](Registry& reg) {
    SaveLastOpenFiles(reg, EnvOptions().StartAction, workspace_->CollectLastOpen(""));
  });
  highlighters_->RegisterSettingsSteps(steps);
}

void TfmMain::loadGlobalSettings(Registry& reg) {
  if (!reg.OpenKey(kGlobalKey, true)) return;
  MainWindowPlacement placement(*this);
  ReadFormPlacement(reg, placement);
  formMaximized_ = ReadBoolDef(reg, "FormMaximized", false);
  fileTabsVsbl_ = ReadBoolDef(reg, "FileTabsVsbl", true);
  stayOnTop_ = ReadBoolDef(reg, "StayOnTop", false);
  vsblFileTabIcons_ = ReadBoolDef(reg, "VsblFileTabIcons", true);
  multilineTabs_ = ReadBoolDef(reg, "MultilineTabs", true);
  btmWinVsbl_ = ReadBoolDef(reg, "BtmWinVsbl", true);
  saveFilePositions_ = ReadBoolDef(reg, "SaveFilePositions", true);
  wordWrap_ = ReadBoolDef(reg, "WordWrap", false);
  prjManagerRelPath_ = ReadBoolDef(reg, "PrjManagerRelPath", false);
  reg.CloseKey();
  if (stayOnTop_) SetStayOnTop(true);
  layoutTabs();
}

void TfmMain::saveGlobalSettings(Registry& reg) {
  if (!reg.OpenKey(kGlobalKey, true)) return;
  MainWindowPlacement placement(*this);
  WriteFormPlacement(reg, placement);
  TfmEditor* active = ActiveEditor();
  reg.WriteBool("EditorMaximized", !active || MaximizedDocument() == active);
  reg.WriteBool("FileTabsVsbl", fileTabsVsbl_);
  reg.WriteBool("StayOnTop", stayOnTop_);
  reg.WriteBool("VsblFileTabIcons", vsblFileTabIcons_);
  reg.WriteBool("MultilineTabs", multilineTabs_);
  // Kept for the parts of the program that use them, so a run never loses them.
  reg.WriteBool("BtmWinVsbl", btmWinVsbl_);
  reg.WriteBool("SaveFilePositions", saveFilePositions_);
  reg.WriteBool("WordWrap", wordWrap_);
  reg.WriteBool("PrjManagerRelPath", prjManagerRelPath_);
  reg.CloseKey();
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

void TfmMain::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shown_) return;
  shown_ = true;
  FirstShow();
}

void TfmMain::FirstShow() {
  highlighters_->BuildHighlighterTable(fs::path(ApplicationDirectory()) / "Highlighters", *services_.prompter);
  rebuildHighlighterBox();
  lastOpenFiles_ = {};
  LoadSettings();
  refreshDocumentSettings();
  history_->SetEnabled(saveFilePositions_);

  std::error_code ec;
  if (!startupDir_.empty()) fs::current_path(startupDir_, ec);
  if (!ProcessCommandLine(startArgs_))
    PerformStartAction(EnvOptions().StartAction, lastOpenFiles_, *this, workspace_->initialBlank());

  if (EnvOptions().RememberLastDir && !EnvOptions().LastDir.empty()) fs::current_path(EnvOptions().LastDir, ec);
  if (formMaximized_) {
    const bool lock = BeginPaintLock();
    showMaximized();
    if (lock) EndPaintLock();
  }
  updateActions();
}

bool TfmMain::ShutDown() {
  if (shutDownDone_) return true;
  for (TfmEditor* d : Documents())
    if (!d->document().CloseQuery()) return false;
  closing_ = true;
  SaveSettings();
  if (stayOnTop_) {
    // The window is going away: drop the layer without showing it again.
    stayOnTop_ = false;
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
  }
  shutDownDone_ = true;
  return true;
}

void TfmMain::closeEvent(QCloseEvent* e) {
  if (!ShutDown()) {
    e->ignore();
    return;
  }
  if (tray_) tray_->hide();
  e->accept();
}

void TfmMain::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::WindowStateChange && isMinimized() && tray_ && EnvOptions().MinimizeToTray) {
    tray_->setToolTip(windowTitle());
    tray_->show();
    // Hiding the minimised window takes its taskbar button away; the tray brings it back.
    QTimer::singleShot(0, this, [this] {
      if (isMinimized() && tray_ && tray_->isVisible()) hide();
    });
  }
}

void TfmMain::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  layoutTabs();
}

bool TfmMain::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  auto* ke = static_cast<QKeyEvent*>(e);
  const Qt::KeyboardModifiers mods = ke->modifiers() & ~Qt::KeypadModifier;
  const int key = ke->key();
  const bool altDigit = mods == Qt::AltModifier && key >= Qt::Key_0 && key <= Qt::Key_9;
  const bool altEnter = mods == Qt::AltModifier && (key == Qt::Key_Return || key == Qt::Key_Enter);
  const bool nextWindow = key == Qt::Key_F6 && (mods == Qt::ControlModifier ||
                                                mods == (Qt::ControlModifier | Qt::ShiftModifier));
  if (!altDigit && !altEnter && !nextWindow) return false;
  if (e->type() == QEvent::ShortcutOverride) {
    e->accept();  // keeps these keys away from shortcuts; the key press follows
    return true;
  }
  if (altDigit) {
    workspace_->ActivateByAltDigit(key - Qt::Key_0);
  } else if (nextWindow) {
    NextDocument(!(mods & Qt::ShiftModifier));
  }
  return true;
}

void TfmMain::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TfmMain::dropEvent(QDropEvent* e) {
  std::vector<std::string> names;
  for (const QUrl& url : e->mimeData()->urls())
    if (url.isLocalFile()) names.push_back(S(url.toLocalFile()));
  if (names.empty()) return;
  e->acceptProposedAction();
  OpenFileList(names, false);
}

}  // namespace qv

namespace qv {

// ---------------------------------------------------------------------------------------------
// Editing commands, bookmarks and the position history

EditingContext TfmMain::editingContext(TfmEditor* doc) {
  const Document& d = doc->document();
  const int index = d.Highlighter().index;
  auto& entries = highlighters_->entries();
  const THighLighter* entry =
      index >= 0 && index < static_cast<int>(entries.size()) ? &entries[static_cast<std::size_t>(index)] : nullptr;
  EditingContext c = MakeEditingContext(entry, EditorCfg(), wordWrap_);
  c.locked = d.Locked();
  c.newFile = d.NewFile();
  c.fileName = d.FileName();
  c.prompter = services_.prompter;
  c.memory = editingMemory_.get();
  return c;
}

void TfmMain::installEditing() {
  QMenu* format = addMenuAfter("acEdit", "acFormat", "For&mat");
  editingActions_ = new EditingActions(this, {menu("acEdit"), format, menu("acView")},
                                       [this]() -> std::optional<EditingTarget> {
                                         TfmEditor* d = ActiveEditor();
                                         if (!d) return std::nullopt;
                                         return EditingTarget{&d->editor(), editingContext(d)};
                                       });
}

void TfmMain::recordPosition(Document& d) {
  if (!history_->Enabled() || d.FileMissing()) return;
  const int index = d.Highlighter().index;
  auto& entries = highlighters_->entries();
  const THighLighter* entry =
      index >= 0 && index < static_cast<int>(entries.size()) ? &entries[static_cast<std::size_t>(index)] : nullptr;
  history_->Store(d.editor(), d.FileName(), HandChosenHighlighter(*highlighters_, d.FileName(), entry));
}

void TfmMain::restorePosition(Document& d) {
  TfmEditor* doc = nullptr;
  for (TfmEditor* e : Documents())
    if (&e->document() == &d) doc = e;
  const FilePosRestore r =
      history_->Restore(d.editor(), d.FileName(), EditorCfg().WordwrapByDefault, services_.projectLoad);
  if (!doc) return;
  if (r.wordWrap) doc->SetWordwrap(*r.wordWrap);
  if (!r.highlighter.empty())
    if (THighLighter* entry = highlighters_->FindHighlighterByName(r.highlighter))
      applyHighlighter(doc, static_cast<int>(entry - highlighters_->entries().data()));
  // The view scrolls to the restored top line once it has its size.
  QTimer::singleShot(0, doc, [doc] { doc->view().ensureCaretVisible(); });
}

}  // namespace qv
