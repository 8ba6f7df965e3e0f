// The canvas of a skinned window and its painter: back buffer, paint cycle, mouse dispatch, hint line.
#pragma once

#include <windows.h>

#include "ui/bitmaps.h"

enum { MaxElements = 150 };

class JElement;

// The shared drawing context of one skinned window.
struct JCanvas {
    int count;          // registered elements
    HINSTANCE module;   // module whose bitmap and cursor resources are drawn; set by InitPainter
    HWND window;        // the attached window; set by AttachWindow
    HDC windowDC;       // DC of the window held during a paint cycle, a mouse dispatch or the owner's start-up; else NULL
    HDC backDC;         // back buffer: its bitmap, NormalFont and TRANSPARENT mode selected
    JBitmap *background;               // the window's background picture; NULL until attached
    JElement *elements[MaxElements];   // entries 0..count-1, in registration order
    RECT hintRect;      // the hint line, in window coordinates
};

// Drives one canvas: attaching, paint cycles, dispatch.
struct JPainter {
    JCanvas *canvas;    // the canvas it drives
    PAINTSTRUCT paint;  // filled by BeginPaint; rcPaint bounds the background tiling
    RECT bufferRect;    // (0, 0, width, height) of the back buffer
    HBITMAP backBitmap; // the back-buffer bitmap, selected into canvas->backDC
};

extern JCanvas MainCanvas;       // the process-wide canvas
extern JPainter *MainPainter;    // painter that AttachWindow and DrawCanvasText act on; set by the program entry
extern HFONT NormalFont;         // window text font (13, "Name"); made by AttachWindow, replaced by the owner
extern HFONT UnderlinedFont;     // the link's font (13, "Name", underlined); made by AttachWindow
extern HCURSOR HandCursor;       // cursor over a link; loaded once by AttachWindow
extern int TextLeft;             // x of DrawCanvasText; 4 at start, the owner adds its margin
extern COLORREF HintColor;       // colour of the hint text; black until the owner sets it

// Binds painter to canvas and module; empties the canvas (no elements, DCs, background). Returns painter.
JPainter *InitPainter(JPainter *painter, JCanvas *canvas, HINSTANCE module);

// Attaches MainPainter's canvas to window: fonts and cursor (once per process), hint
// rectangle (NULL = empty), back buffer of the window's size, background bitmap.
void AttachWindow(HWND window, UINT backgroundId, WORD cursorId, const RECT *hintRect);

// A font of the given height, face "Name", underlined when underline is 1.
HFONT MakeFont(int height, int underline);

// Makes the back buffer at the window's client size and its memory DC (canvas->backDC).
void CreateBackBuffer(JPainter *painter, HWND window);

// Starts a paint cycle (after a 50 ms pause): BeginPaint, and a window DC held in the canvas, which it returns.
HDC BeginCanvasPaint(JPainter *painter);

// Tiles the background over the update rectangle, then draws every shown element, in order.
void PaintElements(JPainter *painter);

// Writes text at (TextLeft, y) on MainPainter's held window DC; nothing outside a paint cycle or dispatch.
void DrawCanvasText(const char *text, int y);

// Ends the paint cycle: releases the held window DC, EndPaint.
void EndCanvasPaint(JPainter *painter);

// Offers a client-area mouse message (0x200-0x20E) to the active elements in order, with a
// window DC held; returns 1 when one consumed it (later ones do not see it), else 0.
int DispatchMouse(JPainter *painter, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Appends element to canvas's list; 1 registered, 0 refused (list full).
int RegisterElement(JCanvas *canvas, JElement *element);

// Shows (state 1) or clears (state 0) element's hint on its canvas's hint line, when the state changes.
void UpdateHintLine(JElement *element, int state);

// Writes text at (x, y) on dc in its current font, colour and mode.
void PutText(const char *text, HDC dc, int x, int y);

// Selects NormalFont into dc and sets TRANSPARENT mode, as every window DC of the toolkit has.
void PrepareWindowDC(HDC dc);
