#pragma once
// Moving bytes in and out of an open container stream, one whole-file buffer at a time.
#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace ov {

// The file's size (low 32 bits); raises OvError when it cannot be opened.
std::int32_t FileSizeOf(platform::FileSystem& fs, const std::string& file);

// Appends the whole file at the stream's end: 0, -1 on any error, -11 without a stream.
std::int32_t AppendFileToStream(platform::FileSystem& fs, platform::File* stream, const std::string& file,
                                std::int32_t& size, std::int32_t& offset);

// Copies size bytes from offset of the stream into a new file: 0, -1 on any error, -11 without a stream.
std::int32_t ExtractStreamRange(platform::FileSystem& fs, platform::File* stream, const std::string& file,
                                std::int32_t size, std::int32_t offset);

}  // namespace ov
