#include "tools/ovpack/Commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "package/Container.h"
#include "package/PackItem.h"
#include "package/PackageWriter.h"
#include "package/SafeNames.h"
#include "support/Dates.h"
#include "support/Errors.h"
#include "support/Text.h"
#include "tools/ovpack/HostTree.h"

namespace ov::ovpack {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: ovpack build TREE OUT [--id ID] [--order FILE]\n"
    "       ovpack list PACK\n"
    "       ovpack verify PACK\n";

// "OVID_" and a stamp of the current local time, as project documents form their IDs.
std::string DefaultIdentifier() {
  const auto now = std::chrono::system_clock::now();
  std::optional<platform::LocalTime> time =
      HostLocalTime(std::chrono::floor<std::chrono::seconds>(now).time_since_epoch().count());
  if (!time) throw OvError("the local time cannot be had");
  time->millisecond = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  return "OVID_" + TimeToken(*time, '.');
}

std::string DateText(std::int32_t date) {
  if (date == 0) return "(no date)";
  std::optional<platform::LocalTime> time = FromDosDateTime(static_cast<std::uint32_t>(date));
  if (!time || date < 0) return "(invalid date " + std::to_string(date) + ")";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time->year, time->month, time->day,
                time->hour, time->minute, time->second);
  return text;
}

// Copies exactly size bytes of the file to the stream; false when the file has more or fewer.
bool CopyMember(const fs::path& file, std::int64_t size, std::ofstream& to) {
  std::ifstream from(file, std::ios::binary);
  if (!from) return false;
  std::vector<char> chunk(1 << 20);
  std::int64_t left = size;
  while (left > 0) {
    const auto want =
        static_cast<std::streamsize>(std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size())));
    from.read(chunk.data(), want);
    if (from.gcount() != want) return false;
    to.write(chunk.data(), want);
    left -= want;
  }
  return from.peek() == std::ifstream::traits_type::eof() && static_cast<bool>(to);
}

// Moves the finished file over the target, replacing an existing one.
bool Replace(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::rename(from, to, error);
  if (!error) return true;
  // Some hosts refuse to rename onto an existing file.
  if (!fs::exists(to, error)) return false;
  fs::remove(to, error);
  if (error) return false;
  fs::rename(from, to, error);
  return !error;
}

int Build(const fs::path& tree, const fs::path& out, std::optional<std::string> id,
          const std::optional<fs::path>& order, std::ostream& log, std::ostream& err) {
  std::error_code error;
  if (!fs::is_directory(tree, error)) {
    err << tree.string() << ": not a folder\n";
    return 1;
  }
  std::vector<std::string> problems;
  std::vector<TreeFile> files = ScanTree(tree, order, problems);
  if (problems.empty() && files.size() < 2) {
    problems.push_back(tree.string() + ": holds fewer than 2 files, and the setup refuses such a package");
  }
  std::optional<package::PackLayout> layout;
  if (problems.empty()) {
    std::vector<package::PackEntry> entries;
    for (const TreeFile& file : files) entries.push_back(file.Entry);
    std::string problem;
    try {
      if (!id) id = DefaultIdentifier();
    } catch (const std::exception& failure) {
      problem = failure.what();
    }
    if (problem.empty())
      layout = package::LayOutPackage(std::string(package::kPackageMagic) + *id, entries, problem);
    if (!layout) problems.push_back(problem);
  }
  if (!problems.empty()) {
    for (const std::string& problem : problems) err << problem << "\n";
    err << "nothing written\n";
    return 1;
  }

  // Written beside the target first, so a failed build never leaves a package that looks whole.
  const fs::path partial = out.string() + ".partial";
  bool written = false;
  {
    std::ofstream to(partial, std::ios::binary | std::ios::trunc);
    written = static_cast<bool>(to);
    if (written) to.write(layout->Header.data(), static_cast<std::streamsize>(layout->Header.size()));
    for (std::size_t i = 0; written && i < files.size(); ++i) {
      written = CopyMember(files[i].HostPath, files[i].Entry.Size, to);
      if (!written) err << files[i].HostPath.string() << ": changed or could not be read while it was packed\n";
    }
    if (written) {
      to.write(layout->Catalogue.data(), static_cast<std::streamsize>(layout->Catalogue.size()));
      to.close();
      written = static_cast<bool>(to);
    }
  }
  if (!written || !Replace(partial, out)) {
    fs::remove(partial, error);
    err << out.string() << ": could not be written; nothing written\n";
    return 1;
  }
  log << out.string() << ": " << files.size() << " files, " << layout->TotalSize << " bytes, catalogue at "
      << layout->TotalSize - static_cast<std::int64_t>(layout->Catalogue.size()) << "\n";
  return 0;
}

// What a reader of the package sees, read from the host file.
struct PackView {
  std::int64_t Size = 0;
  std::string Start;                   // the first bytes, enough for any header the writer makes
  std::string Head;                    // the first bytes, at most kHeaderReadLength
  std::optional<std::int32_t> Offset;  // the catalogue offset
  std::string CatalogueBytes;          // from the offset up to the last two bytes
  std::string Tail;                    // the last two bytes
};

std::optional<PackView> ReadView(const fs::path& pack, std::ostream& err) {
  std::ifstream in(pack, std::ios::binary);
  std::error_code error;
  const auto size = fs::file_size(pack, error);
  if (!in || error) {
    err << pack.string() << ": cannot be read\n";
    return std::nullopt;
  }
  PackView view;
  view.Size = static_cast<std::int64_t>(size);
  view.Start.resize(static_cast<std::size_t>(std::min<std::int64_t>(view.Size, 1024)));
  in.read(view.Start.data(), static_cast<std::streamsize>(view.Start.size()));
  view.Head = view.Start.substr(0, package::kHeaderReadLength);
  if (view.Head.size() == package::kHeaderReadLength)
    view.Offset = package::CatalogueOffsetFromHeader(view.Head);
  if (view.Offset && *view.Offset >= 0 && *view.Offset <= view.Size - 2) {
    view.CatalogueBytes.resize(static_cast<std::size_t>(view.Size - 2 - *view.Offset));
    in.seekg(*view.Offset);
    in.read(view.CatalogueBytes.data(), static_cast<std::streamsize>(view.CatalogueBytes.size()));
    view.Tail.resize(2);
    in.read(view.Tail.data(), 2);
  }
  if (!in) {
    err << pack.string() << ": cannot be read\n";
    return std::nullopt;
  }
  return view;
}

std::string Identifier(const std::string& head) {
  std::string line = head.substr(0, head.find_first_of("\r\n"));
  if (line.compare(0, package::kPackageMagic.size(), package::kPackageMagic) == 0) {
    return line.substr(package::kPackageMagic.size());
  }
  return line;
}

int List(const fs::path& pack, std::ostream& out, std::ostream& err) {
  std::optional<PackView> view = ReadView(pack, err);
  if (!view) return 1;
  if (!view->Offset || view->CatalogueBytes.empty()) {
    err << pack.string() << ": no catalogue can be read (try: ovpack verify)\n";
    return 1;
  }
  std::vector<std::unique_ptr<package::TPackItem>> items;
  package::ParseCatalogue(package::SplitCatalogueText(view->CatalogueBytes), items);
  out << "identifier: " << Identifier(view->Head) << "\n";
  out << "catalogue offset: " << *view->Offset << "\n";
  for (const auto& item : items) {
    out << (item->Folder.empty() ? "\\" : item->Folder) << "  " << item->Name << "  " << item->Offset << "  "
        << item->Size << "  " << DateText(item->FileDate) << "\n";
  }
  out << items.size() << " entries\n";
  return 0;
}

// Folder and name as the file system compares them, to find two entries for one file.
std::string TargetKey(const package::TPackItem& item) {
  std::string key = item.Folder;
  if (key.empty() || key.back() != '\\') key += '\\';
  key += item.Name;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return key;
}

std::vector<std::string> Inspect(const PackView& view) {
  std::vector<std::string> problems;
  if (view.Size > std::numeric_limits<std::int32_t>::max()) {
    problems.push_back("the package is 2 GiB or larger; the setup cannot measure it");
  }
  if (view.Head.size() < package::kHeaderReadLength) {
    problems.push_back("the file is shorter than a header");
    return problems;
  }
  if (view.Head.compare(0, package::kPackageMagic.size(), package::kPackageMagic) != 0) {
    problems.push_back("header: does not begin with \"" + std::string(package::kPackageMagic) + "\"");
  }
  // Members start after the header's three lines.
  std::size_t payloadStart = 0;
  for (int line = 0; line < 3 && payloadStart != std::string::npos; ++line) {
    payloadStart = view.Start.find("\r\n", payloadStart);
    if (payloadStart != std::string::npos) payloadStart += 2;
  }
  if (payloadStart == std::string::npos) {
    problems.push_back("header: not three lines ended by CR LF");
    payloadStart = package::kHeaderLength;
  }
  if (!view.Offset) {
    problems.push_back("header: its second line is not a catalogue offset the setup can read");
    return problems;
  }
  const std::int64_t offset = *view.Offset;
  if (offset < static_cast<std::int64_t>(payloadStart) || offset > view.Size - 2) {
    problems.push_back("header: the catalogue offset " + std::to_string(offset) + " lies outside the file");
    return problems;
  }
  if (view.Tail != "\r\n")
    problems.push_back("catalogue: the file does not end with CR LF, so its last line is cut");
  if (view.CatalogueBytes.find('\0') != std::string::npos) {
    problems.push_back("catalogue: holds a NUL byte, and everything after it is lost");
  }

  struct Range {
    std::int64_t from, to;
    std::size_t line;
  };
  std::vector<Range> ranges;
  std::map<std::string, std::size_t> targets;
  const std::vector<std::string> lines = package::SplitCatalogueText(view.CatalogueBytes);
  for (std::size_t n = 1; n <= lines.size(); ++n) {
    const std::string& text = lines[n - 1];
    const std::string where = "catalogue line " + std::to_string(n) + ": ";
    const std::size_t bar = text.find('|');
    if (bar == std::string::npos) {
      problems.push_back(where + (text.empty() ? "empty" : "has no \"|\": " + text));
      continue;
    }
    package::TPackItem item;
    item.Parse(std::string_view(text).substr(0, bar));
    if (item.Error != 0) {
      problems.push_back(where + "not five fields with three numbers: " + text);
      continue;
    }
    bool sound = true;
    auto refuse = [&](const std::string& why) {
      problems.push_back(where + why);
      sound = false;
    };
    if (!package::IsSafeFolder(item.Folder))
      refuse("the folder \"" + item.Folder + "\" leaves the install folder");
    if (!package::IsSafeName(item.Name)) refuse("the name \"" + item.Name + "\" is not a plain file name");
    if (item.FileDate != 0 &&
        (item.FileDate < 0 || !FromDosDateTime(static_cast<std::uint32_t>(item.FileDate)))) {
      refuse("the date " + std::to_string(item.FileDate) + " is not a date");
    }
    const std::int64_t end = std::int64_t{item.Offset} + item.Size;
    if (item.Size < 0 || item.Offset < static_cast<std::int64_t>(payloadStart) || end > offset) {
      refuse("its data (offset " + std::to_string(item.Offset) + ", size " + std::to_string(item.Size) +
             ") lies outside the member area");
    }
    if (!sound) continue;
    auto [known, fresh] = targets.emplace(TargetKey(item), n);
    if (!fresh) problems.push_back(where + "writes the same file as line " + std::to_string(known->second));
    ranges.push_back({item.Offset, end, n});
  }
  if (ranges.size() < 2)
    problems.push_back("catalogue: fewer than 2 valid entries, and the setup refuses that");
  std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.from < b.from; });
  for (std::size_t i = 1; i < ranges.size(); ++i) {
    if (ranges[i].from < ranges[i - 1].to) {
      problems.push_back("catalogue line " + std::to_string(ranges[i].line) + ": its data overlaps line " +
                         std::to_string(ranges[i - 1].line));
    }
  }
  return problems;
}

int Verify(const fs::path& pack, std::ostream& out, std::ostream& err) {
  std::optional<PackView> view = ReadView(pack, err);
  if (!view) return 1;
  const std::vector<std::string> problems = Inspect(*view);
  for (const std::string& problem : problems) err << pack.string() << ": " << problem << "\n";
  if (!problems.empty()) return 1;
  out << pack.string() << ": sound\n";
  return 0;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 2 && args[0] == "list") return List(args[1], out, err);
  if (args.size() == 2 && args[0] == "verify") return Verify(args[1], out, err);
  if (args.size() >= 3 && args.size() % 2 == 1 && args[0] == "build") {
    std::optional<std::string> id;
    std::optional<fs::path> order;
    bool usable = true;
    for (std::size_t i = 3; i + 1 < args.size() && usable; i += 2) {
      if (args[i] == "--id" && !id) {
        id = args[i + 1];
      } else if (args[i] == "--order" && !order) {
        order = args[i + 1];
      } else {
        usable = false;
      }
    }
    if (usable) return Build(args[1], args[2], id, order, out, err);
  }
  err << kUsage;
  return 2;
}

}  // namespace ov::ovpack
