#include "common/format_size.h"

#include <charconv>
#include <cmath>

namespace tarvo {
namespace {

constexpr char unit_letters[] = {'B', 'K', 'M', 'G', 'T', 'P'};
constexpr std::size_t last_unit = 5;
// 2^-10: multiplying by it is exact, unlike a general division.
constexpr double one_step = 0.0009765625;

std::string with_one_decimal(double value, char unit) {
  char digits[32];
  // to_chars works on the exact binary value and breaks ties to even,
  // which is what the listing promises (1.25 -> "1.2", 1.75 -> "1.8").
  std::to_chars_result end = std::to_chars(digits, digits + sizeof digits,
                                           value, std::chars_format::fixed, 1);
  return std::string(digits, end.ptr) + unit;
}

}  // namespace

std::string format_size(std::uint64_t bytes) {
  if (bytes < 1024) {
    return std::to_string(bytes) + unit_letters[0];
  }
  double value = static_cast<double>(bytes) * one_step;
  std::size_t unit = 1;
  while (value >= 1024.0 && unit < last_unit) {
    value *= one_step;
    ++unit;
  }
  if (value >= 1024.0) {
    return with_one_decimal(value * one_step, 'E');
  }
  if (value == std::trunc(value)) {
    return std::to_string(static_cast<std::uint64_t>(value)) +
           unit_letters[unit];
  }
  return with_one_decimal(value, unit_letters[unit]);
}

}  // namespace tarvo
