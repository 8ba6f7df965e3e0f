#include "ui/picker.h"

#include <shlwapi.h>

PickerState PickerSession;

enum {
    CellLeft = 18, CellTop = 10,     // corner of cell 0's tile in the picker
    NumberLeft = 4, NumberTop = 12,  // corner of cell 0's number
    ClickColumnOrigin = 9, ClickRowOrigin = 5
};

// An in-memory dialog template: a bordered pop-up with no controls, menu, class, title or font.
struct PickerTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};

alignas(4) static const PickerTemplate PickerDialog = {
    { WS_POPUP | WS_BORDER | DS_MODALFRAME, 0, 0, 0, 0, 0, 0 }, 0, 0, 0
};

int PickerHeight(int maximum)
{
    return (maximum / PickerColumns) * PickerRowStep + 50;
}

DWORD PickerAnchor(const JSelector *selector, HWND window, int height)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin = { client.left, client.top };
    ClientToScreen(window, &origin);
    const RECT &frame = selector->frameRect;
    int ax = origin.x + frame.left - 1;
    int ay = (frame.top < height) ? origin.y + frame.bottom + height // opens below the frame
                                  : origin.y + frame.top - 1;        // ends one pixel above it
    // Screens at negative coordinates are not provided for: both halves are read unsigned.
    return MAKELONG((WORD)ax, (WORD)ay);
}

DWORD GridPicker(JSelector *selector, HWND window)
{
    PickerSession.selector = selector;
    PickerSession.canvas = selector->canvas;
    PickerSession.width = PickerWidth;
    PickerSession.height = PickerHeight(selector->maximum);
    PickerSession.click = 0;
    DWORD anchor = PickerAnchor(selector, window, PickerSession.height);
    DialogBoxIndirectParamA(selector->canvas->module, &PickerDialog.dialog, window, PickerProc, (LPARAM)anchor);
    return PickerSession.click;
}

int PickerCell(DWORD click)
{
    int column = ((int)LOWORD(click) - ClickColumnOrigin) / PickerColumnStep;
    int row = ((int)HIWORD(click) - ClickRowOrigin) / PickerRowStep;
    if (column < 0)
        column = 0;
    if (row < 0)
        row = 0;
    return column + PickerColumns * row;
}

static void PaintPicker(HWND picker)
{
    PAINTSTRUCT paint;
    BeginPaint(picker, &paint);
    HDC dc = GetDC(picker);
    PrepareWindowDC(dc);
    const JSelector *selector = PickerSession.selector;
    const RECT &area = paint.rcPaint;
    TileBitmap(PickerSession.canvas->background, dc, area.left, area.top, area.right, area.bottom);
    for (int i = 0; i <= selector->maximum; i++) {
        const int column = i % PickerColumns, row = i / PickerColumns;
        const int left = PickerColumnStep * column + CellLeft, top = PickerRowStep * row + CellTop;
        const int sx = GridCellSize * column, sy = GridCellSize * row;
        if (selector->flags & JSEL_TRANSPOSED)
            CopyRegionTransposed(selector->image, dc, left, top, left + GridCellSize, top + GridCellSize, sx, sy);
        else
            CopyRegion(selector->image, dc, left, top, left + GridCellSize, top + GridCellSize, sx, sy);
        char number[16];
        wnsprintfA(number, sizeof number, "%0.2i", i + 1);
        TextOutA(dc, PickerColumnStep * column + NumberLeft, PickerRowStep * row + NumberTop, number, 2);
    }
    ReleaseDC(picker, dc);
    EndPaint(picker, &paint);
}

INT_PTR CALLBACK PickerProc(HWND picker, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowPos(picker, NULL, LOWORD(lParam) - PickerSession.width, HIWORD(lParam) - PickerSession.height,
                     PickerSession.width, PickerSession.height, 0);
        PickerSession.click = 0;
        return 0;
    case WM_PAINT:
        PaintPicker(picker);
        return 0;
    case WM_LBUTTONUP:
        PickerSession.click = (DWORD)lParam;
        SendMessageA(picker, WM_COMMAND, IDCANCEL, 0);
        return 0;
    case WM_RBUTTONDOWN:
        SendMessageA(picker, WM_COMMAND, IDCANCEL, 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return 0;
        EndDialog(picker, wParam); // also reached by Escape
        return 1;
    default:
        return 0;
    }
}
