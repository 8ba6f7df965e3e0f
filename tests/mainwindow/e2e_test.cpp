// End to end: the real LumivortexSetup.exe on a seeded machine, driven by real input.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/mainwindow/driver.h"
#include "tests/support/testing.h"

namespace {

const char *const Browse = "******** BROWSE ********";
const char *const Root = "C:\\lvroot";

// Client positions of the installer's layout.
const POINT InstallButton = {475 + 30, 299 + 9};
const POINT FinishButton = {535 + 30, 299 + 9};
const POINT CheckBox = {290 + 6, 100 + 6};
const POINT Badge32 = {480, 236};
const POINT Badge64 = {510, 236};
const POINT Link = {458 + 4, 20 + 5};
const RECT HintLine = {20, 301, 451, 320};

std::string Env(const char *name)
{
    const char *v = getenv(name);
    return v ? v : "";
}

std::string InstallerPath()
{
    return WindowsPath(Env("LV_INSTALLER"));
}

const REGSAM View32 = 0;              // what a 32-bit program sees without flags
const REGSAM View64 = KEY_WOW64_64KEY; // the 64-bit view (the only view on 32-bit Windows)

void SetString(HKEY root, const std::string &key, const char *name, const std::string &data, REGSAM view = View32)
{
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_WRITE | view, NULL, &k, NULL)) << key;
    RegSetValueExA(k, name, 0, REG_SZ, (const BYTE *)data.c_str(), (DWORD)data.size() + 1);
    RegCloseKey(k);
}

// Every key the installer's scan reads, in both views.
void ClearMachine()
{
    const char *vendors[] = {"Software\\Kestovan", "Software\\Adobe", "Software\\Corel", "Software\\Jasc", "Software\\Xara"};
    for (REGSAM view : {View32, View64}) {
        for (const char *v : vendors) {
            DeleteRegTree(HKEY_CURRENT_USER, v, view);
            DeleteRegTree(HKEY_LOCAL_MACHINE, v, view);
        }
        DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\fireworks.exe", view);
    }
    DeleteRegTree(HKEY_CLASSES_ROOT, "PI3.Image");
    DeleteFileA("C:\\inst581.txt");
}

class E2E : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        art = LoadLibraryExA(InstallerPath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        artifacts = Env("LV_ARTIFACTS") + "/" + Env("LV_ARCH");
        CreateDirectoryA(WindowsPath(artifacts).c_str(), NULL);
    }
    void SetUp() override
    {
        ASSERT_TRUE(art) << InstallerPath();
        ClearMachine();
        MakeFreshFolder(Root);
    }
    void TearDown() override
    {
        ClearMachine();
        RemoveTree(Root);
        RemoveTree("C:\\Program Files\\Lvtest Editors");
        RemoveTree("C:\\Program Files (x86)\\Lvtest Editors");
    }
    // Saves the window as a test artifact (artifacts/<arch>/<name>.bmp).
    void Screenshot(const InstallerProcess &p, const std::string &name)
    {
        p.Grab().SaveBmp(WindowsPath(artifacts + "/" + name + ".bmp"));
    }
    bool Shows(const Capture &cap, int id, POINT at)
    {
        return CountMismatches(cap, LoadBitmapPixels(art, id), at.x, at.y) == 0;
    }
    // A hidden element leaves the background there.
    bool ShowsBackground(const Capture &cap, int id, POINT at)
    {
        Capture element = LoadBitmapPixels(art, id);
        Capture background = LoadBitmapPixels(art, 222);
        for (int j = 0; j < element.height; j++)
            for (int i = 0; i < element.width; i++)
                if (cap.At(at.x + i, at.y + j) != background.At(at.x + i, at.y + j))
                    return false;
        return true;
    }
    std::vector<unsigned char> Payload(int type, const char *name)
    {
        HRSRC res = FindResourceA(art, name, MAKEINTRESOURCEA(type));
        if (!res)
            return {};
        const unsigned char *p = (const unsigned char *)LockResource(LoadResource(art, res));
        return std::vector<unsigned char>(p, p + SizeofResource(art, res));
    }
    // A single Photoshop with its plug-in folder, found through HKCU.
    std::string SeedOneEditor()
    {
        std::string plugins = std::string(Root) + "\\Editor\\Plug-ins";
        MakeFolders(plugins);
        SetString(HKEY_CURRENT_USER, "Software\\Adobe\\Photoshop\\9.0", "PluginPath", plugins);
        return "C:\\Lvroot\\Editor\\Plug-Ins\\Kestovan\\";
    }

    static HMODULE art;
    static std::string artifacts;
};

HMODULE E2E::art;
std::string E2E::artifacts;

struct Editor {
    HKEY root;
    const char *key;
    const char *value;
    const char *data;   // what the registry holds
    const char *folder; // folder to create
    bool only64;        // in the 64-bit view only: absent on 32-bit Windows
    REGSAM view;
};

// Photoshop in both views (one folder in both, one 64-bit only, one x86 only),
// Paint Shop Pro, the Fireworks App Paths entry and the PI3.Image open command.
const char *const PF = "C:\\Program Files\\Lvtest Editors";
const char *const PF86 = "C:\\Program Files (x86)\\Lvtest Editors";

TEST_F(E2E, ListsEveryEditorInScanOrderWithTheRightBadges)
{
    bool win64 = InWin64Prefix();
    std::string ps5 = std::string(PF) + "\\Photoshop CS5\\Plug-ins";
    std::string ps2024 = std::string(PF) + "\\Photoshop 2024 (64 Bit)\\Plug-ins";
    std::string ps4 = std::string(PF86) + "\\Photoshop CS4\\Plug-ins";
    std::string psp = std::string(PF) + "\\Corel\\Paint Shop Pro X2\\PlugIns";
    std::string fw = std::string(PF) + "\\Fireworks 8";
    std::string pi = std::string(PF) + "\\Ulead PhotoImpact";
    for (const std::string &f : {ps5, ps2024, ps4, psp, fw + "\\plug-ins", pi + "\\Plugin"})
        MakeFolders(f);
    if (win64) {
        SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Photoshop\\12.0", "PluginPath", ps5 + "\\", View64);
        SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Photoshop\\13.0", "PluginPath", ps2024, View64);
    }
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Photoshop\\11.0", "PluginPath", ps4);
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Photoshop\\12.0", "PluginPath", ps5);
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Corel\\Paint Shop Pro\\X2", "PluginFolder", psp);
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\fireworks.exe", "", fw + "\\Fireworks.exe");
    SetString(HKEY_CLASSES_ROOT, "PI3.Image\\shell\\open\\command", "", "\"" + pi + "\\iedit.exe\" \"%1\"");

    std::vector<std::string> expected;
    if (win64) {
        expected = {"C:\\Program Files\\Lvtest Editors\\Photoshop Cs5\\Plug-Ins\\Kestovan\\",
            "C:\\Program Files\\Lvtest Editors\\Photoshop 2024 (64 Bit)\\Plug-Ins\\Kestovan\\",
            "C:\\Program Files (X86)\\Lvtest Editors\\Photoshop Cs4\\Plug-Ins\\Kestovan\\"};
    } else {
        expected = {"C:\\Program Files (X86)\\Lvtest Editors\\Photoshop Cs4\\Plug-Ins\\Kestovan\\",
            "C:\\Program Files\\Lvtest Editors\\Photoshop Cs5\\Plug-Ins\\Kestovan\\"};
    }
    for (const char *e : {"C:\\Program Files\\Lvtest Editors\\Corel\\Paint Shop Pro X2\\Plugins\\Kestovan\\",
             "C:\\Program Files\\Lvtest Editors\\Fireworks 8\\Plug-Ins\\Kestovan\\",
             "C:\\Program Files\\Lvtest Editors\\Ulead Photoimpact\\Plugin\\Kestovan\\", Browse})
        expected.push_back(e);

    InstallerProcess p(InstallerPath());
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitForMainWindow());
    EXPECT_EQ(expected, p.ListEntries());
    EXPECT_EQ(0, p.ListSelection());
    Screenshot(p, "choose-editors");

    // The badges show the builds each folder gets.
    for (int i = 0; i < (int)expected.size() - 1; i++) {
        if (i > 0)
            p.Choose(i);
        ASSERT_EQ(i, p.ListSelection());
        const std::string &entry = expected[i];
        bool want64 = win64 && entry.find("86)") == std::string::npos;
        bool want32 = !win64 || entry.find("(64") == std::string::npos;
        Capture cap = p.Grab();
        EXPECT_EQ(want32, Shows(cap, 224, Badge32)) << entry;
        EXPECT_EQ(want64, Shows(cap, 225, Badge64)) << entry;
        EXPECT_EQ(!want32, ShowsBackground(cap, 224, Badge32)) << entry;
        EXPECT_EQ(!want64, ShowsBackground(cap, 225, Badge64)) << entry;
        if (entry.find("(64") != std::string::npos)
            Screenshot(p, "choose-64bit-folder");
    }
    p.Key(VK_ESCAPE);
    DWORD code = 1;
    EXPECT_TRUE(p.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
}

enum CloseBy { ByFinishButton, ByEscape, ByEnter };

class E2EInstall : public E2E, public testing::WithParamInterface<CloseBy> {};

TEST_P(E2EInstall, WritesTheModulesIntoTheVendorFolderThenFinishes)
{
    std::string entry = SeedOneEditor();
    InstallerProcess p(InstallerPath());
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitForMainWindow());
    ASSERT_EQ((std::vector<std::string>{entry, Browse}), p.ListEntries());
    p.Click(InstallButton.x, InstallButton.y);

    std::string folder = std::string(Root) + "\\Editor\\Plug-ins\\Kestovan\\";
    std::vector<std::string> files = {"Lumivortex.8bf"};
    if (InWin64Prefix())
        files = {"Lumivortex(X64).8bf", "Lumivortex.8bf"};
    ASSERT_TRUE(WaitFor([&] { return ListFiles(folder) == files; }, 5000));
    EXPECT_EQ(Payload(3000, "LUMIVORTEX.8BF"), ReadFileBytes(folder + "Lumivortex.8bf"));
    if (InWin64Prefix())
        EXPECT_EQ(Payload(3001, "LUMIVORTEX(X64).8BF"), ReadFileBytes(folder + "Lumivortex(X64).8bf"));

    // The finish screen: the finish picture, FINISH, the list out of sight.
    Capture finish = LoadBitmapPixels(art, 213);
    ASSERT_TRUE(WaitFor([&] { return Shows(p.Grab(), 220, {535, 299}); }, 5000));
    Capture cap = p.Grab();
    EXPECT_LT(CountMismatches(cap, finish, 0, 0), finish.width * finish.height / 50); // the link is drawn over it
    EXPECT_FALSE(Shows(cap, 219, {475, 299}));
    RECT list;
    GetWindowRect(p.List(), &list);
    POINT top = {list.left, list.top};
    ScreenToClient(p.Window(), &top);
    EXPECT_GE(top.y, 320);
    if (GetParam() == ByFinishButton)
        Screenshot(p, "finish");

    switch (GetParam()) {
    case ByFinishButton: p.Click(FinishButton.x, FinishButton.y); break;
    case ByEscape: p.Key(VK_ESCAPE); break;
    case ByEnter: p.Key(VK_RETURN); break;
    }
    DWORD code = 1;
    EXPECT_TRUE(p.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
}

INSTANTIATE_TEST_SUITE_P(Close, E2EInstall, testing::Values(ByFinishButton, ByEscape, ByEnter));

TEST_F(E2E, UntickingThePluginHidesInstallAndEnterDoesNothing)
{
    SeedOneEditor();
    InstallerProcess p(InstallerPath());
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitForMainWindow());
    ASSERT_TRUE(Shows(p.Grab(), 219, {475, 299}));
    p.Click(CheckBox.x, CheckBox.y);
    ASSERT_TRUE(WaitFor([&] { return ShowsBackground(p.Grab(), 219, {475, 299}); }, 3000));
    Screenshot(p, "unticked");
    p.Key(VK_RETURN);
    Sleep(500);
    EXPECT_TRUE(p.Running());
    EXPECT_FALSE(FolderExists(std::string(Root) + "\\Editor\\Plug-ins\\Kestovan"));
    p.Click(CheckBox.x, CheckBox.y); // ticked again: INSTALL is back
    EXPECT_TRUE(WaitFor([&] { return Shows(p.Grab(), 219, {475, 299}); }, 3000));
}

TEST_F(E2E, AnEmptyMachineOffersOnlyBrowseAndInstallDoesNothing)
{
    InstallerProcess p(InstallerPath());
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitForMainWindow());
    EXPECT_EQ((std::vector<std::string>{Browse}), p.ListEntries());
    Capture cap = p.Grab();
    EXPECT_TRUE(Shows(cap, 224, Badge32));
    EXPECT_EQ(InWin64Prefix(), Shows(cap, 225, Badge64));
    p.Click(InstallButton.x, InstallButton.y);
    Sleep(500);
    EXPECT_TRUE(p.Running());
    cap = p.Grab();
    EXPECT_TRUE(Shows(cap, 219, {475, 299})); // still choosing
    EXPECT_TRUE(Shows(cap, 203, {537, 299}));
    Screenshot(p, "choose-empty");
}

// The browser's own window: select a folder in it and press OK, or cancel.
bool BrowseTo(const InstallerProcess &p, const std::string &folder)
{
    HWND browser = 0;
    if (!WaitFor([&] { return (browser = p.FindWindowTitled("Browse for Folder")) != 0; }, 5000))
        return false;
    Sleep(300);
    if (folder.empty())
        return SendMessageA(GetDlgItem(browser, IDCANCEL), BM_CLICK, 0, 0), true;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, p.Pid());
    void *remote = VirtualAllocEx(process, NULL, folder.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process, remote, folder.c_str(), folder.size() + 1, NULL);
    // The very first selection right after the window appears can be lost: repeat it.
    for (int i = 0; i < 3; i++) {
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, (LPARAM)remote);
        Sleep(200);
    }
    SendMessageA(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
    Sleep(300);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return true;
}

TEST_F(E2E, BrowsingListsOneChosenFolderAndCancellingReturnsToTheFirst)
{
    std::string entry = SeedOneEditor();
    std::string first = std::string(Root) + "\\Browsed\\Plug-ins";
    std::string second = std::string(Root) + "\\Other Host";
    MakeFolders(first);
    MakeFolders(second);
    InstallerProcess p(InstallerPath());
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitForMainWindow());

    p.Choose(1); // BROWSE
    HWND browser = 0;
    ASSERT_TRUE(WaitFor([&] { return (browser = p.FindWindowTitled("Browse for Folder")) != 0; }, 5000));
    Sleep(500);
    GrabWindow(browser).SaveBmp(WindowsPath(artifacts + "/browser.bmp"));
    ASSERT_TRUE(BrowseTo(p, first));
    ASSERT_TRUE(WaitFor([&] { return p.ListEntries().size() == 3; }, 3000));
    EXPECT_EQ((std::vector<std::string>{entry, first + "\\", Browse}), p.ListEntries());
    EXPECT_EQ(1, p.ListSelection());

    p.Choose(2); // BROWSE again
    ASSERT_TRUE(BrowseTo(p, second));
    ASSERT_TRUE(WaitFor([&] { return p.ListEntries()[1] == second + "\\"; }, 3000));
    EXPECT_EQ((std::vector<std::string>{entry, second + "\\", Browse}), p.ListEntries());
    EXPECT_EQ(1, p.ListSelection());

    p.Choose(2);
    ASSERT_TRUE(BrowseTo(p, "")); // cancel
    ASSERT_TRUE(WaitFor([&] { return p.ListSelection() == 0; }, 3000));
    EXPECT_EQ(3u, p.ListEntries().size());
}

TEST_F(E2E, ASecondCopyEndsAtOnceWhileTheFirstRuns)
{
    InstallerProcess first(InstallerPath());
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(first.WaitForMainWindow());
    InstallerProcess second(InstallerPath());
    ASSERT_TRUE(second.Start());
    DWORD code = 1;
    EXPECT_TRUE(second.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(first.Running());
    first.Key(VK_ESCAPE);
    EXPECT_TRUE(first.WaitForExit(5000, &code));
    // After the first has closed, a new copy runs normally.
    InstallerProcess third(InstallerPath());
    ASSERT_TRUE(third.Start());
    EXPECT_TRUE(third.WaitForMainWindow());
}

int WhitePixels(const Capture &cap, RECT r)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++)
            n += cap.At(x, y) == 0xFFFFFF;
    return n;
}

TEST_F(E2E, HoveringABadgeShowsItsHint)
{
    InstallerProcess p(InstallerPath());
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitForMainWindow());
    p.MoveTo(100, 150);
    int before = WhitePixels(p.Grab(), HintLine);
    p.MoveTo(Badge32.x + 10, Badge32.y + 9);
    ASSERT_TRUE(WaitFor([&] { return WhitePixels(p.Grab(), HintLine) > before + 50; }, 3000));
    Screenshot(p, "hint");
    p.MoveTo(100, 150);
    EXPECT_TRUE(WaitFor([&] { return WhitePixels(p.Grab(), HintLine) == before; }, 3000));
}

TEST_F(E2E, TheLinkOpensTheHelpPage)
{
    // The prefix's https handler becomes a recorder of the address it is given.
    std::string record = std::string(Root) + "\\opened.txt";
    const char *handler = "https\\shell\\open\\command";
    char saved[1024] = "";
    LONG cb = sizeof saved;
    bool hadHandler = RegQueryValueA(HKEY_CLASSES_ROOT, handler, saved, &cb) == ERROR_SUCCESS;
    SetString(HKEY_CLASSES_ROOT, handler, "", "\"" + WindowsPath(Env("LV_RECORDER")) + "\" \"" + record + "\" \"%1\"");
    InstallerProcess p(InstallerPath());
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitForMainWindow());
    p.Click(Link.x, Link.y);
    ASSERT_TRUE(WaitFor([&] { return FileExists(record); }, 10000));
    Sleep(200);
    std::vector<unsigned char> bytes = ReadFileBytes(record);
    EXPECT_EQ("https://www.kestovan.example/help/install", std::string(bytes.begin(), bytes.end()));
    if (hadHandler)
        SetString(HKEY_CLASSES_ROOT, handler, "", saved);
}

TEST_F(E2E, AFolderThatCannotBeWrittenIsReportedAndNoFinishScreenShows)
{
    std::string entry = SeedOneEditor();
    std::string folder = std::string(Root) + "\\Editor\\Plug-ins\\Kestovan";
    MakeFolders(folder);
    // The module names are taken by folders: no module file can be put there.
    CreateDirectoryA((folder + "\\Lumivortex.8bf").c_str(), NULL);
    CreateDirectoryA((folder + "\\Lumivortex(X64).8bf").c_str(), NULL);
    InstallerProcess p(InstallerPath());
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitForMainWindow());
    p.Click(InstallButton.x, InstallButton.y);
    HWND box = 0;
    ASSERT_TRUE(WaitFor([&] { return (box = p.FindWindowTitled("Lumivortex Setup")) != 0; }, 5000));
    Sleep(300);
    GrabWindow(box).SaveBmp(WindowsPath(artifacts + "/not-writable.bmp"));
    SendMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 3000));
    Sleep(300);
    Capture cap = p.Grab();
    EXPECT_TRUE(Shows(cap, 219, {475, 299})); // still choosing: INSTALL, no FINISH
    EXPECT_FALSE(Shows(cap, 220, {535, 299}));
    EXPECT_TRUE(ListFiles(folder).empty()); // no partial file
    EXPECT_TRUE(p.Running());
}

TEST_F(E2E, TheDiagnosticLogGetsALinePerFolderWhenItExists)
{
    WriteFileBytes("C:\\inst581.txt", "");
    std::string a = std::string(Root) + "\\Ps\\Plug-ins";
    std::string b = std::string(Root) + "\\Psp\\Plugins";
    MakeFolders(a);
    MakeFolders(b);
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Photoshop\\8.0", "PluginPath", a + "\\");
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Corel\\Paint Shop Pro\\9", "PlugIns", b);
    InstallerProcess p(InstallerPath());
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitForMainWindow());
    p.Key(VK_ESCAPE);
    DWORD code;
    ASSERT_TRUE(p.WaitForExit(5000, &code));
    std::vector<unsigned char> bytes = ReadFileBytes("C:\\inst581.txt");
    std::string expected = std::string("\r\n\r\n") + (InWin64Prefix() ? "Wow64" : "x(86)") + "\r\n" +
        "x32 HKEY_LOCAL_MACHINE  software\\adobe\\photoshop\\8.0  pluginpath    " + a + "\r\n" +
        "x32 HKEY_LOCAL_MACHINE  software\\corel\\paint shop pro\\9  plugins    " + b + "\r\n";
    EXPECT_EQ(expected, std::string(bytes.begin(), bytes.end()));
}

} // namespace
