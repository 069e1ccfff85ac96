#include "tests/reliability/MachineSnapshot.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/Files.h"

namespace ov::reliability {
namespace {

void Walk(platform::FileSystem& fs, const std::string& folder, MachineSnapshot& snapshot) {
  for (const platform::FindEntry& entry : fs.Find(folder + "\\*")) {
    if (entry.name == "." || entry.name == "..") continue;
    const std::string path = folder + "\\" + entry.name;
    if ((entry.attributes & platform::attr::kDirectory) != 0) {
      snapshot.folders.insert(path);
      Walk(fs, path, snapshot);
      continue;
    }
    FileState state;
    // An unreadable file still differs from any readable one.
    state.bytes = ReadWholeFile(fs, path).value_or("\x01<unreadable>");
    state.time = fs.LastWriteDosTime(path);
    state.attributes = entry.attributes;
    snapshot.files.emplace(path, std::move(state));
  }
}

std::set<std::string> RegistryLines(emulated::EmulatedMachine& machine) {
  const std::filesystem::path file = machine.HostRoot() / "snapshot.reg";
  std::set<std::string> lines;
  if (!machine.SaveRegistry(file)) {
    lines.insert("<registry could not be saved>");
    return lines;
  }
  std::ifstream in(file, std::ios::binary);
  std::string line, key;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line == "REGEDIT4") continue;
    if (line.front() == '[') {
      key = line;
      lines.insert(key);
    } else {
      lines.insert(key + " " + line);
    }
  }
  in.close();
  std::filesystem::remove(file);
  return lines;
}

template <typename Set>
void Compare(const Set& before, const Set& after, std::vector<std::string>& added,
             std::vector<std::string>& removed) {
  for (const auto& entry : after) {
    if (!before.count(entry)) added.push_back(entry);
  }
  for (const auto& entry : before) {
    if (!after.count(entry)) removed.push_back(entry);
  }
}

void List(std::ostream& out, const char* what, const std::vector<std::string>& entries) {
  for (const std::string& entry : entries) out << "\n  " << what << " " << entry;
}

}  // namespace

MachineSnapshot TakeSnapshot(emulated::EmulatedMachine& machine) {
  MachineSnapshot snapshot;
  Walk(machine.machine().files, "C:", snapshot);
  snapshot.registry = RegistryLines(machine);
  return snapshot;
}

SnapshotDiff Diff(const MachineSnapshot& before, const MachineSnapshot& after) {
  SnapshotDiff diff;
  for (const auto& [path, state] : after.files) {
    const auto old = before.files.find(path);
    if (old == before.files.end()) {
      diff.addedFiles.push_back(path);
    } else if (!(old->second == state)) {
      std::string what;
      if (old->second.bytes != state.bytes) what += " bytes";
      if (old->second.time != state.time) what += " date";
      if (old->second.attributes != state.attributes) what += " attributes";
      diff.changedFiles.push_back(path + " (" + what.substr(1) + ")");
    }
  }
  for (const auto& [path, state] : before.files) {
    if (!after.files.count(path)) diff.removedFiles.push_back(path);
  }
  Compare(before.folders, after.folders, diff.addedFolders, diff.removedFolders);
  Compare(before.registry, after.registry, diff.addedRegistry, diff.removedRegistry);
  return diff;
}

std::ostream& operator<<(std::ostream& out, const SnapshotDiff& diff) {
  List(out, "+file", diff.addedFiles);
  List(out, "-file", diff.removedFiles);
  List(out, "~file", diff.changedFiles);
  List(out, "+folder", diff.addedFolders);
  List(out, "-folder", diff.removedFolders);
  List(out, "+reg", diff.addedRegistry);
  List(out, "-reg", diff.removedRegistry);
  return out;
}

}  // namespace ov::reliability
