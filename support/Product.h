#pragma once
// The facts about the product that both the wizard and the install job use.
#include <string_view>

namespace ov::product {

constexpr std::string_view kVersion = "1.0.7.25";
constexpr std::string_view kGuid = "{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}";
constexpr std::string_view kUninstallParent = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::string_view kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}";
// The product's executable, as a path tail below the install folder.
constexpr std::string_view kExeTail = "\\ornivale.exe";
// Ours to choose: the tagline and the maker's web address.
constexpr std::string_view kTagline = "Your content, on every phone";
constexpr std::string_view kMakerUrl = "http://www.velmorra.example/";

static_assert(kUninstallKey.size() == kUninstallParent.size() + 1 + kGuid.size() &&
              kUninstallKey.starts_with(kUninstallParent) && kUninstallKey.ends_with(kGuid));

}  // namespace ov::product
