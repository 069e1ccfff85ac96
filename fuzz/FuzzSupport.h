#pragma once
// What the fuzz targets share: one emulated machine per process, checks that stop the run with a
// report, files put on the machine, and a record of its host folder to prove what an input touched.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/emulated/EmulatedMachine.h"

namespace ov::fuzz {

// Prints the failed condition and aborts, which libFuzzer reports as a crash with the input.
[[noreturn]] void Fail(const char* file, int line, const std::string& what);

#define OV_FUZZ_CHECK(condition, what)                              \
  do {                                                              \
    if (!(condition)) ::ov::fuzz::Fail(__FILE__, __LINE__, (what)); \
  } while (false)

// The process's machine, made on first use in a fresh host folder under the temporary folder and
// removed at exit. Its clock stands still, so documents get the same stamps on every run.
emulated::EmulatedMachine& Machine();

// Writes the bytes as the whole file, creating the folders above it.
void PutFile(platform::FileSystem& fs, const std::string& path, std::string_view bytes);

// Every entry below the host folder, by path relative to it (lower case, "/"), with a file's bytes.
struct HostEntry {
  bool isFolder = false;
  std::string bytes;
  bool operator==(const HostEntry&) const = default;
};
using HostTree = std::map<std::string, HostEntry>;

// The tree, leaving out the entries at or below the given Windows folders.
HostTree Snapshot(emulated::EmulatedMachine& machine, const std::vector<std::string>& excludedFolders);

// The first entry that differs between the two trees, "" when they are the same.
std::string FirstDifference(const HostTree& before, const HostTree& after);

// A value to print in a report: control bytes and bytes above 126 as \xNN.
std::string Printable(std::string_view text);

}  // namespace ov::fuzz
