// The contract suite's environment on the emulated machine: a fresh machine per test on a
// host folder of its own, with the folders a fresh Wine prefix has.
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/emulated/EmulatedMachine.h"
#include "tests/platform/contract/ContractEnvironment.h"

namespace ov::contract {
namespace {

std::filesystem::path FreshHostFolder() {
  static std::atomic<int> counter{0};
  const auto folder = std::filesystem::temp_directory_path() /
                      ("ov-contract-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  std::filesystem::create_directories(folder);
  return folder;
}

class EmulatedEnvironment final : public ContractEnvironment {
 public:
  EmulatedEnvironment()
      : host_(FreshHostFolder()), emulated_(std::make_unique<emulated::EmulatedMachine>(host_)) {
    emulated_->UseStandardFolders();
    emulated_->machine().files.CreateDirectory("C:\\ovcontract");
    emulated_->machine().files.CreateDirectory(kScratchFolder);
  }

  ~EmulatedEnvironment() override {
    emulated_.reset();
    std::error_code ec;
    std::filesystem::remove_all(host_, ec);
  }

  platform::Machine& machine() override { return emulated_->machine(); }
  std::string ScratchFolder() override { return kScratchFolder; }
  std::string ScratchKey() override { return "SOFTWARE\\OvContract\\1"; }
  platform::WindowHandle CreateWindow(const std::string& className, WindowProc proc) override {
    return emulated_->CreateWindow(className, std::move(proc));
  }
  bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) override {
    return emulated_->PumpUntil(condition, timeout);
  }
  bool UnderWine() const override { return false; }

 private:
  static constexpr const char* kScratchFolder = "C:\\ovcontract\\1";

  std::filesystem::path host_;
  std::unique_ptr<emulated::EmulatedMachine> emulated_;
};

}  // namespace

std::unique_ptr<ContractEnvironment> MakeContractEnvironment() {
  return std::make_unique<EmulatedEnvironment>();
}

}  // namespace ov::contract
