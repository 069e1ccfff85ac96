#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

#include "support/Folders.h"

namespace ov::fuzz {
namespace {

std::filesystem::path& HostRootToRemove() {
  static std::filesystem::path root;
  return root;
}

void RemoveHostRoot() {
  std::error_code ignored;
  if (!HostRootToRemove().empty()) std::filesystem::remove_all(HostRootToRemove(), ignored);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

std::string Relative(const std::filesystem::path& root, const std::filesystem::path& path) {
  return Lower(path.lexically_relative(root).generic_string());
}

bool IsAtOrBelow(const std::string& entry, const std::string& folder) {
  return entry == folder || (entry.size() > folder.size() && entry.compare(0, folder.size(), folder) == 0 &&
                             entry[folder.size()] == '/');
}

}  // namespace

void Fail(const char* file, int line, const std::string& what) {
  std::fprintf(stderr, "\n%s:%d: fuzz check failed: %s\n", file, line, what.c_str());
  std::fflush(stderr);
  std::abort();
}

emulated::EmulatedMachine& Machine() {
  static std::unique_ptr<emulated::EmulatedMachine> machine = [] {
    std::random_device random;
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() /
        ("ov-fuzz-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    HostRootToRemove() = root;
    std::atexit(RemoveHostRoot);
    auto made = std::make_unique<emulated::EmulatedMachine>(root);
    made->SetTempPath("C:\\windows\\temp\\");
    made->SetClock({2009, 6, 1, 8, 0, 0, 0});
    return made;
  }();
  return *machine;
}

void PutFile(platform::FileSystem& fs, const std::string& path, std::string_view bytes) {
  const std::size_t cut = path.rfind('\\');
  OV_FUZZ_CHECK(cut != std::string::npos && ForceFolder(fs, path.substr(0, cut)),
                "cannot make the folder of " + path);
  std::unique_ptr<platform::File> file = fs.Open(path, platform::FileAccess::Write, platform::FileShare::None,
                                                 platform::FileCreate::CreateAlways);
  OV_FUZZ_CHECK(file && file->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size())),
                "cannot write " + path);
}

HostTree Snapshot(emulated::EmulatedMachine& machine, const std::vector<std::string>& excludedFolders) {
  const std::filesystem::path& root = machine.HostRoot();
  std::vector<std::string> excluded;
  for (const std::string& folder : excludedFolders)
    excluded.push_back(Relative(root, machine.HostPath(folder)));

  HostTree tree;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    const std::string relative = Relative(root, it->path());
    if (std::any_of(excluded.begin(), excluded.end(),
                    [&](const std::string& folder) { return IsAtOrBelow(relative, folder); })) {
      if (it->is_directory()) it.disable_recursion_pending();
      continue;
    }
    HostEntry entry;
    entry.isFolder = it->is_directory();
    if (!entry.isFolder) {
      std::ifstream in(it->path(), std::ios::binary);
      entry.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    tree.emplace(relative, std::move(entry));
  }
  OV_FUZZ_CHECK(!ec, "cannot list the machine's host folder: " + ec.message());
  return tree;
}

std::string FirstDifference(const HostTree& before, const HostTree& after) {
  for (const auto& [path, entry] : before) {
    const auto found = after.find(path);
    if (found == after.end()) return path + " is gone";
    if (!(found->second == entry)) return path + " changed";
  }
  for (const auto& [path, entry] : after) {
    if (!before.count(path)) return path + " appeared";
  }
  return "";
}

std::string Printable(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 32 && c < 127 && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    }
  }
  return out;
}

}  // namespace ov::fuzz
