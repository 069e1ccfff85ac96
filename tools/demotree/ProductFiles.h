#pragma once
// The product's own texts in the demo tree: help, read-me, licence, colour and string schemes,
// and the stand-ins for the programs a native build cannot make.
#include <cstddef>
#include <string>
#include <vector>

#include "tools/demotree/Artwork.h"

namespace ov::demotree {

// The help page, grown by its device table to exactly `size` bytes where the text allows (it is
// never shorter than its chapters).
std::string HelpPage(std::size_t size);
std::string HelpStyleSheet();
std::string ReadMe();
std::string Licence();

// "[Scheme]" INI texts: the colours and the texts of the applications the product builds.
std::vector<NamedFile> ColourSchemes();
std::vector<NamedFile> StringSchemes();

// A text that stands where the Windows build puts the program of that name.
std::string ProgramPlaceholder(const std::string& programName);

}  // namespace ov::demotree
