// Reading the registered kits and toolkits from the registry.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "javatools/JavaTools.h"
#include "tests/javatools/JavaToolsFixture.h"

namespace ov::javatools::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

template <class Record>
std::vector<std::pair<std::string, std::string>> VersionsAndHomes(
    const std::vector<std::unique_ptr<Record>>& list) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& record : list) out.emplace_back(record->Version, record->HomeDir);
  return out;
}

using ScanTest = JavaToolsTest;

TEST_F(ScanTest, MissingRootFindsNothingAndCreatesNothing) {
  std::vector<std::unique_ptr<TSunJDK>> jdks;
  EXPECT_EQ(ScanJDKs(machine(), jdks), -1);
  EXPECT_THAT(jdks, IsEmpty());
  std::vector<std::unique_ptr<TMobileWTK>> wtks;
  EXPECT_EQ(ScanWTKs(machine(), kJ2meWtkRoot, wtks), -1);
  EXPECT_EQ(ScanWTKs(machine(), kSunWtkRoot, wtks), -1);
  EXPECT_THAT(wtks, IsEmpty());
  for (std::string_view root : {kJdkRoot, kJ2meWtkRoot, kSunWtkRoot}) {
    EXPECT_EQ(machine().registry.Open(platform::RegRoot::LocalMachine, std::string(root),
                                      platform::RegAccess::Read),
              nullptr)
        << root;
  }
}

TEST_F(ScanTest, EmptyRootRunsToItsEnd) {
  ASSERT_NE(machine().registry.Create(platform::RegRoot::LocalMachine, std::string(kJdkRoot)), nullptr);
  std::vector<std::unique_ptr<TSunJDK>> jdks;
  EXPECT_EQ(ScanJDKs(machine(), jdks), 0);
  EXPECT_THAT(jdks, IsEmpty());
}

TEST_F(ScanTest, KeepsEverySubkeyNamingAnExistingFolderInEnumerationOrder) {
  MakeJdk("C:\\jdk15");
  MakeFolder("C:\\jdk16");  // no javac.exe: still a record
  MakeFile("C:\\jdk.zip");
  Register(kJdkRoot, "1.4.2_05", "JavaHome", "C:\\jdk15");
  Register(kJdkRoot, "1.5", "JavaHome", "C:\\jdk15");  // the same folder twice gives two records
  Register(kJdkRoot, "1.5.0_11", "JavaHome", "C:\\absent");
  Register(kJdkRoot, "1.6", "JavaHome", "C:\\jdk16");
  Register(kJdkRoot, "1.6.0_01", "JavaHome", "");
  Register(kJdkRoot, "1.6.0_02", "JavaHome", "C:\\jdk.zip");
  Register(kJdkRoot, "1.6.0_03", "InstallDir", "C:\\jdk15");  // not the kit's value
  Register(kJdkRoot, "1.7", "JavaHome", "C:\\jdk15");

  std::vector<std::unique_ptr<TSunJDK>> jdks;
  EXPECT_EQ(ScanJDKs(machine(), jdks), 0);
  EXPECT_THAT(VersionsAndHomes(jdks), ElementsAre(Pair("1.4.2_05", "C:\\jdk15"), Pair("1.5", "C:\\jdk15"),
                                                  Pair("1.6", "C:\\jdk16"), Pair("1.7", "C:\\jdk15")));
  ASSERT_EQ(jdks.size(), 4u);
  EXPECT_EQ(jdks[0]->Status, 0);
  EXPECT_EQ(jdks[2]->Status, -12);
}

TEST_F(ScanTest, AppendsToWhatTheListHolds) {
  MakeWtk("C:\\wtk");
  Register(kJ2meWtkRoot, "2.5.2", "InstallDir", "C:\\wtk");
  Register(kSunWtkRoot, "2.5.2", "InstallDir", "C:\\wtk");
  Register(kSunWtkRoot, "3.0", "JavaHome", "C:\\wtk");  // not the toolkit's value
  std::vector<std::unique_ptr<TMobileWTK>> wtks;
  EXPECT_EQ(ScanWTKs(machine(), kJ2meWtkRoot, wtks), 0);
  EXPECT_EQ(ScanWTKs(machine(), kSunWtkRoot, wtks), 0);
  EXPECT_THAT(VersionsAndHomes(wtks), ElementsAre(Pair("2.5.2", "C:\\wtk"), Pair("2.5.2", "C:\\wtk")));
}

TEST_F(ScanTest, ToolkitRecordsAreJudgedAndListTheirDevices) {
  MakeWtk("C:\\wtk22");
  MakeDevice("C:\\wtk22", "DefaultGrayPhone", true);
  MakeFolder("C:\\broken");
  Register(kSunWtkRoot, "2.2", "InstallDir", "C:\\wtk22");
  Register(kSunWtkRoot, "2.5", "InstallDir", "C:\\broken");
  std::vector<std::unique_ptr<TMobileWTK>> wtks;
  ASSERT_EQ(ScanWTKs(machine(), kSunWtkRoot, wtks), 0);
  ASSERT_EQ(wtks.size(), 2u);
  EXPECT_EQ(wtks[0]->Status, 0);
  ASSERT_NE(wtks[0]->Devices, nullptr);
  EXPECT_THAT(*wtks[0]->Devices, ElementsAre("DefaultGrayPhone"));
  EXPECT_EQ(wtks[1]->Status, -15);
  EXPECT_EQ(wtks[1]->Devices, nullptr);
}

TEST_F(ScanTest, StringValuesAreTakenUnexpandedAndEmptyBinaryReadsAsNothing) {
  MakeJdk("C:\\%JDK_HOME%");
  MakeJdk("C:\\jdk");
  LoadRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Development Kit\\1.5]\r\n"
      "\"JavaHome\"=hex(2):43,3a,5c,25,4a,44,4b,5f,48,4f,4d,45,25,00\r\n\r\n"  // C:\%JDK_HOME%
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Development Kit\\1.6]\r\n"
      "\"JavaHome\"=hex:\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Development Kit\\1.7]\r\n"
      "\"JavaHome\"=\"C:\\\\jdk\"\r\n\r\n");
  std::vector<std::unique_ptr<TSunJDK>> jdks;
  EXPECT_EQ(ScanJDKs(machine(), jdks), 0);
  EXPECT_THAT(VersionsAndHomes(jdks), ElementsAre(Pair("1.5", "C:\\%JDK_HOME%"), Pair("1.7", "C:\\jdk")));
}

// A value of another type stops the scan; what was found before it stays.
struct StopCase {
  const char* name;
  const char* valueLine;  // REGEDIT4 form of the second subkey's value
};

class ScanStopTest : public JavaToolsTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(ScanStopTest, NonStringValueStopsTheScan) {
  MakeJdk("C:\\jdk");
  MakeWtk("C:\\wtk");
  const std::string jdkKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Development Kit\\";
  const std::string wtkKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Sun Microsystems, Inc.\\J2ME Wireless Toolkit\\";
  const std::string valueLine = GetParam().valueLine;
  LoadRegistry("REGEDIT4\r\n\r\n" + jdkKey + "1.5]\r\n\"JavaHome\"=\"C:\\\\jdk\"\r\n\r\n" + jdkKey +
               "1.6]\r\n\"JavaHome\"=" + valueLine + "\r\n\r\n" + jdkKey +
               "1.7]\r\n\"JavaHome\"=\"C:\\\\jdk\"\r\n\r\n" + wtkKey +
               "2.5]\r\n\"InstallDir\"=\"C:\\\\wtk\"\r\n\r\n" + wtkKey + "2.6]\r\n\"InstallDir\"=" +
               valueLine + "\r\n\r\n" + wtkKey + "2.7]\r\n\"InstallDir\"=\"C:\\\\wtk\"\r\n\r\n");

  std::vector<std::unique_ptr<TSunJDK>> jdks;
  EXPECT_EQ(ScanJDKs(machine(), jdks), -11);
  EXPECT_THAT(VersionsAndHomes(jdks), ElementsAre(Pair("1.5", "C:\\jdk")));
  std::vector<std::unique_ptr<TMobileWTK>> wtks;
  EXPECT_EQ(ScanWTKs(machine(), kJ2meWtkRoot, wtks), -11);
  EXPECT_THAT(VersionsAndHomes(wtks), ElementsAre(Pair("2.5", "C:\\wtk")));
}

INSTANTIATE_TEST_SUITE_P(Types, ScanStopTest,
                         ::testing::Values(StopCase{"Dword", "dword:00000001"},
                                           StopCase{"Binary", "hex:43,3a,5c,6a,64,6b,00"}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace ov::javatools::testing
