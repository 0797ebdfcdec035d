// Nothing lost: over thousands of random images and command scripts, a
// write carries every byte that no command named back exactly as read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "disk-utils/editor.h"
#include "tests/support/memory_file.h"

namespace {

using test_support::MemoryFile;

constexpr std::size_t sector = 512;
constexpr std::size_t entries = 446;
constexpr std::size_t signature = 510;

struct Script {
  std::string input;
  // Only answers to the partition-number question can name a slot, and
  // only the slots listed here appear in any line that parses as 1 to 4,
  // whichever question a line ends up answering.
  bool may_touch[5] = {};
};

class Maker {
 public:
  explicit Maker(std::uint64_t seed) : rng_(seed) {}

  std::string image() {
    std::size_t size = pick(8) == 0 ? pick(sector) : sector + pick(1537);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
      byte = static_cast<char>(pick(256));
    for (std::size_t slot = 0; slot < 4 && size >= sector; ++slot) {
      if (pick(2) == 0) bytes[entries + 16 * slot + 4] = 0;
    }
    if (size >= sector && pick(2) == 0) bytes.replace(signature, 2, "\x55\xAA");
    return bytes;
  }

  Script script() {
    Script script;
    int named[2] = {1 + pick(4), 1 + pick(4)};
    for (int slot : named)
      script.may_touch[slot] = true;
    for (int steps = pick(12); steps > 0; --steps) {
      switch (pick(8)) {
        case 0:
          line(script, any({"m", "p", "x", "", "ww", "l", " q "}));
          break;
        case 1:
          line(script, garbage());
          break;
        case 2:
          line(script, "d");
          slot(script, named);
          break;
        case 3:
          line(script, "t");
          slot(script, named);
          line(script, type());
          break;
        default:
          line(script, "n");
          slot(script, named);
          line(script, sector_number());
          line(script, sector_number());
          line(script, type());
      }
    }
    const char* endings[] = {"w\n", "w\n", "w\n", " w\r\n", "w", "q\n", ""};
    script.input += endings[pick(7)];
    return script;
  }

 private:
  int pick(std::size_t n) {
    return std::uniform_int_distribution<int>(0, static_cast<int>(n) - 1)(rng_);
  }
  template <std::size_t n>
  const char* any(const char* const (&words)[n]) {
    return words[pick(n)];
  }

  void line(Script& script, const std::string& text) {
    script.input += text + (pick(6) == 0 ? "\r\n" : "\n");
  }
  void slot(Script& script, const int (&named)[2]) {
    const char* forms[] = {"%d", "+%d", "00%d", " %d\t", "0", "5", "", "-%d"};
    char answer[16];
    std::snprintf(answer, sizeof answer, any(forms), named[pick(2)]);
    line(script, answer);
  }
  std::string sector_number() {
    return any({"", "2048", "-5", "4294967295", "4294967296", "100000", "+77"});
  }
  std::string type() {
    return any({"", "83", "7", "0", "ef", "zz", "0x83", "+c", "C"});
  }
  // No digits, so a garbage line never names a slot.
  std::string garbage() {
    const char* pieces[] = {"a",        " ",    "\r", "\xff",
                            "\xc2\xa0", "\xc3", "n",  "w"};
    std::string text;
    for (int length = pick(4); length > 0; --length)
      text += any(pieces);
    return text;
  }

  std::mt19937_64 rng_;
};

// What the device must hold after a run, or why it does not.
std::string check(const std::string& before, const std::string& after,
                  bool written, const Script& script) {
  if (!written) return after == before ? "" : "changed without a write";
  if (after.size() != std::max(before.size(), sector)) return "size";
  if (after.substr(sector) != before.substr(std::min(before.size(), sector))) {
    return "bytes past sector 0";
  }
  // A short device was read as a blank sector.
  std::string read = before.size() < sector ? std::string(sector, '\0')
                                            : before.substr(0, sector);
  bool any_type = false;
  for (std::size_t slot = 1; slot <= 4; ++slot) {
    std::size_t at = entries + 16 * (slot - 1);
    any_type = any_type || after[at + 4] != 0;
    if (!script.may_touch[slot]) continue;
    // CHS bytes are never set; only d zeroes them with the whole entry.
    std::string chs = after.substr(at + 1, 3) + after.substr(at + 5, 3);
    if (chs != read.substr(at + 1, 3) + read.substr(at + 5, 3) &&
        chs != std::string(6, '\0')) {
      return "CHS of slot " + std::to_string(slot);
    }
  }
  for (std::size_t i = 0; i < signature; ++i) {
    std::size_t slot = i < entries ? 0 : (i - entries) / 16 + 1;
    if (!script.may_touch[slot] && after[i] != read[i]) {
      return "byte " + std::to_string(i);
    }
  }
  std::string mark = after.substr(signature, 2);
  if (any_type ? mark != "\x55\xAA" : mark != read.substr(signature, 2)) {
    return "signature";
  }
  return "";
}

TEST(EditorProperty, WriteKeepsEveryByteNoCommandNamed) {
  Maker maker(0x7a52'0b1c'9e44'd301);
  MemoryFile errors("");
  tarvo::Output err(errors.fd());
  int writes = 0;
  for (int run = 0; run < 3000; ++run) {
    std::string before = maker.image();
    Script script = maker.script();
    MemoryFile image(before);
    MemoryFile input(script.input);
    parvel::LineReader in(input.fd());
    MemoryFile replies("");
    tarvo::Output out(replies.fd());
    int status = parvel::run_editor(image.path(), in, out, err);
    out.flush();
    bool written =
        replies.bytes().ends_with("The partition table has been altered.\n");
    writes += written;

    ASSERT_EQ(status, 0) << "run " << run;
    std::string problem = check(before, image.bytes(), written, script);
    ASSERT_EQ(problem, "") << "run " << run << ", script:\n" << script.input;
  }
  // The scripts must reach w often enough for the property to mean much.
  EXPECT_GT(writes, 1000);
}

}  // namespace
