// The element base: construction, SetShown and Repaint, MakeRect, the default operations.
#include <gtest/gtest.h>

#include <string>

#include "tests/ui/canvas_fixture.h"
#include "tests/ui/patterns.h"
#include "ui/elements.h"

namespace {

// Draws a solid block when shown, the background when hidden; counts the calls.
class Block : public JElement {
public:
    Block(JCanvas *canvas, const char *hint, RECT area) : JElement(canvas, hint), area(area) {}
    int OnMouse(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    void Draw(HDC dc) override
    {
        draws++;
        drawnOn = dc;
        if (!shown) {
            TileBitmap(canvas->background, dc, area.left, area.top, area.right, area.bottom);
            return;
        }
        HBRUSH brush = CreateSolidBrush(RGB(9, 99, 199));
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }
    RECT area;
    int draws = 0;
    HDC drawnOn = NULL;
};

class ElementTest : public WindowTest {
public:
    ElementTest() : WindowTest(1) {}
};

} // namespace

TEST_F(ElementTest, ConstructionRegistersInOrderWithFlagsAndHint)
{
    Block *a = Own(new Block(&canvas, "first", RECT()));
    Block *b = Own(new Block(&canvas, NULL, RECT()));
    ASSERT_EQ(2, canvas.count);
    EXPECT_EQ(a, canvas.elements[0]);
    EXPECT_EQ(b, canvas.elements[1]);
    EXPECT_EQ(&canvas, a->canvas);
    EXPECT_EQ(1, a->shown);
    EXPECT_EQ(1, a->active);
    EXPECT_EQ(0, a->erased);
    EXPECT_EQ(0, a->hintShown);
    EXPECT_EQ(0, a->commandId);
    EXPECT_STREQ("first", a->hint);
    EXPECT_STREQ("", b->hint);
    // The operations nothing overrides here.
    EXPECT_EQ(0, a->Reserved1());
    EXPECT_EQ(0, a->GetValue());
    EXPECT_EQ(0, a->Reserved2());
    EXPECT_EQ(0, a->Reserved3());
    a->SetValue(5);
    EXPECT_EQ(0, a->GetValue());
}

TEST_F(ElementTest, AHintLongerThanItsBufferIsCut)
{
    std::string longHint(400, 'q');
    Block *e = Own(new Block(&canvas, longHint.c_str(), RECT()));
    EXPECT_EQ(std::string(ElementHintSize - 1, 'q'), e->hint);
}

TEST_F(ElementTest, HidingTwicePaintsTheHiddenLookOnceAndShowingAlwaysPaints)
{
    RECT area = { 50, 60, 90, 80 };
    Block *e = Own(new Block(&canvas, "", area));
    FinishStartUp();
    EXPECT_EQ(RGB(9, 99, 199), WindowPixel(hwnd, 50, 60));

    SetShown(e, 0);
    EXPECT_EQ(0, e->shown);
    EXPECT_EQ(0, e->active);
    EXPECT_EQ(1, e->erased);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, area));
    MarkWindow(hwnd, area);
    SetShown(e, 0);
    EXPECT_EQ(Marker, WindowPixel(hwnd, 60, 70)) << "hidden look painted again";

    for (int i = 0; i < 2; i++) {
        MarkWindow(hwnd, area);
        SetShown(e, 1);
        EXPECT_EQ(1, e->shown);
        EXPECT_EQ(1, e->active);
        EXPECT_EQ(0, e->erased);
        EXPECT_EQ(RGB(9, 99, 199), WindowPixel(hwnd, 60, 70)) << "show " << i;
    }
}

TEST_F(ElementTest, RepaintUsesTheHeldDCWhenThereIsOne)
{
    Block *e = Own(new Block(&canvas, "", { 1, 1, 2, 2 }));
    Repaint(e); // during start-up the canvas holds a DC
    EXPECT_EQ(canvas.windowDC, e->drawnOn);
    FinishStartUp();
    int before = e->draws;
    Repaint(e); // now a fresh one, set up like every window DC of the toolkit
    EXPECT_EQ(before + 1, e->draws);
    EXPECT_TRUE(e->drawnOn != NULL);
    EXPECT_EQ(NULL, canvas.windowDC);
}

TEST(MakeRect, AddsSizeToCornerFromSixteenBitArguments)
{
    volatile int wide = 70000; // passed through a short, as a caller's int would be
    struct { RECT got, want; } cases[] = {
        { MakeRect(100, 200, 0, 0), { 100, 200, 100, 200 } },
        { MakeRect(290, 100, 20, 12), { 290, 100, 310, 112 } },
        { MakeRect((short)wide, 5, 10, 10), { 4464, 5, 4474, 15 } },
        { MakeRect(32767, -5, 32767, 10), { 32767, -5, 65534, 5 } },
    };
    for (auto &c : cases)
        EXPECT_TRUE(EqualRect(&c.want, &c.got)) << c.got.left << "," << c.got.top << "," << c.got.right << "," << c.got.bottom;
}
