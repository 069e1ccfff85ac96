#include "platform/emulated/FileSystemState.h"

#include <system_error>

#include "platform/emulated/Names.h"

namespace ov::emulated {

namespace fs = std::filesystem;

namespace {

bool IsAtOrBelow(const std::string& key, const std::string& folder) {
  return key == folder || (key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 &&
                           key[folder.size()] == '/');
}

// The entry of `folder` whose name matches `name` without regard to case; of several, the
// first in byte order, so the choice does not depend on the host's listing order.
std::optional<fs::path> FindCaseInsensitive(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  std::optional<fs::path> best;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path candidate = it->path();
    if (SameName(candidate.filename().string(), name) && (!best || candidate < *best)) best = candidate;
  }
  return best;
}

}  // namespace

FileSystemState::FileSystemState(fs::path hostRoot, std::shared_ptr<const Clock> clockSource)
    : root(std::move(hostRoot)), clock(std::move(clockSource)) {}

fs::path FileSystemState::DriveFolder(char letter) const {
  return root / (std::string("drive_") + static_cast<char>(letter - 'A' + 'a'));
}

std::optional<Resolved> FileSystemState::Resolve(const WindowsPath& path) const {
  if (drives.find(path.drive) == drives.end()) return std::nullopt;
  Resolved entry;
  entry.path = path;
  entry.host = DriveFolder(path.drive);
  bool found = true;
  std::error_code ec;
  for (std::size_t i = 0; i < path.components.size(); ++i) {
    const std::string& name = path.components[i];
    if (i + 1 == path.components.size()) entry.parentIsDirectory = found && fs::is_directory(entry.host, ec);
    if (found) {
      const fs::path exact = entry.host / name;
      if (fs::exists(fs::symlink_status(exact, ec))) {
        entry.host = exact;
        continue;
      }
      if (auto match = FindCaseInsensitive(entry.host, name)) {
        entry.host = *match;
        continue;
      }
      found = false;
    }
    entry.host /= name;
  }
  const fs::file_status status = fs::status(entry.host, ec);
  entry.exists = found && fs::exists(status);
  entry.isDirectory = entry.exists && fs::is_directory(status);
  return entry;
}

std::uint32_t FileSystemState::AttributesOf(const fs::path& host, bool isDirectory) const {
  const auto stored = attributes.find(host.string());
  if (isDirectory) {
    return platform::attr::kDirectory | (stored == attributes.end() ? 0 : stored->second);
  }
  const std::uint32_t bits = stored == attributes.end() ? platform::attr::kArchive : stored->second;
  return bits == 0 ? platform::attr::kNormal : bits;
}

void FileSystemState::StoreAttributes(const fs::path& host, std::uint32_t bits) {
  attributes[host.string()] = bits & ~(platform::attr::kDirectory | platform::attr::kNormal);
}

void FileSystemState::ForgetAttributes(const fs::path& host) {
  const std::string key = host.string();
  for (auto it = attributes.lower_bound(key); it != attributes.end() && IsAtOrBelow(it->first, key);) {
    it = attributes.erase(it);
  }
}

void FileSystemState::MoveAttributes(const fs::path& from, const fs::path& to) {
  const std::string fromKey = from.string();
  const std::string toKey = to.string();
  ForgetAttributes(to);
  std::map<std::string, std::uint32_t> moved;
  for (auto it = attributes.lower_bound(fromKey);
       it != attributes.end() && IsAtOrBelow(it->first, fromKey);) {
    moved[toKey + it->first.substr(fromKey.size())] = it->second;
    it = attributes.erase(it);
  }
  attributes.merge(moved);
}

bool FileSystemState::SharingAllows(const fs::path& host, unsigned access, unsigned share) const {
  const std::string key = host.string();
  for (const auto& [id, handle] : handles) {
    if (handle.host != key) continue;
    if ((access & ~handle.share) != 0 || (handle.access & ~share) != 0) return false;
  }
  return true;
}

bool FileSystemState::AnyOpenAtOrBelow(const fs::path& host) const {
  const std::string key = host.string();
  for (const auto& [id, handle] : handles) {
    if (IsAtOrBelow(handle.host, key)) return true;
  }
  return false;
}

std::uint64_t FileSystemState::AddHandle(const fs::path& host, unsigned access, unsigned share) {
  const std::uint64_t id = nextHandle++;
  handles[id] = Handle{host.string(), access, share};
  return id;
}

void FileSystemState::RemoveHandle(std::uint64_t id) { handles.erase(id); }

bool FileSystemState::WritesFail(const WindowsPath& path) const {
  for (const WindowsPath& prefix : failWritesUnder) {
    if (path.IsAtOrBelow(prefix)) return true;
  }
  return false;
}

std::uint64_t FileSystemState::TakeWriteBudget(char drive, std::uint64_t count) {
  const auto it = drives.find(drive);
  if (it == drives.end() || !it->second.writeBudget) return count;
  std::uint64_t& budget = *it->second.writeBudget;
  const std::uint64_t granted = count < budget ? count : budget;
  budget -= granted;
  return granted;
}

fs::file_time_type ToFileTime(const platform::LocalTime& time) {
  return std::chrono::file_clock::from_sys(ToTimePoint(time));
}

platform::LocalTime FromFileTime(fs::file_time_type time) {
  return FromTimePoint(std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(time)));
}

}  // namespace ov::emulated
