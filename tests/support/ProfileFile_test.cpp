#include "support/ProfileFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/MachineFixture.h"

namespace ov {
namespace {

const std::string kIni = "C:\\data\\test.ini";

class ProfileFileTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    MakeFolder("C:\\data");
  }
};

struct ReadCase {
  const char* name;
  std::string content;
  const char* section;
  const char* key;
  std::string expected;
};

TEST_F(ProfileFileTest, ReadsValuesByThePlatformsRules) {
  const std::string longValue(3000, 'a');
  const std::vector<ReadCase> cases = {
      {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
      {"section and key ignore case", "[Document]\r\nChpId=x\r\n", "DOCUMENT", "chpid", "x"},
      {"first key wins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1"},
      {"first section wins", "[S]\r\nk=1\r\n[s]\r\nj=2\r\n", "S", "j", "default"},
      {"blanks around key and value", "[S]\r\n \t k \t=  v  w \t\r\n", "S", "k", "v  w"},
      {"blanks around the section name", "  [  S  ]  \r\nk=v\r\n", "S", "k", "v"},
      {"section without closing bracket", "[S\r\nk=v\r\n", "S", "k", "v"},
      {"double quotes keep inner blanks", "[S]\r\nk= \"  v  \" \r\n", "S", "k", "  v  "},
      {"single quotes", "[S]\r\nk='v'\r\n", "S", "k", "v"},
      {"only the outer pair", "[S]\r\nk=\"\"v\"\"\r\n", "S", "k", "\"v\""},
      {"mismatched quotes stay", "[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
      {"a lone quote stays", "[S]\r\nk=\"\r\n", "S", "k", "\""},
      {"empty value is found", "[S]\r\nk=\r\n", "S", "k", ""},
      {"value keeps later equals signs", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
      {"missing key", "[S]\r\nk=v\r\n", "S", "other", "default"},
      {"missing section", "[S]\r\nk=v\r\n", "T", "k", "default"},
      {"comment line", "[S]\r\n;k=v\r\n", "S", "k", "default"},
      {"key before any section", "k=v\r\n[S]\r\n", "S", "k", "default"},
      {"lone LF and lone CR end lines", "[S]\nj=1\rk=v", "S", "k", "v"},
      {"value cut at 2047 characters", "[S]\r\nk=" + longValue + "\r\n", "S", "k", std::string(2047, 'a')},
      {"cut after unquoting", "[S]\r\nk=\"" + longValue + "\"\r\n", "S", "k", std::string(2047, 'a')},
  };
  for (const ReadCase& c : cases) {
    WriteFile(kIni, c.content);
    const ProfileFile file(fs(), kIni);
    EXPECT_EQ(file.ReadString(c.section, c.key, "default"), c.expected) << c.name;
  }
}

TEST_F(ProfileFileTest, ListsSectionsOnceInFileOrder) {
  WriteFile(kIni, "k=v\r\n[Item_1]\r\n; [Hidden]\r\n[ Doc ]\r\n[item_1]\r\n[Last\r\n");
  const ProfileFile file(fs(), kIni);
  EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"Item_1", "Doc", "Last"}));
}

TEST_F(ProfileFileTest, MissingFileReadsDefaults) {
  const ProfileFile file(fs(), "C:\\data\\none.ini");
  EXPECT_EQ(file.ReadString("S", "k", "d"), "d");
  EXPECT_EQ(file.ReadInteger("S", "k", 7), 7);
  EXPECT_FALSE(Exists("C:\\data\\none.ini"));
}

struct IntegerCase {
  const char* value;
  std::int32_t expected;
};

TEST_F(ProfileFileTest, ReadsDecimalAndHexadecimalIntegers) {
  constexpr std::int32_t kDefault = -999;
  const std::vector<IntegerCase> cases = {
      {"42", 42},
      {"-7", -7},
      {" 5 ", 5},
      {"\"9\"", 9},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", kDefault},
      {"0x1F", 31},
      {"0X1f", 31},
      {"0x7FFFFFFF", 2147483647},
      {"0xFFFFFFFF", -1},
      {"0x100000000", kDefault},
      {"0x", kDefault},
      {"0xG", kDefault},
      {"12abc", kDefault},
      {"", kDefault},
  };
  for (const IntegerCase& c : cases) {
    WriteFile(kIni, std::string("[S]\r\nk=") + c.value + "\r\n");
    const ProfileFile file(fs(), kIni);
    EXPECT_EQ(file.ReadInteger("S", "k", kDefault), c.expected) << "value " << c.value;
  }
}

struct Write {
  const char* section;
  const char* key;
  const char* value;
};

struct WriteCase {
  const char* name;
  const char* initial;  // nullptr: no file
  std::vector<Write> writes;
  std::string expected;
};

TEST_F(ProfileFileTest, WritesInPlaceAndAppends) {
  const std::vector<WriteCase> cases = {
      {"new file", nullptr, {{"S", "k", "v"}}, "[S]\r\nk=v\r\n"},
      {"keys in order, sections at the end",
       nullptr,
       {{"S", "a", "1"}, {"S", "b", "2"}, {"T", "c", "3"}, {"s", "d", "4"}},
       "[S]\r\na=1\r\nb=2\r\nd=4\r\n[T]\r\nc=3\r\n"},
      {"empty and blank values as held", nullptr, {{"S", "e", ""}, {"S", "b", " v "}}, "[S]\r\ne=\r\nb= v \r\n"},
      {"names lose their blanks", nullptr, {{" S ", " k ", "v"}}, "[S]\r\nk=v\r\n"},
      {"rewrite keeps place and spelling",
       "[S]\r\nKey=1\r\nz=2\r\n",
       {{"s", "KEY", "9"}},
       "[S]\r\nKey=9\r\nz=2\r\n"},
      {"only the first occurrence is rewritten",
       "[S]\r\nk=1\r\nk=2\r\n",
       {{"S", "k", "3"}},
       "[S]\r\nk=3\r\nk=2\r\n"},
      {"new key before the next section",
       "[A]\r\nx=1\r\n[B]\r\ny=2\r\n",
       {{"a", "z", "3"}},
       "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"},
      {"empty sections", "[A]\r\n[B]\r\n", {{"A", "k", "1"}, {"B", "j", "2"}}, "[A]\r\nk=1\r\n[B]\r\nj=2\r\n"},
      {"lines after an insertion are still found",
       "[A]\r\nx=1\r\n[B]\r\ny=2\r\n",
       {{"A", "z", "3"}, {"B", "y", "4"}, {"A", "w", "5"}, {"B", "v", "6"}},
       "[A]\r\nx=1\r\nz=3\r\nw=5\r\n[B]\r\ny=4\r\nv=6\r\n"},
      {"new key before trailing blank lines, other lines kept, CR LF throughout",
       "; note\n[A]\nx=1\n\n[B]\ny=2",
       {{"A", "z", "3"}},
       "; note\r\n[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n"},
      {"first of two sections of a name",
       "[A]\r\nx=1\r\n[B]\r\n[a]\r\ny=2\r\n",
       {{"A", "y", "3"}},
       "[A]\r\nx=1\r\ny=3\r\n[B]\r\n[a]\r\ny=2\r\n"},
  };
  for (const WriteCase& c : cases) {
    fs().DeleteFile(kIni);
    if (c.initial) WriteFile(kIni, c.initial);
    ProfileFile file(fs(), kIni);
    for (const Write& w : c.writes) EXPECT_TRUE(file.WriteString(w.section, w.key, w.value)) << c.name;
    EXPECT_EQ(Contents(kIni).value_or("<none>"), c.expected) << c.name;
    // What was written reads back, also through a fresh reader.
    const ProfileFile again(fs(), kIni);
    for (const Write& w : c.writes) {
      EXPECT_EQ(again.ReadString(w.section, w.key, "<none>"), file.ReadString(w.section, w.key, "<gone>")) << c.name;
    }
  }
}

TEST_F(ProfileFileTest, WritesIntegersAsDecimalText) {
  ProfileFile file(fs(), kIni);
  ASSERT_TRUE(file.WriteInteger("S", "n", -5));
  ASSERT_TRUE(file.WriteInteger("S", "m", 2147483647));
  EXPECT_EQ(Contents(kIni), "[S]\r\nn=-5\r\nm=2147483647\r\n");
  EXPECT_EQ(file.ReadInteger("S", "n", 0), -5);
}

TEST_F(ProfileFileTest, RefusesWhatCannotBeStoredAsOneLine) {
  const std::vector<Write> refused = {
      {"S", "", "v"},       {"S", "  ", "v"},      {"S", "a=b", "v"},     {"S", ";k", "v"},
      {"S", "[k", "v"},     {"a]b", "k", "v"},     {"S", "k", "a\r\nb"},  {"S", "k", "a\nb"},
      {"S\n", "k", "v"},    {"S", "k\r", "v"},
  };
  WriteFile(kIni, "[S]\r\nk=old\r\n");
  ProfileFile file(fs(), kIni);
  for (const Write& w : refused) {
    EXPECT_FALSE(file.WriteString(w.section, w.key, w.value)) << "[" << w.section << "] " << w.key;
  }
  EXPECT_FALSE(file.WriteString("S", "k", std::string("a\0b", 3)));
  EXPECT_EQ(Contents(kIni), "[S]\r\nk=old\r\n");
}

TEST_F(ProfileFileTest, FailedWriteLeavesFileAndReaderAsTheyWere) {
  WriteFile(kIni, "[S]\r\nk=old\r\n");
  ProfileFile file(fs(), kIni);
  emulated().FailWritesUnder(kIni);
  EXPECT_FALSE(file.WriteString("S", "k", "new"));
  EXPECT_FALSE(file.WriteString("S", "j", "new"));
  emulated().ClearFaults();
  EXPECT_EQ(Contents(kIni), "[S]\r\nk=old\r\n");
  EXPECT_EQ(file.ReadString("S", "k", ""), "old");
  EXPECT_EQ(file.ReadString("S", "j", "none"), "none");
  EXPECT_EQ(fs().Find("C:\\data\\*.tmp*").size(), 0u);
}

TEST_F(ProfileFileTest, SetChangesMemoryUntilSave) {
  WriteFile(kIni, "[S]\r\nk=old\r\n");
  ProfileFile file(fs(), kIni);
  ASSERT_TRUE(file.SetString("S", "k", "new"));
  ASSERT_TRUE(file.SetInteger("T", "n", 0x10));
  EXPECT_EQ(file.ReadString("S", "k", ""), "new");
  EXPECT_EQ(Contents(kIni), "[S]\r\nk=old\r\n");

  emulated().FailWritesUnder(kIni);
  EXPECT_FALSE(file.Save());
  emulated().ClearFaults();
  EXPECT_EQ(Contents(kIni), "[S]\r\nk=old\r\n");
  ASSERT_TRUE(file.Save());
  EXPECT_EQ(Contents(kIni), "[S]\r\nk=new\r\n[T]\r\nn=16\r\n");
}

TEST_F(ProfileFileTest, FileThatCouldNotBeReadIsNeverOverwritten) {
  WriteFile(kIni, "[S]\r\nk=old\r\n");
  {
    auto holder = fs().Open(kIni, platform::FileAccess::Read, platform::FileShare::None,
                            platform::FileCreate::OpenExisting);
    ASSERT_TRUE(holder);
    ProfileFile file(fs(), kIni);
    holder.reset();
    EXPECT_FALSE(file.WriteString("S", "j", "new"));
  }
  EXPECT_EQ(Contents(kIni), "[S]\r\nk=old\r\n");
}

}  // namespace
}  // namespace ov
