#include "wizard/FolderCheck.h"

#include <exception>

#include "platform/Types.h"
#include "support/Folders.h"
#include "support/Text.h"
#include "wizard/Texts.h"

namespace ov::wizard {
namespace {

struct DriveTypeRule {
  std::uint32_t type;
  std::string_view reason;
  bool accepted;
};

constexpr DriveTypeRule kDriveTypes[] = {
    {platform::drive::kUnknown, texts::kDriveUnknown, false},
    {platform::drive::kNoRootDir, texts::kDriveNoRoot, false},
    {platform::drive::kRemovable, texts::kDriveRemovable, true},
    {platform::drive::kFixed, texts::kDriveFixed, true},
    {platform::drive::kRemote, texts::kDriveRemote, true},
    {platform::drive::kCdRom, texts::kDriveCdRom, false},
    {platform::drive::kRamDisk, texts::kDriveRamDisk, true},
};

// Sets the reason for every type that has one; a type outside the table is refused without one.
bool AcceptDriveType(std::uint32_t type, std::string& reason) {
  for (const DriveTypeRule& rule : kDriveTypes) {
    if (rule.type == type) {
      reason = rule.reason;
      return rule.accepted;
    }
  }
  return false;
}

bool CanCreate(platform::FileSystem& fs, const std::string& path) {
  try {
    return ForceFolder(fs, path);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool CheckTargetFolder(platform::FileSystem& fs, std::string_view text, std::string& reason) {
  const std::string path = Trim(text);
  if (path.find(":\\") == std::string::npos) {
    reason = texts::InvalidPath(path);
    return false;
  }
  const std::string root = path.substr(0, path.find('\\')) + "\\";
  if (!AcceptDriveType(fs.DriveType(root), reason)) return false;

  // Decided by the query's own outcome: a stale error code left by an earlier call must not
  // refuse a good drive.
  const platform::DiskSpace space = fs.FreeSpace(root);
  if (!space.ok) {
    reason = texts::InvalidDrive(root, space.error);
    return false;
  }
  const std::uint64_t freeMB = space.freeToCaller / 1024 / 1024;
  if (freeMB <= kMinimumFreeMB) {
    reason = texts::NotEnoughSpace(root, freeMB);
    return false;
  }

  if (!CanCreate(fs, path)) {
    reason = texts::CannotCreate(path);
    return false;
  }
  fs.RemoveDirectory(path);  // only an empty folder goes; the install creates it again
  return true;
}

}  // namespace ov::wizard
