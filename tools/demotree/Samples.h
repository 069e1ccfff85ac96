#pragma once
// The nine sample projects: authored with the project model on an emulated machine, as if on the
// machine of the person who made them, and saved as real bundles; with the application each was
// compiled to (its JAD and JAR).
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "tools/demotree/Artwork.h"
#include "tools/demotree/Documents.h"

namespace ov::demotree {

struct CompiledSample {
  std::string Name;           // the bundle's base name and the folder below "\Projects\Compiled"
  std::string Bundle;         // "<Name>.ov5"
  std::string Jad;            // "<Name>.jad"
  std::string Jar;            // "<Name>.jar"
  platform::LocalTime Built;  // when the JAD and JAR were written
  platform::LocalTime Saved;  // when the bundle was saved, after the build
};

// The samples' base names, in the order they are built.
std::vector<std::string> SampleNames();

// Builds every sample on an emulated machine kept in `scratch` (created, and removed afterwards).
// The documents and pictures are those of "\SampleContent". Raises OvError when the model refuses a
// sample.
std::vector<CompiledSample> BuildSamples(const std::vector<Document>& documents,
                                         const std::vector<SourcePicture>& pictures,
                                         const std::filesystem::path& scratch);

}  // namespace ov::demotree
