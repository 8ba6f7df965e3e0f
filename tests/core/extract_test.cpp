// Payload extraction: file names, the skip list, presets, files written whole or not at all.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "core/state.h"
#include "core/text.h"
#include "payload/extract.h"
#include "tests/support/testing.h"

namespace {

struct PrettifyCase {
    const char *resourceName;
    const char *fileName;
};

const PrettifyCase PrettifyCases[] = {
    {"LUMIVORTEX.8BF", "Lumivortex.8bf"},
    {"LUMIVORTEX(X64).8BF", "Lumivortex(X64).8bf"},
    {"PRESETS__SKETCHES:BIN", "PresetsSketchesbin"},
    {"MY_FILTER.8BF", "My Filter.8bf"},
    {"PAINTER'S 3D.8BF", "Painter's 3D.8bf"},
    {"X64BIT", "X64Bit"},
    {"A:(B", "A(b"},
    {"NAME_", "Name_"},
    {"NAME:", "Name:"},
    {"", ""},
    {"A__", "A"},
    {"A__B_C", "AB C"},
    {"A__:B", "Ab"},
};

class Prettify : public testing::TestWithParam<PrettifyCase> {};

TEST_P(Prettify, GivesTheInstalledFileName)
{
    char name[PayloadNameSize];
    BufSet(name, sizeof name, GetParam().resourceName);
    EXPECT_EQ(name, PrettifyPayloadName(name));
    EXPECT_STREQ(GetParam().fileName, name);
}

INSTANTIATE_TEST_SUITE_P(Names, Prettify, testing::ValuesIn(PrettifyCases));

TEST(PrettifyBytes, HandlesBytesAbove0x7FWithoutFault)
{
    char name[PayloadNameSize];
    for (int c = 0x80; c <= 0xFF; c++) {
        char raw[] = {'A', (char)c, '_', (char)c, (char)c, '.', '8', 'B', 'F', 0};
        BufSet(name, sizeof name, raw);
        PrettifyPayloadName(name);
        EXPECT_EQ(strlen(raw), strlen(name)) << c;
        EXPECT_EQ(' ', name[2]);
    }
}

const char *const PencraftKey = "Software\\Kestovan\\Pencraft";
const char *const TessalyKey = "Software\\Kestovan\\Tessaly";

// Extraction into a fresh folder of the prefix's drive, with clean registry keys.
class Extract : public testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(NULL);
        memset(SkipList, 0, sizeof SkipList);
        folder = std::string("C:\\lvtest\\extract\\") + TestCaseName() + "\\";
        MakeFreshFolder(folder);
        BufSet(ChosenFolder, sizeof ChosenFolder, folder.c_str());
        DeleteRegTree(HKEY_CURRENT_USER, "Software\\Kestovan");
        PayloadWriteFailures = 0;
    }
    void TearDown() override
    {
        RemoveTree(folder.substr(0, folder.size() - 1));
        DeleteRegTree(HKEY_CURRENT_USER, "Software\\Kestovan");
        memset(SkipList, 0, sizeof SkipList);
    }
    void Enumerate(int kind)
    {
        EnumResourceNamesA(AppInstance, MAKEINTRESOURCEA(kind), ExtractPayload, kind);
    }
    std::string folder;
};

std::vector<unsigned char> ReadPreset(const char *key, const char *value, DWORD *type)
{
    std::vector<unsigned char> data(4096);
    DWORD size = (DWORD)data.size();
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return {};
    LONG r = RegQueryValueExA(k, value, NULL, type, data.data(), &size);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

int CountValues(const char *key)
{
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyA(k, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL);
    RegCloseKey(k);
    return (int)count;
}

TEST_F(Extract, WritesEachModuleUnderItsFileNameWithTheResourceBytesTwice)
{
    for (int round = 0; round < 2; round++) {
        Enumerate(RT_PAYLOAD32);
        Enumerate(RT_PAYLOAD64);
    }
    EXPECT_EQ((std::vector<std::string>{"Lumivortex(X64).8bf", "Lumivortex.8bf"}), ListFiles(folder));
    EXPECT_EQ(ResourceBytes(RT_PAYLOAD32, "LUMIVORTEX.8BF"), ReadFileBytes(folder + "Lumivortex.8bf"));
    EXPECT_EQ(ResourceBytes(RT_PAYLOAD64, "LUMIVORTEX(X64).8BF"), ReadFileBytes(folder + "Lumivortex(X64).8bf"));
    EXPECT_EQ(0, PayloadWriteFailures);
}

struct SkipCase {
    const char *entry;
    int filesLeft;
};

class ExtractSkip : public Extract, public testing::WithParamInterface<SkipCase> {};

TEST_P(ExtractSkip, TestsThePrettifiedNameCaseSensitively)
{
    AddToSkipList(GetParam().entry);
    Enumerate(RT_PAYLOAD32);
    Enumerate(RT_PAYLOAD64);
    EXPECT_EQ(GetParam().filesLeft, (int)ListFiles(folder).size());
    EXPECT_EQ(0, PayloadWriteFailures);
}

INSTANTIATE_TEST_SUITE_P(Entries, ExtractSkip,
    testing::Values(SkipCase{"Lumivortex", 0}, SkipCase{"LUMIVORTEX", 2}, SkipCase{"(X64)", 1},
        SkipCase{"lumivortex", 2}));

TEST_F(Extract, PresetSetsGoToTheRegistryBlockByBlockAndWriteNoFile)
{
    Enumerate(3100);
    EXPECT_TRUE(ListFiles(folder).empty());
    struct Set {
        const char *key, *prefix, *resource;
        int blocks, size;
    } sets[] = {
        {PencraftKey, "Portrait", "PRESETS__SKETCHES:BIN", 12, 64},
        {TessalyKey, "Bouquet", "PRESETS__BOUQUETS:BIN", 16, 128},
        {TessalyKey, "Patterns", "PRESETS__PATTERNS:BIN", 12, 128},
    };
    for (const Set &s : sets) {
        std::vector<unsigned char> all = ResourceBytes(3100, s.resource);
        for (int j = 0; j < s.blocks; j++) {
            char name[32];
            wsprintfA(name, "%s%02d", s.prefix, j + 1);
            DWORD type = 0;
            std::vector<unsigned char> expected(all.begin() + j * s.size, all.begin() + (j + 1) * s.size);
            EXPECT_EQ(expected, ReadPreset(s.key, name, &type)) << name;
            EXPECT_EQ((DWORD)REG_BINARY, type) << name;
        }
    }
    EXPECT_EQ(12, CountValues(PencraftKey));
    EXPECT_EQ(16 + 12, CountValues(TessalyKey));
}

TEST_F(Extract, TheFirstMarkerDecidesWhenANameHoldsTwo)
{
    char name[PayloadNameSize] = "PRESETS__SKETCHES:BIN_PRESETS__PATTERNS:BIN";
    PrettifyPayloadName(name);
    ASSERT_TRUE(TextContains(name, "PresetsSketchesbin") && TextContains(name, "PresetsPatternsbin")) << name;
    Enumerate(3101);
    EXPECT_EQ(12, CountValues(PencraftKey));
    EXPECT_EQ(0, CountValues(TessalyKey));
}

TEST_F(Extract, ASkippedPresetWritesNothing)
{
    AddToSkipList("Sketches");
    Enumerate(3100);
    EXPECT_EQ(0, CountValues(PencraftKey));
    EXPECT_EQ(28, CountValues(TessalyKey));
}

TEST_F(Extract, AShortPresetWritesOnlyItsWholeBlocks)
{
    Enumerate(3102); // 200 bytes: three whole 64-byte blocks
    EXPECT_EQ(3, CountValues(PencraftKey));
    DWORD type;
    EXPECT_EQ(64u, ReadPreset(PencraftKey, "Portrait03", &type).size());
    EXPECT_TRUE(ReadPreset(PencraftKey, "Portrait04", &type).empty());
}

TEST_F(Extract, PassesOverNumericAndOverlongNamesAndGoesOn)
{
    EXPECT_TRUE(ExtractPayload(AppInstance, MAKEINTRESOURCEA(3103), MAKEINTRESOURCEA(7), 3103));
    Enumerate(3103); // a numeric id beside MY_FILTER.8BF
    Enumerate(3104); // a 410-character name beside AFTER.8BF
    EXPECT_EQ((std::vector<std::string>{"After.8bf", "My Filter.8bf"}), ListFiles(folder));
    EXPECT_EQ(0, PayloadWriteFailures);
}

TEST_F(Extract, AMissingResourceStopsTheEnumeration)
{
    char name[] = "NO_SUCH_PAYLOAD.8BF";
    EXPECT_FALSE(ExtractPayload(AppInstance, MAKEINTRESOURCEA(RT_PAYLOAD32), name, RT_PAYLOAD32));
    EXPECT_STREQ("NO_SUCH_PAYLOAD.8BF", name); // the caller's name is left alone
}

TEST_F(Extract, ATargetPathThatDoesNotFitIsNotWritten)
{
    // 399 characters of folder + "Lumivortex.8bf" exceed the 511-character path.
    std::string deep = folder + std::string(390 - folder.size(), 'd') + "\\";
    BufSet(ChosenFolder, sizeof ChosenFolder, deep.c_str());
    ASSERT_EQ(deep, ChosenFolder);
    char name[] = "LUMIVORTEX.8BF";
    EXPECT_TRUE(ExtractPayload(AppInstance, MAKEINTRESOURCEA(RT_PAYLOAD32), name, RT_PAYLOAD32));
    EXPECT_EQ(1, PayloadWriteFailures);
}

// A file that cannot be written completely is never left behind, and an
// installed module survives a failed replacement.
TEST_F(Extract, AFileThatCannotBeCreatedLeavesTheOldModuleAndNoPartialFile)
{
    WriteFileBytes(folder + "Lumivortex.8bf", "old module");
    ASSERT_TRUE(CreateDirectoryA((folder + "Lumivortex.8bf.part").c_str(), NULL));
    Enumerate(RT_PAYLOAD32);
    EXPECT_EQ(1, PayloadWriteFailures);
    std::vector<unsigned char> old = ReadFileBytes(folder + "Lumivortex.8bf");
    EXPECT_EQ("old module", std::string(old.begin(), old.end()));
}

TEST_F(Extract, AFileThatCannotReplaceItsTargetIsRemoved)
{
    ASSERT_TRUE(CreateDirectoryA((folder + "Lumivortex.8bf").c_str(), NULL));
    Enumerate(RT_PAYLOAD32);
    EXPECT_EQ(1, PayloadWriteFailures);
    EXPECT_TRUE(ListFiles(folder).empty());
}

} // namespace
