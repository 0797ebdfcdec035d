// The file operations of the partition tool: sector 0 of a device or image
// file, the small sysfs attribute files, and the error texts that messages
// about them carry. Every descriptor is closed before the call returns.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "disk-utils/boot_sector.h"

namespace parvel {

// Owns one open descriptor; close is never retried, since the descriptor
// is gone after any close on Linux.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor();

  int get() const { return fd_; }
  bool is_open() const { return fd_ >= 0; }

 private:
  int fd_;
};

// "No such file or directory (os error 2)".
std::string os_error_text(int error_number);

struct SectorRead {
  BootSector sector;     // bytes past `size` stay zero
  std::size_t size = 0;  // bytes read, at most sector_bytes
  int error = 0;         // errno of a failed open or read; 0 when none
};

// Reads from offset 0 until 512 bytes are in or the file ends; a shorter
// file is not an error.
SectorRead read_first_sector(const std::string& path);

// Writes the 512 bytes at offset 0 of an existing file and makes them
// durable. Returns the error text of the first failure, nothing on success.
std::optional<std::string> write_first_sector(const std::string& path,
                                              const BootSector& sector);

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> read_whole_file(const std::string& path);

}  // namespace parvel
