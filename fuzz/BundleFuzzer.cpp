// ReadBundle, and through it LoadProjectFile, on any bytes: nothing outside the document's working
// folder may change, and a document that loads must survive being saved and read back.
//
// An input starting with the byte 0x01 is a project document, carried in a well-formed bundle with two
// resource files (t.txt, a.png) so that the document's own rules are reached; any other input is the
// bundle itself.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "package/Container.h"
#include "project/JavaApp.h"
#include "support/FolderTree.h"
#include "support/Folders.h"

namespace {

using ov::project::TOVJavaApp;

constexpr const char* kBundle = "C:\\fz\\x.ov5";
constexpr const char* kWorkBase = "C:\\fzwork\\";
constexpr const char* kWorkRoot = "C:\\fzwork";
constexpr const char* kSaveFolder = "C:\\fz\\out";
constexpr const char* kSaved = "C:\\fz\\out\\y.ov5";

std::string WrappedDocument(std::string_view document) {
  struct Member {
    const char* name;
    std::string_view bytes;
  };
  const Member members[] = {{"x.mjp", document}, {"t.txt", "text"}, {"a.png", "\x89PNG\r\n\x1a\n"}};
  std::string body;
  std::string catalogue;
  for (const Member& m : members) {
    catalogue += std::string(m.name) + "," + std::to_string(99 + body.size()) + "," +
                 std::to_string(m.bytes.size()) + "\r\n";
    body += m.bytes;
  }
  return ov::package::BuildContainerHeader("OrnivaleProject:OVID_39797_5982660764",
                                           static_cast<std::int32_t>(99 + body.size())) +
         body + catalogue;
}

// A text as it settles after being written and read back again and again: a profile value loses its
// outer blanks and one pair of enclosing quotes on every read, so a value that is still quoted, or
// blank-edged inside its quotes, changes once more. That is the file format, not a fault.
std::string Settled(std::string text) {
  while (true) {
    const std::size_t first = text.find_first_not_of(" \t\v\f");
    const std::size_t last = text.find_last_not_of(" \t\v\f");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    if (text.size() < 2 || (text.front() != '"' && text.front() != '\'') || text.back() != text.front()) {
      return text;
    }
    text = text.substr(1, text.size() - 2);
  }
}

// What a save and a new read must keep of a loaded document.
struct Summary {
  std::string id, title, description, vendor, javaPackage;
  std::int32_t midp = 0;
  std::size_t chapters = 0, listedItems = 0, urlImages = 0;
  bool operator==(const Summary&) const = default;
};

Summary Summarise(const TOVJavaApp& app) {
  Summary s;
  s.id = Settled(app.ID);
  s.title = Settled(app.Title);
  s.description = Settled(app.Description);
  s.vendor = Settled(app.MidletVendor);
  s.javaPackage = app.ProjectDef->JavaPackage;
  s.midp = app.MIDP;
  s.chapters = app.ChapterList.size();
  // Items of other kinds use up a number on save but get no section, so a new read drops them.
  for (const auto& item : app.ItemList) {
    if (item->mType == ov::project::kSourceFile || item->mType == ov::project::kSourceUrl) ++s.listedItems;
  }
  // File images stay only while their files do, which a new bundle need not carry.
  for (const auto& image : app.ImageList) {
    if (image->mType == ov::project::kSourceUrl) ++s.urlImages;
  }
  return s;
}

void RemoveTree(ov::platform::FileSystem& fs, const std::string& folder) {
  if (ov::FolderExists(fs, folder)) ov::DeleteFolderTreeRecursive(fs, folder, true);
  OV_FUZZ_CHECK(!ov::FolderExists(fs, folder), "cannot clear " + folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::string_view data(reinterpret_cast<const char*>(bytes), size);
  ov::emulated::EmulatedMachine& emulated = ov::fuzz::Machine();
  ov::platform::Machine& machine = emulated.machine();
  ov::platform::FileSystem& fs = machine.files;

  RemoveTree(fs, kSaveFolder);
  ov::fuzz::PutFile(fs, kBundle, !data.empty() && data[0] == '\x01' ? WrappedDocument(data.substr(1)) : data);
  const ov::fuzz::HostTree before = ov::fuzz::Snapshot(emulated, {kWorkRoot});

  std::int32_t status = 0;
  std::unique_ptr<Summary> loaded;
  {
    TOVJavaApp app(machine, kBundle, ov::project::kDefaultVendor, ov::project::kDefaultPackage, kWorkBase);
    status = app.ReadBundle(kBundle, app.WorkFolder);
    OV_FUZZ_CHECK(status == 0 || status == -1 || status == -3, "ReadBundle gave " + std::to_string(status));
    const std::string outside = ov::fuzz::FirstDifference(before, ov::fuzz::Snapshot(emulated, {kWorkRoot}));
    OV_FUZZ_CHECK(outside.empty(), "reading the bundle touched " + outside);
    if (status == 0 && app.SaveProject(kSaved) == 0) loaded = std::make_unique<Summary>(Summarise(app));
  }
  OV_FUZZ_CHECK(
      ov::fuzz::FirstDifference(before, ov::fuzz::Snapshot(emulated, {kWorkRoot, kSaveFolder})).empty(),
      "the document left something behind outside its folders");
  OV_FUZZ_CHECK(emulated.OpenFileCount() == 0, "a file was left open");
  if (!loaded) return 0;

  TOVJavaApp again(machine, kSaved, ov::project::kDefaultVendor, ov::project::kDefaultPackage, kWorkBase);
  OV_FUZZ_CHECK(again.ReadBundle(kSaved, again.WorkFolder) == 0, "a saved document does not read back");
  OV_FUZZ_CHECK(Summarise(again) == *loaded, "a saved document reads back different");
  return 0;
}
