// AddCandidate: the trim, the diagnostic log's exact bytes, normalisation, de-duplication and the 20-record cap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/state.h"
#include "core/text.h"
#include "discovery/candidates.h"
#include "discovery/registry.h"
#include "tests/discovery/discovery_testing.h"
#include "tests/support/testing.h"

namespace {

const char *const Tag = "HKEY_LOCAL_MACHINE  software\\kestovan\\plug  Path  ";

void Add(const std::string &path, const char *tag = Tag)
{
    char buffer[PathBufSize];
    BufSet(buffer, sizeof buffer, path.c_str());
    AddCandidate(buffer, tag);
}

std::string LogLine(const std::string &trimmed, const char *mark = "x32 ", const char *tag = Tag)
{
    return std::string(mark) + tag + "  " + trimmed + "\r\n";
}

struct OneCase {
    const char *label;
    const char *folder;  // created below Root first; NULL: none
    const char *file;    // a file created below Root; NULL: none
    const char *input;   // %R: Root
    const char *trimmed; // the logged path; NULL: dropped, nothing logged
    const char *listed;  // %L: Root as listed
};

const OneCase OneCases[] = {
    {"MakersFolderIsCut", "Editor\\Plug-ins\\Kestovan", NULL, "%R\\Editor\\Plug-ins\\Kestovan",
     "%R\\Editor\\Plug-ins\\Kestovan", "%L\\Editor\\Plug-Ins\\"},
    {"AnyFolderBeginningWithKestIsCut", "Editor\\Plug-ins\\KESTREL Filters", NULL,
     "%R\\Editor\\Plug-ins\\KESTREL Filters\\x.8bf", "%R\\Editor\\Plug-ins\\KESTREL Filters\\",
     "%L\\Editor\\Plug-Ins\\"},
    // Only the first "kest" counts: inside a name it cuts nothing, even before a later Kestovan folder.
    {"KestInsideANameIsNotCut", "Mykest\\Kestovan", NULL, "%R\\Mykest\\Kestovan\\", "%R\\Mykest\\Kestovan",
     "%L\\Mykest\\Kestovan\\"},
    {"FileNameInsideAFolder", "Photoshop CS5\\PLUG-INS", "Photoshop CS5\\PLUG-INS\\filter.8bf",
     "%R\\Photoshop CS5\\PLUG-INS\\filter.8bf", "%R\\Photoshop CS5\\PLUG-INS\\", "%L\\Photoshop Cs5\\Plug-Ins\\"},
    {"QuoteAfterThePath", "Plug-ins", NULL, "%R\\Plug-ins\"", "%R\\Plug-ins", "%L\\Plug-Ins\\"},
    {"FolderGetsItsBackslash", "Plugins", NULL, "%R\\Plugins", "%R\\Plugins", "%L\\Plugins\\"},
    {"MissingFolderAndParent", NULL, NULL, "%R\\Gone\\Deeper", NULL, NULL},
    {"MissingFolder", NULL, NULL, "%R\\Gone", "%R\\", "%L\\"}, // shortened back to the existing parent
    {"DriveRoot", NULL, NULL, "C:\\", NULL, NULL},
    {"DriveRootWithoutBackslash", NULL, NULL, "Z:", NULL, NULL},
    {"DriveLetterAndOneCharacter", NULL, NULL, "C:\\W", NULL, NULL},
};

class AddOne : public HostMachineTest, public testing::WithParamInterface<OneCase> {};

TEST_P(AddOne, TrimsLogsNormalisesAndStores)
{
    const OneCase &c = GetParam();
    if (c.folder)
        Folder(c.folder);
    if (c.file)
        WriteFileBytes(Root + "\\" + c.file, "8bf");
    StartDiagnosticLog();
    Add(Expand(c.input));
    if (!c.trimmed) {
        EXPECT_EQ("", DiagnosticLogText());
        EXPECT_TRUE(CandidatePaths().empty());
        return;
    }
    EXPECT_EQ(LogHeader() + LogLine(Expand(c.trimmed)), DiagnosticLogText());
    ASSERT_EQ(std::vector<std::string>{Expand(c.listed)}, CandidatePaths());
    EXPECT_EQ(0, CandidateList[0].foundIn64BitView);
    EXPECT_EQ(1, CandidateList[0].addVendorFolder);
    // The folder accepted is now the current folder.
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    std::string trimmed = Expand(c.trimmed);
    if (trimmed.back() == '\\')
        trimmed.pop_back();
    EXPECT_EQ(0, lstrcmpiA(trimmed.c_str(), current)) << current;
}

INSTANTIATE_TEST_SUITE_P(Cases, AddOne, testing::ValuesIn(OneCases),
                         [](const testing::TestParamInfo<OneCase> &info) { return std::string(info.param.label); });

using AddCandidateTest = HostMachineTest;

// Letter case and a trailing backslash do not make another folder: stored once, logged each time.
TEST_F(AddCandidateTest, SameFolderIsStoredOnceAndLoggedEachTime)
{
    Folder("Editor\\Plug-ins");
    Folder("Other");
    StartDiagnosticLog();
    Add(Root + "\\Editor\\Plug-ins");
    Add(Root + "\\Other\\");
    Add(Root + "\\EDITOR\\plug-ins\\");
    Add(Root + "\\Editor\\Plug-ins\\Kestovan\\"); // the maker's folder below it need not exist
    EXPECT_EQ(LogHeader() + LogLine(Root + "\\Editor\\Plug-ins") + LogLine(Root + "\\Other") +
                  LogLine(Root + "\\EDITOR\\plug-ins") + LogLine(Root + "\\Editor\\Plug-ins\\"),
              DiagnosticLogText());
    EXPECT_EQ((std::vector<std::string>{Listed + "\\Editor\\Plug-Ins\\", Listed + "\\Other\\"}), CandidatePaths());
}

TEST_F(AddCandidateTest, TwentyRecordsThenFurtherFoldersAreLoggedOnly)
{
    StartDiagnosticLog();
    std::string log = LogHeader();
    std::vector<std::string> listed;
    for (int i = 0; i < 21; i++) {
        std::string name = "F" + std::to_string(100 + i);
        Add(Folder(name));
        log += LogLine(Root + "\\" + name);
        if (i < MaxFolders)
            listed.push_back(Listed + "\\" + name + "\\");
    }
    Add(Root + "\\F100"); // a duplicate of the first, once the list is full
    log += LogLine(Root + "\\F100");
    EXPECT_EQ(log, DiagnosticLogText());
    EXPECT_EQ(listed, CandidatePaths());
}

TEST_F(AddCandidateTest, RecordsAndLogsTheRegistryView)
{
    Folder("Wide");
    Folder("Narrow");
    StartDiagnosticLog();
    RegistryView = 1;
    Add(Root + "\\Wide");
    RegistryView = 0;
    Add(Root + "\\Narrow");
    Add(Root + "\\Wide"); // found again in the 32-bit view: the first finding stays
    EXPECT_EQ(LogHeader() + LogLine(Root + "\\Wide", "x64 ") + LogLine(Root + "\\Narrow") +
                  LogLine(Root + "\\Wide"),
              DiagnosticLogText());
    ASSERT_EQ(2u, CandidatePaths().size());
    EXPECT_EQ(1, CandidateList[0].foundIn64BitView);
    EXPECT_EQ(0, CandidateList[1].foundIn64BitView);
}

TEST_F(AddCandidateTest, WithoutTheLogNoFileIsCreated)
{
    Add(Folder("Plugins"));
    EXPECT_FALSE(FileExists(DIAGNOSTIC_LOG_PATH));
    EXPECT_EQ(std::vector<std::string>{Listed + "\\Plugins\\"}, CandidatePaths());
}

// The header goes before the first line of a run, which is the line of the first record.
TEST_F(AddCandidateTest, HeaderOnlyWhileTheListIsEmpty)
{
    Add(Folder("Before"));
    StartDiagnosticLog();
    Add(Folder("After"));
    EXPECT_EQ(LogLine(Root + "\\After"), DiagnosticLogText());
}

TEST_F(AddCandidateTest, LongTagIsLoggedWhole)
{
    std::string tag(399, 't');
    StartDiagnosticLog();
    Add(Folder("Plugins"), tag.c_str());
    EXPECT_EQ(LogHeader() + LogLine(Root + "\\Plugins", "x32 ", tag.c_str()), DiagnosticLogText());
}

// Folders whose names differ only by a soft hyphen (0xAD) are two folders: lstrcmpA calls them equal.
TEST_F(AddCandidateTest, DistinctPathsThatSortAlikeAreBothStored)
{
    ASSERT_EQ(0, lstrcmpA("PlugIns", "Plug\xadIns")); // the platform fact behind the byte comparison
    Add(Folder("PlugIns"));
    Add(Folder("Plug\xadIns"));
    EXPECT_EQ((std::vector<std::string>{Listed + "\\Plugins\\", Listed + "\\Plug\xadIns\\"}), CandidatePaths());
}

} // namespace
