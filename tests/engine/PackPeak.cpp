// Peak memory of an install: runs the install job natively on a package file, for /usr/bin/time -v.
//   ov_pack_peak PACKAGE load      only holds the package as the program's resource
//   ov_pack_peak PACKAGE install   and installs it into C:\Ornivale
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "engine/InstallThread.h"
#include "platform/emulated/EmulatedMachine.h"

int main(int argc, char** argv) {
  using namespace ov;
  if (argc != 3) {
    std::fprintf(stderr, "usage: ov_pack_peak PACKAGE load|install\n");
    return 2;
  }
  // Read at its full size in one go, so the driver itself holds the package once.
  std::string package(static_cast<std::size_t>(std::filesystem::file_size(argv[1])), '\0');
  {
    std::ifstream in(argv[1], std::ios::binary);
    in.read(package.data(), static_cast<std::streamsize>(package.size()));
  }
  const std::size_t size = package.size();
  std::random_device random;
  const auto root = std::filesystem::temp_directory_path() / ("ov-pack-peak-" + std::to_string(random()));
  int result = 0;
  {
    emulated::EmulatedMachine emulated(root);
    emulated.SetResource("OVPACK", platform::ResourceType::RcData, std::move(package));
    if (std::string(argv[2]) == "install") {
      bool ended = false;
      std::int64_t files = 0;
      const auto window =
          emulated.CreateWindow("TfrmInst", [&](std::uint32_t id, std::uintptr_t, std::intptr_t) {
            if (id == engine::WM_OV_FILE_COPIED) ++files;
            if (id == engine::WM_OV_JOB_ENDED || id == engine::WM_OV_EXTRACT_ERROR) ended = true;
            return std::intptr_t{0};
          });
      engine::TOVInstallThread job(emulated.machine(), true, engine::kModeInstall, window, nullptr, nullptr);
      job.TargetDir = "C:\\Ornivale";
      job.SetEndHandler([&](platform::WorkerThread&) {
        emulated.machine().messages.Post(window, engine::WM_OV_JOB_ENDED, 0, job.Status);
      });
      const auto start = std::chrono::steady_clock::now();
      job.Resume();
      emulated.PumpUntil([&] { return ended; }, std::chrono::minutes(5));
      const auto ms =
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
              .count();
      std::printf("package %zu bytes, %lld files, status %d, %lld ms\n", size, static_cast<long long>(files),
                  static_cast<int>(job.Status), static_cast<long long>(ms));
      result = job.Status == 0 && ended ? 0 : 1;
    } else {
      std::printf("package %zu bytes held\n", size);
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return result;
}
