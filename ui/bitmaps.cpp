#include "ui/bitmaps.h"

BitmapCacheTable BitmapCache;

enum { TransparentColor = 0xFFFFFF };

static int FindSharedSlot(UINT id)
{
    // Only slots in use can be shared: a freed slot keeps id 0 and stale
    // handles that were deleted, so an id of 0 must never match one.
    for (int slot = 0; slot < BitmapCacheSlots; slot++)
        if (BitmapCache.count[slot] > 0 && BitmapCache.id[slot] == id)
            return slot;
    return -1;
}

static int FindFreeSlot()
{
    for (int slot = 0; slot < BitmapCacheSlots; slot++)
        if (BitmapCache.count[slot] == 0)
            return slot;
    return -1;
}

// A blank top-down 24-bit layout, made compatible with reference; its pixels are undefined.
static HBITMAP MakeBlankBitmap(int width, int height, HDC reference)
{
    BITMAPINFOHEADER header;
    ZeroMemory(&header, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    // CreateDIBitmap with no DC makes a monochrome bitmap; null stands for the screen here.
    HDC screen = reference ? NULL : GetDC(NULL);
    HBITMAP blank = CreateDIBitmap(reference ? reference : screen, &header, 0, NULL,
                                   (const BITMAPINFO *)&header, DIB_RGB_COLORS);
    if (screen)
        ReleaseDC(NULL, screen);
    return blank;
}

int AcquireBitmap(UINT id, JBitmap *bitmap, HINSTANCE module, HDC reference)
{
    int slot = FindSharedSlot(id);
    if (slot >= 0) {
        bitmap->memDC = BitmapCache.memDC[slot];
        bitmap->bitmap = BitmapCache.bitmap[slot];
        bitmap->width = BitmapCache.width[slot];
        bitmap->height = BitmapCache.height[slot];
        BitmapCache.count[slot]++;
        return 0;
    }

    bitmap->bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id & 0xFFFF));
    bitmap->memDC = CreateCompatibleDC(reference);
    if (bitmap->bitmap) {
        SelectObject(bitmap->memDC, bitmap->bitmap);
        BITMAP info;
        ZeroMemory(&info, sizeof info);
        GetObjectA(bitmap->bitmap, sizeof info, &info);
        bitmap->width = info.bmWidth;
        bitmap->height = info.bmHeight;
    } else {
        bitmap->width = id & 0x3FF;
        bitmap->height = (id >> 16) & 0x3FF;
        bitmap->bitmap = MakeBlankBitmap(bitmap->width, bitmap->height, reference);
        if (bitmap->bitmap)
            SelectObject(bitmap->memDC, bitmap->bitmap);
    }

    slot = FindFreeSlot();
    if (slot >= 0) { // with all slots in use the record keeps its handles alone
        BitmapCache.id[slot] = id;
        BitmapCache.count[slot] = 1;
        BitmapCache.memDC[slot] = bitmap->memDC;
        BitmapCache.bitmap[slot] = bitmap->bitmap;
        BitmapCache.width[slot] = bitmap->width;
        BitmapCache.height[slot] = bitmap->height;
    }
    return 1;
}

void ReleaseBitmap(JBitmap *bitmap)
{
    if (!bitmap)
        return;
    for (int slot = 0; slot < BitmapCacheSlots; slot++) {
        if (BitmapCache.count[slot] == 0 || BitmapCache.memDC[slot] != bitmap->memDC)
            continue;
        if (--BitmapCache.count[slot] == 0) {
            DeleteDC(BitmapCache.memDC[slot]); // deselects the bitmap, so it can be deleted next
            DeleteObject(BitmapCache.bitmap[slot]);
            BitmapCache.id[slot] = 0;
        }
        return;
    }
}

void TileBitmap(const JBitmap *bitmap, HDC target, int left, int top, int right, int bottom)
{
    if (!bitmap || !bitmap->memDC)
        return;
    const int W = bitmap->width, H = bitmap->height;
    if (W <= 0 || H <= 0) // a blank bitmap of encoded size 0 has nothing to repeat
        return;
    int r = 0, c = 0;
    do {
        int x = W * c, sx = 0;
        if (x < left) {
            x = left;
            sx = left % W;
        }
        int y = H * r, sy = 0;
        if (y < top) {
            y = top;
            sy = top % H;
        }
        int w = (x + W > right) ? right - x : W;
        int h = (y + H > bottom) ? bottom - y : H;
        // Empty or negative extents would mirror or write outside the rectangle.
        if (w > 0 && h > 0)
            BitBlt(target, x, y, w, h, bitmap->memDC, sx, sy, SRCCOPY);
        c++;
        if (W * c > right) {
            r++;
            c = 0;
        }
    } while (H * r <= bottom);
}

void BlitRect(const RECT *rect, HDC target, HDC source)
{
    BitBlt(target, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
           source, rect->left, rect->top, SRCCOPY);
}

// A source pixel; black for every pixel when the record has no memory DC.
static COLORREF SourcePixel(const JBitmap *b, int x, int y)
{
    return b->memDC ? GetPixel(b->memDC, x, y) : 0;
}

// White is transparent only when there is a real source to read from.
static int IsTransparent(const JBitmap *b, COLORREF color)
{
    return b->memDC && color == TransparentColor;
}

int CentreOutColumn(int width, int i)
{
    return (i % 2 == 0) ? width / 2 + i / 2 : width / 2 - 1 - i / 2;
}

void DrawBitmapTransparent(const JBitmap *b, HDC target, int x, int y, int dx, int dy)
{
    if (!b)
        return;
    for (int i = 0; i < b->width; i++) {
        int column = CentreOutColumn(b->width, i);
        for (int row = 0; row < b->height; row++) {
            COLORREF color = SourcePixel(b, column, row);
            if (!IsTransparent(b, color))
                SetPixelV(target, x + dx + column, y + dy + row, color);
        }
    }
}

void DrawBitmapTransparentDirect(const JBitmap *b, HDC target, int x, int y)
{
    if (!b)
        return;
    for (int i = 0; i < b->width; i++) {
        int column = CentreOutColumn(b->width, i);
        for (int row = 0; row < b->height; row++) {
            COLORREF color = SourcePixel(b, column, row);
            if (!IsTransparent(b, color))
                SetPixel(target, x + column, y + row, color);
        }
    }
}

static void CopyFrameColumns(const JBitmap *b, HDC target, int first, int x, int end, int y, int skipWhite)
{
    if (!b)
        return;
    for (int column = first; column < end; column++)
        for (int row = 0; row < b->height; row++) {
            COLORREF color = SourcePixel(b, column, row);
            if (!(skipWhite && IsTransparent(b, color)))
                SetPixelV(target, x + column - first, y + row, color);
        }
}

void CopyFrame(const JBitmap *b, HDC target, int first, int x, int end, int y)
{
    CopyFrameColumns(b, target, first, x, end, y, 0);
}

void CopyFrameTransparent(const JBitmap *b, HDC target, int first, int x, int end, int y)
{
    CopyFrameColumns(b, target, first, x, end, y, 1);
}

void CopyFrameTransposed(const JBitmap *b, HDC target, int first, int x, int end, int y)
{
    if (!b)
        return;
    for (int k = 0; k < end - first; k++)
        for (int j = 0; j < b->height; j++)
            SetPixelV(target, x + k, y + j, SourcePixel(b, first + j, k));
}

void CopyRegion(const JBitmap *b, HDC target, int left, int top, int right, int bottom, int sx, int sy)
{
    if (!b)
        return;
    for (int i = 0; i < right - left; i++)
        for (int j = 0; j < bottom - top; j++)
            SetPixelV(target, left + i, top + j, SourcePixel(b, sx + i, sy + j));
}

void CopyRegionTransposed(const JBitmap *b, HDC target, int left, int top, int right, int bottom, int sx, int sy)
{
    if (!b)
        return;
    for (int i = 0; i < right - left; i++)
        for (int j = 0; j < bottom - top; j++)
            SetPixelV(target, left + j, top + i, SourcePixel(b, sx + i, sy + j));
}
