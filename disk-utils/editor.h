// The interactive editor of the four primary partition entries: one image
// of sector 0 read at the start, changed by one-letter commands read line
// by line, and written back only on request.
#pragma once

#include <cstdio>
#include <string>

#include "disk-utils/line_reader.h"

namespace parvel {

// Runs the editor on device with its commands and answers from in, its
// prompts and replies on out and its error lines on err. Returns the exit
// status: 1 when the table could not be written, 0 otherwise.
int run_editor(const std::string& device, LineReader& in, std::FILE* out,
               std::FILE* err);

// The same over the process's standard streams.
int run_editor(const std::string& device);

}  // namespace parvel
