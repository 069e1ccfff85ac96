#pragma once
// The pieces of the extraction that need nothing of the install job: copying the package out of
// the program, and dating the written files.
#include <cstdint>
#include <string>

#include "platform/Machine.h"

namespace ov::package {

constexpr const char* kPackageResource = "OVPACK";
constexpr const char* kPackageCopyName = "ovpack.pck";
constexpr const char* kFallbackTempFolder = "c:\\temp\\";

// Writes the program's RCDATA "OVPACK" whole into "ovpack.pck" in the temporary folder (or in
// "c:\temp\", created when missing, when that folder does not exist), front to back in pieces of
// 4 MiB, each released to the platform once written. packSize becomes the resource's size, 0
// without one. Returns the copy's path, "" when none was written; a copy that failed part-way is
// removed again.
std::string CopyPackageResource(platform::Machine& machine, std::int32_t& packSize);

// Gives a file open for writing its recorded last-write time (local MS-DOS date and time); set
// before the handle closes, the time stays. A date of 0 or below, and every failure, leave the
// file's time alone.
void SetFileDate(platform::File& file, std::int32_t date);

}  // namespace ov::package
