#pragma once
// ZIP archives with stored (uncompressed) members: the compiled samples' JARs, the skins and the
// icon schemes.
#include <cstdint>
#include <string>
#include <vector>

namespace ov::demotree {

struct ZipMember {
  std::string Name;  // "/" between folders
  std::string Data;
};

// Local headers and data, then the central directory and its end record; every member carries
// the given MS-DOS date and time.
std::string StoredZip(const std::vector<ZipMember>& members, std::uint32_t dosDateTime);

}  // namespace ov::demotree
