#include "common/format_size.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct SizeCase {
  std::uint64_t bytes;
  const char* text;
};

TEST(FormatSize, MatchesEveryRowOfTheTable) {
  const SizeCase cases[] = {
      {0, "0B"},
      {512, "512B"},
      {1023, "1023B"},
      {1024, "1K"},
      {1025, "1.0K"},
      {1280, "1.2K"},  // exactly 1.25: ties go to the even digit
      {1536, "1.5K"},
      {1792, "1.8K"},  // exactly 1.75
      {2047, "2.0K"},
      {2048, "2K"},
      {1048524, "1023.9K"},
      {1048525, "1024.0K"},  // rounding never moves on to the next unit
      {1048575, "1024.0K"},
      {1048576, "1M"},
      {10737418240, "10G"},
      {500107862016, "465.8G"},
      {1000204886016, "931.5G"},
      {2199023255040, "2.0T"},
      {1125899906842624, "1P"},
      {1152921504606846911u, "1024.0P"},  // 2^60 - 65 converts below 2^60
      {1152921504606846912u, "1.0E"},     // 2^60 - 64 rounds up to 2^60
      {1152921504606846976u, "1.0E"},
      {1729382256910270464u, "1.5E"},
      {18446744073709551615u, "16.0E"},
  };
  for (const SizeCase& c : cases) {
    EXPECT_EQ(tarvo::format_size(c.bytes), c.text) << c.bytes;
  }
}

TEST(FormatSize, BreaksTiesToEvenInEveryUnit) {
  EXPECT_EQ(tarvo::format_size(1280ull << 10), "1.2M");
  EXPECT_EQ(tarvo::format_size(2560ull << 20), "2.5G");
  EXPECT_EQ(tarvo::format_size(2304ull << 30), "2.2T");  // 2.25
  EXPECT_EQ(tarvo::format_size(2816ull << 40), "2.8P");  // 2.75
}

}  // namespace
