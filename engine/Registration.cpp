// Registry and shell registration of the installed product, and its removal by the rollback.
#include "engine/Registration.h"

#include <exception>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "engine/InstallThread.h"
#include "engine/RegistryHandle.h"
#include "support/Dates.h"
#include "support/Errors.h"
#include "support/Folders.h"
#include "support/RegistryRoutines.h"
#include "support/Product.h"

namespace ov::engine {
namespace {

using platform::RegRoot;

constexpr std::string_view kVendorKey = "SOFTWARE\\Velmorra";
constexpr std::string_view kProductKey = "SOFTWARE\\Velmorra\\Ornivale";
constexpr std::string_view kDialogsKey = "SOFTWARE\\Velmorra\\Ornivale\\Dialogs";
constexpr std::string_view kHelpKey = "SOFTWARE\\Velmorra\\Ornivale\\Help";
constexpr std::string_view kSystemKey = "SOFTWARE\\Velmorra\\Ornivale\\System";

constexpr std::string_view kUninstallParent = product::kUninstallParent;
constexpr std::string_view kProductGuid = product::kGuid;
constexpr std::string_view kUninstaller = "OVUninstall.exe";

std::string ProductExe(const std::string& targetDir) {
  return targetDir + std::string(product::kExeTail);
}

// The product opening one document: "<exe>" "%1".
std::string OpenCommand(const std::string& targetDir) { return "\"" + ProductExe(targetDir) + "\" \"%1\""; }

std::string ProductIcon(const std::string& targetDir) { return ProductExe(targetDir) + ",0"; }

// The product's page on the maker's site.
std::string ProductPage() {
  std::string site(product::kMakerUrl);
  while (!site.empty() && site.back() == '/') site.pop_back();
  return site + "/ornivale.htm";
}

struct SettingsValue {
  std::string_view key;
  std::string_view name;
  std::variant<std::string, std::int32_t> data;
};

// Windows shows "EstimatedSize" as kilobytes.
std::int32_t KiB(std::int32_t bytes) {
  if (bytes <= 0) return 0;
  return static_cast<std::int32_t>((static_cast<std::int64_t>(bytes) + 1023) / 1024);
}

// Moves the uninstaller into the Windows folder when there is one; the path of the copy that exists.
std::string PlaceUninstaller(platform::FileSystem& files, const std::string& targetDir,
                             const std::string& windowsDir) {
  const std::string installed = targetDir + "\\" + std::string(kUninstaller);
  if (!FolderExists(files, windowsDir)) return installed;
  const std::string moved = windowsDir + "\\" + std::string(kUninstaller);
  if (!files.FileExists(installed)) return moved;
  // Until the copy is complete the one in the install folder is the only uninstaller there is.
  if (!files.CopyFile(installed, moved, false)) return installed;
  files.DeleteFile(installed);
  return moved;
}

}  // namespace

void WriteSettings(platform::Registry& registry, const std::string& targetDir, const javatools::TSunJDK* jdk,
                   const javatools::TMobileWTK* wtk) {
  // Whether a key could be created shows in the first write into it.
  for (std::string_view key : {kVendorKey, kProductKey, kDialogsKey, kHelpKey, kSystemKey}) {
    RegWriteString(registry, key, "", "");
  }
  std::vector<SettingsValue> values = {
      {kHelpKey, "HWND", 0},
      {kHelpKey, "ARG", std::string()},
      {kSystemKey, "OpenProject", targetDir + "\\Projects"},
      {kSystemKey, "OpenDoc", std::string()},
      {kSystemKey, "OpenImg", std::string()},
      {kSystemKey, "OpenDocIdx", 0},
      {kSystemKey, "OpenImgIdx", 0},
      {kSystemKey, "DefColorSchema", std::string()},
      {kSystemKey, "DefStringsSchema", std::string()},
      {kSystemKey, "DefIconSchema", std::string()},
  };
  if (jdk != nullptr) {
    values.push_back({kSystemKey, "JavaHome", jdk->HomeDir});
    values.push_back({kSystemKey, "JavaVersion", jdk->Version});
  }
  if (wtk != nullptr) {
    values.push_back({kSystemKey, "RootWTK", wtk->HomeDir});
    values.push_back({kSystemKey, "WTKVersion", wtk->Version});
  }
  for (const SettingsValue& value : values) {
    const bool written =
        std::holds_alternative<std::string>(value.data)
            ? RegWriteString(registry, value.key, value.name, std::get<std::string>(value.data))
            : RegWriteInteger(registry, value.key, value.name, std::get<std::int32_t>(value.data));
    if (!written) return;
  }
}

void RegisterFileTypes(platform::Registry& registry, platform::Shell& shell, const std::string& targetDir) {
  const std::string command = OpenCommand(targetDir);
  const std::string icon = ProductIcon(targetDir);

  {
    RegistryHandle classes(registry, RegRoot::ClassesRoot);
    const std::pair<const char*, std::string> association[] = {
        {".ov5", "Ornivale Project Desc."},
        {".ov5\\DefaultIcon", icon},
        {".ov5\\Shell\\Open", "&Open"},
        {".ov5\\Shell\\Open\\Command", command},
    };
    for (const auto& [key, data] : association) {
      // A key that cannot be opened fails the write, and that ends the registration.
      classes.OpenKey(key, true);
      classes.WriteString("", data);
      classes.CloseKey();
    }
  }

  shell.NotifyAssociationsChanged();

  struct ApplicationKey {
    const char* path;
    std::vector<std::pair<std::string, std::string>> values;
  };
  const ApplicationKey application[] = {
      {"Applications\\ornivale.exe",
       {{"", "Ornivale Executable"},
        {"FriendlyAppName", "Ornivale - " + std::string(product::kTagline)}}},
      {"Applications\\Ornivale.exe\\DefaultIcon", {{"", icon}}},
      {"Applications\\Ornivale.exe\\shell", {{"", "open"}}},
      {"Applications\\Ornivale.exe\\shell\\open", {{"", "&Open Ornivale"}}},
      {"Applications\\Ornivale.exe\\shell\\open\\command", {{"", command}}},
      {"Applications\\Ornivale.exe\\SupportedTypes", {{".ov5", "Ornivale Project"}}},
  };
  RegistryHandle classes(registry, RegRoot::ClassesRoot);
  for (const ApplicationKey& key : application) {
    try {
      if (classes.OpenKey(key.path, true)) {
        for (const auto& [name, data] : key.values) classes.WriteString(name, data);
      }
    } catch (const std::exception&) {
      // The shell does without this key; the next one follows.
    }
    classes.CloseKey();
  }
}

void WriteUninstallEntry(platform::Machine& machine, const std::string& targetDir,
                         const std::string& windowsDir, std::int32_t packSize) {
  RegistryHandle entry(machine.registry, RegRoot::LocalMachine);
  // The entry goes below "Uninstall" or nowhere: never below the root itself.
  if (!entry.OpenKey(std::string(kUninstallParent), true)) {
    throw OvError("Failed to create key " + std::string(kUninstallParent));
  }
  entry.CreateKey(std::string(kProductGuid));
  if (!entry.OpenKey(std::string(kProductGuid), false)) {
    throw OvError("Failed to open key " + std::string(kProductGuid));
  }
  entry.WriteString("DisplayName", "Ornivale");
  entry.WriteString("DisplayVersion", std::string(product::kVersion));
  entry.WriteString("UnInstallString", PlaceUninstaller(machine.files, targetDir, windowsDir));
  entry.WriteString("Publisher", "Velmorra srl");
  const std::string page = ProductPage();
  entry.WriteString("URLInfoAbout", page);
  entry.WriteString("HelpLink", page);
  entry.WriteString("URLUpdateInfo", page);
  entry.WriteString("InstallLocation", targetDir);
  entry.WriteString("InstallDate", DateStamp(DayNumber(machine.system.Now())));
  entry.WriteString("InstallSource", "");
  entry.WriteInteger("EstimatedSize", KiB(packSize));
  entry.WriteInteger("NoModify", 1);
  entry.WriteInteger("NoRepair", 1);
}

void RemoveRegistration(platform::Registry& registry) {
  DeleteRegistryTree(registry, RegRoot::ClassesRoot, std::string(kProductGuid));
  DeleteRegistryTree(registry, RegRoot::ClassesRoot, ".ov5");
  DeleteRegistryTree(registry, RegRoot::ClassesRoot, "Applications\\ornivale.exe");
  // The product's second program: never written here, removed all the same.
  DeleteRegistryTree(registry, RegRoot::ClassesRoot, "Applications\\rirovor.exe");
  DeleteRegistryTree(registry, RegRoot::LocalMachine,
                     std::string(kUninstallParent) + "\\" + std::string(kProductGuid));
}

void DeleteRegistryTree(platform::Registry& registry, platform::RegRoot root, const std::string& keyPath) {
  // An empty path is the root key itself, which is never deleted.
  if (keyPath.empty()) return;
  // Each level has a handle of its own, so this key stays open while its subkeys go.
  RegistryHandle key(registry, root);
  if (!key.OpenKey(keyPath, false)) return;
  for (const std::string& name : key.GetKeyNames()) DeleteRegistryTree(registry, root, keyPath + "\\" + name);
  key.CloseKey();
  key.DeleteKey(keyPath);
}

void TOVInstallThread::WriteSettings() { engine::WriteSettings(machine_.registry, TargetDir, Jdk, Wtk); }

void TOVInstallThread::RegisterFileTypes() {
  engine::RegisterFileTypes(machine_.registry, machine_.shell, TargetDir);
}

void TOVInstallThread::WriteUninstallEntry() {
  engine::WriteUninstallEntry(machine_, TargetDir, WindowsDir, PackSize);
}

void TOVInstallThread::RemoveRegistration() { engine::RemoveRegistration(machine_.registry); }

}  // namespace ov::engine
