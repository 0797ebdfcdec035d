// Runs a program in a private mount namespace where /sys/block and /dev are
// directories the test built, so the walk over block devices and the sysfs
// sizes can be tested without touching the host.
#pragma once

#include <string>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace test_support {

class Sandbox {
 public:
  // True when this process may create mount namespaces (root, unshare).
  static bool available();

  // Empty directories that stand in for /sys/block and /dev.
  Sandbox();

  const std::string& sys_block() const { return sys_block_; }
  const std::string& dev() const { return dev_; }

  // Makes sys_block()/name/size hold text.
  void add_sysfs_size(const std::string& name, const std::string& text) const;

  // Runs argv with the two directories mounted over /sys/block and /dev.
  ProgramResult run(const std::vector<std::string>& argv,
                    const std::string& input = "") const;

  // The same run, for a caller that wants another stdout mode or working
  // directory before it starts it with run_program.
  ProgramRun program_run(const std::vector<std::string>& argv) const;

  // Runs argv with dev() over /dev but no directory at /sys/block: /sys is
  // an empty tmpfs, holding a regular file named block when block_is_file.
  ProgramResult run_without_sys_block(const std::vector<std::string>& argv,
                                      bool block_is_file) const;

 private:
  TempDir root_;
  std::string sys_block_;
  std::string dev_;
};

}  // namespace test_support
