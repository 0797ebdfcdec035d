// List mode where /sys/block and /dev matter: disk sizes from sysfs and the
// walk over every block device, run in a private mount namespace whose
// /sys/block and /dev are directories the test fills.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/disk_image.h"
#include "tests/support/run_program.h"
#include "tests/support/sandbox.h"
#include "tests/support/temp_dir.h"

namespace {

using test_support::ProgramResult;
using test_support::Sandbox;

bool sandbox_available() {
  static const bool available = Sandbox::available();
  return available;
}

// The walk takes entries in the order the directory yields them, which on
// most file systems is not sorted; the test reads that order the same way.
std::vector<std::string> directory_order(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(path.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::string disk_line(const std::string& path, const std::string& size) {
  return "Disk " + path + ": " + size + "\n";
}

const std::string example_size = "1953525168 sectors, 931.5G";

class DeviceWalk : public testing::Test {
 protected:
  void SetUp() override {
    if (!sandbox_available()) {
      GTEST_SKIP() << "no private mount namespaces here (needs root)";
    }
  }

  std::string node(const std::string& name) const {
    return sandbox_.dev() + "/" + name;
  }
  void add_node(const std::string& name, const std::string& bytes) const {
    test_support::write_file(node(name), bytes);
  }

  // The expected walk: each entry's text, in directory order, with the
  // empty line after it; entries without text print nothing.
  std::string in_walk_order(
      const std::map<std::string, std::string>& listings) const {
    std::string text;
    for (const std::string& name : directory_order(sandbox_.sys_block())) {
      auto listing = listings.find(name);
      if (listing != listings.end()) text += listing->second + "\n";
    }
    return text;
  }

  Sandbox sandbox_;
};

TEST_F(DeviceWalk, ExampleDiskTakesItsSizeFromSysfs) {
  sandbox_.add_sysfs_size("sda", "1953525168\n");
  add_node("sda", test_support::example_disk().bytes());
  std::string listing = disk_line("/dev/sda", example_size) +
                        test_support::example_disk_table("/dev/sda");

  for (const std::vector<std::string>& argv :
       std::vector<std::vector<std::string>>{
           {OXAPARVEL_PATH, "--list", "/dev/sda"},
           {OXAPARVEL_PATH, "--list", "--sector-size", "4096", "/dev/sda"}}) {
    ProgramResult result = sandbox_.run(argv);
    EXPECT_EQ(result.out, listing);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }

  ProgramResult walk = sandbox_.run({OXAPARVEL_PATH, "--list"});
  EXPECT_EQ(walk.out, listing + "\n");
  EXPECT_EQ(walk.err, "");
  EXPECT_EQ(walk.status, 0);
}

TEST_F(DeviceWalk, ListsEveryEntryWithANodeInDirectoryOrder) {
  std::map<std::string, std::string> listings;
  std::string table = test_support::example_disk().bytes();

  sandbox_.add_sysfs_size("sda", "2048\n");
  add_node("sda", table);
  listings["sda"] = disk_line("/dev/sda", "2048 sectors, 1M") +
                    test_support::example_disk_table("/dev/sda");

  sandbox_.add_sysfs_size("sdb", "4096\n");  // no node: nothing at all

  sandbox_.add_sysfs_size("sdc", "8\n");
  add_node("sdc", "");
  listings["sdc"] = disk_line("/dev/sdc", "8 sectors, 4K");

  sandbox_.add_sysfs_size("loop0", "0\n");
  add_node("loop0", table.substr(0, 511));
  listings["loop0"] = disk_line("/dev/loop0", "0 sectors, 0B");

  sandbox_.add_sysfs_size("nvme0n1", "1953525168\n");
  add_node("nvme0n1", table);
  listings["nvme0n1"] = disk_line("/dev/nvme0n1", example_size) +
                        test_support::example_disk_table("/dev/nvme0n1");

  // An entry without a size file, and one that is not even a directory.
  std::filesystem::create_directory(sandbox_.sys_block() + "/dm-0");
  add_node("dm-0", "");
  listings["dm-0"] = disk_line("/dev/dm-0", "0 sectors, 0B");
  test_support::write_file(sandbox_.sys_block() + "/vdq", "");
  add_node("vdq", "");
  listings["vdq"] = disk_line("/dev/vdq", "0 sectors, 0B");

  // A link that leads to a node is listed under its own name; a dangling
  // one is skipped like a missing node.
  sandbox_.add_sysfs_size("sr0", "2\n");
  std::filesystem::create_symlink("sda", node("sr0"));
  listings["sr0"] = disk_line("/dev/sr0", "2 sectors, 1K") +
                    test_support::example_disk_table("/dev/sr0");
  sandbox_.add_sysfs_size("sdx", "2\n");
  std::filesystem::create_symlink("/nonexistent/sdx", node("sdx"));

  ProgramResult result = sandbox_.run({OXAPARVEL_PATH, "--list"});
  EXPECT_EQ(result.out, in_walk_order(listings));
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

TEST_F(DeviceWalk, NodeThatCannotBeReadIsReportedAndTheWalkGoesOn) {
  sandbox_.add_sysfs_size("sda", "2048\n");
  add_node("sda", test_support::example_disk().bytes());
  sandbox_.add_sysfs_size("sdb", "2048\n");
  std::filesystem::create_directory(node("sdb"));
  sandbox_.add_sysfs_size("sdc", "2048\n");
  add_node("sdc", "");

  const std::string cannot_open =
      "parvel: cannot open /dev/sdb: Is a directory (os error 21)\n";
  std::map<std::string, std::string> listings = {
      {"sda", disk_line("/dev/sda", "2048 sectors, 1M") +
                  test_support::example_disk_table("/dev/sda")},
      {"sdb", ""},
      {"sdc", disk_line("/dev/sdc", "2048 sectors, 1M")},
  };
  ProgramResult walk = sandbox_.run({OXAPARVEL_PATH, "--list"});
  EXPECT_EQ(walk.out, in_walk_order(listings));
  EXPECT_EQ(walk.err, cannot_open);
  EXPECT_EQ(walk.status, 0);

  // Through one shared pipe each line arrives where the walk wrote it: the
  // error line before the empty line that follows it.
  listings["sdb"] = cannot_open;
  test_support::ProgramRun merged =
      sandbox_.program_run({OXAPARVEL_PATH, "--list"});
  merged.stdout_mode = test_support::Stdout::merged;
  ProgramResult shared = test_support::run_program(merged);
  EXPECT_EQ(shared.out, in_walk_order(listings));
  EXPECT_EQ(shared.status, 0);

  // Named alone, the same node makes the run fail.
  ProgramResult single = sandbox_.run({OXAPARVEL_PATH, "--list", "/dev/sdb"});
  EXPECT_EQ(single.out, "");
  EXPECT_EQ(single.err, cannot_open);
  EXPECT_EQ(single.status, 1);
}

TEST_F(DeviceWalk, SysfsSizeIsTrimmedDecimalTextOrZero) {
  struct Case {
    std::string text;
    std::string size;
  };
  const std::vector<Case> cases = {
      {"1024\n", "1024 sectors, 512K"},
      {" 1024\n", "1024 sectors, 512K"},
      {"\t1024\r\n\n", "1024 sectors, 512K"},
      {"\u00a01024\u3000", "1024 sectors, 512K"},
      {"\u20281024\u2029\u0085", "1024 sectors, 512K"},
      {"+1024", "1024 sectors, 512K"},
      {"0001024", "1024 sectors, 512K"},
      {"1953525168\n", example_size},
      {"0\n", "0 sectors, 0B"},
      {"18446744073709551615\n", "18446744073709551615 sectors, 16.0E"},
      // The byte count keeps the low 64 bits of sectors * 512.
      {"36028797018963968\n", "36028797018963968 sectors, 0B"},
      {"36028797018963969\n", "36028797018963969 sectors, 512B"},
      // Everything else counts as 0.
      {"", "0 sectors, 0B"},
      {"\n", "0 sectors, 0B"},
      {"-1\n", "0 sectors, 0B"},
      {"0x400\n", "0 sectors, 0B"},
      {"1e3\n", "0 sectors, 0B"},
      {"++1024\n", "0 sectors, 0B"},
      {"10 24\n", "0 sectors, 0B"},
      {"1024 sectors\n", "0 sectors, 0B"},
      {"18446744073709551616\n", "0 sectors, 0B"},
      {"99999999999999999999999\n", "0 sectors, 0B"},
      {"\u200b1024\n", "0 sectors, 0B"},    // zero-width space is no blank
      {"\u0661\u0660\n", "0 sectors, 0B"},  // digits, but not ASCII ones
      {"1024\xff\n", "0 sectors, 0B"},
      // A lone byte 0xA0 is not U+00A0, and a blank spelt in two bytes (an
      // overlong form) is no UTF-8.
      {std::string("\xa0") + "1024\n", "0 sectors, 0B"},
      {std::string("\xc0\xa0") + "1024\n", "0 sectors, 0B"},
  };
  std::map<std::string, std::string> listings;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    std::string name = "d" + std::to_string(i);
    sandbox_.add_sysfs_size(name, cases[i].text);
    add_node(name, "");
    listings[name] = disk_line("/dev/" + name, cases[i].size);
  }
  ProgramResult result = sandbox_.run({OXAPARVEL_PATH, "--list"});
  EXPECT_EQ(result.out, in_walk_order(listings));
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

// The size comes from the last component of the path as given: an image
// named like a disk takes that disk's size, and a partition node or a link
// finds no size of its own.
TEST_F(DeviceWalk, SizeFollowsTheLastPathComponent) {
  sandbox_.add_sysfs_size("sda", "2048\n");
  std::string table = test_support::example_disk().bytes();
  add_node("sda", table);
  add_node("sda1", "");
  std::filesystem::create_directories(node("disk/by-id"));
  std::filesystem::create_symlink("../../sda", node("disk/by-id/wwn-0x5000"));
  test_support::TempDir images;
  test_support::write_file(images.file("sda"), table);

  struct Case {
    std::string path;
    std::string working_directory;
    std::string out;
  };
  const std::vector<Case> cases = {
      {images.file("sda"), "",
       disk_line(images.file("sda"), "2048 sectors, 1M") +
           test_support::example_disk_table(images.file("sda"))},
      {"sda", images.path(),
       disk_line("sda", "2048 sectors, 1M") +
           test_support::example_disk_table("sda")},
      {"/dev/sda1", "", disk_line("/dev/sda1", "0 sectors, 0B")},
      {"/dev/disk/by-id/wwn-0x5000", "",
       disk_line("/dev/disk/by-id/wwn-0x5000", "0 sectors, 0B") +
           test_support::example_disk_table("/dev/disk/by-id/wwn-0x5000")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    test_support::ProgramRun run =
        sandbox_.program_run({OXAPARVEL_PATH, "--list", c.path});
    run.working_directory = c.working_directory;
    ProgramResult result = test_support::run_program(run);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

TEST_F(DeviceWalk, NamesThatAreNotUtf8AreConvertedBeforeTheLookUp) {
  // The node is looked up under the converted name, never the raw one.
  std::filesystem::create_directory(sandbox_.sys_block() + "/sd\xff");
  add_node("sd\xef\xbf\xbd", "");
  std::filesystem::create_directory(sandbox_.sys_block() + "/vd\xfe");
  add_node("vd\xfe", "");

  ProgramResult result = sandbox_.run({OXAPARVEL_PATH, "--list"});
  EXPECT_EQ(result.out, "Disk /dev/sd\xef\xbf\xbd: 0 sectors, 0B\n\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

TEST_F(DeviceWalk, WithoutADirectoryToWalkNothingIsPrinted) {
  add_node("sda", test_support::example_disk().bytes());
  ProgramResult empty = sandbox_.run({OXAPARVEL_PATH, "--list"});
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(empty.err, "");
  EXPECT_EQ(empty.status, 0);

  for (bool block_is_file : {false, true}) {
    SCOPED_TRACE(block_is_file ? "/sys/block is a file" : "no /sys/block");
    ProgramResult walk = sandbox_.run_without_sys_block(
        {OXAPARVEL_PATH, "--list"}, block_is_file);
    EXPECT_EQ(walk.out, "");
    EXPECT_EQ(walk.err, "");
    EXPECT_EQ(walk.status, 0);

    // A named device is still listed, with no size to be found.
    ProgramResult single = sandbox_.run_without_sys_block(
        {OXAPARVEL_PATH, "--list", "/dev/sda"}, block_is_file);
    EXPECT_EQ(single.out, disk_line("/dev/sda", "0 sectors, 0B") +
                              test_support::example_disk_table("/dev/sda"));
    EXPECT_EQ(single.status, 0);
  }
}

// The first listing that does not arrive ends the walk: every node after
// it cannot be read, so a walk that went on would report each of them.
TEST_F(DeviceWalk, UndeliveredListingStopsTheWalk) {
  for (const char* name : {"sda", "sdb", "sdc"}) {
    sandbox_.add_sysfs_size(name, "2048\n");
  }
  std::vector<std::string> order = directory_order(sandbox_.sys_block());
  ASSERT_EQ(order.size(), 3u);
  add_node(order[0], test_support::example_disk().bytes());
  std::filesystem::create_directory(node(order[1]));
  std::filesystem::create_directory(node(order[2]));

  struct Case {
    test_support::Stdout mode;
    std::string err;
  };
  const Case cases[] = {
      {test_support::Stdout::full,
       "parvel: cannot write to standard output: "
       "No space left on device (os error 28)\n"},
      {test_support::Stdout::broken_pipe, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    test_support::ProgramRun run =
        sandbox_.program_run({OXAPARVEL_PATH, "--list"});
    run.stdout_mode = c.mode;
    ProgramResult walk = test_support::run_program(run);
    EXPECT_EQ(walk.err, c.err);
    EXPECT_EQ(walk.status, 1);
  }
}

// Far more than a pipe holds, written while nobody reads a pipe left
// non-blocking: the walk waits for its reader instead of dropping lines.
TEST_F(DeviceWalk, NonBlockingStdoutGetsEveryLineOfALongWalk) {
  const std::string image = sandbox_.dev() + "/.image";
  test_support::write_file(image, test_support::example_disk().bytes());
  std::map<std::string, std::string> listings;
  for (int i = 0; i < 3000; ++i) {
    std::string name = "vd" + std::to_string(i);
    std::filesystem::create_directory(sandbox_.sys_block() + "/" + name);
    std::filesystem::create_hard_link(image, node(name));
    listings[name] = disk_line("/dev/" + name, "0 sectors, 0B") +
                     test_support::example_disk_table("/dev/" + name);
  }
  std::string expected = in_walk_order(listings);
  ASSERT_GT(expected.size(), 400'000u);

  test_support::ProgramRun run =
      sandbox_.program_run({OXAPARVEL_PATH, "--list"});
  run.stdout_nonblocking = true;
  run.pause = std::chrono::milliseconds(1000);
  ProgramResult walk = test_support::run_program(run);
  EXPECT_TRUE(walk.out == expected)
      << walk.out.size() << " of " << expected.size() << " bytes";
  EXPECT_EQ(walk.err, "");
  EXPECT_EQ(walk.status, 0);
}

}  // namespace
