// REGEDIT4 export bytes, import of the same text, and malformed files that change nothing.
#include "config/registry_export.h"

#include <gtest/gtest.h>

#include "platform/sqlite_settings_tree.h"
#include "support/test_env.h"

namespace qv {
namespace {

constexpr const char* kHeader = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane]\r\n";

std::vector<std::uint8_t> Counting(int n) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < n; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
  return bytes;
}

TEST(RegistryExportTest, EmptyTreeIsTheRootKeyOnly) {
  MemorySettingsTree tree;
  EXPECT_EQ(ExportRegistryText(tree), kHeader);
}

TEST(RegistryExportTest, EachValueKindHasItsExactText) {
  struct Case {
    const char* what;
    std::string name;
    SettingsValue value;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"system colour", "FontColor", SettingsValue::Integer(static_cast<std::int32_t>(0x80000008u)),
       "\"FontColor\"=dword:80000008\r\n"},
      {"small integer", "TabWidth", SettingsValue::Integer(8), "\"TabWidth\"=dword:00000008\r\n"},
      {"minus one", "X", SettingsValue::Integer(-1), "\"X\"=dword:FFFFFFFF\r\n"},
      {"path", "LastDir", SettingsValue::String("C:\\work"), "\"LastDir\"=\"C:\\\\work\"\r\n"},
      {"quotes in name and text", "a\"b\\c", SettingsValue::String("say \"hi\""),
       "\"a\\\"b\\\\c\"=\"say \\\"hi\\\"\"\r\n"},
      {"unnamed value", "", SettingsValue::String("x"), "@=\"x\"\r\n"},
      {"8-byte margin", "MarginsLeft", SettingsValue::Binary({0, 0, 0, 0, 0, 0, 0x24, 0x40}),
       "\"MarginsLeft\"=hex:00,00,00,00,00,00,24,40\r\n"},
      {"empty binary", "B", SettingsValue::Binary({}), "\"B\"=hex:\r\n"},
      {"text with a line break", "KeyWords", SettingsValue::String("for\r\nif"),
       "\"KeyWords\"=hex(1):66,6F,72,0D,0A,69,66,00\r\n"},
  };
  for (const auto& c : cases) {
    MemorySettingsTree tree;
    tree.writeValue("", c.name, c.value);
    EXPECT_EQ(ExportRegistryText(tree), kHeader + c.line) << c.what;
  }
}

TEST(RegistryExportTest, LongBinaryBreaksAfterByte26ThenEvery25) {
  MemorySettingsTree tree;
  tree.writeValue("", "B30", SettingsValue::Binary(Counting(30)));
  tree.writeValue("", "B26", SettingsValue::Binary(Counting(26)));
  tree.writeValue("", "B52", SettingsValue::Binary(Counting(52)));
  const std::string expected = std::string(kHeader) +
      "\"B30\"=hex:00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19,\\\r\n"
      "1A,1B,1C,1D\r\n"
      "\"B26\"=hex:00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19\r\n"
      "\"B52\"=hex:00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19,\\\r\n"
      "1A,1B,1C,1D,1E,1F,20,21,22,23,24,25,26,27,28,29,2A,2B,2C,2D,2E,2F,30,31,32,\\\r\n"
      "33\r\n";
  EXPECT_EQ(ExportRegistryText(tree), expected);
}

TEST(RegistryExportTest, SubkeysFollowTheirParentDepthFirst) {
  MemorySettingsTree tree;
  tree.writeValue("Global", "FormLeft", SettingsValue::Integer(10));
  tree.writeValue("HighLighters\\hlCpp\\Comment", "Style", SettingsValue::Integer(2));
  tree.createKey("Editor");
  EXPECT_EQ(ExportRegistryText(tree), std::string(kHeader) +
                                          "\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\Editor]\r\n"
                                          "\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\Global]\r\n"
                                          "\"FormLeft\"=dword:0000000A\r\n"
                                          "\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\HighLighters]\r\n"
                                          "\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\HighLighters\\hlCpp]\r\n"
                                          "\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\HighLighters\\hlCpp\\Comment]\r\n"
                                          "\"Style\"=dword:00000002\r\n");
}

TEST(RegistryImportTest, ExportThenImportGivesTheSameTree) {
  MemorySettingsTree original;
  original.writeValue("Global", "FormMaximized", SettingsValue::Integer(1));
  original.writeValue("General", "LastDir", SettingsValue::String("/home/u/\"odd\\dir\""));
  original.writeValue("", "", SettingsValue::String("default"));
  original.writeValue("Printing", "MarginsLeft", SettingsValue::Binary(Counting(60)));
  original.writeValue("HighLighters\\hlTCL", "KeyWords", SettingsValue::String("after\nappend\r\n"));
  original.writeValue("Misc", "Zero", SettingsValue::String(std::string("a\0b", 3)));
  original.createKey("fmBtmWin\\OutputConsole");
  const std::string text = ExportRegistryText(original);

  const auto dir = test::FreshDir("import");
  test::WriteFileBytes(dir / "s.reg", text);
  auto opened = SqliteSettingsTree::Open(dir / "settings.db");
  ASSERT_TRUE(opened.tree) << opened.error;
  const Status imported = ImportRegistrySettings(*opened.tree, dir / "s.reg");
  ASSERT_TRUE(imported) << imported.error;
  EXPECT_EQ(ExportRegistryText(*opened.tree), text);
}

TEST(RegistryImportTest, AcceptsWhatOtherWritersProduce) {
  const std::string text =
      "\xEF\xBB\xBFREGEDIT4\n"
      "; a comment\n"
      "[HKEY_CURRENT_USER\\Software]\n"
      "[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\Editor\\]\n"
      "\"TabWidth\" = dword:4\n"
      "\"Keys\"=hex:01,\\\n"
      "  02,03\n"
      "\"Old\"=-\n"
      "[-HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\Stale]\n";
  MemorySettingsTree tree;
  tree.writeValue("Editor", "Old", SettingsValue::Integer(1));
  tree.writeValue("Stale\\Sub", "V", SettingsValue::Integer(1));
  const RegistryImport parsed = ParseRegistryText(text, "t.reg");
  ASSERT_EQ(parsed.error, "");
  ASSERT_TRUE(tree.apply(parsed.changes));
  EXPECT_EQ(tree.readValue("Editor", "TabWidth"), SettingsValue::Integer(4));
  EXPECT_EQ(tree.readValue("Editor", "Keys"), SettingsValue::Binary({1, 2, 3}));
  EXPECT_FALSE(tree.readValue("Editor", "Old"));
  EXPECT_FALSE(tree.keyExists("Stale"));
}

TEST(RegistryImportTest, MalformedFilesAreRejectedNamingTheLine) {
  struct Case {
    const char* what;
    std::string text;
    int line;
    std::string says;
  };
  const std::string key = "[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\Global]\r\n";
  const std::vector<Case> cases = {
      {"no header", "[x]\r\n", 1, "does not start with \"REGEDIT4\""},
      {"empty file", "", 1, "does not start with \"REGEDIT4\""},
      {"other program's key", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n", 2,
       "only keys below"},
      {"other hive", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Quirvane\\Quirvane]\r\n", 2,
       "only keys below"},
      {"unclosed key", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\r\n", 2,
       "must end with \"]\""},
      {"empty key name", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\\\A]\r\n", 2,
       "empty key name"},
      {"value before a key", "REGEDIT4\r\n\"A\"=dword:1\r\n", 2, "must follow a key line"},
      {"value in a parent key", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software]\r\n\"A\"=\"x\"\r\n", 3,
       "must follow a key line"},
      {"unclosed name", "REGEDIT4\r\n" + key + "\"A=dword:1\r\n", 3, "no closing double quote"},
      {"no equals", "REGEDIT4\r\n" + key + "\"A\" dword:1\r\n", 3, "expected \"=\""},
      {"bad dword", "REGEDIT4\r\n" + key + "\"A\"=dword:12345678A\r\n", 3, "1 to 8 hexadecimal"},
      {"non-hex dword", "REGEDIT4\r\n" + key + "\"A\"=dword:xyz\r\n", 3, "1 to 8 hexadecimal"},
      {"bad hex byte", "REGEDIT4\r\n" + key + "\"A\"=hex:01,zz\r\n", 3, "\"zz\" is not a hexadecimal byte"},
      {"hex runs off the end", "REGEDIT4\r\n" + key + "\"A\"=hex:01,\\", 3, "past the end"},
      {"hex list ends in a comma", "REGEDIT4\r\n" + key + "\"A\"=hex:01,\\\r\n\r\n", 3, "ends with a comma"},
      {"unknown type", "REGEDIT4\r\n" + key + "\"A\"=hex(7):00\r\n", 3, "hex(7)"},
      {"unknown data", "REGEDIT4\r\n" + key + "\"A\"=qword:1\r\n", 3, "must be \"text\""},
      {"text unclosed", "REGEDIT4\r\n" + key + "\"A\"=\"abc\r\n", 3, "no closing double quote"},
      {"text then junk", "REGEDIT4\r\n" + key + "\"A\"=\"abc\" x\r\n", 3, "after the text"},
      {"bare line", "REGEDIT4\r\n" + key + "A=1\r\n", 3, "expected a key"},
  };
  for (const auto& c : cases) {
    const RegistryImport r = ParseRegistryText(c.text, "t.reg");
    EXPECT_EQ(r.errorLine, c.line) << c.what << ": " << r.error;
    EXPECT_NE(r.error.find("t.reg, line " + std::to_string(c.line) + ": "), std::string::npos)
        << c.what << ": " << r.error;
    EXPECT_NE(r.error.find(c.says), std::string::npos) << c.what << ": " << r.error;
    EXPECT_TRUE(r.changes.empty()) << c.what;
  }
}

TEST(RegistryImportTest, ABadLineLateInTheFileChangesNothing) {
  const auto dir = test::FreshDir("import-bad");
  auto opened = SqliteSettingsTree::Open(dir / "settings.db");
  ASSERT_TRUE(opened.tree);
  SettingsTree& tree = *opened.tree;
  ASSERT_TRUE(tree.writeValue("Global", "FormLeft", SettingsValue::Integer(5)));
  test::WriteFileBytes(dir / "bad.reg",
                       "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\Global]\r\n"
                       "\"FormLeft\"=dword:00000063\r\n"
                       "\"FormTop\"=dword:00000063\r\n"
                       "[-HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\Global]\r\n"
                       "\"Broken\"=\r\n");
  const Status s = ImportRegistrySettings(tree, dir / "bad.reg");
  ASSERT_FALSE(s);
  EXPECT_NE(s.error.find("line 7"), std::string::npos) << s.error;
  EXPECT_NE(s.error.find("Nothing was imported"), std::string::npos) << s.error;
  EXPECT_EQ(tree.readValue("Global", "FormLeft"), SettingsValue::Integer(5));
  EXPECT_FALSE(tree.readValue("Global", "FormTop"));
}

TEST(RegistryImportTest, MissingFileIsReportedByName) {
  MemorySettingsTree tree;
  const Status s = ImportRegistrySettings(tree, test::FreshDir("nofile") / "none.reg");
  ASSERT_FALSE(s);
  EXPECT_NE(s.error.find("none.reg"), std::string::npos) << s.error;
}

TEST(RegistryExportTest, ExportReplacesTheFileWhole) {
  const auto dir = test::FreshDir("export");
  test::WriteFileBytes(dir / "out.reg", std::string(100000, 'x'));
  MemorySettingsTree tree;
  tree.writeValue("Global", "FormLeft", SettingsValue::Integer(1));
  ASSERT_TRUE(ExportRegistrySettings(tree, dir / "out.reg"));
  EXPECT_EQ(test::ReadFileBytes(dir / "out.reg"), ExportRegistryText(tree));
  // A folder in the way fails with a message and leaves the folder alone.
  std::filesystem::create_directories(dir / "folder.reg");
  EXPECT_FALSE(ExportRegistrySettings(tree, dir / "folder.reg"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.reg"));
}

}  // namespace
}  // namespace qv
