// The command line of the terminal-attribute tool.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vistrel {

// Field order is the option order of the definition and of the help.
struct Args {
  std::optional<std::string> cursor;
  std::optional<std::uint32_t> blank;
  std::optional<std::string> foreground;
  std::optional<std::string> background;
  bool reset = false;
  std::optional<std::string> bold;
  // Accepted so that existing command lines keep working; it has no effect.
  std::optional<std::string> powersave;
};

// The command definition, storing into args.
std::unique_ptr<CLI::App> command(Args& args);

// Fills args from argv. Returns the exit status when the run ends in the
// parser (0 after help, 2 after a refused command line).
std::optional<int> parse_args(int argc, const char* const* argv, Args& args);

}  // namespace vistrel
