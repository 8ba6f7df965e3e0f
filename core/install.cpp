#include "core/install.h"

#include "core/state.h"
#include "core/text.h"
#include "payload/extract.h"

void InstallPayloadKinds()
{
    int kinds[2];
    int count = 0;
    if (!RunningOnWow64()) {
        kinds[count++] = RT_PAYLOAD32;
    } else if (TextContains(ChosenFolder, "(64")) {
        kinds[count++] = RT_PAYLOAD64;
    } else if (TextContains(ChosenFolder, "86)")) {
        kinds[count++] = RT_PAYLOAD32;
    } else {
        kinds[count++] = RT_PAYLOAD64;
        kinds[count++] = RT_PAYLOAD32;
    }
    PayloadWriteFailures = 0;
    for (int i = 0; i < count; i++)
        EnumResourceNamesA(AppInstance, MAKEINTRESOURCEA(kinds[i]), ExtractPayload, kinds[i]);
}

int InstallIntoFolder(const char *const *untickedNames, int untickedCount)
{
    // CreateDirectoryA makes only the last level: a missing parent ends the action.
    if (!SetCurrentDirectoryA(ChosenFolder) && !CreateDirectoryA(ChosenFolder, NULL))
        return INSTALL_FOLDER_UNUSABLE;
    for (int i = 0; i < untickedCount; i++)
        AddToSkipList(untickedNames[i]);
    InstallPayloadKinds();
    return PayloadWriteFailures ? INSTALL_INCOMPLETE : INSTALL_OK;
}
