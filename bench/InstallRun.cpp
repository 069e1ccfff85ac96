// One whole install of a package on an emulated machine, as one process run for tools/bench.sh:
// the package file is mapped read-only and served as the program's RCDATA "OVPACK", and the
// install job runs from the copy out of the program to the install log.
//   install_run PACKAGE ROOT            ROOT: a new host folder for the machine (left behind)
//   install_run PACKAGE ROOT --check    the same through a counting file system, then a report of
//                                       how each file was written and of the memory at each write
// Exit code: 0 installed (and, with --check, every member written once), 1 not, 2 usage or setup.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench/CountingFileSystem.h"
#include "bench/MappedFile.h"
#include "bench/MappedResources.h"
#include "engine/InstallThread.h"
#include "platform/emulated/EmulatedMachine.h"

namespace ov::bench {
namespace {

constexpr const char* kTarget = "C:\\Ornivale";

using Clock = std::chrono::steady_clock;

struct Outcome {
  // When the states 150 (copy done), 350 (extraction done), 300 (samples done) and the end arrived.
  Clock::time_point start, extracting, relocating, registering, end;
  bool ended = false;
  std::optional<std::int32_t> extractError;
  std::int64_t filesCopied = 0;
  std::int64_t bytesCopied = 0;
  std::int64_t samples = 0;
  std::int32_t status = 0;
};

std::uint64_t PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::uint64_t>(usage.ru_maxrss);
}

// How the job wrote the files: the package copy, every member, everything else. True when every
// member was extracted by one create and one write of its size.
bool Report(const engine::TOVInstallThread& job, const CountingFileSystem& counting, std::uint64_t packSize) {
  const FileTally copy = counting.TallyOf(job.PackFile);
  std::printf("package copy: %d create, %d writes of %llu bytes (package %llu); "
              "read back %llu bytes (%.2f x)\n",
              copy.createOpens, copy.writeCalls, static_cast<unsigned long long>(copy.bytesWritten),
              static_cast<unsigned long long>(packSize), static_cast<unsigned long long>(copy.bytesRead),
              packSize == 0 ? 0.0 : static_cast<double>(copy.bytesRead) / static_cast<double>(packSize));

  std::size_t once = 0, dated = 0, withDate = 0, replaced = 0;
  std::int64_t largest = 0;
  std::vector<std::string> members;
  for (const auto& item : job.Items) {
    const FileTally t = counting.TallyOf(item->Name);
    members.push_back(t.path);
    largest = std::max<std::int64_t>(largest, item->Size);
    const int writes = item->Size > 0 ? 1 : 0;
    if (t.createOpens == 1 && t.writeCalls == writes && t.bytesWritten == static_cast<std::uint64_t>(item->Size)) {
      ++once;
    } else {
      std::printf("  not written once: %s (%d creates, %d writes, %llu bytes of %d)\n", t.path.c_str(),
                  t.createOpens, t.writeCalls, static_cast<unsigned long long>(t.bytesWritten), item->Size);
    }
    if (item->FileDate > 0) {
      ++withDate;
      if (t.writeOpens == 0 && t.datings == 1) ++dated;
    }
    if (t.replacements > 0) ++replaced;
  }
  std::printf("members: %zu of %zu extracted by one create and one write of their size; "
              "%zu of %zu dated once through the handle that wrote them; "
              "%zu replaced afterwards (sample relocation)\n",
              once, job.Items.size(), dated, withDate, replaced);

  std::size_t others = 0;
  std::uint64_t otherBytes = 0;
  std::vector<std::string> copies;
  for (const FileTally& t : counting.Tallies()) {
    const bool member = std::find(members.begin(), members.end(), t.path) != members.end();
    if (member || t.path == copy.path) continue;
    if (t.createOpens > 0 || t.writeCalls > 0) {
      ++others;
      otherBytes += t.bytesWritten;
    } else if (t.replacements > 0) {
      copies.push_back(t.path);
    }
  }
  std::printf("other files written: %zu, %llu bytes (sample work files, install log)", others,
              static_cast<unsigned long long>(otherBytes));
  for (const std::string& path : copies) std::printf("; copied or moved onto %s", path.c_str());
  std::printf("\n");

  std::printf("memory: peak resident %llu KiB, of it the mapped package up to %llu KiB; "
              "peak not file-backed at a write %llu KiB; largest member %lld bytes\n",
              static_cast<unsigned long long>(PeakResidentKiB()), static_cast<unsigned long long>(packSize / 1024),
              static_cast<unsigned long long>(counting.PeakAnonymousKiB()), static_cast<long long>(largest));
  return once == job.Items.size();
}

int Run(const std::string& packagePath, const std::filesystem::path& root, bool check) {
  const MappedFile package(packagePath);
  emulated::EmulatedMachine emulated(root);
  emulated.SetTempPath("C:\\windows\\temp\\");
  platform::Machine& inner = emulated.machine();
  MappedResources resources(inner.resources, package.Bytes());
  CountingFileSystem counting(inner.files);
  platform::Machine machine{check ? static_cast<platform::FileSystem&>(counting) : inner.files,
                            inner.registry, inner.system, inner.shell, inner.messages, resources};

  Outcome outcome;
  const platform::WindowHandle window =
      emulated.CreateWindow("TfrmInst", [&](std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) {
        switch (id) {
          case engine::WM_OV_STATE:
            if (lParam == engine::kStateExtracting) outcome.extracting = Clock::now();
            if (lParam == engine::kStateRelocating) outcome.relocating = Clock::now();
            if (lParam == engine::kStateRegistering) outcome.registering = Clock::now();
            break;
          case engine::WM_OV_FILE_COPIED:
            ++outcome.filesCopied;
            outcome.bytesCopied = static_cast<std::int64_t>(wParam);
            break;
          case engine::WM_OV_SAMPLE_PROGRESS:
            ++outcome.samples;
            break;
          case engine::WM_OV_EXTRACT_ERROR:
            outcome.extractError = static_cast<std::int32_t>(wParam);
            outcome.ended = true;
            break;
          case engine::WM_OV_JOB_ENDED:
            outcome.status = static_cast<std::int32_t>(lParam);
            outcome.ended = true;
            outcome.end = Clock::now();
            break;
          default:
            break;
        }
        return std::intptr_t{0};
      });

  std::vector<std::string> folders, files;
  engine::TOVInstallThread job(machine, true, engine::kModeInstall, window, &folders, &files);
  job.TargetDir = kTarget;
  job.SetEndHandler([&](platform::WorkerThread&) {
    inner.messages.Post(window, engine::WM_OV_JOB_ENDED, static_cast<std::uintptr_t>(job.Mode.load()),
                        job.Status.load());
  });
  outcome.start = Clock::now();
  job.Resume();
  emulated.PumpUntil([&] { return outcome.ended; }, std::chrono::minutes(10));

  if (!outcome.ended) {
    std::fprintf(stderr, "install_run: the job did not end\n");
    return 1;
  }
  if (outcome.extractError) {
    std::fprintf(stderr, "install_run: extraction failed with %d\n", *outcome.extractError);
    return 1;
  }
  const bool installed = outcome.status == 0 && outcome.filesCopied == static_cast<std::int64_t>(job.Items.size());
  std::printf("installed %lld of %zu files (%lld bytes), %lld samples, status %d\n",
              static_cast<long long>(outcome.filesCopied), job.Items.size(),
              static_cast<long long>(outcome.bytesCopied), static_cast<long long>(outcome.samples),
              outcome.status);
  if (!installed) return 1;
  if (!check) {
    // Not with --check: counting slows every write down.
    auto ms = [](Clock::time_point from, Clock::time_point to) {
      return std::chrono::duration<double, std::milli>(to - from).count();
    };
    std::printf("phases: copy %.1f ms, extraction %.1f ms, samples %.1f ms, registration and log %.1f ms\n",
                ms(outcome.start, outcome.extracting), ms(outcome.extracting, outcome.relocating),
                ms(outcome.relocating, outcome.registering), ms(outcome.registering, outcome.end));
  }
  return check && !Report(job, counting, package.Bytes().size()) ? 1 : 0;
}

}  // namespace
}  // namespace ov::bench

int main(int argc, char** argv) {
  const bool check = argc == 4 && std::string(argv[3]) == "--check";
  if (argc != 3 && !check) {
    std::fprintf(stderr, "usage: install_run PACKAGE ROOT [--check]\n");
    return 2;
  }
  try {
    return ov::bench::Run(argv[1], argv[2], check);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "install_run: %s\n", e.what());
    return 2;
  }
}
