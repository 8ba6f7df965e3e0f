// The selector element of the skinned toolkit: a value shown as one frame of a strip or grid bitmap.
#pragma once

#include "ui/element.h"

#define JSEL_TRANSPOSED 0x01  // frames drawn with rows and columns swapped (in the grid picker too)
#define JSEL_GRID 0x02        // 26 x 26 tiles, four a row; left press opens the grid picker, right press posts commandId + 1
#define JSEL_WIDE 0x04        // frames twice as wide as the bitmap is high
#define JSEL_TRANSPARENT 0x08 // background restored under the frame, white frame pixels skipped
#define JSEL_VALUE_ONLY 0x10  // no image, nothing drawn, mouse ignored: only a named value

enum {
    SelectorTextSize = 40, // bytes of JSelector::name and ::label, terminator included
    GridCellSize = 26      // side of a grid tile in pixels
};

// Packs a label offset: high 16 bits dx + 0x8000, low 16 bits dy + 0x8000.
DWORD PackLabelOffset(int dx, int dy);

// A multi-state image element: mouse presses step its value with wrap-around and post WM_JNOTIFY.
class JSelector : public JElement {
public:
    // area is (x, y, width, height); signedMaximum <= 0 means press frames with maximum -signedMaximum;
    // labelOffset as PackLabelOffset gives; texts are cut to fit; name may be NULL.
    JSelector(JCanvas *canvas, const char *hint, RECT area, UINT imageId, DWORD labelOffset, const char *label,
              int minimum, int signedMaximum, int commandId, DWORD flags, const char *name);
    int OnMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The frame of value (composed in the back buffer) and the label; the area's background when hidden.
    void Draw(HDC dc);
    // value, or value - minimum unless JSEL_VALUE_ONLY.
    int GetValue();
    // value = v, or v + minimum clamped to minimum..maximum unless JSEL_VALUE_ONLY; nothing redrawn.
    void SetValue(int v);
    // Releases the image.
    ~JSelector();

    // Inside frameRect, all four edges included.
    int HitTest(LPARAM lParam) const;
    // After a mouse step: above maximum gives minimum, then below 0 gives maximum.
    void Wrap();
    // Draw on the canvas's held window DC, or a fresh one when none is held.
    void Redraw();
    // Steps value by delta, wraps and redraws.
    void Step(int delta);

    int value;        // the current frame index
    RECT frameRect;   // where the frame is drawn; the hit area, edges included
    RECT areaRect;    // frame and label; restored to background when hidden
    DWORD flags;      // JSEL_ bits
    JBitmap *image;   // all frames, owned record; NULL = none
    int minimum;      // starting value, follows maximum, offset of Get/SetValue
    int maximum;      // highest value
    char name[SelectorTextSize];  // what the selector stands for; empty when none
    int pressFrames;  // odd values are the pressed looks of the even value below
    int labelDx, labelDy;         // label at (frameRect.left + labelDx, frameRect.top - labelDy)
    char label[SelectorTextSize]; // text beside the frame; empty = none
};
