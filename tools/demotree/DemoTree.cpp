#include "tools/demotree/DemoTree.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <system_error>

#include "support/Dates.h"
#include "support/Errors.h"
#include "tools/demotree/Artwork.h"
#include "tools/demotree/Documents.h"
#include "tools/demotree/ProductFiles.h"
#include "tools/demotree/Samples.h"

namespace ov::demotree {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSampleContent = "\\SampleContent";
constexpr const char* kPictures = "\\SampleContent\\PNGs";
constexpr const char* kSkins = "\\Skins";
constexpr const char* kSchemas = "\\Schemas";
constexpr const char* kProjects = "\\Projects";
constexpr const char* kCompiled = "\\Projects\\Compiled\\";

// The time without milliseconds and odd seconds, which an MS-DOS date cannot hold.
platform::LocalTime FileTime(platform::LocalTime time) {
  time.millisecond = 0;
  time.second -= time.second % 2;
  return time;
}

// The n-th of a series of times `step` seconds apart (an even number keeps them whole).
platform::LocalTime Later(const platform::LocalTime& start, int n, int step) {
  return FileTime(FromDayNumber(DayNumber(start) + static_cast<double>(n) * step / 86400.0));
}

std::uint32_t Dos(const platform::LocalTime& time) {
  const std::optional<std::uint32_t> dos = DosDateTime(time);
  if (!dos) throw OvError("a date the package cannot hold");
  return *dos;
}

constexpr platform::LocalTime kRelease{2009, 7, 25, 10, 24, 36, 0};
constexpr platform::LocalTime kHelpWritten{2009, 7, 24, 18, 30, 0, 0};
constexpr platform::LocalTime kContentStart{2009, 3, 2, 10, 0, 0, 0};
constexpr platform::LocalTime kPicturesStart{2009, 2, 16, 9, 0, 0, 0};
constexpr platform::LocalTime kSkinsStart{2009, 4, 20, 14, 0, 0, 0};
constexpr platform::LocalTime kSchemesStart{2009, 4, 6, 11, 0, 0, 0};

void AddSeries(std::vector<TreeFile>& tree, const std::string& folder, std::vector<NamedFile> files,
               const platform::LocalTime& start, int step) {
  int n = 0;
  for (NamedFile& file : files) {
    tree.push_back({folder, std::move(file.Name), std::move(file.Data), Later(start, n++, step)});
  }
}

}  // namespace

std::vector<std::string> FolderOrder() {
  std::vector<std::string> folders = {"\\", kSampleContent, kSkins, kSchemas, kProjects, kPictures};
  for (const std::string& name : SampleNames()) folders.push_back(kCompiled + name);
  return folders;
}

std::vector<TreeFile> BuildDemoTree(const Programs& programs, const fs::path& scratch) {
  const std::vector<Document> documents = SampleDocuments();
  const std::vector<SourcePicture> pictures = SourcePictures();

  std::vector<TreeFile> tree;
  tree.push_back(
      {"\\", "ornivale.exe", programs.Product.value_or(ProgramPlaceholder("ornivale.exe")), kRelease});
  tree.push_back({"\\", "OVUninstall.exe",
                  programs.Uninstaller.value_or(ProgramPlaceholder("OVUninstall.exe")), kRelease});
  const std::size_t help = tree.size();
  tree.push_back({"\\", "OrnivaleHelp.htm", "", kHelpWritten});
  tree.push_back({"\\", "OrnivaleHelp.css", HelpStyleSheet(), kHelpWritten});
  tree.push_back({"\\", "ReadMe.txt", ReadMe(), kRelease});
  tree.push_back({"\\", "License.txt", Licence(), kRelease});

  std::vector<NamedFile> content;
  for (const Document& document : documents) content.push_back({document.Name, document.FileBytes()});
  for (const SourcePicture& picture : pictures) content.push_back({picture.Name, picture.FileBytes()});
  AddSeries(tree, kSampleContent, std::move(content), kContentStart, 86400 + 1034);

  AddSeries(tree, kSkins, Skins(Dos(kSkinsStart)), kSkinsStart, 2 * 86400 + 126);

  std::vector<NamedFile> schemes = ColourSchemes();
  for (NamedFile& file : StringSchemes()) schemes.push_back(std::move(file));
  for (NamedFile& file : IconSchemes(Dos(kSchemesStart))) schemes.push_back(std::move(file));
  AddSeries(tree, kSchemas, std::move(schemes), kSchemesStart, 3600 + 44);

  const std::vector<CompiledSample> samples = BuildSamples(documents, pictures, scratch);
  for (const CompiledSample& sample : samples) {
    tree.push_back({kProjects, sample.Name + ".ov5", sample.Bundle, FileTime(sample.Saved)});
  }
  AddSeries(tree, kPictures, PictureCollection(), kPicturesStart, 5 * 3600 + 38);
  for (const CompiledSample& sample : samples) {
    const std::string folder = kCompiled + sample.Name;
    tree.push_back({folder, sample.Name + ".jad", sample.Jad, FileTime(sample.Built)});
    tree.push_back({folder, sample.Name + ".jar", sample.Jar, FileTime(sample.Built)});
  }

  std::int64_t others = 0;
  for (const TreeFile& file : tree) others += static_cast<std::int64_t>(file.Data.size());
  tree[help].Data = HelpPage(others < kTreeBytes ? static_cast<std::size_t>(kTreeBytes - others) : 0);
  return tree;
}

std::string RelativePath(const TreeFile& file) {
  return (file.Folder == "\\" ? "" : file.Folder.substr(1) + "\\") + file.Name;
}

std::string OrderFileText(const std::vector<TreeFile>& files) {
  std::string text;
  for (const TreeFile& file : files) text += RelativePath(file) + "\n";
  return text;
}

void WriteTree(const std::vector<TreeFile>& files, const fs::path& root) {
  std::error_code error;
  // Only a tree of its own is replaced, so a wrong path costs nobody their files.
  if (fs::exists(root, error) && !fs::is_empty(root, error) &&
      !fs::is_regular_file(root / "OrnivaleHelp.htm")) {
    throw OvError(root.string() + ": holds files but no demo tree; choose another folder");
  }
  fs::remove_all(root, error);
  if (error) throw OvError(root.string() + ": cannot be emptied (" + error.message() + ")");
  for (const TreeFile& file : files) {
    // Each part between the package's "\" separators is one host folder.
    fs::path path = root;
    std::string rest = file.Folder.substr(1);
    while (!rest.empty()) {
      const std::size_t cut = rest.find('\\');
      path /= rest.substr(0, cut);
      rest = cut == std::string::npos ? "" : rest.substr(cut + 1);
    }
    fs::create_directories(path, error);
    if (error) throw OvError(path.string() + ": cannot be created (" + error.message() + ")");
    path /= file.Name;
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(file.Data.data(), static_cast<std::streamsize>(file.Data.size()));
      out.close();
      if (!out) throw OvError(path.string() + ": cannot be written");
    }
    std::tm local{};
    local.tm_year = file.Written.year - 1900;
    local.tm_mon = file.Written.month - 1;
    local.tm_mday = file.Written.day;
    local.tm_hour = file.Written.hour;
    local.tm_min = file.Written.minute;
    local.tm_sec = file.Written.second;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) throw OvError(path.string() + ": its date has no host time");
    fs::last_write_time(
        path, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(seconds)), error);
    if (error) throw OvError(path.string() + ": cannot be dated (" + error.message() + ")");
  }
}

}  // namespace ov::demotree
