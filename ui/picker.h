// The grid picker: a modal pop-up of all the tiles of a grid selector, one click chooses.
#pragma once

#include <windows.h>

#include "ui/selector.h"

enum {
    PickerWidth = 198,   // pixels
    PickerColumns = 4,   // cells a row
    PickerColumnStep = 44,
    PickerRowStep = 36
};

// State shared by a selector and its open picker; at most one picker is open.
struct PickerState {
    JSelector *selector; // the grid selector that opened it
    JCanvas *canvas;     // that selector's canvas
    int width;           // picker width, pixels
    int height;          // picker height, pixels
    DWORD click;         // client point of the choosing click (x low, y high); 0 = no choice
};

extern PickerState PickerSession; // filled by GridPicker for the time the picker is open

// Height of the picker for a grid whose highest value is maximum: (maximum / 4) * 36 + 50.
int PickerHeight(int maximum);

// The anchor (the picker's bottom-right corner, screen coordinates, packed x low, y high) for
// selector's frame in window: left of the frame; below it when the frame top is above the picker height.
DWORD PickerAnchor(const JSelector *selector, HWND window, int height);

// Runs the picker for selector, owned by window, until a click, a right click or Escape;
// returns the click point (0 = no choice).
DWORD GridPicker(JSelector *selector, HWND window);

// Cell under a picker click point: ((x - 9) / 44) + 4 * ((y - 5) / 36), negative parts taken as 0.
int PickerCell(DWORD click);

// The picker's dialog procedure.
INT_PTR CALLBACK PickerProc(HWND picker, UINT message, WPARAM wParam, LPARAM lParam);
