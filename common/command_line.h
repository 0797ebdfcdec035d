// The command-line rules both programs share, enforced in front of CLI11.
//
// CLI11 on its own accepts too much: it takes any word after a value option
// as the value, lets flags take "=value", reads "010" as octal and lets
// options repeat. parse_command_line vets every word left to right first,
// then hands CLI11 a normalised list that it can only read one way. Every
// refused command line ends with status 2, help with status 0, and the
// first problem or help request from the left decides which.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

namespace tarvo {

// Transform for unsigned 32-bit values: "[+-]?[0-9]+" read as a signed
// 64-bit number and kept only within 0..4294967295, then rewritten as plain
// decimal so that CLI11 never sees a leading zero or a sign.
CLI::Validator decimal_u32();

// The name for usage and help: the last component of argv[0] when there is
// one and it is UTF-8, otherwise the command's own name.
std::string program_name(const char* argv0, const std::string& command_name);

// Parses argv against app. Returns the exit status when the run ends here
// (0 after help on stdout, 2 after a refusal on stderr), or nothing when
// the program goes on with the values stored by app. Help and refusals
// are each written in one piece, through write_all.
std::optional<int> parse_command_line(CLI::App& app, int argc,
                                      const char* const* argv);

}  // namespace tarvo
