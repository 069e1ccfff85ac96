#include "platform/emulated/EmulatedMachine.h"

#include <system_error>
#include <utility>

#include "platform/emulated/Clock.h"
#include "platform/emulated/EmulatedFileSystem.h"
#include "platform/emulated/EmulatedMessages.h"
#include "platform/emulated/EmulatedRegistry.h"
#include "platform/emulated/EmulatedResources.h"
#include "platform/emulated/EmulatedShell.h"
#include "platform/emulated/EmulatedSystem.h"

namespace ov::emulated {

namespace {

// The shell folders of a fresh Wine prefix, by CSIDL.
constexpr std::pair<int, const char*> kStandardFolders[] = {
    {0x00, "C:\\users\\root\\Desktop"},
    {0x02, "C:\\users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
    {0x10, "C:\\users\\root\\Desktop"},
    {0x17, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
    {0x19, "C:\\users\\Public\\Desktop"},
    {0x1A, "C:\\users\\root\\AppData\\Roaming"},
    {0x23, "C:\\ProgramData"},
    {0x24, "C:\\windows"},
    {0x26, "C:\\Program Files"},
};

}  // namespace

struct EmulatedMachine::Impl {
  explicit Impl(std::filesystem::path hostRoot)
      : root(std::move(hostRoot)),
        clock(std::make_shared<Clock>()),
        files(root, clock),
        system(clock),
        shell(files),
        machine{files, registry, system, shell, messages, resources} {}

  std::filesystem::path root;
  std::shared_ptr<Clock> clock;
  EmulatedFileSystem files;
  EmulatedRegistry registry;
  EmulatedSystem system;
  EmulatedShell shell;
  EmulatedMessages messages;
  EmulatedResources resources;
  platform::Machine machine;
};

EmulatedMachine::EmulatedMachine(std::filesystem::path hostRoot)
    : impl_(std::make_unique<Impl>(std::move(hostRoot))) {
  std::error_code ec;
  std::filesystem::create_directories(impl_->files.HostPath("C:\\") / "windows" / "temp", ec);
}

EmulatedMachine::~EmulatedMachine() = default;

platform::Machine& EmulatedMachine::machine() { return impl_->machine; }
const std::filesystem::path& EmulatedMachine::HostRoot() const { return impl_->root; }

void EmulatedMachine::SetDrive(char letter, std::uint32_t driveType) {
  impl_->files.SetDrive(letter, driveType);
}
void EmulatedMachine::SetFreeSpace(char letter, std::uint64_t freeToCaller, std::uint64_t total) {
  impl_->files.SetFreeSpace(letter, freeToCaller, total);
}
std::filesystem::path EmulatedMachine::HostPath(const std::string& windowsPath) {
  return impl_->files.HostPath(windowsPath);
}
std::size_t EmulatedMachine::OpenFileCount() { return impl_->files.OpenFileCount(); }

void EmulatedMachine::SetTempPath(std::string path) { impl_->system.SetTempPath(std::move(path)); }
void EmulatedMachine::SetWindowsDirectory(std::string path) {
  impl_->system.SetWindowsDirectory(std::move(path));
}
void EmulatedMachine::SetSpecialFolder(int csidl, std::optional<std::string> path) {
  impl_->system.SetSpecialFolder(csidl, std::move(path));
}

void EmulatedMachine::UseStandardFolders() {
  for (const auto& [csidl, path] : kStandardFolders) {
    // Created one level at a time through the emulated disk, so names keep their case.
    std::string partial = "C:";
    std::string_view rest = path + 2;
    while (!rest.empty()) {
      const std::size_t next = rest.find('\\', 1);
      partial += rest.substr(0, next);
      rest = next == std::string_view::npos ? std::string_view() : rest.substr(next);
      if (!impl_->files.DirectoryExists(partial)) impl_->files.CreateDirectory(partial);
    }
    impl_->system.SetSpecialFolder(csidl, path);
  }
}

void EmulatedMachine::SetClock(const platform::LocalTime& time) { impl_->system.SetClock(time); }
void EmulatedMachine::SetDecimalSeparator(char separator) { impl_->system.SetDecimalSeparator(separator); }

void EmulatedMachine::SetResource(const std::string& name, platform::ResourceType type, std::string bytes) {
  impl_->resources.Set(name, type, std::move(bytes));
}
void EmulatedMachine::RemoveResource(const std::string& name, platform::ResourceType type) {
  impl_->resources.Remove(name, type);
}

WindowHandle EmulatedMachine::AddForeignWindow(const std::string& className) {
  return impl_->messages.AddForeignWindow(className);
}
WindowHandle EmulatedMachine::CreateWindow(const std::string& className, WindowProc proc) {
  return impl_->messages.CreateWindow(className, std::move(proc));
}
void EmulatedMachine::DestroyWindow(WindowHandle window) { impl_->messages.DestroyWindow(window); }
std::size_t EmulatedMachine::PumpPending() { return impl_->messages.PumpPending(); }
bool EmulatedMachine::PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  return impl_->messages.PumpUntil(condition, timeout);
}

std::vector<std::string> EmulatedMachine::OpenedDocuments() { return impl_->shell.OpenedDocuments(); }
int EmulatedMachine::AssociationChangeNotifications() {
  return impl_->shell.AssociationChangeNotifications();
}

bool EmulatedMachine::SetRegistryValue(platform::RegRoot root, const std::string& keyPath,
                                       const std::string& name, const platform::RegValue& value) {
  return impl_->registry.SetValue(root, keyPath, name, value);
}
bool EmulatedMachine::SaveRegistry(const std::filesystem::path& regFile) {
  return impl_->registry.Save(regFile);
}
bool EmulatedMachine::LoadRegistry(const std::filesystem::path& regFile) {
  return impl_->registry.Load(regFile);
}

void EmulatedMachine::FailWritesUnder(const std::string& windowsPathPrefix) {
  impl_->files.FailWritesUnder(windowsPathPrefix);
}
void EmulatedMachine::FillDiskAfter(char letter, std::uint64_t bytes) {
  impl_->files.FillDiskAfter(letter, bytes);
}
void EmulatedMachine::DenyRegistryWritesUnder(platform::RegRoot root, const std::string& keyPrefix) {
  impl_->registry.DenyWritesUnder(root, keyPrefix);
}
void EmulatedMachine::ClearFaults() {
  impl_->files.ClearFaults();
  impl_->registry.ClearFaults();
}

}  // namespace ov::emulated
