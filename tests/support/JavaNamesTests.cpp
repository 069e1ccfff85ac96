#include <gtest/gtest.h>

#include <string>

#include "support/JavaNames.h"

namespace ov {
namespace {

TEST(IsJavaReservedWord, ExactlyTheFiftyTwoWords) {
  const char* const reserved[] = {
      "abstract",   "do",      "if",       "package",    "synchronized", "boolean", "double",
      "implements", "private", "this",     "break",      "else",         "import",  "protected",
      "throw",      "byte",    "extends",  "instanceof", "public",       "throws",  "case",
      "false",      "int",     "return",   "transient",  "catch",        "final",   "interface",
      "short",      "true",    "char",     "finally",    "long",         "static",  "try",
      "class",      "float",   "native",   "strictfp",   "void",         "const",   "for",
      "new",        "super",   "volatile", "continue",   "goto",         "null",    "switch",
      "while",      "default", "assert"};
  for (const char* word : reserved) {
    SCOPED_TRACE(word);
    EXPECT_TRUE(IsJavaReservedWord(word));
  }
  const char* const notReserved[] = {"enum", "Int", " int", "int ", "", "integer", "in", "String", "main"};
  for (const char* word : notReserved) {
    SCOPED_TRACE(std::string("\"") + word + "\"");
    EXPECT_FALSE(IsJavaReservedWord(word));
  }
}

TEST(IsPlainIdentifier, AsciiLettersAndDigitsNotLeadingDigit) {
  struct Case {
    std::string text;
    bool expected;
  };
  const Case cases[] = {
      {"Main1", true}, {"a", true},    {"Z9z", true},  {"1Main", false},     {"my_app", false}, {"", false},
      {"$x", false},   {"a b", false}, {"a.b", false}, {"\xE9t\xE9", false}, {"9", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"");
    EXPECT_EQ(IsPlainIdentifier(c.text), c.expected);
  }
  EXPECT_FALSE(IsPlainIdentifier(std::string("ab\0c", 4)));
}

TEST(CheckPackageName, ValidatesAndNormalises) {
  struct Case {
    std::string text;
    bool expected;
    std::string after;  // the text afterwards
  };
  const Case cases[] = {
      {"com.sample.app", true, "com.sample.app"},
      {"int", false, "int"},
      {"com.int", true, "com.int"},  // parts are not compared with the table
      {"com..app", true, "com"},     // the first empty part ends the name
      {"com.", true, "com"},
      {".com", false, ".com"},
      {"com.my_app", false, "com.my_app"},
      {"com.my_app.x", false, "com.my_app.x"},
      {"a|b", true, "a.b"},
      {"", false, ""},
      {"Com1.Two2", true, "Com1.Two2"},
      {"com.1app", false, "com.1app"},
      {" com", false, " com"},
      {"com .app", false, "com .app"},
      {".", false, "."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"");
    std::string text = c.text;
    EXPECT_EQ(CheckPackageName(text), c.expected);
    EXPECT_EQ(text, c.after);
  }
}

TEST(CheckPackageName, LongNameIsCheckedInOnePass) {
  std::string name;
  for (int i = 0; i < 200000; ++i) name += "a.";
  name += "b";
  std::string text = name;
  ASSERT_TRUE(CheckPackageName(text));
  EXPECT_EQ(text, name);
}

}  // namespace
}  // namespace ov
