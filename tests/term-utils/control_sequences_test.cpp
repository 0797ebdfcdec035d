// End to end: the bytes oxavistrel writes on both streams, and its status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/term-utils/run_vistrel.h"

namespace {

using test_support::ProgramResult;
using test_support::Stdout;
using vistrel_test::bracketed;
using vistrel_test::run_vistrel;

struct Case {
  std::vector<std::string> words;
  std::string out;
  std::string err;
};

void expect_runs(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(bracketed(c.words));
    ProgramResult result = run_vistrel(c.words);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.status, 0);
  }
}

const std::string cursor_message = "vistrel: invalid cursor value: ";
const std::string full_reset =
    "\x1b"
    "c";

TEST(ControlSequences, ResetOutweighsEverythingElse) {
  expect_runs({
      {{"--reset"}, full_reset, ""},
      {{"--cursor", "bogus", "--reset", "--foreground", "red", "--background",
        "blue", "--bold", "on", "--blank", "5", "--powersave", "on"},
       full_reset,
       ""},
      {{"--cursor=", "--reset"}, full_reset, ""},
  });
}

TEST(ControlSequences, FollowAFixedOrderWhateverTheCommandLineOrder) {
  expect_runs({
      {{}, "", ""},
      {{"--bold", "on", "--cursor", "off"}, "\x1b[?25l\x1b[1m", ""},
      {{"--blank", "5", "--bold", "on", "--background", "blue", "--foreground",
        "red", "--cursor", "on"},
       "\x1b[?25h\x1b[31m\x1b[44m\x1b[1m\x1b[9;5]",
       ""},
  });
}

TEST(ControlSequences, WriteEachKnownColourForBothOptions) {
  const std::pair<std::string, std::string> colours[] = {
      {"black", "0"},  {"red", "1"},   {"green", "2"},
      {"yellow", "3"}, {"blue", "4"},  {"magenta", "5"},
      {"cyan", "6"},   {"white", "7"}, {"default", "9"},
  };
  std::vector<Case> cases;
  for (const auto& [name, digit] : colours) {
    cases.push_back({{"--foreground", name}, "\x1b[3" + digit + "m", ""});
    cases.push_back({{"--background", name}, "\x1b[4" + digit + "m", ""});
  }
  expect_runs(cases);
}

TEST(ControlSequences, MatchColourNamesByTheirLowerCaseForm) {
  expect_runs({
      {{"--foreground", "RED"}, "\x1b[31m", ""},
      {{"--background", "Magenta"}, "\x1b[45m", ""},
      {{"--foreground", "BLAC\u212A"}, "\x1b[30m", ""},
      {{"--foreground", "wh\u0130te"}, "", ""},
      {{"--foreground", "r\u00C9d", "--background", "red"}, "\x1b[41m", ""},
      {{"--foreground", "purple"}, "", ""},
      {{"--foreground", " red"}, "", ""},
      {{"--background", "1"}, "", ""},
      {{"--foreground="}, "", ""},
  });
}

TEST(ControlSequences, TakeOnlyExactOnOrOffForCursorAndBold) {
  expect_runs({
      {{"--cursor", "on"}, "\x1b[?25h", ""},
      {{"--cursor", "off"}, "\x1b[?25l", ""},
      {{"--cursor", "ON"}, "", cursor_message + "ON\n"},
      {{"--cursor", "Off"}, "", cursor_message + "Off\n"},
      {{"--cursor", " on"}, "", cursor_message + " on\n"},
      {{"--cursor", "offf"}, "", cursor_message + "offf\n"},
      {{"--cursor="}, "", cursor_message + "\n"},
      {{"--cursor", ""}, "", cursor_message + "\n"},
      {{"--cursor=on=off"}, "", cursor_message + "on=off\n"},
      {{"--cursor", "[a,b]"}, "", cursor_message + "[a,b]\n"},
      {{"--cursor=-x"}, "", cursor_message + "-x\n"},
      {{"--cursor", "-"}, "", cursor_message + "-\n"},
      {{"--cursor", "yes", "--bold", "on"},
       "\x1b[1m",
       cursor_message + "yes\n"},
      {{"--bold", "on"}, "\x1b[1m", ""},
      {{"--bold", "off"}, "\x1b[22m", ""},
      {{"--bold", "ON"}, "", ""},
      {{"--bold", "yes"}, "", ""},
      {{"--bold", "of"}, "", ""},
  });
}

TEST(ControlSequences, WriteTheBlankTimeAsPlainDecimal) {
  expect_runs({
      {{"--blank", "0"}, "\x1b[9;0]", ""},
      {{"--blank", "7"}, "\x1b[9;7]", ""},
      {{"--blank", "007"}, "\x1b[9;7]", ""},
      {{"--blank", "010"}, "\x1b[9;10]", ""},
      {{"--blank", "+15"}, "\x1b[9;15]", ""},
      {{"--blank=-0"}, "\x1b[9;0]", ""},
      {{"--blank=4294967295"}, "\x1b[9;4294967295]", ""},
  });
}

TEST(ControlSequences, IgnorePowersave) {
  expect_runs({
      {{"--powersave", "on"}, "", ""},
      {{"--powersave", "anything", "--bold", "off"}, "\x1b[22m", ""},
  });
}

TEST(ControlSequences, SendTheCursorMessageBeforeTheSequences) {
  ProgramResult result =
      run_vistrel({"--foreground", "red", "--cursor", "maybe", "--bold", "on"},
                  Stdout::merged);
  EXPECT_EQ(result.out, cursor_message + "maybe\n\x1b[31m\x1b[1m");
  EXPECT_EQ(result.status, 0);
}

TEST(ControlSequences, LoseTheSequencesQuietlyWhenStdoutCannotTakeThem) {
  for (Stdout mode : test_support::unwritable_stdouts) {
    ProgramResult result =
        run_vistrel({"--cursor", "x", "--foreground", "red"}, mode);
    EXPECT_EQ(result.err, cursor_message + "x\n");
    EXPECT_EQ(result.status, 0);
  }
}

}  // namespace
