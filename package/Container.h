#pragma once
// The container shared by the package and the project bundles: a three-line text header, the
// members' bytes one after the other, and a text catalogue at the end.
//
//   line 1  magic + identifier              CR LF
//   line 2  catalogue offset, decimal       CR LF
//   line 3  "-" and "x" filler to 99 bytes  CR LF
//   member bytes ...
//   catalogue lines, each ended by CR LF
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "package/PackItem.h"
#include "platform/FileSystem.h"

namespace ov::package {

constexpr std::string_view kPackageMagic = "OrnivalePackage:";
constexpr std::string_view kBundleMagic = "OrnivaleProject:";
// The header's usual length; longer only when lines 1 and 2 take more than 96 bytes.
constexpr std::size_t kHeaderLength = 99;
// Readers look at no more of the header than this.
constexpr std::size_t kHeaderReadLength = 98;

// Lines 1 to 3 with their line ends: line 3 is "-" followed by "x" while the header is 98 bytes
// or shorter.
std::string BuildContainerHeader(std::string_view magicAndId, std::int32_t catalogueOffset);

// The catalogue offset as a reader takes it from the container's first bytes (at most
// kHeaderReadLength of them are looked at): the text up to a NUL, trimmed, its second CR-separated
// field trimmed and converted. Nullopt when that is not a number.
std::optional<std::int32_t> CatalogueOffsetFromHeader(std::string_view head);

// The catalogue's lines as a reader takes them from its bytes: cut at a NUL, trimmed, split at
// CR LF, a lone CR or a lone LF.
std::vector<std::string> SplitCatalogueText(std::string_view bytes);

// The catalogue offset from the file's header: 0 when the file does not exist, -1 when the header
// cannot be read or parsed. Raises OvError when the file exists but cannot be opened.
std::int32_t ReadCatalogueOffset(platform::FileSystem& fs, const std::string& file);

// Replaces the lines with the catalogue's: 0, -1 when reading failed (the lines are then left
// alone), -11 when the file does not exist or no list is given. A header that does not parse
// makes the catalogue read from the file's start. Raises OvError when the file cannot be opened
// or measured.
std::int32_t ReadPackageCatalogue(platform::FileSystem& fs, const std::string& file,
                                  std::vector<std::string>* lines);
// The same for a project bundle, except that a failure to measure the file gives -1 instead of
// raising.
std::int32_t ReadBundleCatalogue(platform::FileSystem& fs, const std::string& file,
                                 std::vector<std::string>* lines);

// Appends an entry for every valid line: one with a "|", whose part before it parses, and whose
// folder and name keep the file inside the install folder. Other lines are dropped.
void ParseCatalogue(const std::vector<std::string>& lines, std::vector<std::unique_ptr<TPackItem>>& items);

}  // namespace ov::package
