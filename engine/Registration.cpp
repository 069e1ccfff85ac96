// Registry and shell registration of the installed product, and its removal by the rollback.
// Not written yet: each step leaves the registry alone.
#include "engine/InstallThread.h"

namespace ov::engine {

void TOVInstallThread::WriteSettings() {}

void TOVInstallThread::RegisterFileTypes() {}

void TOVInstallThread::WriteUninstallEntry() {}

void TOVInstallThread::RemoveRegistration() {}

}  // namespace ov::engine
