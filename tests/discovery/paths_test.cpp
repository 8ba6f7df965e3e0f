// Path operations on fixed buffers, the trim to an existing folder and the default-value folder look-up.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "core/state.h"
#include "core/text.h"
#include "discovery/candidates.h"
#include "discovery/registry.h"
#include "tests/discovery/discovery_testing.h"
#include "tests/support/testing.h"

namespace {

struct GrowCase {
    const char *path;
    const char *name; // JoinPath only
    int cchPath;      // the buffer size the call is told of
    const char *addBackslash; // AddTrailingBackslash result, NULL: refused
    const char *join;         // JoinPath result, NULL: refused
};

const GrowCase GrowCases[] = {
    {"C:\\Editor", "plug-ins", 400, "C:\\Editor\\", "C:\\Editor\\plug-ins"},
    {"C:\\Editor\\", "plug-ins", 400, "C:\\Editor\\", "C:\\Editor\\plug-ins"},
    {"", "plug-ins", 400, "\\", "\\plug-ins"},
    {"C:\\ab", "cd", 7, "C:\\ab\\", NULL},     // "C:\ab\" + terminator is exactly 7 bytes
    {"C:\\ab", "cd", 6, NULL, NULL},           // no room for the backslash
    {"C:\\ab\\", "cd", 7, "C:\\ab\\", NULL},   // nothing to add, so nothing to refuse
    {"C:\\ab\\", "cd", 8, "C:\\ab\\", NULL},
    {"C:\\ab\\", "cd", 9, "C:\\ab\\", "C:\\ab\\cd"},
    {"C:\\ab", "cd", 9, "C:\\ab\\", "C:\\ab\\cd"},
    {"C:\\ab", "cd", 8, "C:\\ab\\", NULL},
};

class Grow : public testing::TestWithParam<GrowCase> {};

// The text is placed in a larger buffer whose bytes past cchPath must stay untouched.
TEST_P(Grow, AppendsOnlyWhatFits)
{
    const GrowCase &c = GetParam();
    for (int join = 0; join < 2; join++) {
        SCOPED_TRACE(join ? "JoinPath" : "AddTrailingBackslash");
        char buffer[512];
        memset(buffer, 'G', sizeof buffer);
        strcpy(buffer, c.path);
        char *result = join ? JoinPath(buffer, c.cchPath, c.name) : AddTrailingBackslash(buffer, c.cchPath);
        const char *expected = join ? c.join : c.addBackslash;
        if (expected) {
            EXPECT_EQ(buffer, result);
            EXPECT_STREQ(expected, buffer);
        } else {
            EXPECT_EQ(NULL, result);
            EXPECT_STREQ(c.path, buffer); // unchanged
        }
        for (int i = c.cchPath; i < (int)sizeof buffer; i++)
            ASSERT_EQ('G', buffer[i]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Grow, testing::ValuesIn(GrowCases));

TEST(AddTrailingBackslash, FillsScratchPathToItsLastByte)
{
    std::string path = "C:\\" + std::string(395, 'p'); // 398 characters
    BufSet(ScratchPath, sizeof ScratchPath, path.c_str());
    ASSERT_NE(nullptr, AddTrailingBackslash(ScratchPath, sizeof ScratchPath));
    EXPECT_EQ(path + "\\", ScratchPath);
    path += "q"; // 399 characters: the backslash no longer fits
    BufSet(ScratchPath, sizeof ScratchPath, path.c_str());
    EXPECT_EQ(nullptr, AddTrailingBackslash(ScratchPath, sizeof ScratchPath));
    EXPECT_EQ(path, ScratchPath);
    EXPECT_EQ(nullptr, JoinPath(ScratchPath, sizeof ScratchPath, ""));
}

struct TextCase {
    std::string input;
    std::string expected;
};

class CutAfterLastBackslash : public testing::TestWithParam<TextCase> {};

TEST_P(CutAfterLastBackslash, LooksBetweenTheFirstAndTheLastCharacter)
{
    char text[512];
    BufSet(text, sizeof text, GetParam().input.c_str());
    EXPECT_EQ(text, CutAfterLast(text, '\\'));
    EXPECT_EQ(GetParam().expected, text);
}

INSTANTIATE_TEST_SUITE_P(Cases, CutAfterLastBackslash,
                         testing::Values(TextCase{"C:\\Editor\\editor.exe", "C:\\Editor\\"},
                                         TextCase{"C:\\Editor\\Plug-ins\\", "C:\\Editor\\"}, // the parent folder
                                         TextCase{"\"C:\\Viewer\\pi3.exe\" \"%1\"", "\"C:\\Viewer\\"},
                                         TextCase{"\\editor.exe", "\\editor.exe"}, // first character: not looked at
                                         TextCase{"editor\\", "editor\\"},         // last character: not looked at
                                         TextCase{"a\\b", "a\\"}, TextCase{"\\\\", "\\\\"}, TextCase{"\\", "\\"},
                                         TextCase{"", ""}, TextCase{"editor.exe", "editor.exe"}));

TEST(CutAfterLast, CutsAfterAnyCharacter)
{
    char text[] = "a.b.c";
    EXPECT_STREQ("a.b.", CutAfterLast(text, '.'));
}

class StripLeadingNonLetters_ : public testing::TestWithParam<TextCase> {};

TEST_P(StripLeadingNonLetters_, StartsAtTheFirstLetter)
{
    char text[1024];
    BufSet(text, sizeof text, GetParam().input.c_str());
    EXPECT_EQ(text, StripLeadingNonLetters(text));
    EXPECT_EQ(GetParam().expected, text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StripLeadingNonLetters_,
    testing::Values(TextCase{"C:\\Plug-ins", "C:\\Plug-ins"}, TextCase{"  \"C:\\Plug-ins\"", "C:\\Plug-ins\""},
                    TextCase{"\\\\server\\share", "server\\share"}, TextCase{"12345", ""}, TextCase{"", ""},
                    TextCase{"  ", ""}, TextCase{"\xe9:\\x", "\xe9:\\x"}, // a letter of the ANSI code page
                    TextCase{"1\xe9", "\xe9"},
                    // Text that does not begin with a letter is cut to 390 characters first.
                    TextCase{" " + std::string(499, 'a'), std::string(389, 'a')},
                    TextCase{std::string(395, '-') + "abc", ""},
                    TextCase{std::string(389, '-') + "abc", "a"},
                    // Text that begins with a letter is left as it is, however long.
                    TextCase{std::string(500, 'a'), std::string(500, 'a')}));

class CapitalizeWords_ : public testing::TestWithParam<TextCase> {};

TEST_P(CapitalizeWords_, UpperCasesEachWordStart)
{
    char text[512];
    BufSet(text, sizeof text, GetParam().input.c_str());
    EXPECT_EQ(text, CapitalizeWords(text));
    EXPECT_EQ(GetParam().expected, text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CapitalizeWords_,
    testing::Values(TextCase{"c:\\program files (x86)\\adobe\\photoshop cs5\\plug-ins\\",
                             "C:\\Program Files (X86)\\Adobe\\Photoshop Cs5\\Plug-Ins\\"},
                    TextCase{"C:\\PROGRAM FILES\\PAINT SHOP PRO 9\\", "C:\\Program Files\\Paint Shop Pro 9\\"},
                    TextCase{"d:\\a_b.c-d", "D:\\A_B.C-D"},
                    // The six characters between Z and a are not letters and stay as they are.
                    TextCase{"c:\\[x]^y`z", "C:\\[X]^Y`Z"},
                    // Bytes above 0x7F are left alone, and a letter among them keeps the next one small.
                    TextCase{"c:\\\xe9t\xe9 x", "C:\\\xe9t\xe9 X"},
                    TextCase{"\xe9x", "\xc9x"}, // the first character goes through CharUpperA
                    TextCase{"1abc", "1Abc"}, TextCase{"", ""}, TextCase{"x", "X"}));

// TrimToExistingFolder against real folders of the prefix's drive.
class Trim : public testing::Test {
protected:
    void SetUp() override
    {
        root = "C:\\lvdisc-unit\\" + TestCaseName();
        MakeFreshFolder(root + "\\Plug-ins");
        WriteFileBytes(root + "\\file.txt", "x");
    }
    void TearDown() override
    {
        SetCurrentDirectoryA("C:\\");
        RemoveTree(root);
    }
    std::string root;
};

struct TrimCase {
    const char *input;    // "%R" stands for the test's root folder
    int result;
    const char *expected; // the path afterwards
};

std::string WithRoot(const char *text, const std::string &root)
{
    std::string s = text;
    size_t at = s.find("%R");
    if (at != std::string::npos)
        s.replace(at, 2, root);
    return s;
}

class TrimCases : public Trim, public testing::WithParamInterface<TrimCase> {};

TEST_P(TrimCases, ShortensToAnExistingFolder)
{
    const TrimCase &c = GetParam();
    char path[PathBufSize];
    BufSet(path, sizeof path, WithRoot(c.input, root).c_str());
    SetCurrentDirectoryA("C:\\");
    EXPECT_EQ(c.result, TrimToExistingFolder(path));
    EXPECT_EQ(WithRoot(c.expected, root), path);
    if (c.result) {
        char current[MAX_PATH];
        GetCurrentDirectoryA(sizeof current, current);
        std::string folder = path;
        if (folder.back() == '\\')
            folder.pop_back();
        EXPECT_EQ(0, lstrcmpiA(folder.c_str(), current));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimCases,
    testing::Values(TrimCase{"%R\\Plug-ins\\x.8bf", 1, "%R\\Plug-ins\\"}, // the parent, with its backslash
                    TrimCase{"%R\\Plug-ins", 1, "%R\\Plug-ins"},
                    TrimCase{"%R\\Plug-ins\\", 1, "%R\\Plug-ins"},  // one trailing backslash goes first
                    TrimCase{"%R\\PLUG-INS\"", 1, "%R\\PLUG-INS"},  // a closing quote
                    TrimCase{"%R\\Plug-insXYZ", 1, "%R\\Plug-ins"}, // any existing prefix of the last component
                    TrimCase{"%R\\file.txt", 1, "%R\\"},            // a file is no folder
                    TrimCase{"%R\\Missing\\x.8bf", 0, "%R\\Missing\\"}, // never above the parent
                    TrimCase{"C:\\", 0, "C:"},                         // a drive root is never tried
                    TrimCase{"C:\\W", 0, "C:\\"}, TrimCase{"C:", 0, "C:"}, TrimCase{"", 0, ""},
                    TrimCase{"\\", 0, ""}));

// ReadDefaultValueFolder on keys of the test's own.
class DefaultValueFolder : public testing::Test {
protected:
    void SetUp() override
    {
        parent = "Software\\LvDiscoveryTest\\" + TestCaseName();
        DeleteRegTree(HKEY_CURRENT_USER, parent);
    }
    void TearDown() override { DeleteRegTree(HKEY_CURRENT_USER, parent); }
    std::string parent;
};

struct DefaultCase {
    DWORD type;
    std::string bytes;    // the stored default value; empty type 0: no key at all
    const char *expected; // NULL: nothing found
};

class DefaultValueCases : public DefaultValueFolder, public testing::WithParamInterface<DefaultCase> {};

TEST_P(DefaultValueCases, GivesTheProgramsFolder)
{
    const DefaultCase &c = GetParam();
    if (c.type)
        SeedValue(HKEY_CURRENT_USER, parent + "\\shell\\open\\command", "", c.type, c.bytes);
    char out[PathBufSize];
    memset(out, 'G', sizeof out);
    out[sizeof out - 1] = 0;
    char *result = ReadDefaultValueFolder(HKEY_CURRENT_USER, parent.c_str(), "shell\\open\\command", out);
    if (c.expected) {
        EXPECT_EQ(out, result);
        EXPECT_STREQ(c.expected, out);
    } else {
        EXPECT_EQ(NULL, result);
        EXPECT_EQ('G', out[0]); // untouched
    }
}

std::string Sz(const std::string &s)
{
    return s + '\0';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultValueCases,
    testing::Values(DefaultCase{REG_SZ, Sz("C:\\Fireworks 8\\Fireworks.exe"), "C:\\Fireworks 8\\"},
                    DefaultCase{REG_SZ, Sz("\"C:\\Program Files\\Viewer\\pi3.exe\" \"%1\""),
                                "C:\\Program Files\\Viewer\\"},
                    DefaultCase{REG_SZ, Sz("C:\\Fireworks 8\\"), "C:\\"}, // a folder names its parent
                    DefaultCase{REG_SZ, Sz("C:\\"), "C:\\"},
                    DefaultCase{REG_EXPAND_SZ, Sz("C:\\Fireworks 8\\Fireworks.exe"), NULL},
                    DefaultCase{REG_SZ, Sz("Fireworks.exe"), NULL},
                    DefaultCase{REG_SZ, Sz("\\\\server\\share\\tool.exe"), NULL},
                    DefaultCase{REG_SZ, Sz(""), NULL}, DefaultCase{REG_SZ, Sz("12\\34\\5"), NULL},
                    DefaultCase{REG_SZ, "C:\\" + std::string(253, 'x'), NULL}, // 256 bytes, no terminator
                    DefaultCase{0, "", NULL}));

TEST_F(DefaultValueFolder, ParentPathThatDoesNotFitFindsNothing)
{
    std::string longParent = parent + "\\" + std::string(400, 'p');
    char out[PathBufSize] = "untouched";
    EXPECT_EQ(nullptr, ReadDefaultValueFolder(HKEY_CURRENT_USER, longParent.c_str(), "x", out));
    EXPECT_STREQ("untouched", out);
}

} // namespace
