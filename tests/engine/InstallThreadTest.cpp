#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/engine/JobFixture.h"

namespace ov::engine {
namespace {

using package::PackMember;

// The package the install tests unpack: seven files in five folders, one empty, one undated;
// over 1000 bytes, as the job demands.
std::vector<PackMember> Members() {
  return {
      {{"\\Projects", "readme.txt", 0, Dos(2008, 3, 15, 12, 30, 10)}, "not a bundle"},
      {{"\\", "ornivale.exe", 0, Dos(2008, 3, 14, 9, 0, 0)}, "MZ" + std::string(2000, '\x90')},
      {{"\\SampleContent\\PNGs", "a.png", 0, Dos(2007, 1, 2, 3, 4, 6)}, std::string(40, '\x89')},
      {{"\\SampleContent", "notes.txt", 0, Dos(2006, 12, 31, 23, 59, 58)}, "notes\r\n"},
      {{"\\Skins", "blue.skn", 0, Dos(1980, 1, 1, 0, 0, 0)}, std::string(12, 's')},
      {{"\\Skins", "empty.skn", 0, Dos(2001, 9, 30, 18, 0, 0)}, ""},
      {{"\\Skins", "undated.skn", 0, 0}, "u"},
  };
}

std::string FullPath(const PackMember& m) {
  return std::string(JobFixture::kTarget) + (m.Entry.Folder == "\\" ? "" : m.Entry.Folder) + "\\" +
         m.Entry.Name;
}

std::int64_t CountOf(const std::vector<Message>& messages, std::uint32_t id) {
  return std::count_if(messages.begin(), messages.end(), [id](const Message& m) { return m.id == id; });
}

class InstallTest : public JobFixture {};

TEST_F(InstallTest, ASuccessfulInstallReportsEveryStepInOrder) {
  const std::vector<PackMember> members = Members();
  const std::string package = Build(members);
  SetPackage(package);
  TOVInstallThread& job = Start();
  ASSERT_TRUE(RunToEnd());

  const auto size = static_cast<std::int64_t>(package.size());
  std::vector<Message> expected = {State(100), State(150, size), State(100), State(200)};
  std::int64_t total = 0;
  for (std::size_t i = 0; i < members.size(); ++i) {
    total += static_cast<std::int64_t>(members[i].Data.size());
    expected.push_back(FileCopied(total, static_cast<std::int64_t>(i)));
  }
  expected.push_back(State(350));
  expected.push_back({WM_OV_SAMPLE_PROGRESS, 1, 0});  // the one file in \Projects
  expected.push_back(State(300, size));
  expected.push_back(JobEnded(100, 0));
  EXPECT_EQ(received_, expected);
  EXPECT_EQ(job.PackSize, size);
  EXPECT_EQ(job.CurrentSample(), "C:\\Ornivale\\Projects\\readme.txt");

  // Every file written whole, with its recorded date, or the time of writing when it has none.
  ASSERT_EQ(job.Items.size(), members.size());
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < members.size(); ++i) {
    const std::string path = FullPath(members[i]);
    paths.push_back(path);
    EXPECT_EQ(job.Items[i]->Name, path);
    EXPECT_EQ(Contents(path), members[i].Data) << path;
    const std::int32_t date = members[i].Entry.FileDate;
    EXPECT_EQ(fs().LastWriteDosTime(path),
              static_cast<std::uint32_t>(date != 0 ? date : *DosDateTime(kClock)))
        << path;
  }
  EXPECT_EQ(files_list_, paths);
  // The install folder first; "\SampleContent" came about as a parent of "\SampleContent\PNGs".
  EXPECT_EQ(folders_, (std::vector<std::string>{"C:\\Ornivale", "C:\\Ornivale\\Projects",
                                                "C:\\Ornivale\\SampleContent\\PNGs", "C:\\Ornivale\\Skins"}));
  EXPECT_FALSE(fs().FileExists(kCopy));
  EXPECT_TRUE(job.PackFile == kCopy);

  job_.reset();
  emulated().PumpPending();
  EXPECT_EQ(received_.back(), (Message{WM_OV_JOB_FREED, 0, 0}));
}

TEST_F(InstallTest, AnExistingInstallFolderGivenWithABackslashIsUsedWithoutIt) {
  ASSERT_TRUE(fs().CreateDirectory(kTarget));
  Put("C:\\Ornivale\\ornivale.exe", std::string(5000, 'o'));  // longer than the new one
  const std::vector<PackMember> members = Members();
  SetPackage(Build(members));
  TOVInstallThread& job = Start("C:\\Ornivale\\");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(received_.back(), JobEnded(100, 0));
  EXPECT_EQ(job.TargetDir, kTarget);
  EXPECT_EQ(folders_.front(), "C:\\Ornivale\\Projects");
  EXPECT_EQ(Contents("C:\\Ornivale\\ornivale.exe"), members[1].Data);
}

TEST_F(InstallTest, AMissingTemporaryFolderSendsTheCopyToCTemp) {
  emulated().SetTempPath("C:\\nowhere\\");
  SetPackage(Build(Members()));
  TOVInstallThread& job = Start();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(received_.back(), JobEnded(100, 0));
  EXPECT_EQ(job.PackFile, "c:\\temp\\ovpack.pck");
  EXPECT_TRUE(fs().DirectoryExists("C:\\temp"));
  EXPECT_FALSE(fs().FileExists("C:\\temp\\ovpack.pck"));
}

// The job ends before extraction: only state 100, then the end with the code.
TEST_F(InstallTest, EarlyEnds) {
  struct Case {
    const char* what;
    std::function<void(InstallTest&)> setUp;
    std::string target;
    std::int32_t status;
  };
  const Case cases[] = {
      {"no package resource", [](InstallTest&) {}, kTarget, -111},
      {"an empty package resource", [](InstallTest& t) { t.SetPackage(""); }, kTarget, -111},
      {"a package of 999 bytes", [](InstallTest& t) { t.SetPackage(std::string(999, 'p')); }, kTarget, -119},
      {"no install folder", [](InstallTest& t) { t.SetPackage(t.Build(Members())); }, "", -112},
      {"no temporary folder and no c:\\temp",
       [](InstallTest& t) {
         t.emulated().SetTempPath("");
         t.Put("C:\\temp", "a file where the folder would go");
         t.SetPackage(t.Build(Members()));
       },
       kTarget, -111},
      {"a disk that fills while the copy is written",
       [](InstallTest& t) {
         t.SetPackage(t.Build(Members()));
         t.emulated().FillDiskAfter('C', 100);
       },
       kTarget, -111},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    c.setUp(*this);
    Start(c.target);
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(received_, (std::vector<Message>{State(100), JobEnded(100, c.status)}));
    // No copy is left behind, not even a part of one.
    EXPECT_FALSE(fs().FileExists(kCopy));
    EXPECT_FALSE(fs().FileExists("C:\\temp\\ovpack.pck"));
  }
}

TEST_F(InstallTest, APackageOf1000BytesPassesTheSizeCheck) {
  SetPackage(std::string(1000, 'p'));
  Start();
  ASSERT_TRUE(RunToPark());
  // Not a package: its "catalogue" is one line.
  EXPECT_EQ(received_,
            (std::vector<Message>{State(100), State(150, 1000), State(100), ExtractError(-218, 0)}));
}

TEST_F(InstallTest, OtherModesPostNothing) {
  for (std::int32_t mode : {kModeRollback, 0, 300}) {
    SCOPED_TRACE(mode);
    for (bool withLists : {true, false}) {
      TearDown();
      SetUp();
      SetPackage(Build(Members()));
      Create(mode, withLists).Resume();
      ASSERT_TRUE(RunToEnd());
      EXPECT_EQ(received_, (std::vector<Message>{JobEnded(mode, 0)}));
      EXPECT_FALSE(fs().DirectoryExists(kTarget));
    }
  }
}

TEST_F(InstallTest, DestroyingAJobThatNeverRanOnlyPostsJobFreed) {
  Create(kModeInstall);
  job_.reset();
  emulated().PumpPending();
  EXPECT_EQ(received_, (std::vector<Message>{{WM_OV_JOB_FREED, 0, 0}}));
}

// Each failure of the extraction: its code and index, then nothing more, and the job parks.
struct Failure {
  const char* what;
  std::function<void(JobFixture&)> setUp;
  std::string target;
  std::int32_t code;
  std::int64_t index;           // of the entry in progress, 0 before the first
  std::vector<Message> states;  // the states sent before the error
};

class ExtractionFailureTest : public JobFixture, public ::testing::WithParamInterface<Failure> {};

TEST_P(ExtractionFailureTest, ReportsTheCodeAndIndexAndParks) {
  const Failure& failure = GetParam();
  failure.setUp(*this);
  TOVInstallThread& job = Start(failure.target);
  ASSERT_TRUE(RunToPark());

  ASSERT_FALSE(received_.empty());
  EXPECT_EQ(received_.back(), ExtractError(failure.code, failure.index));
  std::vector<Message> states;
  for (const Message& m : received_) {
    if (m.id == WM_OV_STATE) states.push_back({m.id, 0, m.lParam});
  }
  EXPECT_EQ(states, failure.states);
  // Files before the failing one are written and reported; the failing one is not reported.
  EXPECT_EQ(CountOf(received_, WM_OV_FILE_COPIED), failure.index);
  for (std::int64_t i = 0; i < failure.index; ++i) {
    EXPECT_TRUE(fs().FileExists(job.Items[static_cast<std::size_t>(i)]->Name));
  }
  // A parked job sends nothing more, not even an end; the copy stays until the job goes.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(emulated().PumpPending(), 0u);
  EXPECT_FALSE(ended_);
  const bool copyExisted = fs().FileExists(kCopy);
  job_.reset();
  emulated().PumpPending();
  EXPECT_EQ(received_.back(), (Message{WM_OV_JOB_FREED, 0, 0}));
  EXPECT_FALSE(fs().FileExists(kCopy));
  EXPECT_EQ(copyExisted, failure.code != -211);
}

const std::vector<Message> kUpTo150 = {State(100), State(150)};
const std::vector<Message> kUpTo100 = {State(100), State(150), State(100)};
const std::vector<Message> kUpTo200 = {State(100), State(150), State(100), State(200)};

std::function<void(JobFixture&)> WithPackage(std::function<std::string(JobFixture&)> package,
                                             std::function<void(JobFixture&)> more = {}) {
  return [package, more](JobFixture& t) {
    t.SetPackage(package(t));
    if (more) more(t);
  };
}

std::string Standard(JobFixture& t) { return t.Build(Members()); }

std::vector<Failure> Failures() {
  return {
      Failure{"the copy gone when extraction starts",
              WithPackage(Standard,
                          [](JobFixture& t) {
                            t.hookedMessages().onPost = [&t](std::uint32_t id, std::uintptr_t,
                                                             std::intptr_t l) {
                              if (id == WM_OV_STATE && l == 150) t.fs().DeleteFile(JobFixture::kCopy);
                            };
                          }),
              JobFixture::kTarget, -211, 0, kUpTo150},
      Failure{"an install folder of one character", WithPackage(Standard), " a ", -212, 0, kUpTo150},
      Failure{"an install folder that cannot be made", WithPackage(Standard), "Q:\\Ornivale", -216, 0,
              kUpTo150},
      Failure{"a catalogue of one line", WithPackage([](JobFixture& t) { return t.Build({Members()[1]}); }),
              JobFixture::kTarget, -218, 0, kUpTo100},
      Failure{"a catalogue of two lines with one valid", WithPackage([](JobFixture&) {
                return JobFixture::RawPackage("alphabravo!",
                                              "\\, a.txt, 99, 5, 0|\r\n\\, b.txt, 104, 6|\r\n");
              }),
              JobFixture::kTarget, -219, 0, kUpTo100},
      Failure{"a copy that cannot be opened for the files",
              WithPackage(Standard,
                          [](JobFixture& t) {
                            auto opened = std::make_shared<bool>(false);
                            t.hookedMessages().onPost = [opened](std::uint32_t id, std::uintptr_t,
                                                                 std::intptr_t l) {
                              if (id == WM_OV_STATE && l == 200) *opened = true;
                            };
                            t.hookedFiles().onOpen = [opened](const std::string& path, platform::FileAccess) {
                              return !(*opened && path == JobFixture::kCopy);
                            };
                          }),
              JobFixture::kTarget, -228, 0, kUpTo200},
      Failure{"data beyond the end of the package", WithPackage([](JobFixture&) {
                return JobFixture::RawPackage("alphabravo!",
                                              "\\, a.txt, 99, 5, 0|\r\n\\, b.txt, 104, 60000, 0|\r\n");
              }),
              JobFixture::kTarget, -238, 1, kUpTo200},
      Failure{"a negative size", WithPackage([](JobFixture&) {
                return JobFixture::RawPackage("alphabravo!",
                                              "\\, a.txt, 99, 5, 0|\r\n\\, b.txt, 104, -6, 0|\r\n");
              }),
              JobFixture::kTarget, -238, 1, kUpTo200},
      Failure{"a negative offset", WithPackage([](JobFixture&) {
                return JobFixture::RawPackage("alphabravo!",
                                              "\\, a.txt, 99, 5, 0|\r\n\\, b.txt, -4, 6, 0|\r\n");
              }),
              JobFixture::kTarget, -238, 1, kUpTo200},
      Failure{"a file where a folder must go",
              WithPackage(Standard,
                          [](JobFixture& t) {
                            ASSERT_TRUE(t.fs().CreateDirectory(JobFixture::kTarget));
                            t.Put("C:\\Ornivale\\Skins", "in the way");
                          }),
              JobFixture::kTarget, -258, 4, kUpTo200},
      Failure{"a read-only file where a file must go",
              WithPackage(Standard,
                          [](JobFixture& t) {
                            ASSERT_TRUE(t.fs().CreateDirectory(JobFixture::kTarget));
                            ASSERT_TRUE(t.fs().CreateDirectory("C:\\Ornivale\\SampleContent"));
                            ASSERT_TRUE(t.fs().CreateDirectory("C:\\Ornivale\\SampleContent\\PNGs"));
                            t.Put("C:\\Ornivale\\SampleContent\\PNGs\\a.png", "old");
                            ASSERT_TRUE(t.fs().SetAttributes("C:\\Ornivale\\SampleContent\\PNGs\\a.png",
                                                             platform::attr::kReadOnly));
                          }),
              JobFixture::kTarget, -333, 2, kUpTo200}};
}

std::string FailureName(const ::testing::TestParamInfo<Failure>& param) {
  return std::to_string(-param.param.code) + "_" + std::to_string(param.index);
}

INSTANTIATE_TEST_SUITE_P(Install, ExtractionFailureTest, ::testing::ValuesIn(Failures()), FailureName);

TEST_F(InstallTest, AFailedEntryIsRecordedButNotCreated) {
  SetPackage(RawPackage("alphabravo!", "\\, a.txt, 99, 5, 0|\r\n\\Skins, b.txt, 104, 60000, 0|\r\n"));
  Start();
  ASSERT_TRUE(RunToPark());
  EXPECT_EQ(files_list_, (std::vector<std::string>{"C:\\Ornivale\\a.txt", "C:\\Ornivale\\Skins\\b.txt"}));
  EXPECT_EQ(folders_, (std::vector<std::string>{"C:\\Ornivale", "C:\\Ornivale\\Skins"}));
  EXPECT_FALSE(fs().FileExists("C:\\Ornivale\\Skins\\b.txt"));
  EXPECT_EQ(Contents("C:\\Ornivale\\a.txt"), "alpha");
}

TEST_F(InstallTest, UnsafeEntriesAreNeverWritten) {
  SetPackage(RawPackage("alphabravo!evil!",
                        "\\, a.txt, 99, 5, 0|\r\n"
                        "\\.., evil.txt, 110, 5, 0|\r\n"
                        "\\, ..\\evil.txt, 110, 5, 0|\r\n"
                        "\\Skins\\..\\.., evil.txt, 110, 5, 0|\r\n"
                        "\\, C:\\evil.txt, 110, 5, 0|\r\n"
                        "Skins, evil.txt, 110, 5, 0|\r\n"
                        "\\Skins, b.txt, 104, 6, 0|\r\n"));
  TOVInstallThread& job = Start();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(received_.back(), JobEnded(100, 0));
  EXPECT_EQ(job.Items.size(), 2u);
  EXPECT_EQ(files_list_, (std::vector<std::string>{"C:\\Ornivale\\a.txt", "C:\\Ornivale\\Skins\\b.txt"}));
  EXPECT_FALSE(fs().FileExists("C:\\evil.txt"));
  EXPECT_FALSE(fs().FileExists("C:\\OrnivaleSkins\\evil.txt"));
  EXPECT_FALSE(fs().DirectoryExists("C:\\OrnivaleSkins"));
}

// The wizard sets Mode and Cancelled; here that happens at an exact point of the job.
class CancelTest : public JobFixture {
 protected:
  void CancelWhenOpened(const std::string& path, platform::FileAccess access) {
    hookedFiles().onOpen = [this, path, access](const std::string& opened, platform::FileAccess how) {
      if (opened == path && how == access) {
        job_->Mode = kModeCancelled;
        job_->Cancelled = true;
      }
      return true;
    };
  }
};

TEST_F(CancelTest, DuringTheCopyTheJobEndsAndTheCopyStays) {
  SetPackage(Build(Members()));
  CancelWhenOpened(kCopy, platform::FileAccess::Write);
  Start();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(received_, (std::vector<Message>{State(100), JobEnded(210, 0)}));
  EXPECT_TRUE(fs().FileExists(kCopy));
  job_.reset();
  EXPECT_FALSE(fs().FileExists(kCopy));
}

TEST_F(CancelTest, DuringExtractionTheFileInProgressIsCompletedAndNotReported) {
  const std::vector<PackMember> members = Members();
  SetPackage(Build(members));
  CancelWhenOpened(FullPath(members[2]), platform::FileAccess::Write);
  TOVInstallThread& job = Start();
  ASSERT_TRUE(RunToEnd());

  const std::int64_t upTo1 = static_cast<std::int64_t>(members[0].Data.size() + members[1].Data.size());
  EXPECT_EQ(CountOf(received_, WM_OV_FILE_COPIED), 2);
  EXPECT_EQ(received_[received_.size() - 4], FileCopied(upTo1, 1));
  EXPECT_EQ(received_[received_.size() - 3], State(350));
  EXPECT_EQ(received_[received_.size() - 2], (Message{WM_OV_SAMPLE_PROGRESS, 1, 0}));
  EXPECT_EQ(received_.back(), JobEnded(210, 0));
  EXPECT_EQ(CountOf(received_, WM_OV_STATE), 5);  // no 300

  // The file in progress is whole and dated; nothing after it was written.
  EXPECT_EQ(Contents(FullPath(members[2])), members[2].Data);
  EXPECT_EQ(fs().LastWriteDosTime(FullPath(members[2])),
            static_cast<std::uint32_t>(members[2].Entry.FileDate));
  EXPECT_FALSE(fs().FileExists(FullPath(members[3])));
  EXPECT_EQ(files_list_.size(), 3u);
  EXPECT_EQ(job.Items[2]->Name, FullPath(members[2]));
  EXPECT_FALSE(fs().FileExists(kCopy));
}

TEST_F(CancelTest, AFileThatFailsAfterTheCancelEndsTheJobWithItsCode) {
  const std::vector<PackMember> members = Members();
  SetPackage(Build(members));
  ASSERT_TRUE(fs().CreateDirectory(kTarget));
  ASSERT_TRUE(fs().CreateDirectory("C:\\Ornivale\\SampleContent"));
  ASSERT_TRUE(fs().CreateDirectory("C:\\Ornivale\\SampleContent\\PNGs"));
  Put(FullPath(members[2]), "old");
  ASSERT_TRUE(fs().SetAttributes(FullPath(members[2]), platform::attr::kReadOnly));
  CancelWhenOpened(FullPath(members[2]), platform::FileAccess::Write);
  Start();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(CountOf(received_, WM_OV_EXTRACT_ERROR), 0);
  EXPECT_EQ(received_.back(), JobEnded(210, -333));
}

TEST_F(CancelTest, DuringRelocationRegistrationIsSkipped) {
  SetPackage(Build(Members()));
  hookedMessages().onPost = [this](std::uint32_t id, std::uintptr_t, std::intptr_t) {
    if (id == WM_OV_SAMPLE_PROGRESS) {
      job_->Mode = kModeCancelled;
      job_->Cancelled = true;
    }
  };
  Start();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(CountOf(received_, WM_OV_FILE_COPIED), 7);
  EXPECT_EQ(received_[received_.size() - 2], (Message{WM_OV_SAMPLE_PROGRESS, 1, 0}));
  EXPECT_EQ(received_.back(), JobEnded(210, 0));
  EXPECT_FALSE(fs().FileExists(kCopy));
}

// The wizard suspends the job while file 2 is being written: the job stops right after that file,
// before reporting it, and makes no progress until it is resumed.
TEST_F(InstallTest, ASuspendedJobStopsAfterTheFileInProgress) {
  const std::vector<PackMember> members = Members();
  SetPackage(Build(members));
  std::mutex mutex;
  std::condition_variable changed;
  bool writing = false, suspending = false;
  hookedFiles().onOpen = [&](const std::string& path, platform::FileAccess access) {
    if (path == FullPath(members[2]) && access == platform::FileAccess::Write) {
      std::unique_lock lock(mutex);
      writing = true;
      changed.notify_all();
      changed.wait(lock, [&] { return suspending; });
      // Suspend() on the other thread takes its pause request a moment after saying so.
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return true;
  };
  TOVInstallThread& job = Start();
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return writing; }));
    suspending = true;
    changed.notify_all();
  }
  ASSERT_TRUE(job.Suspend());
  EXPECT_EQ(files_list_.size(), 3u);
  EXPECT_EQ(Contents(FullPath(members[2])), members[2].Data);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(files_list_.size(), 3u);
  EXPECT_FALSE(fs().FileExists(FullPath(members[3])));
  emulated().PumpPending();
  EXPECT_EQ(CountOf(received_, WM_OV_FILE_COPIED), 2);

  job.Resume();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(received_.back(), JobEnded(100, 0));
  EXPECT_EQ(files_list_.size(), members.size());
}

}  // namespace
}  // namespace ov::engine
