// The command line of the partition tool.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace parvel {

struct Args {
  bool list = false;
  // Accepted for compatibility; sizes are always counted in 512-byte sectors.
  std::optional<std::uint32_t> sector_size;
  std::optional<std::string> device;
};

// The command definition, storing into args.
std::unique_ptr<CLI::App> command(Args& args);

// Fills args from argv. Returns the exit status when the run ends in the
// parser (0 after help, 2 after a refused command line).
std::optional<int> parse_args(int argc, const char* const* argv, Args& args);

}  // namespace parvel
