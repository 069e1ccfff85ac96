#pragma once
// Appending fixed-size integers to a byte string, in the byte orders of the file formats.
#include <cstdint>
#include <string>

namespace ov::demotree {

inline void PutLittle16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

inline void PutLittle32(std::string& out, std::uint32_t v) {
  PutLittle16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  PutLittle16(out, static_cast<std::uint16_t>(v >> 16));
}

inline void PutBig32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

}  // namespace ov::demotree
