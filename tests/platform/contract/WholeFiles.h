#pragma once
// Whole-file helpers for the platform tests, written against the FileSystem interface only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace ov::platformtest {

inline bool WriteWholeFile(platform::FileSystem& files, const std::string& path, std::string_view bytes) {
  auto file = files.Open(path, platform::FileAccess::Write, platform::FileShare::None,
                         platform::FileCreate::CreateAlways);
  return file && file->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

inline std::optional<std::string> ReadWholeFile(platform::FileSystem& files, const std::string& path) {
  auto file = files.Open(path, platform::FileAccess::Read, platform::FileShare::ReadWrite,
                         platform::FileCreate::OpenExisting);
  if (!file) return std::nullopt;
  const std::int64_t size = file->Size();
  if (size < 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::uint32_t got = 0;
  if (!file->Read(bytes.data(), static_cast<std::uint32_t>(bytes.size()), got)) return std::nullopt;
  bytes.resize(got);
  return bytes;
}

}  // namespace ov::platformtest
