#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "support/Text.h"

namespace ov {
namespace {

TEST(Trim, RemovesCodesUpToBlankAtBothEndsOnly) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"", ""},
      {"  \t\r\n", ""},
      {std::string("\0\x01 abc \x1F\x20", 8), "abc"},
      {" a b ", "a b"},
      {"\x21x\x21", "\x21x\x21"},  // "!" is code 33
      {"\xA0x\xA0", "\xA0x\xA0"},  // a non-breaking space is not trimmed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Trim(c.text), c.expected);
  }
}

TEST(NthField, CutsAtEverySeparatorOccurrence) {
  struct Case {
    std::string text;
    std::string sep;
    int n;
    std::string expected;
  };
  const Case cases[] = {
      {"a,b,c", ",", 1, "a"},
      {"a,b,c", ",", 2, "b"},
      {"a,b,c", ",", 3, "c"},
      {"a,b,c", ",", 4, ""},
      {"a,b,c", ",", 0, "a,b,c"},
      {"a,b,c", ",", -3, "a,b,c"},
      {"a,,c", ",", 2, ""},
      {"a,,c", ",", 3, "c"},
      {",a", ",", 1, ""},
      {"a,", ",", 2, ""},
      {"a,", ",", 3, ""},
      {"a, b", ", ", 2, "b"},
      {"a, b", ", ", 1, "a"},
      {"a,,b", ",,", 2, "b"},
      {"C:\\Apps\\Bin", "\\", 1, "C:"},
      {"C:\\Apps\\Bin", "\\", 3, "Bin"},
      {"abc", "", 1, "abc"},
      {"abc", "", 2, ""},
      {"", ",", 1, ""},
      {"", ",", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\" sep \"" + c.sep + "\" n=" + std::to_string(c.n));
    EXPECT_EQ(NthField(c.text, c.sep, c.n), c.expected);
  }
}

TEST(NthFieldByChar, ExistingBarsSplitToo) {
  struct Case {
    std::string text;
    char sep;
    int n;
    std::string expected;
  };
  const Case cases[] = {
      {"a|b.c", '.', 2, "b"},
      {"a|b.c", '.', 3, "c"},
      {"line1\rline2\r", '\r', 2, "line2"},
      {"line1\r\n42\r\n", '\r', 2, "\n42"},
      {"a.b", '.', 0, "a|b"},  // the whole copy, bars and all
      {"abc", '.', 1, "abc"},
      {"a||b", '|', 3, "b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " n=" + std::to_string(c.n));
    EXPECT_EQ(NthFieldByChar(c.text, c.sep, c.n), c.expected);
  }
}

TEST(RightChars, CountsFromTheEnd) {
  struct Case {
    std::string text;
    int count;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\A", 1, "A"},  {"C:\\A\\", 1, "\\"}, {"abc", 3, "abc"}, {"abc", 4, "abc"},
      {"abc", -1, "abc"}, {"abc", 0, ""},       {"abc", 2, "bc"},  {"", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " count=" + std::to_string(c.count));
    EXPECT_EQ(RightChars(c.text, c.count), c.expected);
  }
}

TEST(CollapseBackslashes, EveryRunBecomesOne) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\\\A\\\\\\B", "C:\\A\\B"}, {"\\\\\\\\", "\\"},       {"\\\\server\\share", "\\server\\share"},
      {"C:\\A\\B", "C:\\A\\B"},       {"C:\\A\\\\", "C:\\A\\"}, {"", ""},
      {"a/b//c", "a/b//c"},  // forward slashes are left alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CollapseBackslashes(c.text), c.expected);
  }
}

TEST(ParseInt32, DecimalWithSignInRange) {
  struct Case {
    std::string text;
    std::optional<std::int32_t> expected;
  };
  const Case cases[] = {
      {"0", 0},
      {"42", 42},
      {"+42", 42},
      {"-42", -42},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"1a", std::nullopt},
      {"0x10", std::nullopt},
      {"$10", std::nullopt},
      {"--1", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"");
    EXPECT_EQ(ParseInt32(c.text), c.expected);
  }
}

TEST(EqualsNoCase, FoldsAsciiLettersOnly) {
  struct Case {
    std::string a;
    std::string b;
    bool expected;
  };
  const Case cases[] = {
      {"Software\\Ornivale", "SOFTWARE\\ornivale", true},
      {"", "", true},
      {"abc", "abd", false},
      {"abc", "ab", false},
      {"\xC4", "\xE4", false},  // Ä and ä in Windows-1252 are not folded
      {"[", "{", false},        // 0x5B and 0x7B differ by 0x20 but are not letters
      {"@", "`", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    EXPECT_EQ(EqualsNoCase(c.a, c.b), c.expected);
    EXPECT_EQ(EqualsNoCase(c.b, c.a), c.expected);
  }
}

}  // namespace
}  // namespace ov
