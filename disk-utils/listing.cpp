#include "disk-utils/listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string_view>

#include "common/format_size.h"
#include "common/utf8.h"
#include "disk-utils/sysfs.h"

namespace parvel {
namespace {

std::string size_text(std::uint64_t sectors) {
  // Sysfs counts can exceed 2^55; the byte count wraps as the kernel's would.
  return tarvo::format_size(sectors << 9);
}

std::string header_line() {
  char line[80];
  std::snprintf(line, sizeof line, "%-12s %-6s %10s %10s %10s %5s Id\n",
                "Device", "Boot", "Start", "End", "Sectors", "Size");
  return line;
}

// Widths are minimums: a long value pushes the rest of its line right.
std::string entry_row(const std::string& path, int slot,
                      const PartitionEntry& entry) {
  // Widened first, so only a zero count wraps (to start - 1).
  std::uint64_t end =
      std::uint64_t{entry.start_lba()} + entry.sector_count() - 1;
  char fields[128];
  std::snprintf(fields, sizeof fields,
                "%-8d %-6s %10" PRIu32 " %10" PRIu64 " %10" PRIu32
                " %5s %02x\n",
                slot, entry.boot_flag() == 0x80 ? "*" : " ", entry.start_lba(),
                end, entry.sector_count(),
                size_text(entry.sector_count()).c_str(), entry.part_type());
  return path + fields;
}

// Whether everything written to out so far has arrived; when not, says so
// on stderr. A reader that went away on purpose (`| head`) needs no message.
bool delivered(tarvo::Output& out) {
  out.flush();
  if (out.error() == 0) return true;
  if (out.error() != EPIPE) {
    tarvo::write_error("parvel: cannot write to standard output: " +
                       os_error_text(out.error()) + "\n");
  }
  return false;
}

}  // namespace

std::string format_listing(const std::string& path, std::uint64_t sector_count,
                           const SectorRead& read) {
  std::string text = "Disk " + path + ": " + std::to_string(sector_count) +
                     " sectors, " + size_text(sector_count) + "\n";
  if (read.size < sector_bytes || !read.sector.has_signature()) return text;
  char identifier[64];
  std::snprintf(identifier, sizeof identifier,
                "Disklabel type: dos\nDisk identifier: 0x%08" PRIx32 "\n\n",
                read.sector.disk_identifier());
  text += identifier;
  text += header_line();
  for (int slot = 1; slot <= slot_count; ++slot) {
    PartitionEntry entry = read.sector.entry(slot);
    if (entry.part_type() != 0) text += entry_row(path, slot, entry);
  }
  return text;
}

bool list_device(const std::string& path, tarvo::Output& out) {
  SectorRead read = read_first_sector(path);
  if (read.error != 0) {
    tarvo::write_error("parvel: cannot open " + path + ": " +
                       os_error_text(read.error) + "\n");
    return false;
  }
  out.write(format_listing(path, sysfs_sector_count(path), read));
  return true;
}

int list_one_device(const std::string& path, tarvo::Output& out) {
  bool read = list_device(path, out);
  return delivered(out) && read ? 0 : 1;
}

int list_all_devices(tarvo::Output& out) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir("/sys/block"), ::closedir);
  if (dir == nullptr) return 0;
  // A read error ends the walk as quietly as the end of the directory does.
  while (const dirent* entry = ::readdir(dir.get())) {
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string path = "/dev/" + tarvo::to_utf8_lossy(name);
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) continue;
    list_device(path, out);
    out.write("\n");
    if (!delivered(out)) return 1;
  }
  return 0;
}

}  // namespace parvel
