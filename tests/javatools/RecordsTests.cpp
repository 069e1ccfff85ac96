// Judging kits and toolkits, and listing a toolkit's devices.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "javatools/JavaTools.h"
#include "platform/Types.h"
#include "tests/javatools/JavaToolsFixture.h"
#include "tests/javatools/ProbedFiles.h"

namespace ov::javatools::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

// How the file system answers while a record is judged.
enum class Probe { Plain, HomeUnreadable, Raising };

struct ValidateCase {
  const char* version;
  const char* homeDir;
  Probe probe;
  std::int32_t status;
};

std::ostream& operator<<(std::ostream& out, const ValidateCase& c) {
  return out << '"' << c.version << "\" at \"" << c.homeDir << "\" probe " << static_cast<int>(c.probe);
}

class JdkValidateTest : public JavaToolsTest, public ::testing::WithParamInterface<ValidateCase> {};

TEST_P(JdkValidateTest, StatusFollowsVersionThenFiles) {
  MakeJdk("C:\\jdk");
  MakeFolder("C:\\bare");
  const ValidateCase& c = GetParam();
  ProbedFiles probed(files());
  if (c.probe == Probe::HomeUnreadable) probed.unreadableFolder = "C:\\jdk";
  if (c.probe == Probe::Raising) probed.raisingPrefix = "C:\\jdk";

  TSunJDK jdk(probed, c.version, c.homeDir);
  EXPECT_EQ(jdk.Status, c.status);
  EXPECT_EQ(jdk.Validate(), c.status == 0);
  EXPECT_EQ(jdk.Status, c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, JdkValidateTest,
    ::testing::Values(
        ValidateCase{"1.5.0_11", "C:\\jdk", Probe::Plain, 0}, ValidateCase{"1.4", "C:\\jdk", Probe::Plain, 0},
        ValidateCase{"1.4.2_05", "C:\\jdk", Probe::Plain, 0}, ValidateCase{"2.1", "C:\\jdk", Probe::Plain, 0},
        ValidateCase{"10.0", "C:\\jdk", Probe::Plain, 0},
        ValidateCase{" \t1.6.0\r\n", " C:\\jdk\t", Probe::Plain, 0},  // both texts are trimmed
        ValidateCase{"", "C:\\jdk", Probe::Plain, -3}, ValidateCase{"9", "C:\\jdk", Probe::Plain, -3},
        ValidateCase{"x.5", "C:\\jdk", Probe::Plain, -4}, ValidateCase{".5", "C:\\jdk", Probe::Plain, -4},
        ValidateCase{"1a.5", "C:\\jdk", Probe::Plain, -4},
        ValidateCase{"99999999999.5", "C:\\jdk", Probe::Plain, -4},
        ValidateCase{"0.9", "C:\\jdk", Probe::Plain, -5}, ValidateCase{"-1.5", "C:\\jdk", Probe::Plain, -5},
        ValidateCase{"1.", "C:\\jdk", Probe::Plain, -6}, ValidateCase{"1.x", "C:\\jdk", Probe::Plain, -6},
        ValidateCase{"1. 5", "C:\\jdk", Probe::Plain, -6},
        ValidateCase{"1.3.1_20", "C:\\jdk", Probe::Plain, -1414},
        ValidateCase{"1.0", "C:\\jdk", Probe::Plain, -1414},
        ValidateCase{"1.10", "C:\\jdk", Probe::Plain, -1414},  // only the digit right after the dot counts
        ValidateCase{"1.5", "C:\\bare", Probe::Plain, -12},
        ValidateCase{"1.5", "C:\\absent", Probe::Plain, -12},  // the missing javac.exe overrides -11
        ValidateCase{"1.5", "C:\\jdk", Probe::HomeUnreadable, -11},
        ValidateCase{"1.5", "C:\\jdk", Probe::Raising, -1},
        ValidateCase{"9", "C:\\jdk", Probe::Raising, -3}));  // the version is judged before any probe

class WtkValidateTest : public JavaToolsTest, public ::testing::WithParamInterface<ValidateCase> {};

TEST_P(WtkValidateTest, StatusFollowsVersionThenTheLastMissingFile) {
  MakeWtk("C:\\wtk");
  MakeFolder("C:\\bare");
  MakeFile("C:\\no-preverify\\lib\\cldcapi10.jar");
  MakeFile("C:\\no-preverify\\lib\\midpapi20.jar");
  MakeFile("C:\\no-cldc\\bin\\preverify.exe");
  MakeFile("C:\\no-cldc\\lib\\midpapi20.jar");
  MakeFile("C:\\no-midp\\bin\\preverify.exe");
  MakeFile("C:\\no-midp\\lib\\cldcapi10.jar");
  MakeFile("C:\\midp-only\\lib\\midpapi20.jar");
  const ValidateCase& c = GetParam();
  ProbedFiles probed(files());
  if (c.probe == Probe::HomeUnreadable) probed.unreadableFolder = "C:\\wtk";
  if (c.probe == Probe::Raising) probed.raisingPrefix = "C:\\wtk";

  TMobileWTK wtk(probed, c.version, c.homeDir);
  EXPECT_EQ(wtk.Status, c.status);
  EXPECT_EQ(wtk.Devices != nullptr, c.status == 0);
  EXPECT_EQ(wtk.Validate(), c.status == 0);
  EXPECT_EQ(wtk.Status, c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, WtkValidateTest,
    ::testing::Values(
        ValidateCase{"2.5.2", "C:\\wtk", Probe::Plain, 0}, ValidateCase{"2.2", "C:\\wtk", Probe::Plain, 0},
        ValidateCase{"10.0", "C:\\wtk", Probe::Plain, 0},
        ValidateCase{"2.x", "C:\\wtk", Probe::Plain, 0},  // nothing after the dot is examined
        ValidateCase{"2.", "C:\\wtk", Probe::Plain, 0},
        ValidateCase{"\r 2.5 \n", "  C:\\wtk  ", Probe::Plain, 0},
        ValidateCase{"", "C:\\wtk", Probe::Plain, -3}, ValidateCase{"2", "C:\\wtk", Probe::Plain, -3},
        ValidateCase{"x.5", "C:\\wtk", Probe::Plain, -4}, ValidateCase{"0.9", "C:\\wtk", Probe::Plain, -5},
        ValidateCase{"1.0", "C:\\wtk", Probe::Plain, -5}, ValidateCase{"-3.0", "C:\\wtk", Probe::Plain, -5},
        ValidateCase{"2.5", "C:\\no-preverify", Probe::Plain, -13},
        ValidateCase{"2.5", "C:\\no-cldc", Probe::Plain, -14},
        ValidateCase{"2.5", "C:\\no-midp", Probe::Plain, -15},
        ValidateCase{"2.5", "C:\\midp-only", Probe::Plain, -14},  // the last failing check wins
        ValidateCase{"2.5", "C:\\bare", Probe::Plain, -15},
        ValidateCase{"2.5", "C:\\absent", Probe::Plain, -15},
        ValidateCase{"2.5", "C:\\wtk", Probe::HomeUnreadable, -11},
        ValidateCase{"2.5", "C:\\wtk", Probe::Raising, -1},
        ValidateCase{"2", "C:\\wtk", Probe::Raising, -3}));

class DevicesTest : public JavaToolsTest {
 protected:
  DevicesTest() { MakeWtk("C:\\wtk"); }
};

TEST_F(DevicesTest, ListsPlainFoldersHoldingTheirPropertiesFile) {
  MakeDevice("C:\\wtk", "DefaultColorPhone", true);
  MakeDevice("C:\\wtk", "MediaControlSkin", true);
  MakeDevice("C:\\wtk", "QwertyDevice", false);
  MakeFile("C:\\wtk\\wtklib\\devices\\Misnamed\\other.properties");
  MakeFile("C:\\wtk\\wtklib\\devices\\readme.txt");
  MakeFile("C:\\wtk\\wtklib\\devices\\Loose\\Loose.properties");
  ASSERT_TRUE(
      files().SetAttributes("C:\\wtk\\wtklib\\devices\\Loose\\Loose.properties", platform::attr::kHidden));
  for (const auto& [name, attributes] :
       {std::pair{"HiddenPhone", platform::attr::kHidden}, std::pair{"SystemPhone", platform::attr::kSystem},
        std::pair{"ArchivedPhone", platform::attr::kArchive}}) {
    MakeDevice("C:\\wtk", name, true);
    ASSERT_TRUE(files().SetAttributes("C:\\wtk\\wtklib\\devices\\" + std::string(name), attributes)) << name;
  }

  TMobileWTK wtk(files(), "2.5.2", "C:\\wtk");
  ASSERT_EQ(wtk.Status, 0);
  ASSERT_NE(wtk.Devices, nullptr);
  // A hidden properties file still counts: only the device folder's own attributes matter.
  EXPECT_THAT(*wtk.Devices, UnorderedElementsAre("DefaultColorPhone", "MediaControlSkin", "Loose"));
}

TEST_F(DevicesTest, ToolkitWithoutDevicesFolderHasAnEmptyList) {
  TMobileWTK wtk(files(), "2.5.2", "C:\\wtk");
  ASSERT_NE(wtk.Devices, nullptr);
  EXPECT_THAT(*wtk.Devices, IsEmpty());
}

TEST_F(DevicesTest, RefreshReplacesTheList) {
  MakeDevice("C:\\wtk", "DefaultColorPhone", true);
  MakeDevice("C:\\wtk", "OldPhone", true);
  TMobileWTK wtk(files(), "2.5.2", "C:\\wtk");
  ASSERT_NE(wtk.Devices, nullptr);
  ASSERT_THAT(*wtk.Devices, UnorderedElementsAre("DefaultColorPhone", "OldPhone"));

  ASSERT_TRUE(files().DeleteFile("C:\\wtk\\wtklib\\devices\\OldPhone\\OldPhone.properties"));
  MakeDevice("C:\\wtk", "NewPhone", true);
  wtk.RefreshDevices();
  EXPECT_THAT(*wtk.Devices, UnorderedElementsAre("DefaultColorPhone", "NewPhone"));
}

TEST_F(DevicesTest, UnusableToolkitNeverGetsAList) {
  MakeDevice("C:\\wtk", "DefaultColorPhone", true);
  TMobileWTK wtk(files(), "1.0.4", "C:\\wtk");
  EXPECT_EQ(wtk.Devices, nullptr);
  wtk.RefreshDevices();
  EXPECT_EQ(wtk.Devices, nullptr);
}

TEST_F(DevicesTest, ListKeepsItsContentsWhenAFolderIsMissing) {
  MakeFolder("C:\\other");
  TMobileWTK wtk(files(), "2.5.2", "C:\\wtk");
  std::vector<std::string> list{"Kept"};
  wtk.ListDevices("C:\\absent", &list);
  EXPECT_THAT(list, ElementsAre("Kept"));
  wtk.ListDevices("C:\\other", &list);  // no wtklib\devices below it
  EXPECT_THAT(list, ElementsAre("Kept"));

  MakeDevice("C:\\other", "Phone", true);
  wtk.ListDevices("C:\\other", &list);
  EXPECT_THAT(list, ElementsAre("Phone"));
}

TEST_F(DevicesTest, FailingListingEndsSilently) {
  MakeDevice("C:\\wtk", "DefaultColorPhone", true);
  ProbedFiles probed(files());
  TMobileWTK wtk(probed, "2.5.2", "C:\\wtk");
  ASSERT_NE(wtk.Devices, nullptr);
  probed.raisingPrefix = "C:\\wtk\\wtklib\\devices\\*";
  EXPECT_NO_THROW(wtk.RefreshDevices());
  EXPECT_THAT(*wtk.Devices, IsEmpty());
}

}  // namespace
}  // namespace ov::javatools::testing
