// The install log for the uninstaller, and the removal of copied files by the rollback.
// Not written yet: neither step touches a file.
#include "engine/InstallThread.h"

namespace ov::engine {

void TOVInstallThread::WriteInstallLog(const std::string&) {}

void TOVInstallThread::RemoveCopiedFiles() {}

}  // namespace ov::engine
