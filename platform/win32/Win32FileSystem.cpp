#include "platform/win32/Win32FileSystem.h"

#include <string>

#include "platform/win32/Handles.h"

namespace ov::win32 {
namespace {

using platform::FileAccess;
using platform::FileCreate;
using platform::FileShare;

class Win32File final : public platform::File {
 public:
  explicit Win32File(FileHandle handle) : handle_(std::move(handle)) {}

  bool Read(void* buffer, std::uint32_t count, std::uint32_t& got) override {
    DWORD read = 0;
    const bool ok = ::ReadFile(handle_.Get(), buffer, count, &read, nullptr) != 0;
    got = ok ? read : 0;
    return ok;
  }

  bool Write(const void* data, std::uint32_t count) override {
    DWORD written = 0;
    return ::WriteFile(handle_.Get(), data, count, &written, nullptr) != 0 && written == count;
  }

  bool Seek(std::int64_t position) override {
    if (position < 0) return false;
    LARGE_INTEGER to;
    to.QuadPart = position;
    return ::SetFilePointerEx(handle_.Get(), to, nullptr, FILE_BEGIN) != 0;
  }

  std::int64_t Position() override {
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    LARGE_INTEGER now;
    if (!::SetFilePointerEx(handle_.Get(), zero, &now, FILE_CURRENT)) return -1;
    return now.QuadPart;
  }

  std::int64_t Size() override {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle_.Get(), &size)) return -1;
    return size.QuadPart;
  }

  bool SetLastWriteDosTime(std::uint32_t dosDateTime) override {
    FILETIME local;
    FILETIME utc;
    if (!::DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                                 static_cast<WORD>(dosDateTime & 0xFFFF), &local) ||
        !::LocalFileTimeToFileTime(&local, &utc))
      return false;
    return ::SetFileTime(handle_.Get(), nullptr, nullptr, &utc) != 0;
  }

 private:
  FileHandle handle_;
};

DWORD DesiredAccess(FileAccess access) {
  switch (access) {
    case FileAccess::Read:
      return GENERIC_READ;
    case FileAccess::Write:
      return GENERIC_WRITE;
    case FileAccess::ReadWrite:
      break;
  }
  return GENERIC_READ | GENERIC_WRITE;
}

// A rename that changes only the case of the name. Wine reports success for it but keeps the
// old name, so it goes through a free temporary name; on a failure the file keeps its old name.
bool RenameChangingCase(const std::string& from, const std::string& to) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temporary = from + ".~" + std::to_string(attempt);
    if (!::MoveFileExA(from.c_str(), temporary.c_str(), 0)) {
      if (::GetLastError() == ERROR_ALREADY_EXISTS || ::GetLastError() == ERROR_FILE_EXISTS) continue;
      return false;
    }
    if (::MoveFileExA(temporary.c_str(), to.c_str(), 0)) return true;
    ::MoveFileExA(temporary.c_str(), from.c_str(), 0);
    return false;
  }
  return false;
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::uint32_t Win32FileSystem::GetAttributes(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

bool Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return ::SetFileAttributesA(path.c_str(), attributes) != 0;
}

bool Win32FileSystem::CreateDirectory(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32FileSystem::RemoveDirectory(const std::string& path) {
  return ::RemoveDirectoryA(path.c_str()) != 0;
}

bool Win32FileSystem::DeleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool Win32FileSystem::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  return ::CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != 0;
}

bool Win32FileSystem::MoveFileReplacing(const std::string& from, const std::string& to) {
  if (from != to && ::lstrcmpiA(from.c_str(), to.c_str()) == 0) return RenameChangingCase(from, to);
  return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::vector<platform::FindEntry> Win32FileSystem::Find(const std::string& pattern) {
  std::vector<platform::FindEntry> entries;
  WIN32_FIND_DATAA data;
  FindHandle find(::FindFirstFileA(pattern.c_str(), &data));
  if (!find.Valid()) return entries;
  do {
    platform::FindEntry& entry = entries.emplace_back();
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  } while (::FindNextFileA(find.Get(), &data));
  return entries;
}

std::unique_ptr<platform::File> Win32FileSystem::Open(const std::string& path, FileAccess access,
                                                      FileShare share, FileCreate create) {
  const DWORD shareMode = share == FileShare::None ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  const DWORD disposition = create == FileCreate::CreateAlways ? CREATE_ALWAYS : OPEN_EXISTING;
  FileHandle handle(::CreateFileA(path.c_str(), DesiredAccess(access), shareMode, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.Valid()) return nullptr;
  return std::make_unique<Win32File>(std::move(handle));
}

std::optional<std::uint32_t> Win32FileSystem::LastWriteDosTime(const std::string& path) {
  // Read from the directory entry, so a file another handle holds exclusively still answers.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  FILETIME local;
  WORD date = 0;
  WORD time = 0;
  if (!::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !::FileTimeToDosDateTime(&local, &date, &time))
    return std::nullopt;
  return (static_cast<std::uint32_t>(date) << 16) | time;
}

std::uint32_t Win32FileSystem::DriveType(const std::string& root) { return ::GetDriveTypeA(root.c_str()); }

platform::DiskSpace Win32FileSystem::FreeSpace(const std::string& root) {
  platform::DiskSpace space;
  ULARGE_INTEGER freeToCaller;
  ULARGE_INTEGER total;
  ULARGE_INTEGER totalFree;
  space.ok = ::GetDiskFreeSpaceExA(root.c_str(), &freeToCaller, &total, &totalFree) != 0;
  if (!space.ok) {
    space.error = ::GetLastError();
    return space;
  }
  space.freeToCaller = freeToCaller.QuadPart;
  space.total = total.QuadPart;
  return space;
}

}  // namespace ov::win32
