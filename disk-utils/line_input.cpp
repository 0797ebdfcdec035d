#include "disk-utils/line_input.h"

#include "common/utf8.h"

namespace parvel {

std::string read_line_trimmed(LineReader& in, tarvo::Output& out,
                              std::string_view prompt) {
  out.write(prompt);
  // A prompt that cannot be shown still gets its answer read.
  out.flush();
  std::string line;
  // A failed read keeps what it took before failing; it is still an answer.
  in.read_line(line);
  if (!tarvo::is_valid_utf8(line)) return std::string();
  return std::string(tarvo::trim_white_space(line));
}

}  // namespace parvel
