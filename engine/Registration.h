#pragma once
// The installed product's registry entries: its settings, the ".ov5" association and the
// application's shell keys, the uninstall entry, and their removal by a rollback.
#include <cstdint>
#include <string>

#include "javatools/JavaTools.h"
#include "platform/Machine.h"

namespace ov::engine {

// Creates the settings keys and writes their values in order, stopping quietly at the first
// write that fails. The Java values are written only for a kit or toolkit that is set.
void WriteSettings(platform::Registry& registry, const std::string& targetDir, const javatools::TSunJDK* jdk,
                   const javatools::TMobileWTK* wtk);

// The ".ov5" association, then the shell's notice, then the application keys. A failure in the
// association raises OvError; an application key that cannot be written is skipped.
void RegisterFileTypes(platform::Registry& registry, platform::Shell& shell, const std::string& targetDir);

// The uninstall entry; the uninstaller moves from the install folder to the Windows folder when
// that folder exists, and the entry names the copy that exists. Any failure raises OvError.
void WriteUninstallEntry(platform::Machine& machine, const std::string& targetDir,
                         const std::string& windowsDir, std::int32_t packSize);

// Deletes the association, the application keys and the uninstall entry; the settings stay.
void RemoveRegistration(platform::Registry& registry);

// Deletes the key with everything below it, deepest keys first; nothing for a missing key.
void DeleteRegistryTree(platform::Registry& registry, platform::RegRoot root, const std::string& keyPath);

}  // namespace ov::engine
