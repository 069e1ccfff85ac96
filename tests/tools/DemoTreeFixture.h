#pragma once
// The demo tree, built once for all tests of a suite (it takes a second or two), and a scratch
// folder on the host that the suite removes when it ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "tools/demotree/DemoTree.h"

namespace ov::demotree {

class DemoTreeFixture : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    std::random_device random;
    scratch_ = std::filesystem::temp_directory_path() /
               ("ov-demotree-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(scratch_);
    tree_ = std::make_unique<std::vector<TreeFile>>(BuildDemoTree({}, scratch_ / "authoring"));
  }
  static void TearDownTestSuite() {
    tree_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(scratch_, ignored);
  }

  static const std::vector<TreeFile>& Tree() { return *tree_; }
  static const std::filesystem::path& Scratch() { return scratch_; }

  // The file of that folder and name; a failed test and an empty file when there is none.
  static const TreeFile& File(const std::vector<TreeFile>& files, const std::string& folder,
                              const std::string& name) {
    for (const TreeFile& file : files) {
      if (file.Folder == folder && file.Name == name) return file;
    }
    ADD_FAILURE() << folder << "\\" << name << " is not in the tree";
    static const TreeFile none;
    return none;
  }
  static const TreeFile& File(const std::string& folder, const std::string& name) {
    return File(Tree(), folder, name);
  }

 private:
  static inline std::unique_ptr<std::vector<TreeFile>> tree_;
  static inline std::filesystem::path scratch_;
};

}  // namespace ov::demotree
