// The document's caption, status texts, change detection and close question.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include "document_fixture.h"
#include "documents/text_file_handler.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

// Moves the file's modification time, as another program's write would.
void Touch(const std::string& file, int seconds = 5) {
  struct stat st {};
  ::stat(file.c_str(), &st);
  const utimbuf times{st.st_atime, st.st_mtime + seconds};
  ::utime(file.c_str(), &times);
}

TEST_F(DocumentTest, CaptionAndTabShowTheMarks) {
  const std::string file = write("a&b.txt", "x");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  EXPECT_EQ(doc->Caption(), file);
  doc->SetModified(true);
  doc->SetLocked(true);
  EXPECT_EQ(doc->Caption(), file + " *#");
  doc->SetModified(false);
  EXPECT_EQ(doc->Caption(), file + " #");
  ::chmod(file.c_str(), 0444);
  doc->CheckFileOnDisk();
  EXPECT_EQ(doc->Caption(), file + " # [ReadOnly]");
  EXPECT_EQ(doc->TabText(), "a&&b.txt # [ReadOnly]");
}

TEST_F(DocumentTest, StatusPanelsDescribeCaretSelectionAndFile) {
  ASSERT_TRUE(doc->LoadFromFile(write("s.txt", "hello\nworld\nthree\nfour\nfive\n"), false));
  auto& view = static_cast<EditorDocumentView&>(doc->view());
  view.select({1, 0}, {1, 2});
  auto texts = doc->StatusTexts();
  EXPECT_EQ(texts[spCaret], "Ln 2, Col 3");
  EXPECT_EQ(texts[spInsertMode], "Insert");
  EXPECT_EQ(texts[spSelMode], "Sel: Normal");
  EXPECT_EQ(texts[spRecording], "");
  EXPECT_EQ(texts[spModified], "");
  EXPECT_EQ(texts[spFormat], "UNIX");
  EXPECT_EQ(texts[spFileSize], "File size: 28");
  EXPECT_EQ(texts[spStatusMsg], "2 chars selected.");

  struct Case {
    TextPos anchor, caret;
    SelectionMode mode;
    const char* expected;
  };
  const Case cases[] = {
      {{2, 0}, {4, 0}, SelectionMode::Normal, "13 chars, 2 lines selected."},
      {{0, 1}, {2, 4}, SelectionMode::Column, "9 chars, 2 lines selected."},
      {{1, 1}, {1, 1}, SelectionMode::Normal, ""},
  };
  for (const auto& c : cases) {
    view.select(c.anchor, c.caret, c.mode);
    EXPECT_EQ(doc->StatusText(spStatusMsg), c.expected);
  }
  EXPECT_EQ(doc->StatusText(spSelMode), "Sel: Normal");
  view.select({0, 0}, {0, 1}, SelectionMode::Column);
  EXPECT_EQ(doc->StatusText(spSelMode), "Sel: Column");
  doc->editor().setInsertMode(false);
  EXPECT_EQ(doc->StatusText(spInsertMode), "Overwrite");

  doc->SetMacroIsRecording(true);
  EXPECT_EQ(doc->StatusText(spRecording), "Recording");
  doc->BlinkRecording();
  EXPECT_EQ(doc->StatusText(spRecording), "");
  doc->BlinkRecording();
  EXPECT_EQ(doc->StatusText(spRecording), "Recording");

  doc->editor().replaceRange({1, 1}, {1, 1}, "!");
  EXPECT_EQ(doc->StatusText(spModified), "Modified");
  doc->SetFileMissing(true);
  EXPECT_EQ(doc->StatusText(spFileSize), "");
}

TEST_F(DocumentTest, NamingPicksAHighlighterWhenTheExtensionChanges) {
  int picks = 0;
  services.selectHighlighter = [&](const std::string& name) {
    ++picks;
    return HighlighterChoice{picks, name.ends_with(".c") ? "C|*.c" : ""};
  };
  doc->SetNamingNewDocument(true);
  doc->SetUntitledName(3);
  EXPECT_EQ(picks, 1) << "a document without a highlighter always gets one";
  doc->SetFileName(path("x.c"));
  EXPECT_EQ(picks, 2);
  doc->SetFileName(path("y.C"));
  EXPECT_EQ(picks, 2) << "extensions are compared in upper case";
  doc->SetPlaceholderFile(true);
  doc->SetFileName(path("y.txt"));
  EXPECT_EQ(picks, 3);
  EXPECT_FALSE(doc->PlaceholderFile());
}

TEST_F(DocumentTest, OwnSaveIsNotAChangeButAnotherProgramsWriteIs) {
  const std::string file = write("c.txt", "v1");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  doc->editor().replaceRange({1, 1}, {1, 1}, "mine ");
  ASSERT_TRUE(doc->Save(false));
  doc->CheckFileOnDisk();
  EXPECT_TRUE(prompter.messages.empty());

  write("c.txt", "v2 from elsewhere");
  Touch(file);
  prompter.answers = {MsgResult::No};
  doc->CheckFileOnDisk();
  EXPECT_EQ(prompter.lastText(), "File '" + file + "' has been changed. Reload from disk?");
  EXPECT_EQ(doc->lines().line(0), "mine v1");
  prompter.answers = {MsgResult::Yes};
  doc->CheckFileOnDisk();
  EXPECT_EQ(doc->lines().line(0), "v2 from elsewhere");
  EXPECT_FALSE(doc->Modified());

  services.settings.autoUpdateChangedFiles = true;
  write("c.txt", "v3");
  Touch(file, 10);
  const auto asked = prompter.messages.size();
  doc->CheckFileOnDisk();
  EXPECT_EQ(prompter.messages.size(), asked) << "reloaded without a question";
  EXPECT_EQ(doc->lines().line(0), "v3");
  EXPECT_FALSE(services.changeCheckRunning);
}

TEST_F(DocumentTest, DeletedFileIsKeptOrClosed) {
  Document* closed = nullptr;
  services.close = [&](Document& d) { closed = &d; };
  const std::string file = write("d.txt", "text");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  fs::remove(file);
  prompter.answers = {MsgResult::Yes};
  doc->CheckFileOnDisk();
  EXPECT_EQ(prompter.lastText(), "File '" + file + "' has been deleted. Keep file in editor?");
  EXPECT_TRUE(doc->Modified());
  EXPECT_TRUE(doc->FileMissing());
  EXPECT_TRUE(doc->KeptAfterDeletion());
  EXPECT_EQ(closed, nullptr);

  ASSERT_TRUE(doc->LoadFromFile(write("d.txt", "again"), false));
  fs::remove(file);
  prompter.answers = {MsgResult::No};
  doc->CheckFileOnDisk();
  EXPECT_EQ(closed, doc.get());
  EXPECT_FALSE(doc->Modified()) << "closing asks no save question";
}

TEST_F(DocumentTest, ChangeCheckDoesNothingWhileAnotherAsks) {
  const std::string file = write("g.txt", "x");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  Touch(file);
  services.changeCheckRunning = true;
  doc->CheckFileOnDisk();
  EXPECT_TRUE(prompter.messages.empty());
  Document missing(services);
  missing.CheckFileOnDisk();
  EXPECT_TRUE(services.changeCheckRunning) << "a document without a file keeps the guard";
}

TEST_F(DocumentTest, CloseQuestionSavesDiscardsOrStays) {
  const std::string file = write("q.txt", "base");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  EXPECT_TRUE(doc->CloseQuery()) << "unmodified closes without asking";
  EXPECT_TRUE(prompter.messages.empty());
  doc->editor().replaceRange({1, 1}, {1, 1}, "x");
  prompter.answers = {MsgResult::Cancel};
  EXPECT_FALSE(doc->CloseQuery());
  EXPECT_EQ(prompter.lastText(), "File '" + file + "' is modified. Save changes?");
  EXPECT_EQ(prompter.messages.back().buttons, MsgButtons::YesNoCancel);
  prompter.answers = {MsgResult::No};
  EXPECT_TRUE(doc->CloseQuery());
  EXPECT_EQ(read("q.txt"), "base");
  prompter.answers = {MsgResult::Yes};
  EXPECT_TRUE(doc->CloseQuery());
  EXPECT_EQ(read("q.txt"), "xbase");
}

TEST_F(DocumentTest, ClosingAnUnsavedPlaceholderDeletesItsEmptyFile) {
  const std::string file = write("placeholder.txt", "");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  doc->SetPlaceholderFile(true);
  EXPECT_TRUE(doc->CloseQuery());
  EXPECT_FALSE(fs::exists(file));

  Document untitled(services);
  untitled.SetNewFile(true);
  untitled.SetUntitledName(1);
  EXPECT_TRUE(untitled.CloseQuery());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 0);
}

TEST_F(DocumentTest, FailedReloadKeepsTheText) {
  const std::string file = write("f.txt", "safe");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  fs::remove(file);
  fs::create_directory(file);
  EXPECT_FALSE(doc->ReloadFromDisk());
  EXPECT_EQ(doc->lines().line(0), "safe");
  EXPECT_EQ(prompter.lastText(), "Error opening '" + file + "'.");
  EXPECT_FALSE(doc->FileMissing());
}

}  // namespace
}  // namespace qv::test
