// The main window: the modal dialog MAIN that ties discovery, the toolkit and the install action together.
#pragma once

#include <windows.h>

class JElement;

enum {
    SlotCancel = 0,
    SlotInstall = 1,
    SlotFinish = 2,
    SlotLink = 3,
    SlotFinishPicture = 4,
    SlotBadge32 = 5,
    SlotBadge64 = 6,
    SlotFirstSelector = 7,
    SlotLastSelector = 18,
    ElementSlotCount = 20
};

enum {
    IDC_FOLDERLIST = 1033, // the drop-down folder list
    IDC_FOCUSSINK = 1034   // invisible button that takes the keyboard focus off the list
};

extern JElement *ElementSlots[ElementSlotCount]; // the window's elements by fixed slot; filled at start-up
extern int LayoutMargin;                         // left margin of the list; 16
extern int PromptTop;                            // y of the prompt line minus 4; list top - 26 after start-up

// The dialog procedure of MAIN.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the "32"/"64" badges for the payload kinds ChosenFolder will get.
void UpdateBitnessBadges();

// IDOK in the choosing phase: installs into the selected folder and shows the finish screen.
void RunInstallAction(HWND window);

// Switches the window to its finish screen.
void EnterFinishedState(HWND window);
