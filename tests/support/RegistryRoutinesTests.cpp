#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "MachineFixture.h"
#include "support/RegistryRoutines.h"

namespace ov {
namespace {

using platform::RegRoot;
using platform::RegType;

class RegWriteTest : public testing::MachineTest {
 protected:
  bool KeyExists(RegRoot root, const std::string& path) {
    return registry().Open(root, path, platform::RegAccess::Read) != nullptr;
  }
  std::optional<platform::RegValue> ValueOf(const std::string& path, const std::string& name) {
    std::unique_ptr<platform::RegistryKey> key =
        registry().Open(RegRoot::LocalMachine, path, platform::RegAccess::Read);
    return key ? key->Value(name) : std::nullopt;
  }
};

TEST_F(RegWriteTest, WritesOneValueUnderLocalMachine) {
  struct Case {
    std::string path;
    std::string name;
    bool asInteger;
    std::string text;
    std::int32_t number;
  };
  const Case cases[] = {
      {"SOFTWARE\\Ornivale\\Settings", "SkinPath", false, "C:\\Ornivale\\Skins", 0},
      {"SOFTWARE\\Ornivale\\Settings", "Empty", false, "", 0},
      {"SOFTWARE\\Ornivale\\Settings", "Trademark", false, "Ornivale\x99", 0},
      {"SOFTWARE\\Ornivale\\Settings", "Count", true, "", 100},
      {"SOFTWARE\\Ornivale\\Settings", "Negative", true, "", -5},
      {"SOFTWARE\\A\\B\\C\\D", "Deep", true, "", 7},  // every missing key on the way is created
      {"SOFTWARE\\Ornivale\\Settings", " Padded ", false, "kept", 0},  // written under the untrimmed name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " / " + c.name);
    const bool ok = c.asInteger ? RegWriteInteger(registry(), c.path, c.name, c.number)
                                : RegWriteString(registry(), c.path, c.name, c.text);
    EXPECT_TRUE(ok);
    const std::optional<platform::RegValue> value = ValueOf(c.path, c.name);
    ASSERT_TRUE(value);
    if (c.asInteger) {
      EXPECT_EQ(value->type, RegType::Dword);
      EXPECT_EQ(value->number, static_cast<std::uint32_t>(c.number));
    } else {
      EXPECT_EQ(value->type, RegType::String);
      EXPECT_EQ(value->text, c.text);
    }
    EXPECT_FALSE(KeyExists(RegRoot::CurrentUser, c.path));
    EXPECT_FALSE(KeyExists(RegRoot::ClassesRoot, c.path));
  }
}

TEST_F(RegWriteTest, BlankNameOnlyCreatesTheKey) {
  const std::string blankNames[] = {"", " ", "\t\r\n", std::string(1, '\0')};
  int n = 0;
  for (const std::string& name : blankNames) {
    SCOPED_TRACE(n);
    const std::string path = "SOFTWARE\\Blank" + std::to_string(n++);
    EXPECT_TRUE(RegWriteString(registry(), path, name, "text"));
    EXPECT_TRUE(RegWriteInteger(registry(), path + "i", name, 1));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, path));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, path + "i"));
    EXPECT_FALSE(ValueOf(path, name));
    EXPECT_FALSE(ValueOf(path + "i", name));
  }
}

TEST_F(RegWriteTest, KeyThatCannotBeCreated) {
  emulated().DenyRegistryWritesUnder(RegRoot::LocalMachine, "SOFTWARE\\Denied");
  struct Case {
    std::string name;
    bool asInteger;
    bool expected;
  };
  const Case cases[] = {
      {"", false, true},  // nothing to write, so nothing failed
      {"  ", true, true},
      {"Value", false, false},
      {"Value", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.name + "\"");
    const bool ok = c.asInteger ? RegWriteInteger(registry(), "SOFTWARE\\Denied\\Key", c.name, 1)
                                : RegWriteString(registry(), "SOFTWARE\\Denied\\Key", c.name, "x");
    EXPECT_EQ(ok, c.expected);
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Denied\\Key"));
  }
}

}  // namespace
}  // namespace ov
