#pragma once
// ovpack: builds, lists and verifies setup packages on the host.
//   ovpack build TREE OUT [--id ID] [--order FILE]
//   ovpack list PACK
//   ovpack verify PACK
#include <ostream>
#include <string>
#include <vector>

namespace ov::ovpack {

// One command line without the program name. Exit code: 0 done, 1 refused or unsound, 2 usage.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::ovpack
