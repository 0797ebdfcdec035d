// Strict UTF-8: what arguments, input lines and sysfs texts must be, and the
// white-space trim that is applied to them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvo {

// One decoded character, or one maximal invalid subpart when !valid.
struct Utf8Char {
  char32_t code_point = 0;
  std::size_t length = 1;
  bool valid = false;
};

// Decodes the character that starts at text[pos] (pos < text.size()).
// Overlong forms, surrogates and values above U+10FFFF are invalid.
Utf8Char decode_utf8(std::string_view text, std::size_t pos);

bool is_valid_utf8(std::string_view text);

// Replaces each maximal invalid subpart with U+FFFD.
std::string to_utf8_lossy(std::string_view text);

// Characters with the Unicode White_Space property.
bool is_white_space(char32_t code_point);

// Removes leading and trailing White_Space characters, judged as whole
// characters, from valid UTF-8 text. White space inside stays.
std::string_view trim_white_space(std::string_view text);

}  // namespace tarvo
