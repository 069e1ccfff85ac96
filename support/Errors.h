#pragma once
// The error raised by the few routines that raise instead of returning a code.
#include <stdexcept>
#include <string>

namespace ov {

class OvError : public std::runtime_error {
 public:
  explicit OvError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace ov
