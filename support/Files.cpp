#include "support/Files.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <limits>
#include <memory>

namespace ov {

namespace {

constexpr std::uint64_t kMaxIo = std::numeric_limits<std::uint32_t>::max();

// A name beside the target that no file has yet.
std::string TemporaryNameBeside(platform::FileSystem& fs, const std::string& path) {
  static std::atomic<std::uint32_t> counter{0};
  while (true) {
    std::string candidate = path + ".tmp" + std::to_string(counter.fetch_add(1) + 1);
    if (!fs.FileExists(candidate) && !fs.DirectoryExists(candidate)) return candidate;
  }
}

}  // namespace

std::optional<std::string> ReadBytes(platform::File& file, std::uint64_t count) {
  try {
    if (count > std::string().max_size()) return std::nullopt;
    std::string buffer(static_cast<std::size_t>(count), '\0');
    std::uint64_t done = 0;
    while (done < count) {
      const auto chunk = static_cast<std::uint32_t>(std::min(count - done, kMaxIo));
      std::uint32_t got = 0;
      if (!file.Read(buffer.data() + done, chunk, got) || got == 0) return std::nullopt;
      done += got;
    }
    return buffer;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

bool WriteAll(platform::File& file, std::string_view data) {
  while (!data.empty()) {
    const auto chunk = static_cast<std::uint32_t>(std::min<std::uint64_t>(data.size(), kMaxIo));
    if (!file.Write(data.data(), chunk)) return false;
    data.remove_prefix(chunk);
  }
  return true;
}

std::optional<std::string> ReadWholeFile(platform::FileSystem& fs, const std::string& path) {
  std::unique_ptr<platform::File> file = fs.Open(
      path, platform::FileAccess::Read, platform::FileShare::ReadWrite, platform::FileCreate::OpenExisting);
  if (!file) return std::nullopt;
  const std::int64_t size = file->Size();
  if (size < 0) return std::nullopt;
  return ReadBytes(*file, static_cast<std::uint64_t>(size));
}

bool WriteFileAtomically(platform::FileSystem& fs, const std::string& path, std::string_view data) {
  const std::string temporary = TemporaryNameBeside(fs, path);
  bool written = false;
  {
    std::unique_ptr<platform::File> file =
        fs.Open(temporary, platform::FileAccess::Write, platform::FileShare::None,
                platform::FileCreate::CreateAlways);
    if (!file) return false;
    written = WriteAll(*file, data);
  }  // closed before it is moved
  if (written && fs.MoveFileReplacing(temporary, path)) return true;
  fs.DeleteFile(temporary);
  return false;
}

}  // namespace ov
