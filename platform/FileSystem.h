#pragma once
// Files, folders and drives, with Windows paths ("C:\dir\file", "\" or "/" as separator).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ov::platform {

enum class FileAccess { Read, Write, ReadWrite };
// Sharing granted to other handles while this one is open.
enum class FileShare { None, ReadWrite };
enum class FileCreate { OpenExisting, CreateAlways };

// An open file handle; closed when destroyed.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `count` bytes; `got` is what was read (0 at the end). False on an I/O error.
  virtual bool Read(void* buffer, std::uint32_t count, std::uint32_t& got) = 0;
  // Writes all `count` bytes or fails (a full disk may leave part of them written).
  virtual bool Write(const void* data, std::uint32_t count) = 0;
  // Moves to an absolute position; false for a negative one.
  virtual bool Seek(std::int64_t position) = 0;
  virtual std::int64_t Position() = 0;
  // Size in bytes, -1 when it cannot be had.
  virtual std::int64_t Size() = 0;
  // Sets the last-write time from an MS-DOS date and time read as local time.
  virtual bool SetLastWriteDosTime(std::uint32_t dosDateTime) = 0;
};

// One entry of a folder listing, "." and ".." included as the file system gives them.
struct FindEntry {
  std::string name;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
};

struct DiskSpace {
  bool ok = false;
  std::uint64_t freeToCaller = 0;
  std::uint64_t total = 0;
  std::uint32_t error = 0;  // the last-error code right after the query; 0 when it succeeded
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // An existing file that is not a folder.
  virtual bool FileExists(const std::string& path) = 0;
  // An existing folder; a trailing backslash does not matter.
  virtual bool DirectoryExists(const std::string& path) = 0;
  virtual std::uint32_t GetAttributes(const std::string& path) = 0;  // attr::kInvalid when missing
  virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;

  // One folder; fails when it exists or its parent does not.
  virtual bool CreateDirectory(const std::string& path) = 0;
  // One empty folder.
  virtual bool RemoveDirectory(const std::string& path) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  virtual bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
  // Renames a file, replacing an existing target (MoveFileEx with REPLACE_EXISTING).
  virtual bool MoveFileReplacing(const std::string& from, const std::string& to) = 0;

  // The entries matching a pattern such as "C:\dir\*" or "C:\dir\*.ov5"; empty when none.
  virtual std::vector<FindEntry> Find(const std::string& pattern) = 0;

  // Null when the file cannot be opened (missing, read-only for writing, shared, ...).
  virtual std::unique_ptr<File> Open(const std::string& path, FileAccess access, FileShare share,
                                     FileCreate create) = 0;

  // The file's last-write time as a local-time MS-DOS date and time.
  virtual std::optional<std::uint32_t> LastWriteDosTime(const std::string& path) = 0;

  // GetDriveType of a root such as "C:\".
  virtual std::uint32_t DriveType(const std::string& root) = 0;
  // GetDiskFreeSpaceEx of a root such as "C:\".
  virtual DiskSpace FreeSpace(const std::string& root) = 0;
};

}  // namespace ov::platform
