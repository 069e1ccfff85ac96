#pragma once
// Whole-file reading and writing over the platform's file system.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace ov {

// Exactly count bytes from the file's position; nullopt on an I/O error or a short read.
std::optional<std::string> ReadBytes(platform::File& file, std::uint64_t count);
// Writes all of the data; false when any of it could not be written.
bool WriteAll(platform::File& file, std::string_view data);

// The whole file, nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(platform::FileSystem& fs, const std::string& path);

// Writes the data under a temporary name beside the file and then replaces the file with it,
// so a failed write never leaves a truncated file where a good one stood.
bool WriteFileAtomically(platform::FileSystem& fs, const std::string& path, std::string_view data);

}  // namespace ov
