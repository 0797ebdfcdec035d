#include "disk-utils/device_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace parvel {
namespace {

int open_retrying(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

ssize_t read_retrying(int fd, void* buffer, std::size_t size) {
  ssize_t n;
  do {
    n = ::read(fd, buffer, size);
  } while (n < 0 && errno == EINTR);
  return n;
}

}  // namespace

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

std::string os_error_text(int error_number) {
  return std::string(std::strerror(error_number)) + " (os error " +
         std::to_string(error_number) + ")";
}

SectorRead read_first_sector(const std::string& path) {
  SectorRead result;
  FileDescriptor file(open_retrying(path, O_RDONLY));
  if (!file.is_open()) {
    result.error = errno;
    return result;
  }
  while (result.size < sector_bytes) {
    ssize_t n = read_retrying(file.get(), &result.sector.bytes[result.size],
                              sector_bytes - result.size);
    if (n < 0) {
      result.error = errno;
      return result;
    }
    if (n == 0) break;
    result.size += static_cast<std::size_t>(n);
  }
  return result;
}

std::optional<std::string> write_first_sector(const std::string& path,
                                              const BootSector& sector) {
  // Never create or truncate: a mistyped path must not become a new file.
  FileDescriptor file(open_retrying(path, O_WRONLY));
  if (!file.is_open()) return os_error_text(errno);
  std::size_t written = 0;
  while (written < sector_bytes) {
    ssize_t n = ::pwrite(file.get(), &sector.bytes[written],
                         sector_bytes - written, static_cast<off_t>(written));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return os_error_text(errno);
    if (n == 0) return "failed to write whole buffer";
    written += static_cast<std::size_t>(n);
  }
  // The table is reported written only once the device has stored it.
  // EINVAL means the file (/dev/null, say) has nothing to synchronise.
  if (::fsync(file.get()) != 0 && errno != EINVAL) {
    return os_error_text(errno);
  }
  return std::nullopt;
}

std::optional<std::string> read_whole_file(const std::string& path) {
  FileDescriptor file(open_retrying(path, O_RDONLY));
  if (!file.is_open()) return std::nullopt;
  std::string content;
  char buffer[4096];
  for (;;) {
    ssize_t n = read_retrying(file.get(), buffer, sizeof buffer);
    if (n < 0) return std::nullopt;
    if (n == 0) return content;
    content.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace parvel
