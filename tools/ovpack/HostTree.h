#pragma once
// A product tree on the host: its files as package entries, in the order they are packed.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "package/PackageWriter.h"
#include "platform/Types.h"

namespace ov::ovpack {

struct TreeFile {
  std::filesystem::path HostPath;
  std::string RelativePath;  // "A\B\name", the sort key and the name an order file uses
  package::PackEntry Entry;
};

// The host's local time at a moment given in seconds since 1970; nullopt when the host cannot
// say. (Through a 32-bit time_t, as the 32-bit Windows runtime has, time would end in 2038.)
std::optional<platform::LocalTime> HostLocalTime(std::int64_t secondsSince1970);

// The file's last-write time as a local MS-DOS date and time; nullopt before 1980 or from 2044 on
// (the catalogue holds the date as a signed 32-bit number).
std::optional<std::int32_t> HostDosDate(const std::filesystem::path& file);

// Every file below the root, in byte order of RelativePath, or in the order the order file lists
// them (one relative path a line, "\" or "/" between folders; it must list every file exactly
// once). Every file that cannot go into a package is named in problems.
std::vector<TreeFile> ScanTree(const std::filesystem::path& root,
                               const std::optional<std::filesystem::path>& orderFile,
                               std::vector<std::string>& problems);

}  // namespace ov::ovpack
