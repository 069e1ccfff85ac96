#pragma once
// An open file of the emulated file system. It holds its place in the open-handle table
// until destroyed; then, if it was created or written, the file takes the emulated clock's time
// unless a time was set through the handle.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/emulated/FileSystemState.h"

namespace ov::emulated {

class EmulatedFile final : public platform::File {
 public:
  // `handle` is the entry already added to the state's open-handle table.
  EmulatedFile(std::shared_ptr<FileSystemState> state, std::uint64_t handle, WindowsPath path,
               std::filesystem::path host, std::fstream stream, unsigned access, bool created);
  ~EmulatedFile() override;
  EmulatedFile(const EmulatedFile&) = delete;
  EmulatedFile& operator=(const EmulatedFile&) = delete;

  bool Read(void* buffer, std::uint32_t count, std::uint32_t& got) override;
  bool Write(const void* data, std::uint32_t count) override;
  bool Seek(std::int64_t position) override;
  std::int64_t Position() override;
  std::int64_t Size() override;
  bool SetLastWriteDosTime(std::uint32_t dosDateTime) override;

 private:
  const std::shared_ptr<FileSystemState> state_;
  const std::uint64_t handle_;
  const WindowsPath path_;
  const std::filesystem::path host_;
  std::fstream stream_;
  const unsigned access_;
  std::int64_t position_ = 0;
  bool changed_;
  std::optional<std::filesystem::file_time_type> setTime_;
};

}  // namespace ov::emulated
