#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/platform/emulated/TestMachine.h"

namespace ov::emulated {
namespace {

using platform::RegAccess;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteHostFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class EmulatedRegistry : public EmulatedTest {
 protected:
  // Creates the key and sets one string value in it.
  bool CreateWithString(RegRoot root, const std::string& path, const std::string& name,
                        const std::string& text) {
    auto key = registry().Create(root, path);
    return key && key->SetString(name, text);
  }
  std::optional<RegValue> ValueOf(RegRoot root, const std::string& key, const std::string& name) {
    auto opened = registry().Open(root, key, RegAccess::Read);
    if (!opened) return std::nullopt;
    return opened->Value(name);
  }
  std::optional<std::string> TextOf(RegRoot root, const std::string& key, const std::string& name) {
    const auto value = ValueOf(root, key, name);
    if (!value) return std::nullopt;
    return value->text;
  }
  std::string Saved() {
    const auto file = machine_.Outside("saved.reg");
    EXPECT_TRUE(machine_->SaveRegistry(file));
    return ReadHostFile(file);
  }
};

TEST_F(EmulatedRegistry, SavesReadableRegedit4Text) {
  auto key = registry().Create(RegRoot::LocalMachine, "SOFTWARE\\Ornivale");
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetString("", "default"));
  ASSERT_TRUE(key->SetString("Path", "C:\\Program Files\\\"Ornivale\""));
  ASSERT_TRUE(key->SetDword("Count", 10));
  ASSERT_TRUE(machine_->SetRegistryValue(RegRoot::LocalMachine, "SOFTWARE\\Ornivale", "Bin",
                                         {RegType::Binary, std::string("\x01\xff", 2), 0}));
  ASSERT_TRUE(
      machine_->SetRegistryValue(RegRoot::ClassesRoot, ".mjp", "Home", {RegType::ExpandString, "%P%", 0}));
  ASSERT_NE(registry().Create(RegRoot::CurrentUser, "Empty"), nullptr);

  EXPECT_EQ(Saved(),
            "REGEDIT4\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.mjp]\r\n"
            "\"Home\"=hex(2):25,50,25,00\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Ornivale]\r\n"
            "@=\"default\"\r\n"
            "\"Path\"=\"C:\\\\Program Files\\\\\\\"Ornivale\\\"\"\r\n"
            "\"Count\"=dword:0000000a\r\n"
            "\"Bin\"=hex:01,ff\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Empty]\r\n"
            "\r\n")
      << "HKEY_CLASSES_ROOT is saved where it lives; the machine has a Software key already";
}

TEST_F(EmulatedRegistry, ClassesRootSectionsLoadUnderSoftwareClasses) {
  WriteHostFile(machine_.Outside("classes.reg"),
                "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.ov5]\r\n@=\"Ornivale.Bundle\"\r\n");
  ASSERT_TRUE(machine_->LoadRegistry(machine_.Outside("classes.reg")));
  EXPECT_EQ(TextOf(RegRoot::ClassesRoot, ".ov5", ""), "Ornivale.Bundle");
  EXPECT_EQ(TextOf(RegRoot::LocalMachine, "SOFTWARE\\CLASSES\\.ov5", ""), "Ornivale.Bundle");
  EXPECT_FALSE(registry().DeleteKey(RegRoot::ClassesRoot, "")) << "the root itself";
  EXPECT_NE(registry().Open(RegRoot::ClassesRoot, "", RegAccess::Read), nullptr);
}

TEST_F(EmulatedRegistry, ASavedRegistryLoadsBackExactly) {
  const std::string longBinary = [] {
    std::string bytes;
    for (int i = 0; i < 100; ++i) bytes += static_cast<char>(i * 7);
    return bytes;
  }();
  struct ValueCase {
    RegRoot root;
    const char* key;
    const char* name;
    RegValue value;
  };
  const std::vector<ValueCase> cases = {
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", "", {RegType::String, "default", 0}},
      {RegRoot::LocalMachine,
       "SOFTWARE\\Vendor\\Tool",
       "Escapes",
       {RegType::String, "a\\b \"q\" \\\\ end\\", 0}},
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", "Empty", {RegType::String, "", 0}},
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", "HighBytes", {RegType::String, "\x99 caf\xe9", 0}},
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", "Lines", {RegType::String, "one\r\ntwo\nthree", 0}},
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", "Zero", {RegType::String, std::string("a\0b", 3), 0}},
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", "Number", {RegType::Dword, "", 0xDEADBEEF}},
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", "Long", {RegType::Binary, longBinary, 0}},
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", "NoBytes", {RegType::Binary, "", 0}},
      {RegRoot::LocalMachine,
       "SOFTWARE\\Vendor\\Tool",
       "Expand",
       {RegType::ExpandString, "%SystemRoot%\\x", 0}},
      {RegRoot::LocalMachine,
       "SOFTWARE\\Vendor\\Tool",
       "Multi",
       {static_cast<RegType>(7), std::string("a\0b\0\0", 5), 0}},
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", "Name \"quoted\" \\", {RegType::String, "v", 0}},
      {RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool\\Key With Spaces ]", "x", {RegType::Dword, "", 1}},
      {RegRoot::ClassesRoot, "Ornivale.Project\\shell\\open\\command", "", {RegType::String, "\"%1\"", 0}},
      {RegRoot::CurrentUser, "", "AtTheRoot", {RegType::String, "root value", 0}},
  };
  for (const ValueCase& c : cases)
    ASSERT_TRUE(machine_->SetRegistryValue(c.root, c.key, c.name, c.value)) << c.name;
  ASSERT_NE(registry().Create(RegRoot::LocalMachine, "SOFTWARE\\Vendor\\EmptyKey"), nullptr);
  const std::string saved = Saved();

  TestMachine other;
  ASSERT_TRUE(other->LoadRegistry(machine_.Outside("saved.reg")));
  for (const ValueCase& c : cases) {
    auto key = other->machine().registry.Open(c.root, c.key, RegAccess::Read);
    ASSERT_NE(key, nullptr) << c.key;
    const auto value = key->Value(c.name);
    ASSERT_TRUE(value) << c.name;
    EXPECT_EQ(value->type, c.value.type) << c.name;
    EXPECT_EQ(value->text, c.value.text) << c.name;
    EXPECT_EQ(value->number, c.value.number) << c.name;
  }
  EXPECT_NE(
      other->machine().registry.Open(RegRoot::LocalMachine, "SOFTWARE\\Vendor\\EmptyKey", RegAccess::Read),
      nullptr);
  ASSERT_TRUE(other->SaveRegistry(other.Outside("again.reg")));
  EXPECT_EQ(ReadHostFile(other.Outside("again.reg")), saved);
}

TEST_F(EmulatedRegistry, LoadsHandWrittenFilesAndAddsToWhatIsThere) {
  ASSERT_TRUE(CreateWithString(RegRoot::LocalMachine, "SOFTWARE\\Kept", "Old", "stays"));
  WriteHostFile(machine_.Outside("hand.reg"),
                "REGEDIT4\n"
                "; a comment\n"
                "\n"
                "[hkey_local_machine\\SOFTWARE\\JavaSoft\\Java Development Kit\\1.6]\n"
                "\"JavaHome\"=\"C:\\\\Program Files\\\\Java\\\\jdk1.6.0\"\n"
                "  \"MicroVersion\" = dword:0\n"
                "\"Data\"=hex:00,01,\\\n"
                "  02,0A\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kept]\n"
                "\"New\"=\"added\"\n");
  ASSERT_TRUE(machine_->LoadRegistry(machine_.Outside("hand.reg")));
  const std::string jdk = "SOFTWARE\\JavaSoft\\Java Development Kit\\1.6";
  EXPECT_EQ(TextOf(RegRoot::LocalMachine, jdk, "JavaHome"), "C:\\Program Files\\Java\\jdk1.6.0");
  ASSERT_TRUE(ValueOf(RegRoot::LocalMachine, jdk, "MicroVersion"));
  EXPECT_EQ(ValueOf(RegRoot::LocalMachine, jdk, "MicroVersion")->type, RegType::Dword);
  EXPECT_EQ(TextOf(RegRoot::LocalMachine, jdk, "Data"), std::string("\x00\x01\x02\x0a", 4));
  EXPECT_EQ(TextOf(RegRoot::LocalMachine, "SOFTWARE\\Kept", "Old"), "stays");
  EXPECT_EQ(TextOf(RegRoot::LocalMachine, "SOFTWARE\\Kept", "New"), "added");
}

TEST_F(EmulatedRegistry, AFileThatIsNotValidChangesNothing) {
  const std::vector<std::string> bad = {
      "",
      "[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"y\"\r\n",
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n",
      "REGEDIT4\r\n\"x\"=\"before any key\"\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"bad \\n escape\"\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"unterminated\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"text\" trailing\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=dword:123456789\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=hex:01,zz\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=hex(4):01,02\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=-\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\nx=\"unquoted name\"\r\n",
      "REGEDIT4\r\n[HKEY_USERS\\A]\r\n",
      "REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\A]\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A\\\\B]\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A\r\n",
  };
  ASSERT_TRUE(CreateWithString(RegRoot::LocalMachine, "SOFTWARE\\Kept", "Old", "stays"));
  const std::string before = Saved();
  for (const std::string& text : bad) {
    WriteHostFile(machine_.Outside("bad.reg"), text);
    EXPECT_FALSE(machine_->LoadRegistry(machine_.Outside("bad.reg"))) << text;
    EXPECT_EQ(Saved(), before) << text;
  }
  EXPECT_FALSE(machine_->LoadRegistry(machine_.Outside("absent.reg")));
}

TEST_F(EmulatedRegistry, SavingFailsForANameTheFormatCannotHold) {
  ASSERT_TRUE(CreateWithString(RegRoot::LocalMachine, "A", "two\r\nlines", "x"));
  EXPECT_FALSE(machine_->SaveRegistry(machine_.Outside("broken.reg")));
}

TEST_F(EmulatedRegistry, SubKeysEnumerateByTheirUpperCaseNames) {
  for (const char* name : {"b", "_under", "A", "a1", "Z"}) {
    ASSERT_NE(registry().Create(RegRoot::LocalMachine, std::string("List\\") + name), nullptr);
  }
  auto list = registry().Open(RegRoot::LocalMachine, "List", RegAccess::Read);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->SubKeyNames(), (std::vector<std::string>{"A", "a1", "b", "Z", "_under"}));
}

TEST_F(EmulatedRegistry, BadKeyPathsAreRefused) {
  for (const char* path : {"\\Leading", "Double\\\\Backslash"}) {
    EXPECT_EQ(registry().Create(RegRoot::LocalMachine, path), nullptr) << path;
    EXPECT_EQ(registry().Open(RegRoot::LocalMachine, path, RegAccess::Read), nullptr) << path;
    EXPECT_FALSE(registry().DeleteKey(RegRoot::LocalMachine, path)) << path;
  }
  EXPECT_NE(registry().Create(RegRoot::LocalMachine, "Trailing\\"), nullptr);
  EXPECT_NE(registry().Open(RegRoot::LocalMachine, "Trailing", RegAccess::Read), nullptr);
  EXPECT_FALSE(registry().DeleteKey(RegRoot::LocalMachine, "")) << "the root itself";
  EXPECT_NE(registry().Open(RegRoot::LocalMachine, "", RegAccess::Read), nullptr);
}

TEST_F(EmulatedRegistry, AHandleToADeletedKeyNeitherReadsNorWrites) {
  ASSERT_TRUE(CreateWithString(RegRoot::LocalMachine, "Doomed", "v", "x"));
  auto key = registry().Open(RegRoot::LocalMachine, "Doomed", RegAccess::All);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(registry().DeleteKey(RegRoot::LocalMachine, "Doomed"));
  EXPECT_FALSE(key->Value("v"));
  EXPECT_FALSE(key->SetString("v", "y"));
  ASSERT_NE(registry().Create(RegRoot::LocalMachine, "Doomed"), nullptr);
  EXPECT_FALSE(ValueOf(RegRoot::LocalMachine, "Doomed", "v")) << "a new key of that name starts empty";
}

TEST_F(EmulatedRegistry, WritesAreDeniedAtAndBelowAKey) {
  ASSERT_TRUE(CreateWithString(RegRoot::LocalMachine, "SOFTWARE\\Locked\\Existing", "v", "kept"));
  auto openBefore = registry().Open(RegRoot::LocalMachine, "SOFTWARE\\Locked\\Existing", RegAccess::All);
  ASSERT_NE(openBefore, nullptr);
  machine_->DenyRegistryWritesUnder(RegRoot::LocalMachine, "software\\LOCKED");

  EXPECT_EQ(registry().Create(RegRoot::LocalMachine, "SOFTWARE\\Locked"), nullptr);
  EXPECT_EQ(registry().Create(RegRoot::LocalMachine, "SOFTWARE\\Locked\\New"), nullptr);
  EXPECT_EQ(registry().Open(RegRoot::LocalMachine, "SOFTWARE\\Locked\\Existing", RegAccess::All), nullptr);
  EXPECT_FALSE(openBefore->SetString("v", "changed"));
  EXPECT_FALSE(openBefore->SetDword("n", 1));
  EXPECT_FALSE(registry().DeleteKey(RegRoot::LocalMachine, "SOFTWARE\\Locked\\Existing"));
  EXPECT_EQ(TextOf(RegRoot::LocalMachine, "SOFTWARE\\Locked\\Existing", "v"), "kept") << "reading works";

  EXPECT_NE(registry().Create(RegRoot::LocalMachine, "SOFTWARE\\LockedNot"), nullptr)
      << "only whole names match";
  EXPECT_NE(registry().Create(RegRoot::ClassesRoot, "SOFTWARE\\Locked"), nullptr) << "another root";

  machine_->ClearFaults();
  EXPECT_TRUE(openBefore->SetString("v", "changed"));
  EXPECT_NE(registry().Create(RegRoot::LocalMachine, "SOFTWARE\\Locked\\New"), nullptr);
}

}  // namespace
}  // namespace ov::emulated
