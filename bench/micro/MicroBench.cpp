// The install's hot paths on the demo package: parsing its catalogue, loading and saving one of its
// sample bundles, and the time token every new project object takes.
//   ov_micro_bench [--package=PATH] [benchmark options]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "package/Container.h"
#include "platform/emulated/EmulatedMachine.h"
#include "project/JavaApp.h"
#include "support/Dates.h"
#include "support/Files.h"
#include "support/Text.h"

namespace ov::bench {
namespace {

std::string packagePath = OV_DEMO_PACKAGE;

std::string ReadRange(std::ifstream& in, std::int64_t offset, std::int64_t count) {
  std::string bytes(static_cast<std::size_t>(count), '\0');
  in.seekg(offset);
  if (!in.read(bytes.data(), count)) throw std::runtime_error("cannot read " + packagePath);
  return bytes;
}

// The demo package's catalogue lines and the bytes of its largest sample bundle.
struct Demo {
  std::vector<std::string> lines;
  std::string bundleName;
  std::string bundle;
};

Demo LoadDemo() {
  std::ifstream in(packagePath, std::ios::binary);
  if (!in) throw std::runtime_error("no package at " + packagePath + " (build ov_default_package)");
  const auto size = static_cast<std::int64_t>(std::filesystem::file_size(packagePath));
  const std::optional<std::int32_t> offset =
      package::CatalogueOffsetFromHeader(ReadRange(in, 0, std::min<std::int64_t>(size, package::kHeaderReadLength)));
  if (!offset || *offset < 0 || *offset > size - 2) throw std::runtime_error("no catalogue in " + packagePath);
  Demo demo;
  demo.lines = package::SplitCatalogueText(ReadRange(in, *offset, size - *offset - 2));

  std::vector<std::unique_ptr<package::TPackItem>> items;
  package::ParseCatalogue(demo.lines, items);
  const package::TPackItem* largest = nullptr;
  for (const auto& item : items) {
    const bool bundle = EqualsNoCase(item->Folder, "\\Projects") && item->Name.size() > 4 &&
                        EqualsNoCase(item->Name.substr(item->Name.size() - 4), ".ov5");
    if (bundle && (largest == nullptr || item->Size > largest->Size)) largest = item.get();
  }
  if (largest == nullptr) throw std::runtime_error("no sample bundle in " + packagePath);
  demo.bundleName = largest->Name;
  demo.bundle = ReadRange(in, largest->Offset, largest->Size);
  return demo;
}

const Demo& TheDemo() {
  static const Demo demo = LoadDemo();
  return demo;
}

// An emulated machine with the sample bundle at C:\Ornivale\Projects, removed afterwards.
class SampleMachine {
 public:
  static constexpr const char* kTarget = "C:\\Ornivale";

  SampleMachine()
      : root_(std::filesystem::temp_directory_path() / ("ov-micro-" + std::to_string(std::random_device{}()))),
        emulated_(root_) {
    platform::FileSystem& fs = emulated_.machine().files;
    fs.CreateDirectory(kTarget);
    fs.CreateDirectory(std::string(kTarget) + "\\Projects");
    bundlePath_ = std::string(kTarget) + "\\Projects\\" + TheDemo().bundleName;
    std::unique_ptr<platform::File> out = fs.Open(bundlePath_, platform::FileAccess::Write,
                                                  platform::FileShare::None, platform::FileCreate::CreateAlways);
    if (!out || !WriteAll(*out, TheDemo().bundle)) throw std::runtime_error("cannot write " + bundlePath_);
  }
  ~SampleMachine() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  platform::Machine& machine() { return emulated_.machine(); }
  const std::string& BundlePath() const { return bundlePath_; }

 private:
  std::filesystem::path root_;
  emulated::EmulatedMachine emulated_;
  std::string bundlePath_;
};

// Opened as the sample relocation opens it; null when the sample does not load whole.
std::unique_ptr<project::TOVJavaApp> OpenSample(SampleMachine& sample) {
  auto app = std::make_unique<project::TOVJavaApp>(sample.machine(), sample.BundlePath(), project::kDefaultVendor,
                                                   project::kDefaultPackage, SampleMachine::kTarget);
  bool allUnpacked = false;
  if (app->ReadBundle(sample.BundlePath(), app->WorkFolder, &allUnpacked) != 0 || !allUnpacked) return nullptr;
  return app;
}

void BM_ParseCatalogue(benchmark::State& state) {
  const std::vector<std::string>& lines = TheDemo().lines;
  std::vector<std::unique_ptr<package::TPackItem>> items;
  for (auto _ : state) {
    items.clear();
    package::ParseCatalogue(lines, items);
    benchmark::DoNotOptimize(items.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
  state.SetLabel(std::to_string(lines.size()) + " lines, " + std::to_string(items.size()) + " entries");
}
BENCHMARK(BM_ParseCatalogue);

// Opening, unpacking and loading the sample, then closing it (its working folder goes).
void BM_BundleLoad(benchmark::State& state) {
  SampleMachine sample;
  for (auto _ : state) {
    if (!OpenSample(sample)) {
      state.SkipWithError("the sample does not load");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(TheDemo().bundle.size()));
  state.SetLabel(TheDemo().bundleName);
}
BENCHMARK(BM_BundleLoad)->Unit(benchmark::kMicrosecond);

// Writing the loaded sample's document and rebuilding its bundle in place.
void BM_BundleSave(benchmark::State& state) {
  SampleMachine sample;
  const std::unique_ptr<project::TOVJavaApp> app = OpenSample(sample);
  if (!app) {
    state.SkipWithError("the sample does not load");
    return;
  }
  for (auto _ : state) {
    if (app->SaveProject(sample.BundlePath()) != 0) {
      state.SkipWithError("the sample cannot be saved");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(TheDemo().bundle.size()));
  state.SetLabel(TheDemo().bundleName);
}
BENCHMARK(BM_BundleSave)->Unit(benchmark::kMicrosecond);

void BM_TimeToken(benchmark::State& state) {
  const platform::LocalTime time{2008, 12, 15, 14, 21, 30, 189};
  for (auto _ : state) benchmark::DoNotOptimize(TimeToken(time, '.'));
}
BENCHMARK(BM_TimeToken);

}  // namespace
}  // namespace ov::bench

int main(int argc, char** argv) {
  // Our own option first; Google Benchmark takes the rest.
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--package=", 10) == 0) {
      ov::bench::packagePath = argv[i] + 10;
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
  try {
    ov::bench::TheDemo();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ov_micro_bench: %s\n", e.what());
    return 2;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
