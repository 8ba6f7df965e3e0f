#include "tests/ui/ui_testing.h"

#include <stdlib.h>

#include "tests/support/testing.h"
#include "tests/ui/patterns.h"
#include "ui/element.h"

static int CALLBACK CollectRecord(HDC, HANDLETABLE *, const ENHMETARECORD *record, int, LPARAM data)
{
    auto *out = reinterpret_cast<std::vector<EmfRecord> *>(data);
    EmfRecord r = {};
    r.type = record->iType;
    switch (record->iType) {
    case EMR_HEADER:
    case EMR_EOF:
        return 1;
    case EMR_SETPIXELV: {
        auto *p = reinterpret_cast<const EMRSETPIXELV *>(record);
        r.x = p->ptlPixel.x;
        r.y = p->ptlPixel.y;
        r.color = p->crColor;
        break;
    }
    case EMR_BITBLT: {
        auto *b = reinterpret_cast<const EMRBITBLT *>(record);
        r.x = b->xDest;
        r.y = b->yDest;
        r.cx = b->cxDest;
        r.cy = b->cyDest;
        r.sx = b->xSrc;
        r.sy = b->ySrc;
        break;
    }
    case EMR_SETTEXTCOLOR:
        r.color = reinterpret_cast<const EMRSETTEXTCOLOR *>(record)->crColor;
        break;
    case EMR_EXTTEXTOUTW: {
        auto *t = reinterpret_cast<const EMREXTTEXTOUTW *>(record);
        r.x = t->emrtext.ptlReference.x;
        r.y = t->emrtext.ptlReference.y;
        auto *chars = reinterpret_cast<const WCHAR *>(reinterpret_cast<const BYTE *>(record) + t->emrtext.offString);
        for (DWORD i = 0; i < t->emrtext.nChars; i++)
            r.text += (char)chars[i];
        break;
    }
    case EMR_EXTTEXTOUTA: {
        auto *t = reinterpret_cast<const EMREXTTEXTOUTA *>(record);
        r.x = t->emrtext.ptlReference.x;
        r.y = t->emrtext.ptlReference.y;
        r.type = EMR_EXTTEXTOUTW; // one type for text, whichever the metafile chose
        r.text.assign(reinterpret_cast<const char *>(record) + t->emrtext.offString, t->emrtext.nChars);
        break;
    }
    default:
        break;
    }
    out->push_back(r);
    return 1;
}

std::vector<EmfRecord> RecordDrawing(const std::function<void(HDC)> &draw)
{
    std::vector<EmfRecord> records;
    HDC dc = CreateEnhMetaFileA(NULL, NULL, NULL, NULL);
    draw(dc);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    EnumEnhMetaFile(NULL, metafile, CollectRecord, &records, NULL);
    DeleteEnhMetaFile(metafile);
    return records;
}

std::vector<EmfRecord> OfType(const std::vector<EmfRecord> &records, DWORD type)
{
    std::vector<EmfRecord> out;
    for (const EmfRecord &r : records)
        if (r.type == type)
            out.push_back(r);
    return out;
}

static HBITMAP MakeDib(int width, int height, void **bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(NULL, &info, DIB_RGB_COLORS, bits, NULL, 0);
}

MemoryTarget::MemoryTarget(int width, int height) : width(width), height(height)
{
    void *bits = NULL;
    dc = CreateCompatibleDC(NULL);
    bitmap = MakeDib(width, height, &bits);
    old = SelectObject(dc, bitmap);
    RECT all = { 0, 0, width, height };
    HBRUSH brush = CreateSolidBrush(Marker);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

MemoryTarget::~MemoryTarget()
{
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

JBitmap MakeMemoryBitmap(int width, int height, const std::function<COLORREF(int, int)> &pixel)
{
    JBitmap b = {};
    void *bits = NULL;
    b.width = width;
    b.height = height;
    b.memDC = CreateCompatibleDC(NULL);
    b.bitmap = MakeDib(width, height, &bits);
    SelectObject(b.memDC, b.bitmap);
    DWORD *p = static_cast<DWORD *>(bits);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            COLORREF c = pixel(x, y); // DIB order is blue, green, red
            p[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return b;
}

void FreeMemoryBitmap(JBitmap *bitmap)
{
    DeleteDC(bitmap->memDC);
    DeleteObject(bitmap->bitmap);
    bitmap->memDC = NULL;
    bitmap->bitmap = NULL;
}

POINT TestWindowOrigin(int column)
{
    POINT p = { column * 660, InWin64Prefix() ? 0 : 680 };
    return p;
}

JPainter *TestWindow::painter;
const char *TestWindow::prompt;
int TestWindow::paintCycles;

static LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    JPainter *painter = TestWindow::painter;
    if (painter && DispatchMouse(painter, window, message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_PAINT:
        if (!painter)
            break;
        BeginCanvasPaint(painter);
        PaintElements(painter);
        if (TestWindow::prompt)
            DrawCanvasText(TestWindow::prompt, 238);
        EndCanvasPaint(painter);
        TestWindow::paintCycles++;
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint cycle covers everything
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TestWindow::TestWindow(int x, int y, int width, int height)
{
    static ATOM atom;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hCursor = LoadCursorA(NULL, MAKEINTRESOURCEA(32512)); // IDC_ARROW
        wc.lpszClassName = "LvUiTestWindow";
        atom = RegisterClassA(&wc);
    }
    hwnd = CreateWindowExA(0, "LvUiTestWindow", "toolkit test", WS_POPUP, x, y, width, height,
                           NULL, NULL, GetModuleHandleA(NULL), NULL);
    // Not activated: with no window manager, Wine waits 2 s for an activated window to go.
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
}

TestWindow::~TestWindow()
{
    DestroyWindow(hwnd);
}

COLORREF WindowPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

void MarkWindow(HWND window, const RECT &rect)
{
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(Marker);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

LRESULT SendMouse(HWND window, UINT message, int x, int y)
{
    WPARAM keys = (message == WM_LBUTTONDOWN) ? MK_LBUTTON : (message == WM_RBUTTONDOWN) ? MK_RBUTTON : 0;
    return SendMessageA(window, message, keys, MAKELPARAM(x, y));
}

std::vector<int> TakeNotifications(HWND window)
{
    std::vector<int> out;
    MSG msg;
    while (PeekMessageA(&msg, window, WM_JNOTIFY, WM_JNOTIFY, PM_REMOVE))
        out.push_back((int)msg.wParam);
    return out;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int PixelsOffBackground(HWND window, const RECT &rect)
{
    HDC dc = GetDC(window);
    int n = 0;
    for (int y = rect.top; y < rect.bottom; y++)
        for (int x = rect.left; x < rect.right; x++)
            if (GetPixel(dc, x, y) != TiledBackground(x, y))
                n++;
    ReleaseDC(window, dc);
    return n;
}

int CountColor(HDC dc, const RECT &rect, COLORREF color)
{
    int n = 0;
    for (int y = rect.top; y < rect.bottom; y++)
        for (int x = rect.left; x < rect.right; x++)
            if (GetPixel(dc, x, y) == color)
                n++;
    return n;
}
