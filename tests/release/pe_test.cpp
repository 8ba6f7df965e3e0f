// The built LumivortexSetup.exe as a release file: hardening flags, sections, relocations,
// imports, and the marks a reproducible build must not carry (time stamps, build paths).
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/mainwindow/driver.h"
#include "tests/release/pe_image.h"
#include "tests/release/release_testing.h"
#include "tests/support/testing.h"

namespace {

class Pe : public testing::Test {
protected:
    static void SetUpTestSuite() { image = new PeImage(InstallerBytes()); }
    static void TearDownTestSuite()
    {
        delete image;
        image = nullptr;
    }
    void SetUp() override
    {
        ASSERT_FALSE(InstallerBytes().empty()) << InstallerPath();
        ASSERT_TRUE(image->Ok()) << image->Error();
    }
    static PeImage *image;
};
PeImage *Pe::image = nullptr;

TEST_F(Pe, IsA32BitWindowsGuiProgram)
{
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, image->File().Machine);
    EXPECT_TRUE(image->File().Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE);
    EXPECT_FALSE(image->File().Characteristics & IMAGE_FILE_DLL);
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, image->Optional().Subsystem);
}

struct Flag {
    WORD bit;
    const char *name;
};

void PrintTo(const Flag &f, std::ostream *os)
{
    *os << f.name;
}

class Hardening : public Pe, public testing::WithParamInterface<Flag> {};

TEST_P(Hardening, DllCharacteristicsHaveTheFlag)
{
    EXPECT_TRUE(image->Optional().DllCharacteristics & GetParam().bit)
        << GetParam().name << " missing from DllCharacteristics 0x" << std::hex << image->Optional().DllCharacteristics;
}

INSTANTIATE_TEST_SUITE_P(Flags, Hardening,
    testing::Values(Flag{IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, "DYNAMIC_BASE"},
        Flag{IMAGE_DLLCHARACTERISTICS_NX_COMPAT, "NX_COMPAT"},
        Flag{IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE, "TERMINAL_SERVER_AWARE"}),
    [](const testing::TestParamInfo<Flag> &info) { return std::string(info.param.name); });

// DYNAMIC_BASE means nothing without relocations: the loader then keeps the fixed base.
TEST_F(Pe, CarriesUsableRelocations)
{
    EXPECT_FALSE(image->File().Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    const IMAGE_SECTION_HEADER *reloc = nullptr;
    for (const IMAGE_SECTION_HEADER &s : image->Sections())
        if (PeImage::SectionName(s) == ".reloc")
            reloc = &s;
    ASSERT_NE(nullptr, reloc) << "no .reloc section";

    IMAGE_DATA_DIRECTORY dir = image->Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC);
    ASSERT_GT(dir.Size, 0u);
    EXPECT_GE(dir.VirtualAddress, reloc->VirtualAddress);
    EXPECT_LE(dir.VirtualAddress + dir.Size, reloc->VirtualAddress + reloc->Misc.VirtualSize);

    int entries = 0;
    std::vector<int> types;
    std::string why;
    ASSERT_TRUE(image->WalkRelocations(&entries, &types, &why)) << why;
    EXPECT_GT(entries, 0);
    for (int t : types) // a 32-bit image needs only 32-bit fix-ups and padding
        EXPECT_TRUE(t == IMAGE_REL_BASED_HIGHLOW || t == IMAGE_REL_BASED_ABSOLUTE) << "relocation type " << t;
}

TEST_F(Pe, NoSectionIsBothWritableAndExecutable)
{
    ASSERT_FALSE(image->Sections().empty());
    for (const IMAGE_SECTION_HEADER &s : image->Sections()) {
        bool writable = (s.Characteristics & IMAGE_SCN_MEM_WRITE) != 0;
        bool executable = (s.Characteristics & (IMAGE_SCN_MEM_EXECUTE | IMAGE_SCN_CNT_CODE)) != 0;
        EXPECT_FALSE(writable && executable) << PeImage::SectionName(s) << " is writable and executable";
    }
}

// A system DLL is one that Windows itself keeps in its system folder; a runtime DLL of the
// toolchain (libstdc++, winpthread, libgcc) would have to travel beside the installer.
bool IsSystemDll(const std::string &dll)
{
    char system[MAX_PATH] = "";
    UINT n = GetSystemDirectoryA(system, sizeof system);
    if (n == 0 || n >= sizeof system)
        return false;
    return dll.find_first_of("\\/:") == std::string::npos && FileExists(std::string(system) + "\\" + dll);
}

// Every imported function must be there in this Windows, or the installer does not start.
void ExpectResolvable(const std::vector<PeImport> &imports)
{
    for (const PeImport &imp : imports) {
        EXPECT_TRUE(IsSystemDll(imp.dll)) << imp.dll << " is not a Windows system DLL";
        HMODULE module = LoadLibraryA(imp.dll.c_str());
        ASSERT_TRUE(module) << imp.dll;
        for (const std::string &name : imp.names) {
            FARPROC proc = name[0] == '#' ? GetProcAddress(module, MAKEINTRESOURCEA(atoi(name.c_str() + 1)))
                                          : GetProcAddress(module, name.c_str());
            EXPECT_TRUE(proc != nullptr) << imp.dll << "!" << name;
        }
    }
}

std::string Lower(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return s;
}

TEST_F(Pe, ImportsOnlyFromWindowsSystemDlls)
{
    std::vector<PeImport> imports;
    std::string why;
    ASSERT_TRUE(image->Imports(&imports, &why)) << why;
    std::vector<std::string> dlls;
    for (const PeImport &imp : imports)
        dlls.push_back(Lower(imp.dll));
    EXPECT_NE(dlls.end(), std::find(dlls.begin(), dlls.end(), "kernel32.dll")); // the parser found the table
    ExpectResolvable(imports);

    std::vector<PeImport> delayed;
    ASSERT_TRUE(image->DelayImports(&delayed, &why)) << why;
    ExpectResolvable(delayed);
    // Bound imports carry the time stamps of the DLLs they were bound against.
    EXPECT_EQ(0u, image->Directory(IMAGE_DIRECTORY_ENTRY_BOUND_IMPORT).Size);
}

TEST_F(Pe, CarriesNoTimeStamps)
{
    EXPECT_EQ(0u, image->File().TimeDateStamp);
    EXPECT_EQ(0u, image->Directory(IMAGE_DIRECTORY_ENTRY_DEBUG).Size) << "a debug directory has its own time stamp";
    IMAGE_DATA_DIRECTORY rsrc = image->Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE);
    long at = image->RvaToOffset(rsrc.VirtualAddress, sizeof(IMAGE_RESOURCE_DIRECTORY));
    ASSERT_GE(at, 0);
    IMAGE_RESOURCE_DIRECTORY root;
    memcpy(&root, &image->Bytes()[at], sizeof root);
    EXPECT_EQ(0u, root.TimeDateStamp);
}

bool Contains(const std::vector<unsigned char> &bytes, const std::string &needle)
{
    return std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end()) != bytes.end();
}

std::string Utf16(const std::string &ascii)
{
    std::string wide;
    for (char c : ascii) {
        wide.push_back(c);
        wide.push_back(0);
    }
    return wide;
}

TEST_F(Pe, CarriesNoBuildPaths)
{
    for (const char *var : {"LV_SOURCE_DIR", "LV_BINARY_DIR"}) {
        std::string dir = HarnessValue(var);
        ASSERT_GT(dir.size(), 1u) << var;
        for (const std::string &form : {dir, WindowsPath(dir)}) {
            EXPECT_FALSE(Contains(image->Bytes(), form)) << form;
            EXPECT_FALSE(Contains(image->Bytes(), Utf16(form))) << form << " (UTF-16)";
        }
    }
}

// Signed exactly when the build was asked to sign (LV_SIGNED from the harness): the
// certificate table is a PKCS#7 Authenticode blob at the end of the file.
TEST_F(Pe, SignedOnlyWhenTheBuildSigns)
{
    IMAGE_DATA_DIRECTORY sec = image->Directory(IMAGE_DIRECTORY_ENTRY_SECURITY);
    if (HarnessValue("LV_SIGNED") != "1") {
        EXPECT_EQ(0u, sec.Size);
        EXPECT_EQ(0u, sec.VirtualAddress);
        return;
    }
    ASSERT_GT(sec.Size, 8u);
    // This directory holds a file offset, not an RVA.
    EXPECT_EQ(image->Bytes().size(), (size_t)sec.VirtualAddress + sec.Size);
    ASSERT_LE((size_t)sec.VirtualAddress + 8, image->Bytes().size());
    WORD revision, type;
    memcpy(&revision, &image->Bytes()[sec.VirtualAddress + 4], 2);
    memcpy(&type, &image->Bytes()[sec.VirtualAddress + 6], 2);
    EXPECT_EQ(0x0200, revision); // WIN_CERT_REVISION_2_0
    EXPECT_EQ(0x0002, type);     // WIN_CERT_TYPE_PKCS_SIGNED_DATA
}

} // namespace
