// Sector-0 images for tests, laid out byte by byte here rather than with the
// program's own BootSector, so that an offset both got wrong cannot hide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace test_support {

struct Slot {
  std::uint8_t boot_flag = 0;
  std::uint8_t part_type = 0;
  std::uint32_t start = 0;
  std::uint32_t count = 0;
};

// 512 zero bytes to begin with: no identifier, no entries, no signature.
class DiskImage {
 public:
  DiskImage& set_identifier(std::uint32_t identifier);
  // slot is 1 to 4; the CHS bytes are left as they are.
  DiskImage& set_slot(int slot, const Slot& contents);
  DiskImage& set_byte(std::size_t offset, std::uint8_t value);
  // 0x55 at byte 510 and 0xAA at byte 511.
  DiskImage& set_signature();

  const std::string& bytes() const { return bytes_; }

 private:
  void store_le32(std::size_t offset, std::uint32_t value);

  std::string bytes_ = std::string(512, '\0');
};

// A disk of 1953525168 sectors with identifier 0x9e0a6c1f: a bootable
// Linux partition in slot 1, swap in slot 2, slot 3 empty and NTFS in slot 4.
DiskImage example_disk();

// The listing of example_disk() at path that follows its Disk line.
std::string example_disk_table(const std::string& path);

}  // namespace test_support
