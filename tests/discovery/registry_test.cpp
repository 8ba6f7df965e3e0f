// Registry primitives on the real registry: enumeration, default values, sizes at the buffer limits, views.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "discovery/registry.h"
#include "tests/discovery/discovery_testing.h"
#include "tests/support/testing.h"

namespace {

const char Guard = '\x5a';
const int GuardedSize = 512; // the 256 bytes the registry is told of, then guard bytes

// A 256-byte buffer of the primitives, followed by guard bytes that must survive every call.
struct GuardedBuffer {
    char bytes[GuardedSize];
    GuardedBuffer() { memset(bytes, Guard, sizeof bytes); }
    bool GuardIntact() const
    {
        for (int i = RegTextSize; i < GuardedSize; i++)
            if (bytes[i] != Guard)
                return false;
        return true;
    }
    bool TerminatedInside() const { return memchr(bytes, 0, RegTextSize) != NULL; }
};

class Registry : public testing::Test {
protected:
    void SetUp() override
    {
        key = "Software\\LvDiscoveryTest\\" + TestCaseName();
        DeleteRegTree(HKEY_CURRENT_USER, key);
        RegistryView = 0;
        ValueCursor = 0;
    }
    void TearDown() override
    {
        DeleteRegTree(HKEY_CURRENT_USER, key);
        RegistryView = 0;
        ValueCursor = 0;
    }
    std::string key;
};

struct Value {
    std::string name;
    DWORD type;
    std::string bytes; // stored exactly: a terminator only where the case writes one
};

struct Step {
    LONG result;
    std::string name;
    std::string data;
    int cursorAfter;
};

struct EnumCase {
    const char *label;
    std::vector<Value> values; // names sort in this order, so every registry lists them so
    std::vector<Step> steps;   // successive EnumNextRegistryValue calls
};

std::string Text(const std::string &s)
{
    return s + '\0';
}

std::string Dword(DWORD v)
{
    return std::string((const char *)&v, sizeof v);
}

const std::string Name255(255, 'n');
const std::string Name256(256, 'm');
const std::string Text255(255, 't');
const std::string Text256(256, 'u');
const std::string Text300(300, 'v');
const LONG NoMore = ERROR_NO_MORE_ITEMS;
const LONG MoreData = ERROR_MORE_DATA;

const EnumCase EnumCases[] = {
    {"StringDwordString",
     {{"a", REG_SZ, Text("first")}, {"b", REG_DWORD, Dword(7)}, {"c", REG_SZ, Text("third")}},
     {{0, "a", "first", 1}, {0, "b", "", 2}, {0, "c", "third", 3}, {NoMore, "", "", 0}}},
    // The oversized value ends the key's values; the next call starts again at the first.
    {"OversizedValueEndsTheScan",
     {{"a", REG_SZ, Text("first")}, {"b", REG_SZ, Text(Text300)}, {"c", REG_SZ, Text("third")}},
     {{0, "a", "first", 1}, {MoreData, "", "", 0}, {0, "a", "first", 1}}},
    {"ExpandStringReadsEmpty", {{"a", REG_EXPAND_SZ, Text("C:\\Plug-ins")}}, {{0, "a", "", 1}, {NoMore, "", "", 0}}},
    {"EmptyKey", {}, {{NoMore, "", "", 0}}},
    {"NameOf255Fits", {{Name255, REG_SZ, Text("x")}}, {{0, Name255, "x", 1}, {NoMore, "", "", 0}}},
    {"NameOf256DoesNotFit", {{Name256, REG_SZ, Text("x")}}, {{MoreData, "", "", 0}}},
    {"TextOf255WithTerminatorFits", {{"a", REG_SZ, Text(Text255)}}, {{0, "a", Text255, 1}}},
    {"TextOf255WithoutTerminatorFits", {{"a", REG_SZ, Text255}}, {{0, "a", Text255, 1}}},
    // 256 bytes fill the buffer and leave no room for a terminator: the text does not fit.
    {"TextOf256WithoutTerminatorDoesNotFit",
     {{"a", REG_SZ, Text256}, {"b", REG_SZ, Text("after")}},
     {{MoreData, "", "", 0}, {MoreData, "", "", 0}}},
    {"TextOf256WithTerminatorDoesNotFit", {{"a", REG_SZ, Text(Text256)}}, {{MoreData, "", "", 0}}},
    {"ShortTextWithoutTerminator", {{"a", REG_SZ, "abc"}}, {{0, "a", "abc", 1}}},
    {"EmptyString", {{"a", REG_SZ, ""}}, {{0, "a", "", 1}}},
    // A full buffer with a terminator inside holds a text that fits.
    {"TerminatorInsideAFullBuffer", {{"a", REG_SZ, Text("C:\\x") + std::string(251, 'w')}}, {{0, "a", "C:\\x", 1}}},
    {"BinaryOf256Fits", {{"a", REG_BINARY, Text256}, {"b", REG_SZ, Text("b")}}, {{0, "a", "", 1}, {0, "b", "b", 2}}},
    {"BinaryOf257DoesNotFit", {{"a", REG_BINARY, Text256 + "w"}}, {{MoreData, "", "", 0}}},
};

class RegistryEnum : public Registry, public testing::WithParamInterface<EnumCase> {};

TEST_P(RegistryEnum, ReadsValuesInOrderWithinTheBuffers)
{
    const EnumCase &c = GetParam();
    SeedKey(HKEY_CURRENT_USER, key);
    for (const Value &v : c.values)
        SeedValue(HKEY_CURRENT_USER, key, v.name, v.type, v.bytes);
    for (size_t i = 0; i < c.steps.size(); i++) {
        SCOPED_TRACE("call " + std::to_string(i));
        GuardedBuffer name, data;
        LONG result = EnumNextRegistryValue(HKEY_CURRENT_USER, key.c_str(), name.bytes, data.bytes);
        EXPECT_EQ(c.steps[i].result, result);
        EXPECT_TRUE(name.GuardIntact());
        EXPECT_TRUE(data.GuardIntact());
        ASSERT_TRUE(name.TerminatedInside());
        ASSERT_TRUE(data.TerminatedInside());
        EXPECT_EQ(c.steps[i].name, name.bytes);
        EXPECT_EQ(c.steps[i].data, data.bytes);
        EXPECT_EQ(c.steps[i].cursorAfter, ValueCursor);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RegistryEnum, testing::ValuesIn(EnumCases),
                         [](const testing::TestParamInfo<EnumCase> &info) { return std::string(info.param.label); });

TEST_F(Registry, MissingKeyFailsAtOnceAndResetsTheCursor)
{
    ValueCursor = 3;
    GuardedBuffer name, data, out;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, EnumNextRegistryValue(HKEY_CURRENT_USER, key.c_str(), name.bytes, data.bytes));
    EXPECT_EQ(0, ValueCursor);
    EXPECT_STREQ("", name.bytes);
    EXPECT_STREQ("", data.bytes);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, EnumRegistrySubKey(HKEY_CURRENT_USER, key.c_str(), name.bytes, 0));
    // A failed open leaves the output of ReadRegistryString untouched.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRegistryString(HKEY_CURRENT_USER, key.c_str(), "", out.bytes));
    EXPECT_EQ(Guard, out.bytes[0]);
}

// Each call opens the key afresh: a key replaced between two calls is read as it now is,
// and a change of RegistryView applies to the very next call.
TEST_F(Registry, EveryCallOpensTheKeyAgain)
{
    SeedString(HKEY_CURRENT_USER, key, "a", "old a");
    SeedString(HKEY_CURRENT_USER, key, "b", "old b");
    char name[RegTextSize], data[RegTextSize];
    ASSERT_EQ(0, EnumNextRegistryValue(HKEY_CURRENT_USER, key.c_str(), name, data));
    EXPECT_STREQ("old a", data);
    DeleteRegTree(HKEY_CURRENT_USER, key);
    SeedString(HKEY_CURRENT_USER, key, "a", "new a");
    SeedString(HKEY_CURRENT_USER, key, "b", "new b");
    ASSERT_EQ(0, EnumNextRegistryValue(HKEY_CURRENT_USER, key.c_str(), name, data));
    EXPECT_STREQ("b", name);
    EXPECT_STREQ("new b", data);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, EnumNextRegistryValue(HKEY_CURRENT_USER, key.c_str(), name, data));
}

struct ReadCase {
    const char *label;
    const char *valueName; // the value read; "" is the default value
    Value stored;          // what the key holds
    LONG result;
    std::string text;
};

const ReadCase ReadCases[] = {
    {"DefaultString", "", {"", REG_SZ, Text("C:\\Editor\\editor.exe")}, 0, "C:\\Editor\\editor.exe"},
    {"DefaultExpandStringReadsEmpty", "", {"", REG_EXPAND_SZ, Text("%ProgramFiles%\\Editor")}, 0, ""},
    {"NamedString", "Path", {"Path", REG_SZ, Text("C:\\Plug-ins")}, 0, "C:\\Plug-ins"},
    {"DwordReadsEmpty", "Path", {"Path", REG_DWORD, Dword(1)}, 0, ""},
    {"MissingValueLeavesEmptyText", "Other", {"Path", REG_SZ, Text("C:\\x")}, ERROR_FILE_NOT_FOUND, ""},
    {"TextOf255Fits", "", {"", REG_SZ, Text(Text255)}, 0, Text255},
    {"TextOf256WithoutTerminatorDoesNotFit", "", {"", REG_SZ, Text256}, ERROR_MORE_DATA, ""},
    {"TextOf300DoesNotFit", "", {"", REG_SZ, Text(Text300)}, ERROR_MORE_DATA, ""},
    {"ShortTextWithoutTerminator", "", {"", REG_SZ, "C:"}, 0, "C:"},
};

class RegistryRead : public Registry, public testing::WithParamInterface<ReadCase> {};

TEST_P(RegistryRead, ReadsOneStringWithinTheBuffer)
{
    const ReadCase &c = GetParam();
    SeedValue(HKEY_CURRENT_USER, key, c.stored.name, c.stored.type, c.stored.bytes);
    GuardedBuffer out;
    EXPECT_EQ(c.result, ReadRegistryString(HKEY_CURRENT_USER, key.c_str(), c.valueName, out.bytes));
    EXPECT_TRUE(out.GuardIntact());
    ASSERT_TRUE(out.TerminatedInside());
    EXPECT_EQ(c.text, out.bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegistryRead, testing::ValuesIn(ReadCases),
                         [](const testing::TestParamInfo<ReadCase> &info) { return std::string(info.param.label); });

TEST_F(Registry, SubKeysByIndexThenNoMoreItems)
{
    std::string longName(255, 'z');
    SeedKey(HKEY_CURRENT_USER, key + "\\Alpha");
    SeedKey(HKEY_CURRENT_USER, key + "\\Beta\\Deeper");
    // Created relative to its parent: the whole path is longer than RegCreateKeyExA takes under Wine.
    HKEY parent, child;
    ASSERT_EQ(0, RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &parent));
    ASSERT_EQ(0, RegCreateKeyExA(parent, longName.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &child, NULL));
    RegCloseKey(child);
    RegCloseKey(parent);
    const char *expected[] = {"Alpha", "Beta", longName.c_str()};
    for (DWORD i = 0; i < 3; i++) {
        GuardedBuffer name;
        EXPECT_EQ(0, EnumRegistrySubKey(HKEY_CURRENT_USER, key.c_str(), name.bytes, i));
        EXPECT_STREQ(expected[i], name.bytes);
        EXPECT_TRUE(name.GuardIntact());
    }
    GuardedBuffer name;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, EnumRegistrySubKey(HKEY_CURRENT_USER, key.c_str(), name.bytes, 3));
    EXPECT_STREQ("", name.bytes);
}

// HKEY_LOCAL_MACHINE\Software has a 32-bit and a 64-bit view on 64-bit Windows, one view on 32-bit Windows.
class RegistryViewsTest : public Registry {
protected:
    void SetUp() override
    {
        Registry::SetUp();
        machineKey = "Software\\LvDiscoveryTest\\" + TestCaseName();
        for (REGSAM view : RegistryViews())
            DeleteRegTree(HKEY_LOCAL_MACHINE, machineKey, view);
    }
    void TearDown() override
    {
        for (REGSAM view : RegistryViews())
            DeleteRegTree(HKEY_LOCAL_MACHINE, machineKey, view);
        Registry::TearDown();
    }
    std::string machineKey;
};

TEST_F(RegistryViewsTest, FlagSelectsTheViewOfEveryPrimitive)
{
    // Written last in the 64-bit view, so that in the 32-bit prefix (one view) that is what stays.
    SeedString(HKEY_LOCAL_MACHINE, machineKey, "", "32-bit view", 0);
    SeedKey(HKEY_LOCAL_MACHINE, machineKey + "\\Sub32", 0);
    SeedString(HKEY_LOCAL_MACHINE, machineKey, "", "64-bit view", KEY_WOW64_64KEY);
    SeedKey(HKEY_LOCAL_MACHINE, machineKey + "\\Sub64", KEY_WOW64_64KEY);
    bool twoViews = InWin64Prefix();
    struct {
        int view;
        const char *text;
        const char *firstSubKey;
    } expected[] = {
        {0, twoViews ? "32-bit view" : "64-bit view", "Sub32"},
        {1, "64-bit view", twoViews ? "Sub64" : "Sub32"},
    };
    for (const auto &e : expected) {
        SCOPED_TRACE(e.view);
        RegistryView = e.view;
        char out[RegTextSize], name[RegTextSize], data[RegTextSize];
        EXPECT_EQ(0, ReadRegistryString(HKEY_LOCAL_MACHINE, machineKey.c_str(), "", out));
        EXPECT_STREQ(e.text, out);
        EXPECT_EQ(0, EnumNextRegistryValue(HKEY_LOCAL_MACHINE, machineKey.c_str(), name, data));
        EXPECT_STREQ(e.text, data);
        EXPECT_EQ(ERROR_NO_MORE_ITEMS, EnumNextRegistryValue(HKEY_LOCAL_MACHINE, machineKey.c_str(), name, data));
        EXPECT_EQ(0, EnumRegistrySubKey(HKEY_LOCAL_MACHINE, machineKey.c_str(), name, 0));
        EXPECT_STREQ(e.firstSubKey, name);
    }
}

TEST_F(RegistryViewsTest, ViewChangeAppliesToTheNextValueOfAnEnumeration)
{
    if (!InWin64Prefix())
        GTEST_SKIP() << "one registry view on 32-bit Windows";
    SeedString(HKEY_LOCAL_MACHINE, machineKey, "a", "a32", 0);
    SeedString(HKEY_LOCAL_MACHINE, machineKey, "b", "b32", 0);
    SeedString(HKEY_LOCAL_MACHINE, machineKey, "a", "a64", KEY_WOW64_64KEY);
    SeedString(HKEY_LOCAL_MACHINE, machineKey, "b", "b64", KEY_WOW64_64KEY);
    char name[RegTextSize], data[RegTextSize];
    ASSERT_EQ(0, EnumNextRegistryValue(HKEY_LOCAL_MACHINE, machineKey.c_str(), name, data));
    EXPECT_STREQ("a32", data);
    RegistryView = 1;
    ASSERT_EQ(0, EnumNextRegistryValue(HKEY_LOCAL_MACHINE, machineKey.c_str(), name, data));
    EXPECT_STREQ("b64", data);
}

} // namespace
