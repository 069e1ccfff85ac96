#include "tools/demotree/Zip.h"

#include "tools/demotree/Bytes.h"
#include "tools/demotree/Checksums.h"

namespace ov::demotree {

namespace {

constexpr std::uint16_t kVersion = 10;  // 1.0: stored members, no extensions

// The fields local and central headers share, from "version needed" to "extra field length".
std::string CommonFields(const ZipMember& member, std::uint32_t crc, std::uint32_t dosDateTime) {
  std::string out;
  PutLittle16(out, kVersion);
  PutLittle16(out, 0);  // flags
  PutLittle16(out, 0);  // method: stored
  PutLittle16(out, static_cast<std::uint16_t>(dosDateTime & 0xFFFF));
  PutLittle16(out, static_cast<std::uint16_t>(dosDateTime >> 16));
  PutLittle32(out, crc);
  PutLittle32(out, static_cast<std::uint32_t>(member.Data.size()));
  PutLittle32(out, static_cast<std::uint32_t>(member.Data.size()));
  PutLittle16(out, static_cast<std::uint16_t>(member.Name.size()));
  PutLittle16(out, 0);
  return out;
}

}  // namespace

std::string StoredZip(const std::vector<ZipMember>& members, std::uint32_t dosDateTime) {
  std::string archive;
  std::string directory;
  for (const ZipMember& member : members) {
    const std::uint32_t crc = Crc32(member.Data);
    const auto offset = static_cast<std::uint32_t>(archive.size());
    PutLittle32(archive, 0x04034B50);
    archive += CommonFields(member, crc, dosDateTime);
    archive += member.Name;
    archive += member.Data;

    PutLittle32(directory, 0x02014B50);
    PutLittle16(directory, kVersion);  // made by: MS-DOS, 1.0
    directory += CommonFields(member, crc, dosDateTime);
    PutLittle16(directory, 0);  // comment length
    PutLittle16(directory, 0);  // disk number
    PutLittle16(directory, 0);  // internal attributes
    PutLittle32(directory, 0);  // external attributes
    PutLittle32(directory, offset);
    directory += member.Name;
  }
  const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
  archive += directory;
  PutLittle32(archive, 0x06054B50);
  PutLittle16(archive, 0);
  PutLittle16(archive, 0);
  PutLittle16(archive, static_cast<std::uint16_t>(members.size()));
  PutLittle16(archive, static_cast<std::uint16_t>(members.size()));
  PutLittle32(archive, static_cast<std::uint32_t>(directory.size()));
  PutLittle32(archive, directoryOffset);
  PutLittle16(archive, 0);
  return archive;
}

}  // namespace ov::demotree
