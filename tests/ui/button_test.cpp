// The push button on a real window: sizing, strict hit test, pressed looks, clicks, hiding, labels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/canvas_fixture.h"
#include "tests/ui/patterns.h"
#include "ui/elements.h"

namespace {

class ButtonTest : public WindowTest {
public:
    ButtonTest() : WindowTest(1) {}

protected:
    // A button at (100, 200) whose normal and pressed faces are the given ids.
    JButton *Make(UINT normal, UINT pressed, int command = 219, const char *hint = "")
    {
        return Own(new JButton(&canvas, hint, MakeRect(100, 200, 0, 0), normal, pressed, command));
    }

    // Pixels of rect that differ from face(x - dx, y - dy) over the background (white skipped).
    int LookMismatches(const RECT &rect, COLORREF (*face)(int, int), int dx, int dy)
    {
        HDC dc = GetDC(hwnd);
        int n = 0;
        for (int y = rect.top; y < rect.bottom; y++)
            for (int x = rect.left; x < rect.right; x++) {
                int u = x - rect.left - dx, v = y - rect.top - dy;
                COLORREF want = TiledBackground(x, y);
                if (u >= 0 && u < 60 && v >= 0 && v < 19 && face(u, v) != White)
                    want = face(u, v);
                n += GetPixel(dc, x, y) != want;
            }
        ReleaseDC(hwnd, dc);
        return n;
    }
};

int CacheCount(HDC memDC)
{
    for (int i = 0; i < BitmapCacheSlots; i++)
        if (BitmapCache.count[i] > 0 && BitmapCache.memDC[i] == memDC)
            return BitmapCache.count[i];
    return 0;
}

} // namespace

TEST_F(ButtonTest, SizeComesFromTheNormalImageAndGrowsByOneForEqualIds)
{
    struct { UINT normal, pressed; RECT rect; int offset; } cases[] = {
        { IDB_FACE, IDB_FACE, { 100, 200, 161, 220 }, 1 },
        { IDB_FACE, IDB_PRESSED, { 100, 200, 160, 219 }, 0 },
        { IDB_BADGE, IDB_BADGE, { 100, 200, 121, 220 }, 1 },
    };
    for (auto &c : cases) {
        canvas.count = 0;
        JButton *b = Make(c.normal, c.pressed);
        EXPECT_TRUE(EqualRect(&c.rect, &b->rect)) << c.normal << "/" << c.pressed;
        EXPECT_EQ(c.offset, b->pressOffset);
        EXPECT_EQ(100, b->imageX);
        EXPECT_EQ(200, b->imageY);
        EXPECT_EQ(0, b->pressState);
        EXPECT_EQ(0, b->transparent);
        EXPECT_EQ(219, b->commandId);
    }
}

TEST_F(ButtonTest, EqualIdsTakeTwoReferencesToOneSlotAndTheDestructorGivesBothBack)
{
    JButton *b = new JButton(&canvas, "", MakeRect(10, 10, 0, 0), IDB_FACE, IDB_FACE, 0);
    EXPECT_EQ(b->normalImage->memDC, b->pressedImage->memDC);
    HDC shared = b->normalImage->memDC;
    EXPECT_EQ(2, CacheCount(shared));
    delete b;
    EXPECT_EQ(0, CacheCount(shared));
}

TEST_F(ButtonTest, WithoutImagesTheRectangleIsThePosition)
{
    RECT position = { 5, 6, 50, 40 };
    JButton *b = Own(new JButton(&canvas, "", position, 0, IDB_FACE, 0));
    EXPECT_EQ(NULL, b->normalImage);
    EXPECT_TRUE(EqualRect(&position, &b->rect));
    FinishStartUp();
    // No normal image: the press draws nothing.
    Dispatch(WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, position));
}

struct HitCase {
    int x, y;
    bool inside;
};

class ButtonHitTest : public ButtonTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(ButtonHitTest, PressCountsOnlyStrictlyInsideTheRectangle)
{
    JButton *b = Make(IDB_FACE, IDB_FACE); // rect (100, 200, 161, 220)
    FinishStartUp();
    EXPECT_EQ(0, Dispatch(WM_LBUTTONDOWN, GetParam().x, GetParam().y));
    EXPECT_EQ(GetParam().inside ? 1 : 0, b->pressState);
}

INSTANTIATE_TEST_SUITE_P(Points, ButtonHitTest,
    ::testing::Values(HitCase{ 101, 201, true }, HitCase{ 160, 219, true }, HitCase{ 130, 210, true },
                      HitCase{ 100, 210, false }, HitCase{ 130, 200, false }, HitCase{ 161, 210, false },
                      HitCase{ 130, 220, false }, HitCase{ 99, 199, false }),
    [](const ::testing::TestParamInfo<HitCase> &i) {
        return "X" + std::to_string(i.param.x) + "Y" + std::to_string(i.param.y);
    });

TEST_F(ButtonTest, PressedLookOfEqualIdsIsTheFaceMovedOnePixel)
{
    JButton *b = Make(IDB_FACE, IDB_FACE);
    FinishStartUp();
    EXPECT_EQ(0, LookMismatches(b->rect, FacePixel, 0, 0)) << "normal look";
    Dispatch(WM_LBUTTONDOWN, 130, 210);
    EXPECT_EQ(0, LookMismatches(b->rect, FacePixel, 1, 1)) << "pressed look";
    Dispatch(WM_MOUSEMOVE, 300, 100);
    EXPECT_EQ(0, LookMismatches(b->rect, FacePixel, 0, 0)) << "back to normal after moving out";
}

TEST_F(ButtonTest, PressedLookOfDifferentIdsIsThePressedImageInPlace)
{
    JButton *b = Make(IDB_FACE, IDB_PRESSED);
    FinishStartUp();
    Dispatch(WM_LBUTTONDOWN, 130, 210);
    EXPECT_EQ(0, LookMismatches(b->rect, PressedPixel, 0, 0));
    EXPECT_EQ(1, Dispatch(WM_LBUTTONUP, 130, 210));
    EXPECT_EQ(0, LookMismatches(b->rect, FacePixel, 0, 0));
}

// One mouse message and what it must lead to.
struct ButtonStep {
    UINT message;
    int x, y;
    int result, pressState;
    std::vector<int> posted;
};

struct ButtonScript {
    const char *name;
    int command;
    std::vector<ButtonStep> steps;
};

class ButtonScriptTest : public ButtonTest, public ::testing::WithParamInterface<ButtonScript> {};

TEST_P(ButtonScriptTest, PressMoveAndReleaseFollowTheStateMachine)
{
    JButton *b = Make(IDB_FACE, IDB_FACE, GetParam().command);
    FinishStartUp();
    int i = 0;
    for (const ButtonStep &s : GetParam().steps) {
        EXPECT_EQ(s.result, Dispatch(s.message, s.x, s.y)) << "step " << i;
        EXPECT_EQ(s.pressState, b->pressState) << "step " << i;
        EXPECT_EQ(s.posted, TakeNotifications(hwnd)) << "step " << i;
        i++;
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, ButtonScriptTest, ::testing::Values(
    ButtonScript{ "ClickPosts", 219, {
        { WM_MOUSEMOVE, 130, 210, 0, 0, {} },
        { WM_LBUTTONDOWN, 130, 210, 0, 1, {} },
        { WM_LBUTTONUP, 130, 210, 1, 3, { 219 } },
        { WM_LBUTTONUP, 130, 210, 0, 0, {} },
        { WM_LBUTTONDOWN, 130, 210, 0, 1, {} },
        { WM_LBUTTONUP, 130, 210, 1, 3, { 219 } } } },
    ButtonScript{ "ReleaseOutsideStillClicks", 2, {
        { WM_LBUTTONDOWN, 101, 201, 0, 1, {} },
        { WM_LBUTTONUP, 500, 20, 1, 3, { 2 } } } },
    ButtonScript{ "MoveOutCancels", 219, {
        { WM_LBUTTONDOWN, 130, 210, 0, 1, {} },
        { WM_MOUSEMOVE, 130, 230, 0, 0, {} },
        { WM_LBUTTONUP, 130, 210, 0, 0, {} } } },
    ButtonScript{ "ReleaseWithoutPress", 219, {
        { WM_LBUTTONUP, 130, 210, 0, 0, {} } } },
    ButtonScript{ "CommandZeroIsConsumedSilently", 0, {
        { WM_LBUTTONDOWN, 130, 210, 0, 1, {} },
        { WM_LBUTTONUP, 130, 210, 1, 3, {} } } },
    ButtonScript{ "OtherMessagesAreIgnored", 219, {
        { WM_RBUTTONDOWN, 130, 210, 0, 0, {} },
        { WM_LBUTTONDBLCLK, 130, 210, 0, 0, {} } } }),
    [](const ::testing::TestParamInfo<ButtonScript> &i) { return std::string(i.param.name); });

TEST_F(ButtonTest, HoverShowsTheHintAndLeavesTheMoveToLaterElements)
{
    JButton *first = Make(IDB_BADGE, IDB_BADGE, 0, "Install 32-bit version");
    JButton *second = Make(IDB_BADGE, IDB_BADGE, 0, "Install 64-bit version");
    FinishStartUp();
    EXPECT_EQ(0, Dispatch(WM_MOUSEMOVE, 110, 210));
    EXPECT_EQ(1, first->hintShown);
    EXPECT_EQ(1, second->hintShown) << "the move was not offered to the second button";
    EXPECT_EQ(0, Dispatch(WM_MOUSEMOVE, 300, 100));
    EXPECT_EQ(0, first->hintShown);
    EXPECT_EQ(0, second->hintShown);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, { 20, 301, 451, 320 }));
}

TEST_F(ButtonTest, HidingTwicePaintsTheBackgroundOnceShowingRepaintsTheFace)
{
    JButton *b = Make(IDB_FACE, IDB_FACE);
    FinishStartUp();
    SetShown(b, 0);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, b->rect));
    MarkWindow(hwnd, b->rect);
    SetShown(b, 0);
    EXPECT_EQ(Marker, WindowPixel(hwnd, 130, 210));
    SetShown(b, 1);
    EXPECT_EQ(0, LookMismatches(b->rect, FacePixel, 0, 0));
    // Hidden: no mouse, no paint.
    SetShown(b, 0);
    EXPECT_EQ(0, Dispatch(WM_LBUTTONDOWN, 130, 210));
    EXPECT_EQ(0, b->pressState);
}

TEST_F(ButtonTest, TransparentFaceGoesStraightOntoTheTargetSkippingWhite)
{
    JButton *b = Make(IDB_FACE, IDB_FACE);
    b->transparent = 1;
    FinishStartUp();
    MarkWindow(hwnd, b->rect);
    HDC dc = GetDC(hwnd);
    b->Draw(dc);
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(Marker, WindowPixel(hwnd, 100, 200)) << "white corner written";
    EXPECT_EQ(Marker, WindowPixel(hwnd, 159, 218)) << "white corner written";
    EXPECT_EQ(FacePixel(1, 0), WindowPixel(hwnd, 101, 200));
    EXPECT_EQ(FacePixel(30, 9), WindowPixel(hwnd, 130, 209));
    EXPECT_EQ(Marker, WindowPixel(hwnd, 160, 219)) << "the grown edge is not the picture's";
}

TEST_F(ButtonTest, LabelIsDrawnOverTheBackgroundAndHiddenWithTheButton)
{
    RECT offsets = { 0, 22, 80, 16 }; // x, y offsets and size from the corner
    JButton *b = Own(new JButton(&canvas, "", MakeRect(100, 200, 0, 0), IDB_FACE, IDB_FACE, 0, "Label text", &offsets));
    RECT want = { 100, 222, 180, 238 };
    EXPECT_TRUE(EqualRect(&want, &b->labelRect));
    EXPECT_STREQ("Label text", b->label);
    FinishStartUp();
    EXPECT_GT(PixelsOffBackground(hwnd, b->labelRect), 20);
    SetShown(b, 0);
    EXPECT_EQ(0, PixelsOffBackground(hwnd, b->labelRect));
}

TEST_F(ButtonTest, ALabelLongerThanItsBufferIsCut)
{
    std::string longLabel(100, 'L');
    RECT offsets = { 0, 0, 10, 10 };
    JButton *b = Own(new JButton(&canvas, "", MakeRect(0, 0, 0, 0), 0, 0, 0, longLabel.c_str(), &offsets));
    EXPECT_EQ(std::string(ButtonLabelSize - 1, 'L'), b->label);
}
