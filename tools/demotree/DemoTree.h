#pragma once
// The demo product tree that the default package is packed from: 207 files in 15 folders, in
// the order the package stores them, with fixed dates. The same input gives the same bytes.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace ov::demotree {

struct TreeFile {
  std::string Folder;  // "\" for the install folder, else "\A\B"
  std::string Name;
  std::string Data;
  platform::LocalTime Written;  // whole even seconds, as an MS-DOS date holds them
};

// The programs of the Windows build; a missing one is replaced by a text that says so.
struct Programs {
  std::optional<std::string> Product;      // ornivale.exe
  std::optional<std::string> Uninstaller;  // OVUninstall.exe
};

// All files together as large as the shipped product's: the help page takes up what the others
// leave, so the real programs of the Windows build change its size, not the total.
constexpr std::int64_t kTreeBytes = 25'762'935;

// Folders in the order extraction first meets them; "\Projects\Compiled" holds no file itself.
std::vector<std::string> FolderOrder();

// The tree in package order. `scratch` is a host folder the sample projects are made in.
std::vector<TreeFile> BuildDemoTree(const Programs& programs, const std::filesystem::path& scratch);

// "A\B\name" below the install folder, as an order file for ovpack lists it.
std::string RelativePath(const TreeFile& file);
// One relative path a line, in package order.
std::string OrderFileText(const std::vector<TreeFile>& files);

// Replaces the folder's contents with the tree and gives every file its date as the host's local
// time. Raises OvError when a file cannot be written or dated, and, touching nothing, when the folder
// holds files but not an earlier demo tree.
void WriteTree(const std::vector<TreeFile>& files, const std::filesystem::path& root);

}  // namespace ov::demotree
