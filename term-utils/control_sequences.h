// Turns the terminal-attribute options into control sequences.
#pragma once

#include <cstdio>

#include "term-utils/args.h"

namespace vistrel {

// Writes the sequences for args to out, in a fixed order whatever the
// order on the command line: only the full reset when args.reset, else
// cursor, foreground, background, bold, blank. An invalid cursor value is
// reported on err and the rest still runs. Nothing is flushed: the
// sequences hold no newline, so a line-buffered out sends them in one
// piece at exit, after any message on an unbuffered err.
void write_control_sequences(const Args& args, std::FILE* out, std::FILE* err);

}  // namespace vistrel
