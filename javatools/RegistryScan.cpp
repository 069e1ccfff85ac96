#include <exception>
#include <optional>
#include <string>

#include "javatools/JavaTools.h"
#include "platform/Registry.h"
#include "support/Folders.h"

namespace ov::javatools {

namespace {

using platform::RegType;

// A string or expandable-string value as text, unexpanded; a missing or empty value (or a key
// that could not be opened) reads as "". Nullopt for a value of any other type.
std::optional<std::string> ReadFolderValue(platform::RegistryKey* key, const std::string& name) {
  if (key == nullptr) return std::string();
  const std::optional<platform::RegValue> value = key->Value(name);
  if (!value) return std::string();
  if (value->type == RegType::String || value->type == RegType::ExpandString) {
    // The text ends at its first zero, as every Windows call that takes the path would read it.
    return value->text.substr(0, value->text.find('\0'));
  }
  if (value->type == RegType::Binary && value->text.empty()) return std::string();
  return std::nullopt;
}

template <class Record>
std::int32_t ScanRoot(platform::Machine& machine, std::string_view rootPath, const std::string& valueName,
                      std::vector<std::unique_ptr<Record>>& list) {
  const std::string root(rootPath);
  const std::unique_ptr<platform::RegistryKey> rootKey =
      machine.registry.Open(platform::RegRoot::LocalMachine, root, platform::RegAccess::Read);
  if (!rootKey) return kScanNoRoot;
  try {
    for (const std::string& name : rootKey->SubKeyNames()) {
      const std::unique_ptr<platform::RegistryKey> subKey = machine.registry.Open(
          platform::RegRoot::LocalMachine, root + "\\" + name, platform::RegAccess::Read);
      const std::optional<std::string> folder = ReadFolderValue(subKey.get(), valueName);
      if (!folder) return kScanStopped;
      // The folder is tested as registered; the record keeps it trimmed.
      if (FolderExists(machine.files, *folder)) {
        list.push_back(std::make_unique<Record>(machine.files, name, *folder));
      }
    }
  } catch (const std::exception&) {
    return kScanStopped;
  }
  return 0;
}

}  // namespace

std::int32_t ScanJDKs(platform::Machine& machine, std::vector<std::unique_ptr<TSunJDK>>& list) {
  return ScanRoot(machine, kJdkRoot, "JavaHome", list);
}

std::int32_t ScanWTKs(platform::Machine& machine, std::string_view rootPath,
                      std::vector<std::unique_ptr<TMobileWTK>>& list) {
  return ScanRoot(machine, rootPath, "InstallDir", list);
}

}  // namespace ov::javatools
