// Install action: payload kinds by bitness and folder, folder creation, results.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>

#include "core/install.h"
#include "core/state.h"
#include "core/text.h"
#include "payload/extract.h"
#include "tests/support/testing.h"

namespace {

const char *const Module32 = "Lumivortex.8bf";
const char *const Module64 = "Lumivortex(X64).8bf";

class Install : public testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(NULL);
        memset(SkipList, 0, sizeof SkipList);
        root = std::string("C:\\lvtest\\install\\") + TestCaseName();
        MakeFreshFolder(root);
    }
    void TearDown() override
    {
        SetCurrentDirectoryA("C:\\");
        RemoveTree(root);
        memset(SkipList, 0, sizeof SkipList);
    }
    int InstallInto(const std::string &folder, const char *const *names = nullptr, int count = 0)
    {
        BufSet(ChosenFolder, sizeof ChosenFolder, folder.c_str());
        return InstallIntoFolder(names, count);
    }
    std::string root;
};

struct KindCase {
    const char *folder; // below the test's root
    const char *on64[2]; // files expected on 64-bit Windows
};

// On 32-bit Windows every folder gets the 32-bit module only.
const KindCase KindCases[] = {
    {"\\Editor (64 Bit)\\", {Module64}},
    {"\\Program Files (x86)\\Editor\\", {Module32}},
    {"\\Both (64 and x86)\\", {Module64}}, // "(64" is tested first
    {"\\Plain Editor\\", {Module64, Module32}},
};

class InstallKinds : public Install, public testing::WithParamInterface<KindCase> {};

TEST_P(InstallKinds, FollowTheSystemAndTheFolderName)
{
    std::string folder = root + GetParam().folder;
    MakeFolders(folder.substr(0, folder.size() - 1));
    ASSERT_EQ(INSTALL_OK, InstallInto(folder));
    std::vector<std::string> expected;
    if (InWin64Prefix()) {
        for (const char *f : GetParam().on64)
            if (f)
                expected.push_back(f);
    } else {
        expected.push_back(Module32);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, ListFiles(folder));
}

INSTANTIATE_TEST_SUITE_P(Folders, InstallKinds, testing::ValuesIn(KindCases));

TEST_F(Install, CreatesTheVendorSubFolderUnderAnExistingParent)
{
    std::string folder = root + "\\Plug-Ins\\Kestovan\\";
    MakeFolders(root + "\\Plug-Ins");
    EXPECT_EQ(INSTALL_OK, InstallInto(folder));
    EXPECT_TRUE(FileExists(folder + Module32));
}

TEST_F(Install, AMissingParentDoesNothing)
{
    std::string folder = root + "\\Missing\\Kestovan\\";
    const char *names[] = {"Lumivortex"};
    EXPECT_EQ(INSTALL_FOLDER_UNUSABLE, InstallInto(folder, names, 1));
    EXPECT_FALSE(FolderExists(root + "\\Missing"));
    EXPECT_STREQ("", SkipList[0].path);
}

TEST_F(Install, TheBrowseEntryIsNoFolder)
{
    SetCurrentDirectoryA(root.c_str()); // a relative name must not land here either
    EXPECT_EQ(INSTALL_FOLDER_UNUSABLE, InstallInto("******** BROWSE ********"));
    EXPECT_TRUE(ListFiles(root).empty());
}

TEST_F(Install, UntickedNamesGoToTheSkipList)
{
    const char *names[] = {"Lumivortex", "Other"};
    EXPECT_EQ(INSTALL_OK, InstallInto(root + "\\", names, 2));
    EXPECT_STREQ("Lumivortex", SkipList[0].path);
    EXPECT_STREQ("Other", SkipList[1].path);
    EXPECT_TRUE(ListFiles(root).empty());
}

TEST_F(Install, SaysWhenAModuleCouldNotBeWritten)
{
    // The module's name is taken by a folder: the file cannot be put in place.
    ASSERT_TRUE(CreateDirectoryA((root + "\\" + Module32).c_str(), NULL));
    if (InWin64Prefix()) {
        ASSERT_TRUE(CreateDirectoryA((root + "\\" + Module64).c_str(), NULL));
    }
    EXPECT_EQ(INSTALL_INCOMPLETE, InstallInto(root + "\\"));
    EXPECT_TRUE(ListFiles(root).empty()); // no partial file left behind
}

TEST_F(Install, InstalledModulesAreImagesOfTheirMachine)
{
    ASSERT_EQ(INSTALL_OK, InstallInto(root + "\\"));
    struct {
        const char *file;
        WORD machine;
    } modules[] = {{Module32, IMAGE_FILE_MACHINE_I386}, {Module64, IMAGE_FILE_MACHINE_AMD64}};
    for (const auto &m : modules) {
        std::vector<unsigned char> image = ReadFileBytes(root + "\\" + m.file);
        if (m.machine == IMAGE_FILE_MACHINE_AMD64 && !InWin64Prefix()) {
            EXPECT_TRUE(image.empty());
            continue;
        }
        ASSERT_GT(image.size(), 0x100u);
        ASSERT_EQ('M', image[0]);
        ASSERT_EQ('Z', image[1]);
        DWORD pe = *(const DWORD *)&image[0x3C];
        ASSERT_LT(pe + 6, image.size());
        EXPECT_EQ(0, memcmp(&image[pe], "PE\0\0", 4));
        EXPECT_EQ(m.machine, *(const WORD *)&image[pe + 4]) << m.file;
    }
}

} // namespace
