// The pixel patterns of the test bitmaps, as make_test_bitmaps.py draws them.
#pragma once

#include <windows.h>

const COLORREF White = RGB(255, 255, 255);

inline COLORREF PatternPixel(int x, int y) { return RGB(2 * x + 1, 2 * y + 1, 60); }

inline COLORREF TransPixel(int x, int y)
{
    return (x + y) % 3 == 0 ? White : RGB(10 + 20 * x, 10 + 20 * y, 200);
}

inline COLORREF OpaquePixel(int x, int y) { return RGB(5 + 40 * x, 5 + 50 * y, 100); }

// Pixel (x, y) of the 52 x 13 strip: frame x / 13, white on each frame's outer ring.
inline COLORREF StripPixel(int x, int y)
{
    int k = x / 13, u = x % 13;
    if (u == 0 || y == 0 || u == 12 || y == 12)
        return White;
    return RGB(30 + 50 * k, 20 + 10 * u, 20 + 10 * y);
}

// Pixel (x, y) of the 104 x 78 grid: cell (x / 26) + 4 * (y / 26).
inline COLORREF GridPixel(int x, int y)
{
    int cell = x / 26 + 4 * (y / 26);
    return RGB(10 + 20 * cell, 5 + 9 * (x % 26), 5 + 9 * (y % 26));
}

// Pixel (u, v) of grid cell i.
inline COLORREF CellPixel(int i, int u, int v) { return GridPixel(26 * (i % 4) + u, 26 * (i / 4) + v); }

inline COLORREF BackgroundPixel(int x, int y) { return RGB(40 + 4 * x, 30 + 5 * y, 150); }

// What a window tiled with the 48 x 36 background shows at (x, y).
inline COLORREF TiledBackground(int x, int y) { return BackgroundPixel(x % 48, y % 36); }

inline COLORREF FacePixel(int x, int y)
{
    if ((x == 0 || x == 59) && (y == 0 || y == 18))
        return White;
    return RGB(250, 4 * x, 12 * y);
}

inline COLORREF PressedPixel(int x, int y)
{
    if ((x == 0 || x == 59) && (y == 0 || y == 18))
        return White;
    return RGB(4 * x, 250, 12 * y);
}

inline COLORREF BadgePixel(int x, int y) { return RGB(5, 5 + 10 * x, 240 - 10 * y); }
