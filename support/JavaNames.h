#pragma once
// Whether a text may serve as a Java identifier or package name.
#include <string>
#include <string_view>

namespace ov {

bool IsJavaReservedWord(std::string_view text);
// ASCII letters and digits only, not empty, not starting with a digit.
bool IsPlainIdentifier(std::string_view text);
// On success replaces the text with the cleaned package name.
bool CheckPackageName(std::string& text);

}  // namespace ov
