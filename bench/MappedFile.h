#pragma once
// A file mapped read-only into memory, the way Windows maps a program's image: its pages are the
// file's own, read in when touched and counted in the resident set only then.
#include <cstddef>
#include <string>
#include <string_view>

namespace ov::bench {

class MappedFile {
 public:
  // Raises std::runtime_error when the file cannot be opened or mapped.
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view Bytes() const { return {static_cast<const char*>(data_), size_}; }

 private:
  void* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace ov::bench
