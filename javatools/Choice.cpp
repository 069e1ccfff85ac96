#include "javatools/JavaTools.h"
#include "javatools/VersionText.h"

namespace ov::javatools {

namespace {

// Moves the records whose Version reaches the threshold into `kept`, in order, and frees the
// others, last first. The first kept record is selected.
template <class Record>
void Keep(std::vector<std::unique_ptr<Record>>& scanned, std::string_view threshold,
          std::vector<std::unique_ptr<Record>>& kept, Record*& selected) {
  for (std::unique_ptr<Record>& record : scanned) {
    if (VersionAtLeast(record->Version, threshold)) kept.push_back(std::move(record));
  }
  if (!kept.empty()) selected = kept.front().get();
  while (!scanned.empty()) scanned.pop_back();
}

}  // namespace

void CollectJDKs(platform::Machine& machine, std::vector<std::unique_ptr<TSunJDK>>& kept,
                 TSunJDK*& selected) {
  selected = nullptr;
  kept.clear();
  std::vector<std::unique_ptr<TSunJDK>> scanned;
  ScanJDKs(machine, scanned);  // a failed scan just leaves fewer records
  Keep(scanned, "1.5", kept, selected);
}

void CollectWTKs(platform::Machine& machine, std::vector<std::unique_ptr<TMobileWTK>>& kept,
                 TMobileWTK*& selected) {
  selected = nullptr;
  kept.clear();
  std::vector<std::unique_ptr<TMobileWTK>> scanned;
  ScanWTKs(machine, kJ2meWtkRoot, scanned);
  ScanWTKs(machine, kSunWtkRoot, scanned);
  Keep(scanned, "2.5", kept, selected);
}

}  // namespace ov::javatools
