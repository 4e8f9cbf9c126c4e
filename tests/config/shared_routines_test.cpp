// Settings load/save frame, file messages through a scripted prompter, wait cursor, file names.
#include <gtest/gtest.h>

#include "config/editor_cfg.h"
#include "config/file_names.h"
#include "config/hourglass.h"
#include "config/settings_steps.h"
#include "config/shared_dialogs.h"
#include "config/translation.h"
#include "platform/scripted_prompter.h"
#include "platform/settings_tree.h"
#include "support/test_env.h"

namespace qv {
namespace {

ScriptedPrompter::FailureHandler FailTest() {
  return [](const std::string& what) { ADD_FAILURE() << "prompter: " << what; };
}

TEST(SettingsStepsTest, StepsRunInFrameOrderAndTheEditorBlockOnlyWhenChanged) {
  SettingsSteps steps;
  std::vector<std::string> ran;
  auto note = [&](std::string what) { return [&ran, what](Registry&) { ran.push_back(what); }; };
  steps.onLoad(LoadStep::SqlDialect, "a", note("sql"));
  steps.onLoad(LoadStep::Editor, "b", note("editor"));
  steps.onLoad(LoadStep::Highlighters, "c", note("highlighters"));
  steps.onLoad(LoadStep::Editor, "d", note("editor 2"));
  steps.onLoad(LoadStep::Toolbars, "a", note("toolbars"));
  steps.onSave(SaveStep::LastOpenFiles, "a", note("last files"));
  steps.onSave(SaveStep::EditorBlock, "b", note("editor block"));
  steps.onSave(SaveStep::Global, "c", note("global"));

  MemorySettingsTree tree;
  Registry reg(tree);
  steps.LoadSettings(reg);
  EXPECT_EQ(ran, (std::vector<std::string>{"toolbars", "editor", "editor 2", "highlighters", "sql"}));

  ran.clear();
  SetEditorCfgChanged(false);
  steps.SaveSettings(reg);
  EXPECT_EQ(ran, (std::vector<std::string>{"global", "last files"}));

  ran.clear();
  SetEditorCfgChanged(true);
  steps.SaveSettings(reg);
  EXPECT_EQ(ran, (std::vector<std::string>{"global", "editor block", "last files"}));
  EXPECT_FALSE(EditorCfgChanged()) << "a save clears the flag";

  ran.clear();
  steps.remove("a");
  steps.LoadSettings(reg);
  EXPECT_EQ(ran, (std::vector<std::string>{"editor", "editor 2", "highlighters"}));
}

TEST(SettingsStepsTest, ProgramFrameWritesEditorValuesOnlyAfterAChange) {
  MemorySettingsTree tree;
  Registry reg(tree);
  ProgramSettingsSteps().LoadSettings(reg);
  SetEditorCfgChanged(false);
  ProgramSettingsSteps().SaveSettings(reg);
  EXPECT_TRUE(tree.valueNames("Editor").empty()) << "nothing changed, nothing written";

  SetEditorCfgChanged(true);
  ProgramSettingsSteps().SaveSettings(reg);
  EXPECT_EQ(tree.readValue("Editor", "TabWidth"), SettingsValue::Integer(EditorCfg().TabWidth));
}

TEST(FileMessagesTest, ErrorsAndOverwriteQuestion) {
  ProgramLanguage().clear();
  auto dir = test::FreshDir("overwrite");
  const std::string existing = (dir / "there.txt").string();
  test::WriteFileBytes(existing, "x");

  ScriptedPrompter prompter(FailTest());
  prompter.answerMessage(MsgResult::Ok, "Error opening '/a/b.txt'.")
      .answerMessage(MsgResult::Ok, "Error saving '/a/b.txt'.")
      .answerMessage(MsgResult::Ok)
      .answerMessage(MsgResult::Cancel);
  ShowOpenError("/a/b.txt", prompter);
  ShowSaveError("/a/b.txt", prompter);
  EXPECT_TRUE(ConfirmOverwrite((dir / "missing.txt").string(), prompter));
  EXPECT_TRUE(ConfirmOverwrite(existing, prompter));
  EXPECT_FALSE(ConfirmOverwrite(existing, prompter));

  ASSERT_EQ(prompter.asked().size(), 4u) << "a missing file is not asked about";
  EXPECT_EQ(prompter.asked()[0].caption, "Error");
  EXPECT_EQ(prompter.asked()[0].icon, MsgIcon::Error);
  EXPECT_EQ(prompter.asked()[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(prompter.asked()[2].caption, "Confirm");
  EXPECT_EQ(prompter.asked()[2].text, "File '" + existing + "' already exists.\rDo you want to replace it?");
  EXPECT_EQ(prompter.asked()[2].icon, MsgIcon::Warning);
  EXPECT_EQ(prompter.asked()[2].buttons, MsgButtons::OkCancel);
}

TEST(FileMessagesTest, TextsFollowTheLoadedLanguage) {
  ProgramLanguage().clear();
  ASSERT_TRUE(LoadLanguageFrom(test::SourcePath("src/resources/language"), "Deutsch.lng"));
  ScriptedPrompter prompter(FailTest());
  prompter.answerMessage(MsgResult::Ok);
  ShowOpenError("a.txt", prompter);
  ProgramLanguage().clear();
  ASSERT_EQ(prompter.asked().size(), 1u);
  EXPECT_EQ(prompter.asked()[0].caption, "Fehler");
  EXPECT_EQ(prompter.asked()[0].text, "Fehler beim Öffnen von 'a.txt'.");
}

TEST(ScriptedPrompterTest, AnswersInOrderAndRecordsQuestions) {
  ScriptedPrompter prompter(FailTest());
  FileDialogAnswer chosen{{"/tmp/x.pas"}, 2};
  prompter.answerInput("42").answerSaveFile(chosen).answerColor(0x00FF0000u).answerFolder(std::nullopt);
  EXPECT_EQ(prompter.input("Go to", "Go to line:", "1"), "42");
  FileDialogRequest request;
  request.caption = "Save As";
  request.filter = "Pascal|*.pas";
  auto answer = prompter.saveFile(request);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->files, chosen.files);
  EXPECT_EQ(prompter.chooseColor(0x80000005u), 0x00FF0000u);
  EXPECT_EQ(prompter.chooseFolder("Backup", "/home"), std::nullopt);
  EXPECT_EQ(prompter.pending(), 0u);
  ASSERT_EQ(prompter.asked().size(), 4u);
  EXPECT_EQ(prompter.asked()[0].initial, "1");
  EXPECT_EQ(prompter.asked()[1].file.filter, "Pascal|*.pas");
  EXPECT_EQ(prompter.asked()[2].color, 0x80000005u);
  EXPECT_EQ(prompter.asked()[3].text, "/home");
}

TEST(ScriptedPrompterTest, UnexpectedQuestionsFailClearlyAndAreCancelled) {
  std::vector<std::string> failures;
  {
    ScriptedPrompter prompter([&](const std::string& what) { failures.push_back(what); });
    EXPECT_EQ(prompter.message("Confirm", "Close all open files?", MsgIcon::Warning, MsgButtons::YesNo),
              MsgResult::No);
    prompter.answerInput("x");
    EXPECT_EQ(prompter.message("Confirm", "Replace?", MsgIcon::Warning, MsgButtons::OkCancel),
              MsgResult::Cancel);
    prompter.answerMessage(MsgResult::Yes);
    EXPECT_EQ(prompter.message("Confirm", "Replace?", MsgIcon::Warning, MsgButtons::OkCancel),
              MsgResult::Cancel);
    prompter.answerMessage(MsgResult::Ok, "saved");
    EXPECT_EQ(prompter.message("Error", "Error opening 'a'.", MsgIcon::Error, MsgButtons::Ok), MsgResult::Ok);
    prompter.answerFont(FontSpec{});
  }
  ASSERT_EQ(failures.size(), 5u);
  EXPECT_NE(failures[0].find("unexpected message box \"Confirm\": \"Close all open files?\""), std::string::npos)
      << failures[0];
  EXPECT_NE(failures[1].find("next answer is for: input box"), std::string::npos) << failures[1];
  EXPECT_NE(failures[2].find("not a button"), std::string::npos) << failures[2];
  EXPECT_NE(failures[3].find("does not contain \"saved\""), std::string::npos) << failures[3];
  EXPECT_NE(failures[4].find("never asked for"), std::string::npos) << failures[4];
}

TEST(HourglassTest, NestsAndNeverGoesBelowZero) {
  std::vector<bool> shown;
  SetHourglassListener([&](bool busy) { shown.push_back(busy); });
  SetHourglass(false);
  EXPECT_EQ(HourglassDepth(), 0);
  SetHourglass(true);
  {
    HourglassScope inner;
    EXPECT_EQ(HourglassDepth(), 2);
  }
  EXPECT_EQ(HourglassDepth(), 1);
  SetHourglass(false);
  SetHourglass(false);
  EXPECT_EQ(HourglassDepth(), 0);
  EXPECT_EQ(shown, (std::vector<bool>{true, false})) << "the cursor changes only at the outermost level";
  SetHourglassListener({});
}

TEST(FileNamesTest, CanonicalNamesAndLastDir) {
  auto dir = test::FreshDir("names");
  test::WriteFileBytes(dir / "a.txt", "x");
  const std::string messy = (dir / "sub" / ".." / "." / "a.txt").string();
  std::filesystem::create_directory(dir / "sub");
  EXPECT_EQ(CanonicalFileName(messy), (dir / "a.txt").string());
  EXPECT_EQ(CanonicalFileName("no/such/file.txt"), "no/such/file.txt");
  EXPECT_EQ(CanonicalFileName(""), "");

  std::string lastDir = "/start";
  NoteLastDir(lastDir, "A:\\x.txt");
  NoteLastDir(lastDir, "b:/y.txt");
  EXPECT_EQ(lastDir, "/start") << "floppy drives are not remembered";
  NoteLastDir(lastDir, (dir / "a.txt").string());
  EXPECT_EQ(lastDir, dir.string());
  NoteLastDir(lastDir, "/top.txt");
  EXPECT_EQ(lastDir, "/");
}

}  // namespace
}  // namespace qv
