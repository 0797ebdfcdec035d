// Short size texts with a 1024-based unit letter, as the partition listing
// prints them ("512B", "1.5K", "465.8G").
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// Whole values carry no decimal ("1K"); others carry exactly one, rounded
// half-to-even on the exact binary value ("1.2K" for 1280). Counts of 2^60
// and above (after rounding to double) are written in "E" with one decimal.
std::string format_size(std::uint64_t bytes);

}  // namespace tarvo
