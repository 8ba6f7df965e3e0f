// Helpers of the discovery tests: registry seeding in either view, the diagnostic log, the candidate list.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

// The registry views of this prefix: {0} in the 32-bit prefix, {0, KEY_WOW64_64KEY} in the 64-bit one.
std::vector<REGSAM> RegistryViews();

// Writes exactly these bytes as value name of root\key (created as needed) in the given view.
// A REG_SZ gets no terminator the bytes do not hold themselves.
void SeedValue(HKEY root, const std::string &key, const std::string &name, DWORD type,
               const std::string &bytes, REGSAM view = 0);

// A REG_SZ (or REG_EXPAND_SZ) text with its terminator.
void SeedString(HKEY root, const std::string &key, const std::string &name, const std::string &text,
                REGSAM view = 0, DWORD type = REG_SZ);
void SeedDword(HKEY root, const std::string &key, const std::string &name, DWORD value, REGSAM view = 0);

// Creates root\key (and its parents) with no values.
void SeedKey(HKEY root, const std::string &key, REGSAM view = 0);

// Deletes the trees of the host editors' keys that the discovery tests seed: the vendors'
// keys in both hives and views, the Fireworks App Paths entry and PI3.Image.
void RemoveHostKeys();

// The diagnostic log c:\inst581.txt: created empty, read whole, removed.
void StartDiagnosticLog();
std::string DiagnosticLogText();
void RemoveDiagnosticLog();

// Empties CandidateList as the program starts it (addVendorFolder 1).
void ClearCandidates();

// The paths of CandidateList up to the first empty record.
std::vector<std::string> CandidatePaths();

// The first lines of the log a run writes into an empty log: two empty lines and the bitness mark.
std::string LogHeader();

// Tests that change the machine's host keys, the diagnostic log and CandidateList (LOCKS machine).
// Each starts with no host keys, no log, an empty list, RegistryView 0 and a fresh folder Root.
class HostMachineTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Creates Root\relative with its parents; returns its path.
    static std::string Folder(const std::string &relative);

public:
    static const std::string Root;   // the folder tree of the test: "C:\lvdisc\m"
    static const std::string Listed; // Root as the candidate list spells it: "C:\Lvdisc\M"
};

// Replaces every "%R" by Root and every "%L" by Listed.
std::string Expand(const std::string &text);
