#include "term-utils/control_sequences.h"

#include <cinttypes>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "term-utils/color_names.h"

namespace vistrel {
namespace {

// Apart, or "\x1bc" would read as one hex escape.
constexpr const char* full_reset = "\x1b" "c";

// An on/off option: the value, compared byte for byte, and what it writes.
struct Switch {
  std::string_view value;
  const char* sequence;
};

constexpr Switch cursor_switch[] = {
    {"on", "\x1b[?25h"},
    {"off", "\x1b[?25l"},
};

constexpr Switch bold_switch[] = {
    {"on", "\x1b[1m"},
    {"off", "\x1b[22m"},
};

// Returns false when value names neither position of the switch.
bool write_switch(std::span<const Switch> table, std::string_view value,
                  std::FILE* out) {
  for (const Switch& position : table) {
    if (value == position.value) {
      std::fputs(position.sequence, out);
      return true;
    }
  }
  return false;
}

// Colour names that are not in the table are passed over in silence.
void write_color(const std::optional<std::string>& name, int base,
                 std::FILE* out) {
  if (!name) return;
  int index = color_code(*name);
  if (index >= 0) std::fprintf(out, "\x1b[%dm", base + index);
}

}  // namespace

void write_control_sequences(const Args& args, std::FILE* out,
                             std::FILE* err) {
  if (args.reset) {
    std::fputs(full_reset, out);
    return;
  }
  if (args.cursor && !write_switch(cursor_switch, *args.cursor, out)) {
    // One write, so the message stays whole on an unbuffered stream.
    std::string message =
        "vistrel: invalid cursor value: " + *args.cursor + "\n";
    std::fwrite(message.data(), 1, message.size(), err);
  }
  write_color(args.foreground, 30, out);
  write_color(args.background, 40, out);
  if (args.bold) write_switch(bold_switch, *args.bold, out);
  if (args.blank) std::fprintf(out, "\x1b[9;%" PRIu32 "]", *args.blank);
}

}  // namespace vistrel
