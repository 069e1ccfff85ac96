#pragma once
// The install log the uninstaller reads, and the removal of what an install copied.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ov::engine {

// "OVinstall.log" in the Windows folder, or "install.log" in the install folder when the Windows
// folder does not exist.
std::string InstallLogPath(platform::FileSystem& files, const std::string& windowsDir,
                           const std::string& installFolder);

// Writes the counts (minus one) and every recorded path into the log, keeping keys of an earlier
// log that are not written again. 0, or -1 when the log could not be written whole; what was
// written before the failure stays.
std::int32_t WriteInstallLog(platform::FileSystem& files, const std::string& windowsDir,
                             const std::string& installFolder, const std::vector<std::string>& folders,
                             const std::vector<std::string>& fileList);

// Deletes the recorded files, first to last, then removes the recorded folders, last to first.
// What cannot be deleted stays, and so do the folders that hold it.
void RemoveCopiedFiles(platform::FileSystem& files, const std::vector<std::string>& folders,
                       const std::vector<std::string>& fileList);

}  // namespace ov::engine
