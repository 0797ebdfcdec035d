// A second opinion on the listing from a reader nobody here wrote: file(1)
// describes each partition entry of an image, and every row that
// oxaparvel prints must agree with it on slot, start, sector count, type
// and active flag.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>

#include "tests/support/disk_image.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

using test_support::ProgramResult;

struct Row {
  std::uint64_t start = 0;
  std::uint64_t count = 0;
  std::uint64_t end = 0;  // only oxaparvel prints it
  unsigned part_type = 0;
  bool active = false;
};

// file prints one "partition N : ID=0x83, active, start-CHS (...),
// end-CHS (...), startsector 2048, 1048576 sectors" part per entry. Its
// "active" stands alone for 0x80 and carries the value for other high
// flags ("active 0x81"), which the listing shows as not bootable.
std::map<int, Row> rows_from_file(const std::string& description) {
  static const std::regex entry(
      "partition ([1-4]) : ID=0x([0-9a-f]+), (active(?: 0x[0-9a-f]+)?, )?"
      "start-CHS \\([^)]*\\), end-CHS \\([^)]*\\), "
      "startsector ([0-9]+), ([0-9]+) sectors");
  std::map<int, Row> rows;
  for (std::sregex_iterator match(description.begin(), description.end(),
                                  entry);
       match != std::sregex_iterator(); ++match) {
    Row row;
    row.part_type = static_cast<unsigned>(std::stoul((*match)[2], nullptr, 16));
    row.active = (*match)[3] == "active, ";
    row.start = std::stoull((*match)[4]);
    row.count = std::stoull((*match)[5]);
    rows[std::stoi((*match)[1])] = row;
  }
  return rows;
}

// Rows are the path, the slot number in a field of 8, a blank, the boot
// mark in a field of 6, then Start, End, Sectors, Size and Id.
std::map<int, Row> rows_from_listing(const std::string& listing,
                                     const std::string& path) {
  std::map<int, Row> rows;
  std::istringstream lines(listing);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.compare(0, path.size(), path) != 0 ||
        line.size() < path.size() + 16) {
      continue;
    }
    Row row;
    row.active = line[path.size() + 9] == '*';
    std::istringstream fields(line.substr(path.size() + 16));
    std::string size;
    fields >> row.start >> row.end >> row.count >> size >> std::hex >>
        row.part_type;
    rows[line[path.size()] - '0'] = row;
  }
  return rows;
}

// Mostly values anywhere in 32 bits, with the edges and small values that
// a careless reader gets wrong.
std::uint32_t pick_sector(std::mt19937& random) {
  switch (random() % 6) {
    case 0:
      return 0;
    case 1:
      return 0xffffffff;
    case 2:
      return random() % 4096;
    default:
      return static_cast<std::uint32_t>(random());
  }
}

TEST(ListingSecondOpinion, RowsAgreeWithFileOnGeneratedTables) {
  if (test_support::run_program({"file", "--version"}).status == 127) {
    GTEST_SKIP() << "file(1) is not installed";
  }
  // file leaves flags 0x01-0x7f out of its reading altogether.
  const std::uint8_t flags[] = {0x00, 0x80, 0x81, 0xff};
  std::mt19937 random(20240611);
  test_support::TempDir dir;
  std::string path = dir.file("generated.img");

  for (int table = 0; table < 16; ++table) {
    test_support::DiskImage image;
    image.set_identifier(static_cast<std::uint32_t>(random())).set_signature();
    std::size_t used = 0;
    for (int slot = 1; slot <= 4; ++slot) {
      bool empty = random() % 4 == 0;
      if (!empty) ++used;
      image.set_slot(slot,
                     {empty ? std::uint8_t{0} : flags[random() % 4],
                      empty ? std::uint8_t{0}
                            : static_cast<std::uint8_t>(1 + random() % 255),
                      pick_sector(random), pick_sector(random)});
      // The CHS bytes mean nothing to the listing.
      std::size_t base = 446 + 16 * static_cast<std::size_t>(slot - 1);
      for (std::size_t i : {1, 2, 3, 5, 6, 7}) {
        image.set_byte(base + i, static_cast<std::uint8_t>(random()));
      }
    }
    test_support::write_file(path, image.bytes());
    // file names the entries only of an image longer than its first sector.
    std::filesystem::resize_file(path, 65536);

    ProgramResult described = test_support::run_program({"file", "-b", path});
    ProgramResult listed =
        test_support::run_program({OXAPARVEL_PATH, "--list", path});
    SCOPED_TRACE("table " + std::to_string(table) + "\nfile: " + described.out +
                 "listing:\n" + listed.out);
    ASSERT_EQ(described.status, 0);
    ASSERT_EQ(listed.status, 0);

    std::map<int, Row> expected = rows_from_file(described.out);
    ASSERT_EQ(expected.size(), used) << "file did not describe every entry";
    std::map<int, Row> rows = rows_from_listing(listed.out, path);
    ASSERT_EQ(rows.size(), expected.size());
    for (const auto& [slot, want] : expected) {
      ASSERT_EQ(rows.count(slot), 1u) << "slot " << slot;
      const Row& row = rows[slot];
      EXPECT_EQ(row.start, want.start) << "slot " << slot;
      EXPECT_EQ(row.count, want.count) << "slot " << slot;
      EXPECT_EQ(row.end, want.start + want.count - 1) << "slot " << slot;
      EXPECT_EQ(row.part_type, want.part_type) << "slot " << slot;
      EXPECT_EQ(row.active, want.active) << "slot " << slot;
    }
  }
}

}  // namespace
