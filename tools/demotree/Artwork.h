#pragma once
// The pictures of the demo tree: the sample pictures in "\SampleContent", the picture collection
// in "\SampleContent\PNGs", the skins and the icon schemes.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/demotree/Pictures.h"

namespace ov::demotree {

struct NamedFile {
  std::string Name;
  std::string Data;
};

// A picture the sample projects' images were made from.
struct SourcePicture {
  std::string Name;
  Picture Image;
  std::int32_t Format = 0;  // the project model's image format code: PNG or BMP

  std::string FileBytes() const;
};

std::vector<SourcePicture> SourcePictures();

// The sample picture of that name; raises OvError for a name the list lacks.
const SourcePicture& PictureNamed(const std::vector<SourcePicture>& pictures, const std::string& name);

// Backgrounds, banners, buttons, icons and photos for projects to use: ten themes of ten kinds.
std::vector<NamedFile> PictureCollection();

// Skin archives: "skin.ini" and the pictures of the window parts, as stored ZIPs dated dosDateTime.
std::vector<NamedFile> Skins(std::uint32_t dosDateTime);

// Icon schemes: "scheme.ini" and the icons a built application shows, as stored ZIPs.
std::vector<NamedFile> IconSchemes(std::uint32_t dosDateTime);

// The icon every compiled sample shows on the phone's menu, and a banner logo.
std::string SampleIcon(int variant);
std::string SampleLogo(int variant);

}  // namespace ov::demotree
