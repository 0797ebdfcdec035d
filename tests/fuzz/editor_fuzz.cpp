// Runs the editor's command loop with the fuzz input as its standard input,
// over an image that the input's first three bytes describe, and stops on
// any run that changes the image in a way no command sequence could.
//
// Input layout:
//   byte 0   image size: 512 * (byte % 8), or 2 * byte 1 when byte % 8 is 0
//   byte 1   seed of the image bytes
//   byte 2   bits 0-3: slots whose type is made 0 (so that n can take them);
//            bit 4: the image carries the 0x55 0xAA signature
//   rest     standard input
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "disk-utils/editor.h"
#include "tests/support/memory_file.h"

namespace {

constexpr std::size_t sector = 512;
constexpr std::size_t entries = 446;
constexpr std::size_t signature = 510;

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "editor_fuzz: %s\n", what);
  std::abort();
}

std::string make_image(std::uint8_t size_code, std::uint8_t seed,
                       std::uint8_t shape) {
  std::size_t size =
      size_code % 8 == 0 ? 2 * std::size_t{seed} : sector * (size_code % 8);
  std::string bytes(size, '\0');
  std::uint32_t state = 0x9e3779b9u * (seed + 1u);
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  if (size < sector) return bytes;
  for (std::size_t slot = 0; slot < 4; ++slot) {
    if (shape & (1u << slot)) bytes[entries + 16 * slot + 4] = 0;
  }
  if (shape & 0x10) bytes.replace(signature, 2, "\x55\xAA");
  return bytes;
}

// Without knowing which slots the input named, a write may change only the
// four entries (their CHS bytes only by zeroing) and the signature, which
// it sets exactly when some entry has a type.
void check_write(const std::string& before, const std::string& after) {
  require(after.size() == std::max(before.size(), sector), "size");
  require(after.compare(sector, std::string::npos, before,
                        std::min(before.size(), sector)) == 0,
          "bytes past sector 0");
  std::string read = before.size() < sector ? std::string(sector, '\0')
                                            : before.substr(0, sector);
  require(after.compare(0, entries, read, 0, entries) == 0, "boot code");
  bool any_type = false;
  for (std::size_t at = entries; at < signature; at += 16) {
    any_type = any_type || after[at + 4] != 0;
    std::string chs = after.substr(at + 1, 3) + after.substr(at + 5, 3);
    require(chs == read.substr(at + 1, 3) + read.substr(at + 5, 3) ||
                chs == std::string(6, '\0'),
            "CHS bytes");
  }
  std::string mark = after.substr(signature, 2);
  require(any_type ? mark == "\x55\xAA" : mark == read.substr(signature, 2),
          "signature");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static test_support::MemoryFile errors("");
  static tarvo::Output discard(errors.fd());
  std::uint8_t header[3] = {};
  for (std::size_t i = 0; i < 3 && i < size; ++i)
    header[i] = data[i];
  std::size_t skip = size < 3 ? size : 3;

  const std::string before = make_image(header[0], header[1], header[2]);
  test_support::MemoryFile image(before);
  test_support::MemoryFile input(
      std::string(reinterpret_cast<const char*>(data) + skip, size - skip));
  parvel::LineReader in(input.fd());
  test_support::MemoryFile reply_file("");
  tarvo::Output out(reply_file.fd());
  int status = parvel::run_editor(image.path(), in, out, discard);
  out.flush();
  std::string replies = reply_file.bytes();

  require(status == 0, "status");
  std::string after = image.bytes();
  if (after != before) {
    require(replies.ends_with("The partition table has been altered.\n"),
            "changed without a write");
    check_write(before, after);
  }
  return 0;
}
