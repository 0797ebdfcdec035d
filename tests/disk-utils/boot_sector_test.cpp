#include "disk-utils/boot_sector.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using parvel::BootSector;

// Every byte differs, so a field read from the wrong offset shows.
BootSector numbered_sector() {
  BootSector sector;
  std::iota(sector.bytes.begin(), sector.bytes.end(), std::uint8_t{0});
  return sector;
}

TEST(BootSector, ReadsLittleEndianFieldsAtUnalignedOffsets) {
  BootSector sector = numbered_sector();
  // 440 % 256 = 184 = 0xb8
  EXPECT_EQ(sector.disk_identifier(), 0xbbbab9b8u);
  parvel::PartitionEntry slot2 = sector.entry(2);  // bytes 462-477
  EXPECT_EQ(slot2.boot_flag(), 462 % 256);
  EXPECT_EQ(slot2.part_type(), 466 % 256);
  EXPECT_EQ(slot2.start_lba(), 0xd9d8d7d6u);
  EXPECT_EQ(slot2.sector_count(), 0xdddcdbdau);
}

TEST(BootSector, SignatureNeedsBothBytes) {
  BootSector sector;
  EXPECT_FALSE(sector.has_signature());
  sector.bytes[510] = 0x55;
  EXPECT_FALSE(sector.has_signature());
  sector.set_signature();
  EXPECT_TRUE(sector.has_signature());
  EXPECT_EQ(sector.bytes[511], 0xAA);
}

TEST(BootSector, EditsTouchOnlyTheirOwnBytes) {
  const BootSector original = numbered_sector();
  BootSector sector = original;
  sector.create_entry(3, 0x83, 2048, 204800);
  for (std::size_t i = 0; i < parvel::sector_bytes; ++i) {
    bool named = i == 478 || i == 482 || (i >= 486 && i < 494);
    if (!named) {
      EXPECT_EQ(sector.bytes[i], original.bytes[i]) << i;
    }
  }
  EXPECT_EQ(sector.entry(3).boot_flag(), 0);
  EXPECT_EQ(sector.entry(3).start_lba(), 2048u);
  EXPECT_EQ(sector.entry(3).sector_count(), 204800u);
  // Stored little-endian whatever the host: 204800 = 0x00032000.
  EXPECT_EQ(sector.bytes[490], 0x00);
  EXPECT_EQ(sector.bytes[491], 0x20);
  EXPECT_EQ(sector.bytes[492], 0x03);

  sector.set_part_type(1, 0x07);
  EXPECT_EQ(sector.bytes[450], 0x07);
  EXPECT_EQ(sector.bytes[446], original.bytes[446]);

  sector.clear_entry(4);
  for (std::size_t i = 494; i < 510; ++i)
    EXPECT_EQ(sector.bytes[i], 0) << i;
  EXPECT_EQ(sector.bytes[510], original.bytes[510]);
  EXPECT_EQ(sector.bytes[493], 0x00);  // slot 3, written above
}

}  // namespace
