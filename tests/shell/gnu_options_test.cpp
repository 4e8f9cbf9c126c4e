#include "shell/gnu_options.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using Args = std::vector<std::string>;

TEST(GnuOptions, TakesOffItsOwnOptionsAndKeepsTheRestInOrder) {
  const GnuOptions o = ParseGnuOptions({"a.txt", "--version", "/G3:7", "--import-settings", "x.reg", "/R"});
  EXPECT_TRUE(o.version);
  EXPECT_FALSE(o.help);
  EXPECT_EQ(o.importSettings, "x.reg");
  EXPECT_EQ(o.rest, (Args{"a.txt", "/G3:7", "/R"}));
  EXPECT_TRUE(o.error.empty());
}

TEST(GnuOptions, DoubleDashPassesEverythingAfterIt) {
  const GnuOptions o = ParseGnuOptions({"--", "--help", "b.txt"});
  EXPECT_FALSE(o.help);
  EXPECT_EQ(o.rest, (Args{"--help", "b.txt"}));
}

TEST(GnuOptions, Errors) {
  struct Case { Args args; std::string error; };
  const Case cases[] = {
      {{"--export-settings"}, "option '--export-settings' requires a file name"},
      {{"--import-settings="}, "option '--import-settings' requires a file name"},
      {{"--frobnicate"}, "unrecognized option '--frobnicate'"},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseGnuOptions(c.args).error, c.error) << c.args[0];
  EXPECT_EQ(ParseGnuOptions({"--export-settings=out.reg"}).exportSettings, "out.reg");
}

}  // namespace
}  // namespace qv
