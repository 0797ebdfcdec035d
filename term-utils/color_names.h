// The colour names the terminal-attribute tool knows, and their indices in
// the select-graphic-rendition colour parameters (30 + index, 40 + index).
#pragma once

#include <string_view>

namespace vistrel {

// The index of the colour that name names in any letter case: 0 to 7, or 9
// for "default". -1 for every other text, the empty one included.
int color_code(std::string_view name);

}  // namespace vistrel
