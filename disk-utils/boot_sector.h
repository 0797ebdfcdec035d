// Sector 0 of a disk as the DOS partition table lays it out.
//
//   bytes   0-439  boot code
//   bytes 440-443  disk identifier, 32-bit little-endian
//   bytes 444-445  not interpreted
//   bytes 446-509  four 16-byte partition entries, slots 1 to 4
//   bytes 510-511  signature 0x55 0xAA
//
// and each entry:
//
//   byte   0       boot flag (0x80 marks the bootable entry)
//   bytes  1-3     CHS address of the first sector (never interpreted)
//   byte   4       partition type; 0 marks an empty slot
//   bytes  5-7     CHS address of the last sector (never interpreted)
//   bytes  8-11    first sector, 32-bit little-endian
//   bytes 12-15    sector count, 32-bit little-endian
//
// The image is kept as the raw bytes; fields are read and written in place,
// so every byte that no edit names goes back to the disk exactly as read.
// The 32-bit fields sit at offsets that are not multiples of 4 and are
// little-endian on any host, so they are assembled byte by byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace parvel {

constexpr std::size_t sector_bytes = 512;
constexpr int slot_count = 4;

std::uint32_t load_le32(const std::uint8_t* bytes);
void store_le32(std::uint8_t* bytes, std::uint32_t value);

// A read-only view of one 16-byte slot.
class PartitionEntry {
 public:
  explicit PartitionEntry(std::span<const std::uint8_t, 16> bytes)
      : bytes_(bytes) {}

  std::uint8_t boot_flag() const;
  std::uint8_t part_type() const;
  std::uint32_t start_lba() const;
  std::uint32_t sector_count() const;

 private:
  std::span<const std::uint8_t, 16> bytes_;
};

class BootSector {
 public:
  std::array<std::uint8_t, sector_bytes> bytes{};

  std::uint32_t disk_identifier() const;
  bool has_signature() const;
  void set_signature();

  // Slots are numbered 1 to 4, as the user sees them.
  PartitionEntry entry(int slot) const;

  // A new entry: not bootable, the given type, start and size. The CHS
  // bytes keep whatever the slot held.
  void create_entry(int slot, std::uint8_t part_type, std::uint32_t start_lba,
                    std::uint32_t sector_count);
  void set_part_type(int slot, std::uint8_t part_type);
  // Zeroes all 16 bytes of the slot.
  void clear_entry(int slot);

 private:
  std::uint8_t* slot_bytes(int slot);
};

}  // namespace parvel
