// demotree: writes the demo product tree and the order file that `ovpack build --order` packs it in.
//   demotree TREE ORDER [--product EXE] [--uninstaller EXE]
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tools/demotree/DemoTree.h"

namespace {

constexpr const char* kUsage = "usage: demotree TREE ORDER [--product EXE] [--uninstaller EXE]\n";

std::optional<std::string> ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return data;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2 || args.size() % 2 != 0) {
    std::cerr << kUsage;
    return 2;
  }
  ov::demotree::Programs programs;
  for (std::size_t i = 2; i < args.size(); i += 2) {
    std::optional<std::string>* slot = args[i] == "--product"       ? &programs.Product
                                       : args[i] == "--uninstaller" ? &programs.Uninstaller
                                                                    : nullptr;
    if (!slot || *slot) {
      std::cerr << kUsage;
      return 2;
    }
    *slot = ReadHostFile(args[i + 1]);
    if (!*slot) {
      std::cerr << args[i + 1] << ": cannot be read\n";
      return 1;
    }
  }

  const std::filesystem::path tree = args[0];
  try {
    const std::vector<ov::demotree::TreeFile> files =
        ov::demotree::BuildDemoTree(programs, tree.string() + ".authoring");
    ov::demotree::WriteTree(files, tree);
    std::ofstream order(args[1], std::ios::binary | std::ios::trunc);
    order << ov::demotree::OrderFileText(files);
    order.close();
    if (!order) {
      std::cerr << args[1] << ": cannot be written\n";
      return 1;
    }
    std::int64_t total = 0;
    const ov::demotree::TreeFile* largest = &files.front();
    for (const auto& file : files) {
      total += static_cast<std::int64_t>(file.Data.size());
      if (file.Data.size() > largest->Data.size()) largest = &file;
    }
    std::cout << tree.string() << ": " << files.size() << " files, " << total << " bytes; the largest is "
              << ov::demotree::RelativePath(*largest) << " (" << largest->Data.size() << " bytes)\n";
    if (total != ov::demotree::kTreeBytes) {
      std::cout << "note: the programs leave no room for the help page to fill; the tree is not "
                << ov::demotree::kTreeBytes << " bytes\n";
    }
  } catch (const std::exception& failure) {
    std::cerr << "demotree: " << failure.what() << "\n";
    return 1;
  }
  return 0;
}
