// The install action: makes sure ChosenFolder exists and installs the payload kinds that suit it.
#pragma once

enum InstallResult {
    INSTALL_FOLDER_UNUSABLE = 0, // the folder can be neither entered nor created; nothing was done
    INSTALL_OK = 1,              // every payload that had to be written was written completely
    INSTALL_INCOMPLETE = 2       // the folder was used, but a payload file could not be written
};

// Enters or creates ChosenFolder, adds the unticked selector names to the SkipList
// and installs the payload kinds. See InstallResult.
int InstallIntoFolder(const char *const *untickedNames, int untickedCount);

// Enumerates the payload kinds that suit the system and ChosenFolder (64-bit first).
void InstallPayloadKinds();
