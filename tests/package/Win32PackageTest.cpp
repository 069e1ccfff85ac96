// The package copy-out and the file dating on the real Windows API (run under Wine).
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/Container.h"
#include "package/Extraction.h"
#include "package/PackItem.h"
#include "platform/win32/Win32Machine.h"
#include "support/Dates.h"
#include "support/Files.h"

namespace ov::package {
namespace {

class Win32PackageTest : public ::testing::Test {
 protected:
  win32::Win32Machine win32_;
  platform::Machine& machine_ = win32_.machine();
};

TEST_F(Win32PackageTest, CopiesTheRcDataResourceWholeIntoTheTemporaryFolder) {
  std::optional<std::string_view> resource =
      machine_.resources.Find(kPackageResource, platform::ResourceType::RcData);
  ASSERT_TRUE(resource);
  std::int32_t size = 0;
  const std::string copy = CopyPackageResource(machine_, size);
  ASSERT_FALSE(copy.empty());
  EXPECT_EQ(copy, machine_.system.TempPath() + kPackageCopyName);
  EXPECT_EQ(size, static_cast<std::int32_t>(resource->size()));
  EXPECT_EQ(ReadWholeFile(machine_.files, copy), std::string(*resource));

  std::vector<std::string> lines;
  EXPECT_EQ(ReadPackageCatalogue(machine_.files, copy, &lines), 0);
  std::vector<std::unique_ptr<TPackItem>> items;
  ParseCatalogue(lines, items);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1]->Folder, "\\Skins");
  EXPECT_EQ(items[1]->Offset, 104);
  EXPECT_TRUE(machine_.files.DeleteFile(copy));
}

TEST_F(Win32PackageTest, DatesAFileThroughItsWritingHandleAsLocalTime) {
  const std::string file = machine_.system.TempPath() + "ov-dated.txt";
  auto writeDated = [&](std::int32_t date) {
    std::unique_ptr<platform::File> out = machine_.files.Open(
        file, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
    ASSERT_TRUE(out);
    ASSERT_TRUE(WriteAll(*out, "dated"));
    SetFileDate(*out, date);
  };

  // No date: the file keeps the time it was written at.
  const double before = DayNumber(machine_.system.Now());
  writeDated(0);
  const std::optional<std::uint32_t> written = machine_.files.LastWriteDosTime(file);
  ASSERT_TRUE(written);
  const std::optional<platform::LocalTime> writtenAt = FromDosDateTime(*written);
  ASSERT_TRUE(writtenAt);
  EXPECT_NEAR(DayNumber(*writtenAt), before, 10.0 / 86400);

  // A date set before the handle closes outlasts the close.
  const platform::LocalTime when{2007, 11, 23, 14, 37, 58, 0};
  const std::int32_t date = static_cast<std::int32_t>(*DosDateTime(when));
  writeDated(date);
  EXPECT_EQ(machine_.files.LastWriteDosTime(file), static_cast<std::uint32_t>(date));

  // The same time seen through the C library's idea of local time.
  const auto stamp = std::chrono::file_clock::to_sys(std::filesystem::last_write_time(file));
  const std::time_t seconds = std::chrono::system_clock::to_time_t(stamp);
  const std::tm local = *std::localtime(&seconds);
  EXPECT_EQ(local.tm_year + 1900, when.year);
  EXPECT_EQ(local.tm_mon + 1, when.month);
  EXPECT_EQ(local.tm_mday, when.day);
  EXPECT_EQ(local.tm_hour, when.hour);
  EXPECT_EQ(local.tm_min, when.minute);
  EXPECT_EQ(local.tm_sec, when.second);
  EXPECT_TRUE(machine_.files.DeleteFile(file));
}

}  // namespace
}  // namespace ov::package
