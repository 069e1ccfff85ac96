#pragma once
// Files, folders and drives on the real file system (the A functions: paths are Windows-1252).
#include "platform/FileSystem.h"

namespace ov::win32 {

class Win32FileSystem final : public platform::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;

  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
  bool MoveFileReplacing(const std::string& from, const std::string& to) override;

  std::vector<platform::FindEntry> Find(const std::string& pattern) override;

  std::unique_ptr<platform::File> Open(const std::string& path, platform::FileAccess access,
                                       platform::FileShare share, platform::FileCreate create) override;

  std::optional<std::uint32_t> LastWriteDosTime(const std::string& path) override;

  std::uint32_t DriveType(const std::string& root) override;
  platform::DiskSpace FreeSpace(const std::string& root) override;
};

}  // namespace ov::win32
