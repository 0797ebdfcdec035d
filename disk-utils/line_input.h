// The editor's sub-questions: a prompt, and the answer typed on one line.
#pragma once

#include <string>
#include <string_view>

#include "common/output.h"
#include "disk-utils/line_reader.h"

namespace parvel {

// Writes prompt to out, flushes it so it shows before the read waits, and
// returns the next line without its surrounding white space. No answer (end
// of input, a failed read, a line that is not UTF-8) is the empty text,
// which every question takes as its default or refusal.
std::string read_line_trimmed(LineReader& in, tarvo::Output& out,
                              std::string_view prompt);

}  // namespace parvel
