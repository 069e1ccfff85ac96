#pragma once
// An install job on an emulated machine, with the wizard's window recording every message it
// receives and an end handler that posts WM_OV_JOB_ENDED as the wizard's does.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/InstallThread.h"
#include "package/Container.h"
#include "package/PackageWriter.h"
#include "platform/emulated/EmulatedMachine.h"
#include "support/Dates.h"
#include "tests/engine/HookedMachine.h"

namespace ov::engine {

struct Message {
  std::uint32_t id;
  std::int64_t wParam;  // as the wizard reads it: status codes come back negative
  std::int64_t lParam;
  bool operator==(const Message&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Message& m) {
  return out << "{" << m.id << ", " << m.wParam << ", " << m.lParam << "}";
}

inline Message State(std::int32_t state, std::int64_t wParam = 0) { return {WM_OV_STATE, wParam, state}; }
inline Message FileCopied(std::int64_t total, std::int64_t index) {
  return {WM_OV_FILE_COPIED, total, index};
}
inline Message ExtractError(std::int32_t code, std::int64_t index) {
  return {WM_OV_EXTRACT_ERROR, code, index};
}
inline Message JobEnded(std::int32_t mode, std::int32_t status) { return {WM_OV_JOB_ENDED, mode, status}; }

inline std::int32_t Dos(int year, int month, int day, int hour, int minute, int second) {
  return static_cast<std::int32_t>(
      *DosDateTime(platform::LocalTime{year, month, day, hour, minute, second, 0}));
}

class JobFixture : public ::testing::Test {
 public:  // the case tables' set-up functions use the fixture from outside
  static constexpr const char* kTarget = "C:\\Ornivale";
  static constexpr const char* kCopy = "C:\\windows\\temp\\ovpack.pck";

  void SetUp() override {
    received_.clear();
    ended_ = false;
    folders_.clear();
    files_list_.clear();
    std::random_device random;
    hostRoot_ = std::filesystem::temp_directory_path() /
                ("ov-engine-" + std::to_string(random()) + "-" + std::to_string(random()));
    emulated_ = std::make_unique<emulated::EmulatedMachine>(hostRoot_);
    platform::Machine& inner = emulated_->machine();
    files_ = std::make_unique<HookedFileSystem>(inner.files);
    messages_ = std::make_unique<HookedMessages>(inner.messages);
    machine_ = std::make_unique<platform::Machine>(
        platform::Machine{*files_, inner.registry, inner.system, inner.shell, *messages_, inner.resources});
    emulated_->SetTempPath("C:\\windows\\temp\\");
    emulated_->SetClock(kClock);
    window_ =
        emulated_->CreateWindow("TfrmInst", [this](std::uint32_t id, std::uintptr_t w, std::intptr_t l) {
          // Codes travel sign-extended in wParam; the wizard reads them back as 32-bit values.
          received_.push_back({id, static_cast<std::int32_t>(w), static_cast<std::int32_t>(l)});
          if (id == WM_OV_JOB_ENDED) ended_ = true;
          return std::intptr_t{0};
        });
  }

  void TearDown() override {
    job_.reset();
    machine_.reset();
    emulated_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(hostRoot_, ignored);
  }

  platform::FileSystem& fs() { return emulated_->machine().files; }
  emulated::EmulatedMachine& emulated() { return *emulated_; }
  HookedFileSystem& hookedFiles() { return *files_; }
  HookedMessages& hookedMessages() { return *messages_; }

  void SetPackage(std::string bytes) {
    emulated_->SetResource("OVPACK", platform::ResourceType::RcData, std::move(bytes));
  }

  std::string Build(const std::vector<package::PackMember>& members) {
    std::string problem;
    std::optional<std::string> bytes =
        package::BuildPackage("OrnivalePackage:OVID_39522_5000000000", members, problem);
    EXPECT_TRUE(bytes) << problem;
    return bytes.value_or("");
  }

  // A package with the given member bytes and catalogue text, whatever the catalogue says;
  // padded after the members to pass the job's size check.
  static std::string RawPackage(const std::string& members, const std::string& catalogue) {
    const std::string padded = members + std::string(1000, '\0');
    return package::BuildContainerHeader("OrnivalePackage:OVID_39522_5000000000",
                                         static_cast<std::int32_t>(99 + padded.size())) +
           padded + catalogue;
  }

  TOVInstallThread& Create(std::int32_t mode, bool withLists = true) {
    job_ = std::make_unique<TOVInstallThread>(*machine_, true, mode, window_, withLists ? &folders_ : nullptr,
                                              withLists ? &files_list_ : nullptr);
    job_->SetEndHandler([this](platform::WorkerThread&) {
      emulated_->machine().messages.Post(window_, WM_OV_JOB_ENDED,
                                         static_cast<std::uintptr_t>(job_->Mode.load()), job_->Status.load());
    });
    return *job_;
  }

  TOVInstallThread& Start(const std::string& target = kTarget, std::int32_t mode = kModeInstall) {
    TOVInstallThread& job = Create(mode);
    job.TargetDir = target;
    job.Resume();
    return job;
  }

  // Pumps until the end message has been handled.
  bool RunToEnd() {
    return emulated_->PumpUntil([this] { return ended_; });
  }

  // Pumps until the job has parked, then everything it posted before.
  bool RunToPark() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!job_->Parked() && std::chrono::steady_clock::now() < deadline) {
      emulated_->PumpPending();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    emulated_->PumpPending();
    return job_->Parked();
  }

  // Pumps until the job's body has returned and its end handler (if any) has run.
  bool RunToFinish() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!job_->Finished() && std::chrono::steady_clock::now() < deadline) {
      emulated_->PumpPending();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    emulated_->PumpPending();
    return job_->Finished();
  }

  std::optional<std::string> Contents(const std::string& path) {
    std::unique_ptr<platform::File> file = fs().Open(
        path, platform::FileAccess::Read, platform::FileShare::ReadWrite, platform::FileCreate::OpenExisting);
    if (!file) return std::nullopt;
    std::string data(static_cast<std::size_t>(file->Size()), '\0');
    std::uint32_t got = 0;
    if (!data.empty() &&
        (!file->Read(data.data(), static_cast<std::uint32_t>(data.size()), got) || got != data.size())) {
      return std::nullopt;
    }
    return data;
  }

  void Put(const std::string& path, const std::string& bytes) {
    std::unique_ptr<platform::File> file = fs().Open(
        path, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(file->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()))) << path;
  }

  static constexpr platform::LocalTime kClock{2009, 6, 1, 8, 0, 0, 0};

  std::vector<Message> received_;
  bool ended_ = false;
  std::vector<std::string> folders_;
  std::vector<std::string> files_list_;
  std::unique_ptr<TOVInstallThread> job_;
  platform::WindowHandle window_ = 0;

 private:
  std::filesystem::path hostRoot_;
  std::unique_ptr<emulated::EmulatedMachine> emulated_;
  std::unique_ptr<HookedFileSystem> files_;
  std::unique_ptr<HookedMessages> messages_;
  std::unique_ptr<platform::Machine> machine_;
};

}  // namespace ov::engine
