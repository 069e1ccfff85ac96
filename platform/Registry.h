#pragma once
// The registry: keys under a root, REG_SZ / REG_EXPAND_SZ / REG_DWORD / binary values.
// Key and value names compare without regard to case.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ov::platform {

enum class RegRoot { LocalMachine, ClassesRoot, CurrentUser };
enum class RegAccess { Read, All };

enum class RegType : std::uint32_t { String = 1, ExpandString = 2, Binary = 3, Dword = 4 };

struct RegValue {
  RegType type = RegType::String;
  std::string text;          // String, ExpandString (without the terminating zero), Binary
  std::uint32_t number = 0;  // Dword
};

// An open key; closed when destroyed.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // A value name "" is the key's default value.
  virtual bool SetString(const std::string& name, const std::string& text) = 0;
  virtual bool SetDword(const std::string& name, std::uint32_t number) = 0;
  // Nullopt when the value does not exist or cannot be read.
  virtual std::optional<RegValue> Value(const std::string& name) = 0;
  // Subkey names in the order the registry enumerates them (index 0, 1, 2 ...).
  virtual std::vector<std::string> SubKeyNames() = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // An existing key (path "" is the root itself); null when it is missing or access is refused.
  virtual std::unique_ptr<RegistryKey> Open(RegRoot root, const std::string& path, RegAccess access) = 0;
  // Opens the key with full access, creating it and every missing parent; null on failure.
  virtual std::unique_ptr<RegistryKey> Create(RegRoot root, const std::string& path) = 0;
  // Deletes one key that has no subkeys.
  virtual bool DeleteKey(RegRoot root, const std::string& path) = 0;
};

}  // namespace ov::platform
