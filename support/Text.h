#pragma once
// Text helpers. Texts are Windows-1252 bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ov {

// Removes leading and trailing characters with codes 0 to 32.
std::string Trim(std::string_view text);

// Field n (from 1) of the text cut at each occurrence of sep; n <= 0 gives the whole text,
// a field beyond the last is empty, an empty separator is never found.
std::string NthField(std::string_view text, std::string_view sep, int n);

// NthField of the text with every `separator` turned into "|" (so a "|" already there splits too).
std::string NthFieldByChar(std::string_view text, char separator, int n);

// The last count characters; "" for 0; the whole text when count is negative or too large.
std::string RightChars(std::string_view text, int count);

// Every run of two or more backslashes becomes one.
std::string CollapseBackslashes(std::string_view path);

// A 32-bit signed decimal integer (optional sign, digits only); nullopt when it does not convert.
std::optional<std::int32_t> ParseInt32(std::string_view text);

// ASCII-only case folding, as file and key names compare.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace ov
