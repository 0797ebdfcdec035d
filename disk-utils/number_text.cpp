#include "disk-utils/number_text.h"

#include <charconv>

namespace parvel {

std::optional<std::uint64_t> parse_decimal(std::string_view text,
                                           std::uint64_t max) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty() ||
      text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  std::from_chars_result result =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || value > max) return std::nullopt;
  return value;
}

std::uint8_t parse_hex_byte(std::string_view text) {
  constexpr std::uint8_t default_type = 0x83;
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty() || text.find_first_not_of("0123456789abcdefABCDEF") !=
                          std::string_view::npos) {
    return default_type;
  }
  // Leading zeros are allowed in any number, so only the significant digits
  // are weighed against the one-byte limit.
  std::size_t first = text.find_first_not_of('0');
  if (first == std::string_view::npos) return 0;
  text.remove_prefix(first);
  if (text.size() > 2) return default_type;
  unsigned value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value, 16);
  return static_cast<std::uint8_t>(value);
}

}  // namespace parvel
