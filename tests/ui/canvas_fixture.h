// A fixture for tests on a real skinned window: its own canvas and painter, attached like the installer's.
#pragma once

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "tests/ui/test_ids.h"
#include "tests/ui/ui_testing.h"
#include "ui/canvas.h"
#include "ui/element.h"

// A 600 x 320 test window with the 48 x 36 test background and the hint line of the installer's layout.
class WindowTest : public ::testing::Test {
protected:
    enum { Width = 600, Height = 320 };
    // column: which screen column the program's windows use (TestWindowOrigin).
    explicit WindowTest(int column = 0) : column(column) {}

    void SetUp() override
    {
        memset(&canvas, 0, sizeof canvas);
        memset(&painter, 0, sizeof painter);
        InitPainter(&painter, &canvas, GetModuleHandleA(NULL));
        MainPainter = &painter;
        // One window for the whole program: under Wine without a window manager, destroying
        // a window that has been active (a closed picker activates its owner) takes 2 s.
        static TestWindow *shared;
        if (!shared) {
            POINT origin = TestWindowOrigin(column);
            shared = new TestWindow(origin.x, origin.y, Width, Height);
        }
        window = shared;
        ASSERT_TRUE(window->hwnd != NULL) << "no window (is DISPLAY set?)";
        hwnd = window->hwnd;
        // Like the installer's start-up: a held DC while attaching and creating elements.
        canvas.windowDC = GetDC(hwnd);
        AttachWindow(hwnd, IDB_BACKGROUND, IDC_TESTHAND, NULL);
        HintColor = RGB(255, 255, 255);
        RECT hint = { 20, 301, 451, 321 };
        canvas.hintRect = hint;
    }

    // Ends the start-up phase: the held DC goes, the window paints once.
    void FinishStartUp()
    {
        ReleaseDC(hwnd, canvas.windowDC);
        canvas.windowDC = NULL;
        TestWindow::painter = &painter;
        InvalidateRect(hwnd, NULL, TRUE);
        UpdateWindow(hwnd);
    }

    void TearDown() override
    {
        TestWindow::painter = NULL;
        TestWindow::prompt = NULL;
        if (canvas.windowDC)
            ReleaseDC(hwnd, canvas.windowDC);
        for (JElement *e : owned)
            delete e;
        TakeNotifications(hwnd); // nothing a test left queued reaches the next one
        if (canvas.background) {
            ReleaseBitmap(canvas.background);
            delete canvas.background;
        }
        DeleteDC(canvas.backDC);
        DeleteObject(painter.backBitmap);
        MainPainter = NULL;
    }

    // Keeps e to delete it at the end of the test.
    template <class T> T *Own(T *e)
    {
        owned.push_back(e);
        return e;
    }

    // DispatchMouse as the window procedure calls it, pointer at client (x, y); its result.
    int Dispatch(UINT message, int x, int y)
    {
        WPARAM keys = (message == WM_LBUTTONDOWN) ? MK_LBUTTON : (message == WM_RBUTTONDOWN) ? MK_RBUTTON : 0;
        return DispatchMouse(&painter, hwnd, message, keys, MAKELPARAM(x, y));
    }

    int column;
    JCanvas canvas;
    JPainter painter;
    TestWindow *window = nullptr;
    HWND hwnd = NULL;
    std::vector<JElement *> owned;
};
