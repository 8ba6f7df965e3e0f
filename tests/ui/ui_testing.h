// Helpers of the toolkit tests: recorded drawing, memory targets, a skinned test window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/canvas.h"

// One drawing call as an enhanced metafile records it.
struct EmfRecord {
    DWORD type;          // EMR_SETPIXELV, EMR_BITBLT, EMR_EXTTEXTOUTW, EMR_SETTEXTCOLOR, ...
    LONG x, y;           // pixel or destination corner
    LONG cx, cy;         // destination size (EMR_BITBLT)
    LONG sx, sy;         // source corner (EMR_BITBLT)
    COLORREF color;      // pixel colour (EMR_SETPIXELV) or text colour (EMR_SETTEXTCOLOR)
    std::string text;    // text written (EMR_EXTTEXTOUTW/A), ASCII
};

// Runs draw on an enhanced-metafile DC and returns the records it made, in order
// (header and end-of-file records left out).
std::vector<EmfRecord> RecordDrawing(const std::function<void(HDC)> &draw);

// The records of one type.
std::vector<EmfRecord> OfType(const std::vector<EmfRecord> &records, DWORD type);

const COLORREF Marker = RGB(0x12, 0x34, 0x56); // fill of fresh targets: no test bitmap holds it

// A 32-bit memory DC of the given size, filled with Marker, for reading back pixels.
class MemoryTarget {
public:
    MemoryTarget(int width, int height);
    ~MemoryTarget();
    COLORREF Pixel(int x, int y) const { return GetPixel(dc, x, y); }
    HDC dc;
    int width, height;
private:
    HBITMAP bitmap;
    HGDIOBJ old;
};

// A JBitmap made in memory (not cached): width x height, pixel(x, y) each.
JBitmap MakeMemoryBitmap(int width, int height, const std::function<COLORREF(int, int)> &pixel);
void FreeMemoryBitmap(JBitmap *bitmap);

// Screen position for a test window: programs and prefixes keep apart (column 0 or 1).
POINT TestWindowOrigin(int column);

// A borderless shown (not activated) pop-up whose procedure runs the toolkit like the installer's window:
// every message first to DispatchMouse, WM_PAINT through the paint cycle (with the prompt text
// when prompt is set). painter may be changed at any time; NULL skips the toolkit.
class TestWindow {
public:
    TestWindow(int x, int y, int width, int height);
    ~TestWindow();
    HWND hwnd;
    static JPainter *painter;   // painter the procedure drives
    static const char *prompt;  // text drawn at (TextLeft, 238) in each paint cycle; NULL = none
    static int paintCycles;     // paint cycles run so far
};

// Pixel (x, y) of the window read through a fresh GetDC.
COLORREF WindowPixel(HWND window, int x, int y);

// Fills rect of the window with Marker.
void MarkWindow(HWND window, const RECT &rect);

// Sends a mouse message with the pointer at client (x, y).
LRESULT SendMouse(HWND window, UINT message, int x, int y);

// Removes and returns the wParams of every WM_JNOTIFY queued for window, in order.
std::vector<int> TakeNotifications(HWND window);

// Dispatches every queued message of this thread.
void PumpMessages();

// Number of pixels of rect (in the window) that differ from the tiled test background.
int PixelsOffBackground(HWND window, const RECT &rect);

// Number of pixels of rect in dc whose colour is color.
int CountColor(HDC dc, const RECT &rect, COLORREF color);
