#include "term-utils/control_sequences.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "term-utils/color_names.h"

namespace vistrel {
namespace {

// Apart, or "\x1bc" would read as one hex escape.
constexpr std::string_view full_reset =
    "\x1b"
    "c";

// An on/off option: the value, compared byte for byte, and what it writes.
struct Switch {
  std::string_view value;
  std::string_view sequence;
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
                  tarvo::Output& out) {
  for (const Switch& position : table) {
    if (value == position.value) {
      out.write(position.sequence);
      return true;
    }
  }
  return false;
}

// Colour names that are not in the table are passed over in silence.
void write_color(const std::optional<std::string>& name, int base,
                 tarvo::Output& out) {
  if (!name) return;
  int index = color_code(*name);
  if (index >= 0) out.write("\x1b[" + std::to_string(base + index) + "m");
}

}  // namespace

void write_control_sequences(const Args& args, tarvo::Output& out) {
  if (args.reset) {
    out.write(full_reset);
    return;
  }
  if (args.cursor && !write_switch(cursor_switch, *args.cursor, out)) {
    tarvo::write_error("vistrel: invalid cursor value: " + *args.cursor + "\n");
  }
  write_color(args.foreground, 30, out);
  write_color(args.background, 40, out);
  if (args.bold) write_switch(bold_switch, *args.bold, out);
  if (args.blank) out.write("\x1b[9;" + std::to_string(*args.blank) + "]");
}

}  // namespace vistrel
