#include <optional>
#include <string>
#include <vector>

#include "tests/platform/contract/ContractFixture.h"

namespace ov::contract {
namespace {

using platform::RegAccess;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

class RegistryContract : public ContractTest {
 protected:
  // Creates the key and sets one string value in it.
  bool CreateWithString(RegRoot root, const std::string& path, const std::string& name,
                        const std::string& text) {
    auto key = registry().Create(root, path);
    return key && key->SetString(name, text);
  }
  std::string Key(const std::string& below) { return env_->ScratchKey() + "\\" + below; }
};

std::optional<std::string> TextOf(platform::RegistryKey& key, const std::string& name) {
  const auto value = key.Value(name);
  if (!value) return std::nullopt;
  return value->text;
}

TEST_F(RegistryContract, CreateMakesEveryMissingParent) {
  ASSERT_NE(registry().Create(RegRoot::LocalMachine, Key("A\\B\\C")), nullptr);
  EXPECT_NE(registry().Open(RegRoot::LocalMachine, Key("A"), RegAccess::Read), nullptr);
  EXPECT_NE(registry().Open(RegRoot::LocalMachine, Key("A\\B"), RegAccess::Read), nullptr);
  EXPECT_NE(registry().Open(RegRoot::LocalMachine, Key("A\\B\\C"), RegAccess::All), nullptr);
}

TEST_F(RegistryContract, CreateOpensAnExistingKeyWithItsValues) {
  ASSERT_TRUE(CreateWithString(RegRoot::LocalMachine, Key("Existing"), "Kept", "yes"));
  auto again = registry().Create(RegRoot::LocalMachine, Key("Existing"));
  ASSERT_NE(again, nullptr);
  const auto value = again->Value("Kept");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->text, "yes");
}

TEST_F(RegistryContract, OpeningAMissingKeyGivesNull) {
  ASSERT_NE(registry().Create(RegRoot::LocalMachine, Key("Present")), nullptr);
  EXPECT_EQ(registry().Open(RegRoot::LocalMachine, Key("Absent"), RegAccess::Read), nullptr);
  EXPECT_EQ(registry().Open(RegRoot::LocalMachine, Key("Absent"), RegAccess::All), nullptr);
  EXPECT_EQ(registry().Open(RegRoot::LocalMachine, Key("Present\\Absent"), RegAccess::Read), nullptr);
}

struct ValueCase {
  const char* name;
  RegValue value;
};

TEST_F(RegistryContract, ValuesReadBackWithTheirTypes) {
  const std::vector<ValueCase> cases = {
      {"Text", {RegType::String, "hello", 0}},
      {"", {RegType::String, "the default value", 0}},
      {"Empty", {RegType::String, "", 0}},
      {"Path", {RegType::String, "C:\\Program Files\\Ornivale \"1.0\"", 0}},
      {"HighBytes", {RegType::String, "Ornivale\x99 caf\xe9", 0}},
      {"Zero", {RegType::Dword, "", 0}},
      {"Hundred", {RegType::Dword, "", 100}},
      {"AllBits", {RegType::Dword, "", 0xFFFFFFFFu}},
  };
  {
    auto key = registry().Create(RegRoot::LocalMachine, Key("Values"));
    ASSERT_NE(key, nullptr);
    for (const ValueCase& c : cases) {
      ASSERT_TRUE(c.value.type == RegType::Dword ? key->SetDword(c.name, c.value.number)
                                                 : key->SetString(c.name, c.value.text))
          << c.name;
    }
  }
  auto key = registry().Open(RegRoot::LocalMachine, Key("Values"), RegAccess::Read);
  ASSERT_NE(key, nullptr);
  for (const ValueCase& c : cases) {
    const auto value = key->Value(c.name);
    ASSERT_TRUE(value) << c.name;
    EXPECT_EQ(value->type, c.value.type) << c.name;
    if (c.value.type == RegType::Dword) {
      EXPECT_EQ(value->number, c.value.number) << c.name;
    } else {
      EXPECT_EQ(value->text, c.value.text) << c.name;
    }
  }
  EXPECT_FALSE(key->Value("Missing"));
}

TEST_F(RegistryContract, SettingAValueAgainReplacesItAndItsType) {
  auto key = registry().Create(RegRoot::LocalMachine, Key("Replace"));
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetString("Setting", "text"));
  ASSERT_TRUE(key->SetDword("SETTING", 7));
  const auto value = key->Value("setting");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, RegType::Dword);
  EXPECT_EQ(value->number, 7u);
}

TEST_F(RegistryContract, KeyAndValueNamesCompareWithoutCaseAndKeepTheirCase) {
  ASSERT_TRUE(CreateWithString(RegRoot::LocalMachine, Key("MixedCase\\Inner"), "ValueName", "v"));
  auto key = registry().Open(RegRoot::LocalMachine, Key("MIXEDCASE\\inner"), RegAccess::Read);
  ASSERT_NE(key, nullptr);
  const auto value = key->Value("VALUENAME");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->text, "v");

  ASSERT_NE(registry().Create(RegRoot::LocalMachine, Key("mixedcase\\INNER")), nullptr);
  auto parent = registry().Open(RegRoot::LocalMachine, env_->ScratchKey(), RegAccess::Read);
  ASSERT_NE(parent, nullptr);
  EXPECT_EQ(parent->SubKeyNames(), std::vector<std::string>{"MixedCase"});
  auto mixed = registry().Open(RegRoot::LocalMachine, Key("MixedCase"), RegAccess::Read);
  ASSERT_NE(mixed, nullptr);
  EXPECT_EQ(mixed->SubKeyNames(), std::vector<std::string>{"Inner"});
}

TEST_F(RegistryContract, SubKeysEnumerateInNameOrderWithoutRegardToCase) {
  for (const char* name : {"gamma", "Alpha", "delta2", "beta", "Delta10"}) {
    ASSERT_NE(registry().Create(RegRoot::LocalMachine, Key("List\\") + name), nullptr) << name;
  }
  ASSERT_NE(registry().Create(RegRoot::LocalMachine, Key("List\\beta\\below")), nullptr);
  auto list = registry().Open(RegRoot::LocalMachine, Key("List"), RegAccess::Read);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->SubKeyNames(), (std::vector<std::string>{"Alpha", "beta", "Delta10", "delta2", "gamma"}));
  auto leaf = registry().Open(RegRoot::LocalMachine, Key("List\\gamma"), RegAccess::Read);
  ASSERT_NE(leaf, nullptr);
  EXPECT_TRUE(leaf->SubKeyNames().empty());
}

TEST_F(RegistryContract, DeleteKeyRemovesOnlyALeaf) {
  for (RegRoot root : {RegRoot::LocalMachine, RegRoot::ClassesRoot}) {
    ASSERT_NE(registry().Create(root, Key("Tree\\Leaf")), nullptr);
    EXPECT_FALSE(registry().DeleteKey(root, Key("Tree"))) << "a key with a subkey";
    EXPECT_NE(registry().Open(root, Key("Tree\\Leaf"), RegAccess::Read), nullptr);

    EXPECT_TRUE(registry().DeleteKey(root, Key("Tree\\Leaf")));
    EXPECT_EQ(registry().Open(root, Key("Tree\\Leaf"), RegAccess::Read), nullptr);
    EXPECT_FALSE(registry().DeleteKey(root, Key("Tree\\Leaf"))) << "a missing key";

    EXPECT_TRUE(registry().DeleteKey(root, Key("TREE")));
    EXPECT_EQ(registry().Open(root, Key("Tree"), RegAccess::Read), nullptr);
  }
}

TEST_F(RegistryContract, AKeyOpenedForReadingRefusesWrites) {
  ASSERT_TRUE(CreateWithString(RegRoot::LocalMachine, Key("ReadOnly"), "Name", "before"));
  auto key = registry().Open(RegRoot::LocalMachine, Key("ReadOnly"), RegAccess::Read);
  ASSERT_NE(key, nullptr);
  EXPECT_FALSE(key->SetString("Name", "after"));
  EXPECT_FALSE(key->SetDword("Number", 1));
  EXPECT_EQ(TextOf(*key, "Name"), "before");
  EXPECT_FALSE(key->Value("Number"));
}

TEST_F(RegistryContract, ClassesRootHoldsValuesOfItsOwn) {
  ASSERT_TRUE(CreateWithString(RegRoot::ClassesRoot, Key("Assoc"), "", "Ornivale.Project"));
  auto key = registry().Open(RegRoot::ClassesRoot, Key("Assoc"), RegAccess::Read);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(TextOf(*key, ""), "Ornivale.Project");
  EXPECT_EQ(registry().Open(RegRoot::LocalMachine, Key("Assoc"), RegAccess::Read), nullptr);
}

TEST_F(RegistryContract, ClassesRootIsTheMachinesSoftwareClassesKey) {
  ASSERT_TRUE(CreateWithString(RegRoot::ClassesRoot, Key("Shared"), "Through", "classes root"));
  auto key = registry().Open(RegRoot::LocalMachine, "Software\\Classes\\" + Key("Shared"), RegAccess::Read);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(TextOf(*key, "Through"), "classes root");
}

}  // namespace
}  // namespace ov::contract
