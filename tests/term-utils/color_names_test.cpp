#include "term-utils/color_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vistrel::color_code;

TEST(ColorCode, KnowsTheNineNamesInAnyLetterCase) {
  struct Row {
    std::string name;
    int index;
  };
  const Row rows[] = {
      {"black", 0},   {"red", 1},  {"green", 2}, {"yellow", 3},  {"blue", 4},
      {"magenta", 5}, {"cyan", 6}, {"white", 7}, {"default", 9},
  };
  for (const Row& row : rows) {
    std::string upper = row.name;
    for (char& c : upper)
      c = static_cast<char>(c - 'a' + 'A');
    std::string capitalised = row.name;
    capitalised[0] = upper[0];
    EXPECT_EQ(color_code(row.name), row.index) << row.name;
    EXPECT_EQ(color_code(upper), row.index) << upper;
    EXPECT_EQ(color_code(capitalised), row.index) << capitalised;
  }
  EXPECT_EQ(color_code("rEd"), 1);
  EXPECT_EQ(color_code("DeFaUlT"), 9);
}

// U+212A KELVIN SIGN lowercases to an ASCII "k"; nothing else outside ASCII
// lowercases to ASCII.
TEST(ColorCode, TakesTheKelvinSignForKOnly) {
  EXPECT_EQ(color_code("blac\u212A"), 0);
  EXPECT_EQ(color_code("BLAC\u212A"), 0);
  EXPECT_EQ(color_code("blac\u212Ax"), -1);
  EXPECT_EQ(color_code("blac\xE2\x84"), -1);  // a Kelvin sign cut short
  EXPECT_EQ(color_code("wh\u0130te"), -1);    // lowers to "i" + U+0307
  EXPECT_EQ(color_code("r\u00C9d"), -1);
  EXPECT_EQ(color_code("\uFF52\uFF45\uFF44"), -1);  // full-width "red"
}

TEST(ColorCode, RefusesEveryOtherText) {
  const std::string others[] = {
      "",     " red",    "red ",     "red\n",      "\tred", "re",
      "redd", "redblue", "blu",      "1",          "31",    "8",
      "grey", "magent",  "defaults", "bright red",
  };
  for (const std::string& other : others) {
    EXPECT_EQ(color_code(other), -1) << '"' << other << '"';
  }
  EXPECT_EQ(color_code(std::string("red\0", 4)), -1);
}

}  // namespace
