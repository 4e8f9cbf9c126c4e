// Opening, activating, ordering and closing documents without any window.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "documents/document.h"
#include "shell/workspace.h"
#include "fake_hosts.h"
#include "support/test_env.h"

namespace qv {
namespace {

// Windows that exist only as documents in a map; "refusing" ones stay open when asked to close.
class FakeWindows : public WorkspaceWindows {
 public:
  FakeWindows() { services.prompter = &messages; }

  DocumentServices services;
  test::RecordingPrompter messages;
  Workspace* ws = nullptr;
  std::map<DocumentHandle, std::unique_ptr<Document>> docs;
  std::set<DocumentHandle> refusing;
  std::optional<DocumentHandle> front;
  std::set<DocumentHandle> maximized;
  bool mainMaximized = false;
  int updateLocks = 0;  // lockUpdates(true) calls
  int lastClosedReports = 0;
  std::vector<DocumentHandle> activations;

  Document& createWindow(DocumentHandle doc) override {
    return *(docs[doc] = std::make_unique<Document>(services));
  }
  void applyNewFileDefaults(DocumentHandle) override {}
  void showWindow(DocumentHandle doc, bool maximize) override {
    front = doc;
    if (maximize) maximized.insert(doc);
  }
  void closeWindow(DocumentHandle doc) override {
    if (refusing.contains(doc)) return;
    ws->documentClosed(doc);
    docs.erase(doc);
    maximized.erase(doc);
  }
  void bringToFront(DocumentHandle doc, bool) override { front = doc; }
  bool isInFront(DocumentHandle doc) const override { return front == doc; }
  bool isMaximized(DocumentHandle doc) const override { return maximized.contains(doc); }
  bool mainWindowMaximized() const override { return mainMaximized; }
  void lockUpdates(bool locked) override { updateLocks += locked ? 1 : 0; }
  void tabInserted(int, DocumentHandle) override {}
  void tabRemoved(int) override {}
  void activeChanged(DocumentHandle doc) override { activations.push_back(doc); }
  void documentLoaded(DocumentHandle) override {}
  void lastDocumentClosed() override { ++lastClosedReports; }
  void closeAllFinished(bool) override {}
  Prompter& prompter() override { return messages; }
};

class WorkspaceTest : public ::testing::Test {
 protected:
  void SetUp() override { windows.ws = &ws; }

  std::string file(const std::string& name, const std::string& text = "text\n") {
    const auto path = dir / name;
    test::WriteFileBytes(path, text);
    return path.string();
  }
  std::string nameOf(DocumentHandle h) { return ws.document(h)->FileName(); }

  std::filesystem::path dir = test::FreshDir("workspace");
  FakeWindows windows;
  Workspace ws{windows};
};

TEST_F(WorkspaceTest, OpeningAFileTwiceActivatesTheOpenDocument) {
  const std::string a = file("a.txt"), b = file("b.txt");
  ASSERT_TRUE(ws.OpenFile(a));
  const DocumentHandle first = *ws.active();
  ASSERT_TRUE(ws.OpenFile(b));
  ws.document(first)->editor().replaceRange({1, 1}, {1, 1}, "edit ");

  EXPECT_TRUE(ws.OpenFile((dir / "." / "a.txt").string())) << "the name is made canonical first";
  EXPECT_EQ(ws.active(), first);
  EXPECT_EQ(windows.front, first);
  EXPECT_EQ(ws.order().count(), 2);
  EXPECT_EQ(ws.document(first)->lines().line(0), "edit text") << "not loaded again";
  EXPECT_EQ(ws.untitledCounter(), 0) << "opened files use no untitled number";
}

TEST_F(WorkspaceTest, ANewDocumentGoesRightOfTheCurrentOne) {
  for (const char* n : {"1.txt", "2.txt", "3.txt"}) ASSERT_TRUE(ws.OpenFile(file(n)));
  ws.ActivateDocument(*ws.EnumDocument(0));
  const DocumentHandle added = ws.NewDocument();

  ASSERT_EQ(ws.order().count(), 4);
  EXPECT_EQ(ws.EnumDocument(1), added);
  EXPECT_EQ(ws.active(), added);
  EXPECT_EQ(std::filesystem::path(nameOf(*ws.EnumDocument(2))).filename(), "2.txt");
  EXPECT_EQ(std::filesystem::path(nameOf(added)).filename(), "Edit1");
  EXPECT_TRUE(ws.document(added)->NewFile());
}

TEST_F(WorkspaceTest, AMissingFileIsReportedAndLeavesTheRecentFiles) {
  const std::string missing = (dir / "gone.txt").string();
  ws.recentFiles().add(missing);
  ws.recentFiles().add(file("kept.txt"));

  EXPECT_FALSE(ws.OpenFile(missing));
  ASSERT_EQ(windows.messages.shown.size(), 1u);
  EXPECT_EQ(windows.messages.shown[0], "Error|Error opening '" + missing + "'.");
  EXPECT_EQ(ws.order().count(), 0) << "no document is left behind";
  EXPECT_EQ(ws.recentFiles().items(), std::vector<std::string>{(dir / "kept.txt").string()});
}

TEST_F(WorkspaceTest, TheBlankDocumentClosesOnceOnTheFirstOpen) {
  const DocumentHandle blank = ws.CreateBlankDocument();
  ws.initialBlank().created(blank);

  ASSERT_TRUE(ws.OpenFile(file("first.txt")));
  EXPECT_EQ(ws.document(blank), nullptr) << "the blank gave way";
  ASSERT_EQ(ws.order().count(), 1);
  EXPECT_EQ(std::filesystem::path(nameOf(*ws.active())).filename(), "first.txt");

  const DocumentHandle fresh = ws.NewDocument();
  ASSERT_TRUE(ws.OpenFile(file("second.txt")));
  EXPECT_NE(ws.document(fresh), nullptr) << "only the first open replaces the blank";
  EXPECT_EQ(ws.order().count(), 3);
}

TEST_F(WorkspaceTest, AnEditedBlankDocumentStays) {
  const DocumentHandle blank = ws.CreateBlankDocument();
  ws.initialBlank().created(blank);
  ws.document(blank)->editor().replaceRange({1, 1}, {1, 1}, "kept");
  ASSERT_TRUE(ws.OpenFile(file("x.txt")));
  EXPECT_NE(ws.document(blank), nullptr);
}

TEST_F(WorkspaceTest, CloseAllKeepsTheDocumentThatRefusesAndLocksPaintingForMany) {
  for (const char* n : {"1.txt", "2.txt", "3.txt"}) ASSERT_TRUE(ws.OpenFile(file(n)));
  const DocumentHandle stubborn = *ws.EnumDocument(1);
  windows.refusing.insert(stubborn);

  EXPECT_FALSE(ws.CloseAll());
  EXPECT_EQ(ws.documents(), std::vector<DocumentHandle>{stubborn});
  EXPECT_EQ(ws.active(), stubborn);
  EXPECT_EQ(windows.updateLocks, 1) << "one lock around the whole run";
  EXPECT_EQ(ws.paintLockCount(), 0) << "released";

  windows.refusing.clear();
  EXPECT_TRUE(ws.CloseAll());
  EXPECT_EQ(ws.active(), std::nullopt);
  EXPECT_EQ(windows.lastClosedReports, 1);
}

TEST_F(WorkspaceTest, NextDocumentFollowsTheTabOrderAfterAMove) {
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) ASSERT_TRUE(ws.OpenFile(file(n)));
  const auto tabs = ws.documents();  // a b c
  ws.tabMoved(2, 0);                 // c a b
  ws.ActivateDocument(tabs[0]);

  const struct {
    bool forward;
    DocumentHandle expected;
  } steps[] = {{true, tabs[1]}, {true, tabs[2]}, {true, tabs[0]}, {false, tabs[2]}, {false, tabs[1]}};
  for (const auto& s : steps) {
    ws.NextDocument(s.forward);
    EXPECT_EQ(ws.active(), s.expected) << (s.forward ? "Ctrl+F6" : "Ctrl+Shift+F6");
  }
}

TEST_F(WorkspaceTest, ACommandLineNameThatIsMissingBecomesAPlaceholder) {
  ws.OpenFileFromCommandLine("later.txt", dir.string());
  ASSERT_EQ(ws.order().count(), 1);
  const Document& doc = *ws.document(*ws.active());
  EXPECT_EQ(doc.FileName(), (dir / "later.txt").string());
  EXPECT_TRUE(doc.PlaceholderFile());
  EXPECT_TRUE(doc.FileMissing());
  EXPECT_FALSE(doc.NewFile());
  EXPECT_TRUE(std::filesystem::exists(dir / "later.txt"));
  EXPECT_TRUE(windows.messages.shown.empty());
}

TEST_F(WorkspaceTest, AltDigitsActivateTabsAndNothingBeyondTheLast) {
  ASSERT_TRUE(ws.OpenFile(file("a.txt")));
  ASSERT_TRUE(ws.OpenFile(file("b.txt")));
  const auto tabs = ws.documents();
  EXPECT_TRUE(ws.ActivateByAltDigit(1));
  EXPECT_EQ(ws.active(), tabs[0]);
  EXPECT_FALSE(ws.ActivateByAltDigit(3));
  EXPECT_FALSE(ws.ActivateByAltDigit(0)) << "Alt+0 is the tenth tab";
  EXPECT_EQ(ws.active(), tabs[0]);
}

TEST_F(WorkspaceTest, VisitingEveryDocumentEndsOnTheOneThatWasActive) {
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) ASSERT_TRUE(ws.OpenFile(file(n)));
  const auto tabs = ws.documents();
  ws.ActivateDocument(tabs[1]);
  const int locksBefore = windows.updateLocks;
  windows.activations.clear();

  ws.VisitEveryDocument();
  EXPECT_EQ(windows.activations, (std::vector<DocumentHandle>{tabs[2], tabs[0], tabs[1]}));
  EXPECT_EQ(ws.active(), tabs[1]);
  EXPECT_EQ(windows.updateLocks, locksBefore + 1);
  EXPECT_EQ(ws.paintLockCount(), 0);
}

TEST_F(WorkspaceTest, LastOpenFilesHoldTheNamedNonProjectFilesInTabOrder) {
  const std::string a = file("a.txt"), b = file("b.txt"), p = file("p.txt");
  ASSERT_TRUE(ws.OpenFile(a));
  ws.NewDocument();  // unnamed: not remembered
  ASSERT_TRUE(ws.OpenFile(p));
  ws.document(*ws.active())->SetProjectFile(true);
  ws.OpenFileFromCommandLine("placeholder.txt", dir.string());  // missing on disk: not remembered
  ASSERT_TRUE(ws.OpenFile(b));
  ws.tabMoved(ws.order().count() - 1, 0);  // b first

  LastOpenFiles last = ws.CollectLastOpen("proj.cpr");
  EXPECT_EQ(last.files, (std::vector<std::string>{b, a}));
  EXPECT_EQ(last.activeFile, b);
  EXPECT_EQ(last.project, "proj.cpr");

  ws.ActivateDocument(*ws.FindDocument((dir / "placeholder.txt").string()));
  EXPECT_EQ(ws.CollectLastOpen("").activeFile, "") << "a missing file is not reopened";
}

TEST_F(WorkspaceTest, PaintLockNestsAndOnlyWhenMaximizedNeedsAMaximizedWindow) {
  EXPECT_FALSE(ws.BeginPaintLock(true));
  EXPECT_EQ(ws.paintLockCount(), 0);
  windows.mainMaximized = true;
  EXPECT_TRUE(ws.BeginPaintLock(true));
  EXPECT_TRUE(ws.BeginPaintLock());
  ws.EndPaintLock();
  EXPECT_EQ(ws.paintLockCount(), 1);
  ws.EndPaintLock(true);
  EXPECT_EQ(ws.paintLockCount(), 0);
  EXPECT_EQ(windows.updateLocks, 1);
}

}  // namespace
}  // namespace qv
