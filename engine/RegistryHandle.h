#pragma once
// One registry handle: a root key and at most one open key below it. Creating a key and writing
// a value raise OvError when they fail; opening reports its result. A path is taken below the
// open key when one is open, else below the root.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace ov::engine {

class RegistryHandle {
 public:
  RegistryHandle(platform::Registry& registry, platform::RegRoot root);
  RegistryHandle(const RegistryHandle&) = delete;
  RegistryHandle& operator=(const RegistryHandle&) = delete;

  // Opens the key with full access, creating it and its missing parents when canCreate is set;
  // on success it becomes the open key, on failure the open key stays as it was.
  bool OpenKey(const std::string& path, bool canCreate);
  // Creates the key and its missing parents without opening it.
  void CreateKey(const std::string& path);
  // Under the open key; a name "" is its default value.
  void WriteString(const std::string& name, const std::string& text);
  void WriteInteger(const std::string& name, std::int32_t value);
  // The open key's subkeys; none when no key is open.
  std::vector<std::string> GetKeyNames();
  void CloseKey();
  // Deletes one key without subkeys; false when it could not be deleted.
  bool DeleteKey(const std::string& path);

 private:
  std::string FullPath(const std::string& path) const;
  platform::RegistryKey& OpenedKey(const std::string& valueName);

  platform::Registry& registry_;
  const platform::RegRoot root_;
  std::unique_ptr<platform::RegistryKey> key_;
  std::string keyPath_;  // from the root, of the open key
};

}  // namespace ov::engine
