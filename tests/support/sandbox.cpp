#include "tests/support/sandbox.h"

#include <unistd.h>

#include <filesystem>

namespace test_support {
namespace {

// Runs argv after script has mounted what it needs in a private mount
// namespace; script sees its two arguments as $1 and $2. Only the mounts
// are private: the program itself runs from the build tree.
ProgramRun in_private_mounts(const std::string& script,
                             const std::vector<std::string>& script_args,
                             const std::vector<std::string>& argv) {
  ProgramRun run;
  run.argv = {"unshare",
              "-m",
              "--propagation",
              "private",
              "sh",
              "-c",
              script + " && shift 2 && exec \"$@\"",
              "sandbox"};
  run.argv.insert(run.argv.end(), script_args.begin(), script_args.end());
  run.argv.insert(run.argv.end(), argv.begin(), argv.end());
  return run;
}

}  // namespace

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
  return in_private_mounts(
      "mount --bind \"$1\" /sys/block && mount --bind \"$2\" /dev",
      {sys_block_, dev_}, argv);
}

ProgramResult Sandbox::run_without_sys_block(
    const std::vector<std::string>& argv, bool block_is_file) const {
  return run_program(in_private_mounts(
      "mount --bind \"$2\" /dev && mount -t tmpfs none /sys && "
      "{ [ \"$1\" = no ] || : > /sys/block; }",
      {block_is_file ? "yes" : "no", dev_}, argv));
}

}  // namespace test_support
