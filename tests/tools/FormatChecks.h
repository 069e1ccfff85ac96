#pragma once
// Readers that check the demo tree's PNG, BMP and ZIP files field by field: each returns "" for a
// well-formed file, else what is wrong. PNG data must be stored zlib blocks (all the tree writes).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/demotree/Checksums.h"

namespace ov::demotree::checks {

inline std::uint32_t Big32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
         static_cast<unsigned char>(b[at + 3]);
}
inline std::uint32_t Little16(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}
inline std::uint32_t Little32(std::string_view b, std::size_t at) {
  return Little16(b, at) | Little16(b, at + 2) << 16;
}

// Undoes a zlib stream of stored blocks; "" with the data in `raw`, or the problem.
inline std::string InflateStored(std::string_view z, std::string& raw) {
  if (z.size() < 6 || (static_cast<unsigned char>(z[0]) * 256 + static_cast<unsigned char>(z[1])) % 31 != 0 ||
      (z[0] & 0x0F) != 8) {
    return "not a zlib stream";
  }
  std::size_t at = 2;
  for (bool last = false; !last;) {
    if (at + 5 > z.size()) return "a block runs past the end";
    const auto head = static_cast<unsigned char>(z[at]);
    last = head & 1;
    if ((head >> 1) != 0) return "not a stored block";
    const std::uint32_t length = Little16(z, at + 1);
    if ((length ^ Little16(z, at + 3)) != 0xFFFF) return "LEN and NLEN disagree";
    at += 5;
    if (at + length > z.size()) return "a block's data runs past the end";
    raw.append(z.substr(at, length));
    at += length;
  }
  if (at + 4 != z.size()) return "the Adler-32 is not where the stream ends";
  if (Big32(z, at) != Adler32(raw)) return "wrong Adler-32";
  return "";
}

// Chunk lengths and CRCs, IHDR first (8-bit RGB), IDAT, IEND last, and rows of width * 3 + 1 bytes.
inline std::string CheckPng(std::string_view b, int* width = nullptr, int* height = nullptr) {
  if (b.substr(0, 8) != std::string_view("\x89PNG\r\n\x1A\n", 8)) return "no PNG signature";
  std::size_t at = 8;
  std::string idat;
  std::uint32_t w = 0, h = 0;
  std::vector<std::string> types;
  while (at < b.size()) {
    if (at + 12 > b.size()) return "a chunk runs past the end";
    const std::uint32_t length = Big32(b, at);
    if (at + 12 + length > b.size()) return "a chunk's data runs past the end";
    const std::string_view typeAndData = b.substr(at + 4, 4 + length);
    if (Crc32(typeAndData) != Big32(b, at + 8 + length))
      return "wrong CRC in " + std::string(typeAndData.substr(0, 4));
    const std::string type(typeAndData.substr(0, 4));
    types.push_back(type);
    if (type == "IHDR") {
      if (length != 13) return "IHDR is not 13 bytes";
      w = Big32(b, at + 8);
      h = Big32(b, at + 12);
      if (typeAndData.substr(12) != std::string_view("\x08\x02\x00\x00\x00", 5)) return "not 8-bit RGB";
    } else if (type == "IDAT") {
      idat.append(typeAndData.substr(4));
    }
    at += 12 + length;
  }
  if (types.size() < 3 || types.front() != "IHDR" || types.back() != "IEND") return "chunks out of order";
  if (w == 0 || h == 0) return "an empty picture";
  std::string raw;
  if (std::string problem = InflateStored(idat, raw); !problem.empty()) return "IDAT: " + problem;
  const std::size_t row = 1 + 3 * static_cast<std::size_t>(w);
  if (raw.size() != row * h) return "the pixel data does not fill the picture";
  for (std::size_t y = 0; y < h; ++y) {
    if (raw[y * row] != 0) return "a row has a filter this reader does not know";
  }
  if (width) *width = static_cast<int>(w);
  if (height) *height = static_cast<int>(h);
  return "";
}

inline std::string CheckBmp(std::string_view b) {
  if (b.size() < 54 || b.substr(0, 2) != "BM") return "no BMP header";
  if (Little32(b, 2) != b.size()) return "the header gives another file size";
  if (Little32(b, 10) != 54 || Little32(b, 14) != 40) return "not a BITMAPINFOHEADER file";
  const std::uint32_t w = Little32(b, 18), h = Little32(b, 22);
  if (Little16(b, 26) != 1 || Little16(b, 28) != 24 || Little32(b, 30) != 0) return "not 24-bit uncompressed";
  if (54 + (w * 3 + 3) / 4 * 4 * h != b.size()) return "the rows do not fill the file";
  return "";
}

struct ZipEntry {
  std::string Name;
  std::string Data;
};

// End record, central directory and local headers agree; every member is stored and has its CRC.
inline std::string CheckZip(std::string_view b, std::vector<ZipEntry>& entries) {
  if (b.size() < 22 || Little32(b, b.size() - 22) != 0x06054B50) return "no end record (or a comment)";
  const std::size_t end = b.size() - 22;
  const std::uint32_t count = Little16(b, end + 10);
  const std::uint32_t dirSize = Little32(b, end + 12), dirAt = Little32(b, end + 16);
  if (Little16(b, end + 8) != count || static_cast<std::size_t>(dirAt) + dirSize != end) {
    return "the end record does not frame the central directory";
  }
  std::size_t at = dirAt;
  std::size_t expectedLocal = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (at + 46 > end || Little32(b, at) != 0x02014B50) return "a bad central directory entry";
    const std::uint32_t crc = Little32(b, at + 16), size = Little32(b, at + 20);
    const std::uint32_t nameLength = Little16(b, at + 28), local = Little32(b, at + 42);
    if (Little16(b, at + 10) != 0 || Little32(b, at + 24) != size) return "a member is not stored";
    const std::string name(b.substr(at + 46, nameLength));
    if (local != expectedLocal || Little32(b, local) != 0x04034B50)
      return name + ": no local header where listed";
    if (b.substr(local + 4, 26) != b.substr(at + 6, 26)) return name + ": local and central headers differ";
    const std::size_t dataAt = local + 30 + nameLength;
    if (b.substr(local + 30, nameLength) != name || dataAt + size > dirAt) return name + ": bad local header";
    const std::string_view data = b.substr(dataAt, size);
    if (Crc32(data) != crc) return name + ": wrong CRC";
    entries.push_back({name, std::string(data)});
    expectedLocal = dataAt + size;
    at += 46 + nameLength + Little16(b, at + 30) + Little16(b, at + 32);
  }
  if (expectedLocal != dirAt || at != end) return "bytes between the members or after the directory";
  return "";
}

}  // namespace ov::demotree::checks
