#pragma once
// The file system of the emulated machine: Windows paths on drive folders of the host, DOS
// attributes in a side table (read-only enforced here, whoever runs the tests), Windows
// sharing rules for open handles, and injectable faults.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "platform/emulated/FileSystemState.h"

namespace ov::emulated {

class EmulatedFileSystem final : public platform::FileSystem {
 public:
  // Maps drive C: (fixed) to <hostRoot>/drive_c.
  EmulatedFileSystem(std::filesystem::path hostRoot, std::shared_ptr<const Clock> clock);

  void SetDrive(char letter, std::uint32_t driveType);
  void SetFreeSpace(char letter, std::uint64_t freeToCaller, std::uint64_t total);
  // Empty when the path is not a valid Windows path on a mapped drive.
  std::filesystem::path HostPath(const std::string& windowsPath);
  std::size_t OpenFileCount();
  void FailWritesUnder(const std::string& windowsPathPrefix);
  void FillDiskAfter(char letter, std::uint64_t bytes);
  void ClearFaults();

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

 private:
  // Parses and resolves under the lock; nullopt for a bad path or an unmapped drive.
  std::optional<Resolved> Lookup(const std::string& path) const;
  bool CopyContents(const Resolved& from, const Resolved& to);

  std::shared_ptr<FileSystemState> state_;
};

}  // namespace ov::emulated
