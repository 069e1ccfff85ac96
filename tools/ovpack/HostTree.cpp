#include "tools/ovpack/HostTree.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <map>
#include <system_error>

#include "support/Dates.h"
#include "support/Text.h"

namespace ov::ovpack {

namespace fs = std::filesystem;

namespace {

// Host names are packed as they are, and the setup reads them as Windows-1252: only plain ASCII
// means the same on both sides.
bool IsPlainAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// "A\B\name" from a path relative to the root, or why the path cannot be packed.
std::optional<std::string> RelativeName(const fs::path& relative, std::string& problem) {
  std::string joined;
  for (const fs::path& part : relative) {
    std::string text = part.string();
    if (!IsPlainAscii(text)) {
      problem = "its name is not plain ASCII";
      return std::nullopt;
    }
    // A backslash is a character of a host name, but a separator in the package.
    if (text.find('\\') != std::string::npos) {
      problem = "its name is not a plain file name";
      return std::nullopt;
    }
    if (!joined.empty()) joined += '\\';
    joined += text;
  }
  return joined;
}

package::PackEntry EntryFor(const std::string& relativePath) {
  package::PackEntry entry;
  const std::size_t cut = relativePath.rfind('\\');
  entry.Folder = cut == std::string::npos ? "\\" : "\\" + relativePath.substr(0, cut);
  entry.Name = cut == std::string::npos ? relativePath : relativePath.substr(cut + 1);
  return entry;
}

// The order file's paths, with "/" turned into "\" and a leading separator dropped.
std::vector<std::string> ReadOrder(const fs::path& orderFile, std::vector<std::string>& problems) {
  std::vector<std::string> order;
  std::ifstream in(orderFile, std::ios::binary);
  if (!in) {
    problems.push_back(orderFile.string() + ": cannot be read");
    return order;
  }
  std::string line;
  while (std::getline(in, line)) {
    std::string path = Trim(line);
    std::replace(path.begin(), path.end(), '/', '\\');
    while (!path.empty() && path.front() == '\\') path.erase(0, 1);
    if (!path.empty()) order.push_back(path);
  }
  return order;
}

std::vector<TreeFile> Ordered(std::vector<TreeFile> files, const fs::path& orderFile,
                              std::vector<std::string>& problems) {
  std::map<std::string, std::size_t> byName;
  for (std::size_t i = 0; i < files.size(); ++i) byName.emplace(files[i].RelativePath, i);
  std::vector<bool> listed(files.size(), false);
  std::vector<TreeFile> ordered;
  for (const std::string& path : ReadOrder(orderFile, problems)) {
    auto found = byName.find(path);
    if (found == byName.end()) {
      problems.push_back(orderFile.string() + ": lists " + path + ", which is not a file of the tree");
    } else if (listed[found->second]) {
      problems.push_back(orderFile.string() + ": lists " + path + " twice");
    } else {
      listed[found->second] = true;
      ordered.push_back(files[found->second]);
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!listed[i]) problems.push_back(orderFile.string() + ": does not list " + files[i].RelativePath);
  }
  return ordered;
}

// Seconds since 1970. The 32-bit Windows runtime's std::filesystem reads times through a 32-bit
// stat, which ends in 2038; its 64-bit stat does not.
std::optional<std::int64_t> LastWriteSeconds(const fs::path& file) {
#ifdef _WIN32
  struct _stat64 status;
  if (_wstat64(file.c_str(), &status) != 0) return std::nullopt;
  return static_cast<std::int64_t>(status.st_mtime);
#else
  std::error_code error;
  const fs::file_time_type written = fs::last_write_time(file, error);
  if (error) return std::nullopt;
  return std::chrono::floor<std::chrono::seconds>(std::chrono::file_clock::to_sys(written))
      .time_since_epoch()
      .count();
#endif
}

}  // namespace

std::optional<platform::LocalTime> HostLocalTime(std::int64_t secondsSince1970) {
  std::tm local{};
#ifdef _WIN32
  const __time64_t stamp = secondsSince1970;
  if (_localtime64_s(&local, &stamp) != 0) return std::nullopt;
#else
  const std::time_t stamp = static_cast<std::time_t>(secondsSince1970);
  if (localtime_r(&stamp, &local) == nullptr) return std::nullopt;
#endif
  platform::LocalTime time;
  time.year = local.tm_year + 1900;
  time.month = local.tm_mon + 1;
  time.day = local.tm_mday;
  time.hour = local.tm_hour;
  time.minute = local.tm_min;
  time.second = std::min(local.tm_sec, 59);  // a leap second
  return time;
}

std::optional<std::int32_t> HostDosDate(const fs::path& file) {
  std::optional<std::int64_t> written = LastWriteSeconds(file);
  if (!written) return std::nullopt;
  std::optional<platform::LocalTime> time = HostLocalTime(*written);
  if (!time || time->year >= 2044) return std::nullopt;
  std::optional<std::uint32_t> dos = DosDateTime(*time);
  if (!dos) return std::nullopt;
  return static_cast<std::int32_t>(*dos);
}

std::vector<TreeFile> ScanTree(const fs::path& root, const std::optional<fs::path>& orderFile,
                               std::vector<std::string>& problems) {
  std::vector<TreeFile> files;
  std::error_code error;
  fs::recursive_directory_iterator walk(root, error);
  if (error) {
    problems.push_back(root.string() + ": cannot be listed (" + error.message() + ")");
    return files;
  }
  for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
    const fs::directory_entry& entry = *walk;
    const fs::path shown = entry.path();
    if (entry.is_directory()) {
      if (entry.is_symlink()) problems.push_back(shown.string() + ": a link to a folder is not followed");
      continue;
    }
    if (!entry.is_regular_file()) {
      problems.push_back(shown.string() + ": not a regular file");
      continue;
    }
    std::string why;
    std::optional<std::string> relative = RelativeName(shown.lexically_relative(root), why);
    if (!relative) {
      problems.push_back(shown.string() + ": " + why);
      continue;
    }
    TreeFile file{shown, *relative, EntryFor(*relative)};
    file.Entry.Size = static_cast<std::int64_t>(entry.file_size(error));
    if (error) {
      problems.push_back(shown.string() + ": its size cannot be had");
      continue;
    }
    std::optional<std::int32_t> date = HostDosDate(shown);
    if (!date) {
      problems.push_back(shown.string() + ": its date lies before 1980 or in 2044 or later");
      continue;
    }
    file.Entry.FileDate = *date;
    why = package::PackEntryProblem(file.Entry);
    if (!why.empty()) {
      problems.push_back(shown.string() + ": " + why);
      continue;
    }
    files.push_back(std::move(file));
  }
  if (error) problems.push_back(root.string() + ": listing failed (" + error.message() + ")");

  std::sort(files.begin(), files.end(),
            [](const TreeFile& a, const TreeFile& b) { return a.RelativePath < b.RelativePath; });
  if (orderFile) return Ordered(std::move(files), *orderFile, problems);
  return files;
}

}  // namespace ov::ovpack
