#include "tools/demotree/Checksums.h"

#include <algorithm>
#include <array>

namespace ov::demotree {

namespace {

std::array<std::uint32_t, 256> CrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

}  // namespace

std::uint32_t Crc32(std::string_view data, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = CrcTable();
  std::uint32_t c = ~crc;
  for (unsigned char byte : data) c = table[(c ^ byte) & 0xFF] ^ (c >> 8);
  return ~c;
}

std::uint32_t Adler32(std::string_view data) {
  constexpr std::uint32_t kModulus = 65521;
  // The most bytes whose sums cannot overflow 32 bits before the modulus is taken.
  constexpr std::size_t kRun = 5552;
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::size_t at = 0; at < data.size(); at += kRun) {
    const std::size_t end = std::min(data.size(), at + kRun);
    for (std::size_t i = at; i < end; ++i) {
      a += static_cast<unsigned char>(data[i]);
      b += a;
    }
    a %= kModulus;
    b %= kModulus;
  }
  return (b << 16) | a;
}

}  // namespace ov::demotree
