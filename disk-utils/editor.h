// The interactive editor of the four primary partition entries.
#pragma once

#include <string>

namespace parvel {

// Runs the editor on device; returns the process exit status.
int run_editor(const std::string& device);

}  // namespace parvel
