#pragma once
// The registry of the emulated machine, in memory: key and value names compare without regard
// to case and keep the case they were created with; subkeys enumerate in the order of their
// upper-case names, values in the order they were first set. HKEY_CLASSES_ROOT is
// HKEY_LOCAL_MACHINE\Software\Classes. Saved to and loaded from REGEDIT4 .reg text.
#include <filesystem>
#include <memory>
#include <string>

#include "platform/Registry.h"

namespace ov::emulated {

struct RegistryState;

class EmulatedRegistry final : public platform::Registry {
 public:
  EmulatedRegistry();

  std::unique_ptr<platform::RegistryKey> Open(platform::RegRoot root, const std::string& path,
                                              platform::RegAccess access) override;
  std::unique_ptr<platform::RegistryKey> Create(platform::RegRoot root, const std::string& path) override;
  bool DeleteKey(platform::RegRoot root, const std::string& path) override;

  // Sets a value of any type, creating the key and its parents; false for a bad path. Faults do
  // not apply (this sets up a test).
  bool SetValue(platform::RegRoot root, const std::string& path, const std::string& name,
                const platform::RegValue& value);

  // Every key as REGEDIT4 text; false when the file cannot be written.
  bool Save(const std::filesystem::path& regFile);
  // Adds the file's keys and values (as importing does); nothing changes when the file cannot be
  // read or is not valid REGEDIT4 text. Faults do not apply.
  bool Load(const std::filesystem::path& regFile);

  void DenyWritesUnder(platform::RegRoot root, const std::string& keyPrefix);
  void ClearFaults();

 private:
  std::shared_ptr<RegistryState> state_;
};

}  // namespace ov::emulated
