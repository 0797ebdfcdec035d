#include "disk-utils/line_input.h"

#include "common/utf8.h"

namespace parvel {

std::string read_line_trimmed(LineReader& in, std::FILE* out,
                              std::string_view prompt) {
  std::fwrite(prompt.data(), 1, prompt.size(), out);
  // A prompt that cannot be shown still gets its answer read.
  std::fflush(out);
  std::string line;
  // A failed read keeps what it took before failing; it is still an answer.
  in.read_line(line);
  if (!tarvo::is_valid_utf8(line)) return std::string();
  return std::string(tarvo::trim_white_space(line));
}

}  // namespace parvel
