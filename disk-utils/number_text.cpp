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

}  // namespace parvel
