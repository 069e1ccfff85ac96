// The page arithmetic both machines use to release parts of a resource (32- and 64-bit pointers).
#include <gtest/gtest.h>

#include <cstddef>
#include <string_view>

#include "platform/Resources.h"

namespace ov::contract {
namespace {

TEST(PagesWithin, KeepsOnlyTheWholePagesInsideThePart) {
  alignas(8192) static const char bytes[4 * 4096] = {};
  struct Case {
    std::size_t offset, size, pageSize;
    std::size_t pagesOffset, pagesSize;  // 0, 0: none
  };
  const Case cases[] = {
      {0, 4096, 4096, 0, 4096},        {0, 4095, 4096, 0, 0},          {1, 8191, 4096, 4096, 4096},
      {1, 8190, 4096, 0, 0},           {100, 3 * 4096, 4096, 4096, 8192}, {4096, 0, 4096, 0, 0},
      {4095, 2, 4096, 0, 0},           {0, 4 * 4096, 8192, 0, 4 * 4096}, {4096, 3 * 4096, 8192, 8192, 8192},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "offset " << c.offset << ", size " << c.size
                                    << ", page " << c.pageSize);
    const std::string_view pages = platform::PagesWithin({bytes + c.offset, c.size}, c.pageSize);
    EXPECT_EQ(pages.size(), c.pagesSize);
    if (c.pagesSize > 0) {
      EXPECT_EQ(pages.data(), bytes + c.pagesOffset);
    }
  }
}

}  // namespace
}  // namespace ov::contract
