// Save name, backups, copy, rename, revert, insert and append, and writing a block.
#include <gtest/gtest.h>

#include "document_fixture.h"
#include "documents/text_file_handler.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

TEST(BackupNames, FolderBaseAndExtension) {
  struct Case {
    const char* file;
    BackupSettings settings;
    const char* expected;
  };
  const Case cases[] = {
      {"/src/main.c", {true, "", false}, "/src/main.c.bak"},
      {"/src/main.c", {true, "", true}, "/src/main.bak"},
      {"/src/main.c", {true, "/backups", false}, "/backups/main.c.bak"},
      {"/src/main.c", {true, "/backups/", true}, "/backups/main.bak"},
      {"/src/x.pas", {true, "", true}, "/src/x.bak"},
      {"/src/x.inc", {true, "", true}, "/src/x.bak"},
      {"/src/Makefile", {true, "", true}, "/src/Makefile.bak"},
  };
  for (const auto& c : cases) EXPECT_EQ(BackupFileName(c.file, c.settings), c.expected) << c.file;
}

TEST_F(DocumentTest, SavingKeepsTheOldVersionAsBackup) {
  services.settings.backup = {true, (dir / "bk").string(), false};
  const std::string file = write("a.txt", "first");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  doc->editor().replaceRange({1, 1}, {1, 1}, "second ");
  ASSERT_TRUE(doc->Save(false));
  EXPECT_EQ(ReadFileBytes(dir / "bk" / "a.txt.bak"), "first");
  EXPECT_TRUE(doc->fileHandler().BackupExists());
  // Revert to the backup: the text comes back, the name stays, and it counts as unsaved.
  doc->view().setCaret({0, 3});
  prompter.answers = {MsgResult::Ok};
  doc->fileHandler().RevertToBackup();
  EXPECT_EQ(prompter.lastText(),
            "Revert to backup file '" + (dir / "bk" / "a.txt.bak").string() + "'?");
  EXPECT_EQ(doc->lines().line(0), "first");
  EXPECT_EQ(doc->FileName(), file);
  EXPECT_TRUE(doc->Modified());
  EXPECT_EQ(doc->view().caret(), (TextPos{0, 3}));
  prompter.messages.clear();
  doc->CheckFileOnDisk();
  EXPECT_TRUE(prompter.messages.empty()) << "the own file did not change: " << prompter.lastText();
}

TEST_F(DocumentTest, FailedBackupIsReportedAndTheSaveGoesOn) {
  write("blocker", "a file where the backup folder should be");
  services.settings.backup = {true, path("blocker"), false};
  const std::string file = write("b.txt", "old");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  doc->editor().replaceRange({1, 1}, {1, 1}, "new ");
  EXPECT_TRUE(doc->Save(false));
  ASSERT_FALSE(prompter.messages.empty());
  EXPECT_EQ(prompter.messages[0].text,
            "Error creating backup file: '" + path("blocker") + "/b.txt.bak'");
  EXPECT_EQ(prompter.messages[0].caption, "Error");
  EXPECT_EQ(read("b.txt"), "new old");
}

TEST_F(DocumentTest, BackupOfAFileNamedLikeItsBackupIsSkipped) {
  services.settings.backup = {true, "", true};
  const std::string file = write("x.bak", "precious");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  doc->editor().replaceRange({1, 1}, {1, 1}, "more ");
  ASSERT_TRUE(doc->Save(false));
  EXPECT_EQ(read("x.bak"), "more precious");
  EXPECT_TRUE(prompter.messages.empty());
}

struct SaveAsCase {
  const char* name;
  const char* typed;
  int filterIndex;  // as answered by the dialog
  const char* written;
};

TEST_F(DocumentTest, SaveAsAddsTheRightExtension) {
  services.highlighterFilters = "Pascal (*.pas)|*.pas;*.dpr|Text (*.txt)|*.txt";
  doc->SetHighlighter({2, "Text (*.txt)|*.txt"});
  const SaveAsCase cases[] = {
      {"filter left alone keeps the old extension", "notes", 3, "notes.txt"},
      {"all files chosen", "notes", 1, "notes"},
      {"another filter chosen", "notes", 2, "notes.pas"},
      {"a typed extension wins", "notes.md", 2, "notes.md"},
  };
  for (const auto& c : cases) {
    const std::string file = write("a.txt", "text");
    ASSERT_TRUE(doc->LoadFromFile(file, false));
    prompter.answerSave(path(c.typed), c.filterIndex);
    ASSERT_TRUE(doc->Save(true)) << c.name;
    EXPECT_EQ(doc->FileName(), path(c.written)) << c.name;
    EXPECT_TRUE(fs::exists(dir / c.written)) << c.name;
    const FileDialogRequest& request = prompter.saveRequests.back();
    EXPECT_EQ(request.filter, "All files (*.*)|*.*|" + services.highlighterFilters);
    EXPECT_EQ(request.filterIndex, 3) << "the document's highlighter is preselected";
    EXPECT_EQ(request.fileName, path("a")) << "proposed without extension";
    fs::remove(dir / c.written);
  }
}

TEST_F(DocumentTest, UntitledDocumentAsksForANameAndReplacesOnlyWhenAllowed) {
  doc->SetNewFile(true);
  doc->SetUntitledName(1);
  EXPECT_EQ(doc->FileName(), "Edit1");
  doc->editor().replaceRange({1, 1}, {1, 1}, "hello");
  write("taken.txt", "keep me");
  prompter.answerSave(path("taken.txt"));
  prompter.answerSave(path("taken.txt"));
  prompter.answers = {MsgResult::Cancel, MsgResult::Ok};
  ASSERT_TRUE(doc->Save(false));
  EXPECT_EQ(prompter.saveRequests.size(), 2u) << "Cancel shows the dialog again";
  EXPECT_EQ(prompter.saveRequests[0].fileName, "") << "an untitled document proposes no name";
  EXPECT_EQ(prompter.messages[0].text,
            "File '" + path("taken.txt") + "' already exists.\rDo you want to replace it?");
  EXPECT_EQ(prompter.messages[0].caption, "Confirm");
  EXPECT_EQ(read("taken.txt"), "hello");
  EXPECT_FALSE(doc->NewFile());
  EXPECT_FALSE(doc->FileMissing());
  EXPECT_FALSE(doc->Modified());
}

TEST_F(DocumentTest, CancelledSaveDialogChangesNothing) {
  doc->SetNewFile(true);
  doc->SetUntitledName(2);
  doc->editor().replaceRange({1, 1}, {1, 1}, "x");
  prompter.saveAnswers.push_back(std::nullopt);
  EXPECT_FALSE(doc->Save(false));
  EXPECT_EQ(doc->FileName(), "Edit2");
  EXPECT_TRUE(doc->Modified());
}

TEST_F(DocumentTest, CopyToWritesElsewhereAndKeepsTheDocument) {
  const std::string file = write("orig.txt", "a\nb");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  doc->editor().replaceRange({1, 1}, {1, 1}, "z");
  prompter.answerSave(path("copy.txt"));
  doc->fileHandler().CopyTo();
  EXPECT_EQ(read("copy.txt"), "za\nb");
  EXPECT_EQ(read("orig.txt"), "a\nb");
  EXPECT_EQ(doc->FileName(), file);
  EXPECT_TRUE(doc->Modified());
}

TEST_F(DocumentTest, RenameRefusesAnotherExistingFile) {
  const std::string file = write("old.txt", "t");
  write("other.txt", "o");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  ASSERT_TRUE(doc->fileHandler().CanRename());
  EXPECT_FALSE(doc->fileHandler().RenameTo("other.txt"));
  EXPECT_EQ(prompter.lastText(), "File already exists!");
  EXPECT_EQ(read("old.txt"), "t");
  EXPECT_EQ(doc->FileName(), file);
  EXPECT_TRUE(doc->fileHandler().RenameTo("new.txt"));
  EXPECT_EQ(doc->FileName(), path("new.txt"));
  EXPECT_EQ(read("new.txt"), "t");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(doc->fileHandler().RenameTo(path("no/such/dir/x.txt")));
  EXPECT_EQ(prompter.lastText(), "Error renaming file '" + path("new.txt") + "' to '" +
                                     path("no/such/dir/x.txt") + "'.");
  EXPECT_EQ(doc->FileName(), path("new.txt"));
}

TEST_F(DocumentTest, RevertToSavedReloadsAndKeepsTheView) {
  const std::string file = write("r.txt", "one\ntwo\nthree");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  doc->editor().replaceRange({1, 1}, {1, 1}, "junk");
  EXPECT_TRUE(doc->fileHandler().CanRevertToSaved());
  doc->view().setCaret({2, 2});
  doc->view().setTopLine(1);
  prompter.answers = {MsgResult::Cancel, MsgResult::Ok};
  doc->fileHandler().RevertToSaved();
  EXPECT_EQ(doc->lines().line(0), "junkone");
  doc->fileHandler().RevertToSaved();
  EXPECT_EQ(prompter.lastText(), "Revert '" + file + "' to saved?");
  EXPECT_EQ(doc->lines().line(0), "one");
  EXPECT_FALSE(doc->Modified());
  EXPECT_EQ(doc->view().caret(), (TextPos{2, 2}));
  EXPECT_EQ(doc->view().topLine(), 1);
}

TEST_F(DocumentTest, InsertAndAppendExpandTabsAndEndEachLineWithABreak) {
  services.settings.tabWidth = 4;
  const std::string part = write("part.txt", "\tx\ny");
  ASSERT_TRUE(doc->LoadFromFile(write("main.txt", "ab\ncd"), false));
  doc->view().setCaret({0, 1});
  ASSERT_TRUE(doc->InsertFile(part));
  EXPECT_EQ(doc->lines().bytes(LineBreak::Lf), "a    x\ny\nb\ncd");
  ASSERT_TRUE(doc->AppendFile(part));
  EXPECT_EQ(doc->lines().bytes(LineBreak::Lf), "a    x\ny\nb\ncd\n    x\ny\n");
  EXPECT_EQ(doc->view().caret(), (TextPos{doc->lines().lineCount() - 1, 0}));
  services.settings.tabsMode = 0;
  doc->view().setCaret({0, 0});
  ASSERT_TRUE(doc->InsertFile(part));
  EXPECT_EQ(doc->lines().line(0), "\tx");
  EXPECT_FALSE(doc->InsertFile(path("absent.txt")));
  EXPECT_EQ(prompter.lastText(), "Error opening '" + path("absent.txt") + "'.");
  doc->SetLocked(true);
  EXPECT_FALSE(doc->AppendFile(part));
}

TEST_F(DocumentTest, WriteBlockEndsEveryLineWithCrLf) {
  ASSERT_TRUE(doc->LoadFromFile(write("w.txt", "alpha\nbeta\ngamma"), false));
  auto& view = static_cast<EditorDocumentView&>(doc->view());
  view.select({0, 2}, {1, 2});
  ASSERT_TRUE(doc->WriteSelectionToFile(path("block.txt")));
  EXPECT_EQ(read("block.txt"), "pha\r\nbe\r\n");
  view.select({0, 1}, {2, 3}, SelectionMode::Column);
  ASSERT_TRUE(doc->WriteSelectionToFile(path("column.txt")));
  EXPECT_EQ(read("column.txt"), "lp\r\net\r\nam\r\n");
  EXPECT_FALSE(doc->WriteSelectionToFile(path("no/dir/x.txt")));
  EXPECT_EQ(prompter.lastText(), "Error saving '" + path("no/dir/x.txt") + "'.");
}

}  // namespace
}  // namespace qv::test
