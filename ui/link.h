// The link element of the skinned toolkit: underlined text that posts WM_JNOTIFY when pressed.
#pragma once

#include "ui/element.h"

enum { LinkCaptionSize = 60 }; // bytes of JAncor::caption, terminator included

const COLORREF LinkColor = 0x00FF0000;        // blue, not yet visited
const COLORREF VisitedLinkColor = 0x00800080; // purple, after a press

// A hyperlink: underlined caption, hand cursor and hint on hover, WM_JNOTIFY on a left press.
class JAncor : public JElement {
public:
    // Only position's left and top are used; caption is cut to fit.
    JAncor(JCanvas *canvas, const char *hint, RECT position, const char *caption, int commandId);
    int OnMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The caption in UnderlinedFont and the link colour; measures textRect; leaves dc's font as it was
    // and its text colour black. Hidden: restores the background over textRect instead.
    void Draw(HDC dc);

    // Inside textRect, all four edges included.
    int HitTest(LPARAM lParam) const;

    int visited;    // set by the first left press
    RECT textRect;  // left/top: caption corner; right/bottom: measured extent at the last Draw
    char caption[LinkCaptionSize]; // the link text
};
