#include "tests/reliability/InstallRig.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "package/Container.h"
#include "project/JavaApp.h"
#include "support/Files.h"
#include "support/FolderTree.h"
#include "support/Folders.h"

namespace ov::reliability {
namespace {

using namespace std::chrono_literals;

// A whole demo install takes a few seconds; under the sanitizers many times that.
constexpr auto kJobTimeout = 120s;
constexpr std::size_t kSmallMemberLimit = 2048;

Package ReadDemoPackage() {
  std::ifstream in(OV_DEFAULT_PACKAGE, std::ios::binary);
  Package package;
  package.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (package.bytes.size() < package::kHeaderReadLength) throw std::runtime_error("no demo package");
  const std::string_view bytes(package.bytes);
  const std::optional<std::int32_t> offset =
      package::CatalogueOffsetFromHeader(bytes.substr(0, package::kHeaderReadLength));
  if (!offset || *offset < 0 || static_cast<std::size_t>(*offset) > bytes.size()) {
    throw std::runtime_error("demo package without a catalogue");
  }
  std::vector<std::unique_ptr<package::TPackItem>> items;
  package::ParseCatalogue(package::SplitCatalogueText(bytes.substr(static_cast<std::size_t>(*offset))),
                          items);
  for (const auto& item : items) {
    package::PackMember member;
    member.Entry = {item->Folder, item->Name, item->Size, item->FileDate};
    member.Data =
        package.bytes.substr(static_cast<std::size_t>(item->Offset), static_cast<std::size_t>(item->Size));
    package.members.push_back(std::move(member));
  }
  return package;
}

std::string WithoutExtension(const std::string& name) { return name.substr(0, name.rfind('.')); }

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

Package CutDown(const Package& demo) {
  constexpr std::string_view kProjects = "\\Projects";
  constexpr std::string_view kCompiled = "\\Projects\\Compiled\\";
  // The two smallest samples, by name without ".ov5".
  std::vector<const package::PackMember*> samples;
  for (const auto& member : demo.members) {
    if (member.Entry.Folder == kProjects) samples.push_back(&member);
  }
  std::sort(samples.begin(), samples.end(),
            [](const auto* a, const auto* b) { return a->Data.size() < b->Data.size(); });
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < samples.size() && i < 2; ++i)
    kept.push_back(WithoutExtension(samples[i]->Entry.Name));

  Package small;
  std::map<std::string, int> perFolder;
  for (const auto& member : demo.members) {
    const std::string& folder = member.Entry.Folder;
    bool keep = false;
    if (folder == kProjects) {
      keep = std::find(kept.begin(), kept.end(), WithoutExtension(member.Entry.Name)) != kept.end();
    } else if (StartsWith(folder, kCompiled)) {
      keep = std::find(kept.begin(), kept.end(), folder.substr(kCompiled.size())) != kept.end();
    } else {
      keep = ++perFolder[folder] <= 2;
    }
    if (!keep) continue;
    package::PackMember copy = member;
    if (folder != kProjects && copy.Data.size() > kSmallMemberLimit) copy.Data.resize(kSmallMemberLimit);
    copy.Entry.Size = static_cast<std::int64_t>(copy.Data.size());
    small.members.push_back(std::move(copy));
  }
  const std::string id = demo.bytes.substr(0, demo.bytes.find("\r\n"));
  std::string problem;
  std::optional<std::string> bytes = package::BuildPackage(id, small.members, problem);
  if (!bytes) throw std::runtime_error("small package: " + problem);
  small.bytes = std::move(*bytes);
  return small;
}

}  // namespace

const Package& DemoPackage() {
  static const Package demo = ReadDemoPackage();
  return demo;
}

const Package& SmallPackage() {
  static const Package small = CutDown(DemoPackage());
  return small;
}

std::string FullPath(const std::string& target, const package::PackEntry& entry) {
  return target + (entry.Folder == "\\" ? std::string() : entry.Folder) + "\\" + entry.Name;
}

InstallRig::InstallRig() {
  std::random_device random;
  hostRoot_ = std::filesystem::temp_directory_path() /
              ("ov-reliability-" + std::to_string(random()) + "-" + std::to_string(random()));
  emulated_ = std::make_unique<emulated::EmulatedMachine>(hostRoot_);
  platform::Machine& inner = emulated_->machine();
  files_ = std::make_unique<TappedFileSystem>(inner.files);
  registry_ = std::make_unique<TappedRegistry>(inner.registry);
  messages_ = std::make_unique<engine::HookedMessages>(inner.messages);
  machine_ = std::make_unique<platform::Machine>(
      platform::Machine{*files_, *registry_, inner.system, inner.shell, *messages_, inner.resources});
  emulated_->SetTempPath("C:\\windows\\temp\\");
  emulated_->SetWindowsDirectory(kWindows);
  emulated_->SetClock(platform::LocalTime{2009, 8, 3, 9, 30, 0, 0});
  window_ = emulated_->CreateWindow("TfrmInst", [this](std::uint32_t id, std::uintptr_t w, std::intptr_t l) {
    received_.push_back({id, static_cast<std::int32_t>(w), static_cast<std::int32_t>(l)});
    if (id == engine::WM_OV_JOB_ENDED) ended_ = true;
    return std::intptr_t{0};
  });
}

InstallRig::~InstallRig() {
  // The taps belong to the test that is ending; the jobs go next, since a parked one is released
  // and still touches the machine while it unwinds.
  files_->tap = nullptr;
  registry_->tap = nullptr;
  messages_->onPost = nullptr;
  rollback_.reset();
  install_.reset();
  machine_.reset();
  emulated_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(hostRoot_, ignored);
}

void InstallRig::SetPackage(const std::string& bytes) {
  emulated_->SetResource("OVPACK", platform::ResourceType::RcData, bytes);
}

void InstallRig::SeedSystemRegistry() {
  using platform::RegRoot;
  const auto text = [](std::string value) {
    return platform::RegValue{platform::RegType::String, std::move(value), 0};
  };
  const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  emulated_->SetRegistryValue(RegRoot::LocalMachine, uninstall + "\\{0B1C2D3E-0000-4000-8000-00000000AB01}",
                              "DisplayName", text("Another Product"));
  emulated_->SetRegistryValue(RegRoot::LocalMachine, "SOFTWARE\\Another Vendor\\Tool", "Path",
                              text("C:\\Tool"));
  emulated_->SetRegistryValue(RegRoot::ClassesRoot, ".txt", "", text("txtfile"));
  emulated_->SetRegistryValue(RegRoot::ClassesRoot, "Applications\\notepad.exe\\shell\\open\\command", "",
                              text("notepad.exe \"%1\""));
}

void InstallRig::Put(const std::string& path, const std::string& bytes) {
  const std::string folder = path.substr(0, path.rfind('\\'));
  if (!FolderExists(fs(), folder) && !ForceFolder(fs(), folder))
    throw std::runtime_error("cannot make " + folder);
  std::unique_ptr<platform::File> file = fs().Open(
      path, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
  if (!file || !WriteAll(*file, bytes)) throw std::runtime_error("cannot write " + path);
}

void InstallRig::SeedFilesInInstallFolder() {
  Put(std::string(kTarget) + "\\notes.txt", "my notes\r\n");
  Put(std::string(kTarget) + "\\SampleContent\\Holiday.txt", "a text of my own\r\n");
  Put(std::string(kTarget) + "\\Projects\\Compiled\\Old\\Old.jad", "MIDlet-Name: Old\r\n");
  // A project of the user's own among the samples: one made from a sample and saved under its own name.
  const auto sample = std::find_if(DemoPackage().members.begin(), DemoPackage().members.end(),
                                   [](const auto& m) { return m.Entry.Name == "PhraseBook.ov5"; });
  if (sample == DemoPackage().members.end()) throw std::runtime_error("no PhraseBook sample");
  const std::string scratch = "C:\\Scratch";
  Put(scratch + "\\PhraseBook.ov5", sample->Data);
  {
    project::TOVJavaApp app(emulated_->machine(), scratch + "\\PhraseBook.ov5", project::kDefaultVendor,
                            project::kDefaultPackage, scratch + "\\work");
    if (app.ReadBundle(scratch + "\\PhraseBook.ov5", app.WorkFolder) != 0 ||
        app.SaveProject(std::string(kTarget) + "\\Projects\\MyPhrases.ov5") != 0) {
      throw std::runtime_error("cannot make the user's project");
    }
  }
  DeleteFolderTree(fs(), scratch, true);
}

void InstallRig::SeedFilesElsewhere() {
  Put("C:\\Ornivale2\\keep.txt", "beside the install folder\r\n");
  Put("C:\\windows\\temp\\other.tmp", std::string(300, 'T'));
  Put("C:\\windows\\win.ini", "[windows]\r\n");
  Put("C:\\Documents\\letter.txt", "Dear reader\r\n");
}

engine::TOVInstallThread& InstallRig::StartInstall(const std::string& target, const javatools::TSunJDK* jdk,
                                                   const javatools::TMobileWTK* wtk) {
  // A day after the user's files were written, so that a file written again shows it by its date.
  emulated_->SetClock(platform::LocalTime{2009, 8, 4, 9, 30, 0, 0});
  install_ = std::make_unique<engine::TOVInstallThread>(*machine_, true, engine::kModeInstall, window_,
                                                        &folders_, &files_list_);
  install_->TargetDir = target;
  install_->SetJdk(jdk);
  install_->SetWtk(wtk);
  install_->SetEndHandler([this](platform::WorkerThread&) {
    emulated_->machine().messages.Post(window_, engine::WM_OV_JOB_ENDED,
                                       static_cast<std::uintptr_t>(install_->Mode.load()),
                                       install_->Status.load());
  });
  install_->Resume();
  return *install_;
}

void InstallRig::Cancel() {
  install_->Mode = engine::kModeCancelled;
  install_->Cancelled = true;
}

bool InstallRig::RunToEnd() {
  return emulated_->PumpUntil([this] { return ended_; }, kJobTimeout);
}

bool InstallRig::RunToPark() {
  const auto deadline = std::chrono::steady_clock::now() + kJobTimeout;
  while (!install_->Parked() && !install_->Finished() && std::chrono::steady_clock::now() < deadline) {
    emulated_->PumpPending();
    std::this_thread::sleep_for(1ms);
  }
  emulated_->PumpPending();
  return install_->Parked();
}

bool InstallRig::RunRollback() {
  rollback_ = std::make_unique<engine::TOVInstallThread>(*machine_, true, engine::kModeRollback, window_,
                                                         &folders_, &files_list_);
  rollback_->TargetDir = install_->TargetDir;
  rollback_->SetEndHandler([this](platform::WorkerThread&) { rolledBack_ = true; });
  rollback_->Resume();
  return emulated_->PumpUntil([this] { return rolledBack_; }, kJobTimeout);
}

int InstallRig::CountOf(std::uint32_t id) const {
  return static_cast<int>(
      std::count_if(received_.begin(), received_.end(), [id](const Message& m) { return m.id == id; }));
}

}  // namespace ov::reliability
