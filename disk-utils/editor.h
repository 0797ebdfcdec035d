// The interactive editor of the four primary partition entries: one image
// of sector 0 read at the start, changed by one-letter commands read line
// by line, and written back only on request.
#pragma once

#include <string>

#include "common/output.h"
#include "disk-utils/line_reader.h"

namespace parvel {

// Runs the editor on device with its commands and answers from in, its
// prompts and replies on out and its error lines on err (each one whole
// line, so it leaves at once). Returns the exit status: 1 when the table
// could not be written, 0 otherwise.
int run_editor(const std::string& device, LineReader& in, tarvo::Output& out,
               tarvo::Output& err);

// The same with the process's standard input and standard error.
int run_editor(const std::string& device, tarvo::Output& out);

}  // namespace parvel
