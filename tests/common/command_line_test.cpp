#include "common/command_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

// A command shaped like both tools': a flag, a short+long number option, a
// long text option and one optional positional.
struct Parsed {
  bool list = false;
  std::optional<std::uint32_t> size;
  std::optional<std::string> text;
  std::optional<std::string> device;
  std::optional<int> status;
  std::string out;
  std::string err;
};

Parsed parse(const std::vector<std::string>& words,
             const std::string& argv0 = "tool") {
  Parsed parsed;
  CLI::App app("Test tool", "tool");
  app.add_flag("-l,--list", parsed.list, "List things");
  app.add_option("-b,--size", parsed.size, "Size")
      ->type_name("SIZE")
      ->transform(tarvo::decimal_u32());
  app.add_option("--text", parsed.text, "Text")->type_name("TEXT");
  app.add_option("DEVICE", parsed.device, "Device")->type_name("");

  std::vector<const char*> argv = {argv0.c_str()};
  for (const std::string& word : words)
    argv.push_back(word.c_str());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  parsed.status = tarvo::parse_command_line(app, static_cast<int>(argv.size()),
                                            argv.data());
  std::cout.flush();
  std::fflush(stdout);
  parsed.out = testing::internal::GetCapturedStdout();
  parsed.err = testing::internal::GetCapturedStderr();
  return parsed;
}

using test_support::bracketed;

void expect_refused(const std::vector<std::vector<std::string>>& lines) {
  for (const std::vector<std::string>& words : lines) {
    Parsed parsed = parse(words);
    EXPECT_EQ(parsed.status, 2) << bracketed(words);
    EXPECT_EQ(parsed.out, "") << bracketed(words);
    EXPECT_NE(parsed.err, "") << bracketed(words);
  }
}

TEST(CommandLine, HelpGoesToStdoutWithStatusZero) {
  Parsed help = parse({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_NE(help.out.find("Test tool"), std::string::npos);
  EXPECT_NE(help.out.find("SIZE"), std::string::npos);
  EXPECT_NE(help.out.find("List things"), std::string::npos);
  EXPECT_EQ(help.out.find("version"), std::string::npos);
  EXPECT_EQ(parse({"-h"}).out, help.out);
  for (std::vector<std::string> words :
       {std::vector<std::string>{"-h", "/dev/sda"},
        {"-l", "--help"},
        {"-lh"}}) {
    EXPECT_EQ(parse(words).status, 0) << bracketed(words);
  }
}

TEST(CommandLine, FirstProblemFromTheLeftWins) {
  EXPECT_EQ(parse({"-b", "abc", "-h"}).status, 2);
  EXPECT_EQ(parse({"a", "b", "--help"}).status, 2);
  EXPECT_EQ(parse({"--bogus", "-h"}).status, 2);
  EXPECT_EQ(parse({"--text", "--help"}).status, 2);
  EXPECT_EQ(parse({"-h", "-b", "abc"}).status, 0);
  EXPECT_EQ(parse({"--help", "--bogus", "a", "b"}).status, 0);
}

TEST(CommandLine, NamesTheProgramByTheLastComponentOfArgv0) {
  EXPECT_EQ(tarvo::program_name("/usr/bin/oxaparvel", "parvel"), "oxaparvel");
  EXPECT_EQ(tarvo::program_name("dir/sub/", "parvel"), "sub");
  EXPECT_EQ(tarvo::program_name("a/.", "parvel"), "a");
  for (const char* fallback : {"", "/", "..", "a/..", ".", "bad\xFF"}) {
    EXPECT_EQ(tarvo::program_name(fallback, "parvel"), "parvel") << fallback;
  }
  EXPECT_EQ(tarvo::program_name(nullptr, "vistrel"), "vistrel");
  EXPECT_NE(parse({"-h"}, "/some/dir/oxatool").out.find("oxatool"),
            std::string::npos);
}

TEST(CommandLine, RefusesUnknownOptionsVersionsAndOtherCases) {
  expect_refused({{"--bogus"},
                  {"-V"},
                  {"--version"},
                  {"-r"},
                  {"--LIST"},
                  {"--lis"},
                  {"--Text", "x"},
                  {"--tex", "x"},
                  {"--si", "1"}});
}

TEST(CommandLine, RefusesRepeatsOfAnyOption) {
  expect_refused({{"--list", "--list"},
                  {"-l", "-l"},
                  {"-ll"},
                  {"-l", "--list"},
                  {"-b", "512", "-b", "512"},
                  {"-b1", "--size=1"},
                  {"--text", "on", "--text", "on"}});
}

TEST(CommandLine, RefusesAValueGivenToAFlag) {
  expect_refused(
      {{"--list=true"}, {"--list="}, {"--list=false"}, {"-l=1"}, {"--help=x"}});
}

TEST(CommandLine, NeverTakesAnOptionLikeWordAsAValue) {
  expect_refused({{"-1"},
                  {"-l", "-1"},
                  {"---x"},
                  {"-!"},
                  {"- x"},
                  {"-b", "-0"},
                  {"--text", "-x"},
                  {"--text", "--list"},
                  {"--text", "--"},
                  {"--text", "-h"},
                  {"--text"},
                  {"-b"},
                  {"x", "-b"}});
  EXPECT_EQ(parse({"--text=-x"}).text, "-x");
  EXPECT_EQ(parse({"--text", "-"}).text, "-");
  EXPECT_EQ(parse({"--text=--help"}).text, "--help");
}

TEST(CommandLine, CountsPositionals) {
  expect_refused({{"a", "b"}, {"--", "a", "b"}, {"a", "--", "b"}});
  EXPECT_EQ(parse({""}).device, "");
  EXPECT_EQ(parse({"-"}).device, "-");
  EXPECT_EQ(parse({"--", "-x"}).device, "-x");
  Parsed none = parse({"--"});
  EXPECT_EQ(none.status, std::nullopt);
  EXPECT_EQ(none.device, std::nullopt);
}

TEST(CommandLine, ReadsNumbersAsStrictDecimal) {
  expect_refused({{"-b", "4294967296"},
                  {"--size=-1"},
                  {"-b", "0x10"},
                  {"-b", "0x200"},
                  {"-b", "0o10"},
                  {"-b", "0b10"},
                  {"-b", "1_0"},
                  {"-b", " 5"},
                  {"-b", "5 "},
                  {"-b", ""},
                  {"--size="},
                  {"-b", "ten"},
                  {"-b", "4096x"},
                  {"-b", "+-1"},
                  {"-b", "99999999999999999999"},
                  {"-b", "\xD9\xA3"},
                  {"-bl"},
                  {"-b="}});
  struct Accepted {
    std::vector<std::string> words;
    std::uint32_t value;
  };
  const Accepted accepted[] = {
      {{"-b", "0"}, 0},     {{"-b", "4294967295"}, 4294967295},
      {{"--size=+15"}, 15}, {{"-b", "007"}, 7},
      {{"-b", "010"}, 10},  {{"-b", "08"}, 8},
      {{"--size=-0"}, 0},   {{"-b4096"}, 4096},
      {{"-b=4096"}, 4096},  {{"-lb", "512"}, 512},
      {{"-lb512"}, 512},
  };
  for (const Accepted& a : accepted) {
    Parsed parsed = parse(a.words);
    EXPECT_EQ(parsed.status, std::nullopt) << bracketed(a.words);
    EXPECT_EQ(parsed.size, a.value) << bracketed(a.words);
  }
  EXPECT_TRUE(parse({"-lb512"}).list);
}

TEST(CommandLine, TakesTextValuesAsWritten) {
  EXPECT_EQ(parse({"--text="}).text, "");
  EXPECT_EQ(parse({"--text", ""}).text, "");
  EXPECT_EQ(parse({"--text=on=off"}).text, "on=off");
  EXPECT_EQ(parse({"--text", "[a,b]"}).text, "[a,b]");
  Parsed both = parse({"--text=", "--list"});
  EXPECT_EQ(both.text, "");
  EXPECT_TRUE(both.list);
  EXPECT_EQ(parse({"-b", "1"}).text, std::nullopt);
}

TEST(CommandLine, RefusesWordsThatAreNotUtf8) {
  for (const char* bad : {"\xFF", "caf\xC3", "\xED\xA0\x80", "\xC0\xB5"}) {
    std::string word = bad;
    expect_refused(
        {{"--text", word}, {"--text=" + word}, {word}, {"--", word}});
  }
}

// A parent may hand over a non-blocking pipe that is already full: help
// and refusals then wait for the reader, like every other text.
TEST(CommandLine, HelpAndRefusalsWaitOutAFullNonBlockingPipe) {
  struct Case {
    std::vector<std::string> argv;
    int status;
  };
  const Case cases[] = {
      {{OXAPARVEL_PATH, "--help"}, 0},
      {{OXAVISTREL_PATH, "--help"}, 0},
      {{OXAPARVEL_PATH, "--bogus"}, 2},
      {{OXAPARVEL_PATH, "--list", "--sector-size", "x1"}, 2},
      {{OXAVISTREL_PATH, "--blank", "ten"}, 2},
  };
  for (const Case& c : cases) {
    test_support::ProgramResult blocking = test_support::run_program(c.argv);
    ASSERT_EQ(blocking.status, c.status) << bracketed(c.argv);
    ASSERT_NE(blocking.out + blocking.err, "") << bracketed(c.argv);

    test_support::ProgramRun run;
    run.argv = c.argv;
    run.outputs_full_nonblocking = true;
    run.pause = std::chrono::milliseconds(400);
    test_support::ProgramResult waited = test_support::run_program(run);
    EXPECT_EQ(waited.out, blocking.out) << bracketed(c.argv);
    EXPECT_EQ(waited.err, blocking.err) << bracketed(c.argv);
    EXPECT_EQ(waited.status, c.status) << bracketed(c.argv);
  }
}

}  // namespace
