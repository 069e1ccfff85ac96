#include "package/PackageWriter.h"

#include <limits>

#include "package/Container.h"
#include "package/SafeNames.h"
#include "support/Dates.h"
#include "support/Text.h"

namespace ov::package {

namespace {

constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();

bool HasFieldBreak(std::string_view text) { return text.find_first_of(",|") != std::string_view::npos; }

}  // namespace

std::string PackEntryProblem(const PackEntry& entry) {
  if (HasFieldBreak(entry.Folder) || HasFieldBreak(entry.Name)) return "its name contains \",\" or \"|\"";
  if (!IsSafeFolder(entry.Folder)) return "its folder is not a plain relative folder";
  if (!IsSafeName(entry.Name) || Trim(entry.Name) != entry.Name) return "its name is not a plain file name";
  if (entry.Size < 0 || entry.Size > kLimit)
    return entry.Size < 0 ? "its size is negative" : "it takes 2 GiB or more, beyond what a package holds";
  if (entry.FileDate < 0) return "its date is from 2044 or later";
  if (entry.FileDate != 0 && !FromDosDateTime(static_cast<std::uint32_t>(entry.FileDate))) {
    return "its date is not a valid date";
  }
  return "";
}

std::string CatalogueLine(const PackEntry& entry, std::int32_t offset) {
  return entry.Folder + ", " + entry.Name + ", " + std::to_string(offset) + ", " +
         std::to_string(entry.Size) + ", " + std::to_string(entry.FileDate) + "|\r\n";
}

std::optional<PackLayout> LayOutPackage(std::string_view magicAndId, const std::vector<PackEntry>& entries,
                                        std::string& problem) {
  if (magicAndId.find_first_of(std::string_view("\r\n|\0", 4)) != std::string_view::npos) {
    problem = "the identifier contains CR, LF, NUL or \"|\"";
    return std::nullopt;
  }
  std::int64_t payload = 0;
  for (const PackEntry& entry : entries) {
    std::string why = PackEntryProblem(entry);
    if (!why.empty()) {
      problem = entry.Folder + "\\" + entry.Name + ": " + why;
      return std::nullopt;
    }
    payload += entry.Size;
  }
  if (payload > kLimit) {
    problem = "the files take more than 2 GiB";
    return std::nullopt;
  }

  PackLayout layout;
  // The header's length depends on the digits of the offset it holds; settle both together.
  std::size_t headerLength = kHeaderLength;
  for (int round = 0; round < 3; ++round) {
    const std::int64_t catalogueOffset = static_cast<std::int64_t>(headerLength) + payload;
    if (catalogueOffset > kLimit) break;
    layout.Header = BuildContainerHeader(magicAndId, static_cast<std::int32_t>(catalogueOffset));
    if (layout.Header.size() == headerLength) break;
    headerLength = layout.Header.size();
  }
  const std::int64_t catalogueOffset = static_cast<std::int64_t>(layout.Header.size()) + payload;
  if (layout.Header.size() != headerLength || catalogueOffset > kLimit) {
    problem = "the package would not stay below 2 GiB";
    return std::nullopt;
  }
  if (CatalogueOffsetFromHeader(layout.Header) != catalogueOffset) {
    problem = "the identifier is too long for the header";
    return std::nullopt;
  }

  std::int64_t offset = static_cast<std::int64_t>(layout.Header.size());
  for (const PackEntry& entry : entries) {
    layout.Offsets.push_back(static_cast<std::int32_t>(offset));
    layout.Catalogue += CatalogueLine(entry, static_cast<std::int32_t>(offset));
    offset += entry.Size;
  }
  layout.TotalSize = offset + static_cast<std::int64_t>(layout.Catalogue.size());
  if (layout.TotalSize > kLimit) {
    problem = "the package would not stay below 2 GiB";
    return std::nullopt;
  }
  return layout;
}

std::optional<std::string> BuildPackage(std::string_view magicAndId, const std::vector<PackMember>& members,
                                        std::string& problem) {
  std::vector<PackEntry> entries;
  entries.reserve(members.size());
  for (const PackMember& member : members) {
    entries.push_back(member.Entry);
    entries.back().Size = static_cast<std::int64_t>(member.Data.size());
  }
  std::optional<PackLayout> layout = LayOutPackage(magicAndId, entries, problem);
  if (!layout) return std::nullopt;
  std::string package = layout->Header;
  package.reserve(static_cast<std::size_t>(layout->TotalSize));
  for (const PackMember& member : members) package += member.Data;
  package += layout->Catalogue;
  return package;
}

}  // namespace ov::package
