// Document management of the main window: opening, tabs, keys, recent files, the command line
// and what is remembered at shut-down.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>

#include "config/editor_cfg.h"
#include "config/env_options.h"
#include "documents/ui/editor_window.h"
#include "editor/ui/editor_view.h"
#include "platform/registry.h"
#include "platform/scripted_prompter.h"
#include "shell/handover.h"
#include "shell/ui/file_tab_row.h"
#include "shell/ui/main_window.h"
#include "ui_test_env.h"

namespace fs = std::filesystem;
using qv::TfmEditor;
using qv::TfmMain;
using qv::Highlighter;

namespace {

std::string MakeFile(const fs::path& dir, const std::string& name, const std::string& text) {
  fs::create_directories(dir);
  const fs::path path = dir / name;
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

// Sends a mouse event to the tab row as a real pointer would.
void SendMouse(qv::FileTabRow* tabs, QEvent::Type type, QPoint at, Qt::MouseButtons held,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(at), QPointF(tabs->mapToGlobal(at)), button, held, mods);
  QApplication::sendEvent(tabs, &e);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

QStringList TabTexts(const TfmMain& w) {
  QStringList out;
  for (int i = 0; i < w.fileTabs()->count(); ++i) out << w.fileTabs()->tabText(i);
  return out;
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

  fs::path dir_;
  qv::ScriptedPrompter* prompter_ = nullptr;
  std::unique_ptr<TfmMain> window_;

  TfmMain& start() {
    window_ = std::make_unique<TfmMain>();
    window_->show();
    return *window_;
  }

 private slots:
  void initTestCase() { qv::test::UsePrivateDirs(); }
  void cleanupTestCase() { qv::ReleaseEnvOptions(); }

  void init() {
    static int n = 0;
    dir_ = fs::path(qv::test::UsePrivateDirs().path().toStdString()) / ("case" + std::to_string(++n));
    fs::create_directories(dir_);
    fs::current_path(dir_);
    auto prompter = std::make_unique<qv::ScriptedPrompter>(
        [](const std::string& what) { QFAIL(("unexpected prompt: " + what).c_str()); });
    prompter_ = prompter.get();
    qv::InstallPrompter(std::move(prompter));
    qv::EnvOptions().StartAction = 0;
    qv::EnvOptions().MinimizeIfNoFiles = false;
    qv::EnvOptions().MinimizeToTray = false;
  }

  void cleanup() {
    if (window_) {
      for (TfmEditor* d : window_->Documents()) d->document().SetModified(false);
      window_->close();
      window_.reset();
    }
    qv::InstallPrompter(nullptr);
  }

  void openingAFileTwiceActivatesIt() {
    const std::string a = MakeFile(dir_, "a.txt", "alpha\n");
    const std::string b = MakeFile(dir_, "b.txt", "beta\n");
    TfmMain& w = start();
    QVERIFY(w.OpenFile(a));
    QVERIFY(w.OpenFile(b));
    TfmEditor* first = w.FindDocument(a);
    QVERIFY(first);
    first->editor().setText("changed in memory");
    QVERIFY(w.OpenFile((dir_ / "." / "a.txt").string()));
    QCOMPARE(w.Documents().size(), std::size_t(2));
    QCOMPARE(w.ActiveEditor(), first);
    QCOMPARE(QString::fromStdString(first->editor().text()), QString("changed in memory"));
  }

  void aMissingFileIsReportedAndLeavesNoDocument() {
    TfmMain& w = start();
    prompter_->answerMessage(qv::MsgResult::Ok, "Error opening");
    QVERIFY(!w.OpenFile((dir_ / "nothing.txt").string()));
    QVERIFY(w.Documents().empty());
    QCOMPARE(prompter_->pending(), std::size_t(0));
  }

  void aNewDocumentGoesRightOfTheCurrentTab() {
    TfmMain& w = start();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) QVERIFY(w.OpenFile(MakeFile(dir_, name, "x")));
    w.ActivateDocument(w.EnumDocument(0), true);
    TfmEditor* fresh = w.NewDocument();
    QCOMPARE(w.EnumDocument(1), fresh);
    QCOMPARE(TabTexts(w), (QStringList{"a.txt", "Edit1", "b.txt", "c.txt"}));
    QCOMPARE(w.fileTabs()->currentIndex(), 1);
  }

  void draggingTheRightMarginMovesItInEveryDocumentAndKeepsIt() {
    TfmMain& w = start();
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "x")));
    QVERIFY(w.OpenFile(MakeFile(dir_, "b.txt", "y")));
    const int before = qv::EditorCfg().RightEdge;
    qv::SetEditorCfgChanged(false);
    emit w.EnumDocument(0)->rightEdgeDragged(before + 17);
    for (TfmEditor* d : w.Documents()) QCOMPARE(d->view().rightEdge(), before + 17);
    QCOMPARE(qv::EditorCfg().RightEdge, before + 17);
    QVERIFY(qv::EditorCfgChanged());
    qv::EditorCfg().RightEdge = before;
    qv::SetEditorCfgChanged(false);
  }

  void closingTheLastTabHidesTheRowAndLeavesOneStatusPanel() {
    TfmMain& w = start();
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "x")));
    QVERIFY(w.fileTabs()->isVisible());
    QCOMPARE(w.statusPanelCount(), 8);  // the first document is maximized
    w.action("acClose")->trigger();
    QVERIFY(w.Documents().empty());
    QVERIFY(!w.fileTabs()->isVisible());
    QCOMPARE(w.statusPanelCount(), 1);
    QVERIFY(!w.action("acSave")->isEnabled());
    QVERIFY(!w.menu("acEdit")->menuAction()->isVisible());
  }

  void altDigitsActivateTabsAndNothingBeyondTheLast() {
    TfmMain& w = start();
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "alpha")));
    QVERIFY(w.OpenFile(MakeFile(dir_, "b.txt", "beta")));
    TfmEditor* b = w.ActiveEditor();
    b->view().setFocus();
    QTest::keyClick(&b->view(), Qt::Key_3, Qt::AltModifier);
    QCOMPARE(w.ActiveEditor(), b);
    QCOMPARE(QString::fromStdString(b->editor().text()), QString("beta"));
    QTest::keyClick(&b->view(), Qt::Key_1, Qt::AltModifier);
    QCOMPARE(w.ActiveEditor(), w.EnumDocument(0));
  }

  void ctrlF6FollowsTheTabOrderAfterADrag() {
    TfmMain& w = start();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) QVERIFY(w.OpenFile(MakeFile(dir_, name, "x")));
    w.fileTabs()->moveTab(0, 2);  // b c a
    QCOMPARE(TabTexts(w), (QStringList{"b.txt", "c.txt", "a.txt"}));
    w.ActivateDocument(w.FindDocument((dir_ / "c.txt").string()), true);
    TfmEditor* c = w.ActiveEditor();
    QTest::keyClick(&c->view(), Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(w.ActiveEditor(), w.FindDocument((dir_ / "a.txt").string()));
    QTest::keyClick(&w.ActiveEditor()->view(), Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(w.ActiveEditor(), w.FindDocument((dir_ / "b.txt").string()));  // after the last, the first
    QTest::keyClick(&w.ActiveEditor()->view(), Qt::Key_F6, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.ActiveEditor(), w.FindDocument((dir_ / "a.txt").string()));
  }

  void recentFilesNewestFirst() {
    TfmMain& w = start();
    const std::string a = MakeFile(dir_, "a.txt", "x");
    const std::string b = MakeFile(dir_, "b.txt", "x");
    QVERIFY(w.OpenFile(a));
    QVERIFY(w.OpenFile(b));
    QVERIFY(w.OpenFile(a));  // already open: activated only
    auto newest = [&w] {
      const auto& items = w.recentFiles().items();
      return std::vector<std::string>(items.begin(), items.begin() + std::min<std::size_t>(2, items.size()));
    };
    QCOMPARE(newest(), (std::vector<std::string>{b, a}));
    w.CloseAll();
    QVERIFY(w.OpenFile(a));
    QCOMPARE(newest(), (std::vector<std::string>{a, b}));
  }

  void lastOpenFilesHoldTheNamedFilesInTabOrder() {
    qv::EnvOptions().StartAction = 2;
    TfmMain& w = start();
    const std::string a = MakeFile(dir_, "a.txt", "x");
    const std::string b = MakeFile(dir_, "b.txt", "x");
    QVERIFY(w.OpenFile(a));
    QVERIFY(w.OpenFile(b));
    w.NewDocument();  // untitled: not remembered
    w.fileTabs()->moveTab(0, 2);  // b Edit1 a
    w.ActivateDocument(w.FindDocument(a), true);
    QVERIFY(w.ShutDown());

    qv::Registry reg;
    QVERIFY(reg.OpenKeyReadOnly("\\Software\\Quirvane\\Quirvane\\LastOpenFiles"));
    QCOMPARE(reg.ReadInteger("FilesCount"), std::optional<std::int32_t>(2));
    QCOMPARE(reg.ReadString("File0"), std::optional<std::string>(b));
    QCOMPARE(reg.ReadString("File1"), std::optional<std::string>(a));
    QCOMPARE(reg.ReadString("ActiveFile"), std::optional<std::string>(a));
    reg.CloseKey();
    for (TfmEditor* d : w.Documents()) d->document().SetModified(false);
    window_.reset();

    // The next start with the same action opens them again, the active one active.
    TfmMain& again = start();
    QCOMPARE(TabTexts(again), (QStringList{"b.txt", "a.txt"}));
    QCOMPARE(again.ActiveEditor(), again.FindDocument(a));
  }

  void shutDownAsksAndCancelKeepsRunning() {
    TfmMain& w = start();
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "x")));
    w.ActiveEditor()->editor().setText("edited");
    w.ActiveEditor()->document().SetModified(true);
    prompter_->answerMessage(qv::MsgResult::Cancel);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(w.Documents().size(), std::size_t(1));
  }

  void commandLineSingleMissingFileBecomesAPlaceholder() {
    TfmMain& w = start();
    QVERIFY(w.ProcessCommandLine({"new.txt"}));
    QCOMPARE(w.Documents().size(), std::size_t(1));
    const qv::Document& doc = w.ActiveEditor()->document();
    QCOMPARE(QString::fromStdString(doc.FileName()), QString::fromStdString((dir_ / "new.txt").string()));
    QVERIFY(doc.PlaceholderFile());
    QVERIFY(fs::exists(dir_ / "new.txt"));
    QCOMPARE(fs::file_size(dir_ / "new.txt"), std::uintmax_t(0));
  }

  void commandLineGoToAndReadOnly() {
    std::string text;
    for (int i = 1; i <= 20; ++i) text += "line " + std::to_string(i) + "\n";
    MakeFile(dir_, "name.txt", text);
    TfmMain& w = start();
    QVERIFY(w.ProcessCommandLine({"name.txt", "/G3:7", "/R"}));
    TfmEditor* d = w.ActiveEditor();
    QVERIFY(d);
    QCOMPARE(d->editor().caretXY().Char, 3);
    QCOMPARE(d->editor().caretXY().Line, 7);
    QVERIFY(d->document().Locked());
    QVERIFY(!w.action("acEditPaste")->isEnabled());
  }

  void commandLineCloseAndExit() {
    MakeFile(dir_, "a.txt", "x");
    MakeFile(dir_, "b.txt", "x");
    TfmMain& w = start();
    // Each file argument is an item of its own: /C closes what the one before it opened.
    QVERIFY(w.ProcessCommandLine({"a.txt", "b.txt", "/C"}));
    QCOMPARE(TabTexts(w), QStringList{"a.txt"});
    QVERIFY(w.ProcessCommandLine({"a.txt", "/E"}));
    QTRY_VERIFY(!w.isVisible());  // ended through the normal shut-down
  }

  void dotArgumentsAloneCountAsNone() {
    TfmMain& w = start();
    QVERIFY(!w.ProcessCommandLine({".", ".."}));
    QVERIFY(w.Documents().empty());
  }

  void droppedFilesOpenAndAMissingOneIsReported() {
    TfmMain& w = start();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(MakeFile(dir_, "a.txt", "x"))),
                  QUrl::fromLocalFile(QString::fromStdString((dir_ / "gone.txt").string())),
                  QUrl::fromLocalFile(QString::fromStdString(MakeFile(dir_, "c.txt", "x")))});
    prompter_->answerMessage(qv::MsgResult::Ok, "gone.txt");
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);  // makes the window the drop target
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    QCOMPARE(TabTexts(w), (QStringList{"a.txt", "c.txt"}));
    QCOMPARE(prompter_->pending(), std::size_t(0));
    QCOMPARE(w.paintLockCount(), 0);
  }

  void shiftClickOnATabClosesItsDocument() {
    TfmMain& w = start();
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "x")));
    QVERIFY(w.OpenFile(MakeFile(dir_, "b.txt", "x")));
    qv::FileTabRow* tabs = w.fileTabs();
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::ShiftModifier, tabs->tabRect(0).center());
    QTRY_COMPARE(TabTexts(w), QStringList{"b.txt"});
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(0).center());
    QCOMPARE(TabTexts(w), QStringList{"b.txt"});  // a plain click only activates
  }

  void manyTabsWrapIntoRowsOfTheirOwnHeight() {
    TfmMain& w = start();
    w.resize(420, 500);
    for (int i = 1; i <= 12; ++i)
      QVERIFY(w.OpenFile(MakeFile(dir_, "document_" + std::to_string(i) + ".txt", "x")));
    QVERIFY(w.OpenFile(MakeFile(dir_, "b&c.txt", "x")));
    qv::FileTabRow* tabs = w.fileTabs();
    QTRY_VERIFY2(tabs->rowCount() > 1, "thirteen tabs in 420 pixels need several rows");
    QCOMPARE(tabs->height(), 19 * tabs->rowCount() + 4);
    for (int i = 0; i < tabs->count(); ++i)
      QVERIFY2(tabs->rect().contains(tabs->tabRect(i)), qPrintable(tabs->tabText(i) + " lies outside the row"));
    QCOMPARE(tabs->tabText(12), QString("b&&c.txt"));  // shows one "&"
    QCOMPARE(tabs->tabToolTip(12), QString::fromStdString((dir_ / "b&c.txt").string()));
    QCOMPARE(tabs->currentIndex(), 12);

    w.SetMultilineTabs(false);  // one row that scrolls
    QCOMPARE(tabs->rowCount(), 1);
    QCOMPARE(tabs->height(), 23);
    QVERIFY2(tabs->rect().intersects(tabs->tabRect(12)), "the current tab is scrolled into view");
    QCOMPARE(tabs->tabAt(tabs->tabRect(12).center()), 12);
  }

  void draggingATabReordersTheDocumentsButNotWithShift() {
    TfmMain& w = start();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) QVERIFY(w.OpenFile(MakeFile(dir_, name, "x")));
    qv::FileTabRow* tabs = w.fileTabs();
    QTRY_VERIFY(tabs->isVisible());
    const QPoint first = tabs->tabRect(0).center();
    const QPoint last = tabs->tabRect(2).center();
    SendMouse(tabs, QEvent::MouseButtonPress, first, Qt::LeftButton);
    SendMouse(tabs, QEvent::MouseMove, last, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(TabTexts(w), (QStringList{"a.txt", "b.txt", "c.txt"}));
    SendMouse(tabs, QEvent::MouseMove, last, Qt::LeftButton);
    SendMouse(tabs, QEvent::MouseButtonRelease, last, Qt::NoButton);
    QCOMPARE(TabTexts(w), (QStringList{"b.txt", "c.txt", "a.txt"}));
    QCOMPARE(w.EnumDocument(2), w.FindDocument((dir_ / "a.txt").string()));
    QCOMPARE(w.ActiveEditor(), w.EnumDocument(2));  // pressing its tab activated it
    QCOMPARE(tabs->currentIndex(), 2);
  }

  void rightClickOnATabActivatesItAndOffersItsMenu() {
    TfmMain& w = start();
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "x")));
    QVERIFY(w.OpenFile(MakeFile(dir_, "b.txt", "x")));
    qv::FileTabRow* tabs = w.fileTabs();
    QTRY_VERIFY(tabs->isVisible());
    QTest::mouseClick(tabs, Qt::RightButton, Qt::NoModifier, tabs->tabRect(0).center());
    QCOMPARE(w.ActiveEditor(), w.EnumDocument(0));
    auto* menu = w.findChild<QMenu*>("pmFileTabs");
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    menu->close();
  }

  void restoringAMaximizedDocumentVisitsEveryDocumentOnce() {
    TfmMain& w = start();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) QVERIFY(w.OpenFile(MakeFile(dir_, name, "x")));
    TfmEditor* active = w.ActiveEditor();
    QMdiArea* mdi = w.findChild<QMdiArea*>("mdiClient");
    QVERIFY(mdi && mdi->activeSubWindow() && mdi->activeSubWindow()->isMaximized());
    QStringList visited;
    QObject listening;  // ends the connection with this case
    connect(mdi, &QMdiArea::subWindowActivated, &listening, [&visited](QMdiSubWindow* sub) {
      if (auto* doc = sub ? qobject_cast<TfmEditor*>(sub->widget()) : nullptr)
        visited << QFileInfo(QString::fromStdString(doc->document().FileName())).fileName();
    });
    mdi->activeSubWindow()->showNormal();
    QTRY_COMPARE(visited, (QStringList{"a.txt", "b.txt", "c.txt"}));
    QCoreApplication::processEvents();
    QCOMPARE(visited.size(), 3);  // all windows left the maximized state, yet one round only
    QCOMPARE(w.ActiveEditor(), active);
    QCOMPARE(w.paintLockCount(), 0);
    QVERIFY(w.updatesEnabled());
    QVERIFY(!w.MaximizedDocument());
  }

  void minimisingUsesTheTrayWhenTheDesktopHasOne() {
    qv::EnvOptions().MinimizeToTray = true;
    TfmMain& w = start();
    w.setTrayAvailable(true);  // offscreen has no notification area: stand in for one
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "x")));
    QSystemTrayIcon* tray = w.trayIcon();
    QVERIFY(tray);
    QVERIFY(!tray->isVisible());
    w.showMinimized();
    QTRY_VERIFY2(!w.isVisible(), "the minimised window leaves the taskbar");
    QVERIFY(tray->isVisible());
    QCOMPARE(tray->toolTip(), w.windowTitle());
    w.action("acTrayRestore")->trigger();
    QVERIFY(w.isVisible());
    QVERIFY(!w.isMinimized());
    QVERIFY(!tray->isVisible());

    // A second start's hand-over brings it back the same way.
    w.showMinimized();
    QTRY_VERIFY(!w.isVisible());
    w.handOverChunkArrived();
    QVERIFY(w.isVisible());
    QVERIFY(!tray->isVisible());
  }

  void withoutATrayMinimisingJustMinimises() {
    qv::EnvOptions().MinimizeToTray = true;
    TfmMain& w = start();
    w.setTrayAvailable(false);
    QVERIFY(!w.trayIcon());
    w.showMinimized();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QVERIFY(w.isMinimized());
    QVERIFY2(w.isVisible(), "with no tray the window must stay reachable");
  }

  void aHandOverActsOnlyOnceItsLastChunkArrived() {
    TfmMain& w = start();
    std::vector<std::string> names;
    for (int i = 1; i <= 4; ++i)
      names.push_back(MakeFile(dir_, "handed_over_" + std::to_string(i) + std::string(90, 'x') + ".txt", "x"));
    const auto text = qv::HandOverText(names, dir_);
    QVERIFY(text);
    const auto chunks = qv::HandOverChunks(*text);
    QCOMPARE(chunks.size(), std::size_t(3));
    qv::RunningInstance instance(w);
    for (std::size_t i = 0; i < chunks.size(); ++i) {
      QVERIFY(w.Documents().empty());
      const qv::InstanceMessage chunk{qv::kMsgHandOverChunk, 0, static_cast<std::int64_t>(chunks[i].size()), chunks[i]};
      instance.handle(chunk);
      QCoreApplication::processEvents();
    }
    QTRY_COMPARE(w.Documents().size(), std::size_t(4));
    QCOMPARE(w.ActiveEditor(), w.FindDocument(names.back()));
  }

  void theInitialBlankDocumentGivesWayToTheFirstFileOpened() {
    qv::EnvOptions().StartAction = 1;
    TfmMain& w = start();
    QCOMPARE(TabTexts(w), QStringList{"Edit1"});
    QVERIFY(w.ActiveEditor()->document().InitialBlank());
    const std::string a = MakeFile(dir_, "a.txt", "x");
    QVERIFY(w.OpenFile(a));
    QCOMPARE(TabTexts(w), QStringList{"a.txt"});
    w.NewDocument();
    QVERIFY(w.OpenFile(MakeFile(dir_, "b.txt", "x")));
    QCOMPARE(w.Documents().size(), std::size_t(3));  // only once per run
  }

  void anEditedBlankDocumentStays() {
    qv::EnvOptions().StartAction = 1;
    TfmMain& w = start();
    QTest::keyClicks(&w.ActiveEditor()->view(), "note");
    QVERIFY(!w.ActiveEditor()->document().InitialBlank());
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "x")));
    QCOMPARE(w.Documents().size(), std::size_t(2));
  }

  void setHighlighterListsNamesSortedAndTicksTheCurrentOne() {
    TfmMain& w = start();
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.cpp", "int x;\n")));
    QMenu* setHl = w.menu("acSetHighlighter");
    QVERIFY(setHl);
    emit setHl->aboutToShow();
    QStringList names;
    QString ticked;
    for (QAction* a : setHl->actions()) {
      names << a->text();
      if (a->isChecked()) ticked = a->text();
    }
    QVERIFY(names.size() >= 17);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString& x, const QString& y) {
      return QString::compare(x, y, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(names, sorted);
    QCOMPARE(ticked, QString("C/C++"));

    Highlighter* before = w.ActiveEditor()->highlighter();
    for (QAction* a : setHl->actions())
      if (a->text() != ticked) {
        a->trigger();
        break;
      }
    QVERIFY(w.ActiveEditor()->highlighter() != before);
    emit setHl->aboutToShow();
    int checked = 0;
    for (QAction* a : setHl->actions()) checked += a->isChecked() ? 1 : 0;
    QCOMPARE(checked, 1);
  }

  void windowMenuListsDocumentsInTabOrder() {
    TfmMain& w = start();
    const std::string a = MakeFile(dir_, "a.txt", "x");
    const std::string b = MakeFile(dir_, "b&c.txt", "x");
    QVERIFY(w.OpenFile(a));
    QVERIFY(w.OpenFile(b));
    QMenu* win = w.menu("acWin");
    emit win->aboutToShow();
    QAction* first = w.findChild<QAction*>("miWindow1");
    QAction* second = w.findChild<QAction*>("miWindow2");
    QVERIFY(first && second);
    QCOMPARE(first->text(), "&1 " + QString::fromStdString(a));
    QVERIFY(second->isChecked());
    QVERIFY(second->text().endsWith("b&&c.txt"));
    first->trigger();
    QCOMPARE(w.ActiveEditor(), w.FindDocument(a));
  }

  void closeWithCancelKeepsTheDocumentAndItsTab() {
    TfmMain& w = start();
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "x")));
    QTest::keyClicks(&w.ActiveEditor()->view(), "more");
    prompter_->answerMessage(qv::MsgResult::Cancel, "a.txt");
    w.action("acClose")->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(TabTexts(w).size(), 1);
    QVERIFY(w.ActiveEditor());
    QCOMPARE(prompter_->pending(), std::size_t(0));
  }

  void closingTheLastDocumentMinimisesWhenAsked() {
    qv::EnvOptions().MinimizeIfNoFiles = true;
    TfmMain& w = start();
    QVERIFY(w.OpenFile(MakeFile(dir_, "a.txt", "x")));
    w.action("acClose")->trigger();
    QTRY_VERIFY(w.isMinimized());
  }

  void saveWritesTheTypedTextAndStaysAFile() {
    const std::string a = MakeFile(dir_, "a.txt", "one\n");
    TfmMain& w = start();
    QVERIFY(w.OpenFile(a));
    TfmEditor* d = w.ActiveEditor();
    d->view().setFocus();
    QTest::keyClicks(&d->view(), "zero ");
    QVERIFY(w.action("acSave")->isEnabled());
    w.action("acSave")->trigger();
    QCOMPARE(QString::fromStdString(ReadAll(a)), QString("zero one\n"));
    QVERIFY(!d->document().Modified());
  }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
