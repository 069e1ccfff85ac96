#include "package/Container.h"

#include "package/SafeNames.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Text.h"

namespace ov::package {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string_view UpToNul(std::string_view bytes) { return bytes.substr(0, bytes.find('\0')); }

std::unique_ptr<platform::File> OpenOrRaise(platform::FileSystem& fs, const std::string& file,
                                            platform::FileShare share) {
  std::unique_ptr<platform::File> handle =
      fs.Open(file, platform::FileAccess::Read, share, platform::FileCreate::OpenExisting);
  if (!handle) throw OvError("Cannot open file \"" + file + "\"");
  return handle;
}

// The size as the package reader takes it: the low 32 bits, signed.
std::int32_t Low32(std::int64_t size) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(size)); }

// Reads size - offset - 2 bytes at the offset (from the file's start when the offset cannot be
// moved to) as the catalogue.
std::int32_t ReadCatalogueAt(platform::FileSystem& fs, const std::string& file, std::int32_t size,
                             std::int32_t offset, std::vector<std::string>& lines) {
  std::unique_ptr<platform::File> handle = OpenOrRaise(fs, file, platform::FileShare::None);
  const std::int64_t count = std::int64_t{size} - offset - 2;
  if (count == 0 || count == -1) {
    lines.clear();
    return 0;
  }
  if (count < -1) return -1;
  if (!handle->Seek(offset)) handle->Seek(0);
  // A range beyond the end fails anyway; refusing it first spares a buffer a corrupt header asks for.
  const std::int64_t actual = handle->Size();
  if (actual < 0 || handle->Position() + count > actual) return -1;
  std::optional<std::string> text = ReadBytes(*handle, static_cast<std::uint64_t>(count));
  if (!text) return -1;
  lines = SplitCatalogueText(*text);
  return 0;
}

}  // namespace

std::string BuildContainerHeader(std::string_view magicAndId, std::int32_t catalogueOffset) {
  std::string header;
  header.append(magicAndId).append(kLineEnd);
  header.append(std::to_string(catalogueOffset)).append(kLineEnd);
  std::string filler = "-";
  while (header.size() + filler.size() + kLineEnd.size() <= kHeaderReadLength) filler += 'x';
  header.append(filler).append(kLineEnd);
  return header;
}

std::optional<std::int32_t> CatalogueOffsetFromHeader(std::string_view head) {
  std::string text = Trim(UpToNul(head.substr(0, kHeaderReadLength)));
  return ParseInt32(Trim(NthFieldByChar(text, '\r', 2)));
}

std::vector<std::string> SplitCatalogueText(std::string_view bytes) {
  std::string text = Trim(UpToNul(bytes));
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text, start, i - start);
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.emplace_back(text, start);
  return lines;
}

std::int32_t ReadCatalogueOffset(platform::FileSystem& fs, const std::string& file) {
  if (!fs.FileExists(file)) return 0;
  std::unique_ptr<platform::File> handle = OpenOrRaise(fs, file, platform::FileShare::None);
  std::optional<std::string> head = ReadBytes(*handle, kHeaderReadLength);
  if (!head) return -1;
  return CatalogueOffsetFromHeader(*head).value_or(-1);
}

std::int32_t ReadPackageCatalogue(platform::FileSystem& fs, const std::string& file,
                                  std::vector<std::string>* lines) {
  if (lines == nullptr || !fs.FileExists(file)) return -11;
  std::int32_t size = 0;
  {
    std::unique_ptr<platform::File> handle = OpenOrRaise(fs, file, platform::FileShare::ReadWrite);
    const std::int64_t measured = handle->Size();
    if (measured < 0) throw OvError("Cannot measure file \"" + file + "\"");
    size = Low32(measured);
  }
  const std::int32_t offset = ReadCatalogueOffset(fs, file);
  return ReadCatalogueAt(fs, file, size, offset, *lines);
}

std::int32_t ReadBundleCatalogue(platform::FileSystem& fs, const std::string& file,
                                 std::vector<std::string>* lines) {
  if (lines == nullptr || !fs.FileExists(file)) return -11;
  // A size that cannot be had stands in as -1 (the file went away) or -11, which the count then refuses.
  std::int32_t size = -11;
  if (std::unique_ptr<platform::File> handle =
          fs.Open(file, platform::FileAccess::Read, platform::FileShare::ReadWrite,
                  platform::FileCreate::OpenExisting)) {
    const std::int64_t measured = handle->Size();
    if (measured >= 0) size = Low32(measured);
  } else if (!fs.FileExists(file)) {
    size = -1;
  }
  const std::int32_t offset = ReadCatalogueOffset(fs, file);
  return ReadCatalogueAt(fs, file, size, offset, *lines);
}

void ParseCatalogue(const std::vector<std::string>& lines, std::vector<std::unique_ptr<TPackItem>>& items) {
  for (const std::string& line : lines) {
    const std::size_t bar = line.find('|');
    if (bar == std::string::npos) continue;
    auto item = std::make_unique<TPackItem>();
    item->Parse(std::string_view(line).substr(0, bar));
    if (item->Error != 0 || !IsSafeFolder(item->Folder) || !IsSafeName(item->Name)) continue;
    items.push_back(std::move(item));
  }
}

}  // namespace ov::package
