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

// The partition type the editor asks for: an optional single "+", then one
// or more hexadecimal digits worth at most 0xFF. Any other text, the empty
// one included, silently gives the default type 0x83.
std::uint8_t parse_hex_byte(std::string_view text);

}  // namespace parvel
