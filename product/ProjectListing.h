#pragma once
// What the product stub shows of a project bundle: enough for a person to see what the setup
// relocated (the project's title, chapters, items and images with their source paths).
#include <string>

#include "platform/Machine.h"

namespace ov::product {

// The listing, one entry a line (CR LF), or a line that says why the bundle cannot be shown.
// The bundle is unpacked into a working folder below the temporary folder, removed afterwards.
std::string DescribeBundle(platform::Machine& machine, const std::string& bundlePath);

// What the window shows when it is started without a bundle.
std::string Greeting();

}  // namespace ov::product
