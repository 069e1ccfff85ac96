#pragma once
// Single values under HKEY_LOCAL_MACHINE. An empty (or all-blank) name only creates the key.
#include <cstdint>
#include <string_view>

#include "platform/Registry.h"

namespace ov {

bool RegWriteString(platform::Registry& registry, std::string_view keyPath, std::string_view name,
                    std::string_view text);
bool RegWriteInteger(platform::Registry& registry, std::string_view keyPath, std::string_view name,
                     std::int32_t value);

}  // namespace ov
