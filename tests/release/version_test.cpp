// What Windows reads from the built installer's resources: the version information that
// the file's properties show, and the manifest that asks for administrator rights.
#include <gtest/gtest.h>

#include <windows.h>
#include <winver.h>

#include <string>
#include <vector>

#include "tests/release/release_testing.h"

namespace {

class VersionInfo : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(InstallerPath().c_str(), &ignored);
        block.assign(size, 0);
        if (size && !GetFileVersionInfoA(InstallerPath().c_str(), 0, size, block.data()))
            block.clear();
    }
    void SetUp() override { ASSERT_FALSE(block.empty()) << "no version information in " << InstallerPath(); }

    // A string of the table that the first Translation entry names, as the shell looks it up.
    static bool Query(const wchar_t *key, std::wstring *out)
    {
        struct Translation {
            WORD language, codePage;
        } *translations = nullptr;
        UINT bytes = 0;
        if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", (void **)&translations, &bytes)
            || bytes < sizeof *translations)
            return false;
        wchar_t path[128];
        swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations->language, translations->codePage, key);
        wchar_t *value = nullptr;
        UINT chars = 0;
        if (!VerQueryValueW(block.data(), path, (void **)&value, &chars) || !value)
            return false;
        *out = value;
        return true;
    }

    static std::vector<unsigned char> block;
};
std::vector<unsigned char> VersionInfo::block;

TEST_F(VersionInfo, FixedPartCarriesTheProjectVersion)
{
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT bytes = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void **)&fixed, &bytes));
    ASSERT_GE(bytes, sizeof *fixed);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    std::vector<int> v = ProjectVersion();
    EXPECT_EQ(MAKELONG(v[1], v[0]), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(v[3], v[2]), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType);
    EXPECT_EQ((DWORD)VOS_NT_WINDOWS32, fixed->dwFileOS);
    EXPECT_EQ(0u, fixed->dwFileFlags & fixed->dwFileFlagsMask) << "a release is neither debug nor pre-release";
}

TEST_F(VersionInfo, TranslationIsUsEnglishUnicode)
{
    WORD *translation = nullptr;
    UINT bytes = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void **)&translation, &bytes));
    ASSERT_GE(bytes, 4u);
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(1200, translation[1]);
}

struct Entry {
    const wchar_t *key;
    std::wstring want; // empty: the project version, as below
    bool quad;         // the version in four parts
};

void PrintTo(const Entry &e, std::ostream *os)
{
    *os << testing::PrintToString(std::wstring(e.key));
}

std::wstring Wide(const std::string &ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

class VersionString : public VersionInfo, public testing::WithParamInterface<Entry> {};

TEST_P(VersionString, ReadsAsTheFilePropertiesShowIt)
{
    const Entry &e = GetParam();
    std::wstring want = e.want;
    if (want.empty())
        want = Wide(e.quad ? ProjectVersionQuad() : HarnessValue("LV_VERSION"));
    std::wstring got;
    ASSERT_TRUE(Query(e.key, &got)) << "no entry " << testing::PrintToString(std::wstring(e.key));
    EXPECT_EQ(want, got);
}

INSTANTIATE_TEST_SUITE_P(Strings, VersionString,
    testing::Values(Entry{L"ProductName", L"Lumivortex filter", false},
        Entry{L"CompanyName", L"Kestovan", false},
        Entry{L"FileDescription", L"Lumivortex filter setup", false},
        Entry{L"LegalCopyright", L"Copyright \u00A9 2026 Kestovan", false},
        Entry{L"OriginalFilename", L"LumivortexSetup.exe", false},
        Entry{L"InternalName", L"LumivortexSetup", false},
        Entry{L"FileVersion", L"", true},
        Entry{L"ProductVersion", L"", false}),
    [](const testing::TestParamInfo<Entry> &info) {
        std::wstring k = info.param.key;
        return std::string(k.begin(), k.end());
    });

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR p)
{
    std::vector<std::string> *names = (std::vector<std::string> *)p;
    names->push_back(IS_INTRESOURCE(name) ? "#" + std::to_string((ULONG_PTR)name) : std::string(name));
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR p)
{
    ((std::vector<WORD> *)p)->push_back(language);
    return TRUE;
}

// The value of attribute inside the first <element ...> of xml; empty when absent.
std::string Attribute(const std::string &xml, const std::string &element, const std::string &attribute)
{
    size_t start = xml.find("<" + element);
    if (start == std::string::npos)
        return "";
    size_t end = xml.find('>', start);
    std::string tag = xml.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t at = tag.find(" " + attribute + "=\"");
    if (at == std::string::npos)
        return "";
    at += attribute.size() + 3;
    size_t close = tag.find('"', at);
    return close == std::string::npos ? "" : tag.substr(at, close - at);
}

class Manifest : public testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryExA(InstallerPath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module) << InstallerPath();
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }
    std::string Text() const
    {
        HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        HGLOBAL data = res ? LoadResource(module, res) : NULL;
        const char *bytes = data ? (const char *)LockResource(data) : nullptr;
        return bytes ? std::string(bytes, SizeofResource(module, res)) : "";
    }
    HMODULE module = 0;
};

// The loader reads the manifest of an executable from resource 1 only; a second one would be ignored.
TEST_F(Manifest, IsTheOnlyManifestAndHasIdOne)
{
    std::vector<std::string> names;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(24), CollectName, (LONG_PTR)&names);
    ASSERT_EQ(std::vector<std::string>{"#1"}, names);
    std::vector<WORD> languages;
    EnumResourceLanguagesA(module, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), CollectLanguage, (LONG_PTR)&languages);
    EXPECT_EQ(1u, languages.size());
}

TEST_F(Manifest, RequestsAdministratorRights)
{
    std::string xml = Text();
    ASSERT_FALSE(xml.empty());
    EXPECT_EQ("requireAdministrator", Attribute(xml, "requestedExecutionLevel", "level"));
    EXPECT_EQ("false", Attribute(xml, "requestedExecutionLevel", "uiAccess"));
}

TEST_F(Manifest, AssemblyVersionIsTheProjectVersion)
{
    EXPECT_EQ(ProjectVersionQuad(), Attribute(Text(), "assemblyIdentity", "version"));
    EXPECT_EQ("x86", Attribute(Text(), "assemblyIdentity", "processorArchitecture"));
}

} // namespace
