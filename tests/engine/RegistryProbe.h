#pragma once
// Registry helpers for the registration tests: a registry and a shell that log every change made
// through them (successful ones only) in one list, and read-back helpers.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/Shell.h"

namespace ov::engine {

inline std::string RootName(platform::RegRoot root) {
  switch (root) {
    case platform::RegRoot::LocalMachine:
      return "HKLM";
    case platform::RegRoot::ClassesRoot:
      return "HKCR";
    case platform::RegRoot::CurrentUser:
      break;
  }
  return "HKCU";
}

// Entries read like REGEDIT lines: HKCR\.ov5 @="text", HKLM\Key "Name"=dword:0, create HKCR\.ov5,
// delete HKCR\.ov5, notify associations.
using ChangeLog = std::vector<std::string>;

class RecordingRegistry final : public platform::Registry {
 public:
  RecordingRegistry(platform::Registry& inner, ChangeLog& log) : inner_(inner), log_(log) {}

  std::unique_ptr<platform::RegistryKey> Open(platform::RegRoot root, const std::string& path,
                                              platform::RegAccess access) override {
    return Wrap(inner_.Open(root, path, access), root, path);
  }
  std::unique_ptr<platform::RegistryKey> Create(platform::RegRoot root, const std::string& path) override {
    auto key = Wrap(inner_.Create(root, path), root, path);
    if (key) log_.push_back("create " + RootName(root) + "\\" + path);
    return key;
  }
  bool DeleteKey(platform::RegRoot root, const std::string& path) override {
    const bool deleted = inner_.DeleteKey(root, path);
    if (deleted) log_.push_back("delete " + RootName(root) + "\\" + path);
    return deleted;
  }

 private:
  class Key final : public platform::RegistryKey {
   public:
    Key(std::unique_ptr<platform::RegistryKey> inner, std::string where, ChangeLog& log)
        : inner_(std::move(inner)), where_(std::move(where)), log_(log) {}
    bool SetString(const std::string& name, const std::string& text) override {
      const bool set = inner_->SetString(name, text);
      if (set) log_.push_back(where_ + " " + Name(name) + "=\"" + text + "\"");
      return set;
    }
    bool SetDword(const std::string& name, std::uint32_t number) override {
      const bool set = inner_->SetDword(name, number);
      if (set) log_.push_back(where_ + " " + Name(name) + "=dword:" + std::to_string(number));
      return set;
    }
    std::optional<platform::RegValue> Value(const std::string& name) override { return inner_->Value(name); }
    std::vector<std::string> SubKeyNames() override { return inner_->SubKeyNames(); }

   private:
    static std::string Name(const std::string& name) { return name.empty() ? "@" : "\"" + name + "\""; }
    std::unique_ptr<platform::RegistryKey> inner_;
    std::string where_;
    ChangeLog& log_;
  };

  std::unique_ptr<platform::RegistryKey> Wrap(std::unique_ptr<platform::RegistryKey> key,
                                              platform::RegRoot root, const std::string& path) {
    if (!key) return nullptr;
    return std::make_unique<Key>(std::move(key), RootName(root) + "\\" + path, log_);
  }

  platform::Registry& inner_;
  ChangeLog& log_;
};

class RecordingShell final : public platform::Shell {
 public:
  RecordingShell(platform::Shell& inner, ChangeLog& log) : inner_(inner), log_(log) {}
  void OpenDocument(platform::WindowHandle owner, const std::string& file) override {
    inner_.OpenDocument(owner, file);
  }
  void NotifyAssociationsChanged() override {
    log_.push_back("notify associations");
    inner_.NotifyAssociationsChanged();
  }
  bool SaveShellLink(const platform::ShellLink& link, const std::string& linkFile) override {
    return inner_.SaveShellLink(link, linkFile);
  }
  std::optional<platform::ShellLink> LoadShellLink(const std::string& linkFile) override {
    return inner_.LoadShellLink(linkFile);
  }

 private:
  platform::Shell& inner_;
  ChangeLog& log_;
};

// Read-back through the platform interface.
inline bool KeyExists(platform::Registry& registry, platform::RegRoot root, const std::string& path) {
  return registry.Open(root, path, platform::RegAccess::Read) != nullptr;
}

inline std::optional<platform::RegValue> ValueOf(platform::Registry& registry, platform::RegRoot root,
                                                 const std::string& path, const std::string& name) {
  const auto key = registry.Open(root, path, platform::RegAccess::Read);
  if (!key) return std::nullopt;
  return key->Value(name);
}

// The text of a REG_SZ value; nullopt when it is missing or of another type.
inline std::optional<std::string> StringOf(platform::Registry& registry, platform::RegRoot root,
                                           const std::string& path, const std::string& name) {
  const auto value = ValueOf(registry, root, path, name);
  if (!value || value->type != platform::RegType::String) return std::nullopt;
  return value->text;
}

// The number of a REG_DWORD value; nullopt when it is missing or of another type.
inline std::optional<std::uint32_t> DwordOf(platform::Registry& registry, platform::RegRoot root,
                                            const std::string& path, const std::string& name) {
  const auto value = ValueOf(registry, root, path, name);
  if (!value || value->type != platform::RegType::Dword) return std::nullopt;
  return value->number;
}

inline std::vector<std::string> SubKeysOf(platform::Registry& registry, platform::RegRoot root,
                                          const std::string& path) {
  const auto key = registry.Open(root, path, platform::RegAccess::Read);
  if (!key) return {};
  return key->SubKeyNames();
}

}  // namespace ov::engine
