#include "support/Streams.h"

#include <exception>
#include <limits>
#include <memory>
#include <optional>

#include "support/Errors.h"
#include "support/Files.h"

namespace ov {

namespace {

constexpr std::int32_t kFailed = -1;
constexpr std::int32_t kNoStream = -11;
constexpr std::int64_t kMaxOffset = std::numeric_limits<std::int32_t>::max();

}  // namespace

std::int32_t FileSizeOf(platform::FileSystem& fs, const std::string& file) {
  std::unique_ptr<platform::File> handle = fs.Open(
      file, platform::FileAccess::Read, platform::FileShare::ReadWrite, platform::FileCreate::OpenExisting);
  if (!handle) throw OvError("Cannot open file \"" + file + "\"");
  const std::int64_t size = handle->Size();
  if (size < 0) throw OvError("Cannot read the size of file \"" + file + "\"");
  // Containers count in 32-bit signed sizes: keep the low 32 bits.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(size));
}

std::int32_t AppendFileToStream(platform::FileSystem& fs, platform::File* stream, const std::string& file,
                                std::int32_t& size, std::int32_t& offset) {
  if (stream == nullptr) return kNoStream;
  try {
    std::optional<std::string> content;
    {
      std::unique_ptr<platform::File> handle = fs.Open(
          file, platform::FileAccess::Read, platform::FileShare::None, platform::FileCreate::OpenExisting);
      if (!handle) return kFailed;
      const std::int64_t fileSize = handle->Size();
      if (fileSize < 0 || fileSize > kMaxOffset) return kFailed;
      content = ReadBytes(*handle, static_cast<std::uint64_t>(fileSize));
      if (!content) return kFailed;
    }
    const std::int64_t end = stream->Size();
    // A member reaching past 2 GiB could not be addressed by its catalogue line.
    if (end < 0 || end + static_cast<std::int64_t>(content->size()) > kMaxOffset) return kFailed;
    if (!stream->Seek(end) || !WriteAll(*stream, *content)) return kFailed;
    size = static_cast<std::int32_t>(content->size());
    offset = static_cast<std::int32_t>(end);
    return 0;
  } catch (const std::exception&) {
    return kFailed;
  }
}

std::int32_t ExtractStreamRange(platform::FileSystem& fs, platform::File* stream, const std::string& file,
                                std::int32_t size, std::int32_t offset) {
  if (stream == nullptr) return kNoStream;
  try {
    // Checked against the stream first, so a hostile size never sizes the buffer.
    const std::int64_t streamSize = stream->Size();
    if (size < 0 || offset < 0 || streamSize < 0 || std::int64_t{offset} + size > streamSize) return kFailed;
    if (!stream->Seek(offset)) return kFailed;
    const std::optional<std::string> content = ReadBytes(*stream, static_cast<std::uint64_t>(size));
    if (!content) return kFailed;  // nothing created yet
    bool written = false;
    {
      std::unique_ptr<platform::File> target = fs.Open(
          file, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
      if (!target) return kFailed;
      written = WriteAll(*target, *content);
    }
    if (written) return 0;
    // A truncated member would pass for a good one.
    fs.DeleteFile(file);
    return kFailed;
  } catch (const std::exception&) {
    return kFailed;
  }
}

}  // namespace ov
