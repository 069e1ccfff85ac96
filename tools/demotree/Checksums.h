#pragma once
// The two checksums the PNG and ZIP formats carry.
#include <cstdint>
#include <string_view>

namespace ov::demotree {

// CRC-32 as ZIP and PNG use it (polynomial 0xEDB88320, pre- and post-inverted); `crc` carries
// the value of the bytes before, so a checksum can be taken over several pieces.
std::uint32_t Crc32(std::string_view data, std::uint32_t crc = 0);

// Adler-32, the zlib stream's checksum.
std::uint32_t Adler32(std::string_view data);

}  // namespace ov::demotree
