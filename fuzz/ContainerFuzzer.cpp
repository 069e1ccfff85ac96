// The container readers on any bytes: the header and catalogue parsers in memory, the file readers
// on the emulated machine (which must agree with the reading rules), and ParseCatalogue, whose every
// entry must name a file strictly inside the install folder.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "package/Container.h"
#include "support/Text.h"

namespace {

using ov::fuzz::Printable;

constexpr const char* kContainer = "C:\\fz\\c.pck";

bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
  for (std::string_view device : kDevices) {
    if (ov::EqualsNoCase(stem, device)) return true;
  }
  if (stem.size() != 4 ||
      !(ov::EqualsNoCase(stem.substr(0, 3), "COM") || ov::EqualsNoCase(stem.substr(0, 3), "LPT"))) {
    return false;
  }
  // Superscript one, two and three (Windows-1252) count as digits too.
  const auto digit = static_cast<unsigned char>(stem[3]);
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

// Whether Windows would put install folder + folder + "\" + name strictly below the install folder,
// in a plain file: the path is resolved as Windows does (either slash separates, repeated separators
// collapse, trailing dots and blanks drop, "." stays, ".." climbs); a folder that does not start with a
// separator (it extends the install folder's own name), a drive or stream colon, a component that
// resolves to nothing, and a device name count as escapes.
bool StaysInside(const std::string& folder, const std::string& name) {
  std::string relative = folder.empty() ? "\\" : folder;
  if (relative.front() != '\\' && relative.front() != '/') return false;
  if (relative.back() != '\\') relative += '\\';
  relative += name;
  if (relative.find(':') != std::string::npos) return false;
  int depth = 0;
  std::string last;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of("\\/", start);
    if (end == std::string::npos) end = relative.size();
    std::string part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    std::string kept = part;
    while (!kept.empty() && (kept.back() == '.' || kept.back() == ' ')) kept.pop_back();
    if (part == ".") continue;
    if (part == "..") {
      if (--depth < 0) return false;
      last.clear();
      continue;
    }
    if (kept.empty()) return false;
    ++depth;
    last = part;
  }
  return depth >= 1 && last == name && !IsDeviceName(name);
}

void CheckEntries(const std::vector<std::string>& lines) {
  std::vector<std::unique_ptr<ov::package::TPackItem>> items;
  ov::package::ParseCatalogue(lines, items);
  for (const auto& item : items) {
    OV_FUZZ_CHECK(item->Error == 0, "an entry with an error was kept");
    OV_FUZZ_CHECK(StaysInside(item->Folder, item->Name), "entry leaves the install folder: folder \"" +
                                                             Printable(item->Folder) + "\" name \"" +
                                                             Printable(item->Name) + "\"");
  }
}

// What the package reader must give for a container of these bytes, following the reading rules.
struct Expected {
  std::int32_t result;
  std::vector<std::string> lines;  // when result is 0
};

Expected ExpectedCatalogue(std::string_view data, std::int32_t offset) {
  const std::int64_t count = static_cast<std::int64_t>(data.size()) - offset - 2;
  if (count == 0 || count == -1) return {0, {}};
  if (count < -1) return {-1, {}};
  // An offset that cannot be moved to leaves the position at the start.
  const std::int64_t start = offset < 0 ? 0 : offset;
  if (start + count > static_cast<std::int64_t>(data.size())) return {-1, {}};
  return {0, ov::package::SplitCatalogueText(data.substr(static_cast<std::size_t>(start), count))};
}

void CheckFileReaders(std::string_view data) {
  ov::emulated::EmulatedMachine& machine = ov::fuzz::Machine();
  ov::platform::FileSystem& fs = machine.machine().files;
  ov::fuzz::PutFile(fs, kContainer, data);

  const std::int32_t offset = ov::package::ReadCatalogueOffset(fs, kContainer);
  const std::int32_t expectedOffset =
      data.size() < ov::package::kHeaderReadLength
          ? -1
          : ov::package::CatalogueOffsetFromHeader(data.substr(0, ov::package::kHeaderReadLength))
                .value_or(-1);
  OV_FUZZ_CHECK(offset == expectedOffset, "ReadCatalogueOffset gave " + std::to_string(offset) +
                                              ", expected " + std::to_string(expectedOffset));

  const Expected expected = ExpectedCatalogue(data, offset);
  const std::vector<std::string> before = {"line kept on failure"};
  for (const bool bundle : {false, true}) {
    std::vector<std::string> lines = before;
    const std::int32_t result = bundle ? ov::package::ReadBundleCatalogue(fs, kContainer, &lines)
                                       : ov::package::ReadPackageCatalogue(fs, kContainer, &lines);
    const std::string reader = bundle ? "ReadBundleCatalogue" : "ReadPackageCatalogue";
    OV_FUZZ_CHECK(result == expected.result, reader + " gave " + std::to_string(result) + ", expected " +
                                                 std::to_string(expected.result));
    OV_FUZZ_CHECK(lines == (result == 0 ? expected.lines : before),
                  reader + " gave other lines than expected");
    if (!bundle) CheckEntries(lines);
  }
  OV_FUZZ_CHECK(machine.OpenFileCount() == 0, "a reader left a file open");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view data(reinterpret_cast<const char*>(bytes), size);

  const std::vector<std::string> lines = ov::package::SplitCatalogueText(data);
  for (const std::string& line : lines) {
    OV_FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
                  "a catalogue line holds a line break or NUL: " + Printable(line));
  }
  CheckEntries(lines);
  ov::package::CatalogueOffsetFromHeader(data);

  CheckFileReaders(data);
  return 0;
}
