#include "platform/win32/Win32Registry.h"

#include "platform/win32/Handles.h"

namespace ov::win32 {
namespace {

using platform::RegType;
using platform::RegValue;

// Key names are at most 255 characters.
constexpr std::size_t kMaxKeyName = 256;

HKEY RootKey(platform::RegRoot root) {
  switch (root) {
    case platform::RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case platform::RegRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case platform::RegRoot::CurrentUser:
      break;
  }
  return HKEY_CURRENT_USER;
}

class Win32RegistryKey final : public platform::RegistryKey {
 public:
  explicit Win32RegistryKey(RegKey key) : key_(std::move(key)) {}

  bool SetString(const std::string& name, const std::string& text) override {
    // The stored data carries the terminating zero.
    return ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
  }

  bool SetDword(const std::string& name, std::uint32_t number) override {
    const DWORD data = number;
    return ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof data) == ERROR_SUCCESS;
  }

  std::optional<RegValue> Value(const std::string& name) override {
    DWORD type = 0;
    std::string data;
    if (!Query(name, type, data)) return std::nullopt;
    RegValue value;
    switch (type) {
      case REG_SZ:
      case REG_EXPAND_SZ:
        if (!data.empty() && data.back() == '\0') data.pop_back();
        value.type = type == REG_SZ ? RegType::String : RegType::ExpandString;
        value.text = std::move(data);
        return value;
      case REG_DWORD:
        if (data.size() != sizeof(DWORD)) return std::nullopt;
        value.type = RegType::Dword;
        for (int i = 3; i >= 0; --i) value.number = (value.number << 8) | static_cast<unsigned char>(data[i]);
        return value;
      case REG_BINARY:
        value.type = RegType::Binary;
        value.text = std::move(data);
        return value;
      default:
        // A type this program neither writes nor reads (multi-string, QWORD, ...).
        return std::nullopt;
    }
  }

  std::vector<std::string> SubKeyNames() override {
    std::vector<std::string> names;
    DWORD longest = 0;
    if (::RegQueryInfoKeyA(key_.Get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return names;
    std::string buffer(longest + 1, '\0');
    DWORD index = 0;
    for (;;) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LONG result =
          ::RegEnumKeyExA(key_.Get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (result == ERROR_MORE_DATA && buffer.size() < kMaxKeyName) {
        // A longer name appeared since the query: the same index again with more room.
        buffer.resize(kMaxKeyName);
        continue;
      }
      if (result != ERROR_SUCCESS) break;
      names.emplace_back(buffer.data(), length);
      ++index;
    }
    return names;
  }

 private:
  // The value's type and raw bytes; false when it is missing or unreadable.
  bool Query(const std::string& name, DWORD& type, std::string& data) {
    DWORD size = 0;
    if (::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return false;
    for (;;) {
      data.resize(size);
      DWORD got = size;
      const LONG result = ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(data.data()), &got);
      if (result == ERROR_MORE_DATA) {
        // The value grew between the two queries.
        size = got > size ? got : size * 2 + 16;
        continue;
      }
      if (result != ERROR_SUCCESS) return false;
      data.resize(got);
      return true;
    }
  }

  RegKey key_;
};

}  // namespace

std::unique_ptr<platform::RegistryKey> Win32Registry::Open(platform::RegRoot root, const std::string& path,
                                                           platform::RegAccess access) {
  const REGSAM sam = access == platform::RegAccess::Read ? KEY_READ : KEY_ALL_ACCESS;
  RegKey key;
  if (::RegOpenKeyExA(RootKey(root), path.c_str(), 0, sam, key.Receive()) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(std::move(key));
}

std::unique_ptr<platform::RegistryKey> Win32Registry::Create(platform::RegRoot root,
                                                             const std::string& path) {
  RegKey key;
  if (::RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<Win32RegistryKey>(std::move(key));
}

bool Win32Registry::DeleteKey(platform::RegRoot root, const std::string& path) {
  // An empty path would name the root itself, which is never deleted.
  if (path.empty()) return false;
  return ::RegDeleteKeyA(RootKey(root), path.c_str()) == ERROR_SUCCESS;
}

}  // namespace ov::win32
