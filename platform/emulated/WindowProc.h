#pragma once
#include <cstdint>
#include <functional>

namespace ov::emulated {

// A window procedure of a window created on the emulated machine.
using WindowProc =
    std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)>;

}  // namespace ov::emulated
