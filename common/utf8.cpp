#include "common/utf8.h"

namespace tarvo {
namespace {

struct LeadByte {
  std::size_t length;
  unsigned char second_min;
  unsigned char second_max;
  char32_t payload_mask;
};

// The second byte's range is what rules out overlong forms, surrogates and
// code points above U+10FFFF.
LeadByte lead_byte(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF) return {2, 0x80, 0xBF, 0x1F};
  if (byte == 0xE0) return {3, 0xA0, 0xBF, 0x0F};
  if (byte == 0xED) return {3, 0x80, 0x9F, 0x0F};
  if (byte >= 0xE1 && byte <= 0xEF) return {3, 0x80, 0xBF, 0x0F};
  if (byte == 0xF0) return {4, 0x90, 0xBF, 0x07};
  if (byte >= 0xF1 && byte <= 0xF3) return {4, 0x80, 0xBF, 0x07};
  if (byte == 0xF4) return {4, 0x80, 0x8F, 0x07};
  return {0, 0, 0, 0};
}

}  // namespace

Utf8Char decode_utf8(std::string_view text, std::size_t pos) {
  unsigned char first = static_cast<unsigned char>(text[pos]);
  if (first < 0x80) return {first, 1, true};
  LeadByte lead = lead_byte(first);
  if (lead.length == 0) return {0, 1, false};
  char32_t code_point = first & lead.payload_mask;
  for (std::size_t i = 1; i < lead.length; ++i) {
    if (pos + i >= text.size()) return {0, i, false};
    unsigned char byte = static_cast<unsigned char>(text[pos + i]);
    unsigned char min = i == 1 ? lead.second_min : 0x80;
    unsigned char max = i == 1 ? lead.second_max : 0xBF;
    if (byte < min || byte > max) return {0, i, false};
    code_point = (code_point << 6) | (byte & 0x3F);
  }
  return {code_point, lead.length, true};
}

bool is_valid_utf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    Utf8Char c = decode_utf8(text, pos);
    if (!c.valid) return false;
    pos += c.length;
  }
  return true;
}

std::string to_utf8_lossy(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    Utf8Char c = decode_utf8(text, pos);
    if (c.valid) {
      out.append(text.substr(pos, c.length));
    } else {
      out.append("\xEF\xBF\xBD");
    }
    pos += c.length;
  }
  return out;
}

bool is_white_space(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 ||
         c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::string_view trim_white_space(std::string_view text) {
  std::size_t begin = text.size();
  std::size_t end = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    Utf8Char c = decode_utf8(text, pos);
    if (!c.valid || !is_white_space(c.code_point)) {
      if (begin == text.size()) begin = pos;
      end = pos + c.length;
    }
    pos += c.length;
  }
  return begin < end ? text.substr(begin, end - begin) : std::string_view();
}

}  // namespace tarvo
