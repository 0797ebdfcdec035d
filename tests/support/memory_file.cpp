#include "tests/support/memory_file.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace test_support {

MemoryFile::MemoryFile(const std::string& bytes)
    : fd_(::memfd_create("tarvo-test", MFD_CLOEXEC)) {
  for (std::size_t done = 0; done < bytes.size();) {
    ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::lseek(fd_, 0, SEEK_SET);
}

MemoryFile::~MemoryFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string MemoryFile::path() const {
  return "/proc/self/fd/" + std::to_string(fd_);
}

std::string MemoryFile::bytes() const {
  struct stat status;
  if (::fstat(fd_, &status) != 0) return std::string();
  std::string content(static_cast<std::size_t>(status.st_size), '\0');
  for (std::size_t done = 0; done < content.size();) {
    ssize_t n = ::pread(fd_, content.data() + done, content.size() - done,
                        static_cast<off_t>(done));
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return content;
}

}  // namespace test_support
