#include "tests/platform/emulated/TestMachine.h"

#include <unistd.h>

#include <atomic>
#include <string>
#include <system_error>

namespace ov::emulated {

namespace {

std::filesystem::path FreshHostFolder() {
  static std::atomic<int> counter{0};
  const auto folder = std::filesystem::temp_directory_path() /
                      ("ov-emulated-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  std::filesystem::create_directories(folder / "machine");
  return folder;
}

}  // namespace

TestMachine::TestMachine()
    : host_(FreshHostFolder()), machine_(std::make_unique<EmulatedMachine>(host_ / "machine")) {}

TestMachine::~TestMachine() {
  machine_.reset();
  std::error_code ec;
  std::filesystem::remove_all(host_, ec);
}

std::filesystem::path TestMachine::Outside(const std::string& name) const { return host_ / name; }

}  // namespace ov::emulated
