#pragma once
// Deleting everything below a folder. Nothing is reported; what cannot be deleted stays,
// and so does every folder above it. Entries with an attribute bit outside 0x3F are skipped.
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ov {

// Breadth-first.
void DeleteFolderTree(platform::FileSystem& fs, const std::string& folder, bool removeRoot);
// Depth-first.
void DeleteFolderTreeRecursive(platform::FileSystem& fs, const std::string& folder, bool removeRoot);
// Appends the plain subfolders of the folder to the list and deletes its other entries.
void ListSubfoldersDeletingFiles(platform::FileSystem& fs, const std::string& folder,
                                 std::vector<std::string>& list);

}  // namespace ov
