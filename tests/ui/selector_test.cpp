// The selector on a real window: construction, the check-box cycle, stepping, values, hit test, frames.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/canvas_fixture.h"
#include "tests/ui/patterns.h"
#include "ui/elements.h"

namespace {

class SelectorTest : public WindowTest {
public:
    SelectorTest() : WindowTest(1) {}

protected:
    // The installer's check box: strip of four 13 x 13 frames at (290, 100), press frames 0..3.
    JSelector *CheckBox(int value = 2)
    {
        JSelector *s = Own(new JSelector(&canvas, "Select to install Lumivortex filter", MakeRect(290, 100, 20, 12),
                                          IDB_STRIP, PackLabelOffset(20, 0), "Lumivortex plug-in", 0, -3, 2000,
                                          JSEL_TRANSPARENT, "Lumivortex"));
        s->value = value;
        return s;
    }

    JSelector *Plain(int minimum, int maximum, DWORD flags = 0)
    {
        return Own(new JSelector(&canvas, "", MakeRect(290, 100, 20, 12), IDB_STRIP, PackLabelOffset(0, 0), "",
                                 minimum, maximum, 77, flags, "plain"));
    }

    // Pixels of the 13 x 13 frame at (290, 100) that differ from frame k of the strip
    // (transparent: white shows the background; transposed: rows and columns swapped).
    int FrameMismatches(int k, bool transparent, bool transposed = false)
    {
        HDC dc = GetDC(hwnd);
        int n = 0;
        for (int v = 0; v < 13; v++)
            for (int u = 0; u < 13; u++) {
                COLORREF want = transposed ? StripPixel(13 * k + v, u) : StripPixel(13 * k + u, v);
                if (transparent && want == White)
                    want = TiledBackground(290 + u, 100 + v);
                n += GetPixel(dc, 290 + u, 100 + v) != want;
            }
        ReleaseDC(hwnd, dc);
        return n;
    }
};

} // namespace

TEST(PackLabelOffset, HighHalfDxLowHalfDyEachPlus0x8000)
{
    EXPECT_EQ(0x80148000u, PackLabelOffset(20, 0));
    EXPECT_EQ(0x80008000u, PackLabelOffset(0, 0));
    EXPECT_EQ(0x7FFB8003u, PackLabelOffset(-5, 3));
}

TEST_F(SelectorTest, TheCheckBoxIsBuiltFromItsArgumentsAndImage)
{
    JSelector *s = CheckBox();
    // The area argument is read as x, y, width, height.
    RECT frame = { 290, 100, 303, 113 }, area = { 290, 100, 600, 212 };
    EXPECT_TRUE(EqualRect(&frame, &s->frameRect));
    EXPECT_TRUE(EqualRect(&area, &s->areaRect));
    EXPECT_EQ(1, s->pressFrames);
    EXPECT_EQ(0, s->minimum);
    EXPECT_EQ(3, s->maximum);
    EXPECT_EQ(20, s->labelDx);
    EXPECT_EQ(0, s->labelDy);
    EXPECT_EQ(2000, s->commandId);
    EXPECT_EQ((DWORD)JSEL_TRANSPARENT, s->flags);
    EXPECT_STREQ("Lumivortex", s->name);
    EXPECT_STREQ("Lumivortex plug-in", s->label);
    ASSERT_TRUE(s->image != NULL);
    EXPECT_EQ(52, s->image->width);

    JSelector *fresh = Plain(2, 5);
    EXPECT_EQ(2, fresh->value) << "starts at the minimum";
    EXPECT_EQ(0, fresh->pressFrames);
}

TEST_F(SelectorTest, FrameSizeFollowsGridAndWideFlags)
{
    struct { DWORD flags; UINT image; RECT frame; } cases[] = {
        { JSEL_WIDE, IDB_STRIP, { 290, 100, 316, 113 } },
        { JSEL_GRID, IDB_GRID, { 290, 100, 316, 126 } },
        { JSEL_GRID | JSEL_WIDE, IDB_GRID, { 290, 100, 446, 126 } }, // twice the image height, as in the grid
    };
    for (auto &c : cases) {
        JSelector *s = Own(new JSelector(&canvas, "", MakeRect(290, 100, 20, 12), c.image, 0x80008000, "", 0, 3, 0, c.flags, NULL));
        EXPECT_TRUE(EqualRect(&c.frame, &s->frameRect)) << "flags " << c.flags;
        EXPECT_STREQ("", s->name);
    }
}

TEST_F(SelectorTest, TextsLongerThanTheirBuffersAreCut)
{
    std::string longText(70, 'n');
    JSelector *s = Own(new JSelector(&canvas, "", MakeRect(0, 0, 1, 1), IDB_STRIP, 0x80008000, longText.c_str(),
                                     0, 3, 0, 0, longText.c_str()));
    EXPECT_EQ(std::string(SelectorTextSize - 1, 'n'), s->name);
    EXPECT_EQ(std::string(SelectorTextSize - 1, 'n'), s->label);
}

struct SelectorStep {
    UINT message;
    bool inside;
    int value, result;
    std::vector<int> posted;
};

struct SelectorScript {
    const char *name;
    int start;
    std::vector<SelectorStep> steps;
};

class CheckBoxScriptTest : public SelectorTest, public ::testing::WithParamInterface<SelectorScript> {};

TEST_P(CheckBoxScriptTest, PressShowsThePressedFrameReleaseCompletesTheStepAndNotifies)
{
    JSelector *s = CheckBox(GetParam().start);
    FinishStartUp();
    EXPECT_EQ(0, FrameMismatches(GetParam().start, true));
    int i = 0;
    for (const SelectorStep &step : GetParam().steps) {
        int x = step.inside ? 296 : 400, y = step.inside ? 106 : 200;
        EXPECT_EQ(step.result, Dispatch(step.message, x, y)) << "step " << i;
        EXPECT_EQ(step.value, s->value) << "step " << i;
        EXPECT_EQ(step.posted, TakeNotifications(hwnd)) << "step " << i;
        EXPECT_EQ(0, FrameMismatches(s->value, true)) << "step " << i << " shows another frame";
        i++;
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, CheckBoxScriptTest, ::testing::Values(
    SelectorScript{ "LeftClickUnticks", 2, {
        { WM_LBUTTONDOWN, true, 3, 1, {} },
        { WM_LBUTTONUP, true, 0, 1, { 2000 } } } },
    SelectorScript{ "LeftClickTicks", 0, {
        { WM_LBUTTONDOWN, true, 1, 1, {} },
        { WM_LBUTTONUP, true, 2, 1, { 2000 } } } },
    SelectorScript{ "MoveOutWhilePressed", 2, {
        { WM_LBUTTONDOWN, true, 3, 1, {} },
        { WM_MOUSEMOVE, false, 2, 0, {} },
        { WM_LBUTTONUP, true, 2, 0, {} } } },
    SelectorScript{ "RightClickWrapsBelowZero", 0, {
        { WM_RBUTTONDOWN, true, 3, 1, {} },
        { WM_RBUTTONUP, true, 2, 1, { 2000 } } } },
    SelectorScript{ "RightPressThenMoveOut", 2, {
        { WM_RBUTTONDOWN, true, 1, 1, {} },
        { WM_MOUSEMOVE, false, 0, 0, {} } } },
    SelectorScript{ "AnyOutsideMessageReleasesThePress", 0, {
        { WM_LBUTTONDOWN, true, 1, 1, {} },
        { WM_LBUTTONUP, false, 0, 0, {} } } },
    SelectorScript{ "DoubleClickIsIgnored", 2, {
        { WM_LBUTTONDBLCLK, true, 2, 0, {} } } }),
    [](const ::testing::TestParamInfo<SelectorScript> &i) { return std::string(i.param.name); });

TEST_F(SelectorTest, PlainSelectorStepsAndNotifiesOnEveryPress)
{
    JSelector *s = Plain(0, 5);
    FinishStartUp();
    for (int want : { 1, 2, 3, 4, 5, 0 }) {
        EXPECT_EQ(1, Dispatch(WM_LBUTTONDOWN, 295, 105));
        EXPECT_EQ(want, s->value);
        EXPECT_EQ(std::vector<int>{ 77 }, TakeNotifications(hwnd));
        EXPECT_EQ(0, Dispatch(WM_LBUTTONUP, 295, 105));
    }
    EXPECT_EQ(1, Dispatch(WM_RBUTTONDOWN, 295, 105));
    EXPECT_EQ(5, s->value);
    EXPECT_EQ(std::vector<int>{ 77 }, TakeNotifications(hwnd));
}

TEST_F(SelectorTest, AboveTheMaximumWrapsToTheMinimumAndBelowZeroToTheMaximum)
{
    struct { int minimum, maximum, start; UINT message; int want; } cases[] = {
        { 2, 5, 5, WM_LBUTTONDOWN, 2 },
        { 2, 5, 2, WM_RBUTTONDOWN, 1 }, // the wrap looks at 0, not at the minimum
        { 0, 5, 0, WM_RBUTTONDOWN, 5 },
        { 1, 3, 0, WM_RBUTTONDOWN, 3 },
    };
    FinishStartUp();
    for (auto &c : cases) {
        canvas.count = 0;
        JSelector *s = Plain(c.minimum, c.maximum);
        s->value = c.start;
        Dispatch(c.message, 295, 105);
        EXPECT_EQ(c.want, s->value) << c.minimum << ".." << c.maximum << " from " << c.start;
    }
    TakeNotifications(hwnd);
}

TEST_F(SelectorTest, SetValueOffsetsAndClampsGetValueSubtractsTheMinimum)
{
    struct { int minimum, maximum, set, value, get; } cases[] = {
        { 0, 3, 10, 3, 3 }, { 1, 5, -4, 1, 0 }, { 1, 5, 1, 2, 1 }, { 2, 9, 3, 5, 3 },
    };
    for (auto &c : cases) {
        JSelector *s = Plain(c.minimum, c.maximum);
        s->SetValue(c.set);
        EXPECT_EQ(c.value, s->value) << c.minimum << ".." << c.maximum << " set " << c.set;
        EXPECT_EQ(c.get, s->GetValue());
    }
}

TEST_F(SelectorTest, AValueOnlySelectorHoldsANameAndAValueAndNothingElse)
{
    JSelector *s = Own(new JSelector(&canvas, "hint", MakeRect(290, 100, 20, 12), IDB_STRIP, 0x80148000, "label",
                                     4, 9, 55, JSEL_VALUE_ONLY, "named"));
    EXPECT_STREQ("named", s->name);
    EXPECT_EQ(NULL, s->image);
    EXPECT_EQ(0, s->commandId);
    EXPECT_EQ(0, s->value);
    EXPECT_STREQ("", s->label);
    EXPECT_TRUE(IsRectEmpty(&s->frameRect));
    s->SetValue(-7);
    EXPECT_EQ(-7, s->value);
    EXPECT_EQ(-7, s->GetValue());
    FinishStartUp();
    EXPECT_EQ(0, Dispatch(WM_LBUTTONDOWN, 295, 105));
    EXPECT_EQ(-7, s->value);
    EXPECT_TRUE(RecordDrawing([&](HDC dc) { s->Draw(dc); }).empty());
}

struct PointCase {
    int x, y;
    bool inside;
};

class SelectorHitTest : public SelectorTest, public ::testing::WithParamInterface<PointCase> {};

TEST_P(SelectorHitTest, AllFourEdgesOfTheFrameAreInside)
{
    Plain(0, 5);
    FinishStartUp();
    EXPECT_EQ(GetParam().inside ? 1 : 0, Dispatch(WM_LBUTTONDOWN, GetParam().x, GetParam().y));
    TakeNotifications(hwnd);
}

INSTANTIATE_TEST_SUITE_P(Points, SelectorHitTest,
    ::testing::Values(PointCase{ 290, 100, true }, PointCase{ 303, 113, true }, PointCase{ 303, 100, true },
                      PointCase{ 290, 113, true }, PointCase{ 289, 105, false }, PointCase{ 304, 105, false },
                      PointCase{ 295, 99, false }, PointCase{ 295, 114, false }),
    [](const ::testing::TestParamInfo<PointCase> &i) {
        return "X" + std::to_string(i.param.x) + "Y" + std::to_string(i.param.y);
    });

TEST_F(SelectorTest, TheLabelGoesBesideTheFrameAtTheLabelOffset)
{
    JSelector *s = CheckBox();
    auto texts = OfType(RecordDrawing([&](HDC dc) { s->Draw(dc); }), EMR_EXTTEXTOUTW);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ("Lumivortex plug-in", texts[0].text);
    EXPECT_EQ(310, texts[0].x);
    EXPECT_EQ(100, texts[0].y);
    FinishStartUp();
    EXPECT_GT(PixelsOffBackground(hwnd, { 310, 100, 420, 114 }), 30);
}

TEST_F(SelectorTest, AFrameBeyondTheImageDrawsNeitherFrameNorLabel)
{
    JSelector *s = CheckBox();
    for (int value : { 4, 7, -1 }) {
        s->value = value;
        EXPECT_TRUE(RecordDrawing([&](HDC dc) { s->Draw(dc); }).empty()) << "value " << value;
    }
}

TEST_F(SelectorTest, OpaqueAndTransposedFramesAreCopiedAsTheyAre)
{
    JSelector *opaque = Plain(0, 3);
    opaque->value = 1;
    FinishStartUp();
    EXPECT_EQ(0, FrameMismatches(1, false));
    SetShown(opaque, 0);
    canvas.count = 0;
    JSelector *transposed = Plain(0, 3, JSEL_TRANSPOSED);
    transposed->value = 2;
    SetShown(transposed, 1);
    EXPECT_EQ(0, FrameMismatches(2, false, true));
}

TEST_F(SelectorTest, AWideFrameTakesTwiceTheImageHeight)
{
    JSelector *s = Plain(0, 1, JSEL_WIDE);
    s->value = 1;
    FinishStartUp();
    HDC dc = GetDC(hwnd);
    int n = 0;
    for (int v = 0; v < 13; v++)
        for (int u = 0; u < 26; u++)
            n += GetPixel(dc, 290 + u, 100 + v) != StripPixel(26 + u, v);
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(0, n);
}

TEST_F(SelectorTest, HidingRestoresTheWholeArea)
{
    JSelector *s = CheckBox();
    FinishStartUp();
    SetShown(s, 0);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, s->areaRect));
    EXPECT_EQ(0, Dispatch(WM_LBUTTONDOWN, 296, 106)) << "a hidden selector is inactive";
}

TEST_F(SelectorTest, HoverShowsTheHint)
{
    JSelector *s = CheckBox();
    FinishStartUp();
    EXPECT_EQ(0, Dispatch(WM_MOUSEMOVE, 296, 106));
    EXPECT_EQ(1, s->hintShown);
    EXPECT_EQ(0, Dispatch(WM_MOUSEMOVE, 450, 200));
    EXPECT_EQ(0, s->hintShown);
}

TEST_F(SelectorTest, TheDestructorGivesTheImageBack)
{
    JSelector *s = new JSelector(&canvas, "", MakeRect(0, 0, 1, 1), IDB_BADGE, 0x80008000, "", 0, 3, 0, 0, NULL);
    HDC memDC = s->image->memDC;
    delete s;
    for (int i = 0; i < BitmapCacheSlots; i++)
        EXPECT_FALSE(BitmapCache.count[i] > 0 && BitmapCache.memDC[i] == memDC);
}
