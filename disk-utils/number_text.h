// The strict number rules for texts the partition tool reads: sysfs sizes
// and the answers typed into the editor.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace parvel {

// An optional single "+", then one or more ASCII digits and nothing else,
// with a value of at most max. Leading zeros are allowed.
std::optional<std::uint64_t> parse_decimal(std::string_view text,
                                           std::uint64_t max);

}  // namespace parvel
