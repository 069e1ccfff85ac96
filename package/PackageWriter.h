#pragma once
// Laying out a package: the header, each member's offset and the catalogue, for writers that
// then put the member bytes between header and catalogue (ovpack streams them from a tree,
// tests build small packages in memory).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ov::package {

struct PackEntry {
  std::string Folder;  // "\" for the install folder itself, else "\A\B"
  std::string Name;
  std::int64_t Size = 0;
  std::int32_t FileDate = 0;  // local MS-DOS date and time, 0 = none
};

struct PackLayout {
  std::string Header;
  std::vector<std::int32_t> Offsets;  // one per entry
  std::string Catalogue;
  std::int64_t TotalSize = 0;  // header + members + catalogue
};

// Why the entry cannot be packed so that the readers get it back unchanged; "" when it can.
std::string PackEntryProblem(const PackEntry& entry);

// "Folder, Name, Offset, Size, FileDate|" CR LF.
std::string CatalogueLine(const PackEntry& entry, std::int32_t offset);

// The layout for the entries in their order. Nullopt, with the reason in problem, when an entry
// cannot be packed, the identifier line would spoil the header, or the package would not stay
// below 2 GiB.
std::optional<PackLayout> LayOutPackage(std::string_view magicAndId, const std::vector<PackEntry>& entries,
                                        std::string& problem);

struct PackMember {
  PackEntry Entry;  // Entry.Size is taken from Data
  std::string Data;
};

// A whole package in memory; nullopt (with the reason) as for LayOutPackage.
std::optional<std::string> BuildPackage(std::string_view magicAndId, const std::vector<PackMember>& members,
                                        std::string& problem);

}  // namespace ov::package
