// The bitmap push button of the skinned toolkit.
#pragma once

#include "ui/element.h"

enum { ButtonLabelSize = 60 }; // bytes of JButton::label, terminator included

// A button drawn from a normal and a pressed bitmap; a press then release posts WM_JNOTIFY.
class JButton : public JElement {
public:
    // position's left/top place it (right/bottom only count without a normal image); ids 0 = no image;
    // labelRect is (x offset, y offset, width, height) from the position's corner; texts are cut to fit.
    JButton(JCanvas *canvas, const char *hint, RECT position, UINT normalId, UINT pressedId, int commandId,
            const char *label = 0, const RECT *labelRect = 0);
    int OnMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Draw(HDC dc);
    // Releases both images.
    ~JButton();

    // Strictly inside rect: left < x < right and top < y < bottom.
    int HitTest(LPARAM lParam) const;
    // Pressed (non-zero) or normal look onto the canvas's held window DC, composed in the back buffer.
    void DrawPressed(int pressed);
    // The label over restored background in the back buffer, copied to dc.
    void DrawLabel(HDC dc);

    JBitmap *normalImage;  // normal look, owned record; NULL = none
    JBitmap *pressedImage; // pressed look, owned record; NULL = none
    int pressState;        // 0 idle, 1 pressed inside, 3 clicked (behaves as 0)
    int imageX, imageY;    // where the image's corner goes: rect's left and top
    RECT rect;             // restored, copied and hit-tested area; right and bottom exclusive
    char label[ButtonLabelSize]; // optional text; empty = none
    RECT labelRect;        // the label's area in window coordinates
    int transparent;       // draw the normal image straight onto the target, white skipped; set by the owner
    int pressOffset;       // 1 when both ids are equal: the pressed look is the image moved by (1, 1)
};
