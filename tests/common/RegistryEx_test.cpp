// The registry object: sections, typed reads and writes, multi-strings,
// booleans, key trees and remote roots, checked against the raw registry.
#include <gtest/gtest.h>

#include <string>

#include "PrivateRegistry.h"
#include "RegistryEx.h"

namespace {

using namespace std::string_literals;

const std::string kKey = "Software\\RegTest";

// Runs Action and gives the message of the ERegistryException it raises.
template <typename Action>
std::string RegistryError(Action action)
{
    try {
        action();
    } catch (const ERegistryException& error) {
        return error.what();
    }
    return "(no error)";
}

std::vector<std::string> Lines(TRegIniFileEx& registry, const std::string& section,
                               const std::string& name)
{
    TStringList lines;
    registry.ReadMultiString(section, name, lines);
    return lines.Strings();
}

TEST(RegIniFileEx, MultiStringRoundTrip)
{
    PrivateRegistry scratch;
    TRegIniFileEx registry(kKey);
    registry.WriteMultiString("", "Lines", TStringList({"a", "", "b"}));
    RegValue raw = ReadRawValue(HKEY_CURRENT_USER, kKey, "Lines");
    EXPECT_EQ(raw.Type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(raw.Data, "a\0-\0b\0\0"s);
    EXPECT_EQ(Lines(registry, "", "Lines"), (std::vector<std::string>{"a", "", "b"}));

    registry.WriteMultiString("", "Lines", TStringList({"", "-", "x"}));
    EXPECT_EQ(Lines(registry, "", "Lines"), (std::vector<std::string>{"", "", "x"}));

    registry.WriteMultiString("", "Empty", TStringList());
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kKey, "Empty").Data, "\0"s);
    EXPECT_TRUE(Lines(registry, "", "Empty").empty());
}

TEST(RegIniFileEx, ReadMultiStringAppendsAndStopsAtTheData)
{
    PrivateRegistry scratch;
    TRegIniFileEx registry(kKey);
    WriteSz(HKEY_CURRENT_USER, kKey, "Text", "one line");
    // No closing NUL at all: the last string ends with the data.
    WriteRawValue(HKEY_CURRENT_USER, kKey, "Open", REG_MULTI_SZ, "first\0second"s);
    WriteRawValue(HKEY_CURRENT_USER, kKey, "Stop", REG_MULTI_SZ, "a\0\0hidden\0\0"s);

    TStringList lines({"kept"});
    registry.ReadMultiString("", "Text", lines);
    registry.ReadMultiString("", "Open", lines);
    registry.ReadMultiString("", "Stop", lines);
    registry.ReadMultiString("", "Missing", lines);
    registry.ReadMultiString("No such section", "Text", lines);
    EXPECT_EQ(lines.Strings(),
              (std::vector<std::string>{"kept", "one line", "first", "second", "a"}));

    const std::string big(100'000, 'm');
    WriteRawValue(HKEY_CURRENT_USER, kKey, "Big", REG_MULTI_SZ, big + '\0' + "end" + '\0' + '\0');
    EXPECT_EQ(Lines(registry, "", "Big"), (std::vector<std::string>{big, "end"}));
}

TEST(RegIniFileEx, WriteMultiStringNeedsAnExistingSection)
{
    PrivateRegistry scratch;
    TRegIniFileEx registry(kKey);
    registry.WriteMultiString("Missing", "Lines", TStringList({"a"}));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + "\\Missing"));

    // An old value of another type is replaced.
    WriteSz(HKEY_CURRENT_USER, kKey + "\\Present", "Lines", "old");
    registry.WriteMultiString("Present", "Lines", TStringList({"new"}));
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kKey + "\\Present", "Lines").Data, "new\0\0"s);
}

TEST(RegIniFileEx, BooleansAreDwords)
{
    PrivateRegistry scratch;
    TRegIniFileEx registry(kKey);
    WriteDword(HKEY_CURRENT_USER, kKey, "Two", 2);
    WriteDword(HKEY_CURRENT_USER, kKey, "Zero", 0);
    WriteSz(HKEY_CURRENT_USER, kKey, "Text", "1");
    WriteRawValue(HKEY_CURRENT_USER, kKey, "Long", REG_DWORD, "\1\0\0\0\0\0\0\0"s);
    WriteRawValue(HKEY_CURRENT_USER, kKey, "Short", REG_DWORD, "\1"s);

    EXPECT_TRUE(registry.ReadBoolean("", "Two", false));
    EXPECT_FALSE(registry.ReadBoolean("", "Zero", true));
    EXPECT_TRUE(registry.ReadBoolean("", "Short", false));
    EXPECT_TRUE(registry.ReadBoolean("", "Missing", true));
    EXPECT_FALSE(registry.ReadBoolean("No such section", "Two", false));
    EXPECT_EQ(RegistryError([&] { registry.ReadBoolean("", "Text", false); }),
              "Invalid data type for 'Text'");
    EXPECT_EQ(RegistryError([&] { registry.ReadBoolean("", "Long", false); }),
              "Failed to get data for 'Long'");

    registry.WriteBoolean("New\\Section", "Flag", true);
    RegValue raw = ReadRawValue(HKEY_CURRENT_USER, kKey + "\\New\\Section", "Flag");
    EXPECT_EQ(raw.Type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.Data, "\1\0\0\0"s);
    registry.WriteBoolean("New\\Section", "Flag", false);
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kKey + "\\New\\Section", "Flag").Data, "\0\0\0\0"s);
}

TEST(RegIniFile, TextReadsEndAtTheDataOrTheFirstNul)
{
    PrivateRegistry scratch;
    TRegIniFileEx registry(kKey);
    WriteRawValue(HKEY_CURRENT_USER, kKey, "NoNul", REG_SZ, "abc"s);
    WriteRawValue(HKEY_CURRENT_USER, kKey, "Inner", REG_EXPAND_SZ, "ab\0cd\0"s);
    WriteRawValue(HKEY_CURRENT_USER, kKey, "Empty", REG_SZ, ""s);
    WriteRawValue(HKEY_CURRENT_USER, kKey, "EmptyBinary", REG_BINARY, ""s);
    WriteDword(HKEY_CURRENT_USER, kKey, "Number", 5);
    const std::string big(100'000, 'x');
    WriteSz(HKEY_CURRENT_USER, kKey, "Big", big);

    EXPECT_EQ(registry.ReadString("", "NoNul", "-"), "abc");
    EXPECT_EQ(registry.ReadString("", "Inner", "-"), "ab");
    EXPECT_EQ(registry.ReadString("", "Empty", "-"), "");
    EXPECT_EQ(registry.ReadString("", "EmptyBinary", "-"), "");
    EXPECT_EQ(registry.ReadString("", "Big", "-"), big);
    EXPECT_EQ(registry.ReadString("", "Missing", "-"), "-");
    EXPECT_EQ(registry.ReadString("Nowhere", "NoNul", "-"), "-");
    EXPECT_EQ(RegistryError([&] { registry.ReadString("", "Number", "-"); }),
              "Invalid data type for 'Number'");
    EXPECT_EQ(registry.ReadString("NoNul"), "abc");
    EXPECT_EQ(registry.ReadString("Missing"), "");
    EXPECT_EQ(registry.ReadInteger("Number"), 5);
    EXPECT_EQ(RegistryError([&] { registry.ReadInteger("NoNul"); }), "Invalid data type for 'NoNul'");
}

TEST(RegIniFile, IntegersAndBoolsAreDecimalText)
{
    PrivateRegistry scratch;
    TRegIniFileEx registry(kKey);
    WriteSz(HKEY_CURRENT_USER, kKey, "Hex", "0x2800");
    WriteSz(HKEY_CURRENT_USER, kKey, "Dollar", "$10");
    WriteSz(HKEY_CURRENT_USER, kKey, "Word", "ten");
    EXPECT_EQ(registry.ReadInteger("", "Hex", 1), 10240);
    EXPECT_EQ(registry.ReadInteger("", "Dollar", 1), 16);
    EXPECT_EQ(registry.ReadInteger("", "Word", 7), 7);
    EXPECT_EQ(registry.ReadInteger("", "Missing", 7), 7);

    registry.WriteInteger("Sub", "Width", -500);
    registry.WriteBool("Sub", "Shown", true);
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kKey + "\\Sub", "Width").Data, "-500\0"s);
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kKey + "\\Sub", "Shown").Data, "1\0"s);
    EXPECT_TRUE(registry.ReadBool("Sub", "Shown", false));
    EXPECT_EQ(registry.ReadInteger("Sub", "Width", 0), -500);
}

TEST(Registry, SectionsAreRelativeToTheCurrentKey)
{
    PrivateRegistry scratch;
    WriteSz(HKEY_CURRENT_USER, "A\\B", "v", "in B");
    WriteSz(HKEY_CURRENT_USER, "A", "v", "in A");
    WriteSz(HKEY_CURRENT_USER, "B", "v", "root B");
    TRegIniFileEx registry("");
    ASSERT_TRUE(registry.OpenKey("A", false));
    EXPECT_EQ(registry.ReadString("", "v", "-"), "in A");
    EXPECT_EQ(registry.ReadString("B", "v", "-"), "in B");
    EXPECT_EQ(registry.ReadString("\\B", "v", "-"), "root B");
    EXPECT_EQ(registry.CurrentPath(), "A");

    // A relative open goes below the current key; a failed one changes nothing.
    ASSERT_TRUE(registry.OpenKey("B", false));
    EXPECT_EQ(registry.CurrentPath(), "A\\B");
    EXPECT_FALSE(registry.OpenKey("Missing", false));
    EXPECT_EQ(registry.CurrentPath(), "A\\B");
    EXPECT_EQ(registry.ReadString("v"), "in B");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "A\\B\\Missing"));

    ASSERT_TRUE(registry.OpenKey("\\C\\D", true));
    EXPECT_EQ(registry.CurrentPath(), "C\\D");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "C\\D"));
    registry.CloseKey();
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    EXPECT_EQ(registry.ReadString("B", "v", "-"), "root B");
}

TEST(Registry, ValueQueriesAndNames)
{
    PrivateRegistry scratch;
    WriteSz(HKEY_CURRENT_USER, kKey, "Text", "abc");
    WriteRawValue(HKEY_CURRENT_USER, kKey, "Multi", REG_MULTI_SZ, "a\0\0"s);
    WriteDword(HKEY_CURRENT_USER, kKey, "Number", 1);
    CreateKey(HKEY_CURRENT_USER, kKey + "\\Sub1");
    CreateKey(HKEY_CURRENT_USER, kKey + "\\Sub2");
    TRegIniFileEx registry(kKey);
    EXPECT_TRUE(registry.ValueExists("Text"));
    EXPECT_FALSE(registry.ValueExists("Missing"));
    EXPECT_EQ(registry.GetDataSize("Text"), 4);
    EXPECT_EQ(registry.GetDataSize("Missing"), -1);
    EXPECT_EQ(registry.GetDataType("Text"), TRegDataType::rdString);
    EXPECT_EQ(registry.GetDataType("Number"), TRegDataType::rdInteger);
    EXPECT_EQ(registry.GetDataType("Multi"), TRegDataType::rdUnknown);
    EXPECT_EQ(registry.GetDataType("Missing"), TRegDataType::rdUnknown);

    TStringList names({"stale"});
    registry.GetKeyNames(names);
    EXPECT_EQ(names.Strings(), (std::vector<std::string>{"Sub1", "Sub2"}));
    registry.GetValueNames(names);
    EXPECT_EQ(names.Count(), 3);

    EXPECT_TRUE(registry.DeleteValue("Text"));
    EXPECT_FALSE(registry.DeleteValue("Text"));
    EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kKey, "Text").Exists);
}

TEST(Registry, DeleteKeyRemovesTheWholeTree)
{
    PrivateRegistry scratch;
    CreateKey(HKEY_CURRENT_USER, "Tree\\One\\Deep\\Deeper");
    CreateKey(HKEY_CURRENT_USER, "Tree\\Two");
    WriteSz(HKEY_CURRENT_USER, "Tree\\Three", "v", "x");
    CreateKey(HKEY_CURRENT_USER, "Keep");
    TRegIniFileEx registry("");
    EXPECT_TRUE(registry.DeleteKey("\\Tree"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Tree"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Keep"));
    EXPECT_FALSE(registry.DeleteKey("Tree"));
    EXPECT_FALSE(registry.DeleteKey(""));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Keep"));
}

TEST(Registry, CreateAndWriteFailuresRaise)
{
    PrivateRegistry scratch;
    TRegIniFileEx registry(kKey);
    const std::string tooLong(300, 'k');   // key names end at 255 characters
    EXPECT_EQ(RegistryError([&] { registry.CreateKey(tooLong); }), "Failed to create key " + tooLong);
    EXPECT_EQ(RegistryError([&] { registry.WriteBoolean(tooLong, "v", true); }),
              "Failed to create key " + tooLong);
    EXPECT_EQ(RegistryError([&] { registry.WriteString(tooLong, "v", "x"); }),
              "Failed to create key " + tooLong);

    // A key that refuses writes: deleted while the object has it open.
    {
        TRegIniFileEx doomed(kKey + "\\Doomed");
        ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, (kKey + "\\Doomed").c_str()), ERROR_SUCCESS);
        EXPECT_EQ(RegistryError([&] { doomed.WriteString("", "v", "x"); }),
                  "Failed to set data for 'v'");
        EXPECT_EQ(RegistryError([&] { doomed.WriteBoolean("", "b", true); }),
                  "Failed to set data for 'b'");
        EXPECT_EQ(
            RegistryError([&] { doomed.WriteMultiString("", "Lines", TStringList({"new"})); }),
            "Error setting value in WriteMultiString.");
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + "\\Doomed"));
}

TEST(Registry, RootsAndConnections)
{
    // The platform reads the computer name from the registry: ask before the
    // private one hides it.
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    PrivateRegistry scratch;
    // Connections compare the name with the one the registry holds.
    for (const char* key : {"ActiveComputerName", "ComputerName"})
        WriteSz(HKEY_LOCAL_MACHINE,
                std::string("System\\CurrentControlSet\\Control\\ComputerName\\") + key,
                "ComputerName", name);
    WriteSz(HKEY_LOCAL_MACHINE, "Machine", "v", "local machine");
    TRegIniFileEx registry(kKey);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    EXPECT_EQ(registry.ReadString("Machine", "v", "-"), "local machine");

    EXPECT_FALSE(registry.RegistryConnect("\\\\NO-SUCH-COMPUTER"));
    EXPECT_EQ(registry.RootKey(), HKEY_LOCAL_MACHINE);

    ASSERT_TRUE(registry.RegistryConnect("\\\\" + std::string(name)));
    EXPECT_EQ(registry.ReadString("Machine", "v", "-"), "local machine");
    registry.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_EQ(registry.RootKey(), HKEY_CURRENT_USER);
}

}  // namespace
