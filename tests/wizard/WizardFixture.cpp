#include "WizardFixture.h"

#include <chrono>
#include <random>
#include <thread>

#include "package/Container.h"
#include "support/Folders.h"

namespace ov::wizard::testing {
namespace {

constexpr std::int32_t kFileDate = 0x3A6F6000;  // 15 March 2009, 12:00

package::PackMember Member(std::string folder, std::string name, std::string data) {
  package::PackMember member;
  member.Entry.Folder = std::move(folder);
  member.Entry.Name = std::move(name);
  member.Entry.FileDate = kFileDate;
  member.Data = std::move(data);
  return member;
}

}  // namespace

std::vector<package::PackMember> SmallPackageMembers() {
  std::vector<package::PackMember> members;
  members.push_back(Member("\\", "ornivale.exe", std::string(800, 'M')));
  members.push_back(Member("\\", "readme.txt", "Read me first.\r\n"));
  members.push_back(Member("\\Skins", "default.skn", std::string(300, 'S')));
  members.push_back(Member("\\SampleContent", "photo.png", std::string(200, 'P')));
  for (int i = 1; i <= 9; ++i) {
    members.push_back(
        Member("\\Projects", "sample" + std::to_string(i) + ".txt", "sample " + std::to_string(i)));
  }
  return members;
}

std::string BuildTestPackage(const std::vector<package::PackMember>& members) {
  std::string problem;
  const std::optional<std::string> bytes =
      package::BuildPackage(std::string(package::kPackageMagic) + "OVID_4019012345678922", members, problem);
  EXPECT_TRUE(bytes) << problem;
  return bytes.value_or(std::string());
}

MachineFixture::MachineFixture() {
  std::random_device random;
  hostRoot_ = std::filesystem::temp_directory_path() /
              ("ov-wizard-" + std::to_string(random()) + "-" + std::to_string(random()));
  emulated_ = std::make_unique<emulated::EmulatedMachine>(hostRoot_);
}

MachineFixture::~MachineFixture() {
  emulated_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(hostRoot_, ignored);
}

void MachineFixture::MakeFolder(const std::string& path) {
  for (std::size_t cut = path.find('\\', 3);; cut = path.find('\\', cut + 1)) {
    const std::string part = path.substr(0, cut);
    if (!fs().DirectoryExists(part)) {
      ASSERT_TRUE(fs().CreateDirectory(part)) << part;
    }
    if (cut == std::string::npos) break;
  }
}

void MachineFixture::WriteFile(const std::string& path, std::string_view content) {
  std::unique_ptr<platform::File> file = fs().Open(
      path, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
  ASSERT_TRUE(file) << path;
  ASSERT_TRUE(file->Write(content.data(), static_cast<std::uint32_t>(content.size()))) << path;
}

WizardFixture::WizardFixture() : view_(emulated()) {
  MakeFolder(kProgramFiles);
  emulated().SetSpecialFolder(csidl::kProgramFiles, kProgramFiles);
  emulated().SetResource("OVEULA", platform::ResourceType::RcData, "LICENCE AGREEMENT\r\nUse it well.\r\n");
  emulated().SetResource("BMP_GREEN_TICK", platform::ResourceType::Bitmap, std::string(70, '\x01'));
  SetPackage(SmallPackageMembers());
}

WizardFixture::~WizardFixture() { frm_.reset(); }

void WizardFixture::SetPackage(const std::vector<package::PackMember>& members) {
  emulated().SetResource("OVPACK", platform::ResourceType::RcData, BuildTestPackage(members));
}

void WizardFixture::Start() {
  const platform::WindowHandle other = FindOtherInstaller(machine().messages);
  frm_ = std::make_unique<TfrmInst>(machine(), view_, other);
  view_.Attach(*frm_);
  frm_->FormCreate();
  frm_->FormShow();
  states_ = {frm_->StateCode()};
}

void WizardFixture::GoToFolderPage() {
  view_.Click(Control::btnNext);
  view_.Click(Control::cbEULA);
  view_.Click(Control::btnNext);
  ASSERT_EQ(frm().PageIndex(), 2);
}

void WizardFixture::StartInstallInto(const std::string& target) {
  GoToFolderPage();
  view_.Type(Control::edtTarget, target);
  view_.Click(Control::btnNext);
  ASSERT_EQ(frm().PageIndex(), 3);
  ASSERT_NE(frm().InstallJob(), nullptr);
}

bool WizardFixture::PumpUntil(const std::function<bool()>& condition) {
  return emulated().PumpUntil([&] {
    if (states_.empty() || states_.back() != frm_->StateCode()) states_.push_back(frm_->StateCode());
    return condition();
  });
}

void WizardFixture::PumpToFinish(bool withShortcuts) {
  const bool finished = PumpUntil([&] {
    if (frm_->StateCode() != state::kFinished || view_.Page() != 4) return false;
    if (!withShortcuts) return true;
    const std::size_t n = states_.size();
    return n >= 2 && states_[n - 2] == state::kShortcuts;
  });
  ASSERT_TRUE(finished) << "the wizard did not finish; state " << frm_->StateCode();
}

void WizardFixture::WaitForJobEnd() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!frm().InstallJob()->Finished() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(frm().InstallJob()->Finished());
}

}  // namespace ov::wizard::testing
