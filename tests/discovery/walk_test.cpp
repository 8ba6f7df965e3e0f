// The registry tree walk on seeded trees: the depth stack, what qualifies, the tags, pre-order, views, limits.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "core/state.h"
#include "core/text.h"
#include "discovery/registry.h"
#include "discovery/walk.h"
#include "tests/discovery/discovery_testing.h"
#include "tests/support/testing.h"

namespace {

TEST(PathStack, HoldsNineteenLevelsAndRestoresEachParent)
{
    PathStack stack;
    ResetPathStack(&stack);
    char keyPath[KeyPathSize] = "software\\kestovan";
    std::string expected = keyPath;
    int index = 5;
    for (int level = 0; level < PathStackLevels; level++) {
        ASSERT_EQ(PUSH_DONE, PushPath(&stack, keyPath, "k", &index)) << level;
        expected += "\\k";
        EXPECT_EQ(expected, keyPath);
        EXPECT_EQ(0, index);
        index = 10 + level; // where the walk stands in this level when it goes down
    }
    EXPECT_EQ(PUSH_TOO_DEEP, PushPath(&stack, keyPath, "k", &index));
    EXPECT_EQ(expected, keyPath);
    EXPECT_EQ(10 + PathStackLevels - 1, index);
    EXPECT_EQ(PathStackLevels - 1, stack.top);
    for (int level = PathStackLevels - 1; level >= 0; level--) {
        EXPECT_EQ(level == 0 ? 5 : 10 + level - 1, PopPath(&stack, keyPath));
        expected.resize(expected.size() - 2);
        EXPECT_EQ(expected, keyPath);
    }
    EXPECT_EQ(-1, PopPath(&stack, keyPath));
    EXPECT_EQ(-1, stack.top);
    EXPECT_STREQ("software\\kestovan", keyPath);
}

TEST(PathStack, RefusesAKeyPathOver399Characters)
{
    PathStack stack;
    ResetPathStack(&stack);
    char keyPath[KeyPathSize];
    std::string start = "software\\" + std::string(200, 'v');
    strcpy(keyPath, start.c_str()); // 209 characters
    int index = 3;
    std::string fits(189, 'a'); // 209 + 1 + 189 = 399
    std::string tooLong(190, 'b');
    EXPECT_EQ(PUSH_TOO_LONG, PushPath(&stack, keyPath, tooLong.c_str(), &index));
    EXPECT_EQ(start, keyPath);
    EXPECT_EQ(3, index);
    EXPECT_EQ(-1, stack.top);
    EXPECT_EQ(PUSH_DONE, PushPath(&stack, keyPath, fits.c_str(), &index));
    EXPECT_EQ(start + "\\" + fits, keyPath);
    EXPECT_EQ(3, PopPath(&stack, keyPath));
    EXPECT_EQ(start, keyPath);
}

class Walk : public HostMachineTest {
protected:
    void SetUp() override
    {
        HostMachineTest::SetUp();
        folder = Folder("Plug-ins");
        StartDiagnosticLog();
    }
    // The log line of one qualifying value: hive label, key path and name, each with two blanks.
    static std::string Line(const char *label, const std::string &keyPath, const std::string &name,
                            const std::string &trimmed, const char *mark = "x32 ")
    {
        return std::string(mark) + label + "  " + keyPath + "  " + name + "  " + "  " + trimmed + "\r\n";
    }
    std::string folder;
};

const char *const Hkcu = "HKEY_CURRENT_USER ";
const char *const Hklm = "HKEY_LOCAL_MACHINE";

struct QualifyCase {
    const char *label;
    const char *vendor; // as WalkVendorKey gets it; the key written is Software\<key>
    const char *filter;
    const char *key;
    const char *name;
    DWORD type;
    const char *data;       // %F: an existing folder
    const char *taggedKey;  // the key path of the tag; NULL: the value does not qualify
    const char *taggedName; // the value name of the tag
    const char *trimmed;    // the logged path
};

const QualifyCase QualifyCases[] = {
    {"PlugInName", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_SZ, "%F",
     "software\\adobe\\photoshop\\12.0", "pluginpath", "%F"},
    {"PlugInNameInCapitals", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PLUG-INS DIR", REG_SZ, "%F",
     "software\\adobe\\photoshop\\12.0", "plug-ins dir", "%F"},
    {"FilterWordInAnyCase", "adobe", "photoshop", "Adobe\\PHOTOSHOP Elements\\5.0", "PlugInDir", REG_SZ, "%F",
     "software\\adobe\\photoshop elements\\5.0", "plugindir", "%F"},
    {"OutsideTheFilterWord", "adobe", "photoshop", "Adobe\\Illustrator\\12.0", "PluginPath", REG_SZ, "%F", NULL, NULL, NULL},
    {"PlugKeyOutsideTheFilterWord", "adobe", "photoshop", "Adobe\\Plug-ins", "Folder", REG_SZ, "%F", NULL, NULL, NULL},
    {"VendorKeyItselfLacksTheFilterWord", "adobe", "photoshop", "Adobe", "PluginPath", REG_SZ, "%F", NULL, NULL, NULL},
    // Found through the key path: the name keeps the registry's letter case.
    {"PlugInKeyPathKeepsTheNameAsStored", "adobe", "photoshop", "Adobe\\Photoshop\\12.0\\Plug-Ins", "Folder Path",
     REG_SZ, "%F", "software\\adobe\\photoshop\\12.0\\plug-ins", "Folder Path", "%F"},
    {"Directory2InMixedCase", "adobe", "photoshop", "Adobe\\Photoshop\\Settings", "DirectoRY2", REG_SZ, "%F",
     "software\\adobe\\photoshop\\settings", "directory2", "%F"},
    {"Directory1", "corel", "paint", "Corel\\Paint Shop Pro\\X2", "Directory1", REG_SZ, "%F",
     "software\\corel\\paint shop pro\\x2", "directory1", "%F"},
    {"Directory3InsideTheName", "jasc", "paint", "Jasc\\Paint Shop Pro\\8", "MyDirectory3Path", REG_SZ, "%F",
     "software\\jasc\\paint shop pro\\8", "mydirectory3path", "%F"},
    {"Directory4", "adobe", "photoshop", "Adobe\\Photoshop\\Settings", "Directory4", REG_SZ, "%F", NULL, NULL, NULL},
    {"DirectoryAlone", "adobe", "photoshop", "Adobe\\Photoshop\\Settings", "Directory", REG_SZ, "%F", NULL, NULL, NULL},
    {"ExpandStringNeverQualifies", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_EXPAND_SZ,
     "%F", NULL, NULL, NULL},
    {"DwordNeverQualifies", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_DWORD, "", NULL, NULL, NULL},
    {"BlanksAndAQuoteBeforeTheDrive", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_SZ,
     "  \"%F\"", "software\\adobe\\photoshop\\12.0", "pluginpath", "%F"},
    {"FileNameAfterThePath", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_SZ,
     "%F\\filter.8bf", "software\\adobe\\photoshop\\12.0", "pluginpath", "%F\\"},
    {"NoLetter", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_SZ, "1234\\5678", NULL, NULL, NULL},
    {"RelativePath", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_SZ, "Plug-ins\\Sub", NULL, NULL, NULL},
    {"BareWord", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_SZ, "photoshop", NULL, NULL, NULL},
    {"OneLetter", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_SZ, "C", NULL, NULL, NULL},
    {"NetworkPath", "adobe", "photoshop", "Adobe\\Photoshop\\12.0", "PluginPath", REG_SZ, "\\\\server\\share", NULL, NULL, NULL},
    {"EmptyFilterAnyKey", "kestovan", "", "Kestovan\\Pencraft\\Deep", "PluginFolder", REG_SZ, "%F",
     "software\\kestovan\\pencraft\\deep", "pluginfolder", "%F"},
    {"EmptyFilterStartKey", "kestovan", "", "Kestovan", "Plugins", REG_SZ, "%F", "software\\kestovan", "plugins",
     "%F"},
    {"EmptyFilterStillNeedsPlugOrDirectory", "kestovan", "", "Kestovan\\Pencraft", "InstallPath", REG_SZ, "%F",
     NULL, NULL, NULL},
    {"XaraX", "xara", "xarax", "Xara\\XaraX\\Plugins", "Path", REG_SZ, "%F", "software\\xara\\xarax\\plugins",
     "Path", "%F"},
    {"XaraWithoutX", "xara", "xarax", "Xara\\Xara Photo\\Plugins", "Path", REG_SZ, "%F", NULL, NULL, NULL},
};

class WalkQualifies : public Walk, public testing::WithParamInterface<QualifyCase> {};

TEST_P(WalkQualifies, ReportsExactlyTheMarkedDrivePaths)
{
    const QualifyCase &c = GetParam();
    std::string key = std::string("Software\\") + c.key;
    std::string data = c.data;
    size_t at = data.find("%F");
    if (at != std::string::npos)
        data.replace(at, 2, folder);
    if (c.type == REG_DWORD)
        SeedDword(HKEY_LOCAL_MACHINE, key, c.name, 1);
    else
        SeedString(HKEY_LOCAL_MACHINE, key, c.name, data, 0, c.type);
    WalkVendorKey("software", c.vendor, c.filter);
    if (!c.taggedKey) {
        EXPECT_EQ("", DiagnosticLogText());
        EXPECT_TRUE(CandidatePaths().empty());
        return;
    }
    std::string trimmed = c.trimmed;
    trimmed.replace(0, 2, folder);
    EXPECT_EQ(LogHeader() + Line(Hklm, c.taggedKey, c.taggedName, trimmed), DiagnosticLogText());
    EXPECT_EQ(std::vector<std::string>{Listed + "\\Plug-Ins\\"}, CandidatePaths());
}

INSTANTIATE_TEST_SUITE_P(Cases, WalkQualifies, testing::ValuesIn(QualifyCases),
                         [](const testing::TestParamInfo<QualifyCase> &info) { return std::string(info.param.label); });

// Depth first, pre-order: a key's values, then each sub-key's whole tree in index order;
// HKEY_CURRENT_USER before HKEY_LOCAL_MACHINE.
TEST_F(Walk, PreOrderAcrossSiblingsAndHives)
{
    struct Seed {
        HKEY hive;
        const char *key;
        const char *name;
    } seeds[] = {
        // In the order the walk must report them.
        {HKEY_CURRENT_USER, "Software\\Kestovan", "Plug0"},
        {HKEY_CURRENT_USER, "Software\\Kestovan\\A", "PlugA1"},
        {HKEY_CURRENT_USER, "Software\\Kestovan\\A", "PlugA2"},
        {HKEY_CURRENT_USER, "Software\\Kestovan\\A\\B", "PlugB"},
        {HKEY_CURRENT_USER, "Software\\Kestovan\\A\\B\\Deep", "PlugDeep"}, // before anything of A\C
        {HKEY_CURRENT_USER, "Software\\Kestovan\\A\\C", "PlugC"},
        {HKEY_CURRENT_USER, "Software\\Kestovan\\D", "PlugD"},
        {HKEY_LOCAL_MACHINE, "Software\\Kestovan", "PlugM"},
        {HKEY_LOCAL_MACHINE, "Software\\Kestovan\\A", "PlugMA"},
    };
    std::string expected = LogHeader();
    std::vector<std::string> listed;
    for (const Seed &s : seeds) {
        std::string path = Folder(std::string("F") + s.name);
        SeedString(s.hive, s.key, s.name, path);
        std::string keyPath = s.key, name = s.name;
        LowerAscii(&keyPath[0]);
        LowerAscii(&name[0]);
        expected += Line(s.hive == HKEY_CURRENT_USER ? Hkcu : Hklm, keyPath, name, path);
        listed.push_back(Listed + "\\F" + name + "\\"); // "Fplug0": no word starts after F
    }
    WalkVendorKey("software", "kestovan", "");
    EXPECT_EQ(expected, DiagnosticLogText());
    EXPECT_EQ(listed, CandidatePaths());
    EXPECT_EQ(0, ValueCursor);
    EXPECT_EQ(0, RegistryView);
}

TEST_F(Walk, VendorKeyOnlyInTheMachineHive)
{
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Adobe\\Photoshop\\12.0", "PluginPath", folder);
    WalkVendorKey("software", "adobe", "photoshop");
    EXPECT_EQ(LogHeader() + Line(Hklm, "software\\adobe\\photoshop\\12.0", "pluginpath", folder),
              DiagnosticLogText());
}

TEST_F(Walk, MissingVendorKeyFindsNothing)
{
    WalkVendorKey("software", "adobe", "photoshop");
    EXPECT_EQ("", DiagnosticLogText());
    EXPECT_TRUE(CandidatePaths().empty());
    EXPECT_EQ(0, ValueCursor);
}

// A value too large for the buffers ends its key's values; the key's sub-keys are still walked.
TEST_F(Walk, OversizedValueEndsOnlyItsKeysValues)
{
    std::string second = Folder("Second"), third = Folder("Third");
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Kestovan\\K", "a Plug", folder);
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Kestovan\\K", "b Plug", "C:\\" + std::string(297, 'x'));
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Kestovan\\K", "c Plug", second);
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Kestovan\\K\\Sub", "Plug", third);
    WalkVendorKey("software", "kestovan", "");
    EXPECT_EQ(LogHeader() + Line(Hklm, "software\\kestovan\\k", "a plug", folder) +
                  Line(Hklm, "software\\kestovan\\k\\sub", "plug", third),
              DiagnosticLogText());
}

// The walk sees the view RegistryView selects; on 32-bit Windows there is only one.
TEST_F(Walk, ReadsTheSelectedView)
{
    std::string wide = Folder("Wide");
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Adobe\\Photoshop\\V32", "PluginPath", folder, 0);
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Adobe\\Photoshop\\V64", "PluginPath", wide, KEY_WOW64_64KEY);
    std::string line32 = Line(Hklm, "software\\adobe\\photoshop\\v32", "pluginpath", folder);
    std::string line64 = Line(Hklm, "software\\adobe\\photoshop\\v64", "pluginpath", wide, "x64 ");
    RegistryView = 1;
    WalkVendorKey("software", "adobe", "photoshop");
    std::string expected = LogHeader();
    if (InWin64Prefix())
        expected += line64;
    else // one view: both keys are there
        expected += Line(Hklm, "software\\adobe\\photoshop\\v32", "pluginpath", folder, "x64 ") + line64;
    EXPECT_EQ(expected, DiagnosticLogText());
    EXPECT_EQ(1, RegistryView); // the walk leaves the view alone
    RegistryView = 0;
    StartDiagnosticLog();
    ClearCandidates();
    WalkVendorKey("software", "adobe", "photoshop");
    expected = LogHeader() + line32;
    if (!InWin64Prefix())
        expected += Line(Hklm, "software\\adobe\\photoshop\\v64", "pluginpath", wide);
    EXPECT_EQ(expected, DiagnosticLogText());
}

// 25 levels below the start key: the walk reads 19 levels down, then goes on with the next sibling.
TEST_F(Walk, StopsNineteenLevelsDownAndGoesOn)
{
    std::string key = "Software\\Kestovan";
    std::string keyPath = "software\\kestovan";
    std::string expected = LogHeader();
    for (int level = 0; level <= 25; level++) {
        SeedString(HKEY_LOCAL_MACHINE, key, "Plug", folder);
        if (level <= PathStackLevels)
            expected += Line(Hklm, keyPath, "plug", folder);
        std::string name = (level + 1 < 10 ? "l0" : "l") + std::to_string(level + 1);
        key += "\\" + name;
        keyPath += "\\" + name;
    }
    std::string sibling = Folder("Sibling");
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Kestovan\\m", "Plug", sibling);
    expected += Line(Hklm, "software\\kestovan\\m", "plug", sibling);
    WalkVendorKey("software", "kestovan", "");
    EXPECT_EQ(expected, DiagnosticLogText());
    EXPECT_EQ((std::vector<std::string>{Listed + "\\Plug-Ins\\", Listed + "\\Sibling\\"}), CandidatePaths());
}

// A sub-key whose key path would pass 399 characters is passed over, and its later siblings are walked.
// A tag longer than 399 characters is cut there.
TEST_F(Walk, LongKeyPathsAndTags)
{
    std::string parentName(230, 'p');
    std::string parent = "Software\\Kestovan\\" + parentName;       // key path of 248 characters
    std::string parentPath = "software\\kestovan\\" + parentName;
    SeedString(HKEY_LOCAL_MACHINE, parent + "\\a" + std::string(159, 'a'), "Plug", folder); // 409: passed over
    SeedString(HKEY_LOCAL_MACHINE, parent + "\\b", "Plug", folder);
    std::string longName = "Plug" + std::string(251, 'X');
    SeedString(HKEY_LOCAL_MACHINE, parent, longName, folder);
    WalkVendorKey("software", "kestovan", "");
    std::string lowerName = "plug" + std::string(251, 'x');
    std::string tag = std::string(Hklm) + "  " + parentPath + "  " + lowerName + "  ";
    ASSERT_GT(tag.size(), 399u);
    EXPECT_EQ(LogHeader() + "x32 " + tag.substr(0, 399) + "  " + folder + "\r\n" +
                  Line(Hklm, parentPath + "\\b", "plug", folder),
              DiagnosticLogText());
}

} // namespace
