// Toolkit benchmark: the finish picture drawn pixel by pixel onto a shown window, and full
// paint cycles of a window laid out with the installer's eight elements.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "core/text.h"
#include "ui/canvas.h"
#include "ui/elements.h"

enum { Rounds = 10, PausedMs = 50 };

static JPainter BenchPainter;
static JElement *Elements[8]; // in the installer's creation order
static int Finished;          // the finish screen is up

static LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (DispatchMouse(&BenchPainter, window, message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_PAINT:
        BeginCanvasPaint(&BenchPainter);
        PaintElements(&BenchPainter);
        if (!Finished)
            DrawCanvasText("Select folder where setup will install files:", 238);
        EndCanvasPaint(&BenchPainter);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static HWND MakeWindow(HINSTANCE module)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = BenchProc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorA(NULL, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = "LvUiBench";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "LvUiBench", "toolkit benchmark", WS_POPUP, 340, 352, 600, 320,
                                  NULL, NULL, module, NULL);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

// The installer's start-up: attach, then the eight elements of its layout table.
static void BuildWindow(HWND window)
{
    JCanvas *canvas = BenchPainter.canvas;
    canvas->windowDC = GetDC(window);
    AttachWindow(window, 222, 120, NULL);
    HintColor = 0xFFFFFF;
    TextLeft += 16;
    RECT hint = { 20, 301, 451, 321 };
    canvas->hintRect = hint;
    Elements[0] = new JButton(canvas, "", MakeRect(537, 299, 0, 0), 203, 203, 2);
    Elements[1] = new JButton(canvas, "", MakeRect(475, 299, 0, 0), 219, 219, 219);
    Elements[2] = new JButton(canvas, "", MakeRect(535, 299, 0, 0), 220, 220, 2);
    SetShown(Elements[2], 0);
    Elements[3] = new JButton(canvas, "Install 32-bit version", MakeRect(480, 236, 0, 0), 224, 224, 0);
    Elements[4] = new JButton(canvas, "Install 64-bit version", MakeRect(510, 236, 0, 0), 225, 225, 0);
    Elements[5] = new JAncor(canvas, "Visit kestovan.example", MakeRect(458, 20, 0, 0), "www.kestovan.example", 1029);
    JButton *finish = new JButton(canvas, "", MakeRect(0, 0, 0, 0), 213, 213, 1);
    finish->transparent = 1;
    finish->active = 0;
    finish->shown = 0;
    Elements[6] = finish;
    JSelector *box = new JSelector(canvas, "Select to install Lumivortex filter", MakeRect(290, 100, 20, 12), 128,
                                   PackLabelOffset(20, 0), "Lumivortex plug-in", 0, -3, 2000, JSEL_TRANSPARENT,
                                   "Lumivortex");
    box->value = 2;
    Elements[7] = box;
    ReleaseDC(window, canvas->windowDC);
    canvas->windowDC = NULL;
}

// As the main window's finish screen: FINISH, the link and the finish picture.
static void ShowFinishScreen(HWND window)
{
    Finished = 1;
    for (int i = 0; i < 8; i++)
        Elements[i]->active = Elements[i]->shown = 0;
    Elements[2]->active = Elements[2]->shown = 1;
    Elements[5]->active = Elements[5]->shown = 1;
    Elements[6]->shown = 1;
    InvalidateRect(window, NULL, TRUE);
    UpdateWindow(window);
}

static double NowMs()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

static int CompareDoubles(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

static void Report(const char *what, double *ms)
{
    qsort(ms, Rounds, sizeof *ms, CompareDoubles);
    printf("%-74s min %7.1f  median %7.1f  max %7.1f ms\n", what, ms[0], ms[Rounds / 2], ms[Rounds - 1]);
}

static void FullRepaints(HWND window, const char *what)
{
    double ms[Rounds];
    for (int i = 0; i < Rounds; i++) {
        double start = NowMs();
        InvalidateRect(window, NULL, TRUE);
        UpdateWindow(window);
        ms[i] = NowMs() - start;
    }
    Report(what, ms);
    for (int i = 0; i < Rounds; i++)
        ms[i] -= PausedMs;
    char label[100];
    BufSet(label, sizeof label, what);
    BufAppend(label, sizeof label, ", less the 50 ms pause");
    Report(label, ms);
}

static void HoldOnScreen(int seconds)
{
    DWORD end = GetTickCount() + (DWORD)seconds * 1000;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(20);
    }
}

int main(int argc, char **argv)
{
    int hold = 0, finishOnly = 0, hoverX = -1, hoverY = -1;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--hold") && i + 1 < argc)
            hold = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--hover") && i + 2 < argc) {
            hoverX = atoi(argv[++i]);
            hoverY = atoi(argv[++i]);
        } else if (!strcmp(argv[i], "--finish"))
            finishOnly = 1;
    }
    HINSTANCE module = GetModuleHandleA(NULL);
    InitPainter(&BenchPainter, &MainCanvas, module);
    MainPainter = &BenchPainter;
    HWND window = MakeWindow(module);
    if (!window) {
        printf("no window: is DISPLAY set?\n");
        return 1;
    }
    BuildWindow(window);
    UpdateWindow(window);

    if (hold) { // for a screenshot: one screen, no measuring
        if (finishOnly)
            ShowFinishScreen(window);
        HoldOnScreen(1); // the window's first exposure repaints it (and would clear the hint line)
        if (hoverX >= 0) // a pointer move as the window would get it
            SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(hoverX, hoverY));
        HoldOnScreen(hold);
        return 0;
    }

    const JBitmap *picture = ((JButton *)Elements[6])->normalImage;
    int drawn = 0;
    for (int x = 0; x < picture->width; x++)
        for (int y = 0; y < picture->height; y++)
            drawn += GetPixel(picture->memDC, x, y) != 0xFFFFFF;
    printf("finish picture %d x %d: %d pixels read, %d written (not white)\n", picture->width, picture->height,
           picture->width * picture->height, drawn);

    double ms[Rounds];
    HDC dc = GetDC(window);
    for (int i = 0; i < Rounds; i++) {
        double start = NowMs();
        DrawBitmapTransparentDirect(picture, dc, 0, 0);
        ms[i] = NowMs() - start;
    }
    ReleaseDC(window, dc);
    Report("DrawBitmapTransparentDirect 600 x 298 onto the window", ms);

    FullRepaints(window, "paint cycle, choosing screen (8 elements, 6 shown)");
    ShowFinishScreen(window);
    FullRepaints(window, "paint cycle, finish screen (picture, FINISH, link)");
    return 0;
}
