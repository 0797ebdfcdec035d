// What the kernel says about block devices under /sys/block.
#pragma once

#include <cstdint>
#include <string>

namespace parvel {

// The size in 512-byte sectors from /sys/block/<last path component>/size,
// or 0 when that file is missing, unreadable or not a strict decimal.
std::uint64_t sysfs_sector_count(const std::string& device_path);

}  // namespace parvel
