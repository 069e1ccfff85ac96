#include <exception>

#include "javatools/JavaTools.h"
#include "javatools/VersionText.h"
#include "support/Folders.h"
#include "support/Text.h"

namespace ov::javatools {

namespace {

std::int32_t JdkVersionStatus(std::string_view version) {
  const MajorNumber major = ReadMajorNumber(version);
  if (major.status != 0) return major.status;
  if (major.value < 1) return -5;
  // Only the one character after the dot counts, so "1.10" reads as minor 1.
  const std::size_t minorAt = major.dot + 1;
  if (minorAt >= version.size() || version[minorAt] < '0' || version[minorAt] > '9') return -6;
  if (major.value == 1 && version[minorAt] < '4') return -1414;
  return 0;
}

}  // namespace

TSunJDK::TSunJDK(platform::FileSystem& files, std::string_view version, std::string_view homeDir)
    : Version(Trim(version)), HomeDir(Trim(homeDir)), files_(files) {
  Validate();
}

bool TSunJDK::Validate() {
  try {
    Status = JdkVersionStatus(Version);
    if (Status < 0) return false;
    if (!FolderExists(files_, HomeDir)) Status = -11;
    if (!files_.FileExists(HomeDir + "\\bin\\javac.exe")) Status = -12;
    return Status == 0;
  } catch (const std::exception&) {
    Status = -1;
    return false;
  }
}

}  // namespace ov::javatools
