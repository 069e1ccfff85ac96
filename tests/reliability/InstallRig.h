#pragma once
// One emulated machine set up as a user's Windows machine (other products' registry keys, the user's
// own files), with taps on its file system, registry and messages, and the install and rollback jobs
// run on it the way the wizard runs them.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/InstallThread.h"
#include "package/PackageWriter.h"
#include "platform/emulated/EmulatedMachine.h"
#include "tests/engine/HookedMachine.h"
#include "tests/engine/JobFixture.h"
#include "tests/reliability/MachineSnapshot.h"
#include "tests/reliability/TappedPlatform.h"

namespace ov::reliability {

using engine::Message;

// A package as the job gets it, with its members in catalogue order.
struct Package {
  std::string bytes;
  std::vector<package::PackMember> members;
};

// The package the build makes from the demo product tree: 207 files, nine samples, about 25 MB.
const Package& DemoPackage();
// The demo package cut down for exhaustive sweeps: the first two members of each folder, the two
// smallest samples with their compiled applications, every member but the samples cut to 2 KB. It
// keeps what matters to a rollback: the programs, an unrecorded "\Projects\Compiled", samples that
// the relocation stores again.
const Package& SmallPackage();

// Where the job writes a member below the install folder.
std::string FullPath(const std::string& target, const package::PackEntry& entry);

class InstallRig {
 public:
  static constexpr const char* kTarget = "C:\\Ornivale";
  static constexpr const char* kWindows = "C:\\windows";
  static constexpr const char* kCopy = "C:\\windows\\temp\\ovpack.pck";

  InstallRig();
  ~InstallRig();
  InstallRig(const InstallRig&) = delete;
  InstallRig& operator=(const InstallRig&) = delete;

  emulated::EmulatedMachine& emulated() { return *emulated_; }
  // The machine without taps, for setting up and inspecting.
  platform::FileSystem& fs() { return emulated_->machine().files; }
  platform::Registry& registry() { return emulated_->machine().registry; }
  // The machine the jobs run on.
  platform::Machine& machine() { return *machine_; }
  TappedFileSystem& tappedFiles() { return *files_; }
  TappedRegistry& tappedRegistry() { return *registry_; }
  engine::HookedMessages& hookedMessages() { return *messages_; }

  void SetPackage(const std::string& bytes);
  // Keys every Windows machine has and another product's entries, which an install and its rollback
  // must leave as they are.
  void SeedSystemRegistry();
  // The user's own files, none with the name of a package member: in an install folder that already
  // exists, and elsewhere (beside it, in the Windows and temporary folders).
  void SeedFilesInInstallFolder();
  void SeedFilesElsewhere();
  void Put(const std::string& path, const std::string& bytes);  // creates missing folders

  MachineSnapshot Snapshot() { return TakeSnapshot(*emulated_); }

  // The install job as the wizard starts it.
  engine::TOVInstallThread& StartInstall(const std::string& target = kTarget,
                                         const javatools::TSunJDK* jdk = nullptr,
                                         const javatools::TMobileWTK* wtk = nullptr);
  // What the wizard does on a confirmed cancel, for a tap that runs at a point of the job.
  void Cancel();
  engine::TOVInstallThread& install() { return *install_; }
  // Pumps until the end message was handled; false after ten seconds.
  bool RunToEnd();
  // Pumps until the job parked and everything it posted before was handled.
  bool RunToPark();
  // The rollback job on the install's lists, run to its end; false when it did not end.
  bool RunRollback();

  const std::vector<Message>& received() const { return received_; }
  int CountOf(std::uint32_t id) const;
  const std::vector<std::string>& folders() const { return folders_; }
  const std::vector<std::string>& files() const { return files_list_; }

 private:
  std::filesystem::path hostRoot_;
  std::unique_ptr<emulated::EmulatedMachine> emulated_;
  std::unique_ptr<TappedFileSystem> files_;
  std::unique_ptr<TappedRegistry> registry_;
  std::unique_ptr<engine::HookedMessages> messages_;
  std::unique_ptr<platform::Machine> machine_;
  platform::WindowHandle window_ = 0;
  std::vector<Message> received_;
  bool ended_ = false;
  bool rolledBack_ = false;
  std::vector<std::string> folders_;
  std::vector<std::string> files_list_;
  std::unique_ptr<engine::TOVInstallThread> install_;
  std::unique_ptr<engine::TOVInstallThread> rollback_;
};

}  // namespace ov::reliability
