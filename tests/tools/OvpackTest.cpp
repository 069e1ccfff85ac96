#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "package/Container.h"
#include "package/PackItem.h"
#include "support/Dates.h"
#include "tools/ovpack/Commands.h"

namespace ov::ovpack {
namespace {

namespace fs = std::filesystem;

std::time_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

std::int32_t Dos(int year, int month, int day, int hour, int minute, int second) {
  return static_cast<std::int32_t>(
      *DosDateTime(platform::LocalTime{year, month, day, hour, minute, second, 0}));
}

class OvpackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    root_ = fs::temp_directory_path() /
            ("ov-ovpack-" + std::to_string(random()) + "-" + std::to_string(random()));
    fs::create_directories(root_ / "tree");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  fs::path Tree() const { return root_ / "tree"; }
  fs::path Out() const { return root_ / "out.pck"; }

  // False when this host cannot hold the name exactly ("/" between folders) or the time.
  bool AddFile(const std::string& relative, const std::string& data, std::time_t written) {
    const fs::path path = Tree() / fs::path(relative);
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    {
      std::ofstream out(path, std::ios::binary);
      if (!out) return false;
      out << data;
    }
    fs::last_write_time(
        path, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(written)), error);
    if (error) return false;
    const auto kept = std::chrono::file_clock::to_sys(fs::last_write_time(path, error));
    if (error || std::chrono::system_clock::to_time_t(kept) != written) return false;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(Tree())) {
      if (entry.path().lexically_relative(Tree()).generic_string() == relative) return true;
    }
    return false;
  }

  int Ovpack(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return ovpack::Run(args, out_, err_);
  }

  static std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  fs::path root_;
  std::ostringstream out_, err_;
};

TEST_F(OvpackTest, BuildsThePackageLayoutInByteOrder) {
  const std::time_t noon = LocalSeconds(2008, 3, 15, 12, 30, 11);
  ASSERT_TRUE(AddFile("a.txt", "alpha", noon));
  ASSERT_TRUE(AddFile("A/x.txt", "x", noon));
  ASSERT_TRUE(AddFile("A0/y.txt", "yy", noon));
  ASSERT_TRUE(AddFile("A-b/z.txt", "", noon));
  ASSERT_TRUE(AddFile("Skins/Deep/blue.skn", "blue!", LocalSeconds(1980, 1, 1, 0, 0, 0)));

  ASSERT_EQ(Ovpack({"build", Tree().string(), Out().string(), "--id", "OVID_test"}), 0) << err_.str();
  const std::string bytes = Bytes(Out());
  const std::int32_t date = Dos(2008, 3, 15, 12, 30, 10);  // two-second units
  const std::string d = std::to_string(date);
  // "-" sorts before "0", "0" before "\", capitals before small letters.
  const std::string catalogue = "\\A-b, z.txt, 99, 0, " + d + "|\r\n" + "\\A0, y.txt, 99, 2, " + d + "|\r\n" +
                                "\\A, x.txt, 101, 1, " + d + "|\r\n" + "\\Skins\\Deep, blue.skn, 102, 5, " +
                                std::to_string(Dos(1980, 1, 1, 0, 0, 0)) + "|\r\n" + "\\, a.txt, 107, 5, " +
                                d + "|\r\n";
  EXPECT_EQ(bytes,
            package::BuildContainerHeader("OrnivalePackage:OVID_test", 112) + "yyxblue!alpha" + catalogue);
  EXPECT_FALSE(fs::exists(Out().string() + ".partial"));

  ASSERT_EQ(Ovpack({"list", Out().string()}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "identifier: OVID_test\n"
            "catalogue offset: 112\n"
            "\\A-b  z.txt  99  0  2008-03-15 12:30:10\n"
            "\\A0  y.txt  99  2  2008-03-15 12:30:10\n"
            "\\A  x.txt  101  1  2008-03-15 12:30:10\n"
            "\\Skins\\Deep  blue.skn  102  5  1980-01-01 00:00:00\n"
            "\\  a.txt  107  5  2008-03-15 12:30:10\n"
            "5 entries\n");
  EXPECT_EQ(Ovpack({"verify", Out().string()}), 0) << err_.str();
}

TEST_F(OvpackTest, TheDefaultIdentifierIsAStampedProjectId) {
  ASSERT_TRUE(AddFile("a.txt", "a", LocalSeconds(2008, 3, 15, 12, 0, 0)));
  ASSERT_TRUE(AddFile("b.txt", "b", LocalSeconds(2008, 3, 15, 12, 0, 0)));
  ASSERT_EQ(Ovpack({"build", Tree().string(), Out().string()}), 0) << err_.str();
  const std::string bytes = Bytes(Out());
  const std::string line1 = bytes.substr(0, bytes.find("\r\n"));
  ASSERT_EQ(line1.size(), 37u) << line1;  // as in the shipped package
  EXPECT_EQ(line1.substr(0, 21), "OrnivalePackage:OVID_");
  EXPECT_EQ(bytes.substr(37, 8), "\r\n101\r\n-");
}

TEST_F(OvpackTest, FollowsAnOrderFile) {
  const std::time_t noon = LocalSeconds(2008, 3, 15, 12, 0, 0);
  ASSERT_TRUE(AddFile("a.txt", "a", noon));
  ASSERT_TRUE(AddFile("Skins/b.txt", "b", noon));
  ASSERT_TRUE(AddFile("Skins/c.txt", "c", noon));
  struct Case {
    const char* what;
    std::string order;
    int exit;
    std::string data;  // the members in package order
    const char* complaint;
  };
  const Case cases[] = {
      {"every file, in its order", "Skins\\c.txt\r\n\r\n/a.txt\nSkins/b.txt\n", 0, "cab", ""},
      {"a file left out", "Skins\\c.txt\r\na.txt\r\n", 1, "", "does not list Skins\\b.txt"},
      {"a file listed twice", "a.txt\nSkins\\b.txt\nSkins\\c.txt\na.txt\n", 1, "", "lists a.txt twice"},
      {"a file not in the tree", "a.txt\nSkins\\b.txt\nSkins\\c.txt\nd.txt\n", 1, "",
       "lists d.txt, which is not"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(Out());
    Write(root_ / "order.txt", c.order);
    EXPECT_EQ(Ovpack({"build", Tree().string(), Out().string(), "--order", (root_ / "order.txt").string()}),
              c.exit);
    EXPECT_NE(err_.str().find(c.complaint), std::string::npos) << err_.str();
    if (c.exit == 0) {
      EXPECT_EQ(Bytes(Out()).substr(package::kHeaderLength, 3), c.data);
    } else {
      EXPECT_FALSE(fs::exists(Out()));
    }
  }
}

// A file the format cannot hold is refused by name, and nothing is written: an existing
// package stays as it was.
TEST_F(OvpackTest, RefusesFilesThePackageCannotHold) {
  struct Case {
    std::string name;
    std::time_t written;
    const char* complaint;
  };
  const std::time_t noon = LocalSeconds(2008, 3, 15, 12, 0, 0);
  std::vector<Case> cases = {
      {"a,b.txt", noon, "\",\" or \"|\""},
      {"a|b.txt", noon, "\",\" or \"|\""},
      {"Sk,ins/a.txt", noon, "\",\" or \"|\""},
      {"old.txt", LocalSeconds(1979, 12, 31, 12, 0, 0), "before 1980"},
      {"late.txt", LocalSeconds(2044, 1, 1, 12, 0, 0), "2044"},
      {"trailing.", noon, "not a plain"},
      {" leading.txt", noon, "not a plain"},
      {"back\\slash.txt", noon, "not a plain"},
      {"caf\xC3\xA9.txt", noon, "not plain ASCII"},
      {"tab\t.txt", noon, "not plain ASCII"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Tree());
    fs::create_directories(Tree());
    ASSERT_TRUE(AddFile("good1.txt", "1", noon));
    ASSERT_TRUE(AddFile("good2.txt", "2", noon));
    if (!AddFile(c.name, "x", c.written)) {
      GTEST_LOG_(INFO) << "this host cannot hold " << c.name << " with its time";
      continue;
    }
    Write(Out(), "old package");
    EXPECT_EQ(Ovpack({"build", Tree().string(), Out().string()}), 1);
    EXPECT_NE(err_.str().find(c.complaint), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("nothing written"), std::string::npos) << err_.str();
    EXPECT_EQ(Bytes(Out()), "old package");
    EXPECT_FALSE(fs::exists(Out().string() + ".partial"));
  }
}

TEST_F(OvpackTest, RefusesTreesThatMakeNoPackage) {
  const std::time_t noon = LocalSeconds(2008, 3, 15, 12, 0, 0);
  ASSERT_TRUE(AddFile("only.txt", "1", noon));
  EXPECT_EQ(Ovpack({"build", Tree().string(), Out().string()}), 1);
  EXPECT_NE(err_.str().find("fewer than 2 files"), std::string::npos) << err_.str();
  EXPECT_EQ(Ovpack({"build", (root_ / "missing").string(), Out().string()}), 1);
  EXPECT_EQ(Ovpack({"build", Tree().string(), Out().string(), "--id", "a|b"}), 1);
#ifndef _WIN32
  // 2 GiB in a sparse file: refused from its size alone.
  ASSERT_TRUE(AddFile("huge.bin", "", noon));
  fs::resize_file(Tree() / "huge.bin", std::uintmax_t{1} << 31);
  EXPECT_EQ(Ovpack({"build", Tree().string(), Out().string()}), 1);
  EXPECT_NE(err_.str().find("2 GiB"), std::string::npos) << err_.str();
#endif
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(OvpackTest, UsageErrors) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"build"},
                                             {"build", "t"},
                                             {"build", "t", "o", "--id"},
                                             {"build", "t", "o", "--id", "a", "--id", "b"},
                                             {"build", "t", "o", "--colour", "red"},
                                             {"list"},
                                             {"verify", "a", "b"},
                                             {"pack", "t", "o"}}) {
    EXPECT_EQ(Ovpack(args), 2);
    EXPECT_NE(err_.str().find("usage:"), std::string::npos);
  }
}

// Packages written by other means, each with one fault, and the complaint about it.
TEST_F(OvpackTest, VerifyNamesEveryProblem) {
  const std::time_t noon = LocalSeconds(2008, 3, 15, 12, 0, 0);
  ASSERT_TRUE(AddFile("a.txt", "alpha", noon));
  ASSERT_TRUE(AddFile("b.txt", "bravo!", noon));
  ASSERT_EQ(Ovpack({"build", Tree().string(), Out().string(), "--id", "OVID_test"}), 0) << err_.str();
  const std::string sound = Bytes(Out());
  const std::string header = sound.substr(0, 99);
  const std::string members = "alphabravo!";
  auto withCatalogue = [&](const std::string& catalogue) { return header + members + catalogue; };
  const std::string a = "\\, a.txt, 99, 5, 0|\r\n";
  struct Case {
    const char* what;
    std::string bytes;
    const char* complaint;
  };
  const Case cases[] = {
      {"a truncated package", sound.substr(0, sound.size() - 3), "does not end with CR LF"},
      {"a folder that climbs out", withCatalogue(a + "\\.., b.txt, 104, 6, 0|\r\n"),
       "leaves the install folder"},
      {"a drive in the name", withCatalogue(a + "\\, C:b.txt, 104, 6, 0|\r\n"), "not a plain file name"},
      {"data past the catalogue", withCatalogue(a + "\\, b.txt, 104, 7, 0|\r\n"), "outside the member area"},
      {"data inside the header", withCatalogue(a + "\\, b.txt, 50, 6, 0|\r\n"), "outside the member area"},
      {"a negative size", withCatalogue(a + "\\, b.txt, 104, -6, 0|\r\n"), "outside the member area"},
      {"overlapping data", withCatalogue(a + "\\, b.txt, 102, 6, 0|\r\n"), "overlaps line 1"},
      {"two entries for one file", withCatalogue(a + "\\, A.TXT, 104, 6, 0|\r\n"), "same file as line 1"},
      {"a line without a bar", withCatalogue(a + "\\, b.txt, 104, 6, 0\r\n"), "has no \"|\""},
      {"four fields", withCatalogue(a + "\\, b.txt, 104, 6|\r\n"), "not five fields"},
      {"a date that is no date", withCatalogue(a + "\\, b.txt, 104, 6, 1|\r\n"), "is not a date"},
      {"one entry", withCatalogue(a), "fewer than 2 valid entries"},
      {"another magic", "OrnivaleProject:" + sound.substr(16), "does not begin with \"OrnivalePackage:\""},
      {"an offset that is no number", sound.substr(0, 27) + "1x0" + sound.substr(30),
       "not a catalogue offset"},
      {"an offset beyond the file", sound.substr(0, 27) + "999" + sound.substr(30), "lies outside the file"},
      {"a NUL in the catalogue", withCatalogue(a + std::string("\\, b.txt, 104, 6, 0|\0\r\n", 23)), "NUL"},
      {"a file shorter than a header", "OrnivalePackage:x\r\n", "shorter than a header"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write(Out(), c.bytes);
    EXPECT_EQ(Ovpack({"verify", Out().string()}), 1);
    EXPECT_NE(err_.str().find(c.complaint), std::string::npos) << err_.str();
  }
  EXPECT_EQ(Ovpack({"verify", (root_ / "missing.pck").string()}), 1);
  EXPECT_EQ(Ovpack({"list", (root_ / "missing.pck").string()}), 1);
}

}  // namespace
}  // namespace ov::ovpack
