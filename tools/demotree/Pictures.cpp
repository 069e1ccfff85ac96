#include "tools/demotree/Pictures.h"

#include <algorithm>

#include "tools/demotree/Bytes.h"
#include "tools/demotree/Checksums.h"

namespace ov::demotree {

namespace {

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, int numerator, int denominator) {
  if (denominator <= 0) return a;
  return static_cast<std::uint8_t>(a + (static_cast<int>(b) - a) * numerator / denominator);
}

Rgb Mix(Rgb a, Rgb b, int numerator, int denominator) {
  return {Mix(a.r, b.r, numerator, denominator), Mix(a.g, b.g, numerator, denominator),
          Mix(a.b, b.b, numerator, denominator)};
}

Rgb Lighter(Rgb c, int amount) {
  auto up = [amount](std::uint8_t v) { return static_cast<std::uint8_t>(std::min(255, v + amount)); };
  return {up(c.r), up(c.g), up(c.b)};
}

// A small integer hash of a position, for textures that look irregular but never change.
std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
  std::uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return h;
}

Rgb PixelAt(int x, int y, int w, int h, const Look& look) {
  switch (look.pattern) {
    case Pattern::kLandscape: {
      const int horizon = h * (55 + static_cast<int>(look.seed % 15)) / 100;
      if (y >= horizon) return Mix(look.second, Lighter(look.second, 60), h - y, h - horizon + 1);
      const int cx = w * (20 + static_cast<int>(look.seed % 60)) / 100;
      const int cy = horizon / 3;
      const int radius = std::max(2, std::min(w, h) / 9);
      const int dx = x - cx, dy = y - cy;
      if (dx * dx + dy * dy <= radius * radius) return look.accent;
      return Mix(look.first, Lighter(look.first, 90), y, horizon);
    }
    case Pattern::kTiles: {
      const int size = 8 + static_cast<int>(look.seed % 4) * 4;
      const int tx = x % size, ty = y % size;
      if (tx == 0 || ty == 0) return look.second;
      if (tx == 1 || ty == 1) return look.accent;
      return ((x / size + y / size) % 2) ? look.first : Lighter(look.first, 24);
    }
    case Pattern::kWaves: {
      const int period = 24 + static_cast<int>(look.seed % 5) * 8;
      const int phase = x % period;
      const int wave = (phase < period / 2 ? phase : period - phase) * 2 / 3;
      const int band = (y + wave) / 12;
      if ((y + wave) % 12 == 0) return look.accent;
      return band % 2 ? look.first : look.second;
    }
    case Pattern::kSpeckle: {
      if (Hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), look.seed) % 97 == 0) {
        return look.accent;
      }
      return Mix(look.first, look.second, y, h);
    }
    case Pattern::kFrame: {
      const int border = std::max(2, std::min(w, h) / 12);
      const int edge = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
      if (edge >= border) return look.second;
      return edge == 0 || edge == border - 1 ? look.accent : look.first;
    }
    case Pattern::kBadge: {
      const int cx = w / 2, cy = h / 2;
      const int outer = std::max(2, std::min(w, h) * 2 / 5);
      const int ring = std::max(1, outer / 6);
      const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      if (d2 > outer * outer) return look.first;
      if (d2 > (outer - ring) * (outer - ring)) return look.accent;
      return Mix(look.second, Lighter(look.second, 70), y - (cy - outer), 2 * outer);
    }
  }
  return look.first;
}

std::string PngChunk(const char* type, const std::string& data) {
  std::string chunk;
  PutBig32(chunk, static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  chunk += body;
  PutBig32(chunk, Crc32(body));
  return chunk;
}

// A zlib stream of stored deflate blocks (at most 65,535 bytes each).
std::string StoredZlib(const std::string& raw) {
  std::string out = "\x78\x01";
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
    const bool last = at + length == raw.size();
    out += static_cast<char>(last ? 1 : 0);
    PutLittle16(out, static_cast<std::uint16_t>(length));
    PutLittle16(out, static_cast<std::uint16_t>(~length));
    out.append(raw, at, length);
    at += length;
  } while (at < raw.size());
  PutBig32(out, Adler32(raw));
  return out;
}

}  // namespace

Picture Paint(int width, int height, const Look& look) {
  Picture picture{width, height, {}};
  picture.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.pixels.push_back(PixelAt(x, y, width, height, look));
  }
  return picture;
}

Picture Scale(const Picture& picture, int width, int height) {
  Picture scaled{width, height, {}};
  scaled.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const int fromY = y * picture.height / height;
    for (int x = 0; x < width; ++x) {
      scaled.pixels.push_back(
          picture.pixels[static_cast<std::size_t>(fromY) * picture.width + x * picture.width / width]);
    }
  }
  return scaled;
}

std::string EncodePng(const Picture& picture) {
  std::string header;
  PutBig32(header, static_cast<std::uint32_t>(picture.width));
  PutBig32(header, static_cast<std::uint32_t>(picture.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // depth 8, RGB, deflate, filter 0, no interlace

  const std::size_t rowSize = 1 + 3 * static_cast<std::size_t>(picture.width);
  std::string raw(static_cast<std::size_t>(picture.height) * rowSize, '\0');  // filter type None on each row
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const Rgb& p = picture.pixels[i];
    char* at = &raw[i / picture.width * rowSize + 1 + i % picture.width * 3];
    at[0] = static_cast<char>(p.r);
    at[1] = static_cast<char>(p.g);
    at[2] = static_cast<char>(p.b);
  }
  return std::string("\x89PNG\r\n\x1A\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", StoredZlib(raw)) +
         PngChunk("IEND", "");
}

std::string EncodeBmp(const Picture& picture) {
  const std::uint32_t rowSize = (static_cast<std::uint32_t>(picture.width) * 3 + 3) / 4 * 4;
  const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(picture.height);
  std::string out = "BM";
  PutLittle32(out, 14 + 40 + imageSize);
  PutLittle32(out, 0);
  PutLittle32(out, 14 + 40);
  PutLittle32(out, 40);
  PutLittle32(out, static_cast<std::uint32_t>(picture.width));
  PutLittle32(out, static_cast<std::uint32_t>(picture.height));
  PutLittle16(out, 1);   // planes
  PutLittle16(out, 24);  // bits per pixel
  PutLittle32(out, 0);   // BI_RGB
  PutLittle32(out, imageSize);
  PutLittle32(out, 2835);  // 72 dots per inch
  PutLittle32(out, 2835);
  PutLittle32(out, 0);
  PutLittle32(out, 0);
  const std::size_t pixelsAt = out.size();
  out.resize(pixelsAt + imageSize, '\0');
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const Rgb& p = picture.pixels[i];
    const std::size_t fromBottom = static_cast<std::size_t>(picture.height) - 1 - i / picture.width;
    char* at = &out[pixelsAt + fromBottom * rowSize + i % picture.width * 3];
    at[0] = static_cast<char>(p.b);
    at[1] = static_cast<char>(p.g);
    at[2] = static_cast<char>(p.r);
  }
  return out;
}

}  // namespace ov::demotree
