// The package copy out of the program: one file, written front to back in pieces of 4 MiB, each
// piece handed back to the platform once it is on disk.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "package/Extraction.h"
#include "support/Files.h"
#include "tests/package/PackageFixture.h"

namespace ov::package {
namespace {

constexpr std::size_t kPiece = 4 * 1024 * 1024;
constexpr const char* kCopy = "C:\\windows\\temp\\ovpack.pck";

struct Released {
  std::size_t offset;
  std::size_t size;
  std::uint64_t copySize;  // the copy's size on disk when the part was released
  bool operator==(const Released&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Released& r) {
  return out << "{" << r.offset << ", " << r.size << ", on disk " << r.copySize << "}";
}

// The program's resources, noting every part released.
class ReleaseRecorder final : public platform::Resources {
 public:
  ReleaseRecorder(platform::Resources& inner, platform::FileSystem& fs) : inner_(inner), fs_(fs) {}

  std::optional<std::string_view> Find(const std::string& name, platform::ResourceType type) override {
    return inner_.Find(name, type);
  }
  void Release(std::string_view part) override {
    const std::string_view package = *inner_.Find(kPackageResource, platform::ResourceType::RcData);
    const std::vector<platform::FindEntry> copy = fs_.Find(kCopy);
    released.push_back({static_cast<std::size_t>(part.data() - package.data()), part.size(),
                        copy.empty() ? 0 : copy.front().size});
  }

  std::vector<Released> released;

 private:
  platform::Resources& inner_;
  platform::FileSystem& fs_;
};

struct CopyCase {
  const char* what;
  std::size_t size;
  std::optional<std::uint64_t> diskBytes;  // C: fills after so many bytes
  bool copied;
  std::vector<Released> released;
};

class CopyPackageTest : public PackageFixture {};

TEST_F(CopyPackageTest, WritesTheCopyInPiecesAndReleasesEachOnceWritten) {
  constexpr std::size_t kThree = 2 * kPiece + 5;
  const CopyCase cases[] = {
      {"shorter than a piece", 1000, std::nullopt, true, {{0, 1000, 1000}}},
      {"exactly one piece", kPiece, std::nullopt, true, {{0, kPiece, kPiece}}},
      {"three pieces, the last short",
       kThree,
       std::nullopt,
       true,
       {{0, kPiece, kPiece}, {kPiece, kPiece, 2 * kPiece}, {2 * kPiece, 5, kThree}}},
      // Nothing is written after the piece that failed, and the partial copy is removed.
      {"a disk that fills in the second piece",
       kThree,
       kPiece + 10,
       false,
       {{0, kPiece, kPiece}, {kPiece, kPiece, kPiece + 10}}},
  };
  for (const CopyCase& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    emulated().SetTempPath("C:\\windows\\temp\\");
    std::string package(c.size, '\0');
    for (std::size_t i = 0; i < package.size(); ++i) package[i] = static_cast<char>(i * 131 + i / 4099);
    emulated().SetResource(kPackageResource, platform::ResourceType::RcData, package);
    if (c.diskBytes) emulated().FillDiskAfter('C', *c.diskBytes);
    platform::Machine& inner = emulated().machine();
    ReleaseRecorder resources(inner.resources, inner.files);
    platform::Machine machine{inner.files, inner.registry, inner.system,
                              inner.shell, inner.messages, resources};

    std::int32_t packSize = 0;
    const std::string copy = CopyPackageResource(machine, packSize);
    EXPECT_EQ(packSize, static_cast<std::int32_t>(c.size));
    EXPECT_EQ(resources.released, c.released);
    if (c.copied) {
      EXPECT_EQ(copy, "C:\\windows\\temp\\ovpack.pck");
      EXPECT_TRUE(ReadWholeFile(fs(), kCopy) == package);
    } else {
      EXPECT_EQ(copy, "");
      EXPECT_FALSE(fs().FileExists(kCopy));
    }
    EXPECT_EQ(emulated().OpenFileCount(), 0u);
  }
}

}  // namespace
}  // namespace ov::package
