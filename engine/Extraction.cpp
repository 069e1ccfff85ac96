// Copying the package out of the program and writing its files into the install folder.
#include "package/Extraction.h"

#include <exception>
#include <optional>

#include "engine/InstallThread.h"
#include "package/Container.h"
#include "support/Files.h"
#include "support/Folders.h"
#include "support/Text.h"

namespace ov::engine {

namespace {

void Record(std::vector<std::string>* list, const std::string& path) {
  if (list != nullptr) list->push_back(path);
}

// Status codes as wParam: sign-extended, so the receiver's 32-bit cast gives them back.
std::uintptr_t CodeParam(std::int32_t code) {
  return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(code));
}

}  // namespace

void TOVInstallThread::CopyPackage() {
  try {
    std::int32_t size = 0;
    std::string copy = package::CopyPackageResource(machine_, size);
    PackSize = size;
    if (copy.empty()) return;
    PackFile = copy;
    Status = 0;
  } catch (const std::exception&) {
    // PackFile stays empty; the job ends with -111.
  }
}

void TOVInstallThread::ExtractPackage(const std::string& packFile, const std::string& installFolder) {
  platform::FileSystem& fs = machine_.files;
  std::int32_t index = 0;
  std::unique_ptr<platform::File> pack;
  // True when every entry is written or a cancellation stopped the loop; false on a failure,
  // with Status naming the step.
  auto run = [&]() -> bool {
    Status = -211;
    if (!fs.FileExists(packFile)) return false;

    Status = -212;
    if (Trim(installFolder).size() < 2) return false;

    Status = -216;
    if (!TargetDir.empty() && TargetDir.back() == '\\') TargetDir.pop_back();
    if (!FolderExists(fs, TargetDir)) {
      if (!ForceFolder(fs, TargetDir)) return false;
      Record(Folders, TargetDir);
    }

    Status = -218;
    PostState(kStateCopying);
    CatalogueLines.clear();
    package::ReadPackageCatalogue(fs, packFile, &CatalogueLines);
    if (CatalogueLines.size() < 2) return false;

    Status = -219;
    package::ParseCatalogue(CatalogueLines, Items);
    if (Items.size() < 2) return false;

    Status = -228;
    PostState(kStateCopyingFiles);
    pack = fs.Open(packFile, platform::FileAccess::Read, platform::FileShare::ReadWrite,
                   platform::FileCreate::OpenExisting);
    if (!pack) return false;
    const std::int64_t packLength = pack->Size();

    std::int64_t total = 0;
    for (std::size_t i = 0; i < Items.size(); ++i) {
      Checkpoint();
      index = static_cast<std::int32_t>(i);
      Status = -238;
      ExtractItem(*pack, packLength, *Items[i], total);
      // The file in progress is finished before a cancellation is looked at.
      Checkpoint();
      if (Cancelled) return true;
      if (Status != 0) return false;
      Post(WM_OV_FILE_COPIED, static_cast<std::uintptr_t>(total), index);
    }
    return true;
  };

  bool finished = false;
  try {
    finished = run();
  } catch (const std::exception&) {
    // A raised failure (an unreadable catalogue, a folder that cannot be made) fails its step.
  }
  pack.reset();
  if (finished || Cancelled) return;
  Post(WM_OV_EXTRACT_ERROR, CodeParam(Status), index);
  Park();
}

void TOVInstallThread::ExtractItem(platform::File& pack, std::int64_t packLength, package::TPackItem& item,
                                   std::int64_t& total) {
  platform::FileSystem& fs = machine_.files;
  std::string folder = TargetDir + (item.Folder.empty() ? "\\" : item.Folder);
  if (!FolderExists(fs, folder)) {
    Status = -258;
    if (!ForceFolder(fs, folder)) return;
    Record(Folders, folder);
    Status = -238;
  }
  if (folder.back() != '\\') folder += '\\';
  item.Name = folder + item.Name;
  Record(Files, item.Name);

  // The catalogue is not trusted: a range outside the package is refused before any buffer is had.
  if (item.Size < 0 || item.Offset < 0 || std::int64_t{item.Offset} + item.Size > packLength) return;
  if (!pack.Seek(item.Offset)) return;
  std::optional<std::string> data = ReadBytes(pack, static_cast<std::uint64_t>(item.Size));
  if (!data) return;

  std::unique_ptr<platform::File> out = fs.Open(
      item.Name, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
  if (!out || !WriteAll(*out, *data)) {
    Status = -333;
    return;
  }
  total += item.Size;
  SetFileDate(*out, item.FileDate);
  Status = 0;
}

void TOVInstallThread::SetFileDate(platform::File& file, std::int32_t date) {
  package::SetFileDate(file, date);
}

}  // namespace ov::engine
