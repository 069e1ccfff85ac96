// A whole install job with the input as the program's package: whatever the package says, nothing
// outside the install folder and the temporary folder changes but the install log and the uninstaller's
// copy in the Windows folder, everything written is recorded for the rollback, an extraction error
// carries one of the extraction's codes, and no handle stays open.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/InstallThread.h"
#include "fuzz/FuzzSupport.h"
#include "support/FolderTree.h"
#include "support/Folders.h"
#include "support/Text.h"

namespace {

using ov::engine::TOVInstallThread;

constexpr const char* kTarget = "C:\\Ornivale";
constexpr const char* kTemp = "C:\\windows\\temp";
constexpr const char* kCopy = "C:\\windows\\temp\\ovpack.pck";
constexpr const char* kLog = "C:\\windows\\OVinstall.log";
constexpr const char* kUninstaller = "C:\\windows\\OVUninstall.exe";
constexpr std::int32_t kExtractionCodes[] = {-211, -212, -216, -218, -219, -228, -238, -258, -333};

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool IsAtOrBelow(const std::string& path, const std::string& folder) {
  const std::string p = Lower(path), f = Lower(folder);
  return p == f || (p.size() > f.size() && p.compare(0, f.size(), f) == 0 && p[f.size()] == '\\');
}

// The program's resources with the input as its package, seen in place. (The emulated machine keeps
// every resource it was ever given, so that views stay valid, which a long run cannot afford.)
class InputResources final : public ov::platform::Resources {
 public:
  std::optional<std::string_view> Find(const std::string& name, ov::platform::ResourceType type) override {
    if (type != ov::platform::ResourceType::RcData || !ov::EqualsNoCase(name, "OVPACK")) return std::nullopt;
    return package;
  }

  std::string_view package;
};

struct Session {
  InputResources resources;
  ov::platform::WindowHandle window = 0;
  bool ended = false;
  bool extractError = false;
  std::int32_t errorCode = 0;
  ov::fuzz::HostTree outside;  // the machine outside the install and temporary folders
};

Session& Setup() {
  static Session session = [] {
    Session s;
    ov::emulated::EmulatedMachine& emulated = ov::fuzz::Machine();
    ov::platform::FileSystem& fs = emulated.machine().files;
    // Bystanders beside and above the install folder, where an escaping name would land.
    ov::fuzz::PutFile(fs, "C:\\keep.txt", "keep");
    ov::fuzz::PutFile(fs, "C:\\Ornivale-old\\keep.txt", "keep");
    ov::fuzz::PutFile(fs, "C:\\windows\\win.ini", "[windows]\r\n");
    s.outside = ov::fuzz::Snapshot(emulated, {kTarget, kTemp, kLog, kUninstaller});
    return s;
  }();
  static bool windowMade = [] {
    session.window =
        ov::fuzz::Machine().CreateWindow("TfrmInst", [](std::uint32_t id, std::uintptr_t w, std::intptr_t) {
          if (id == ov::engine::WM_OV_JOB_ENDED) session.ended = true;
          if (id == ov::engine::WM_OV_EXTRACT_ERROR) {
            session.extractError = true;
            session.errorCode = static_cast<std::int32_t>(w);
          }
          return std::intptr_t{0};
        });
    return true;
  }();
  (void)windowMade;
  return session;
}

// The files in the install folder as Windows paths, in lower case.
std::vector<std::string> FilesInTarget(ov::emulated::EmulatedMachine& emulated) {
  std::vector<std::string> files;
  const std::filesystem::path host = emulated.HostPath(kTarget);
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(host, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory()) continue;
    std::string relative = it->path().lexically_relative(host).generic_string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    files.push_back(Lower(std::string(kTarget) + "\\" + relative));
  }
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  Session& session = Setup();
  ov::emulated::EmulatedMachine& emulated = ov::fuzz::Machine();
  ov::platform::Machine& own = emulated.machine();
  ov::platform::Machine machine{own.files, own.registry, own.system,
                                own.shell, own.messages, session.resources};
  ov::platform::FileSystem& fs = machine.files;

  session.resources.package = std::string_view(reinterpret_cast<const char*>(bytes), size);
  session.ended = false;
  session.extractError = false;
  std::vector<std::string> folders;
  std::vector<std::string> files;
  {
    auto job = std::make_unique<TOVInstallThread>(machine, true, ov::engine::kModeInstall, session.window,
                                                  &folders, &files);
    job->SetEndHandler([&](ov::platform::WorkerThread&) {
      machine.messages.Post(session.window, ov::engine::WM_OV_JOB_ENDED, 0, 0);
    });
    job->TargetDir = kTarget;
    job->Resume();
    // libFuzzer's own timeout reports a job that never ends.
    while (!emulated.PumpUntil([&] { return session.ended || session.extractError; })) {
    }
    job.reset();  // a parked job is unwound here
  }
  emulated.PumpPending();

  if (session.extractError) {
    OV_FUZZ_CHECK(std::find(std::begin(kExtractionCodes), std::end(kExtractionCodes), session.errorCode) !=
                      std::end(kExtractionCodes),
                  "extraction error " + std::to_string(session.errorCode));
  }
  const std::string outside = ov::fuzz::FirstDifference(
      session.outside, ov::fuzz::Snapshot(emulated, {kTarget, kTemp, kLog, kUninstaller}));
  OV_FUZZ_CHECK(outside.empty(), "the install touched " + outside);
  for (const std::string& folder : folders) {
    OV_FUZZ_CHECK(IsAtOrBelow(folder, kTarget), "recorded folder outside the install folder: " + folder);
  }
  std::set<std::string> recorded;
  for (const std::string& file : files) {
    OV_FUZZ_CHECK(IsAtOrBelow(file, kTarget) && Lower(file) != Lower(kTarget),
                  "recorded file outside the install folder: " + file);
    recorded.insert(Lower(file));
  }
  for (const std::string& file : FilesInTarget(emulated)) {
    OV_FUZZ_CHECK(recorded.count(file), "a file the rollback would not know of: " + file);
  }
  OV_FUZZ_CHECK(!fs.FileExists(kCopy), "the package copy stayed");
  OV_FUZZ_CHECK(emulated.OpenFileCount() == 0, "a file was left open");

  // The next run starts from the same machine.
  if (ov::FolderExists(fs, kTarget)) ov::DeleteFolderTreeRecursive(fs, kTarget, true);
  OV_FUZZ_CHECK(!ov::FolderExists(fs, kTarget), "cannot clear the install folder");
  for (const char* left : {kLog, kUninstaller}) {
    OV_FUZZ_CHECK(!fs.FileExists(left) || fs.DeleteFile(left), std::string("cannot delete ") + left);
  }
  return 0;
}
