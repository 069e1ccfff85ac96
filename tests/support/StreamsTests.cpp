#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "MachineFixture.h"
#include "support/Errors.h"
#include "support/Streams.h"

namespace ov {
namespace {

using platform::FileAccess;
using platform::FileCreate;
using platform::FileShare;

constexpr std::int32_t kUntouched = 12345;

class StreamsTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    MakeFolder("C:\\Bundle");
  }
  // The container, open as the bundle writer and reader hold it.
  std::unique_ptr<platform::File> OpenContainer(const std::string& initial = "") {
    WriteFile(kContainer, initial);
    return fs().Open(kContainer, FileAccess::ReadWrite, FileShare::None, FileCreate::OpenExisting);
  }
  static constexpr const char* kContainer = "C:\\Bundle\\project.ov5";
};

using FileSizeOfTest = StreamsTest;
using AppendFileToStreamTest = StreamsTest;
using ExtractStreamRangeTest = StreamsTest;

TEST_F(FileSizeOfTest, SizeOfFilesOthersMayHoldOpen) {
  WriteFile("C:\\Bundle\\ten.bin", "0123456789");
  WriteFile("C:\\Bundle\\empty.bin", "");
  EXPECT_EQ(FileSizeOf(fs(), "C:\\Bundle\\ten.bin"), 10);
  EXPECT_EQ(FileSizeOf(fs(), "C:\\Bundle\\empty.bin"), 0);

  // Another reader and writer may hold it as long as they share.
  auto other =
      fs().Open("C:\\Bundle\\ten.bin", FileAccess::ReadWrite, FileShare::ReadWrite, FileCreate::OpenExisting);
  ASSERT_TRUE(other);
  EXPECT_EQ(FileSizeOf(fs(), "C:\\Bundle\\ten.bin"), 10);
}

TEST_F(FileSizeOfTest, RaisesWhenTheFileCannotBeOpened) {
  WriteFile("C:\\Bundle\\held.bin", "x");
  auto holder =
      fs().Open("C:\\Bundle\\held.bin", FileAccess::Read, FileShare::None, FileCreate::OpenExisting);
  ASSERT_TRUE(holder);
  for (const char* file : {"C:\\Bundle\\missing.bin", "C:\\Bundle\\held.bin", "C:\\Bundle"}) {
    SCOPED_TRACE(file);
    EXPECT_THROW(FileSizeOf(fs(), file), OvError);
  }
}

TEST_F(AppendFileToStreamTest, AppendsAtTheEndAndReportsWhere) {
  WriteFile("C:\\Bundle\\ten.bin", "0123456789");
  WriteFile("C:\\Bundle\\five.bin", "abcde");
  WriteFile("C:\\Bundle\\empty.bin", "");
  std::unique_ptr<platform::File> stream = OpenContainer();
  ASSERT_TRUE(stream);

  struct Case {
    std::string file;
    std::int32_t size;
    std::int32_t offset;
  };
  const Case cases[] = {
      {"C:\\Bundle\\ten.bin", 10, 0},
      {"C:\\Bundle\\five.bin", 5, 10},
      {"C:\\Bundle\\empty.bin", 0, 15},
      {"C:\\Bundle\\five.bin", 5, 15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(stream->Seek(3));  // wherever the stream stood, the member goes to its end
    std::int32_t size = kUntouched;
    std::int32_t offset = kUntouched;
    EXPECT_EQ(AppendFileToStream(fs(), stream.get(), c.file, size, offset), 0);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(offset, c.offset);
  }
  EXPECT_EQ(stream->Size(), 20);
  stream.reset();
  EXPECT_EQ(Contents(kContainer), "0123456789abcdeabcde");
}

TEST_F(AppendFileToStreamTest, FailureLeavesTheOutValuesAlone) {
  WriteFile("C:\\Bundle\\held.bin", "held");
  WriteFile("C:\\Bundle\\big.bin", std::string(100, 'b'));
  auto holder =
      fs().Open("C:\\Bundle\\held.bin", FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting);
  ASSERT_TRUE(holder);
  std::unique_ptr<platform::File> stream = OpenContainer("head");
  ASSERT_TRUE(stream);

  struct Case {
    std::string file;
    bool diskFull;
  };
  const Case cases[] = {
      {"C:\\Bundle\\missing.bin", false},
      {"C:\\Bundle\\held.bin", false},  // the file is read without sharing
      {"C:\\Bundle", false},
      {"C:\\Bundle\\big.bin", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    if (c.diskFull) emulated().FillDiskAfter('C', 10);
    std::int32_t size = kUntouched;
    std::int32_t offset = kUntouched;
    EXPECT_EQ(AppendFileToStream(fs(), stream.get(), c.file, size, offset), -1);
    EXPECT_EQ(size, kUntouched);
    EXPECT_EQ(offset, kUntouched);
  }
}

TEST_F(AppendFileToStreamTest, NoStream) {
  WriteFile("C:\\Bundle\\ten.bin", "0123456789");
  std::int32_t size = kUntouched;
  std::int32_t offset = kUntouched;
  EXPECT_EQ(AppendFileToStream(fs(), nullptr, "C:\\Bundle\\ten.bin", size, offset), -11);
  EXPECT_EQ(size, kUntouched);
  EXPECT_EQ(offset, kUntouched);
}

TEST_F(ExtractStreamRangeTest, CopiesTheRangeIntoANewFile) {
  std::unique_ptr<platform::File> stream = OpenContainer(std::string("head\0body\xFFtail", 14));
  ASSERT_TRUE(stream);
  WriteFile("C:\\Bundle\\replaced.bin", "a much longer file than the range");

  struct Case {
    std::string file;
    std::int32_t size;
    std::int32_t offset;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\Bundle\\body.bin", 6, 4, std::string("\0body\xFF", 6)},
      {"C:\\Bundle\\replaced.bin", 4, 10, "tail"},  // an existing file is emptied first
      {"C:\\Bundle\\whole.bin", 14, 0, std::string("head\0body\xFFtail", 14)},
      {"C:\\Bundle\\empty.bin", 0, 0, ""},
      {"C:\\Bundle\\emptyAtEnd.bin", 0, 14, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(ExtractStreamRange(fs(), stream.get(), c.file, c.size, c.offset), 0);
    EXPECT_EQ(Contents(c.file), c.expected);
  }
}

TEST_F(ExtractStreamRangeTest, ShortOrBadRangeCreatesNothing) {
  std::unique_ptr<platform::File> stream = OpenContainer("0123456789");
  ASSERT_TRUE(stream);
  WriteFile("C:\\Bundle\\existing.bin", "old");

  struct Case {
    std::int32_t size;
    std::int32_t offset;
  };
  const Case cases[] = {{5, 8}, {1, 10}, {11, 0}, {1, 100}, {-1, 0}, {1, -1}, {INT32_MAX, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + " at " + std::to_string(c.offset));
    EXPECT_EQ(ExtractStreamRange(fs(), stream.get(), "C:\\Bundle\\new.bin", c.size, c.offset), -1);
    EXPECT_FALSE(Exists("C:\\Bundle\\new.bin"));
    EXPECT_EQ(ExtractStreamRange(fs(), stream.get(), "C:\\Bundle\\existing.bin", c.size, c.offset), -1);
    EXPECT_EQ(Contents("C:\\Bundle\\existing.bin"), "old");
  }
}

TEST_F(ExtractStreamRangeTest, WriteFailureLeavesNoPartialFile) {
  std::unique_ptr<platform::File> stream = OpenContainer(std::string(100, 'x'));
  ASSERT_TRUE(stream);
  MakeFolder("C:\\Locked");
  emulated().FailWritesUnder("C:\\Locked");
  EXPECT_EQ(ExtractStreamRange(fs(), stream.get(), "C:\\Locked\\out.bin", 10, 0), -1);
  EXPECT_FALSE(Exists("C:\\Locked\\out.bin"));

  emulated().ClearFaults();
  emulated().FillDiskAfter('C', 40);
  EXPECT_EQ(ExtractStreamRange(fs(), stream.get(), "C:\\Bundle\\out.bin", 100, 0), -1);
  EXPECT_FALSE(Exists("C:\\Bundle\\out.bin"));
}

TEST_F(ExtractStreamRangeTest, NoStream) {
  EXPECT_EQ(ExtractStreamRange(fs(), nullptr, "C:\\Bundle\\out.bin", 0, 0), -11);
  EXPECT_FALSE(Exists("C:\\Bundle\\out.bin"));
}

}  // namespace
}  // namespace ov
