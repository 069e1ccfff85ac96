#include "support/RegistryRoutines.h"

#include <exception>
#include <memory>
#include <string>

#include "support/Text.h"

namespace ov {

namespace {

// Creates the key (with its parents) and, for a name that is not blank, writes one value.
// A blank name only creates the key, and succeeds whether or not that worked.
template <typename WriteValue>
bool WriteUnderLocalMachine(platform::Registry& registry, std::string_view keyPath, std::string_view name,
                            WriteValue write) {
  try {
    std::unique_ptr<platform::RegistryKey> key =
        registry.Create(platform::RegRoot::LocalMachine, std::string(keyPath));
    if (Trim(name).empty()) return true;
    return key && write(*key, std::string(name));
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool RegWriteString(platform::Registry& registry, std::string_view keyPath, std::string_view name,
                    std::string_view text) {
  return WriteUnderLocalMachine(
      registry, keyPath, name,
      [&](platform::RegistryKey& key, const std::string& n) { return key.SetString(n, std::string(text)); });
}

bool RegWriteInteger(platform::Registry& registry, std::string_view keyPath, std::string_view name,
                     std::int32_t value) {
  return WriteUnderLocalMachine(registry, keyPath, name,
                                [&](platform::RegistryKey& key, const std::string& n) {
                                  return key.SetDword(n, static_cast<std::uint32_t>(value));
                                });
}

}  // namespace ov
