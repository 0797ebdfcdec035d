// `oxaparvel --list IMAGE` run as a child process on image files, with its
// stdout, stderr and status compared byte for byte. No image here is named
// like a disk, so every Disk line reads "0 sectors, 0B" whatever the host's
// /sys/block holds; the sizes themselves are tested in the sandbox.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/disk_image.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

using test_support::DiskImage;
using test_support::ProgramResult;
using test_support::Slot;

const std::string header =
    "Device       Boot        Start        End    Sectors  Size Id\n";

ProgramResult list(const std::string& device) {
  return test_support::run_program({OXAPARVEL_PATH, "--list", device});
}

std::string unsized_disk_line(const std::string& path) {
  return "Disk " + path + ": 0 sectors, 0B\n";
}

TEST(ListingCli, PrintsTheExampleDiskByteForByte) {
  test_support::TempDir dir;
  // The temporary path is long: the number field stays 8 wide after it.
  std::string path = dir.file("example-disk-with-a-rather-long-file-name.img");
  test_support::write_file(path, test_support::example_disk().bytes());

  ProgramResult result = list(path);
  EXPECT_EQ(result.out,
            unsized_disk_line(path) + test_support::example_disk_table(path));
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);

  // Whatever follows sector 0 is never part of the listing.
  std::string longer = dir.file("longer.img");
  test_support::write_file(
      longer, test_support::example_disk().bytes() + std::string(1536, '\x55'));
  EXPECT_EQ(list(longer).out, unsized_disk_line(longer) +
                                  test_support::example_disk_table(longer));
}

TEST(ListingCli, PrintsOnlyTheDiskLineWithoutASignedWholeSector) {
  std::string table = test_support::example_disk().bytes();
  std::string unsigned_table = table;
  unsigned_table[510] = '\0';
  unsigned_table[511] = '\0';
  std::string swapped = table;
  swapped[510] = '\xAA';
  swapped[511] = '\x55';
  std::string half_signed = table;
  half_signed[511] = '\0';
  // The signature must sit at bytes 510-511 of a full sector.
  std::string short_signed = table.substr(1);
  std::string signed_late =
      unsigned_table + std::string(510, '\0') + "\x55\xAA";

  struct Case {
    const char* name;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"empty", ""},
      {"one byte", "\x55"},
      {"511 bytes ending 55 AA", short_signed},
      {"all zero", std::string(512, '\0')},
      {"table without signature", unsigned_table},
      {"signature bytes swapped", swapped},
      {"only 0x55", half_signed},
      {"signature in sector 1", signed_late},
  };
  test_support::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir.file("image");
    test_support::write_file(path, c.bytes);
    ProgramResult result = list(path);
    EXPECT_EQ(result.out, unsized_disk_line(path));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

TEST(ListingCli, RowsShowEachFieldOfTheirSlot) {
  struct Case {
    int slot;
    Slot contents;
    const char* row;  // after the path
  };
  const std::vector<Case> cases = {
      // Only 0x80 marks the bootable entry.
      {1,
       {0x80, 0x83, 2048, 204800},
       "1        *            2048     206847     204800  100M 83"},
      {2,
       {0x81, 0x83, 2048, 204800},
       "2                     2048     206847     204800  100M 83"},
      {3,
       {0x01, 0x83, 2048, 204800},
       "3                     2048     206847     204800  100M 83"},
      {4,
       {0xff, 0x83, 2048, 204800},
       "4                     2048     206847     204800  100M 83"},
      // Two lowercase hex digits, the leading zero kept.
      {1,
       {0x00, 0x0c, 63, 8001},
       "1                       63       8063       8001  3.9M 0c"},
      {2,
       {0x80, 0xff, 0, 1},
       "2        *               0          0          1  512B ff"},
      // A GPT disk's protective entry is listed like any other.
      {1,
       {0x00, 0xee, 1, 4294967295},
       "1                        1 4294967295 4294967295  2.0T ee"},
      // End is start + count - 1 in 64 bits: a zero count ends before it
      // starts, and the largest ends pass 2^32.
      {2,
       {0x00, 0x83, 2048, 0},
       "2                     2048       2047          0    0B 83"},
      {3,
       {0x00, 0x07, 0, 0},
       "3                        0 18446744073709551615          0    0B 07"},
      {4,
       {0x00, 0x83, 2048, 4294967295},
       "4                     2048 4294969342 4294967295  2.0T 83"},
      {1,
       {0x00, 0x01, 4294967295, 4294967295},
       "1               4294967295 8589934589 4294967295  2.0T 01"},
  };
  test_support::TempDir dir;
  std::string path = dir.file("disk.img");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    DiskImage image;
    image.set_slot(c.slot, c.contents).set_signature();
    test_support::write_file(path, image.bytes());
    ProgramResult result = list(path);
    EXPECT_EQ(result.out, unsized_disk_line(path) +
                              "Disklabel type: dos\n"
                              "Disk identifier: 0x00000000\n\n" +
                              header + path + c.row + "\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

TEST(ListingCli, EmptySlotsGetNoRowAndTheOthersKeepTheirNumbers) {
  DiskImage image;
  image.set_slot(1, {0x00, 0x83, 2048, 2048})
      .set_slot(4, {0x80, 0x82, 4096, 1024})
      .set_signature();
  // A type of 0 empties a slot whatever else it holds.
  image.set_slot(2, {0x80, 0x00, 8192, 8192});
  for (std::size_t i = 478; i < 494; ++i)
    image.set_byte(i, 0x11);
  image.set_byte(482, 0x00);

  test_support::TempDir dir;
  std::string path = dir.file("disk.img");
  test_support::write_file(path, image.bytes());
  ProgramResult result = list(path);
  EXPECT_EQ(result.out,
            unsized_disk_line(path) +
                "Disklabel type: dos\n"
                "Disk identifier: 0x00000000\n\n" +
                header + path +
                "1                     2048       4095       2048    1M 83\n" +
                path +
                "4        *            4096       5119       1024  512K 82\n");
  EXPECT_EQ(result.status, 0);
}

TEST(ListingCli, DiskIdentifierIsEightLowercaseHexDigits) {
  struct Case {
    std::uint32_t identifier;
    const char* line;
  };
  const std::vector<Case> cases = {
      {0x12345678, "Disk identifier: 0x12345678\n"},
      {0x00000000, "Disk identifier: 0x00000000\n"},
      {0x0000abcd, "Disk identifier: 0x0000abcd\n"},
      {0xfedcba98, "Disk identifier: 0xfedcba98\n"},
  };
  test_support::TempDir dir;
  std::string path = dir.file("disk.img");
  for (const Case& c : cases) {
    DiskImage image;
    image.set_identifier(c.identifier).set_signature();
    test_support::write_file(path, image.bytes());
    EXPECT_EQ(list(path).out, unsized_disk_line(path) +
                                  "Disklabel type: dos\n" + c.line + "\n" +
                                  header);
  }
  // Bytes 440-443 as stored, least significant first.
  DiskImage image;
  image.set_byte(440, 0x78).set_byte(441, 0x56).set_byte(442, 0x34);
  image.set_byte(443, 0x12).set_signature();
  test_support::write_file(path, image.bytes());
  EXPECT_NE(list(path).out.find("Disk identifier: 0x12345678\n"),
            std::string::npos);
}

// A script asking whether one named device can be listed must hear "no"
// when it cannot be read, so this single listing ends with status 1.
TEST(ListingCli, UnreadableDeviceGetsOneErrorLineAndStatusOne) {
  test_support::TempDir dir;
  std::string file = dir.file("disk.img");
  test_support::write_file(file, "");
  struct Case {
    std::string path;
    std::string err;
  };
  const std::vector<Case> cases = {
      {dir.file("missing.img"),
       "parvel: cannot open " + dir.file("missing.img") +
           ": No such file or directory (os error 2)\n"},
      {dir.path(), "parvel: cannot open " + dir.path() +
                       ": Is a directory (os error 21)\n"},
      {"", "parvel: cannot open : No such file or directory (os error 2)\n"},
      {file + "/x",
       "parvel: cannot open " + file + "/x: Not a directory (os error 20)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ProgramResult result = list(c.path);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.status, 1);
  }
}

// A script must not take a listing that never arrived for a listing; a
// reader that went away on purpose (`| head`) needs no message.
TEST(ListingCli, UndeliveredListingFailsWithOneErrorLine) {
  test_support::TempDir dir;
  std::string path = dir.file("disk.img");
  test_support::write_file(path, test_support::example_disk().bytes());
  const std::string cannot_write = "parvel: cannot write to standard output: ";
  struct Case {
    test_support::Stdout mode;
    std::string err;
  };
  const Case cases[] = {
      {test_support::Stdout::full,
       cannot_write + "No space left on device (os error 28)\n"},
      {test_support::Stdout::closed,
       cannot_write + "Bad file descriptor (os error 9)\n"},
      {test_support::Stdout::broken_pipe, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    test_support::ProgramRun run;
    run.argv = {OXAPARVEL_PATH, "--list", path};
    run.stdout_mode = c.mode;
    ProgramResult result = test_support::run_program(run);
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.status, 1);
  }
}

TEST(ListingCli, RelativePathsAreListedAsGiven) {
  test_support::TempDir dir;
  test_support::write_file(dir.file("disk.img"),
                           test_support::example_disk().bytes());
  std::filesystem::create_directory(dir.file("sub"));
  for (const std::string path : {"disk.img", "./disk.img", "sub/../disk.img"}) {
    test_support::ProgramRun run;
    run.argv = {OXAPARVEL_PATH, "--list", path};
    run.working_directory = dir.path();
    ProgramResult result = test_support::run_program(run);
    EXPECT_EQ(result.out,
              unsized_disk_line(path) + test_support::example_disk_table(path));
    EXPECT_EQ(result.status, 0);
  }
}

}  // namespace
