// Language files: reading messages and form sections, lookup, form translation, language list.
#include "config/translation.h"

#include <gtest/gtest.h>

#include <map>

#include "support/test_env.h"

namespace qv {
namespace {

using test::FreshDir;
using test::WriteFileBytes;

// A form double that records what it was told.
class RecordingForm : public TranslatableForm {
 public:
  explicit RecordingForm(bool frame = false) : frame_(frame) {}
  bool isFrame() const override { return frame_; }
  void setFormCaption(const std::string& text) override { caption = text; }
  void setComponentText(const std::string& name, const std::string& text) override {
    components.emplace_back(name, text);
  }
  std::string caption;
  std::vector<std::pair<std::string, std::string>> components;

 private:
  bool frame_;
};

TEST(LanguageTableTest, MessageLinesFollowTheFormat) {
  LanguageTable table;
  table.append(
      "ignored=before any header\n"
      "[messages]\n"
      "1000 = blanks around the equals sign\n"
      "1001=plain\n"
      "  1002=trimmed line  \r\n"
      "// 1003=comment\n"
      "1004=\"quoted\"\n"
      "1005=a=b\n"
      "$3EE=hexadecimal\n"
      "3013=File '%s' has been changed.\\nReload from disk?\n"
      "1012=first\n"
      "1012=second\n"
      "1020=\"\"\n"
      "x1=not a number\n"
      "1021\n");
  const std::map<int, std::string> expected = {
      {1001, "plain"},
      {1002, "trimmed line"},
      {1004, "quoted"},
      {1005, "a=b"},
      {0x3EE, "hexadecimal"},
      {3013, "File '%s' has been changed.\r\nReload from disk?"},
      {1012, "first"},
      {1020, ""},
  };
  for (const auto& [id, text] : expected) {
    const std::string* got = table.message(id);
    ASSERT_NE(got, nullptr) << "id " << id << " missing";
    EXPECT_EQ(*got, text) << "id " << id;
  }
  EXPECT_EQ(table.message(1000), nullptr) << "blanks around '=' make the id unreadable";
  EXPECT_EQ(table.message(1003), nullptr);
  EXPECT_EQ(table.message(1021), nullptr);
  EXPECT_EQ(table.messageCount(), expected.size());
}

TEST(LanguageTableTest, SectionNamesMessagesAndHintsIgnoreCaseFormsDoNot) {
  LanguageTable table;
  table.append(
      "[HINTS]\n"
      "1=hint text is read and dropped\n"
      "[MESSAGES]\n"
      "2=message\n"
      "[FMFIND]\n"
      "FormCaption=Upper\n"
      "[fmFind]\n"
      "FormCaption=Suchen\n"
      "btnCancel=Abbrechen\n");
  EXPECT_EQ(table.message(1), nullptr);
  ASSERT_NE(table.message(2), nullptr);
  ASSERT_NE(table.section("fmFind"), nullptr);
  EXPECT_EQ(table.section("fmFind")->lines,
            (std::vector<std::string>{"FormCaption=Suchen", "btnCancel=Abbrechen"}));
  EXPECT_EQ(table.section("FMFIND")->lines, std::vector<std::string>{"FormCaption=Upper"});
  EXPECT_EQ(table.section("fmfind"), nullptr);
}

TEST(LanguageIdTest, ReadsDecimalAndDollarHexOnly) {
  struct Case {
    const char* text;
    bool ok;
    int id;
  };
  const Case cases[] = {
      {"1000", true, 1000},  {"$3E8", true, 1000},   {"$3e8", true, 1000}, {"-5", true, -5},
      {"$FFFFFFFF", true, -1}, {" 1000", false, 0}, {"1000 ", false, 0},  {"", false, 0},
      {"$", false, 0},       {"0x10", false, 0},     {"12a", false, 0},
      {"99999999999", false, 0},
  };
  for (const Case& c : cases) {
    int id = 0;
    EXPECT_EQ(ParseLanguageId(c.text, id), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_EQ(id, c.id) << '"' << c.text << '"';
    }
  }
}

TEST(TranslateFormTest, FirstFormCaptionSetsTitleLaterOnesAreKeys) {
  LanguageTable table;
  table.append(
      "[fmFind]\n"
      "FormCaption=Text suchen\n"
      "btnCancel=\"Abbrechen\"\n"
      "FormCaption=again\n"
      "no equals sign\n"
      "lblFind=Suchen\\nnach\n"
      "[fmFind]\n"
      "btnCancel=second section is never used\n");
  RecordingForm form;
  TranslateForm(form, "fmFind", table);
  EXPECT_EQ(form.caption, "Text suchen");
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(form.components, (std::vector<P>{P{"btnCancel", "Abbrechen"}, P{"FormCaption", "again"},
                                            P{"lblFind", "Suchen\\nnach"}}));
}

TEST(TranslateFormTest, FramesHaveNoCaptionAndMissingSectionsDoNothing) {
  LanguageTable table;
  table.append("[frameFileCompareFileChoice]\nFormCaption=Datei\nbtnBrowse=Durchsuchen\n");
  RecordingForm frame(/*frame=*/true);
  TranslateForm(frame, "frameFileCompareFileChoice", table);
  EXPECT_EQ(frame.caption, "");
  EXPECT_EQ(frame.components.size(), 2u);

  RecordingForm other;
  TranslateForm(other, "fmOptions", table);
  EXPECT_EQ(other.caption, "");
  EXPECT_TRUE(other.components.empty());
}

TEST(LanguageListTest, DisplayNameFromDescriptorElseFileName) {
  auto dir = FreshDir("languages");
  WriteFileBytes(dir / "Example.lng", "// x\n[LanguageDescriptor]\nName = Beispiel \n[messages]\n1=a\n");
  WriteFileBytes(dir / "German.lng", "[messages]\n1012=Bestätigen\n");
  WriteFileBytes(dir / "notes.txt", "[LanguageDescriptor]\nName=Not a language\n");
  EXPECT_EQ(ListLanguages(dir), (std::vector<LanguageEntry>{{"Beispiel", "Example.lng"},
                                                            {"German.lng", "German.lng"}}));
  EXPECT_EQ(LanguageDisplayName(dir / "Example.lng"), "Beispiel");
  EXPECT_EQ(LanguageDisplayName(dir / "German.lng"), "German.lng");
  EXPECT_EQ(LanguageDisplayName(dir / "Missing.lng"), "");
  EXPECT_TRUE(ListLanguages(dir / "no such folder").empty());
}

TEST(LoadLanguageTest, AppendsSoEarlierTextsWin) {
  auto dir = FreshDir("load");
  WriteFileBytes(dir / "One.lng", "[messages]\n1012=Eins\n[fmFind]\nFormCaption=Eins\n");
  WriteFileBytes(dir / "Two.lng", "[messages]\n1012=Zwei\n1013=Zwei\n[fmFind]\nFormCaption=Zwei\n");
  ProgramLanguage().clear();
  EXPECT_EQ(TranslatedText(1012, "Confirm"), "Confirm");

  EXPECT_FALSE(LoadLanguageFrom(dir, ""));
  EXPECT_FALSE(LoadLanguageFrom(dir, "Missing.lng"));
  EXPECT_EQ(TranslatedText(1012, "Confirm"), "Confirm");

  ASSERT_TRUE(LoadLanguageFrom(dir, "One.lng"));
  ASSERT_TRUE(LoadLanguageFrom(dir, "Two.lng"));
  EXPECT_EQ(TranslatedText(1012, "Confirm"), "Eins");
  EXPECT_EQ(TranslatedText(1013, "Replace?"), "Zwei");
  RecordingForm form;
  TranslateForm(form, "fmFind");
  EXPECT_EQ(form.caption, "Eins");
  ProgramLanguage().clear();
}

}  // namespace
}  // namespace qv
