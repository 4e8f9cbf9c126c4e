// The highlighter table: choosing highlighters by file name and name, applying them to
// documents, dialog filters, definition write-back and the stored per-highlighter settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/editor_cfg.h"
#include "config/env_options.h"
#include "config/settings_steps.h"
#include "highlight/extra_attributes.h"
#include "highlight/highlighter_table.h"
#include "platform/registry.h"
#include "platform/scripted_prompter.h"
#include "platform/settings_tree.h"
#include "support/test_env.h"

namespace qv {
namespace {

using test::FreshDir;
using test::ReadFileBytes;
using test::WriteFileBytes;

class FakeDocument : public HighlightedDocument {
 public:
  explicit FakeDocument(std::string name = {}) : name_(std::move(name)) {}
  Highlighter* highlighter() const override { return applied.highlighter; }
  void removeHighlighter() override { applied.highlighter = nullptr; ++removed; }
  void applyHighlighter(const AppliedHighlighter& a) override { applied = a; }
  void refreshForHighlighter(const AppliedHighlighter& a) override { applied = a; ++refreshed; }
  void applyEditorCfg() override { ++cfgApplied; }
  void attachCodeTemplates(const THighLighter& entry) override { templatesOf = entry.name; }
  std::string fileName() const override { return name_; }
  void reload() override { ++reloaded; }

  AppliedHighlighter applied;
  std::string templatesOf;
  int removed = 0, refreshed = 0, cfgApplied = 0, reloaded = 0;

 private:
  std::string name_;
};

// A table whose definition folder holds the given files.
struct TableFixture {
  explicit TableFixture(const std::string& name,
                        const std::vector<std::pair<std::string, std::string>>& files = {})
      : folder(FreshDir(name)) {
    for (const auto& [file, text] : files) WriteFileBytes(folder / file, text);
    table.BuildHighlighterTable(folder, prompter);
  }
  std::filesystem::path folder;
  ScriptedPrompter prompter;
  HighlighterTable table;
};

TEST(HighlighterTable, BuiltInEntriesInTheirFixedOrder) {
  TableFixture f("builtins");
  const auto& e = f.table.entries();
  ASSERT_EQ(e.size(), 17u);
  const char* const components[] = {"hlTxt", "hlPas", "hlCpp", "hlPerl", "hlHtml", "hlCSS",
                                    "hlXML", "hlPHP", "hlSQL", "hlVisualBasic", "hlJava",
                                    "hlJavascript", "hlPython", "hlTCL", "hlFortran", "hlFox",
                                    "hlInnoSetup"};
  for (std::size_t i = 0; i < 17; ++i) {
    EXPECT_EQ(e[i].componentName, components[i]);
    ASSERT_NE(e[i].highlighter, nullptr) << components[i];
    EXPECT_FALSE(e[i].isDefinitionBased);
  }
  EXPECT_EQ(e[1].name, "Object Pascal");
  EXPECT_EQ(e[1].extensions, "*.pas;*.pp;*.dpr;*.dpk;*.inc");
  EXPECT_EQ(e[1].blockBegStr, "begin");
  EXPECT_EQ(e[15].lineComment, "&&");
  EXPECT_EQ(e[4].blockCommentBeg, "<!--");
  EXPECT_EQ(e[9].extensions, "*.bas;*.vbs;*.frm;*.cls");
  EXPECT_TRUE(e[2].blockAutoindent);
  EXPECT_FALSE(e[13].blockAutoindent);

  // Extra colour roles; plain text has no brace matching.
  const Highlighter& cpp = *e[2].highlighter;
  EXPECT_EQ(FindAttributeNoCase(cpp, "SELECTION")->background, kClHighlight);
  EXPECT_EQ(FindAttributeNoCase(cpp, "right edge")->foreground, 0xC0C0C0u);
  EXPECT_EQ(FindAttributeNoCase(cpp, "Current Line")->background, 0x00FFFFu);
  EXPECT_EQ(FindAttributeNoCase(cpp, "Matched braces")->background, kClWindow);
  const Highlighter& txt = *e[0].highlighter;
  EXPECT_EQ(FindAttributeNoCase(txt, "Matched braces"), txt.attributes().front().get());
  EXPECT_EQ(txt.attributes().size(), 4u);  // "Space" and three extra roles
}

struct FileNameCase {
  const char* fileName;
  const char* component;  // expected entry
};

class ByFileName : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(ByFileName, PicksTheFirstMatchingEntry) {
  static TableFixture f("by_file_name");
  EXPECT_EQ(f.table.FindHighlighterByFileName(GetParam().fileName).componentName,
            GetParam().component)
      << GetParam().fileName;
}

INSTANTIATE_TEST_SUITE_P(Table, ByFileName,
                         ::testing::Values(FileNameCase{"readme.TXT", "hlTxt"},
                                           FileNameCase{"unit.PAS", "hlPas"},
                                           FileNameCase{"x.h", "hlCpp"},
                                           FileNameCase{"/src/x.HPP", "hlCpp"},
                                           FileNameCase{"Makefile", "hlTxt"},
                                           FileNameCase{"/dir.d/file", "hlTxt"},
                                           FileNameCase{"a.", "hlTxt"},
                                           FileNameCase{"page.php3", "hlPHP"},
                                           FileNameCase{"data.xyz", "hlTxt"},
                                           FileNameCase{"setup.iss", "hlInnoSetup"},
                                           FileNameCase{"a.c.bak", "hlTxt"}));

TEST(HighlighterTable, OnlyTheFirstOccurrenceOfThePatternIsTested) {
  TableFixture f("first_occurrence");
  THighLighter& php = *f.table.FindHighlighterByComponent("hlPHP");
  php.extensions = "*.php3;*.php";
  EXPECT_EQ(f.table.FindHighlighterByFileName("a.php").componentName, "hlTxt");
  EXPECT_EQ(f.table.FindHighlighterByFileName("a.php3").componentName, "hlPHP");
  php.extensions = "*.php;*.php3";
  EXPECT_EQ(f.table.FindHighlighterByFileName("a.php").componentName, "hlPHP");
  EXPECT_EQ(f.table.FindHighlighterByFileName("a.php3").componentName, "hlPHP");
}

TEST(HighlighterTable, DefinitionsComeAfterBuiltInsAndLoseTiesToThem) {
  TableFixture f("definitions",
                 {{"mine.chl",
                   "Language: Mine\nFilter: Mine (*.txt,*.pas,*.mine)|*.txt;*.pas;*.mine\n"
                   "LineComment: ;\nBlockAutoindent: 1\nBlockBegStr: do\nCurrLineHighlighted: 1\n"
                   "HelpFile: mine.html\n"}});
  ASSERT_EQ(f.table.entries().size(), 18u);
  const THighLighter& mine = f.table.entries()[17];
  EXPECT_TRUE(mine.isDefinitionBased);
  EXPECT_EQ(mine.name, "Mine");
  EXPECT_EQ(mine.extensions, "*.txt;*.pas;*.mine");
  EXPECT_EQ(mine.lineComment, ";");
  EXPECT_TRUE(mine.blockAutoindent);
  EXPECT_EQ(mine.blockBegStr, "do");
  EXPECT_TRUE(mine.colorCurrentLine);
  EXPECT_EQ(mine.helpFile, "mine.html");
  ASSERT_NE(FindAttributeNoCase(*mine.highlighter, "Matched braces"), nullptr);

  EXPECT_EQ(f.table.FindHighlighterByFileName("a.txt").componentName, "hlTxt");
  EXPECT_EQ(f.table.FindHighlighterByFileName("a.pas").componentName, "hlPas");
  EXPECT_EQ(f.table.FindHighlighterByFileName("a.mine").name, "Mine");
  f.table.FindHighlighterByComponent("hlPas")->extensions = "*.pp;*.dpr";
  EXPECT_EQ(f.table.FindHighlighterByFileName("a.pas").name, "Mine");
}

TEST(HighlighterTable, UnreadableDefinitionIsReportedAndTheRestLoad) {
  const auto folder = FreshDir("unreadable_defs");
  WriteFileBytes(folder / "good.chl", "Language: Good\n");
  std::filesystem::create_directory(folder / "folder.chl");  // listed, but cannot be read
  ScriptedPrompter prompter;
  prompter.answerMessage(MsgResult::Ok, "folder.chl");
  HighlighterTable table;
  table.BuildHighlighterTable(folder, prompter);
  ASSERT_EQ(table.entries().size(), 18u);
  EXPECT_EQ(table.entries()[17].name, "Good");
  ASSERT_EQ(prompter.asked().size(), 1u);
  EXPECT_EQ(prompter.asked()[0].text, "Error opening '" + (folder / "folder.chl").string() + "'.");
  EXPECT_TRUE(prompter.failures().empty());
}

TEST(HighlighterTable, SameNamesBothListedAndTheEarlierFound) {
  TableFixture f("same_names", {{"a.chl", "Language: c/c++\nLanguage: awk\n"}});
  const auto names = f.table.SortedNames();
  std::vector<std::string> listed;
  for (const auto& n : names) listed.push_back(n.name);
  EXPECT_EQ(listed.front(), "awk");
  const auto cpp = std::find(listed.begin(), listed.end(), "C/C++");
  ASSERT_NE(cpp, listed.end());
  EXPECT_EQ(*(cpp + 1), "c/c++");  // stable: table order among equal names
  EXPECT_EQ(names.size(), 19u);
  EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(), [](const auto& a, const auto& b) {
    std::string x = a, y = b;
    for (auto& c : x) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (auto& c : y) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return x < y;
  }));
  EXPECT_EQ(f.table.FindHighlighterByName("C/C++")->componentName, "hlCpp");
  EXPECT_EQ(f.table.FindHighlighterByName("AWK")->name, "awk");
  EXPECT_EQ(f.table.FindHighlighterByName("Cobol"), nullptr);
}

TEST(HighlighterTable, NewDocumentsUseTheDefaultHighlighterOrPlainText) {
  TableFixture f("new_documents");
  EXPECT_EQ(f.table.HighlighterForNewDocument("").componentName, "hlTxt");
  EXPECT_EQ(f.table.HighlighterForNewDocument("Cobol").componentName, "hlTxt");
  EXPECT_EQ(f.table.HighlighterForNewDocument("python").componentName, "hlPython");
  EXPECT_TRUE(HighlighterTable::ChooseByNewFileName("a.c", "b.py", true, false));
  EXPECT_FALSE(HighlighterTable::ChooseByNewFileName("a.c", "b.C", true, false));
  EXPECT_TRUE(HighlighterTable::ChooseByNewFileName("a.c", "b.c", false, false));
  EXPECT_FALSE(HighlighterTable::ChooseByNewFileName("a.c", "b.py", true, true));
}

TEST(HighlighterTable, SettingADocumentsHighlighterAppliesItsColoursAndTellsListeners) {
  TableFixture f("set_document");
  THighLighter& cpp = *f.table.FindHighlighterByComponent("hlCpp");
  FindAttributeNoCase(*cpp.highlighter, "Selection")->foreground = 0x112233;
  FindAttributeNoCase(*cpp.highlighter, "Right edge")->foreground = 0x445566;
  cpp.colorCurrentLine = true;
  std::vector<std::string> told;
  f.table.onDocumentHighlighterSet(
      [&](HighlightedDocument&, const THighLighter& e) { told.push_back(e.name); });

  FakeDocument doc;
  f.table.SetDocumentHighlighter(doc, "/work/main.cpp", nullptr);
  EXPECT_EQ(doc.removed, 1);
  EXPECT_EQ(doc.applied.highlighter, cpp.highlighter);
  EXPECT_TRUE(doc.applied.colorCurrentLine);
  EXPECT_EQ(doc.applied.selectionForeground, 0x112233u);
  EXPECT_EQ(doc.applied.selectionBackground, kClHighlight);
  EXPECT_EQ(doc.applied.rightEdgeColor, 0x445566u);
  EXPECT_EQ(doc.templatesOf, "C/C++");

  f.table.SetDocumentHighlighter(doc, "/work/main.cpp", f.table.FindHighlighterByName("SQL"));
  EXPECT_EQ(doc.applied.highlighter, f.table.FindHighlighterByName("SQL")->highlighter);
  EXPECT_EQ(told, (std::vector<std::string>{"C/C++", "SQL"}));
  EXPECT_EQ(f.table.FindHighlighterEntry(doc.highlighter())->componentName, "hlSQL");
  EXPECT_EQ(f.table.FindHighlighterEntry(nullptr), nullptr);
}

TEST(HighlighterTable, RebuildDefaultFilterFromDescriptionAndList) {
  THighLighter e;
  e.defaultFilter = "Pascal Files (*.pas;*.pp)|*.pas;*.pp";
  e.extensions = "*.pas; *.dpr";
  HighlighterTable::RebuildDefaultFilter(e);
  EXPECT_EQ(e.defaultFilter, "Pascal Files (*.pas, *.dpr)|*.pas;*.dpr");
  e.defaultFilter = "  Scripts |*.x";
  e.extensions = "*.sh";
  HighlighterTable::RebuildDefaultFilter(e);
  EXPECT_EQ(e.defaultFilter, "Scripts (*.sh)|*.sh");
  e.defaultFilter = "no bar here";
  HighlighterTable::RebuildDefaultFilter(e);
  EXPECT_EQ(e.defaultFilter, "no bar here");
}

TEST(HighlighterTable, DialogFilterListsLanguagesByNameAndPreselectsTheDocuments) {
  TableFixture f("dialog_filter", {{"b.chl", "Language: Batch files\nFilter: Batch (*.bat)|*.bat|\n"},
                                   {"n.chl", "Language: Nameless filter\n"}});
  const auto none = f.table.BuildDialogFilter(nullptr);
  EXPECT_TRUE(none.filter.starts_with(
      "All files (*.*)|*.*|Batch (*.bat)|*.bat|C/C++ files (*.c,*.cpp,*.h,*.hpp)|*.c;*.cpp;*.h;*.hpp|"
      "Cascading Stylesheets (*.css)|*.css|Fortran Files (*.for)|*.for|"));
  EXPECT_TRUE(none.filter.ends_with("|XML Document (*.xml,*.xsd,*.xsl,*.xslt)|*.xml;*.xsd;*.xsl;*.xslt|"));
  EXPECT_EQ(none.filter.find("||"), std::string::npos);
  EXPECT_EQ(none.index, 1);

  const auto cpp = f.table.BuildDialogFilter(f.table.FindHighlighterByComponent("hlCpp")->highlighter);
  EXPECT_EQ(cpp.index, 3);
  const auto batch = f.table.BuildDialogFilter(f.table.FindHighlighterByName("Batch files")->highlighter);
  EXPECT_EQ(batch.index, 2);
  const auto nameless =
      f.table.BuildDialogFilter(f.table.FindHighlighterByName("Nameless filter")->highlighter);
  EXPECT_EQ(nameless.index, 1);
}

TEST(HighlighterTable, RefreshReachesDocumentsUsingEachHighlighter) {
  TableFixture f("refresh");
  FakeDocument cppDoc, plainDoc;
  f.table.SetDocumentHighlighter(cppDoc, "a.cpp", nullptr);
  f.table.SetDocumentHighlighter(plainDoc, "a.txt", nullptr);
  f.table.FindHighlighterByComponent("hlCpp")->overrideTxtFgColor = true;
  HighlightedDocument* docs[] = {&cppDoc, &plainDoc};
  f.table.RefreshHighlighterSettings(docs);
  EXPECT_EQ(cppDoc.refreshed, 1);
  EXPECT_TRUE(cppDoc.applied.overrideTxtFgColor);
  EXPECT_EQ(plainDoc.refreshed, 1);
  EXPECT_FALSE(plainDoc.applied.overrideTxtFgColor);
  EXPECT_EQ(cppDoc.cfgApplied + plainDoc.cfgApplied, 2);
}

TEST(HighlighterTable, ModifiedDefinitionsAreWrittenAndOpenCopiesReloaded) {
  TableFixture f("save_modified", {{"a.chl", "Language: A\nFilter: A (*.a)|*.a\nHelpFile:\n"},
                                   {"b.chl", "Language: B\nFilter: B (*.b)|*.b\n"}});
  THighLighter& a = *f.table.FindHighlighterByName("A");
  a.extensions = "*.a;*.aa";
  HighlighterTable::RebuildDefaultFilter(a);
  a.helpFile = "a.html";
  a.definitionModified = true;
  FakeDocument open((f.folder / "a.chl").string()), other((f.folder / "b.chl").string());
  HighlightedDocument* docs[] = {&open, &other};
  const std::string before = ReadFileBytes(f.folder / "b.chl");

  f.table.SaveModifiedDefinitions(docs, f.prompter);
  EXPECT_FALSE(a.definitionModified);
  const std::string text = ReadFileBytes(f.folder / "a.chl");
  EXPECT_NE(text.find("Filter:                 A (*.a,*.aa)|*.a;*.aa\n"), std::string::npos);
  EXPECT_NE(text.find("HelpFile:               a.html\n"), std::string::npos);
  EXPECT_EQ(open.reloaded, 1);
  EXPECT_EQ(other.reloaded, 0);
  EXPECT_EQ(ReadFileBytes(f.folder / "b.chl"), before);
  EXPECT_TRUE(f.table.SaveDefinition(f.table.entry(2), f.prompter));  // built-in: nothing to do
}

TEST(HighlighterTable, DefinitionFileGoneIsReportedAndStaysModified) {
  TableFixture f("save_gone", {{"a.chl", "Language: A\n"}});
  THighLighter& a = *f.table.FindHighlighterByName("A");
  a.definitionModified = true;
  std::filesystem::remove(f.folder / "a.chl");
  f.prompter.answerMessage(MsgResult::Ok, "Error opening '");
  f.table.SaveModifiedDefinitions({}, f.prompter);
  EXPECT_TRUE(a.definitionModified);
  EXPECT_FALSE(std::filesystem::exists(f.folder / "a.chl"));
}

TEST(HighlighterSettings, RoundTripThroughTheSettingsTree) {
  MemorySettingsTree tree;
  {
    TableFixture f("settings_write");
    THighLighter& cpp = *f.table.FindHighlighterByComponent("hlCpp");
    cpp.colorCurrentLine = true;
    cpp.extensions = "*.c;*.cc;*.h";
    cpp.blockBegStr = "{{";
    cpp.blockAutoindent = false;
    cpp.helpFile = "/doc/c.html";
    HighlighterAttribute* comment = FindAttributeNoCase(*cpp.highlighter, "Comment");
    comment->foreground = 0x00C08080;
    comment->style = kFsBold | kFsStrikeOut;
    FindAttributeNoCase(*cpp.highlighter, "Selection")->background = 0x80000005;
    Registry reg(tree);
    f.table.SaveHighlighterSettings(reg);
  }
  const auto cppKey = "HighLighters\\hlCpp";
  EXPECT_EQ(tree.readValue(cppKey, "Extensions")->text, "*.c;*.cc;*.h");
  EXPECT_EQ(tree.readValue(cppKey, "ColorCurrentLine")->integer, 1);
  EXPECT_TRUE(tree.keyExists("HighLighters\\hlCpp\\Selection"));
  EXPECT_TRUE(tree.keyExists("HighLighters\\hlTxt\\Space"));
  EXPECT_FALSE(tree.keyExists("HighLighters\\hlTxt\\MatchedBraces"));

  TableFixture f("settings_read", {{"d.chl", "Language: D\n"}});
  Registry reg(tree);
  f.table.LoadHighlighterSettings(reg);
  const THighLighter& cpp = *f.table.FindHighlighterByComponent("hlCpp");
  EXPECT_TRUE(cpp.colorCurrentLine);
  EXPECT_EQ(cpp.extensions, "*.c;*.cc;*.h");
  EXPECT_EQ(cpp.defaultFilter, "C/C++ files (*.c,*.cc,*.h)|*.c;*.cc;*.h");
  EXPECT_EQ(cpp.blockBegStr, "{{");
  EXPECT_FALSE(cpp.blockAutoindent);
  EXPECT_EQ(cpp.helpFile, "/doc/c.html");
  EXPECT_EQ(FindAttributeNoCase(*cpp.highlighter, "Comment")->foreground, 0x00C08080u);
  EXPECT_EQ(FindAttributeNoCase(*cpp.highlighter, "Comment")->style, kFsBold | kFsStrikeOut);
  EXPECT_EQ(FindAttributeNoCase(*cpp.highlighter, "Selection")->background, 0x80000005u);
  EXPECT_EQ(f.table.FindHighlighterByFileName("x.cc").componentName, "hlCpp");
  // Definition-based languages keep their settings in their own files.
  EXPECT_FALSE(tree.keyExists("HighLighters\\D"));
}

TEST(HighlighterSettings, MissingValuesKeepDefaultsAndOldExtensionListsAreConverted) {
  MemorySettingsTree tree;
  tree.writeValue("HighLighters\\hlPas", "Extensions", SettingsValue::String(" .pas .dpr"));
  tree.writeValue("HighLighters\\hlPas\\Comment", "Foreground", SettingsValue::Integer(0xFF));
  SetEditorCfgChanged(false);
  TableFixture f("settings_defaults");
  THighLighter& pas = *f.table.FindHighlighterByComponent("hlPas");
  const Color commentBg = FindAttributeNoCase(*pas.highlighter, "Comment")->background;
  Registry reg(tree);
  f.table.LoadHighlighterSettings(reg);
  EXPECT_EQ(pas.extensions, "*.pas;*.dpr");
  EXPECT_EQ(pas.defaultFilter, "Pascal Files (*.pas,*.dpr)|*.pas;*.dpr");
  EXPECT_TRUE(EditorCfgChanged());
  EXPECT_EQ(FindAttributeNoCase(*pas.highlighter, "Comment")->foreground, 0xFFu);
  EXPECT_EQ(FindAttributeNoCase(*pas.highlighter, "Comment")->background, commentBg);
  EXPECT_EQ(pas.blockBegStr, "begin");
  // Every built-in gets block indentation unless a value says otherwise.
  EXPECT_TRUE(f.table.FindHighlighterByComponent("hlTCL")->blockAutoindent);
  EXPECT_TRUE(tree.keyExists("HighLighters\\hlTCL"));
  SetEditorCfgChanged(false);
}

TEST(HighlighterSettings, StepsRunInTheProgramsSettingsFrame) {
  MemorySettingsTree tree;
  tree.writeValue("HighLighters\\hlSQL", "HelpFile", SettingsValue::String("sql.html"));
  SettingsSteps steps;
  {
    TableFixture f("settings_steps");
    f.table.RegisterSettingsSteps(steps);
    Registry reg(tree);
    steps.LoadSettings(reg);
    EXPECT_EQ(f.table.FindHighlighterByComponent("hlSQL")->helpFile, "sql.html");
    f.table.FindHighlighterByComponent("hlSQL")->helpFile = "new.html";
    SetEditorCfgChanged(true);
    steps.SaveSettings(reg);
    EXPECT_EQ(tree.readValue("HighLighters\\hlSQL", "HelpFile")->text, "new.html");
  }
  // The table removed its steps when it went away.
  Registry reg(tree);
  steps.LoadSettings(reg);
  // The SQL dialect step read the environment options; release them as the program does at its end.
  ReleaseEnvOptions();
}

}  // namespace
}  // namespace qv
