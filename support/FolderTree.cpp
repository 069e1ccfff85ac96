#include "support/FolderTree.h"

#include <cstddef>

#include "platform/Types.h"
#include "support/Text.h"

namespace ov {

namespace {

namespace attr = platform::attr;

// Read-only, hidden, system, volume label, directory and archive. "Normal" is what a file with
// none of them reports, so it counts as plain too. Anything else (compressed, encrypted,
// reparse point, ...) is left alone and never descended into.
constexpr std::uint32_t kPlainAttributes = 0x3F | attr::kNormal;

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

bool IsUnusual(std::uint32_t attributes) { return (attributes & ~kPlainAttributes) != 0; }

}  // namespace

void DeleteFolderTree(platform::FileSystem& fs, const std::string& folder, bool removeRoot) {
  std::vector<std::string> pending;
  std::vector<std::string> found;
  std::size_t nextPending = 0;
  std::string current = CollapseBackslashes(folder);
  while (true) {
    for (const platform::FindEntry& entry : fs.Find(current + "\\*")) {
      if (IsDotEntry(entry.name) || IsUnusual(entry.attributes)) continue;
      std::string path = current + "\\" + entry.name;
      if (entry.attributes & attr::kDirectory) {
        pending.push_back(path);
        found.push_back(std::move(path));
      } else {
        fs.DeleteFile(path);
      }
    }
    if (nextPending == pending.size()) break;
    current = std::move(pending[nextPending++]);
  }
  // Children were found after their parents, so the reverse order empties each folder first.
  for (auto it = found.rbegin(); it != found.rend(); ++it) fs.RemoveDirectory(*it);
  if (removeRoot) fs.RemoveDirectory(folder);
}

void DeleteFolderTreeRecursive(platform::FileSystem& fs, const std::string& folder, bool removeRoot) {
  const std::string base = CollapseBackslashes(folder);
  for (const platform::FindEntry& entry : fs.Find(base + "\\*")) {
    if (IsDotEntry(entry.name) || IsUnusual(entry.attributes)) continue;
    std::string path = base + "\\" + entry.name;
    if (!(entry.attributes & attr::kDirectory)) {
      fs.DeleteFile(path);
      continue;
    }
    if (fs.RemoveDirectory(path)) continue;  // it was empty
    std::vector<std::string> folders{path};
    ListSubfoldersDeletingFiles(fs, path, folders);
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) DeleteFolderTreeRecursive(fs, *it, true);
  }
  if (removeRoot) fs.RemoveDirectory(folder);
}

void ListSubfoldersDeletingFiles(platform::FileSystem& fs, const std::string& folder,
                                 std::vector<std::string>& list) {
  const std::string base = CollapseBackslashes(folder);
  for (const platform::FindEntry& entry : fs.Find(base + "\\*")) {
    // Only what a listing that asks for folders returns: nothing hidden, system or volume label.
    if (entry.attributes & (attr::kHidden | attr::kSystem | attr::kVolumeLabel)) continue;
    if (IsDotEntry(entry.name) || IsUnusual(entry.attributes)) continue;
    std::string path = base + "\\" + entry.name;
    if (entry.attributes == attr::kDirectory) {
      list.push_back(std::move(path));
    } else {
      fs.DeleteFile(path);
    }
  }
}

}  // namespace ov
