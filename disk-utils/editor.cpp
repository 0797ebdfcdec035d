#include "disk-utils/editor.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>

#include "common/utf8.h"
#include "disk-utils/boot_sector.h"
#include "disk-utils/device_file.h"
#include "disk-utils/line_input.h"
#include "disk-utils/listing.h"
#include "disk-utils/number_text.h"

namespace parvel {
namespace {

struct Editor {
  const std::string& device;
  LineReader& in;
  tarvo::Output& out;
  tarvo::Output& err;
  BootSector image;
};

enum class After { next_command, end, end_with_failure };

constexpr std::string_view greeting =
    "Welcome to parvel (tarvo-linux).\n"
    "Changes will remain in memory only, until you decide to write them.\n"
    "\n";

// The help lists "l" although the editor has no such command; scripts and
// users match these lines as they stand.
constexpr std::string_view help_text =
    "  d   delete a partition\n"
    "  l   list known partition types\n"
    "  n   add a new partition\n"
    "  p   print the partition table\n"
    "  q   quit without saving changes\n"
    "  t   change a partition type\n"
    "  w   write table to disk and exit\n";

constexpr std::uint32_t default_start = 2048;
constexpr std::uint32_t default_size = 0;
constexpr std::uint64_t u64_max = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t u32_max = std::numeric_limits<std::uint32_t>::max();

// After a failed or short read the editor still runs, on a blank sector, so
// that a table can be made on a device that holds none.
BootSector read_start_image(const std::string& device, tarvo::Output& err) {
  SectorRead read = read_first_sector(device);
  if (read.error == 0 && read.size == sector_bytes) return read.sector;
  std::string reason =
      read.error != 0 ? os_error_text(read.error) : "device too small";
  err.write("parvel: cannot read " + device + ": " + reason + "\n");
  return BootSector();
}

// The slot named by the user, or nothing after the refusal is printed.
std::optional<int> ask_partition_number(Editor& editor) {
  std::string answer =
      read_line_trimmed(editor.in, editor.out, "Partition number (1-4): ");
  std::optional<std::uint64_t> number = parse_decimal(answer, u64_max);
  if (!number || *number < 1 || *number > slot_count) {
    editor.out.write("Invalid partition number.\n");
    return std::nullopt;
  }
  return static_cast<int>(*number);
}

std::uint32_t ask_sector_number(Editor& editor, std::string_view prompt,
                                std::uint32_t fallback) {
  std::string answer = read_line_trimmed(editor.in, editor.out, prompt);
  return static_cast<std::uint32_t>(
      parse_decimal(answer, u32_max).value_or(fallback));
}

// A table whose entries all have type 0 is empty; it keeps the signature
// it was read with. One with entries must carry the signature, or every
// reader of the disk, this tool's listing included, ignores it.
bool holds_entries(const BootSector& sector) {
  for (int slot = 1; slot <= slot_count; ++slot) {
    if (sector.entry(slot).part_type() != 0) return true;
  }
  return false;
}

After show_help(Editor& editor) {
  editor.out.write(help_text);
  return After::next_command;
}

// Lists the device as stored, not the image: the user sees what a write
// would replace.
After print_table(Editor& editor) {
  list_device(editor.device, editor.out);
  return After::next_command;
}

After add_partition(Editor& editor) {
  std::optional<int> slot = ask_partition_number(editor);
  if (!slot) return After::next_command;
  if (editor.image.entry(*slot).part_type() != 0) {
    editor.out.write("Partition " + std::to_string(*slot) +
                     " already exists.\n");
    return After::next_command;
  }
  std::uint32_t start =
      ask_sector_number(editor, "Start sector: ", default_start);
  std::uint32_t size =
      ask_sector_number(editor, "Size in sectors: ", default_size);
  std::uint8_t type = parse_hex_byte(read_line_trimmed(
      editor.in, editor.out, "Partition type (hex, default 83): "));
  editor.image.create_entry(*slot, type, start, size);
  editor.out.write("Partition created.\n");
  return After::next_command;
}

After delete_partition(Editor& editor) {
  std::optional<int> slot = ask_partition_number(editor);
  if (!slot) return After::next_command;
  editor.image.clear_entry(*slot);
  editor.out.write("Partition deleted.\n");
  return After::next_command;
}

After change_type(Editor& editor) {
  std::optional<int> slot = ask_partition_number(editor);
  if (!slot) return After::next_command;
  std::uint8_t type = parse_hex_byte(
      read_line_trimmed(editor.in, editor.out, "Hex code (default 83): "));
  editor.image.set_part_type(*slot, type);
  char reply[64];
  std::snprintf(reply, sizeof reply, "Changed type of partition %d to %02x.\n",
                *slot, type);
  editor.out.write(reply);
  return After::next_command;
}

// A script that pipes commands in must be able to tell from the status
// that its table was not stored.
After write_table(Editor& editor) {
  if (holds_entries(editor.image)) editor.image.set_signature();
  if (std::optional<std::string> error =
          write_first_sector(editor.device, editor.image)) {
    editor.err.write("parvel: write failed: " + *error + "\n");
    return After::end_with_failure;
  }
  editor.out.write("The partition table has been altered.\n");
  return After::end;
}

After quit(Editor&) {
  return After::end;
}

struct Command {
  char letter;
  After (*run)(Editor&);
};

constexpr Command commands[] = {
    {'m', show_help},     {'p', print_table},
    {'n', add_partition}, {'d', delete_partition},
    {'t', change_type},   {'w', write_table},
    {'q', quit},
};

// The trimmed command line, or nothing when the editor must end: at the
// end of input, after a failed read, or on a line that is not UTF-8.
std::optional<std::string> read_command(Editor& editor) {
  editor.out.write("Command (m for help): ");
  editor.out.flush();
  std::string line;
  if (editor.in.read_line(line) != LineRead::ok ||
      !tarvo::is_valid_utf8(line)) {
    return std::nullopt;
  }
  return std::string(tarvo::trim_white_space(line));
}

After run_command(Editor& editor, const std::string& command) {
  if (command.size() == 1) {
    for (const Command& candidate : commands) {
      if (candidate.letter == command[0]) return candidate.run(editor);
    }
  }
  editor.out.write("Unknown command: " + command + "\n");
  return After::next_command;
}

}  // namespace

int run_editor(const std::string& device, LineReader& in, tarvo::Output& out,
               tarvo::Output& err) {
  out.write(greeting);
  Editor editor{device, in, out, err, read_start_image(device, err)};
  for (;;) {
    std::optional<std::string> command = read_command(editor);
    if (!command) return 0;
    After after = run_command(editor, *command);
    if (after == After::end) return 0;
    if (after == After::end_with_failure) return 1;
  }
}

int run_editor(const std::string& device, tarvo::Output& out) {
  LineReader in(STDIN_FILENO);
  tarvo::Output err(STDERR_FILENO);
  return run_editor(device, in, out, err);
}

}  // namespace parvel
