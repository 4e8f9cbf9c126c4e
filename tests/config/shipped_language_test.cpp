// The German language file shipped with the program: it loads and covers every message id.
#include <gtest/gtest.h>

#include <utility>

#include "config/translation.h"
#include "support/test_env.h"

namespace qv {
namespace {

// Every message id the program looks up, as inclusive ranges.
constexpr std::pair<int, int> kMessageIds[] = {
    {1000, 1000},   {1001, 1001},   {1011, 1013},   {1020, 1021},   {1100, 1103},
    {1110, 1111},   {1300, 1318},   {2000, 2001},   {3000, 3013},   {3015, 3017},
    {3020, 3021},   {4000, 4003},   {4010, 4012},   {4020, 4020},   {5001, 5007},
    {5100, 5101},   {6500, 6502},   {6510, 6512},   {7000, 7001},   {8000, 8003},
    {8010, 8015},   {8020, 8022},   {8100, 8103},   {8110, 8111},   {8125, 8126},
    {8210, 8211},   {8300, 8302},   {9000, 9000},   {9010, 9010},   {9020, 9020},
    {9050, 9055},   {9100, 9108},   {10010, 10012}, {10020, 10020}, {10030, 10033},
    {10040, 10041}, {10050, 10050}, {11000, 11001}, {12000, 12001}, {13000, 13006},
    {13020, 13026}, {13050, 13054}, {14000, 14009}, {14020, 14024}, {15000, 15008},
};

LanguageTable LoadShipped() {
  LanguageTable table;
  table.append(test::ReadFileBytes(test::SourcePath("src/resources/language/Deutsch.lng")));
  return table;
}

TEST(ShippedLanguageTest, GermanCoversEveryMessageId) {
  const LanguageTable table = LoadShipped();
  int count = 0;
  for (auto [first, last] : kMessageIds) {
    for (int id = first; id <= last; ++id, ++count) {
      const std::string* text = table.message(id);
      ASSERT_NE(text, nullptr) << "Deutsch.lng has no text for message " << id;
      EXPECT_FALSE(text->empty()) << "message " << id;
    }
  }
  EXPECT_EQ(count, 180);
  EXPECT_EQ(table.messageCount(), 180u) << "Deutsch.lng holds a message no code asks for";
}

TEST(ShippedLanguageTest, GermanKeepsPlaceholdersAndQuotes) {
  const LanguageTable table = LoadShipped();
  const std::pair<int, const char*> cases[] = {
      {1013, "Die Datei '%s' ist bereits vorhanden.\r\nMöchten Sie sie ersetzen?"},
      {1103, "Fehler beim Umbenennen der Datei '%s' in '%s'."},
      {3008, "%d Zeichen%s markiert."},
      {4011, "%d Vorkommen von '%s' durch '%s' ersetzt."},
      {5004, "\")\" erwartet."},
      {3012, "Fehler"},
  };
  for (const auto& [id, expected] : cases) {
    ASSERT_NE(table.message(id), nullptr) << id;
    EXPECT_EQ(*table.message(id), expected) << "message " << id;
  }
}

TEST(ShippedLanguageTest, GermanIsListedByItsOwnName) {
  EXPECT_EQ(LanguageDisplayName(test::SourcePath("src/resources/language/Deutsch.lng")), "Deutsch");
  std::vector<LanguageEntry> list = ListLanguages(test::SourcePath("src/resources/language"));
  EXPECT_NE(std::find(list.begin(), list.end(), LanguageEntry{"Deutsch", "Deutsch.lng"}), list.end());
}

}  // namespace
}  // namespace qv
