#include "ui/canvas.h"

#include <new>

#include "ui/element.h"

JCanvas MainCanvas;
JPainter *MainPainter;
HFONT NormalFont;
HFONT UnderlinedFont;
HCURSOR HandCursor;
int TextLeft = 4;
COLORREF HintColor;

enum {
    NormalFontHeight = 13,
    PaintPauseMs = 50,
    MaxHintChars = 200,
    FirstMouseMessage = 0x200, // WM_MOUSEMOVE
    MouseMessageSpan = 14      // up to 0x20E, WM_MOUSEHWHEEL
};

JPainter *InitPainter(JPainter *painter, JCanvas *canvas, HINSTANCE module)
{
    painter->canvas = canvas;
    canvas->module = module;
    canvas->count = 0;
    canvas->windowDC = NULL;
    canvas->backDC = NULL;
    canvas->background = NULL;
    painter->backBitmap = NULL;
    return painter;
}

HFONT MakeFont(int height, int underline)
{
    LOGFONTA font;
    ZeroMemory(&font, sizeof font);
    font.lfHeight = height;
    font.lfUnderline = (BYTE)underline;
    lstrcpynA(font.lfFaceName, "Name", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

void PrepareWindowDC(HDC dc)
{
    if (NormalFont)
        SelectObject(dc, NormalFont);
    SetBkMode(dc, TRANSPARENT);
}

void CreateBackBuffer(JPainter *painter, HWND window)
{
    JCanvas *canvas = painter->canvas;
    // A second attach replaces the buffer; the first one would otherwise be lost.
    if (canvas->backDC) {
        DeleteDC(canvas->backDC);
        canvas->backDC = NULL;
    }
    if (painter->backBitmap) {
        DeleteObject(painter->backBitmap);
        painter->backBitmap = NULL;
    }

    GetWindowRect(window, &painter->bufferRect);
    POINT corner = { painter->bufferRect.right, painter->bufferRect.bottom };
    ScreenToClient(window, &corner);
    painter->bufferRect.left = 0;
    painter->bufferRect.top = 0;
    painter->bufferRect.right = corner.x;
    painter->bufferRect.bottom = corner.y;

    HDC windowDC = GetDC(window);
    BITMAPINFOHEADER header;
    ZeroMemory(&header, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = painter->bufferRect.right;
    header.biHeight = -painter->bufferRect.bottom;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    painter->backBitmap = CreateDIBitmap(windowDC, &header, 0, NULL, (const BITMAPINFO *)&header, DIB_RGB_COLORS);
    canvas->backDC = CreateCompatibleDC(windowDC);
    SelectObject(canvas->backDC, painter->backBitmap);
    if (NormalFont)
        SelectObject(canvas->backDC, NormalFont);
    SetBkMode(canvas->backDC, TRANSPARENT);
    ReleaseDC(window, windowDC);
}

void AttachWindow(HWND window, UINT backgroundId, WORD cursorId, const RECT *hintRect)
{
    if (!MainPainter || !MainPainter->canvas)
        return;
    JPainter *painter = MainPainter;
    JCanvas *canvas = painter->canvas;
    canvas->window = window;
    if (!NormalFont)
        NormalFont = MakeFont(NormalFontHeight, 0);
    if (!UnderlinedFont)
        UnderlinedFont = MakeFont(NormalFontHeight, 1);
    if (!HandCursor)
        HandCursor = LoadCursorA(canvas->module, MAKEINTRESOURCEA(cursorId));
    if (hintRect)
        canvas->hintRect = *hintRect;
    else
        SetRectEmpty(&canvas->hintRect);

    CreateBackBuffer(painter, window);

    JBitmap *previous = canvas->background;
    JBitmap *background = new (std::nothrow) JBitmap;
    if (background) {
        HDC reference = canvas->windowDC ? canvas->windowDC : GetDC(window);
        AcquireBitmap(backgroundId, background, canvas->module, reference);
        if (reference != canvas->windowDC)
            ReleaseDC(window, reference);
    }
    canvas->background = background;
    if (previous) { // a second attach gives the earlier picture back
        ReleaseBitmap(previous);
        delete previous;
    }
}

HDC BeginCanvasPaint(JPainter *painter)
{
    JCanvas *canvas = painter->canvas;
    Sleep(PaintPauseMs);
    BeginPaint(canvas->window, &painter->paint);
    // The GetDC context is not clipped to the update region: elements always draw whole.
    canvas->windowDC = GetDC(canvas->window);
    PrepareWindowDC(canvas->windowDC);
    return canvas->windowDC;
}

void PaintElements(JPainter *painter)
{
    JCanvas *canvas = painter->canvas;
    const RECT &area = painter->paint.rcPaint;
    if (canvas->background)
        TileBitmap(canvas->background, canvas->windowDC, area.left, area.top, area.right, area.bottom);
    for (int i = 0; i < canvas->count; i++)
        if (canvas->elements[i]->shown)
            canvas->elements[i]->Draw(canvas->windowDC);
}

void DrawCanvasText(const char *text, int y)
{
    if (!MainPainter || !MainPainter->canvas || !MainPainter->canvas->windowDC)
        return;
    TextOutA(MainPainter->canvas->windowDC, TextLeft, y, text, lstrlenA(text));
}

void EndCanvasPaint(JPainter *painter)
{
    JCanvas *canvas = painter->canvas;
    ReleaseDC(canvas->window, canvas->windowDC);
    canvas->windowDC = NULL;
    EndPaint(canvas->window, &painter->paint);
}

int DispatchMouse(JPainter *painter, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // 16-bit difference: the upper half of the message number is not looked at.
    if ((WORD)(message - FirstMouseMessage) > MouseMessageSpan)
        return 0;
    JCanvas *canvas = painter->canvas;
    if (canvas->count <= 0)
        return 0;
    canvas->windowDC = GetDC(window);
    PrepareWindowDC(canvas->windowDC);
    int consumed = 0;
    for (int i = 0; i < canvas->count && !consumed; i++)
        if (canvas->elements[i]->active)
            consumed = canvas->elements[i]->OnMouse(window, message, wParam, lParam) != 0;
    ReleaseDC(window, canvas->windowDC);
    canvas->windowDC = NULL;
    return consumed;
}

int RegisterElement(JCanvas *canvas, JElement *element)
{
    if (canvas->count < 0 || canvas->count >= MaxElements)
        return 0;
    canvas->elements[canvas->count++] = element;
    return 1;
}

// Length of the hint's shown part: up to the first '@', at most MaxHintChars.
static int HintLength(const char *hint)
{
    int n = 0;
    while (n < MaxHintChars && hint[n] && hint[n] != '@')
        n++;
    return n;
}

void UpdateHintLine(JElement *element, int state)
{
    if (state == element->hintShown || !element->hint[0])
        return;
    JCanvas *canvas = element->canvas;
    const RECT &line = canvas->hintRect;
    TileBitmap(canvas->background, canvas->backDC, line.left, line.top, line.right, line.bottom);
    SetTextColor(canvas->backDC, HintColor);
    if (state == 1)
        TextOutA(canvas->backDC, line.left, line.top, element->hint, HintLength(element->hint));
    if (canvas->windowDC)
        BlitRect(&line, canvas->windowDC, canvas->backDC);
    element->hintShown = state;
}

void PutText(const char *text, HDC dc, int x, int y)
{
    TextOutA(dc, x, y, text, lstrlenA(text));
}
