#include "platform/emulated/EmulatedShell.h"

#include <string_view>

namespace ov::emulated {

namespace {

constexpr std::string_view kHeader = "[ShellLink]";
constexpr std::uint32_t kMaxLinkFile = 64 * 1024;

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

EmulatedShell::EmulatedShell(platform::FileSystem& files) : files_(files) {}

std::vector<std::string> EmulatedShell::OpenedDocuments() {
  std::lock_guard lock(mutex_);
  return openedDocuments_;
}

int EmulatedShell::AssociationChangeNotifications() {
  std::lock_guard lock(mutex_);
  return associationChanges_;
}

void EmulatedShell::OpenDocument(platform::WindowHandle, const std::string& file) {
  std::lock_guard lock(mutex_);
  openedDocuments_.push_back(file);
}

void EmulatedShell::NotifyAssociationsChanged() {
  std::lock_guard lock(mutex_);
  ++associationChanges_;
}

bool EmulatedShell::SaveShellLink(const platform::ShellLink& link, const std::string& linkFile) {
  if (HasLineBreak(link.target) || HasLineBreak(link.arguments) || HasLineBreak(link.workingDirectory)) {
    return false;
  }
  const std::string text = std::string(kHeader) + "\r\ntarget=" + link.target +
                           "\r\narguments=" + link.arguments + "\r\nworkdir=" + link.workingDirectory +
                           "\r\n";
  auto file = files_.Open(linkFile, platform::FileAccess::Write, platform::FileShare::None,
                          platform::FileCreate::CreateAlways);
  return file && file->Write(text.data(), static_cast<std::uint32_t>(text.size()));
}

std::optional<platform::ShellLink> EmulatedShell::LoadShellLink(const std::string& linkFile) {
  auto file = files_.Open(linkFile, platform::FileAccess::Read, platform::FileShare::ReadWrite,
                          platform::FileCreate::OpenExisting);
  if (!file) return std::nullopt;
  const std::int64_t size = file->Size();
  if (size < 0 || size > kMaxLinkFile) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  std::uint32_t got = 0;
  if (!file->Read(text.data(), static_cast<std::uint32_t>(size), got) || got != size) return std::nullopt;

  std::string_view rest = text;
  bool headerSeen = false;
  platform::ShellLink link;
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    if (end == rest.npos) return std::nullopt;
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 2);
    if (!headerSeen) {
      if (line != kHeader) return std::nullopt;
      headerSeen = true;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == line.npos) return std::nullopt;
    const std::string_view key = line.substr(0, equals);
    const std::string value(line.substr(equals + 1));
    if (key == "target") {
      link.target = value;
    } else if (key == "arguments") {
      link.arguments = value;
    } else if (key == "workdir") {
      link.workingDirectory = value;
    } else {
      return std::nullopt;
    }
  }
  if (!headerSeen) return std::nullopt;
  return link;
}

}  // namespace ov::emulated
