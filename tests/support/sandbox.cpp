#include "tests/support/sandbox.h"

#include <unistd.h>

#include <filesystem>

namespace test_support {

bool Sandbox::available() {
  if (::geteuid() != 0) return false;
  ProgramResult probe =
      run_program({"unshare", "-m", "--propagation", "private", "sh", "-c",
                   "mount -t tmpfs none /mnt 2>/dev/null || exit 1"});
  return probe.status == 0;
}

Sandbox::Sandbox()
    : sys_block_(root_.file("sys-block")), dev_(root_.file("dev")) {
  std::filesystem::create_directory(sys_block_);
  std::filesystem::create_directory(dev_);
}

void Sandbox::add_sysfs_size(const std::string& name,
                             const std::string& text) const {
  std::filesystem::create_directories(sys_block_ + "/" + name);
  write_file(sys_block_ + "/" + name + "/size", text);
}

ProgramResult Sandbox::run(const std::vector<std::string>& argv,
                           const std::string& input) const {
  ProgramRun run = program_run(argv);
  run.input = input;
  return run_program(run);
}

ProgramRun Sandbox::program_run(const std::vector<std::string>& argv) const {
  // Only the mounts are private; the program itself runs from the build tree.
  ProgramRun run;
  run.argv = {"unshare",
              "-m",
              "--propagation",
              "private",
              "sh",
              "-c",
              "mount --bind \"$1\" /sys/block && mount --bind \"$2\" /dev && "
              "shift 2 && exec \"$@\"",
              "sandbox",
              sys_block_,
              dev_};
  run.argv.insert(run.argv.end(), argv.begin(), argv.end());
  return run;
}

ProgramResult Sandbox::run_without_sys_block(
    const std::vector<std::string>& argv, bool block_is_file) const {
  ProgramRun run;
  run.argv = {"unshare",
              "-m",
              "--propagation",
              "private",
              "sh",
              "-c",
              "mount --bind \"$2\" /dev && mount -t tmpfs none /sys && "
              "{ [ \"$1\" = no ] || : > /sys/block; } && "
              "shift 2 && exec \"$@\"",
              "sandbox",
              block_is_file ? "yes" : "no",
              dev_};
  run.argv.insert(run.argv.end(), argv.begin(), argv.end());
  return run_program(run);
}

}  // namespace test_support
