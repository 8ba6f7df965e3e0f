// The grid selector and its picker: drawing cells, picker size and placement, choosing by click,
// no choice on a right click, Escape or a click at the origin, and the redraw after a paint cycle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/canvas_fixture.h"
#include "tests/ui/patterns.h"
#include "ui/elements.h"
#include "ui/picker.h"

namespace {

// Drives the picker from inside its modal loop: a thread timer finds the picker window,
// looks at it, optionally lets the owner run a paint cycle, then acts.
struct PickerDriver {
    enum Action { Click, RightClick, Escape };
    Action action = Click;
    LPARAM point = 0;
    bool paintOwner = false;
    HWND owner = NULL;
    UINT_PTR timer = 0;
    HWND picker = NULL;
    RECT windowRect = {};
    int tileMismatches = -1; // over every cell's tile
    int numberPixels = 0;    // off-background pixels where cell 7's number ("07") goes
    int paintsBefore = 0, paintsAfter = 0;
    bool transposed = false;
    int cells = 0;
};

PickerDriver Driver;

BOOL CALLBACK FindPicker(HWND window, LPARAM)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && lstrcmpA(name, "#32770") == 0) {
        Driver.picker = window;
        return FALSE;
    }
    return TRUE;
}

void LookAtPicker(HWND picker)
{
    UpdateWindow(picker);
    HDC dc = GetDC(picker);
    int n = 0;
    for (int i = 0; i < Driver.cells; i++) {
        int left = 44 * (i % 4) + 18, top = 36 * (i / 4) + 10;
        for (int v = 0; v < 26; v++)
            for (int u = 0; u < 26; u++) {
                COLORREF want = Driver.transposed ? CellPixel(i, v, u) : CellPixel(i, u, v);
                n += GetPixel(dc, left + u, top + v) != want;
            }
    }
    Driver.tileMismatches = n;
    // Cell 6 sits in column 2, row 1: its number is written at (92, 48).
    for (int y = 48; y < 48 + 13; y++)
        for (int x = 92; x < 92 + 14; x++)
            Driver.numberPixels += GetPixel(dc, x, y) != TiledBackground(x, y);
    ReleaseDC(picker, dc);
}

void CALLBACK DriverTick(HWND, UINT, UINT_PTR, DWORD)
{
    Driver.picker = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindPicker, 0);
    if (!Driver.picker)
        return;
    KillTimer(NULL, Driver.timer);
    Driver.timer = 0;
    HWND picker = Driver.picker;
    GetWindowRect(picker, &Driver.windowRect);
    LookAtPicker(picker);
    if (Driver.paintOwner) {
        Driver.paintsBefore = TestWindow::paintCycles;
        InvalidateRect(Driver.owner, NULL, TRUE);
        UpdateWindow(Driver.owner);
        Driver.paintsAfter = TestWindow::paintCycles;
    }
    switch (Driver.action) {
    case PickerDriver::Click:
        PostMessageA(picker, WM_LBUTTONUP, 0, Driver.point);
        break;
    case PickerDriver::RightClick:
        PostMessageA(picker, WM_RBUTTONDOWN, MK_RBUTTON, Driver.point);
        break;
    case PickerDriver::Escape:
        PostMessageA(picker, WM_KEYDOWN, VK_ESCAPE, 1);
        break;
    }
}

// A grid selector that records the DC each Draw gets and what the canvas held at the time.
class GridSelector : public JSelector {
public:
    GridSelector(JCanvas *canvas, int top, int maximum, DWORD flags)
        : JSelector(canvas, "pick a tile", MakeRect(300, (short)top, 30, 30), IDB_GRID, 0x80008000, "", 0, maximum,
                    3000, JSEL_GRID | flags, "grid") {}
    void Draw(HDC dc) override
    {
        drawnOn = dc;
        heldAtDraw = canvas->windowDC;
        JSelector::Draw(dc);
    }
    HDC drawnOn = NULL, heldAtDraw = NULL;
};

// Records the DC the dispatch holds; never consumes.
class DispatchWitness : public JElement {
public:
    explicit DispatchWitness(JCanvas *canvas) : JElement(canvas, "") {}
    int OnMouse(HWND, UINT, WPARAM, LPARAM) override { return held = canvas->windowDC, 0; }
    void Draw(HDC) override {}
    HDC held = NULL;
};

class PickerTest : public WindowTest {
public:
    PickerTest() : WindowTest(1) {}

protected:
    GridSelector *Grid(int top = 150, int maximum = 11, DWORD flags = 0)
    {
        GridSelector *s = Own(new GridSelector(&canvas, top, maximum, flags));
        Driver = PickerDriver();
        Driver.owner = hwnd;
        Driver.cells = maximum + 1;
        Driver.transposed = (flags & JSEL_TRANSPOSED) != 0;
        return s;
    }

    // A left press on the selector's frame, with the driver acting in the picker.
    int PressFrame(const JSelector *s)
    {
        Driver.timer = SetTimer(NULL, 0, 20, DriverTick);
        int result = Dispatch(WM_LBUTTONDOWN, s->frameRect.left + 5, s->frameRect.top + 5);
        if (Driver.timer)
            KillTimer(NULL, Driver.timer);
        return result;
    }

    int CellMismatches(const JSelector *s, int cell, bool transposed = false)
    {
        HDC dc = GetDC(hwnd);
        int n = 0;
        for (int v = 0; v < 26; v++)
            for (int u = 0; u < 26; u++)
                n += GetPixel(dc, s->frameRect.left + u, s->frameRect.top + v) !=
                     (transposed ? CellPixel(cell, v, u) : CellPixel(cell, u, v));
        ReleaseDC(hwnd, dc);
        return n;
    }

    POINT ClientOrigin()
    {
        POINT p = { 0, 0 };
        ClientToScreen(hwnd, &p);
        return p;
    }
};

} // namespace

TEST(PickerCell, ColumnsOf44AndRowsOf36FromTheFirstCell)
{
    struct { int x, y, cell; } cases[] = {
        { 100, 50, 6 }, { 0, 0, 0 }, { 8, 4, 0 }, { 52, 40, 0 }, { 53, 41, 5 }, { 184, 10, 3 }, { 185, 10, 4 },
        { 197, 120, 16 }, // column 4 of row 3
    };
    for (auto &c : cases)
        EXPECT_EQ(c.cell, PickerCell(MAKELONG(c.x, c.y))) << c.x << "," << c.y;
}

TEST(PickerHeight, ThirtySixPixelsARowPlusFifty)
{
    EXPECT_EQ(122, PickerHeight(11));
    EXPECT_EQ(50, PickerHeight(3));
    EXPECT_EQ(86, PickerHeight(4));
}

TEST_F(PickerTest, TheFrameShowsTheValuesCellStraightOrTransposed)
{
    GridSelector *straight = Grid(150, 11, 0);
    straight->value = 6;
    GridSelector *transposed = Own(new GridSelector(&canvas, 150, 11, JSEL_TRANSPOSED));
    transposed->frameRect = { 400, 150, 426, 176 };
    transposed->value = 9;
    FinishStartUp();
    EXPECT_EQ(0, CellMismatches(straight, 6));
    EXPECT_EQ(0, CellMismatches(transposed, 9, true));
    straight->value = 12; // no such cell
    EXPECT_TRUE(RecordDrawing([&](HDC dc) { straight->Draw(dc); }).empty());
}

TEST_F(PickerTest, ARightPressPostsTheNextCommandAndIsNotConsumed)
{
    Grid();
    FinishStartUp();
    EXPECT_EQ(0, Dispatch(WM_RBUTTONDOWN, 305, 155));
    EXPECT_EQ(std::vector<int>{ 3001 }, TakeNotifications(hwnd));
}

struct PlacementCase {
    int frameTop;
    bool below;
};

class PickerPlacementTest : public PickerTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PickerPlacementTest, ThePickerLiesLeftOfTheFrameBelowOrAboveIt)
{
    GridSelector *s = Grid(GetParam().frameTop);
    FinishStartUp();
    Driver.action = PickerDriver::Escape;
    EXPECT_EQ(0, PressFrame(s));
    ASSERT_TRUE(Driver.picker != NULL) << "no picker seen";
    const RECT r = Driver.windowRect;
    const POINT origin = ClientOrigin();
    EXPECT_EQ(198, r.right - r.left);
    EXPECT_EQ(122, r.bottom - r.top);
    EXPECT_EQ(origin.x + s->frameRect.left - 1, r.right);
    if (GetParam().below)
        EXPECT_EQ(origin.y + s->frameRect.bottom, r.top);
    else
        EXPECT_EQ(origin.y + s->frameRect.top - 1, r.bottom);
    EXPECT_FALSE(IsWindow(Driver.picker)) << "picker still there";
}

INSTANTIATE_TEST_SUITE_P(FrameTops, PickerPlacementTest,
    ::testing::Values(PlacementCase{ 50, true }, PlacementCase{ 121, true }, PlacementCase{ 122, false },
                      PlacementCase{ 250, false }),
    [](const ::testing::TestParamInfo<PlacementCase> &i) { return "Top" + std::to_string(i.param.frameTop); });

TEST_F(PickerTest, ThePickerShowsEveryCellWithItsNumber)
{
    for (DWORD flags : { (DWORD)0, (DWORD)JSEL_TRANSPOSED }) {
        canvas.count = 0;
        GridSelector *s = Grid(150, 11, flags);
        FinishStartUp();
        Driver.action = PickerDriver::Escape;
        PressFrame(s);
        EXPECT_EQ(0, Driver.tileMismatches) << "flags " << flags;
        EXPECT_GT(Driver.numberPixels, 10) << "no number beside cell 7";
    }
}

struct ChoiceCase {
    const char *name;
    int maximum;
    PickerDriver::Action action;
    int x, y;
    int result, value;
    std::vector<int> posted;
};

class PickerChoiceTest : public PickerTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(PickerChoiceTest, AClickChoosesTheCellUnderItAnythingElseChangesNothing)
{
    const ChoiceCase &c = GetParam();
    GridSelector *s = Grid(150, c.maximum);
    s->value = 1;
    FinishStartUp();
    Driver.action = c.action;
    Driver.point = MAKELPARAM(c.x, c.y);
    EXPECT_EQ(c.result, PressFrame(s));
    ASSERT_TRUE(Driver.picker != NULL) << "no picker seen";
    EXPECT_EQ(c.value, s->value);
    EXPECT_EQ(c.posted, TakeNotifications(hwnd));
    EXPECT_EQ(0, CellMismatches(s, c.value));
}

INSTANTIATE_TEST_SUITE_P(Choices, PickerChoiceTest, ::testing::Values(
    ChoiceCase{ "ClickChoosesCell6", 11, PickerDriver::Click, 100, 50, 1, 6, { 3000 } },
    ChoiceCase{ "ClickPastTheLastColumnGivesTheNextRow", 11, PickerDriver::Click, 190, 20, 1, 4, { 3000 } },
    ChoiceCase{ "ChoiceIsLoweredToTheMaximum", 3, PickerDriver::Click, 190, 20, 1, 3, { 3000 } },
    ChoiceCase{ "ClickAtTheOriginIsNoChoice", 11, PickerDriver::Click, 0, 0, 0, 1, {} },
    ChoiceCase{ "RightClickIsNoChoice", 11, PickerDriver::RightClick, 100, 50, 0, 1, {} },
    ChoiceCase{ "EscapeIsNoChoice", 11, PickerDriver::Escape, 0, 0, 0, 1, {} }),
    [](const ::testing::TestParamInfo<ChoiceCase> &i) { return std::string(i.param.name); });

TEST_F(PickerTest, AfterAPaintCycleInsideThePickerTheRedrawStillGetsTheDispatchDC)
{
    DispatchWitness *witness = Own(new DispatchWitness(&canvas));
    GridSelector *s = Grid(150, 11);
    FinishStartUp();
    Driver.action = PickerDriver::Click;
    Driver.point = MAKELPARAM(100, 50);
    Driver.paintOwner = true;
    EXPECT_EQ(1, PressFrame(s));
    EXPECT_GT(Driver.paintsAfter, Driver.paintsBefore) << "no paint cycle ran while the picker was open";
    EXPECT_EQ(6, s->value);
    ASSERT_TRUE(witness->held != NULL);
    EXPECT_EQ(witness->held, s->drawnOn) << "redraw not on the DC the dispatch holds";
    EXPECT_EQ(witness->held, s->heldAtDraw);
    EXPECT_EQ(NULL, canvas.windowDC);
    EXPECT_EQ(0, CellMismatches(s, 6));
    EXPECT_EQ(std::vector<int>{ 3000 }, TakeNotifications(hwnd));
}

TEST_F(PickerTest, OutsideADispatchTheRedrawTakesAFreshDC)
{
    GridSelector *s = Grid(150, 11);
    FinishStartUp();
    Driver.action = PickerDriver::Click;
    Driver.point = MAKELPARAM(100, 50);
    Driver.timer = SetTimer(NULL, 0, 20, DriverTick);
    EXPECT_EQ(1, s->OnMouse(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(305, 155)));
    if (Driver.timer)
        KillTimer(NULL, Driver.timer);
    EXPECT_TRUE(s->drawnOn != NULL);
    EXPECT_EQ(NULL, canvas.windowDC);
    EXPECT_EQ(0, CellMismatches(s, 6));
    TakeNotifications(hwnd);
}
