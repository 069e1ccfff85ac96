#pragma once
// Pictures for the demo tree: painted with integer arithmetic only, so every host paints the
// same pixels, and encoded as PNG (zlib stored blocks) or as a 24-bit BMP.
#include <cstdint>
#include <string>
#include <vector>

namespace ov::demotree {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // row by row from the top
};

enum class Pattern {
  kLandscape,  // sky and ground in two gradients, a disc in the sky
  kTiles,      // bevelled squares
  kWaves,      // bands that follow a triangle wave
  kSpeckle,    // a gradient with scattered lighter dots
  kFrame,      // a bevelled border round a flat field
  kBadge,      // a ringed disc in the middle
};

struct Look {
  Pattern pattern = Pattern::kLandscape;
  Rgb first;   // sky, tile, band, top of the gradient, border, background
  Rgb second;  // ground, joint, second band, bottom of the gradient, field, disc
  Rgb accent;  // disc, bevel light, wave crest, dots, bevel, ring
  std::uint32_t seed = 1;
};

Picture Paint(int width, int height, const Look& look);
// The picture resized to width x height by taking the nearest pixel, as a quick rendition for a phone.
Picture Scale(const Picture& picture, int width, int height);

// Colour type 2, bit depth 8, no interlace; one IDAT of stored deflate blocks.
std::string EncodePng(const Picture& picture);
// BITMAPFILEHEADER, BITMAPINFOHEADER, 24 bits per pixel, rows bottom-up padded to 4 bytes.
std::string EncodeBmp(const Picture& picture);

}  // namespace ov::demotree
