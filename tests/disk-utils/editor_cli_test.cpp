// The editor run as a program: its standard streams, its exit status and
// the image file it leaves behind, byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <regex>
#include <utility>
#include <vector>

#include "disk-utils/boot_sector.h"
#include "tests/support/run_program.h"
#include "tests/support/sandbox.h"
#include "tests/support/temp_dir.h"

namespace {

using test_support::run_program;
using test_support::TempDir;

const std::string greeting =
    "Welcome to parvel (tarvo-linux).\n"
    "Changes will remain in memory only, until you decide to write them.\n\n";
const std::string command = "Command (m for help): ";
const std::string number = "Partition number (1-4): ";
const std::string new_entry =
    "Start sector: Size in sectors: "
    "Partition type (hex, default 83): ";
const std::string altered = "The partition table has been altered.\n";

struct Session {
  std::string out;
  std::string err;
  int status;
  std::string image;
};

// Runs the editor on a file "disk.img" that starts as image and is named
// relatively, so listings printed by p do not depend on the scratch path.
// run says how its standard streams are set up.
Session edit(const std::string& image, test_support::ProgramRun run) {
  TempDir dir;
  test_support::write_file(dir.file("disk.img"), image);
  run.argv = {OXAPARVEL_PATH, "disk.img"};
  run.working_directory = dir.path();
  test_support::ProgramResult result = test_support::run_program(run);
  return {result.out, result.err, result.status,
          test_support::read_file(dir.file("disk.img"))};
}

Session edit(const std::string& image, const std::string& input) {
  test_support::ProgramRun run;
  run.input = input;
  return edit(image, run);
}

parvel::BootSector sector_of(const std::string& image) {
  parvel::BootSector sector;
  std::memcpy(sector.bytes.data(), image.data(),
              std::min(image.size(), parvel::sector_bytes));
  return sector;
}

std::string zeros(std::size_t size) {
  return std::string(size, '\0');
}

TEST(EditorCli, WorkedExchangeWritesASignedTableThatListingShows) {
  TempDir dir;
  std::string path = dir.file("disk.img");
  test_support::write_file(path, zeros(1 << 20));
  test_support::ProgramResult run = run_program(
      {OXAPARVEL_PATH, path}, "n\n1\n\n204800\n\nt\n1\n7\nn\n1\nx\nw\n");
  EXPECT_EQ(run.out, greeting + command + number + new_entry +
                         "Partition created.\n" + command + number +
                         "Hex code (default 83): "
                         "Changed type of partition 1 to 07.\n" +
                         command + number + "Partition 1 already exists.\n" +
                         command + "Unknown command: x\n" + command + altered);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);

  std::string expected = zeros(1 << 20);
  const char entry[] = "\0\0\0\0\x07\0\0\0\0\x08\0\0\0\x20\x03\0";
  expected.replace(446, 16, entry, 16);
  expected.replace(510, 2, "\x55\xAA");
  EXPECT_TRUE(test_support::read_file(path) == expected);

  test_support::ProgramResult listing =
      run_program({OXAPARVEL_PATH, "-l", path});
  EXPECT_NE(listing.out.find(path + "1                     2048     206847"
                                    "     204800  100M 07\n"),
            std::string::npos)
      << listing.out;
}

// Each script runs on a blank signed image; the replies follow the greeting.
TEST(EditorCli, ReadsCommandsAsTrimmedLinesOfOneByte) {
  const std::string help =
      "  d   delete a partition\n  l   list known partition types\n"
      "  n   add a new partition\n  p   print the partition table\n"
      "  q   quit without saving changes\n  t   change a partition type\n"
      "  w   write table to disk and exit\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", command},
      {"q", command},
      {"\xff\nw\n", command},
      {"m\n  w  \r\n", command + help + command + altered},
      {"M\nww\nl\n\xc3\xa9\n\n \t\nq\n",
       command + "Unknown command: M\n" + command + "Unknown command: ww\n" +
           command + "Unknown command: l\n" + command +
           "Unknown command: \xc3\xa9\n" + command + "Unknown command: \n" +
           command + "Unknown command: \n" + command},
  };
  // Signed but without entries, so even the w of a case writes it back as is.
  const std::string image = zeros(510) + "\x55\xAA";
  for (const auto& [input, replies] : cases) {
    Session session = edit(image, input);
    EXPECT_EQ(session.out, greeting + replies) << input;
    EXPECT_EQ(session.status, 0);
    EXPECT_TRUE(session.image == image) << input;
  }
}

TEST(EditorCli, EndOfInputOrClosedStdinEndsWithoutWriting) {
  // An n whose answers never come still creates its entry; the loop then
  // meets the end of input and nothing reaches the disk.
  Session session = edit(zeros(512), "n\n1");
  EXPECT_EQ(session.out, greeting + command + number + new_entry +
                             "Partition created.\n" + command);
  EXPECT_TRUE(session.image == zeros(512));

  TempDir dir;
  test_support::write_file(dir.file("disk.img"), zeros(512));
  test_support::ProgramRun run;
  run.argv = {OXAPARVEL_PATH, dir.file("disk.img")};
  run.stdin_closed = true;
  test_support::ProgramResult closed = test_support::run_program(run);
  EXPECT_EQ(closed.out, greeting + command);
  EXPECT_EQ(closed.status, 0);
}

TEST(EditorCli, PartitionNumberFollowsTheDecimalRule) {
  for (const char* answer : {"1", "+1", "001", " 1\r"}) {
    Session session =
        edit(zeros(512), "t\n" + std::string(answer) + "\n7\nq\n");
    EXPECT_EQ(session.out, greeting + command + number +
                               "Hex code (default 83): Changed type of "
                               "partition 1 to 07.\n" +
                               command)
        << answer;
  }
  Session shown = edit(zeros(512), "d\n+02\n");
  EXPECT_EQ(shown.out,
            greeting + command + number + "Partition deleted.\n" + command);
  for (const char* answer :
       {"0", "5", "", "-1", "1.0", "one", "+", "18446744073709551616",
        "18446744073709551617", "\xff"}) {
    Session session = edit(zeros(512), "d\n" + std::string(answer) + "\nq\n");
    EXPECT_EQ(session.out, greeting + command + number +
                               "Invalid partition number.\n" + command)
        << answer;
  }
}

TEST(EditorCli, TypeAnswersFollowTheHexByteRule) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "83"},    {"0x83", "83"}, {"183", "83"},  {"zz", "83"},
      {"+", "83"},   {"-7", "83"},   {"EF", "ef"},   {" ef ", "ef"},
      {"+7", "07"},  {"0", "00"},    {"0083", "83"}, {"000ff", "ff"},
      {"100", "83"}, {"\xff", "83"},
  };
  for (const auto& [answer, shown] : cases) {
    Session session = edit(zeros(512), "t\n3\n" + std::string(answer) + "\n");
    EXPECT_EQ(session.out, greeting + command + number +
                               "Hex code (default 83): Changed type of "
                               "partition 3 to " +
                               shown + ".\n" + command)
        << answer;
  }
}

TEST(EditorCli, NewEntryTakesStartAndSizeOrTheirDefaults) {
  struct Case {
    const char* start;
    const char* size;
    std::uint32_t want_start;
    std::uint32_t want_size;
  };
  const Case cases[] = {
      {"", "", 2048, 0},
      {"-5", "4294967296", 2048, 0},
      {"4294967295", "+0100", 4294967295u, 100},
      {"1e3", "12 3", 2048, 0},
      {"\xff", "0", 2048, 0},
  };
  std::string image = zeros(512);
  image.replace(478, 16,
                std::string("\x80\x11\x22\x33\x00\x44\x55\x66"
                            "\x77\x77\x77\x77\x88\x88\x88\x88",
                            16));
  for (const Case& c : cases) {
    Session session = edit(
        image, "n\n3\n" + std::string(c.start) + "\n" + c.size + "\n\nw\n");
    parvel::BootSector sector = sector_of(session.image);
    EXPECT_EQ(sector.entry(3).start_lba(), c.want_start) << c.start;
    EXPECT_EQ(sector.entry(3).sector_count(), c.want_size) << c.size;
    EXPECT_EQ(sector.entry(3).part_type(), 0x83);
    EXPECT_EQ(sector.entry(3).boot_flag(), 0);
    // The CHS bytes of the slot are kept.
    EXPECT_EQ(session.image.substr(479, 3), "\x11\x22\x33");
    EXPECT_EQ(session.image.substr(483, 3), "\x44\x55\x66");
  }
}

TEST(EditorCli, EditsOfEmptyAndUsedSlots) {
  // Type 0 leaves the slot empty, so a second n on it is taken.
  Session twice = edit(zeros(512), "n\n2\n\n\n0\nn\n2\n10\n20\n7\nw\n");
  EXPECT_EQ(sector_of(twice.image).entry(2).start_lba(), 10u);
  EXPECT_EQ(sector_of(twice.image).entry(2).part_type(), 0x07);

  // n on a used slot asks nothing more: its prepared answers become commands.
  Session used = edit(twice.image, "n\n2\n4096\n\nq\n");
  EXPECT_EQ(used.out, greeting + command + number +
                          "Partition 2 already exists.\n" + command +
                          "Unknown command: 4096\n" + command +
                          "Unknown command: \n" + command);

  // t works on an empty slot, d on any slot.
  Session typed = edit(twice.image, "d\n2\nd\n4\nt\n2\nc\nw\n");
  std::string expected = twice.image;
  expected.replace(462, 16, zeros(16));
  expected[466] = '\x0c';
  EXPECT_TRUE(typed.image == expected);
  EXPECT_NE(typed.out.find("Partition deleted.\n" + command + number +
                           "Partition deleted.\n"),
            std::string::npos);
}

TEST(EditorCli, PrintShowsTheStoredTableNotTheEdits) {
  std::string image = zeros(1024);
  image.replace(446, 16,
                std::string("\0\0\0\0\x83\0\0\0\0\x08\0\0\0\x10\0\0", 16));
  image.replace(510, 2, "\x55\xAA");
  const std::string stored =
      "Disk disk.img: 0 sectors, 0B\nDisklabel type: dos\n"
      "Disk identifier: 0x00000000\n\n"
      "Device       Boot        Start        End    Sectors  Size Id\n"
      "disk.img1                     2048       6143       4096    2M 83\n";
  Session session = edit(image, "n\n2\n8192\n4096\n\np\nd\n1\np\nq\n");
  EXPECT_EQ(session.out, greeting + command + number + new_entry +
                             "Partition created.\n" + command + stored +
                             command + number + "Partition deleted.\n" +
                             command + stored + command);
}

TEST(EditorCli, FailedStartReadGivesABlankImage) {
  // A short file: zeros replace what little was read, and the file grows to
  // exactly one sector. A table without entries gets no signature.
  Session bare = edit(std::string(100, '\xff'), "w\n");
  EXPECT_EQ(bare.err, "parvel: cannot read disk.img: device too small\n");
  EXPECT_EQ(bare.status, 0);
  EXPECT_TRUE(bare.image == zeros(512));

  Session made = edit(std::string(511, '\xff'), "n\n1\n\n\n\nw\n");
  std::string expected = zeros(512);
  expected.replace(446, 16,
                   std::string("\0\0\0\0\x83\0\0\0\0\x08\0\0\0\0\0\0", 16));
  expected.replace(510, 2, "\x55\xAA");
  EXPECT_TRUE(made.image == expected);
}

TEST(EditorCli, FailedWriteIsReportedWithStatusOne) {
  TempDir dir;
  const std::string missing = dir.file("missing.img");
  const std::string no_such = "No such file or directory (os error 2)";
  struct Case {
    std::string path;
    std::string err;
  };
  const Case cases[] = {
      {missing, "parvel: cannot read " + missing + ": " + no_such +
                    "\nparvel: write failed: " + no_such + "\n"},
      {"", "parvel: cannot read : " + no_such +
               "\nparvel: write failed: " + no_such + "\n"},
      {dir.path(), "parvel: cannot read " + dir.path() +
                       ": Is a directory (os error 21)\n"
                       "parvel: write failed: Is a directory (os error 21)\n"},
      {"/dev/full",
       "parvel: write failed: No space left on device (os error 28)\n"},
  };
  for (const Case& c : cases) {
    test_support::ProgramResult run =
        run_program({OXAPARVEL_PATH, c.path}, "n\n1\n\n\n\nw\np\n");
    EXPECT_EQ(run.err, c.err) << c.path;
    EXPECT_EQ(run.status, 1) << c.path;
    EXPECT_TRUE(run.out.ends_with(command)) << c.path;
  }
  struct stat status;
  EXPECT_NE(::stat(missing.c_str(), &status), 0);  // never created
}

TEST(EditorCli, WriteToAReadOnlyMountFailsAndKeepsTheBytes) {
  if (!test_support::Sandbox::available()) {
    GTEST_SKIP() << "needs root and private mount namespaces";
  }
  TempDir dir;
  std::string path = dir.file("disk.img");
  std::string image = std::string(512, '\x5a') + std::string(512, '\x33');
  test_support::write_file(path, image);
  test_support::ProgramResult run = run_program(
      {"unshare", "-m", "--propagation", "private", "sh", "-c",
       "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" && "
       "exec \"$2\" \"$1/disk.img\"",
       "sandbox", dir.path(), OXAPARVEL_PATH},
      "d\n1\nw\n");
  EXPECT_EQ(run.err,
            "parvel: write failed: Read-only file system (os error 30)\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(test_support::read_file(path) == image);
}

// The editor's prompts and replies are a courtesy: a stdout that takes
// nothing changes neither the table written nor the status.
TEST(EditorCli, StdoutThatTakesNothingChangesNothingElse) {
  const std::string input = "n\n1\n\n2048\n\nt\n1\n7\np\nw\n";
  Session expected = edit(zeros(512), input);
  ASSERT_EQ(expected.status, 0);
  for (test_support::Stdout mode : test_support::unwritable_stdouts) {
    SCOPED_TRACE(static_cast<int>(mode));
    test_support::ProgramRun run;
    run.input = input;
    run.stdout_mode = mode;
    Session session = edit(zeros(512), run);
    EXPECT_EQ(session.err, "");
    EXPECT_EQ(session.status, 0);
    EXPECT_TRUE(session.image == expected.image);
  }
}

// A parent may leave O_NONBLOCK on the pipes it hands over. A full stdout
// pipe and an answer not typed yet both mean "wait", never "give up".
TEST(EditorCli, NonBlockingStreamsWaitAndLoseNothing) {
  using namespace std::chrono_literals;
  std::string many_helps;
  for (int i = 0; i < 2000; ++i)
    many_helps += "m\n";
  Session blocking = edit(zeros(512), many_helps + "q\n");
  ASSERT_GT(blocking.out.size(), 400'000u);  // far more than a pipe holds

  test_support::ProgramRun slow_reader;
  slow_reader.input = many_helps + "q\n";
  slow_reader.stdout_nonblocking = true;
  slow_reader.pause = 1000ms;
  Session waited = edit(zeros(512), slow_reader);
  EXPECT_TRUE(waited.out == blocking.out)
      << waited.out.size() << " of " << blocking.out.size() << " bytes";
  EXPECT_EQ(waited.status, 0);

  const std::string first = "n\n1\n";
  const std::string later = "4096\n100\n\nw\n";
  Session typed_at_once = edit(zeros(512), first + later);
  ASSERT_EQ(typed_at_once.status, 0);
  test_support::ProgramRun slow_typist;
  slow_typist.input = first;
  slow_typist.late_input = later;
  slow_typist.stdin_nonblocking = true;
  slow_typist.pause = 400ms;
  Session typed_later = edit(zeros(512), slow_typist);
  EXPECT_EQ(typed_later.out, typed_at_once.out);
  EXPECT_EQ(typed_later.err, typed_at_once.err);
  EXPECT_EQ(typed_later.status, 0);
  EXPECT_TRUE(typed_later.image == typed_at_once.image);
}

// The file command reads a table the editor wrote with the same starts,
// sizes and types.
TEST(EditorCli, AnotherReaderRecognisesTheWrittenTable) {
  TempDir dir;
  std::string path = dir.file("disk.img");
  test_support::write_file(path, zeros(1 << 20));
  test_support::ProgramResult edit_run = run_program(
      {OXAPARVEL_PATH, path},
      "n\n1\n2048\n204800\n\nn\n3\n206848\n4096\nc\nn\n4\n\n1\nef\nw\n");
  ASSERT_EQ(edit_run.status, 0) << edit_run.err;
  test_support::ProgramResult file = run_program({"file", "-b", path});
  if (file.status == 127) GTEST_SKIP() << "no file command";

  std::regex row(
      "partition (\\d) : ID=0x([0-9a-f]+), start-CHS \\([^)]*\\), "
      "end-CHS \\([^)]*\\), startsector (\\d+), (\\d+) sectors");
  std::vector<std::string> seen;
  for (std::sregex_iterator it(file.out.begin(), file.out.end(), row), end;
       it != end; ++it) {
    seen.push_back((*it)[1].str() + " " + (*it)[2].str() + " " +
                   (*it)[3].str() + " " + (*it)[4].str());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1 83 2048 204800",
                                            "3 c 206848 4096", "4 ef 2048 1"}))
      << file.out;
}

}  // namespace
