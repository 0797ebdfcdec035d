// Turns the terminal-attribute options into control sequences.
#pragma once

#include "common/output.h"
#include "term-utils/args.h"

namespace vistrel {

// Writes the sequences for args to out, in a fixed order whatever the
// order on the command line: only the full reset when args.reset, else
// cursor, foreground, background, bold, blank. An invalid cursor value is
// reported on stderr and the rest still runs. Nothing is flushed: the
// sequences hold no newline, so out sends them in one piece when it ends,
// after any message on the unbuffered stderr.
void write_control_sequences(const Args& args, tarvo::Output& out);

}  // namespace vistrel
