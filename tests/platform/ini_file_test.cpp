// INI files: reading with defaults, writing in place, damaged input, whole-file rewrite.
#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "support/test_env.h"

namespace qv {
namespace {
namespace fs = std::filesystem;

TEST(IniFileTest, ReadsValuesWithDefaults) {
  const IniFile ini = IniFile::Parse(
      "; favourites\r\n"
      "[Favorites]\r\n"
      "Count = 2\r\n"
      "File0=/home/u/a b.txt\r\n"
      "file0=ignored, the first one counts\r\n"
      "Hex=$1F\r\n"
      "Hex2=0xFFFFFFFF\r\n"
      "Bad=12abc\r\n"
      "Neg=-5\r\n"
      "Empty=\r\n"
      "[ Other ]\r\n"
      "on=1\r\n");
  EXPECT_EQ(ini.ReadInteger("favorites", "COUNT", 0), 2);
  EXPECT_EQ(ini.ReadString("Favorites", "File0", ""), "/home/u/a b.txt");
  EXPECT_EQ(ini.ReadInteger("Favorites", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Favorites", "Hex2", 0), -1);
  EXPECT_EQ(ini.ReadInteger("Favorites", "Bad", 7), 7);
  EXPECT_EQ(ini.ReadInteger("Favorites", "Neg", 0), -5);
  EXPECT_EQ(ini.ReadString("Favorites", "Empty", "dflt"), "");
  EXPECT_EQ(ini.ReadString("Favorites", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Nowhere", "File0", "dflt"), "dflt");
  EXPECT_TRUE(ini.ReadBool("Other", "on", false));
  EXPECT_TRUE(ini.ReadBool("Other", "off", true));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Favorites", "Other"}));
  EXPECT_EQ(ini.ReadSection("Favorites"),
            (std::vector<std::string>{"Count", "File0", "Hex", "Hex2", "Bad", "Neg", "Empty"}));
}

TEST(IniFileTest, DamagedInputIsReadAsFarAsItMakesSense) {
  using namespace std::string_literals;
  const std::string text =
      "garbage before any section\n[Broken\nA=1\n\0\xff\xfe=\n=novalue\n[S]\nB=2\0\0[x"s;
  const IniFile ini = IniFile::Parse(text);
  EXPECT_EQ(ini.ReadInteger("Broken", "A", 0), 1);
  EXPECT_EQ(ini.ReadString("Broken", "", "d"), "d");
  EXPECT_EQ(ini.ReadSection("S").size(), 1u);
  // Untouched, the text comes back byte for byte (with the file's own line ends).
  EXPECT_EQ(IniFile::Parse("a\n[S]\n; c\nk=v\n").Text(), "a\n[S]\n; c\nk=v\n");
}

TEST(IniFileTest, WritesChangeLinesInPlaceAndKeepComments) {
  IniFile ini = IniFile::Parse("; keep me\n[A]\nx=1\n; note\ny=2\n\n[B]\nz=3\n");
  ini.WriteInteger("a", "X", 10);  // the key keeps the spelling it has in the file
  ini.WriteString("A", "new", "v");
  ini.WriteBool("C", "flag", true);
  ini.WriteString("B", "multi", "line1\nline2");
  EXPECT_TRUE(ini.Modified());
  EXPECT_EQ(ini.Text(),
            "; keep me\n[A]\nx=10\n; note\ny=2\nnew=v\n\n[B]\nz=3\nmulti=line1 line2\n\n[C]\nflag=1\n");
}

TEST(IniFileTest, EraseSectionAndDeleteKey) {
  IniFile ini = IniFile::Parse("[A]\nx=1\n[B]\ny=2\nY=3\n[a]\nz=4\n");
  ini.EraseSection("A");
  EXPECT_FALSE(ini.SectionExists("A"));
  ini.DeleteKey("B", "y");
  EXPECT_FALSE(ini.ValueExists("B", "Y"));
  EXPECT_EQ(ini.Text(), "[B]\n");
}

TEST(IniFileTest, UpdateFileWritesWholeAndLoadReadsItBack) {
  const fs::path file = test::FreshDir("ini") / "plugcfg.ini";
  auto loaded = IniFile::Load(file);
  ASSERT_EQ(loaded.error, "") << "a missing file is an empty one";
  loaded.file.WriteString("plgDemo", "Visible", "1");
  ASSERT_TRUE(loaded.file.UpdateFile());
  EXPECT_EQ(test::ReadFileBytes(file), "[plgDemo]\r\nVisible=1\r\n");
  EXPECT_FALSE(loaded.file.Modified());
  EXPECT_EQ(IniFile::Load(file).file.ReadString("PLGDEMO", "visible", ""), "1");
}

TEST(IniFileTest, AFileThatCannotBeReadIsNeverWrittenOver) {
  const fs::path dir = test::FreshDir("ini-bad");
  fs::create_directories(dir / "ftp.ini");  // a folder where the file should be
  auto loaded = IniFile::Load(dir / "ftp.ini");
  EXPECT_NE(loaded.error, "");
  loaded.file.WriteString("S", "k", "v");
  EXPECT_FALSE(loaded.file.UpdateFile());
  EXPECT_TRUE(fs::is_directory(dir / "ftp.ini"));
}

}  // namespace
}  // namespace qv
