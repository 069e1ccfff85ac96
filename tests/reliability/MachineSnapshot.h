#pragma once
// What a user could find on the machine: every file (bytes, date, attributes) and folder of drive C:,
// and every registry key and value, so that two moments can be compared.
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/emulated/EmulatedMachine.h"

namespace ov::reliability {

struct FileState {
  std::string bytes;
  std::optional<std::uint32_t> time;
  std::uint32_t attributes = 0;
  bool operator==(const FileState&) const = default;
};

struct MachineSnapshot {
  std::map<std::string, FileState> files;  // by Windows path
  std::set<std::string> folders;
  // REGEDIT4 lines: "[key]" for a key, "[key] value line" for each of its values.
  std::set<std::string> registry;
};

MachineSnapshot TakeSnapshot(emulated::EmulatedMachine& machine);

struct SnapshotDiff {
  std::vector<std::string> addedFiles, removedFiles, changedFiles;
  std::vector<std::string> addedFolders, removedFolders;
  std::vector<std::string> addedRegistry, removedRegistry;
};

SnapshotDiff Diff(const MachineSnapshot& before, const MachineSnapshot& after);

std::ostream& operator<<(std::ostream& out, const SnapshotDiff& diff);

}  // namespace ov::reliability
