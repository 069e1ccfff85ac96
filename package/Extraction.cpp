#include "package/Extraction.h"

#include <limits>
#include <memory>
#include <optional>
#include <string_view>

#include "support/Folders.h"

namespace ov::package {

namespace {

constexpr std::size_t kCopyPiece = 4 * 1024 * 1024;

// The temporary folder to use, "" when neither it nor the fallback exists or can be made.
std::string UsableTempFolder(platform::Machine& machine) {
  std::string folder = machine.system.TempPath();
  if (!folder.empty() && FolderExists(machine.files, folder)) {
    if (folder.back() != '\\') folder += '\\';
    return folder;
  }
  folder = kFallbackTempFolder;
  if (FolderExists(machine.files, folder)) return folder;
  try {
    if (ForceFolder(machine.files, folder)) return folder;
  } catch (const std::exception&) {
  }
  return "";
}

}  // namespace

std::string CopyPackageResource(platform::Machine& machine, std::int32_t& packSize) {
  const std::string folder = UsableTempFolder(machine);
  std::optional<std::string_view> resource =
      machine.resources.Find(kPackageResource, platform::ResourceType::RcData);
  if (!resource) return "";
  if (resource->size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return "";
  packSize = static_cast<std::int32_t>(resource->size());
  if (packSize <= 0 || folder.empty()) return "";

  const std::string path = folder + kPackageCopyName;
  bool written = true;
  {
    // Straight from the resource's bytes, piece by piece, each released once written: no more than
    // one piece of the package needs to be in memory.
    std::unique_ptr<platform::File> copy = machine.files.Open(
        path, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
    if (!copy) return "";
    for (std::size_t offset = 0; written && offset < resource->size(); offset += kCopyPiece) {
      const std::string_view piece = resource->substr(offset, kCopyPiece);
      written = copy->Write(piece.data(), static_cast<std::uint32_t>(piece.size()));
      machine.resources.Release(piece);
    }
  }
  if (!written) {
    machine.files.DeleteFile(path);
    return "";
  }
  return path;
}

void SetFileDate(platform::File& file, std::int32_t date) {
  if (date > 0) file.SetLastWriteDosTime(static_cast<std::uint32_t>(date));
}

}  // namespace ov::package
