#include "bench/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace ov::bench {

namespace {

std::runtime_error Failure(const std::string& what, const std::string& path) {
  return std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

// Closes the descriptor once the mapping holds the file.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

MappedFile::MappedFile(const std::string& path) {
  const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) throw Failure("cannot open", path);
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) throw Failure("cannot measure", path);
  size_ = static_cast<std::size_t>(info.st_size);
  if (size_ == 0) return;  // nothing to map; an empty view
  data_ = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file.fd, 0);
  if (data_ == MAP_FAILED) {
    data_ = nullptr;
    throw Failure("cannot map", path);
  }
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) ::munmap(data_, size_);
}

}  // namespace ov::bench
