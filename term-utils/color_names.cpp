#include "term-utils/color_names.h"

#include <string>

namespace vistrel {
namespace {

struct ColorName {
  std::string_view name;
  int index;
};

// 8 is no colour: the terminal reads 38 and 48 as the start of an extended
// colour, so "default" is 9.
constexpr ColorName color_table[] = {
    {"black", 0},   {"red", 1},  {"green", 2}, {"yellow", 3},  {"blue", 4},
    {"magenta", 5}, {"cyan", 6}, {"white", 7}, {"default", 9},
};

constexpr std::string_view kelvin_sign = "\xE2\x84\xAA";  // U+212A

// Names match after the Unicode default full lowercase mapping. Folding
// ASCII letters and turning U+212A KELVIN SIGN into "k" gives exactly the
// same result against this table: the Kelvin sign is the only non-ASCII
// character whose full lowercase form is all ASCII; every other one lowers
// to text that keeps a non-ASCII character (U+0130 becomes "i" plus U+0307
// COMBINING DOT ABOVE), so it can never equal an ASCII name either way.
std::string lower_case(std::string_view text) {
  std::string lower;
  lower.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (text.substr(i, kelvin_sign.size()) == kelvin_sign) {
      lower += 'k';
      i += kelvin_sign.size() - 1;
    } else if (c >= 'A' && c <= 'Z') {
      lower += static_cast<char>(c - 'A' + 'a');
    } else {
      lower += c;
    }
  }
  return lower;
}

}  // namespace

int color_code(std::string_view name) {
  std::string lower = lower_case(name);
  for (const ColorName& color : color_table) {
    if (lower == color.name) return color.index;
  }
  return -1;
}

}  // namespace vistrel
