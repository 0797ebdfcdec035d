// End to end: what the command line of oxavistrel accepts, refuses and
// answers with help.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/term-utils/run_vistrel.h"

namespace {

using test_support::ProgramResult;
using vistrel_test::bracketed;
using vistrel_test::run_vistrel;

const std::string help_text =
    "Set terminal attributes\n"
    "Usage: oxavistrel [OPTIONS]\n"
    "\n"
    "Options:\n"
    "  -h,--help                   Print this help message and exit\n"
    "  --cursor CURSOR             Turn cursor on/off\n"
    "  --blank BLANK               Set blank time in minutes (0 to disable)\n"
    "  --foreground FOREGROUND     Set foreground color\n"
    "  --background BACKGROUND     Set background color\n"
    "  --reset                     Reset terminal\n"
    "  --bold BOLD                 Turn bold on/off\n"
    "  --powersave POWERSAVE       Powersave mode\n"
    "\n";

TEST(VistrelCommandLine, AnswersHelpOnStdoutBeforeAnyWork) {
  const std::vector<std::string> requests[] = {
      {"-h"},
      {"--help"},
      {"--reset", "--help"},
      {"--cursor", "off", "--foreground", "red", "-h"},
      {"-h", "--bogus", "word"},
  };
  for (const std::vector<std::string>& words : requests) {
    SCOPED_TRACE(bracketed(words));
    ProgramResult result = run_vistrel(words);
    EXPECT_EQ(result.out, help_text);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

TEST(VistrelCommandLine, RefusesWithStatusTwoAndWritesNoSequence) {
  const std::vector<std::string> refused[] = {
      // Repeats, the flag and equal values included.
      {"--cursor", "on", "--cursor", "on"},
      {"--reset", "--reset"},
      {"--blank=5", "--blank", "5"},
      {"--bold", "on", "--bold", "off"},
      // A flag with a value.
      {"--reset=true"},
      {"--reset="},
      {"--reset=false"},
      {"--help=x"},
      // Unknown options, short forms, letter case and abbreviations.
      {"-V"},
      {"--version"},
      {"-r"},
      {"--Cursor", "on"},
      {"--fore", "red"},
      {"--cur=on"},
      {"--bogus"},
      // Words that are no option's value.
      {"on"},
      {""},
      {"/reset"},
      {"--", "x"},
      {"--cursor", "on", "off"},
      // Option-like words where a value belongs.
      {"--cursor"},
      {"--cursor", "-x"},
      {"--cursor", "--reset"},
      {"--cursor", "--"},
      {"--cursor", "-h"},
      {"--blank", "-1"},
      // Blank values outside the decimal rule or the range.
      {"--blank", "0x10"},
      {"--blank", "4294967296"},
      {"--blank", "99999999999999999999"},
      {"--blank=-1"},
      {"--blank="},
      {"--blank", ""},
      {"--blank", " 5"},
      {"--blank", "5 "},
      {"--blank", "1e3"},
      {"--blank", "+-1"},
      {"--blank", "ten"},
      {"--blank", "\u0663"},
      // Text that is not UTF-8, as a value, attached or a positional.
      {"--cursor", "\xff"},
      {"--foreground=caf\xc3"},
      {"--bold", "\xed\xa0\x80"},
      {"--powersave", "\xc0\xb5"},
      {"--", "\xff"},
      // The first problem from the left wins over a later help request,
      // and a valid reset or cursor before it has no effect.
      {"--bogus", "-h"},
      {"--reset", "--cursor", "on", "--blank", "x", "--help"},
  };
  for (const std::vector<std::string>& words : refused) {
    SCOPED_TRACE(bracketed(words));
    ProgramResult result = run_vistrel(words);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err, "");
    EXPECT_EQ(result.status, 2);
  }
}

}  // namespace
