#include "platform/emulated/EmulatedFileSystem.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "platform/emulated/EmulatedFile.h"
#include "platform/emulated/Names.h"

namespace ov::emulated {

namespace fs = std::filesystem;
using platform::attr::kHidden;
using platform::attr::kReadOnly;
using platform::attr::kSystem;

namespace {

constexpr std::uint64_t kDefaultFree = 64ULL << 30;
constexpr std::uint64_t kDefaultTotal = 128ULL << 30;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorInvalidName = 123;

char DriveLetter(char letter) { return AsciiUpper(letter); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

EmulatedFileSystem::EmulatedFileSystem(fs::path hostRoot, std::shared_ptr<const Clock> clock)
    : state_(std::make_shared<FileSystemState>(std::move(hostRoot), std::move(clock))) {
  SetDrive('C', platform::drive::kFixed);
}

void EmulatedFileSystem::SetDrive(char letter, std::uint32_t driveType) {
  letter = DriveLetter(letter);
  if (letter < 'A' || letter > 'Z') return;
  std::lock_guard lock(state_->mutex);
  if (driveType == platform::drive::kNoRootDir) {
    state_->drives.erase(letter);
    return;
  }
  std::error_code ec;
  fs::create_directories(state_->DriveFolder(letter), ec);
  auto [it, added] = state_->drives.try_emplace(letter);
  if (added) {
    it->second.freeToCaller = kDefaultFree;
    it->second.total = kDefaultTotal;
  }
  it->second.type = driveType;
}

void EmulatedFileSystem::SetFreeSpace(char letter, std::uint64_t freeToCaller, std::uint64_t total) {
  std::lock_guard lock(state_->mutex);
  const auto it = state_->drives.find(DriveLetter(letter));
  if (it == state_->drives.end()) return;
  it->second.freeToCaller = freeToCaller;
  it->second.total = total;
}

fs::path EmulatedFileSystem::HostPath(const std::string& windowsPath) {
  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(windowsPath);
  return entry ? entry->host : fs::path();
}

std::size_t EmulatedFileSystem::OpenFileCount() {
  std::lock_guard lock(state_->mutex);
  return state_->handles.size();
}

void EmulatedFileSystem::FailWritesUnder(const std::string& windowsPathPrefix) {
  const auto prefix = ParseWindowsPath(windowsPathPrefix);
  if (!prefix) return;
  std::lock_guard lock(state_->mutex);
  state_->failWritesUnder.push_back(*prefix);
}

void EmulatedFileSystem::FillDiskAfter(char letter, std::uint64_t bytes) {
  std::lock_guard lock(state_->mutex);
  const auto it = state_->drives.find(DriveLetter(letter));
  if (it != state_->drives.end()) it->second.writeBudget = bytes;
}

void EmulatedFileSystem::ClearFaults() {
  std::lock_guard lock(state_->mutex);
  state_->failWritesUnder.clear();
  for (auto& [letter, drive] : state_->drives) drive.writeBudget.reset();
}

std::optional<Resolved> EmulatedFileSystem::Lookup(const std::string& path) const {
  const auto parsed = ParseWindowsPath(path);
  if (!parsed) return std::nullopt;
  return state_->Resolve(*parsed);
}

bool EmulatedFileSystem::FileExists(const std::string& path) {
  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(path);
  return entry && entry->exists && !entry->isDirectory;
}

bool EmulatedFileSystem::DirectoryExists(const std::string& path) {
  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(path);
  return entry && entry->isDirectory;
}

std::uint32_t EmulatedFileSystem::GetAttributes(const std::string& path) {
  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(path);
  if (!entry || !entry->exists) return platform::attr::kInvalid;
  return state_->AttributesOf(*entry);
}

bool EmulatedFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(path);
  if (!entry || !entry->exists) return false;
  state_->StoreAttributes(entry->host, attributes);
  return true;
}

bool EmulatedFileSystem::CreateDirectory(const std::string& path) {
  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(path);
  if (!entry || entry->exists || !entry->parentIsDirectory || state_->WritesFail(entry->path)) return false;
  std::error_code ec;
  return fs::create_directory(entry->host, ec);
}

bool EmulatedFileSystem::RemoveDirectory(const std::string& path) {
  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(path);
  if (!entry || !entry->isDirectory || entry->path.IsRoot()) return false;
  if ((state_->AttributesOf(*entry) & kReadOnly) != 0) return false;
  std::error_code ec;
  if (!fs::is_empty(entry->host, ec) || ec) return false;
  if (!fs::remove(entry->host, ec)) return false;
  state_->ForgetAttributes(entry->host);
  return true;
}

bool EmulatedFileSystem::DeleteFile(const std::string& path) {
  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(path);
  if (!entry || !entry->exists || entry->isDirectory) return false;
  if ((state_->AttributesOf(*entry) & kReadOnly) != 0) return false;
  if (!state_->SharingAllows(entry->host, open::kDelete, 0)) return false;
  std::error_code ec;
  if (!fs::remove(entry->host, ec)) return false;
  state_->ForgetAttributes(entry->host);
  return true;
}

bool EmulatedFileSystem::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  std::lock_guard lock(state_->mutex);
  const auto source = Lookup(from);
  const auto target = Lookup(to);
  if (!source || !target || !source->exists || source->isDirectory) return false;
  if (source->host == target->host || !target->parentIsDirectory || state_->WritesFail(target->path))
    return false;
  if (target->exists) {
    // CopyFile refuses to overwrite a hidden or read-only file.
    if (failIfExists || target->isDirectory || (state_->AttributesOf(*target) & (kReadOnly | kHidden)) != 0) {
      return false;
    }
  }
  if (!state_->SharingAllows(source->host, open::kRead, open::kRead)) return false;
  if (!state_->SharingAllows(target->host, open::kWrite, 0)) return false;
  if (!CopyContents(*source, *target)) return false;
  const std::uint32_t attributes = state_->AttributesOf(*source);
  state_->StoreAttributes(target->host, attributes);
  std::error_code ec;
  fs::last_write_time(target->host, fs::last_write_time(source->host, ec), ec);
  return true;
}

bool EmulatedFileSystem::CopyContents(const Resolved& from, const Resolved& to) {
  std::ifstream in(from.host, std::ios::binary);
  if (!in) return false;
  std::ofstream out(to.host, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  std::array<char, 64 * 1024> buffer;
  bool complete = true;
  while (complete && in) {
    in.read(buffer.data(), buffer.size());
    const auto got = static_cast<std::uint64_t>(in.gcount());
    if (got == 0) break;
    const std::uint64_t granted = state_->TakeWriteBudget(to.path.drive, got);
    out.write(buffer.data(), static_cast<std::streamsize>(granted));
    complete = granted == got && static_cast<bool>(out);
  }
  complete = complete && !in.bad();
  out.close();
  complete = complete && static_cast<bool>(out);
  if (!complete) {
    // No half-copied file is left behind.
    std::error_code ec;
    fs::remove(to.host, ec);
    state_->ForgetAttributes(to.host);
  }
  return complete;
}

bool EmulatedFileSystem::MoveFileReplacing(const std::string& from, const std::string& to) {
  std::lock_guard lock(state_->mutex);
  const auto source = Lookup(from);
  const auto target = Lookup(to);
  if (!source || !target || !source->exists || source->path.IsRoot() || target->path.IsRoot()) return false;
  if (source->path.drive != target->path.drive) return false;  // no copying across drives
  if (!target->parentIsDirectory || state_->WritesFail(target->path)) return false;
  if (state_->AnyOpenAtOrBelow(source->host)) return false;
  if (target->path.IsAtOrBelow(source->path) && target->host != source->host) return false;

  const fs::path destination = target->host.parent_path() / target->path.components.back();
  std::error_code ec;
  if (target->exists && target->host != source->host) {
    if (target->isDirectory || source->isDirectory) return false;
    if ((state_->AttributesOf(*target) & kReadOnly) != 0) return false;
    if (state_->AnyOpenAtOrBelow(target->host)) return false;
    if (!fs::remove(target->host, ec)) return false;
    state_->ForgetAttributes(target->host);
  }
  if (destination == source->host) return true;
  fs::rename(source->host, destination, ec);
  if (ec) return false;
  state_->MoveAttributes(source->host, destination);
  return true;
}

std::vector<platform::FindEntry> EmulatedFileSystem::Find(const std::string& pattern) {
  std::vector<platform::FindEntry> found;
  if (pattern.empty() || IsSeparator(pattern.back())) return found;
  const auto parsed = ParseWindowsPath(pattern, true);
  if (!parsed || parsed->IsRoot()) return found;
  const std::string mask = parsed->components.back();

  std::lock_guard lock(state_->mutex);
  const auto folder = state_->Resolve(parsed->Parent());
  if (!folder || !folder->isDirectory) return found;

  if (!folder->path.IsRoot()) {
    const auto parent = state_->Resolve(folder->path.Parent());
    if (MatchesPattern(".", mask)) found.push_back({".", state_->AttributesOf(*folder), 0});
    if (MatchesPattern("..", mask)) found.push_back({"..", state_->AttributesOf(*parent), 0});
  }
  std::vector<platform::FindEntry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(folder->host, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!MatchesPattern(name, mask)) continue;
    std::error_code entryError;
    const bool isDirectory = it->is_directory(entryError);
    const std::uintmax_t size = isDirectory ? 0 : it->file_size(entryError);
    entries.push_back({name, state_->AttributesOf(it->path(), isDirectory), entryError ? 0 : size});
  }
  std::sort(entries.begin(), entries.end(), [](const platform::FindEntry& a, const platform::FindEntry& b) {
    return NameLess{}(a.name, b.name);
  });
  found.insert(found.end(), entries.begin(), entries.end());
  return found;
}

std::unique_ptr<platform::File> EmulatedFileSystem::Open(const std::string& path, platform::FileAccess access,
                                                         platform::FileShare share,
                                                         platform::FileCreate create) {
  const unsigned accessBits = access == platform::FileAccess::Read    ? open::kRead
                              : access == platform::FileAccess::Write ? open::kWrite
                                                                      : open::kRead | open::kWrite;
  const unsigned shareBits = share == platform::FileShare::None ? 0 : open::kRead | open::kWrite;
  const bool creating = create == platform::FileCreate::CreateAlways;
  const bool changes = creating || (accessBits & open::kWrite) != 0;

  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(path);
  if (!entry || entry->isDirectory) return nullptr;
  if (changes && state_->WritesFail(entry->path)) return nullptr;
  if (entry->exists) {
    const std::uint32_t attributes = state_->AttributesOf(*entry);
    if (changes && (attributes & kReadOnly) != 0) return nullptr;
    // CREATE_ALWAYS with normal attributes refuses to replace a hidden or system file.
    if (creating && (attributes & (kHidden | kSystem)) != 0) return nullptr;
  } else if (!creating || !entry->parentIsDirectory) {
    return nullptr;
  }
  if (!state_->SharingAllows(entry->host, accessBits, shareBits)) return nullptr;

  if (creating) {
    std::ofstream truncate(entry->host, std::ios::binary | std::ios::trunc);
    if (!truncate) return nullptr;
    state_->ForgetAttributes(entry->host);
  }
  std::ios::openmode mode = std::ios::binary | std::ios::in;
  if ((accessBits & open::kWrite) != 0) mode |= std::ios::out;
  std::fstream stream(entry->host, mode);
  if (!stream) return nullptr;
  const std::uint64_t handle = state_->AddHandle(entry->host, accessBits, shareBits);
  return std::make_unique<EmulatedFile>(state_, handle, entry->path, entry->host, std::move(stream),
                                        accessBits, creating);
}

std::optional<std::uint32_t> EmulatedFileSystem::LastWriteDosTime(const std::string& path) {
  std::lock_guard lock(state_->mutex);
  const auto entry = Lookup(path);
  if (!entry || !entry->exists) return std::nullopt;
  std::error_code ec;
  const fs::file_time_type time = fs::last_write_time(entry->host, ec);
  if (ec) return std::nullopt;
  return EncodeDosDateTime(FromFileTime(time));
}

std::uint32_t EmulatedFileSystem::DriveType(const std::string& root) {
  const auto parsed = ParseWindowsPath(root);
  if (!parsed || !parsed->IsRoot()) return platform::drive::kNoRootDir;
  std::lock_guard lock(state_->mutex);
  const auto it = state_->drives.find(parsed->drive);
  return it == state_->drives.end() ? platform::drive::kNoRootDir : it->second.type;
}

platform::DiskSpace EmulatedFileSystem::FreeSpace(const std::string& root) {
  platform::DiskSpace space;
  const auto parsed = ParseWindowsPath(root);
  if (!parsed) {
    space.error = kErrorInvalidName;
    return space;
  }
  std::lock_guard lock(state_->mutex);
  const auto entry = state_->Resolve(*parsed);
  if (!entry || !entry->isDirectory) {
    space.error = kErrorPathNotFound;
    return space;
  }
  const Drive& drive = state_->drives.at(parsed->drive);
  space.ok = true;
  space.freeToCaller = drive.freeToCaller;
  space.total = drive.total;
  return space;
}

}  // namespace ov::emulated
