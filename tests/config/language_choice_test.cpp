// Choosing the user-interface language: list, preselection, and the effect of applying a choice.
#include "config/language_choice.h"

#include <gtest/gtest.h>

#include "platform/scripted_prompter.h"
#include "platform/settings_tree.h"
#include "support/test_env.h"

namespace qv {
namespace {

class LanguageChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramLanguage().clear();
    dir_ = test::FreshDir("choice");
    test::WriteFileBytes(dir_ / "Deutsch.lng", "[LanguageDescriptor]\nName=Deutsch\n[messages]\n3012=Fehler\n");
    test::WriteFileBytes(dir_ / "Francais.lng",
                         "[LanguageDescriptor]\nName=Français\n[messages]\n3012=Erreur\n1012=Confirmer\n");
  }
  void TearDown() override { ProgramLanguage().clear(); }

  ScriptedPrompter::FailureHandler failTest() {
    return [](const std::string& what) { ADD_FAILURE() << "prompter: " << what; };
  }
  std::filesystem::path dir_;
};

TEST_F(LanguageChoiceTest, EnglishFirstThenFilesAndPreselectionIgnoresCase) {
  auto choices = LanguageChoices(dir_);
  ASSERT_EQ(choices, (std::vector<LanguageEntry>{
                         {"English", ""}, {"Deutsch", "Deutsch.lng"}, {"Français", "Francais.lng"}}));
  EXPECT_EQ(PreselectedLanguage(choices, ""), 0u);
  EXPECT_EQ(PreselectedLanguage(choices, "deutsch.LNG"), 1u);
  EXPECT_EQ(PreselectedLanguage(choices, "Missing.lng"), 0u);
}

TEST_F(LanguageChoiceTest, FromEnglishTheNewTextsShowAtOnce) {
  auto choices = LanguageChoices(dir_);
  std::string setting;
  ScriptedPrompter prompter(failTest());
  EXPECT_FALSE(ApplyLanguageChoice(setting, choices, 0, 0, dir_, prompter)) << "unchanged choice";
  EXPECT_EQ(prompter.asked().size(), 0u);

  prompter.answerMessage(MsgResult::Ok, "Language will be changed when program is restarted.");
  EXPECT_TRUE(ApplyLanguageChoice(setting, choices, 0, 1, dir_, prompter));
  EXPECT_EQ(setting, "Deutsch.lng");
  EXPECT_EQ(prompter.asked().back().icon, MsgIcon::Warning);
  EXPECT_EQ(TranslatedText(3012, "Error"), "Fehler");
}

TEST_F(LanguageChoiceTest, BetweenTwoLanguagesOnlyMissingTextsChangeUntilRestart) {
  ASSERT_TRUE(LoadLanguageFrom(dir_, "Deutsch.lng"));
  auto choices = LanguageChoices(dir_);
  std::string setting = "Deutsch.lng";
  ScriptedPrompter prompter(failTest());
  prompter.answerMessage(MsgResult::Ok).answerMessage(MsgResult::Ok);
  EXPECT_TRUE(ApplyLanguageChoice(setting, choices, 1, 2, dir_, prompter));
  EXPECT_EQ(setting, "Francais.lng");
  EXPECT_EQ(TranslatedText(3012, "Error"), "Fehler") << "the earlier text keeps its place";
  EXPECT_EQ(TranslatedText(1012, "Confirm"), "Confirmer") << "a text the first file lacked is added";

  EXPECT_TRUE(ApplyLanguageChoice(setting, choices, 2, 0, dir_, prompter));
  EXPECT_EQ(setting, "") << "English is stored as no file";
}

TEST_F(LanguageChoiceTest, SettingLivesInGlobalLanguage) {
  MemorySettingsTree tree;
  Registry reg(tree);
  EXPECT_EQ(ReadLanguageSetting(reg), "");
  WriteLanguageSetting(reg, "Deutsch.lng");
  EXPECT_EQ(tree.readValue("Global", "Language"), SettingsValue::String("Deutsch.lng"));
  EXPECT_EQ(ReadLanguageSetting(reg), "Deutsch.lng");
}

TEST_F(LanguageChoiceTest, LoadLanguageLooksInTheProgramFolder) {
  std::filesystem::create_directories(LanguageFolder());
  test::WriteFileBytes(LanguageFolder() / "Test.lng", "[messages]\n3012=Virhe\n");
  EXPECT_FALSE(LoadLanguage(""));
  EXPECT_FALSE(LoadLanguage("None.lng"));
  EXPECT_TRUE(LoadLanguage("Test.lng"));
  EXPECT_EQ(TranslatedText(3012, "Error"), "Virhe");
}

}  // namespace
}  // namespace qv
