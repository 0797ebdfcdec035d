// The partition listing: one device's size and DOS table, or every disk the
// kernel names under /sys/block.
#pragma once

#include <cstdint>
#include <string>

#include "common/output.h"
#include "disk-utils/device_file.h"

namespace parvel {

// The listing text: the Disk line, then, when a whole sector carrying the
// 0x55 0xAA signature was read, the label type, identifier and one row per
// non-empty slot.
std::string format_listing(const std::string& path, std::uint64_t sector_count,
                           const SectorRead& read);

// Prints the listing of path on out, or "parvel: cannot open ..." on
// stderr. Returns whether the device could be read.
bool list_device(const std::string& path, tarvo::Output& out);

// List mode for one device: the exit status, 1 when the device could not
// be read or its listing could not be delivered.
int list_one_device(const std::string& path, tarvo::Output& out);

// List mode for every disk: lists /dev/<name> for each entry of /sys/block
// whose node exists, in directory order, each listing followed by an empty
// line. Stops with status 1 at the first listing that was not delivered.
int list_all_devices(tarvo::Output& out);

}  // namespace parvel
