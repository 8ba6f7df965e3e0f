// The link on a real window: inclusive hit test, consumed moves, clicks, colours, restored DC state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/canvas_fixture.h"
#include "tests/ui/patterns.h"
#include "ui/elements.h"

namespace {

const char *Caption = "www.kestovan.example";

// An element after the link: records whether a move reached it.
class Witness : public JElement {
public:
    explicit Witness(JCanvas *canvas) : JElement(canvas, "") {}
    int OnMouse(HWND, UINT, WPARAM, LPARAM) override { return ++seen, 0; }
    void Draw(HDC) override {}
    int seen = 0;
};

class LinkTest : public WindowTest {
public:
    LinkTest() : WindowTest(1) {}

protected:
    JAncor *Make(int command = 1029)
    {
        return Own(new JAncor(&canvas, "Visit kestovan.example", MakeRect(458, 20, 0, 0), Caption, command));
    }
};

int CountIn(HDC dc, const RECT &r, COLORREF c) { return CountColor(dc, r, c); }

} // namespace

TEST_F(LinkTest, BeforeTheFirstDrawOnlyTheCornerPointHits)
{
    JAncor *link = Make();
    RECT corner = { 458, 20, 458, 20 };
    EXPECT_TRUE(EqualRect(&corner, &link->textRect));
    struct { int x, y, result; } cases[] = { { 459, 20, 0 }, { 458, 21, 0 }, { 457, 20, 0 }, { 458, 20, 1 } };
    // Not painted yet: drive the element straight, as no paint cycle has run.
    for (auto &c : cases)
        EXPECT_EQ(c.result, link->OnMouse(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(c.x, c.y))) << c.x << "," << c.y;
    TakeNotifications(hwnd);
}

TEST_F(LinkTest, AfterDrawingTheMeasuredEdgesAreInside)
{
    JAncor *link = Make();
    FinishStartUp();
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, UnderlinedFont);
    SIZE extent;
    GetTextExtentPoint32A(dc, Caption, lstrlenA(Caption), &extent);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    const RECT r = link->textRect;
    EXPECT_EQ(458 + extent.cx, r.right);
    EXPECT_EQ(20 + extent.cy, r.bottom);
    struct { int x, y, inside; } cases[] = {
        { r.left, r.top, 1 }, { r.right, r.bottom, 1 }, { r.right, r.top, 1 }, { r.left, r.bottom, 1 },
        { r.right + 1, r.top + 2, 0 }, { r.left - 1, r.top + 2, 0 }, { r.left + 3, r.bottom + 1, 0 }, { r.left + 3, r.top - 1, 0 },
    };
    for (auto &c : cases)
        EXPECT_EQ(c.inside, Dispatch(WM_MOUSEMOVE, c.x, c.y)) << c.x << "," << c.y;
}

TEST_F(LinkTest, AMoveOverTheLinkIsConsumedWithHintAndHandCursor)
{
    JAncor *link = Make();
    Witness *later = Own(new Witness(&canvas));
    FinishStartUp();
    SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(1, Dispatch(WM_MOUSEMOVE, 465, 25));
    EXPECT_EQ(0, later->seen);
    EXPECT_EQ(1, link->hintShown);
    EXPECT_EQ(HandCursor, GetCursor());
    EXPECT_EQ(0, Dispatch(WM_MOUSEMOVE, 300, 100));
    EXPECT_EQ(1, later->seen);
    EXPECT_EQ(0, link->hintShown);
}

TEST_F(LinkTest, EveryPressInsidePostsAndMarksTheLinkVisited)
{
    struct { int command; std::vector<int> posted; } cases[] = { { 1029, { 1029, 1029 } }, { 0, {} } };
    FinishStartUp();
    for (auto &c : cases) {
        canvas.count = 0;
        JAncor *link = Make(c.command);
        link->textRect.right = link->textRect.left + 50; // as measured by a first paint
        link->textRect.bottom = link->textRect.top + 12;
        EXPECT_EQ(0, Dispatch(WM_LBUTTONDOWN, 300, 100));
        EXPECT_EQ(0, link->visited);
        EXPECT_EQ(1, Dispatch(WM_LBUTTONDOWN, 470, 25));
        EXPECT_EQ(1, link->visited);
        EXPECT_EQ(1, Dispatch(WM_LBUTTONDOWN, 470, 25));
        EXPECT_EQ(0, Dispatch(WM_LBUTTONUP, 470, 25));
        EXPECT_EQ(c.posted, TakeNotifications(hwnd)) << "command " << c.command;
    }
}

TEST_F(LinkTest, DrawUsesTheLinkColoursAndLeavesFontAndBlackTextColour)
{
    JAncor *link = Make();
    MemoryTarget target(Width, 60);
    SetBkMode(target.dc, TRANSPARENT);
    HGDIOBJ before = GetCurrentObject(target.dc, OBJ_FONT);
    RECT area = { 450, 10, Width, 50 };
    for (int visited : { 0, 1 }) {
        link->visited = visited;
        SetTextColor(target.dc, RGB(200, 0, 0));
        link->Draw(target.dc);
        COLORREF want = visited ? VisitedLinkColor : LinkColor, other = visited ? LinkColor : VisitedLinkColor;
        // The underline is a solid line of the colour.
        EXPECT_GE(CountIn(target.dc, area, want), link->textRect.right - link->textRect.left) << "visited " << visited;
        EXPECT_EQ(0, CountIn(target.dc, area, other)) << "visited " << visited;
        EXPECT_EQ(0u, GetTextColor(target.dc));
        EXPECT_EQ(before, GetCurrentObject(target.dc, OBJ_FONT));
        RECT all = { 0, 0, Width, 60 };
        HBRUSH brush = CreateSolidBrush(Marker);
        FillRect(target.dc, &all, brush);
        DeleteObject(brush);
    }
}

TEST_F(LinkTest, APressDoesNotRedrawTheNextPaintShowsTheVisitedColour)
{
    JAncor *link = Make();
    FinishStartUp();
    RECT area = { 450, 10, Width, 50 };
    HDC dc = GetDC(hwnd);
    EXPECT_GT(CountIn(dc, area, LinkColor), 0);
    Dispatch(WM_LBUTTONDOWN, link->textRect.left + 2, link->textRect.top + 2);
    EXPECT_EQ(0, CountIn(dc, area, VisitedLinkColor));
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
    EXPECT_GT(CountIn(dc, area, VisitedLinkColor), 0);
    EXPECT_EQ(0, CountIn(dc, area, LinkColor));
    ReleaseDC(hwnd, dc);
    TakeNotifications(hwnd);
}

TEST_F(LinkTest, HidingTheLinkRestoresTheBackgroundUnderItsCaption)
{
    JAncor *link = Make();
    FinishStartUp();
    EXPECT_GT(PixelsOffBackground(hwnd, link->textRect), 0);
    SetShown(link, 0);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, { 450, 10, Width, 50 }));
}

TEST_F(LinkTest, ACaptionLongerThanItsBufferIsCut)
{
    std::string longCaption(90, 'c');
    JAncor *link = Own(new JAncor(&canvas, NULL, MakeRect(0, 0, 0, 0), longCaption.c_str(), 0));
    EXPECT_EQ(std::string(LinkCaptionSize - 1, 'c'), link->caption);
}
