// Keeping the kits and toolkits whose version qualifies and choosing the first.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "javatools/JavaTools.h"
#include "tests/javatools/JavaToolsFixture.h"

namespace ov::javatools::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

template <class Record>
std::vector<std::string> Versions(const std::vector<std::unique_ptr<Record>>& list) {
  std::vector<std::string> out;
  for (const auto& record : list) out.push_back(record->Version);
  return out;
}

struct JdkChoiceCase {
  std::vector<std::string> registered;  // subkeys, in enumeration order, each naming C:\jdk
  std::vector<std::string> kept;
};

std::ostream& operator<<(std::ostream& out, const JdkChoiceCase& c) {
  for (const auto& v : c.registered) out << '"' << v << "\" ";
  return out;
}

class JdkChoiceTest : public JavaToolsTest, public ::testing::WithParamInterface<JdkChoiceCase> {};

TEST_P(JdkChoiceTest, KeepsVersionsFromOnePointFiveAndSelectsTheFirst) {
  MakeJdk("C:\\jdk");
  for (const std::string& version : GetParam().registered) Register(kJdkRoot, version, "JavaHome", "C:\\jdk");

  std::vector<std::unique_ptr<TSunJDK>> kept;
  TSunJDK* selected = nullptr;
  CollectJDKs(machine(), kept, selected);
  EXPECT_THAT(Versions(kept), ElementsAreArray(GetParam().kept));
  EXPECT_EQ(selected, kept.empty() ? nullptr : kept.front().get());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, JdkChoiceTest,
    ::testing::Values(JdkChoiceCase{{"1.4.2_05", "1.5", "1.5.0_11"}, {"1.5", "1.5.0_11"}},
                      JdkChoiceCase{{"1.10"}, {}},  // compares below "1.5"
                      JdkChoiceCase{{"9"}, {"9"}},  // unusable (-3) but compares above "1.5"
                      JdkChoiceCase{{"0.9", "1.4.9", "1.6.0", "2.0"}, {"1.6.0", "2.0"}},
                      JdkChoiceCase{{"1.5"}, {"1.5"}}, JdkChoiceCase{{"1.4"}, {}},
                      JdkChoiceCase{{"\xE9"}, {"\xE9"}},  // bytes compare as unsigned values
                      JdkChoiceCase{{}, {}}));

using ChoiceTest = JavaToolsTest;

TEST_F(ChoiceTest, NoJdkRootSelectsNothing) {
  std::vector<std::unique_ptr<TSunJDK>> kept;
  TSunJDK* selected = nullptr;
  CollectJDKs(machine(), kept, selected);
  EXPECT_THAT(kept, IsEmpty());
  EXPECT_EQ(selected, nullptr);
}

TEST_F(ChoiceTest, KitWithoutJavacIsStillChosenWhenFirst) {
  MakeFolder("C:\\jdk15");
  MakeJdk("C:\\jdk16");
  Register(kJdkRoot, "1.5", "JavaHome", "C:\\jdk15");
  Register(kJdkRoot, "1.6", "JavaHome", "C:\\jdk16");
  std::vector<std::unique_ptr<TSunJDK>> kept;
  TSunJDK* selected = nullptr;
  CollectJDKs(machine(), kept, selected);
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(selected->Version, "1.5");
  EXPECT_EQ(selected->HomeDir, "C:\\jdk15");
  EXPECT_EQ(selected->Status, -12);
  EXPECT_THAT(Versions(kept), ElementsAre("1.5", "1.6"));
}

TEST_F(ChoiceTest, RecordsBeforeAStoppedScanTakePart) {
  MakeJdk("C:\\jdk");
  Register(kJdkRoot, "1.5", "JavaHome", "C:\\jdk");
  RegisterDword(kJdkRoot, "1.6", "JavaHome", 1);
  Register(kJdkRoot, "1.7", "JavaHome", "C:\\jdk");
  std::vector<std::unique_ptr<TSunJDK>> kept;
  TSunJDK* selected = nullptr;
  CollectJDKs(machine(), kept, selected);
  EXPECT_THAT(Versions(kept), ElementsAre("1.5"));
  EXPECT_EQ(selected, kept.front().get());
}

TEST_F(ChoiceTest, CollectingAgainReplacesTheKeptRecords) {
  MakeJdk("C:\\jdk");
  Register(kJdkRoot, "1.6", "JavaHome", "C:\\jdk");
  std::vector<std::unique_ptr<TSunJDK>> kept;
  kept.push_back(std::make_unique<TSunJDK>(files(), "1.5", "C:\\jdk"));
  TSunJDK* selected = kept.front().get();
  CollectJDKs(machine(), kept, selected);
  EXPECT_THAT(Versions(kept), ElementsAre("1.6"));
  EXPECT_EQ(selected, kept.front().get());
}

TEST_F(ChoiceTest, ToolkitUnderBothRootsGivesTwoRecordsJ2meFirst) {
  MakeWtk("C:\\wtk");
  Register(kJ2meWtkRoot, "2.5.2", "InstallDir", "C:\\wtk");
  Register(kSunWtkRoot, "2.5.2", "InstallDir", "C:\\wtk");
  std::vector<std::unique_ptr<TMobileWTK>> kept;
  TMobileWTK* selected = nullptr;
  CollectWTKs(machine(), kept, selected);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_NE(kept[0].get(), kept[1].get());
  EXPECT_EQ(selected, kept[0].get());
}

TEST_F(ChoiceTest, J2meRootIsScannedFirst) {
  MakeWtk("C:\\wtk-sun");
  MakeWtk("C:\\wtk-j2me");
  Register(kSunWtkRoot, "2.5", "InstallDir", "C:\\wtk-sun");
  Register(kJ2meWtkRoot, "2.5", "InstallDir", "C:\\wtk-j2me");
  std::vector<std::unique_ptr<TMobileWTK>> kept;
  TMobileWTK* selected = nullptr;
  CollectWTKs(machine(), kept, selected);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0]->HomeDir, "C:\\wtk-j2me");
  EXPECT_EQ(kept[1]->HomeDir, "C:\\wtk-sun");
  EXPECT_EQ(selected, kept[0].get());
}

TEST_F(ChoiceTest, ToolkitsBelowTwoPointFiveAreDropped) {
  MakeWtk("C:\\wtk");
  MakeDevice("C:\\wtk", "DefaultColorPhone", true);
  for (const char* version : {"10.0", "2.2", "2.5.2", "3.0"})
    Register(kJ2meWtkRoot, version, "InstallDir", "C:\\wtk");
  std::vector<std::unique_ptr<TMobileWTK>> kept;
  TMobileWTK* selected = nullptr;
  CollectWTKs(machine(), kept, selected);
  EXPECT_THAT(Versions(kept), ElementsAre("2.5.2", "3.0"));
  EXPECT_EQ(selected, kept.front().get());
}

TEST_F(ChoiceTest, OnlyUnqualifiedToolkitsSelectNothing) {
  MakeWtk("C:\\wtk");
  Register(kSunWtkRoot, "2.2", "InstallDir", "C:\\wtk");
  std::vector<std::unique_ptr<TMobileWTK>> kept;
  TMobileWTK* selected = nullptr;
  CollectWTKs(machine(), kept, selected);
  EXPECT_THAT(kept, IsEmpty());
  EXPECT_EQ(selected, nullptr);
}

TEST_F(ChoiceTest, StoppedFirstToolkitScanStillScansTheSecondRoot) {
  MakeWtk("C:\\wtk");
  Register(kJ2meWtkRoot, "2.5", "InstallDir", "C:\\wtk");
  RegisterDword(kJ2meWtkRoot, "2.6", "InstallDir", 7);
  Register(kJ2meWtkRoot, "2.7", "InstallDir", "C:\\wtk");
  Register(kSunWtkRoot, "3.0", "InstallDir", "C:\\wtk");
  std::vector<std::unique_ptr<TMobileWTK>> kept;
  TMobileWTK* selected = nullptr;
  CollectWTKs(machine(), kept, selected);
  EXPECT_THAT(Versions(kept), ElementsAre("2.5", "3.0"));
  EXPECT_EQ(selected, kept.front().get());
}

}  // namespace
}  // namespace ov::javatools::testing
