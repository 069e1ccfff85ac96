// The project bundle (".ov5"): the container framing of the package with the document and its
// resource files as members and "name,offset,size" catalogue lines.
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "package/Container.h"
#include "project/JavaApp.h"
#include "project/Paths.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Streams.h"
#include "support/Text.h"

namespace ov::project {
namespace {

constexpr std::int64_t kMaxBundleOffset = std::numeric_limits<std::int32_t>::max();

std::string CatalogueLine(const std::string& path, std::int32_t offset, std::int32_t size) {
  return FileNamePart(path) + "," + std::to_string(offset) + "," + std::to_string(size) + "\r\n";
}

std::string_view SizeField(std::string_view line) {
  const auto first = line.find(',');
  if (first == std::string_view::npos) return {};
  const auto second = line.find(',', first + 1);
  return second == std::string_view::npos ? std::string_view() : line.substr(second + 1);
}

// A name beside the bundle that nothing has yet.
std::string TemporaryBeside(platform::FileSystem& fs, const std::string& path) {
  for (int n = 1;; ++n) {
    std::string candidate = path + ".tmp" + std::to_string(n);
    if (!fs.FileExists(candidate) && !fs.DirectoryExists(candidate)) return candidate;
  }
}

// The resource files a bundle carries, in catalogue order. A clipboard text is taken unchecked: it is
// the item's only source, so a missing one must fail the bundle.
std::vector<std::string> ResourceMembers(platform::FileSystem& fs, const TOVJavaApp& app) {
  std::vector<std::string> members;
  for (const auto& item : app.ItemList) {
    if (item->mType != kSourceFile || !fs.FileExists(item->ResTxtFile)) continue;
    members.push_back(item->ResTxtFile);
    if (item->Clipboard) members.push_back(item->SrcTxtFile);
  }
  for (const auto& image : app.ImageList) {
    if (image->mType != kSourceFile) continue;
    if (fs.FileExists(image->ResImgFile)) members.push_back(image->ResImgFile);
    if (fs.FileExists(image->ResPngFile) && image->ResPngFile != image->ResImgFile) {
      members.push_back(image->ResPngFile);
    }
    if (image->Clipboard && fs.FileExists(image->SrcImgFile)) members.push_back(image->SrcImgFile);
  }
  if (fs.FileExists(app.OwnLogo)) members.push_back(app.OwnLogo);
  if (fs.FileExists(app.OwnIcon)) members.push_back(app.OwnIcon);
  return members;
}

// Whether the file can be read the way a member is appended (whole, without sharing), so that a
// failed append was the bundle's write and not the member's read.
bool CanBeAppended(platform::FileSystem& fs, const std::string& path) {
  std::unique_ptr<platform::File> in = fs.Open(path, platform::FileAccess::Read, platform::FileShare::None,
                                               platform::FileCreate::OpenExisting);
  if (!in) return false;
  const std::int64_t size = in->Size();
  return size >= 0 && size <= kMaxBundleOffset &&
         ReadBytes(*in, static_cast<std::uint64_t>(size)).has_value();
}

// Writes the whole bundle into `target`: the header is written last, once the catalogue's place is
// known from the members that really went in. False when the bundle is not complete.
bool WriteBundleFile(platform::FileSystem& fs, const std::string& target, const std::string& headerLine,
                     const std::string& documentPath, const std::vector<std::string>& members) {
  std::unique_ptr<platform::File> out =
      fs.Open(target, platform::FileAccess::ReadWrite, platform::FileShare::None, platform::FileCreate::CreateAlways);
  if (!out) return false;
  if (!WriteAll(*out, std::string(package::kHeaderLength, 'x'))) return false;

  std::string catalogue;
  std::int32_t size = 0;
  std::int32_t offset = 0;
  // Without its document a bundle is of no use.
  if (AppendFileToStream(fs, out.get(), documentPath, size, offset) != 0) return false;
  catalogue += CatalogueLine(documentPath, offset, size);
  for (const std::string& member : members) {
    const std::int64_t end = out->Size();
    if (AppendFileToStream(fs, out.get(), member, size, offset) == 0) {
      catalogue += CatalogueLine(member, offset, size);
    } else if (out->Size() != end || CanBeAppended(fs, member)) {
      // The member is readable, so the bundle's write failed (a full disk): the old bundle stays whole.
      return false;
    }
    // A member that cannot be read is left out, without a catalogue line.
  }

  const std::int64_t catalogueOffset = out->Size();
  if (catalogueOffset < 0 || catalogueOffset + static_cast<std::int64_t>(catalogue.size()) > kMaxBundleOffset) {
    return false;
  }
  const std::string header = package::BuildContainerHeader(headerLine, static_cast<std::int32_t>(catalogueOffset));
  return header.size() == package::kHeaderLength && out->Seek(catalogueOffset) && WriteAll(*out, catalogue) &&
         out->Seek(0) && WriteAll(*out, header);
}

}  // namespace

std::int64_t TOVJavaApp::BundleResourceSize() {
  std::int64_t sum = 0;
  for (const std::string& member : ResourceMembers(machine_.files, *this)) {
    sum += static_cast<std::uint32_t>(FileSizeOf(machine_.files, member));
  }
  return sum;
}

std::int32_t TOVJavaApp::WriteBundle(const std::string& bundlePath, const std::string& documentPath) {
  platform::FileSystem& fs = machine_.files;
  if (!fs.FileExists(documentPath)) return -1;
  std::int32_t status = -1;
  try {
    const std::vector<std::string> members = ResourceMembers(fs, *this);
    const std::int64_t expectedOffset =
        static_cast<std::int64_t>(package::kHeaderLength) + FileSizeOf(fs, documentPath) + BundleResourceSize();
    const std::string headerLine = std::string(package::kBundleMagic) + ID;
    // Readers find the catalogue only through a 99-byte header whose first line has no CR, LF or "|".
    const bool headerFits =
        expectedOffset <= kMaxBundleOffset && ID.find_first_of("\r\n|") == std::string::npos &&
        package::BuildContainerHeader(headerLine, static_cast<std::int32_t>(expectedOffset)).size() ==
            package::kHeaderLength;
    if (headerFits) {
      const std::string temporary = TemporaryBeside(fs, bundlePath);
      if (WriteBundleFile(fs, temporary, headerLine, documentPath, members) &&
          fs.MoveFileReplacing(temporary, bundlePath)) {
        status = 0;
      } else {
        fs.DeleteFile(temporary);
      }
    }
  } catch (const OvError&) {
    status = -1;  // a clipboard source is missing
  }
  // The document was only written to be put into the bundle.
  fs.DeleteFile(documentPath);
  return status;
}

std::int32_t TOVJavaApp::ReadBundle(const std::string& bundlePath, const std::string& folder, bool* allUnpacked) {
  platform::FileSystem& fs = machine_.files;
  if (allUnpacked) *allUnpacked = false;
  if (!fs.FileExists(bundlePath)) return -1;
  std::vector<std::string> lines;
  try {
    if (package::ReadBundleCatalogue(fs, bundlePath, &lines) != 0 || lines.empty()) return -1;
  } catch (const OvError&) {
    return -1;
  }

  std::string documentPath;
  bool complete = true;
  {
    std::unique_ptr<platform::File> in =
        fs.Open(bundlePath, platform::FileAccess::Read, platform::FileShare::None, platform::FileCreate::OpenExisting);
    if (!in) return -1;
    const std::int64_t bundleSize = in->Size();
    for (const std::string& line : lines) {
      const std::string name = NthField(line, ",", 1);
      const auto offset = ParseInt32(NthField(line, ",", 2));
      // The size runs to the end of the line, so a line with more fields does not convert.
      const auto size = ParseInt32(SizeField(line));
      if (!offset || !size) continue;  // not a catalogue line
      if (*offset <= 0 || *size <= 0) continue;  // nothing to unpack
      const std::string target = folder + "\\" + name;
      // A member must stay inside the folder and lie inside the bundle.
      if (!IsPlainFileName(name) || static_cast<std::int64_t>(*offset) + *size > bundleSize ||
          ExtractStreamRange(fs, in.get(), target, *size, *offset) != 0) {
        complete = false;
        continue;
      }
      if (EqualsNoCase(name, BaseName + ".MJP")) documentPath = target;
    }
  }

  std::int32_t status = -3;
  if (!documentPath.empty() && fs.FileExists(documentPath)) {
    LoadProjectFile(documentPath);
    status = LoadStatus;
    fs.DeleteFile(documentPath);
  }
  if (allUnpacked) *allUnpacked = complete;
  return status;
}

}  // namespace ov::project
