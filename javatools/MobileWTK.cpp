#include <exception>

#include "javatools/JavaTools.h"
#include "javatools/VersionText.h"
#include "platform/Types.h"
#include "support/Folders.h"
#include "support/Text.h"

namespace ov::javatools {

TMobileWTK::TMobileWTK(platform::FileSystem& files, std::string_view version, std::string_view homeDir)
    : Version(Trim(version)), HomeDir(Trim(homeDir)), files_(files) {
  if (Validate()) {
    Devices = std::make_unique<std::vector<std::string>>();
    RefreshDevices();
  }
}

bool TMobileWTK::Validate() {
  try {
    const MajorNumber major = ReadMajorNumber(Version);
    Status = major.status;
    if (Status == 0 && major.value < 2) Status = -5;
    if (Status < 0) return false;
    // Every check runs; a later failure overrides an earlier one.
    if (!FolderExists(files_, HomeDir)) Status = -11;
    if (!files_.FileExists(HomeDir + "\\bin\\preverify.exe")) Status = -13;
    if (!files_.FileExists(HomeDir + "\\lib\\cldcapi10.jar")) Status = -14;
    if (!files_.FileExists(HomeDir + "\\lib\\midpapi20.jar")) Status = -15;
    return Status == 0;
  } catch (const std::exception&) {
    Status = -1;
    return false;
  }
}

void TMobileWTK::RefreshDevices() {
  if (!Devices) return;
  Devices->clear();
  ListDevices(HomeDir, Devices.get());
  Reserved1 = 0;
  Reserved2 = 0;
}

void TMobileWTK::ListDevices(const std::string& folder, std::vector<std::string>* list) {
  try {
    if (list == nullptr || !FolderExists(files_, folder)) return;
    const std::string devicesFolder = folder + "\\wtklib\\devices\\";
    if (!FolderExists(files_, devicesFolder)) return;
    list->clear();
    for (const platform::FindEntry& entry : files_.Find(devicesFolder + "*")) {
      // A plain folder only: any other attribute bit (hidden, system, archive ...) rules it out.
      if ((entry.attributes & ~platform::attr::kDirectory) != 0 || entry.size != 0) continue;
      if (entry.name == "." || entry.name == "..") continue;
      if (files_.FileExists(devicesFolder + entry.name + "\\" + entry.name + ".properties")) {
        list->push_back(entry.name);
      }
    }
  } catch (const std::exception&) {
    // An unreadable listing ends it; the names found so far stay.
  }
}

}  // namespace ov::javatools
