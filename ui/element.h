// The element base of the skinned toolkit: what every element has, its show/hide and the click message.
#pragma once

#include <windows.h>

#include "ui/canvas.h"

#define WM_JNOTIFY 0x500 // posted by an element on a click: wParam = its commandId, lParam = 0

enum { ElementHintSize = 212 }; // bytes of JElement::hint, terminator included

// A skinned element: registers with its canvas on construction, draws itself, takes mouse messages.
class JElement {
public:
    // Registers with canvas (refused when it is full), shown and active, hint copied (cut to fit; NULL = none).
    JElement(JCanvas *canvas, const char *hint);
    // Mouse message with the pointer at (LOWORD, HIWORD) of lParam, client coordinates; non-zero = consumed.
    virtual int OnMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Paints the current look (shown) or the hidden look (not shown) on dc.
    virtual void Draw(HDC dc) = 0;
    virtual int Reserved1();     // 0; no caller
    virtual int GetValue();      // 0 here; the selector's value
    virtual int Reserved2();     // 0; no caller
    virtual int Reserved3();     // 0; no caller
    virtual void SetValue(int value); // nothing here; the selector's value
    virtual ~JElement();         // releases nothing; does not unregister

    char hint[ElementHintSize]; // hover hint; empty = none
    int active;     // offered mouse messages by DispatchMouse
    int shown;      // drawn by PaintElements
    int erased;     // the hidden look was painted since the element was hidden
    int hintShown;  // 1 while the hint line shows this element's hint; written by UpdateHintLine
    int commandId;  // wParam of WM_JNOTIFY; 0 = posts nothing
    JCanvas *canvas; // the canvas it registered with; not owned
};

// Shows (show non-zero: shown, active, not erased) or hides (not shown, not active) element, then Repaint.
void SetShown(JElement *element, int show);

// Draws element at once on the canvas's held DC or a fresh window DC; nothing when already erased.
void Repaint(JElement *element);

// (x, y, x + width, y + height), the sums formed in 32 bits.
RECT MakeRect(short x, short y, short width, short height);

// Posts WM_JNOTIFY with command to window; nothing when command is 0.
void PostNotify(HWND window, int command);

// Calls element's Draw on the canvas's held window DC, or on a fresh one taken for the call.
void DrawOnWindow(JElement *element);

// A new record filled by AcquireBitmap from canvas's module and held DC; NULL for id 0 or when out of memory.
JBitmap *AcquireElementImage(JCanvas *canvas, UINT id);

// Releases and frees a record made by AcquireElementImage; nothing for NULL.
void ReleaseElementImage(JBitmap *image);
