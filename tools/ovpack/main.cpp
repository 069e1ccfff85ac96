#include <iostream>
#include <string>
#include <vector>

#include "tools/ovpack/Commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return ov::ovpack::Run(args, std::cout, std::cerr);
}
