// The host scan on a seeded machine: its fixed order, both Photoshop views, the App Paths and PI3.Image hosts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/state.h"
#include "discovery/registry.h"
#include "discovery/scan.h"
#include "tests/discovery/discovery_testing.h"
#include "tests/support/testing.h"

namespace {

const char *const AppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\fireworks.exe";
const char *const OpenCommand = "PI3.Image\\shell\\open\\command";
const REGSAM View64 = KEY_WOW64_64KEY; // ignored in the 32-bit prefix, where there is one view

using Scan = HostMachineTest;

std::vector<int> ViewFlags()
{
    std::vector<int> flags;
    for (const CandidateFolder &record : CandidateList)
        if (record.path[0])
            flags.push_back(record.foundIn64BitView);
    return flags;
}

TEST_F(Scan, EveryHostInTheFixedOrder)
{
    bool win64 = InWin64Prefix();
    // Written in an order unlike the scan's, with a decoy for each filter.
    SeedString(HKEY_CLASSES_ROOT, OpenCommand, "", "\"" + Folder("Photoimpact") + "\\pi3.exe\" \"%1\"");
    Folder("Photoimpact\\plugin");
    SeedString(HKEY_LOCAL_MACHINE, AppPaths, "", Folder("Fireworks 8") + "\\Fireworks.exe");
    Folder("Fireworks 8\\Plug-ins");
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Xara\\XaraX\\Plugins", "Path", Folder("Xara\\Plugins"));
    SeedString(HKEY_CURRENT_USER, "Software\\Jasc\\Paint Shop Pro 8\\Plug-ins", "Directory1", Folder("Jasc\\Plugins"));
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Corel\\Paint Shop Pro\\X2\\Plugins", "Dir", Folder("Corel\\Plugins"));
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Corel\\Draw\\Plugins", "Dir", Folder("Draw\\Plugins"));
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Adobe\\Illustrator\\Plug-ins", "Path", Folder("Illustrator\\Plug-ins"));
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Adobe\\Photoshop\\11.0", "PluginPath", Folder("Photoshop CS4\\Plug-ins"),
               0);
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Adobe\\Photoshop\\120.0", "PluginPath",
               Folder("Photoshop 2024 (64 Bit)\\Plug-ins"), View64);
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Kestovan\\Tessaly", "Directory2", Folder("Own2"));
    SeedString(HKEY_CURRENT_USER, "Software\\Kestovan\\Pencraft", "PluginFolder", Folder("Own\\Plug-ins\\Kestovan"));
    if (win64) // the maker's key is searched in the 32-bit view only
        SeedString(HKEY_LOCAL_MACHINE, "Software\\Kestovan\\Wide", "Plugins", Folder("Wide"), View64);
    StartDiagnosticLog();

    ScanHostFolders();

    std::string ps64 = "HKEY_LOCAL_MACHINE  software\\adobe\\photoshop\\120.0  pluginpath    %R\\Photoshop 2024 (64 Bit)"
                       "\\Plug-ins\r\n";
    std::string ps32 = "HKEY_LOCAL_MACHINE  software\\adobe\\photoshop\\11.0  pluginpath    %R\\Photoshop CS4\\Plug-ins"
                       "\r\n";
    std::string log = LogHeader() + "x32 HKEY_CURRENT_USER   software\\kestovan\\pencraft  pluginfolder    "
                                    "%R\\Own\\Plug-ins\\Kestovan\r\n"
                                    "x32 HKEY_LOCAL_MACHINE  software\\kestovan\\tessaly  directory2    %R\\Own2\r\n" +
                      (win64 ? "x64 " + ps64 + "x32 " + ps32 : "x32 " + ps32 + "x32 " + ps64) +
                      "x32 HKEY_LOCAL_MACHINE  software\\corel\\paint shop pro\\x2\\plugins  Dir    %R\\Corel\\Plugins\r\n"
                      "x32 HKEY_CURRENT_USER   software\\jasc\\paint shop pro 8\\plug-ins  Directory1    "
                      "%R\\Jasc\\Plugins\r\n"
                      "x32 HKEY_LOCAL_MACHINE  software\\xara\\xarax\\plugins  Path    %R\\Xara\\Plugins\r\n"
                      "x32 appath  %R\\Fireworks 8\\plug-ins\r\n"
                      "x32 shell  %R\\Photoimpact\\plugin\r\n";
    EXPECT_EQ(Expand(log), DiagnosticLogText());

    std::string ps64Listed = "%L\\Photoshop 2024 (64 Bit)\\Plug-Ins\\", ps32Listed = "%L\\Photoshop Cs4\\Plug-Ins\\";
    std::vector<std::string> listed = {"%L\\Own\\Plug-Ins\\", "%L\\Own2\\"};
    listed.push_back(win64 ? ps64Listed : ps32Listed);
    listed.push_back(win64 ? ps32Listed : ps64Listed);
    for (const char *p : {"%L\\Corel\\Plugins\\", "%L\\Jasc\\Plugins\\", "%L\\Xara\\Plugins\\",
                          "%L\\Fireworks 8\\Plug-Ins\\", "%L\\Photoimpact\\Plugin\\"})
        listed.push_back(p);
    for (std::string &p : listed)
        p = Expand(p);
    EXPECT_EQ(listed, CandidatePaths());
    EXPECT_EQ((std::vector<int>{0, 0, win64, 0, 0, 0, 0, 0, 0}), ViewFlags());
    EXPECT_EQ(0, RegistryView);
    EXPECT_EQ(0, ValueCursor);
}

// One Photoshop folder in both views is stored once, as found in the 64-bit view; HKEY_CURRENT_USER
// is one key for both views, so a folder there is found by both passes.
struct BothViewsCase {
    const char *label;
    HKEY hive;
    const char *hiveLabel;
};

class ScanBothViews : public Scan, public testing::WithParamInterface<BothViewsCase> {};

TEST_P(ScanBothViews, PhotoshopFolderStoredOnce)
{
    const BothViewsCase &c = GetParam();
    std::string folder = Folder("Photoshop\\Plug-ins");
    for (REGSAM view : RegistryViews())
        SeedString(c.hive, "Software\\Adobe\\Photoshop\\12.0", "PluginPath", folder, view);
    StartDiagnosticLog();
    ScanHostFolders();
    std::string line = std::string(c.hiveLabel) + "  software\\adobe\\photoshop\\12.0  pluginpath    " + folder + "\r\n";
    if (InWin64Prefix()) {
        EXPECT_EQ(LogHeader() + "x64 " + line + "x32 " + line, DiagnosticLogText());
        EXPECT_EQ(std::vector<int>{1}, ViewFlags());
    } else {
        EXPECT_EQ(LogHeader() + "x32 " + line, DiagnosticLogText());
        EXPECT_EQ(std::vector<int>{0}, ViewFlags());
    }
    EXPECT_EQ(std::vector<std::string>{Listed + "\\Photoshop\\Plug-Ins\\"}, CandidatePaths());
}

INSTANTIATE_TEST_SUITE_P(Hives, ScanBothViews,
                         testing::Values(BothViewsCase{"Machine", HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
                                         BothViewsCase{"User", HKEY_CURRENT_USER, "HKEY_CURRENT_USER "}),
                         [](const testing::TestParamInfo<BothViewsCase> &info) { return std::string(info.param.label); });

TEST_F(Scan, EmptyMachineFindsNothing)
{
    StartDiagnosticLog();
    RegistryView = 1;
    ScanHostFolders();
    EXPECT_TRUE(CandidatePaths().empty());
    EXPECT_EQ("", DiagnosticLogText());
    EXPECT_EQ(0, RegistryView);
}

// The hosts known by one default value: the Fireworks App Paths entry and the PI3.Image open command.
struct DefaultHostCase {
    const char *label;
    HKEY root;
    const char *key;
    const char *value;   // %R: Root
    DWORD type;
    REGSAM view;
    const char *folders[2]; // created below Root
    const char *logged;     // the line after "x32 "; NULL: nothing found
    const char *listed;
};

const DefaultHostCase DefaultHostCases[] = {
    {"FireworksPlugIns", HKEY_LOCAL_MACHINE, AppPaths, "%R\\Fireworks 8\\Fireworks.exe", REG_SZ, 0,
     {"Fireworks 8\\Plug-ins"}, "appath  %R\\Fireworks 8\\plug-ins", "%L\\Fireworks 8\\Plug-Ins\\"},
    // No plug-ins folder: the trim comes back to the program's own folder.
    {"FireworksProgramFolder", HKEY_LOCAL_MACHINE, AppPaths, "%R\\Fireworks 8\\Fireworks.exe", REG_SZ, 0,
     {"Fireworks 8"}, "appath  %R\\Fireworks 8\\", "%L\\Fireworks 8\\"},
    {"FireworksMissingFolder", HKEY_LOCAL_MACHINE, AppPaths, "%R\\Fireworks 8\\Fireworks.exe", REG_SZ, 0, {}, NULL, NULL},
    {"FireworksExpandString", HKEY_LOCAL_MACHINE, AppPaths, "%R\\Fireworks 8\\Fireworks.exe", REG_EXPAND_SZ, 0,
     {"Fireworks 8\\Plug-ins"}, NULL, NULL},
    {"FireworksRelativePath", HKEY_LOCAL_MACHINE, AppPaths, "Fireworks.exe", REG_SZ, 0, {"Fireworks 8"}, NULL, NULL},
    {"QuotedProgramAndQuotedArgument", HKEY_CLASSES_ROOT, OpenCommand, "\"%R\\Photoimpact\\pi3.exe\" \"%1\"",
     REG_SZ, 0, {"Photoimpact\\plugin"}, "shell  %R\\Photoimpact\\plugin", "%L\\Photoimpact\\Plugin\\"},
    {"QuotedProgramWithoutPluginFolder", HKEY_CLASSES_ROOT, OpenCommand, "\"%R\\Photoimpact\\pi3.exe\" \"%1\"",
     REG_SZ, 0, {"Photoimpact"}, "shell  %R\\Photoimpact\\", "%L\\Photoimpact\\"},
    {"UnquotedProgram", HKEY_CLASSES_ROOT, OpenCommand, "%R\\Photoimpact\\pi3.exe %1", REG_SZ, 0,
     {"Photoimpact\\plugin"}, "shell  %R\\Photoimpact\\plugin", "%L\\Photoimpact\\Plugin\\"},
};

class ScanDefaultHosts : public Scan, public testing::WithParamInterface<DefaultHostCase> {};

TEST_P(ScanDefaultHosts, FindTheFolderBesideTheProgram)
{
    const DefaultHostCase &c = GetParam();
    for (const char *f : c.folders)
        if (f)
            Folder(f);
    SeedString(c.root, c.key, "", Expand(c.value), c.view, c.type);
    StartDiagnosticLog();
    ScanHostFolders();
    if (!c.logged) {
        EXPECT_EQ("", DiagnosticLogText());
        EXPECT_TRUE(CandidatePaths().empty());
        return;
    }
    EXPECT_EQ(LogHeader() + "x32 " + Expand(c.logged) + "\r\n", DiagnosticLogText());
    EXPECT_EQ(std::vector<std::string>{Expand(c.listed)}, CandidatePaths());
}

INSTANTIATE_TEST_SUITE_P(Cases, ScanDefaultHosts, testing::ValuesIn(DefaultHostCases),
                         [](const testing::TestParamInfo<DefaultHostCase> &info) { return std::string(info.param.label); });

} // namespace
