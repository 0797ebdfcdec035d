#include "disk-utils/boot_sector.h"

#include <algorithm>

namespace parvel {
namespace {

constexpr std::size_t disk_identifier_offset = 440;
constexpr std::size_t entries_offset = 446;
constexpr std::size_t entry_bytes = 16;
constexpr std::size_t signature_offset = 510;

constexpr std::size_t boot_flag_offset = 0;
constexpr std::size_t part_type_offset = 4;
constexpr std::size_t start_lba_offset = 8;
constexpr std::size_t sector_count_offset = 12;

std::size_t slot_offset(int slot) {
  return entries_offset + entry_bytes * static_cast<std::size_t>(slot - 1);
}

}  // namespace

std::uint32_t load_le32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) |
         static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 |
         static_cast<std::uint32_t>(bytes[3]) << 24;
}

void store_le32(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

std::uint8_t PartitionEntry::boot_flag() const {
  return bytes_[boot_flag_offset];
}

std::uint8_t PartitionEntry::part_type() const {
  return bytes_[part_type_offset];
}

std::uint32_t PartitionEntry::start_lba() const {
  return load_le32(&bytes_[start_lba_offset]);
}

std::uint32_t PartitionEntry::sector_count() const {
  return load_le32(&bytes_[sector_count_offset]);
}

std::uint32_t BootSector::disk_identifier() const {
  return load_le32(&bytes[disk_identifier_offset]);
}

bool BootSector::has_signature() const {
  return bytes[signature_offset] == 0x55 && bytes[signature_offset + 1] == 0xAA;
}

void BootSector::set_signature() {
  bytes[signature_offset] = 0x55;
  bytes[signature_offset + 1] = 0xAA;
}

PartitionEntry BootSector::entry(int slot) const {
  return PartitionEntry(std::span<const std::uint8_t, entry_bytes>(
      &bytes[slot_offset(slot)], entry_bytes));
}

std::uint8_t* BootSector::slot_bytes(int slot) {
  return &bytes[slot_offset(slot)];
}

void BootSector::create_entry(int slot, std::uint8_t part_type,
                              std::uint32_t start_lba,
                              std::uint32_t sector_count) {
  std::uint8_t* entry = slot_bytes(slot);
  entry[boot_flag_offset] = 0x00;
  entry[part_type_offset] = part_type;
  store_le32(entry + start_lba_offset, start_lba);
  store_le32(entry + sector_count_offset, sector_count);
}

void BootSector::set_part_type(int slot, std::uint8_t part_type) {
  slot_bytes(slot)[part_type_offset] = part_type;
}

void BootSector::clear_entry(int slot) {
  std::fill_n(slot_bytes(slot), entry_bytes, std::uint8_t{0});
}

}  // namespace parvel
