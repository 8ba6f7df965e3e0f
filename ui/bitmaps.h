// Bitmaps of the skinned toolkit: a reference-counted cache of resource bitmaps and the copies that draw them.
#pragma once

#include <windows.h>

// One user's handle on a loaded bitmap; the handles belong to its cache slot when it has one.
struct JBitmap {
    int width;      // width of the bitmap in pixels
    int height;     // height of the bitmap in pixels
    HDC memDC;      // memory DC with the bitmap selected; every copy reads its pixels here
    HBITMAP bitmap; // the bitmap itself
};

enum { BitmapCacheSlots = 50 };

// The process-wide cache: six parallel arrays, one entry per slot; count 0 marks a free slot.
struct BitmapCacheTable {
    UINT id[50];        // resource id (all 32 bits) the slot was loaded for; 0 when free
    int count[50];      // records sharing the slot; 0 = free
    int width[50];      // copy of the bitmap's width
    int height[50];     // copy of the bitmap's height
    HDC memDC[50];      // the shared memory DC
    HBITMAP bitmap[50]; // the shared bitmap
};

extern BitmapCacheTable BitmapCache; // all slots free at start; filled by AcquireBitmap, emptied by ReleaseBitmap

// Fills bitmap with the bitmap resource id & 0xFFFF of module, shared through the cache;
// an id naming no resource gives a blank (id & 0x3FF) x ((id >> 16) & 0x3FF) bitmap.
// reference (NULL = the screen) is the DC the memory DC and a blank bitmap are made compatible with.
// Returns 0 when an existing slot was shared, 1 when the bitmap was loaded or made now.
int AcquireBitmap(UINT id, JBitmap *bitmap, HINSTANCE module, HDC reference);

// Drops the record's reference to its slot (found by memory DC); the last one deletes DC and bitmap.
void ReleaseBitmap(JBitmap *bitmap);

// Repeats the bitmap over left..right-1, top..bottom-1 of target, tiles anchored at the target's origin.
void TileBitmap(const JBitmap *bitmap, HDC target, int left, int top, int right, int bottom);

// Copies rect of source to the same place in target.
void BlitRect(const RECT *rect, HDC target, HDC source);

// Whole picture at (x + dx, y + dy), columns from the centre outwards, white skipped, SetPixelV.
void DrawBitmapTransparent(const JBitmap *b, HDC target, int x, int y, int dx, int dy);

// Whole picture at (x, y), columns from the centre outwards, white skipped, SetPixel (meant for a window DC).
void DrawBitmapTransparentDirect(const JBitmap *b, HDC target, int x, int y);

// Columns first..end-1, all rows, to (x, y), opaque.
void CopyFrame(const JBitmap *b, HDC target, int first, int x, int end, int y);

// As CopyFrame, white skipped.
void CopyFrameTransparent(const JBitmap *b, HDC target, int first, int x, int end, int y);

// The H columns from first on and rows 0..end-first-1, written to (x, y) with rows and columns swapped.
void CopyFrameTransposed(const JBitmap *b, HDC target, int first, int x, int end, int y);

// Source rectangle at (sx, sy) of size (right-left) x (bottom-top) to (left, top), opaque.
void CopyRegion(const JBitmap *b, HDC target, int left, int top, int right, int bottom, int sx, int sy);

// As CopyRegion, written with rows and columns swapped (target area bottom-top wide, right-left high).
void CopyRegionTransposed(const JBitmap *b, HDC target, int left, int top, int right, int bottom, int sx, int sy);

// The column visited i-th by the centre-outward order of a width-W picture.
int CentreOutColumn(int width, int i);
