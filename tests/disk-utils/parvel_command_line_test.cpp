// The command line of oxaparvel, end to end: which stream each run writes,
// and its exit status. The parser's own wording is not pinned down here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tests/support/disk_image.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

using test_support::ProgramResult;

ProgramResult run(std::vector<std::string> args,
                  const std::string& working_directory = "") {
  test_support::ProgramRun run;
  run.argv = {OXAPARVEL_PATH};
  run.argv.insert(run.argv.end(), args.begin(), args.end());
  run.working_directory = working_directory;
  return test_support::run_program(run);
}

using test_support::bracketed;

class ParvelCommandLine : public testing::Test {
 protected:
  void SetUp() override {
    test_support::write_file(image_, test_support::example_disk().bytes());
  }

  test_support::TempDir dir_;
  const std::string image_ = dir_.file("disk.img");
};

TEST_F(ParvelCommandLine, NeitherListNorDeviceExitsOne) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"-b", "4096"}, {"-b4096"}, {"--sector-size=4096"}, {"--"}};
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(bracketed(args));
    ProgramResult result = run(args);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "parvel: no device specified\n");
    EXPECT_EQ(result.status, 1);
  }
}

TEST_F(ParvelCommandLine, RefusedCommandLinesExitTwoAndListNothing) {
  const std::vector<std::vector<std::string>> cases = {
      // Sector sizes that are not plain decimal numbers within 32 bits.
      {"--list", image_, "-b", "4096x"},
      {"--list", image_, "-b", "0x200"},
      {"--list", image_, "-b=-1"},
      {"--list", image_, "--sector-size=-1"},
      {"--list", image_, "-b", "-1"},
      {"--list", image_, "-b", "4294967296"},
      {"--list", image_, "-b", ""},
      {"--list", image_, "-b"},
      // Repeats, extra positionals, values for the flag.
      {"--list", "--list", image_},
      {"-l", "-l", image_},
      {"-ll", image_},
      {"-l", "--list", image_},
      {"-b", "512", "--sector-size", "512", "--list", image_},
      {"--list", image_, image_},
      {"--", "-x", "--list"},
      {"--list=true", image_},
      {"--list=", image_},
      // No version option, and no other spellings of the known ones.
      {"-V"},
      {"--version"},
      {"--LIST", image_},
      {"--lis", image_},
      {"-x", image_},
      // The device must be UTF-8 text.
      {"--list", "disk\xff"},
      {"--list", "--", "caf\xc3"},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(bracketed(args));
    ProgramResult result = run(args);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err, "");
    EXPECT_EQ(result.err.find("cannot open"), std::string::npos);
    EXPECT_EQ(result.err.find("no device specified"), std::string::npos);
    EXPECT_EQ(result.status, 2);
  }
}

TEST_F(ParvelCommandLine, SectorSizeIsAcceptedAndChangesNothing) {
  ProgramResult plain = run({"--list", image_});
  ASSERT_EQ(plain.status, 0);
  const std::vector<std::vector<std::string>> cases = {
      {"-b", "+512", "--list", image_},
      {"--list", "--sector-size", "4096", image_},
      {"--list", "-b4096", image_},
      {"-lb", "512", image_},
      {"-lb512", image_},
      {image_, "--sector-size=0", "-l"},
      {"-b", "4294967295", "--list", image_},
      {"-b", "007", "--list", image_},
      {"-b=4096", "--list", image_},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(bracketed(args));
    ProgramResult result = run(args);
    EXPECT_EQ(result.out, plain.out);
    EXPECT_EQ(result.err, plain.err);
    EXPECT_EQ(result.status, plain.status);
  }
}

TEST_F(ParvelCommandLine, HelpGoesToStdoutWithStatusZero) {
  ProgramResult help = run({"--help"});
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.status, 0);
  for (const char* text :
       {"Manipulate disk partition table", "List partitions", "Sector size",
        "SECTOR_SIZE", "DEVICE", "Device", "--list", "--sector-size"}) {
    EXPECT_NE(help.out.find(text), std::string::npos) << text;
  }
  std::string lower = help.out;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  EXPECT_EQ(lower.find("version"), std::string::npos);

  // Help wins over a device named with it, so nothing is listed.
  const std::vector<std::vector<std::string>> cases = {
      {"-h"}, {"-h", image_}, {"--list", image_, "--help"}, {"-lh"}};
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(bracketed(args));
    ProgramResult result = run(args);
    EXPECT_EQ(result.out, help.out);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

// Help and refusals end inside the parser with its statuses, whether or
// not their text could be written.
TEST_F(ParvelCommandLine, HelpAndRefusalsKeepTheirStatusWhateverStdoutIs) {
  for (test_support::Stdout mode : test_support::unwritable_stdouts) {
    SCOPED_TRACE(static_cast<int>(mode));
    test_support::ProgramRun help;
    help.argv = {OXAPARVEL_PATH, "--help"};
    help.stdout_mode = mode;
    ProgramResult helped = test_support::run_program(help);
    EXPECT_EQ(helped.err, "");
    EXPECT_EQ(helped.status, 0);

    test_support::ProgramRun refused;
    refused.argv = {OXAPARVEL_PATH, "--list", "--list", image_};
    refused.stdout_mode = mode;
    ProgramResult result = test_support::run_program(refused);
    EXPECT_EQ(result.err, run({"--list", "--list", image_}).err);
    EXPECT_EQ(result.status, 2);
  }
}

TEST_F(ParvelCommandLine, WordsAfterDoubleDashAreDevices) {
  for (const std::string name : {"-x", "--list", "-"}) {
    SCOPED_TRACE(name);
    test_support::write_file(dir_.file(name), "");
    ProgramResult result = run({"--list", "--", name}, dir_.path());
    EXPECT_EQ(result.out, "Disk " + name + ": 0 sectors, 0B\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

}  // namespace
