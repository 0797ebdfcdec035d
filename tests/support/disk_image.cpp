#include "tests/support/disk_image.h"

namespace test_support {

DiskImage& DiskImage::set_identifier(std::uint32_t identifier) {
  store_le32(440, identifier);
  return *this;
}

DiskImage& DiskImage::set_slot(int slot, const Slot& contents) {
  std::size_t base = 446 + 16 * static_cast<std::size_t>(slot - 1);
  set_byte(base, contents.boot_flag);
  set_byte(base + 4, contents.part_type);
  store_le32(base + 8, contents.start);
  store_le32(base + 12, contents.count);
  return *this;
}

DiskImage& DiskImage::set_byte(std::size_t offset, std::uint8_t value) {
  bytes_.at(offset) = static_cast<char>(value);
  return *this;
}

DiskImage& DiskImage::set_signature() {
  return set_byte(510, 0x55).set_byte(511, 0xAA);
}

void DiskImage::store_le32(std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    set_byte(offset + i, static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

DiskImage example_disk() {
  DiskImage image;
  image.set_identifier(0x9e0a6c1f)
      .set_slot(1, {0x80, 0x83, 2048, 1048576})
      .set_slot(2, {0x00, 0x82, 1050624, 16777216})
      .set_slot(4, {0x00, 0x07, 17827840, 1935697328})
      .set_signature();
  return image;
}

std::string example_disk_table(const std::string& path) {
  return "Disklabel type: dos\n"
         "Disk identifier: 0x9e0a6c1f\n"
         "\n"
         "Device       Boot        Start        End    Sectors  Size Id\n" +
         path + "1        *            2048    1050623    1048576  512M 83\n" +
         path + "2                  1050624   17827839   16777216    8G 82\n" +
         path + "4                 17827840 1953525167 1935697328 923.0G 07\n";
}

}  // namespace test_support
