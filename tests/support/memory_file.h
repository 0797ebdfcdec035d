// A file that exists only in memory: standard input for in-process runs of
// the editor, and images it can open by name, write and sync in many
// thousands of runs without touching a disk.
#pragma once

#include <string>

namespace test_support {

class MemoryFile {
 public:
  // The file holds bytes, and its descriptor's offset is 0.
  explicit MemoryFile(const std::string& bytes);
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile();

  int fd() const { return fd_; }
  // A name that opens the same file afresh: /proc/self/fd/N.
  std::string path() const;
  // The whole content as it is now.
  std::string bytes() const;

 private:
  int fd_;
};

}  // namespace test_support
