#pragma once
// What the emulated file system and its open handles share: the drive table, the DOS
// attribute side table, the open-handle table and the injected faults. Every member is
// guarded by `mutex`; the helpers expect it held.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/emulated/Clock.h"
#include "platform/emulated/WindowsPath.h"

namespace ov::emulated {

// Access and sharing bits of an open handle.
namespace open {
constexpr unsigned kRead = 1;
constexpr unsigned kWrite = 2;
constexpr unsigned kDelete = 4;
}  // namespace open

struct Drive {
  std::uint32_t type = platform::drive::kFixed;
  std::uint64_t freeToCaller = 0;
  std::uint64_t total = 0;
  std::optional<std::uint64_t> writeBudget;  // bytes the drive still accepts, when limited
};

// A Windows path matched against the host folder.
struct Resolved {
  WindowsPath path;
  std::filesystem::path host;  // the existing entry, or where a new one would go
  bool exists = false;
  bool isDirectory = false;
  bool parentIsDirectory = false;
};

struct FileSystemState {
  FileSystemState(std::filesystem::path hostRoot, std::shared_ptr<const Clock> clockSource);

  std::filesystem::path DriveFolder(char letter) const;
  // Nullopt when the drive is not mapped.
  std::optional<Resolved> Resolve(const WindowsPath& path) const;

  // GetFileAttributes of an existing entry.
  std::uint32_t AttributesOf(const std::filesystem::path& host, bool isDirectory) const;
  std::uint32_t AttributesOf(const Resolved& entry) const {
    return AttributesOf(entry.host, entry.isDirectory);
  }
  void StoreAttributes(const std::filesystem::path& host, std::uint32_t attributes);
  void ForgetAttributes(const std::filesystem::path& host);  // the entry and everything below it
  void MoveAttributes(const std::filesystem::path& from, const std::filesystem::path& to);

  // Whether a new handle with this access and sharing may be opened beside the open ones.
  bool SharingAllows(const std::filesystem::path& host, unsigned access, unsigned share) const;
  bool AnyOpenAtOrBelow(const std::filesystem::path& host) const;
  std::uint64_t AddHandle(const std::filesystem::path& host, unsigned access, unsigned share);
  void RemoveHandle(std::uint64_t id);

  bool WritesFail(const WindowsPath& path) const;
  // How many of `count` bytes the drive accepts now; takes them from its budget.
  std::uint64_t TakeWriteBudget(char drive, std::uint64_t count);

  struct Handle {
    std::string host;
    unsigned access = 0;
    unsigned share = 0;
  };

  mutable std::mutex mutex;
  const std::filesystem::path root;
  const std::shared_ptr<const Clock> clock;
  std::map<char, Drive> drives;
  std::map<std::string, std::uint32_t> attributes;  // by host path; missing means the default
  std::map<std::uint64_t, Handle> handles;
  std::uint64_t nextHandle = 1;
  std::vector<WindowsPath> failWritesUnder;
};

// Host modification times carry local time read as UTC.
std::filesystem::file_time_type ToFileTime(const platform::LocalTime& time);
platform::LocalTime FromFileTime(std::filesystem::file_time_type time);

}  // namespace ov::emulated
