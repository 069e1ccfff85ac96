// The real API under Wine, checked against what the system itself reports: values written
// through the platform layer are read back with the raw API and the other way round.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/WorkerThread.h"
#include "tests/platform/win32/Win32Environment.h"

namespace ov::win32 {
namespace {

using platform::RegRoot;
using platform::RegType;

class Win32Smoke : public ::testing::Test {
 protected:
  void SetUp() override { env_ = std::make_unique<Win32Environment>(); }
  platform::Machine& machine() { return env_->machine(); }

  std::unique_ptr<Win32Environment> env_;
};

// --- registry ---

struct RawValue {
  DWORD type = REG_NONE;
  std::string data;
};

RawValue ReadRaw(HKEY root, const std::string& path, const char* name) {
  RawValue value;
  RegKey key;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return value;
  char buffer[256];
  DWORD size = sizeof buffer;
  if (::RegQueryValueExA(key.Get(), name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer), &size) ==
      ERROR_SUCCESS)
    value.data.assign(buffer, size);
  return value;
}

TEST_F(Win32Smoke, ValuesWrittenThroughTheLayerAreWhatTheSystemStores) {
  for (RegRoot root : {RegRoot::LocalMachine, RegRoot::ClassesRoot}) {
    const HKEY rawRoot = root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
    const std::string path = env_->ScratchKey() + "\\Missing\\Parents";
    auto key = machine().registry.Create(root, path);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetString("Name", "Ornivale\x99"));
    ASSERT_TRUE(key->SetString("", "default"));
    ASSERT_TRUE(key->SetDword("Count", 0x01020304));

    const RawValue text = ReadRaw(rawRoot, path, "Name");
    EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text.data, std::string("Ornivale\x99\0", 10));
    EXPECT_EQ(ReadRaw(rawRoot, path, "").data, std::string("default\0", 8));
    const RawValue number = ReadRaw(rawRoot, path, "Count");
    EXPECT_EQ(number.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number.data, std::string("\x04\x03\x02\x01", 4));
  }
}

TEST_F(Win32Smoke, ValuesWrittenByOthersReadWithTheirTypes) {
  struct Case {
    const char* name;
    DWORD rawType;
    std::string rawData;
    bool readable;
    RegType type;
    std::string text;
    std::uint32_t number;
  };
  const std::vector<Case> cases = {
      {"sz", REG_SZ, std::string("C:\\jdk\0", 7), true, RegType::String, "C:\\jdk", 0},
      {"sz without zero", REG_SZ, "C:\\jdk", true, RegType::String, "C:\\jdk", 0},
      {"empty sz", REG_SZ, std::string("\0", 1), true, RegType::String, "", 0},
      {"expand", REG_EXPAND_SZ, std::string("%ProgramFiles%\0", 15), true, RegType::ExpandString,
       "%ProgramFiles%", 0},
      {"binary", REG_BINARY, std::string("\x00\xff\x10", 3), true, RegType::Binary,
       std::string("\x00\xff\x10", 3), 0},
      {"dword", REG_DWORD, std::string("\x2a\x00\x00\x80", 4), true, RegType::Dword, "", 0x8000002A},
      {"short dword", REG_DWORD, std::string("\x2a\x00", 2), false, RegType::Dword, "", 0},
      {"multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5), false, RegType::String, "", 0},
  };
  const std::string path = env_->ScratchKey();
  {
    RegKey raw;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                raw.Receive(), nullptr),
              ERROR_SUCCESS);
    for (const Case& c : cases)
      ASSERT_EQ(
          ::RegSetValueExA(raw.Get(), c.name, 0, c.rawType, reinterpret_cast<const BYTE*>(c.rawData.data()),
                           static_cast<DWORD>(c.rawData.size())),
          ERROR_SUCCESS);
  }
  auto key = machine().registry.Open(RegRoot::LocalMachine, path, platform::RegAccess::Read);
  ASSERT_TRUE(key);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto value = key->Value(c.name);
    ASSERT_EQ(value.has_value(), c.readable);
    if (!c.readable) continue;
    EXPECT_EQ(value->type, c.type);
    EXPECT_EQ(value->text, c.text);
    EXPECT_EQ(value->number, c.number);
  }
  EXPECT_FALSE(key->Value("absent"));
  // Names compare without regard to case.
  ASSERT_TRUE(key->Value("SZ"));
}

TEST_F(Win32Smoke, SubkeysEnumerateAndDeleteLeafFirst) {
  const std::string path = env_->ScratchKey();
  for (const char* name : {"Beta", "alpha", "Gamma\x99"})
    ASSERT_TRUE(machine().registry.Create(RegRoot::LocalMachine, path + "\\" + name + "\\leaf"));
  auto key = machine().registry.Open(RegRoot::LocalMachine, path, platform::RegAccess::Read);
  ASSERT_TRUE(key);
  auto names = key->SubKeyNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Beta", "Gamma\x99", "alpha"}));

  EXPECT_FALSE(machine().registry.DeleteKey(RegRoot::LocalMachine, path + "\\Beta"));
  EXPECT_TRUE(machine().registry.DeleteKey(RegRoot::LocalMachine, path + "\\BETA\\leaf"));
  EXPECT_TRUE(machine().registry.DeleteKey(RegRoot::LocalMachine, path + "\\Beta"));
  EXPECT_FALSE(machine().registry.Open(RegRoot::LocalMachine, path + "\\beta", platform::RegAccess::Read));
  EXPECT_FALSE(machine().registry.DeleteKey(RegRoot::LocalMachine, ""));
}

// --- files ---

TEST_F(Win32Smoke, DosDateIsStoredAsLocalTime) {
  const std::string file = env_->ScratchFolder() + "\\dated.txt";
  // 15 March 2008 12:00:06; 31 December 2107 23:59:58, the last DOS date; 1 January 1980.
  const std::uint32_t dates[] = {(28u << 25 | 3u << 21 | 15u << 16) | (12u << 11 | 0u << 5 | 3u),
                                 (127u << 25 | 12u << 21 | 31u << 16) | (23u << 11 | 59u << 5 | 29u),
                                 (0u << 25 | 1u << 21 | 1u << 16)};
  for (std::uint32_t date : dates) {
    SCOPED_TRACE(date);
    {
      auto out = machine().files.Open(file, platform::FileAccess::Write, platform::FileShare::None,
                                      platform::FileCreate::CreateAlways);
      ASSERT_TRUE(out);
      ASSERT_TRUE(out->Write("x", 1));
      ASSERT_TRUE(out->SetLastWriteDosTime(date));
    }
    EXPECT_EQ(machine().files.LastWriteDosTime(file), date);

    FileHandle raw(
        ::CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(raw.Valid());
    FILETIME utc;
    FILETIME local;
    SYSTEMTIME shown;
    ASSERT_TRUE(::GetFileTime(raw.Get(), nullptr, nullptr, &utc));
    ASSERT_TRUE(::FileTimeToLocalFileTime(&utc, &local));
    ASSERT_TRUE(::FileTimeToSystemTime(&local, &shown));
    EXPECT_EQ(shown.wYear, 1980 + (date >> 25));
    EXPECT_EQ(shown.wMonth, (date >> 21) & 0xF);
    EXPECT_EQ(shown.wDay, (date >> 16) & 0x1F);
    EXPECT_EQ(shown.wHour, (date >> 11) & 0x1F);
    EXPECT_EQ(shown.wMinute, (date >> 5) & 0x3F);
    EXPECT_EQ(shown.wSecond, (date & 0x1F) * 2);
  }
  EXPECT_FALSE(machine().files.LastWriteDosTime(env_->ScratchFolder() + "\\missing"));
}

TEST_F(Win32Smoke, ShareModesAreTheSystemsOwn) {
  const std::string file = env_->ScratchFolder() + "\\shared.bin";
  ASSERT_TRUE(machine().files.Open(file, platform::FileAccess::Write, platform::FileShare::None,
                                   platform::FileCreate::CreateAlways));
  {
    auto exclusive = machine().files.Open(file, platform::FileAccess::Read, platform::FileShare::None,
                                          platform::FileCreate::OpenExisting);
    ASSERT_TRUE(exclusive);
    FileHandle raw(::CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(raw.Valid());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // The date still reads while the file is held exclusively.
    EXPECT_TRUE(machine().files.LastWriteDosTime(file));
  }
  auto shared = machine().files.Open(file, platform::FileAccess::Read, platform::FileShare::ReadWrite,
                                     platform::FileCreate::OpenExisting);
  ASSERT_TRUE(shared);
  FileHandle raw(::CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(raw.Valid());
}

TEST_F(Win32Smoke, DrivesReportTheirTypeAndSpace) {
  EXPECT_EQ(machine().files.DriveType("C:\\"), platform::drive::kFixed);
  const platform::DiskSpace c = machine().files.FreeSpace("C:\\");
  EXPECT_TRUE(c.ok);
  EXPECT_EQ(c.error, 0u);
  EXPECT_GT(c.total, 0u);
  EXPECT_LE(c.freeToCaller, c.total);

  // A letter Wine maps to nothing.
  EXPECT_EQ(machine().files.DriveType("Q:\\"), platform::drive::kNoRootDir);
  const platform::DiskSpace q = machine().files.FreeSpace("Q:\\");
  EXPECT_FALSE(q.ok);
  EXPECT_EQ(q.error, static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Win32Smoke, SystemFoldersExist) {
  const std::string temp = machine().system.TempPath();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(machine().files.DirectoryExists(temp));
  const std::string windows = machine().system.WindowsDirectory();
  ASSERT_FALSE(windows.empty());
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(machine().files.FileExists(windows + "\\notepad.exe"));
}

// --- shell ---

TEST_F(Win32Smoke, SpecialFoldersAreFileSystemFolders) {
  // Desktop, programs, common programs, common desktop, application data, common
  // application data, program files.
  for (int csidl : {0x00, 0x02, 0x17, 0x19, 0x1A, 0x23, 0x26}) {
    SCOPED_TRACE(csidl);
    const auto path = machine().system.SpecialFolder(csidl, 0);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->substr(0, 3), "C:\\");
    EXPECT_TRUE(machine().files.DirectoryExists(*path));
  }
  // Virtual folders: My Computer and the Control Panel have no file-system path.
  for (int csidl : {0x11, 0x03}) {
    SCOPED_TRACE(csidl);
    EXPECT_FALSE(machine().system.SpecialFolder(csidl, 0));
  }
}

TEST_F(Win32Smoke, ShellLinksRoundTripAndReplace) {
  const std::string folder = env_->ScratchFolder();
  const std::string target = folder + "\\ornivale.exe";
  ASSERT_TRUE(machine().files.Open(target, platform::FileAccess::Write, platform::FileShare::None,
                                   platform::FileCreate::CreateAlways));
  const std::string linkFile = folder + "\\Ornivale.lnk";
  const std::vector<platform::ShellLink> links = {{target, "", folder},
                                                  {target, "-open \"a b.mjp\"", "C:\\"}};
  for (const platform::ShellLink& link : links) {
    ASSERT_TRUE(machine().shell.SaveShellLink(link, linkFile));
    const auto loaded = machine().shell.LoadShellLink(linkFile);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->target, link.target);
    EXPECT_EQ(loaded->arguments, link.arguments);
    EXPECT_EQ(loaded->workingDirectory, link.workingDirectory);
  }
  EXPECT_FALSE(machine().shell.LoadShellLink(target));
  EXPECT_FALSE(machine().shell.LoadShellLink(folder + "\\missing.lnk"));
  EXPECT_FALSE(machine().shell.SaveShellLink(links[0], folder + "\\no such folder\\x.lnk"));
}

// Saving a link takes long enough under Wine for the window to look hung: meanwhile the calling
// thread answers what other threads send it, and leaves what is posted to its message loop.
TEST_F(Win32Smoke, WhileALinkIsSavedTheCallerAnswersSentMessagesOnly) {
  const std::string folder = env_->ScratchFolder();
  const std::string target = folder + "\\ornivale.exe";
  ASSERT_TRUE(machine().files.Open(target, platform::FileAccess::Write, platform::FileShare::None,
                                   platform::FileCreate::CreateAlways));
  constexpr UINT kSent = WM_USER + 41, kPosted = WM_USER + 42;
  bool saving = false;  // the procedure runs on this thread
  int sentWhileSaving = 0, postedWhileSaving = 0, posted = 0;
  const platform::WindowHandle handle =
      env_->CreateWindow("OvSmokeLinkWait", [&](std::uint32_t message, std::uintptr_t, std::intptr_t) {
        if (message == kSent && saving) ++sentWhileSaving;
        if (message == kPosted) {
          ++posted;
          if (saving) ++postedWhileSaving;
        }
        return std::intptr_t{0};
      });
  ASSERT_NE(handle, 0u);
  const HWND window = reinterpret_cast<HWND>(handle);
  ASSERT_TRUE(::PostMessageW(window, kPosted, 0, 0));
  std::thread sender([window] {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, kSent, 0, 0, SMTO_NORMAL, 10000, &ignored);
  });
  // The sent message waits for this thread before the save begins.
  for (int tries = 0; tries < 5000 && !(HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE); ++tries) {
    ::Sleep(1);
  }
  saving = true;
  EXPECT_TRUE(machine().shell.SaveShellLink({target, "", folder}, folder + "\\Ornivale.lnk"));
  saving = false;
  sender.join();
  EXPECT_EQ(sentWhileSaving, 1);
  EXPECT_EQ(postedWhileSaving, 0);
  EXPECT_TRUE(env_->PumpUntil([&] { return posted == 1; }, std::chrono::seconds(5)));
}

// --- resources ---

TEST_F(Win32Smoke, ResourcesComeFromTheProgramItself) {
  const auto data = machine().resources.Find("ovsmoke", platform::ResourceType::RcData);
  ASSERT_TRUE(data);
  EXPECT_EQ(*data, "Ornivale\x99 smoke");
  // A bitmap resource is the file without its 14-byte file header.
  const auto bitmap = machine().resources.Find("BMP_SMOKE", platform::ResourceType::Bitmap);
  ASSERT_TRUE(bitmap);
  ASSERT_EQ(bitmap->size(), 70u - 14u);
  EXPECT_EQ(static_cast<unsigned char>((*bitmap)[0]), 40u);
  EXPECT_FALSE(machine().resources.Find("BMP_SMOKE", platform::ResourceType::RcData));
  EXPECT_FALSE(machine().resources.Find("OVPACK", platform::ResourceType::RcData));
}

TEST_F(Win32Smoke, ReleasedPartsOfAResourceReadTheSameAfterwards) {
  const auto pages = machine().resources.Find("OVPAGES", platform::ResourceType::RcData);
  ASSERT_TRUE(pages);
  ASSERT_EQ(pages->size(), 5u * 4096u);
  std::string expected;
  for (int i = 0; i < 1280; ++i) expected += "0123456789abcdef";
  for (const std::string_view part : {pages->substr(100, 9000), *pages, pages->substr(4096, 4096)}) {
    machine().resources.Release(part);
    EXPECT_EQ(*pages, expected);
  }
  EXPECT_EQ(machine().resources.Find("OVPAGES", platform::ResourceType::RcData), pages);
}

// --- messages and the worker thread ---

class PostingJob final : public platform::WorkerThread {
 public:
  PostingJob(platform::Messages& messages, platform::WindowHandle window)
      : WorkerThread(messages), messages_(messages), window_(window) {}
  ~PostingJob() override { StopThread(); }

  DWORD bodyThread = 0;

 protected:
  void Execute() override {
    bodyThread = ::GetCurrentThreadId();
    for (std::uintptr_t i = 1; i <= 3; ++i) {
      Checkpoint();
      messages_.Post(window_, WM_USER + 30, i, 0);
    }
  }

 private:
  platform::Messages& messages_;
  platform::WindowHandle window_;
};

TEST_F(Win32Smoke, EndHandlerRunsOnTheUiThreadAfterTheJobsMessages) {
  std::vector<std::uintptr_t> seen;
  const platform::WindowHandle window = env_->CreateWindow(
      "TOvSmokeWindow", [&](std::uint32_t message, std::uintptr_t wParam, std::intptr_t) -> std::intptr_t {
        if (message == WM_USER + 30) seen.push_back(wParam);
        return 0;
      });
  ASSERT_NE(window, 0u);
  EXPECT_EQ(machine().messages.FindWindowByClass("TOvSmokeWindow"), window);
  EXPECT_EQ(machine().messages.FindWindowByClass("TOvNoSuchWindow"), 0u);

  PostingJob job(machine().messages, window);
  DWORD endThread = 0;
  std::vector<std::uintptr_t> seenAtEnd;
  job.SetEndHandler([&](platform::WorkerThread&) {
    endThread = ::GetCurrentThreadId();
    seenAtEnd = seen;
  });
  job.Resume();
  ASSERT_TRUE(env_->PumpUntil([&] { return endThread != 0; }, std::chrono::seconds(10)));
  EXPECT_EQ(endThread, ::GetCurrentThreadId());
  EXPECT_NE(job.bodyThread, ::GetCurrentThreadId());
  EXPECT_EQ(seenAtEnd, (std::vector<std::uintptr_t>{1, 2, 3}));
}

TEST_F(Win32Smoke, TasksPostedFromManyThreadsAllRunOnceOnTheUiThread) {
  constexpr int kThreads = 4;
  constexpr int kTasks = 200;
  std::atomic<int> ran{0};
  std::atomic<int> offThread{0};
  const DWORD ui = ::GetCurrentThreadId();
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t)
    posters.emplace_back([&] {
      for (int i = 0; i < kTasks; ++i)
        ASSERT_TRUE(machine().messages.PostTask([&] {
          if (::GetCurrentThreadId() != ui) ++offThread;
          ++ran;
        }));
    });
  for (std::thread& poster : posters) poster.join();
  EXPECT_TRUE(env_->PumpUntil([&] { return ran == kThreads * kTasks; }, std::chrono::seconds(10)));
  EXPECT_EQ(offThread, 0);
  EXPECT_FALSE(machine().messages.Post(0, WM_USER, 0, 0));
}

}  // namespace
}  // namespace ov::win32
