// The install log for the uninstaller, and the removal of copied files by the rollback.
#include "engine/InstallLog.h"

#include <exception>

#include "engine/InstallThread.h"
#include "support/Folders.h"
#include "support/ProfileFile.h"

namespace ov::engine {
namespace {

// One section of "Id_<i>" keys, in order; false at the first path that cannot be stored.
bool SetPaths(ProfileFile& log, const char* section, const std::vector<std::string>& paths) {
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (!log.SetString(section, "Id_" + std::to_string(i), paths[i])) return false;
  }
  return true;
}

std::int32_t HighestIndex(const std::vector<std::string>& paths) {
  return static_cast<std::int32_t>(paths.size()) - 1;
}

}  // namespace

std::string InstallLogPath(platform::FileSystem& files, const std::string& windowsDir,
                           const std::string& installFolder) {
  if (FolderExists(files, windowsDir)) return windowsDir + "\\OVinstall.log";
  return installFolder + "\\install.log";
}

std::int32_t WriteInstallLog(platform::FileSystem& files, const std::string& windowsDir,
                             const std::string& installFolder, const std::vector<std::string>& folders,
                             const std::vector<std::string>& fileList) {
  try {
    ProfileFile log(files, InstallLogPath(files, windowsDir, installFolder));
    // The values are gathered and the file written once: writing each value through would
    // rewrite the whole file once per value.
    const bool complete = log.SetInteger("Document", "Folders", HighestIndex(folders)) &&
                          log.SetInteger("Document", "Files", HighestIndex(fileList)) &&
                          SetPaths(log, "Folders", folders) && SetPaths(log, "Files", fileList);
    // What was gathered before a value that cannot be stored is written all the same.
    const bool saved = log.Save();
    return complete && saved ? 0 : -1;
  } catch (const std::exception&) {
    return -1;
  }
}

void RemoveCopiedFiles(platform::FileSystem& files, const std::vector<std::string>& folders,
                       const std::vector<std::string>& fileList) {
  for (const std::string& file : fileList) {
    if (files.FileExists(file)) files.DeleteFile(file);
  }
  // Last created first: each folder after what was put into it. Only an empty one goes.
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
    if (files.DirectoryExists(*folder)) files.RemoveDirectory(*folder);
  }
}

void TOVInstallThread::WriteInstallLog(const std::string& targetDir) {
  // The result is the log's own business: the install counts as done either way.
  if (Folders != nullptr && Files != nullptr) {
    engine::WriteInstallLog(machine_.files, WindowsDir, targetDir, *Folders, *Files);
  }
}

void TOVInstallThread::RemoveCopiedFiles() { engine::RemoveCopiedFiles(machine_.files, *Folders, *Files); }

}  // namespace ov::engine
