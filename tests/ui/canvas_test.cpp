// Canvas and painter on a real window: attaching, the paint cycle, mouse dispatch, the hint line.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "tests/ui/canvas_fixture.h"
#include "tests/ui/patterns.h"

namespace {

// An element that records what the canvas does with it and draws a solid block.
class Probe : public JElement {
public:
    Probe(JCanvas *canvas, const char *hint, int consume, RECT area = RECT(), COLORREF color = RGB(1, 200, 3))
        : JElement(canvas, hint), consume(consume), area(area), color(color) {}
    int OnMouse(HWND, UINT message, WPARAM, LPARAM) override
    {
        messages.push_back(message);
        heldDC = canvas->windowDC;
        return consume;
    }
    void Draw(HDC dc) override
    {
        draws++;
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }
    int consume;
    RECT area;
    COLORREF color;
    std::vector<UINT> messages;
    HDC heldDC = NULL;
    int draws = 0;
};

class CanvasTest : public WindowTest {};

std::string FaceName(HFONT font, LOGFONTA *out)
{
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    *out = lf;
    return lf.lfFaceName;
}

} // namespace

TEST(InitPainter, BindsThePainterAndEmptiesTheCanvas)
{
    static JCanvas canvas;
    JPainter painter = {};
    canvas.count = 7;
    canvas.windowDC = (HDC)1;
    canvas.backDC = (HDC)2;
    canvas.background = (JBitmap *)3;
    painter.backBitmap = (HBITMAP)4;
    HINSTANCE module = GetModuleHandleA(NULL);
    EXPECT_EQ(&painter, InitPainter(&painter, &canvas, module));
    EXPECT_EQ(&canvas, painter.canvas);
    EXPECT_EQ(module, canvas.module);
    EXPECT_EQ(0, canvas.count);
    EXPECT_EQ(NULL, canvas.windowDC);
    EXPECT_EQ(NULL, canvas.backDC);
    EXPECT_EQ(NULL, canvas.background);
    EXPECT_EQ(NULL, painter.backBitmap);
}

TEST(MakeFont, HeightUnderlineAndTheFaceName)
{
    struct { int height, underline; } cases[] = { { 13, 0 }, { 13, 1 }, { 16, 0 } };
    for (auto &c : cases) {
        HFONT font = MakeFont(c.height, c.underline);
        LOGFONTA lf;
        EXPECT_EQ("Name", FaceName(font, &lf));
        EXPECT_EQ(c.height, lf.lfHeight);
        EXPECT_EQ(c.underline, lf.lfUnderline);
        EXPECT_EQ(0, lf.lfWeight);
        DeleteObject(font);
    }
}

TEST_F(CanvasTest, AttachMakesFontsCursorBackBufferAndBackground)
{
    EXPECT_EQ(hwnd, canvas.window);
    LOGFONTA lf;
    EXPECT_EQ("Name", FaceName(NormalFont, &lf));
    EXPECT_EQ(13, lf.lfHeight);
    EXPECT_EQ(0, lf.lfUnderline);
    EXPECT_EQ("Name", FaceName(UnderlinedFont, &lf));
    EXPECT_EQ(1, lf.lfUnderline);
    EXPECT_TRUE(HandCursor != NULL);

    RECT whole = { 0, 0, Width, Height };
    EXPECT_TRUE(EqualRect(&whole, &painter.bufferRect));
    BITMAP info = {};
    GetObjectA(painter.backBitmap, sizeof info, &info);
    EXPECT_EQ(Width, info.bmWidth);
    EXPECT_EQ(Height, info.bmHeight);
    EXPECT_EQ(painter.backBitmap, GetCurrentObject(canvas.backDC, OBJ_BITMAP));
    EXPECT_EQ(NormalFont, GetCurrentObject(canvas.backDC, OBJ_FONT));
    EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.backDC));

    ASSERT_TRUE(canvas.background != NULL);
    EXPECT_EQ(48, canvas.background->width);
    EXPECT_EQ(36, canvas.background->height);
    EXPECT_EQ(BackgroundPixel(5, 6), GetPixel(canvas.background->memDC, 5, 6));
}

TEST_F(CanvasTest, ASecondAttachReusesFontsAndCursorAndTakesTheGivenHintRectangle)
{
    HFONT normal = NormalFont, underlined = UnderlinedFont;
    HCURSOR hand = HandCursor;
    RECT hint = { 1, 2, 3, 4 };
    AttachWindow(hwnd, IDB_BACKGROUND, IDC_TESTHAND, &hint);
    EXPECT_EQ(normal, NormalFont);
    EXPECT_EQ(underlined, UnderlinedFont);
    EXPECT_EQ(hand, HandCursor);
    EXPECT_TRUE(EqualRect(&hint, &canvas.hintRect));
    AttachWindow(hwnd, IDB_BACKGROUND, IDC_TESTHAND, NULL);
    EXPECT_TRUE(IsRectEmpty(&canvas.hintRect));
    EXPECT_EQ(0, canvas.hintRect.left | canvas.hintRect.top | canvas.hintRect.right | canvas.hintRect.bottom);
    EXPECT_EQ(48, canvas.background->width);
}

TEST_F(CanvasTest, PaintCycleTilesTheBackgroundAndDrawsShownElementsOnly)
{
    Probe *shown = Own(new Probe(&canvas, "", 0, { 100, 50, 140, 70 }));
    Probe *hidden = Own(new Probe(&canvas, "", 0, { 200, 50, 240, 70 }));
    hidden->shown = 0;
    FinishStartUp();
    EXPECT_EQ(1, shown->draws);
    EXPECT_EQ(0, hidden->draws);
    EXPECT_EQ(NULL, canvas.windowDC) << "DC still held after the cycle";
    RECT whole = { 0, 0, Width, Height };
    EXPECT_EQ(40 * 20, PixelsOffBackground(hwnd, whole));
    EXPECT_EQ(RGB(1, 200, 3), WindowPixel(hwnd, 100, 50));
    EXPECT_EQ(TiledBackground(200, 50), WindowPixel(hwnd, 200, 50));
}

TEST_F(CanvasTest, ASmallUpdateRegionRetilesOnlyItButRedrawsWholeElements)
{
    Probe *probe = Own(new Probe(&canvas, "", 0, { 120, 40, 200, 60 }));
    FinishStartUp();
    RECT whole = { 0, 0, Width, Height };
    MarkWindow(hwnd, whole);
    RECT small = { 100, 30, 140, 80 };
    InvalidateRect(hwnd, &small, TRUE);
    UpdateWindow(hwnd);
    EXPECT_EQ(2, probe->draws);
    EXPECT_TRUE(EqualRect(&small, &painter.paint.rcPaint));
    for (int y = 0; y < Height; y += 5)
        for (int x = 0; x < Width; x += 5) {
            POINT p = { x, y };
            COLORREF want = PtInRect(&probe->area, p) ? RGB(1, 200, 3)
                          : PtInRect(&small, p)       ? TiledBackground(x, y)
                                                      : Marker;
            ASSERT_EQ(want, WindowPixel(hwnd, x, y)) << x << ", " << y;
        }
}

TEST_F(CanvasTest, PromptTextIsDrawnInsideTheCycleOnly)
{
    FinishStartUp();
    RECT line = { 4, 238, 300, 254 };
    DrawCanvasText("Select folder where setup will install files:", 238);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, line)) << "drew outside a paint cycle";
    TestWindow::prompt = "Select folder where setup will install files:";
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
    EXPECT_GT(PixelsOffBackground(hwnd, line), 50);
    RECT left = { 0, 238, TextLeft, 254 };
    EXPECT_EQ(0, PixelsOffBackground(hwnd, left)) << "text starts left of TextLeft";
}

// ---- DispatchMouse ----

struct RangeCase {
    UINT message;
    bool offered;
};

class DispatchRangeTest : public CanvasTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(DispatchRangeTest, OnlyClientMouseMessagesReachTheElements)
{
    Probe *probe = Own(new Probe(&canvas, "", 1));
    FinishStartUp();
    const RangeCase &c = GetParam();
    EXPECT_EQ(c.offered ? 1 : 0, DispatchMouse(&painter, hwnd, c.message, 0, 0));
    EXPECT_EQ(c.offered ? 1u : 0u, probe->messages.size());
    if (c.offered) {
        EXPECT_TRUE(probe->heldDC != NULL) << "no DC held during the call";
    }
    EXPECT_EQ(NULL, canvas.windowDC);
}

INSTANTIATE_TEST_SUITE_P(Messages, DispatchRangeTest,
    ::testing::Values(RangeCase{ 0x1FF, false }, RangeCase{ WM_MOUSEMOVE, true }, RangeCase{ WM_LBUTTONDOWN, true },
                      RangeCase{ 0x20E, true }, RangeCase{ 0x20F, false }, RangeCase{ WM_PAINT, false },
                      RangeCase{ 0x10201, true }, RangeCase{ 0x101FF, false }),
    [](const ::testing::TestParamInfo<RangeCase> &i) {
        char name[16];
        wsprintfA(name, "M%X", i.param.message);
        return std::string(name);
    });

TEST_F(CanvasTest, FirstConsumerInRegistrationOrderEndsTheDispatch)
{
    struct { int consume[3]; int result; size_t seen[3]; } cases[] = {
        { { 1, 1, 0 }, 1, { 1, 0, 0 } },
        { { 0, 1, 1 }, 1, { 1, 1, 0 } },
        { { 0, 0, 0 }, 0, { 1, 1, 1 } },
    };
    FinishStartUp();
    for (auto &c : cases) {
        canvas.count = 0;
        Probe *p[3];
        for (int i = 0; i < 3; i++)
            p[i] = Own(new Probe(&canvas, "", c.consume[i]));
        EXPECT_EQ(c.result, SendMouse(hwnd, WM_LBUTTONUP, 5, 5) ? -1 : DispatchMouse(&painter, hwnd, WM_LBUTTONUP, 0, 0));
        // The window procedure's dispatch and the direct one stop at the same element.
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(2 * c.seen[i], p[i]->messages.size()) << "element " << i;
    }
}

TEST_F(CanvasTest, InactiveElementsArePaintedButNotOfferedAndHiddenOnesTheReverse)
{
    Probe *inactive = Own(new Probe(&canvas, "", 0, { 10, 10, 20, 20 }));
    Probe *hidden = Own(new Probe(&canvas, "", 0, { 30, 10, 40, 20 }));
    inactive->active = 0;
    hidden->shown = 0;
    FinishStartUp();
    SendMouse(hwnd, WM_MOUSEMOVE, 15, 15);
    EXPECT_EQ(1, inactive->draws);
    EXPECT_TRUE(inactive->messages.empty());
    EXPECT_EQ(0, hidden->draws);
    EXPECT_EQ(1u, hidden->messages.size());
}

TEST_F(CanvasTest, DispatchWithoutElementsReturnsZero)
{
    FinishStartUp();
    EXPECT_EQ(0, DispatchMouse(&painter, hwnd, WM_LBUTTONDOWN, 0, 0));
    EXPECT_EQ(NULL, canvas.windowDC);
}

TEST_F(CanvasTest, RegistrationStopsAtMaxElements)
{
    RECT hint = canvas.hintRect;
    std::vector<Probe *> probes;
    for (int i = 0; i < MaxElements; i++)
        probes.push_back(Own(new Probe(&canvas, "", 0)));
    EXPECT_EQ(MaxElements, canvas.count);
    Probe *extra = Own(new Probe(&canvas, "", 1));
    EXPECT_EQ(MaxElements, canvas.count);
    EXPECT_EQ(0, RegisterElement(&canvas, extra));
    EXPECT_EQ(probes.back(), canvas.elements[MaxElements - 1]);
    EXPECT_TRUE(EqualRect(&hint, &canvas.hintRect)) << "written past the element list";
    canvas.count = 0;
    EXPECT_EQ(1, RegisterElement(&canvas, extra));
    EXPECT_EQ(extra, canvas.elements[0]);
}

// ---- the hint line ----

// UpdateHintLine with the back buffer replaced by a metafile: exactly what it draws, in order.
class HintRecordTest : public CanvasTest {
protected:
    std::vector<EmfRecord> Record(JElement *e, int state)
    {
        HDC back = canvas.backDC;
        auto records = RecordDrawing([&](HDC dc) {
            canvas.backDC = dc;
            UpdateHintLine(e, state);
        });
        canvas.backDC = back;
        return records;
    }
};

struct HintCase {
    const char *name;
    std::string hint, shown;
};

class HintTextTest : public HintRecordTest, public ::testing::WithParamInterface<HintCase> {};

TEST_P(HintTextTest, ShowsTheHintUpToTheFirstAtSignAndAtMost200Characters)
{
    Probe *e = Own(new Probe(&canvas, GetParam().hint.c_str(), 0));
    auto records = Record(e, 1);
    auto texts = OfType(records, EMR_EXTTEXTOUTW);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(GetParam().shown, texts[0].text);
    EXPECT_EQ(20, texts[0].x);
    EXPECT_EQ(301, texts[0].y);
    auto colors = OfType(records, EMR_SETTEXTCOLOR);
    ASSERT_EQ(1u, colors.size());
    EXPECT_EQ(HintColor, colors[0].color);
    // The line is restored first: the tiles cover the hint rectangle.
    ASSERT_FALSE(records.empty());
    EXPECT_EQ((DWORD)EMR_BITBLT, records[0].type);
    EXPECT_EQ(1, e->hintShown);
}

INSTANTIATE_TEST_SUITE_P(Hints, HintTextTest,
    ::testing::Values(HintCase{ "Plain", "Install 32-bit version", "Install 32-bit version" },
                      HintCase{ "CutAtTheAtSign", "Visit@kestovan.example and more", "Visit" },
                      HintCase{ "Longest", std::string(211, 'h'), std::string(200, 'h') },
                      HintCase{ "LongerThanTheBuffer", std::string(300, 'h'), std::string(200, 'h') },
                      HintCase{ "AtSignAfter200", std::string(205, 'h') + "@x", std::string(200, 'h') }),
    [](const ::testing::TestParamInfo<HintCase> &i) { return std::string(i.param.name); });

TEST_F(HintRecordTest, TheSameStateDrawsOnceAndStateZeroClearsWithoutText)
{
    Probe *e = Own(new Probe(&canvas, "Install 64-bit version", 0));
    EXPECT_FALSE(Record(e, 1).empty());
    EXPECT_TRUE(Record(e, 1).empty()) << "redrew for the same state";
    auto cleared = Record(e, 0);
    EXPECT_FALSE(OfType(cleared, EMR_BITBLT).empty());
    EXPECT_TRUE(OfType(cleared, EMR_EXTTEXTOUTW).empty());
    EXPECT_EQ(0, e->hintShown);
    EXPECT_TRUE(Record(e, 0).empty());
}

TEST_F(HintRecordTest, AnEmptyHintDrawsNothingAndKeepsItsState)
{
    Probe *e = Own(new Probe(&canvas, NULL, 0));
    EXPECT_TRUE(Record(e, 1).empty());
    EXPECT_EQ(0, e->hintShown);
}

TEST_F(CanvasTest, HoverHintAppearsInHintColorOnTheWindowAndLeavingRestoresTheBackground)
{
    Probe *e = Own(new Probe(&canvas, "Install 32-bit version", 0));
    FinishStartUp();
    const RECT line = canvas.hintRect;
    RECT window = { 0, 0, Width, Height };
    RECT shownPart; // the hint rectangle reaches one row below the window
    IntersectRect(&shownPart, &line, &window);

    // Without a held DC only the back buffer changes.
    UpdateHintLine(e, 1);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, shownPart));
    EXPECT_GT(CountColor(canvas.backDC, shownPart, HintColor), 20);
    UpdateHintLine(e, 0);

    canvas.windowDC = GetDC(hwnd);
    UpdateHintLine(e, 1);
    HDC dc = GetDC(hwnd);
    int white = CountColor(dc, shownPart, HintColor);
    ReleaseDC(hwnd, dc);
    EXPECT_GT(white, 20);
    // The text starts at the rectangle's corner.
    RECT corner = { line.left, line.top, line.left + 8, line.bottom - 1 };
    EXPECT_GT(PixelsOffBackground(hwnd, corner), 0);
    RECT before = { 0, line.top, line.left, 320 };
    EXPECT_EQ(0, PixelsOffBackground(hwnd, before));

    UpdateHintLine(e, 0);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, shownPart));
    ReleaseDC(hwnd, canvas.windowDC);
    canvas.windowDC = NULL;
}

TEST(PutText, WritesTheWholeText)
{
    auto texts = OfType(RecordDrawing([](HDC dc) { PutText("Lumivortex plug-in", dc, 310, 100); }), EMR_EXTTEXTOUTW);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ("Lumivortex plug-in", texts[0].text);
    EXPECT_EQ(310, texts[0].x);
    EXPECT_EQ(100, texts[0].y);
}
