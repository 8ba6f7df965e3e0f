// Bitmap cache and copies: sharing, release, slot reuse, blank bitmaps, tiling and the per-pixel copies.
#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <vector>

#include "tests/ui/patterns.h"
#include "tests/ui/test_ids.h"
#include "tests/ui/ui_testing.h"
#include "ui/bitmaps.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(NULL); }

UINT BlankId(int width, int height) { return ((UINT)height << 16) | (UINT)width; }

int SlotOf(HDC memDC)
{
    for (int i = 0; i < BitmapCacheSlots; i++)
        if (BitmapCache.count[i] > 0 && BitmapCache.memDC[i] == memDC)
            return i;
    return -1;
}

int SlotsInUse()
{
    int n = 0;
    for (int i = 0; i < BitmapCacheSlots; i++)
        n += BitmapCache.count[i] > 0;
    return n;
}

// Every test starts and ends with an empty cache, so slot numbers are known.
class BitmapCacheTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, SlotsInUse()); }
    void TearDown() override { EXPECT_EQ(0, SlotsInUse()) << "a test left bitmaps in the cache"; }
};

// Pixels of target that differ from expected(x, y); reports the first.
int Mismatches(const MemoryTarget &target, const std::function<COLORREF(int, int)> &expected)
{
    int n = 0;
    for (int y = 0; y < target.height; y++)
        for (int x = 0; x < target.width; x++) {
            COLORREF want = expected(x, y), got = target.Pixel(x, y);
            if (want != got && n++ == 0)
                ADD_FAILURE() << "first mismatch at (" << x << ", " << y << "): want " << std::hex << want
                              << " got " << got;
        }
    return n;
}

bool Inside(int x, int y, int left, int top, int right, int bottom)
{
    return left <= x && x < right && top <= y && y < bottom;
}

} // namespace

// ---- the cache ----

TEST_F(BitmapCacheTest, SameIdSharesOneSlotUntilTheLastRelease)
{
    JBitmap a, b;
    EXPECT_EQ(1, AcquireBitmap(IDB_PATTERN100, &a, Module(), NULL));
    EXPECT_EQ(0, AcquireBitmap(IDB_PATTERN100, &b, Module(), NULL));
    EXPECT_EQ(a.memDC, b.memDC);
    EXPECT_EQ(a.bitmap, b.bitmap);
    EXPECT_EQ(100, b.width);
    EXPECT_EQ(100, b.height);
    int slot = SlotOf(a.memDC);
    ASSERT_EQ(0, slot);
    EXPECT_EQ((UINT)IDB_PATTERN100, BitmapCache.id[slot]);
    EXPECT_EQ(2, BitmapCache.count[slot]);

    ReleaseBitmap(&a);
    EXPECT_EQ(1, BitmapCache.count[slot]);
    EXPECT_EQ((DWORD)OBJ_MEMDC, GetObjectType(b.memDC));
    EXPECT_EQ(PatternPixel(7, 9), GetPixel(b.memDC, 7, 9));

    ReleaseBitmap(&b);
    EXPECT_EQ(0, BitmapCache.count[slot]);
    EXPECT_EQ(0u, BitmapCache.id[slot]);
    EXPECT_EQ(0u, GetObjectType(b.memDC)) << "memory DC not deleted";
    EXPECT_EQ(0u, GetObjectType(b.bitmap)) << "bitmap not deleted";
}

TEST_F(BitmapCacheTest, NextLoadTakesTheLowestFreeSlot)
{
    JBitmap r[6];
    for (int i = 0; i < 5; i++) {
        ASSERT_EQ(1, AcquireBitmap(BlankId(i + 1, 2), &r[i], Module(), NULL));
        EXPECT_EQ(i, SlotOf(r[i].memDC));
    }
    ReleaseBitmap(&r[2]);
    EXPECT_EQ(1, AcquireBitmap(BlankId(9, 9), &r[5], Module(), NULL));
    EXPECT_EQ(2, SlotOf(r[5].memDC));
    EXPECT_EQ(BlankId(9, 9), BitmapCache.id[2]);
    for (int i : { 0, 1, 3, 4, 5 })
        ReleaseBitmap(&r[i]);
}

TEST_F(BitmapCacheTest, FullCacheGivesAUsableUncachedRecord)
{
    std::vector<JBitmap> held(BitmapCacheSlots);
    for (int i = 0; i < BitmapCacheSlots; i++)
        ASSERT_EQ(1, AcquireBitmap(BlankId(i + 1, 1), &held[i], Module(), NULL));
    BitmapCacheTable before = BitmapCache;

    JBitmap extra;
    EXPECT_EQ(1, AcquireBitmap(IDB_TRANS6X4, &extra, Module(), NULL));
    EXPECT_EQ(0, memcmp(&before, &BitmapCache, sizeof before)) << "cache changed";
    EXPECT_EQ(6, extra.width);
    EXPECT_EQ(TransPixel(1, 1), GetPixel(extra.memDC, 1, 1));

    ReleaseBitmap(&extra);
    EXPECT_EQ(0, memcmp(&before, &BitmapCache, sizeof before)) << "cache changed";
    EXPECT_EQ((DWORD)OBJ_MEMDC, GetObjectType(extra.memDC));

    for (JBitmap &b : held)
        ReleaseBitmap(&b);
    DeleteDC(extra.memDC);
    DeleteObject(extra.bitmap);
}

// ---- blank bitmaps ----

struct BlankCase {
    const char *name;
    bool screenReference; // reference DC: the screen's DC, else NULL (which stands for the screen)
};

class BlankBitmapTest : public BitmapCacheTest, public ::testing::WithParamInterface<BlankCase> {};

TEST_P(BlankBitmapTest, MissingResourceGivesABlankBitmapOfTheEncodedSize)
{
    HDC screen = GetDC(NULL);
    const UINT id = (19u << 16) | 20u;
    JBitmap b;
    EXPECT_EQ(1, AcquireBitmap(id, &b, Module(), GetParam().screenReference ? screen : NULL));
    EXPECT_EQ(20, b.width);
    EXPECT_EQ(19, b.height);
    BITMAP info = {};
    ASSERT_NE(0, GetObjectA(b.bitmap, sizeof info, &info));
    EXPECT_EQ(20, info.bmWidth);
    EXPECT_EQ(19, info.bmHeight);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), info.bmBitsPixel) << "not compatible with the screen";
    int slot = SlotOf(b.memDC);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(id, BitmapCache.id[slot]) << "cached under the whole 32-bit id";
    EXPECT_EQ(20, BitmapCache.width[slot]);
    EXPECT_EQ(19, BitmapCache.height[slot]);
    ReleaseBitmap(&b);
    ReleaseDC(NULL, screen);
}

INSTANTIATE_TEST_SUITE_P(References, BlankBitmapTest,
                         ::testing::Values(BlankCase{ "ScreenDC", true }, BlankCase{ "Null", false }),
                         [](const ::testing::TestParamInfo<BlankCase> &i) { return std::string(i.param.name); });

TEST_F(BitmapCacheTest, IdsDifferingAboveBit15AreDifferentEntries)
{
    JBitmap plain, high;
    EXPECT_EQ(1, AcquireBitmap(IDB_PATTERN100, &plain, Module(), NULL));
    EXPECT_EQ(1, AcquireBitmap(IDB_PATTERN100 | (1u << 16), &high, Module(), NULL));
    EXPECT_NE(plain.memDC, high.memDC);
    // Both name the same resource through their low 16 bits.
    EXPECT_EQ(100, high.width);
    EXPECT_EQ(PatternPixel(3, 4), GetPixel(high.memDC, 3, 4));
    ReleaseBitmap(&plain);
    ReleaseBitmap(&high);
}

TEST_F(BitmapCacheTest, ZeroSizedBlankKeepsItsEncodedSizeAndTilesNothing)
{
    for (UINT id : { BlankId(20, 0), BlankId(0, 19) }) {
        JBitmap b;
        EXPECT_EQ(1, AcquireBitmap(id, &b, Module(), NULL));
        EXPECT_EQ((DWORD)OBJ_MEMDC, GetObjectType(b.memDC));
        EXPECT_EQ((int)(id & 0x3FF), b.width);
        EXPECT_EQ((int)(id >> 16), b.height);
        // Whatever GDI made of the empty size, tiling it must not divide by zero.
        EXPECT_TRUE(RecordDrawing([&](HDC dc) { TileBitmap(&b, dc, 0, 0, 40, 40); }).empty());
        ReleaseBitmap(&b);
    }
}

TEST_F(BitmapCacheTest, IdZeroNeverPicksUpAFreedSlotsDeletedHandles)
{
    JBitmap first, zero;
    AcquireBitmap(IDB_ODD5X3, &first, Module(), NULL);
    ReleaseBitmap(&first); // slot 0 is free again: id 0, deleted handles left in it
    EXPECT_EQ(1, AcquireBitmap(0, &zero, Module(), NULL)) << "shared a free slot";
    EXPECT_EQ((DWORD)OBJ_MEMDC, GetObjectType(zero.memDC));
    EXPECT_EQ(0, zero.width);
    ReleaseBitmap(&zero);
}

// ---- tiling ----

TEST_F(BitmapCacheTest, TilingInsideOneTileCopiesTheSamePartialTileOncePerColumnToTheLeft)
{
    JBitmap b;
    AcquireBitmap(IDB_PATTERN100, &b, Module(), NULL);
    auto blits = OfType(RecordDrawing([&](HDC dc) { TileBitmap(&b, dc, 250, 10, 280, 30); }), EMR_BITBLT);
    ASSERT_EQ(3u, blits.size());
    for (const EmfRecord &r : blits) {
        EXPECT_EQ(250, r.x);
        EXPECT_EQ(10, r.y);
        EXPECT_EQ(30, r.cx);
        EXPECT_EQ(20, r.cy);
        EXPECT_EQ(50, r.sx);
        EXPECT_EQ(10, r.sy);
    }
    ReleaseBitmap(&b);
}

struct TileCase {
    const char *name;
    RECT rect;
};

class TileTest : public BitmapCacheTest, public ::testing::WithParamInterface<TileCase> {};

// The target's device origin sits at logical (-40, -30), so negative coordinates are visible.
TEST_P(TileTest, EveryPixelOfTheRectangleAtOrRightOfTheOriginHoldsTheTiledBitmap)
{
    const RECT r = GetParam().rect;
    JBitmap b;
    AcquireBitmap(IDB_PATTERN100, &b, Module(), NULL);
    MemoryTarget target(340, 260);
    SetViewportOrgEx(target.dc, 40, 30, NULL);
    TileBitmap(&b, target.dc, r.left, r.top, r.right, r.bottom);
    SetViewportOrgEx(target.dc, 0, 0, NULL);
    EXPECT_EQ(0, Mismatches(target, [&](int X, int Y) {
        int x = X - 40, y = Y - 30;
        if (x >= 0 && y >= 0 && Inside(x, y, r.left, r.top, r.right, r.bottom))
            return PatternPixel(x % 100, y % 100);
        return Marker;
    }));
    ReleaseBitmap(&b);
}

INSTANTIATE_TEST_SUITE_P(Rectangles, TileTest,
    ::testing::Values(TileCase{ "InsideOneTile", { 250, 10, 280, 30 } },
                      TileCase{ "LargerThanTheBitmap", { 0, 0, 250, 130 } },
                      TileCase{ "AcrossTileEdges", { 130, 170, 260, 215 } },
                      TileCase{ "ReachingNegative", { -30, -20, 70, 50 } },
                      TileCase{ "AllNegative", { -35, -25, -10, -10 } },
                      TileCase{ "Empty", { 60, 60, 40, 80 } }),
    [](const ::testing::TestParamInfo<TileCase> &i) { return std::string(i.param.name); });

TEST(TileBitmap, HintLineOfAFullSizeBackgroundEndsWithRowZero)
{
    auto pixel = [](int x, int y) { return RGB(x & 255, y & 255, 64 + (x >> 8) * 16 + (y >> 8) * 4); };
    JBitmap b = MakeMemoryBitmap(600, 320, pixel);
    auto blits = OfType(RecordDrawing([&](HDC dc) { TileBitmap(&b, dc, 20, 301, 451, 321); }), EMR_BITBLT);
    ASSERT_EQ(2u, blits.size());
    EXPECT_EQ((std::vector<LONG>{ 20, 301, 431, 20, 20, 301 }),
              (std::vector<LONG>{ blits[0].x, blits[0].y, blits[0].cx, blits[0].cy, blits[0].sx, blits[0].sy }));
    EXPECT_EQ((std::vector<LONG>{ 20, 320, 431, 1, 20, 0 }),
              (std::vector<LONG>{ blits[1].x, blits[1].y, blits[1].cx, blits[1].cy, blits[1].sx, blits[1].sy }));

    MemoryTarget target(600, 330);
    TileBitmap(&b, target.dc, 20, 301, 451, 321);
    EXPECT_EQ(0, Mismatches(target, [&](int x, int y) {
        if (!Inside(x, y, 20, 301, 451, 321))
            return Marker;
        return pixel(x, y == 320 ? 0 : y);
    }));
    FreeMemoryBitmap(&b);
}

TEST(TileBitmap, DrawsNothingFromAZeroSizedOrDCLessRecord)
{
    JBitmap noWidth = MakeMemoryBitmap(1, 1, [](int, int) { return RGB(1, 2, 3); });
    JBitmap noHeight = noWidth, noDC = noWidth;
    noWidth.width = 0;
    noHeight.height = 0;
    noDC.memDC = NULL;
    for (const JBitmap *b : std::vector<const JBitmap *>{ &noWidth, &noHeight, &noDC, NULL })
        EXPECT_TRUE(RecordDrawing([&](HDC dc) { TileBitmap(b, dc, 0, 0, 50, 50); }).empty());
    FreeMemoryBitmap(&noDC);
}

TEST(BlitRect, CopiesTheRectangleToTheSamePlace)
{
    JBitmap source = MakeMemoryBitmap(60, 40, [](int x, int y) { return PatternPixel(x, y); });
    MemoryTarget target(60, 40);
    RECT r = { 10, 5, 35, 30 };
    BlitRect(&r, target.dc, source.memDC);
    EXPECT_EQ(0, Mismatches(target, [&](int x, int y) {
        return Inside(x, y, 10, 5, 35, 30) ? PatternPixel(x, y) : Marker;
    }));
    FreeMemoryBitmap(&source);
}

// ---- the whole-picture copies ----

struct PictureCase {
    const char *name;
    bool direct; // DrawBitmapTransparentDirect, else DrawBitmapTransparent
};

class PictureTest : public BitmapCacheTest, public ::testing::WithParamInterface<PictureCase> {
protected:
    // Draws b so that its corner lands at (12, 7) of dc.
    void Draw(const JBitmap *b, HDC dc)
    {
        if (GetParam().direct)
            DrawBitmapTransparentDirect(b, dc, 12, 7);
        else
            DrawBitmapTransparent(b, dc, 9, 3, 3, 4);
    }
};

TEST_P(PictureTest, WhitePixelsAreSkipped)
{
    JBitmap b;
    AcquireBitmap(IDB_TRANS6X4, &b, Module(), NULL);
    MemoryTarget target(30, 20);
    Draw(&b, target.dc);
    EXPECT_EQ(0, Mismatches(target, [](int x, int y) {
        if (!Inside(x, y, 12, 7, 18, 11))
            return Marker;
        COLORREF c = TransPixel(x - 12, y - 7);
        return c == White ? Marker : c;
    }));
    ReleaseBitmap(&b);
}

TEST_P(PictureTest, AnAllWhitePictureWritesNothing)
{
    JBitmap b = MakeMemoryBitmap(7, 5, [](int, int) { return White; });
    EXPECT_TRUE(OfType(RecordDrawing([&](HDC dc) { Draw(&b, dc); }), EMR_SETPIXELV).empty());
    FreeMemoryBitmap(&b);
}

TEST_P(PictureTest, ARecordWithoutDCDrawsABlackBlock)
{
    JBitmap b = { 6, 4, NULL, NULL };
    MemoryTarget target(30, 20);
    Draw(&b, target.dc);
    EXPECT_EQ(0, Mismatches(target, [](int x, int y) { return Inside(x, y, 12, 7, 18, 11) ? 0 : Marker; }));
}

// Columns in the order the picture's pixels are written; rows top to bottom within each.
std::vector<int> WrittenColumns(const std::vector<EmfRecord> &pixels, int originX, int originY, int height)
{
    std::vector<int> columns;
    for (size_t i = 0; i < pixels.size(); i++) {
        int column = pixels[i].x - originX, row = pixels[i].y - originY;
        if (row != (int)(i % height))
            ADD_FAILURE() << "pixel " << i << " is in row " << row;
        if (i % height == 0)
            columns.push_back(column);
        else if (column != columns.back())
            ADD_FAILURE() << "pixel " << i << " left its column";
    }
    return columns;
}

TEST_P(PictureTest, ColumnsGoFromTheCentreOutwards)
{
    struct { UINT id; int height; std::vector<int> order; } cases[] = {
        { IDB_EVEN4X2, 2, { 2, 1, 3, 0 } },
        { IDB_ODD5X3, 3, { 2, 1, 3, 0, 4 } },
    };
    for (auto &c : cases) {
        JBitmap b;
        AcquireBitmap(c.id, &b, Module(), NULL);
        auto pixels = OfType(RecordDrawing([&](HDC dc) { Draw(&b, dc); }), EMR_SETPIXELV);
        ASSERT_EQ(c.order.size() * c.height, pixels.size());
        EXPECT_EQ(c.order, WrittenColumns(pixels, 12, 7, c.height));
        for (const EmfRecord &p : pixels)
            EXPECT_EQ(OpaquePixel(p.x - 12, p.y - 7), p.color);
        ReleaseBitmap(&b);
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, PictureTest,
                         ::testing::Values(PictureCase{ "Offset", false }, PictureCase{ "Direct", true }),
                         [](const ::testing::TestParamInfo<PictureCase> &i) { return std::string(i.param.name); });

TEST(CentreOutColumn, VisitsEveryColumnOnceEndingAtZeroForEvenAndTheLastForOddWidths)
{
    for (int width : { 1, 2, 3, 4, 5, 6, 7, 52, 599, 600 }) {
        std::vector<int> seen(width, 0);
        for (int i = 0; i < width; i++) {
            int column = CentreOutColumn(width, i);
            ASSERT_TRUE(column >= 0 && column < width) << "width " << width << " i " << i;
            seen[column]++;
        }
        EXPECT_EQ(std::vector<int>(width, 1), seen) << "width " << width;
        EXPECT_EQ(width % 2 ? width - 1 : 0, CentreOutColumn(width, width - 1)) << "width " << width;
        EXPECT_EQ(width / 2, CentreOutColumn(width, 0));
    }
}

// ---- frames and regions ----

struct FrameCase {
    const char *name;
    void (*copy)(const JBitmap *, HDC, int, int, int, int);
    bool skipsWhite;
    bool transposed;
};

class FrameTest : public BitmapCacheTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameTest, CopiesOneFrameOfTheStrip)
{
    const FrameCase &c = GetParam();
    JBitmap b;
    AcquireBitmap(IDB_STRIP, &b, Module(), NULL);
    MemoryTarget target(30, 30);
    c.copy(&b, target.dc, 26, 5, 39, 7); // frame 2 to (5, 7)
    EXPECT_EQ(0, Mismatches(target, [&](int x, int y) {
        if (!Inside(x, y, 5, 7, 18, 20))
            return Marker;
        int k = x - 5, j = y - 7;
        COLORREF s = c.transposed ? StripPixel(26 + j, k) : StripPixel(26 + k, j);
        return (c.skipsWhite && s == White) ? Marker : s;
    }));
    ReleaseBitmap(&b);
}

TEST_P(FrameTest, AnEmptyColumnRangeWritesNothing)
{
    JBitmap b;
    AcquireBitmap(IDB_STRIP, &b, Module(), NULL);
    for (int end : { 26, 20 })
        EXPECT_TRUE(RecordDrawing([&](HDC dc) { GetParam().copy(&b, dc, 26, 0, end, 0); }).empty());
    ReleaseBitmap(&b);
}

TEST_P(FrameTest, ARecordWithoutDCWritesBlack)
{
    JBitmap b = { 52, 13, NULL, NULL };
    MemoryTarget target(30, 30);
    GetParam().copy(&b, target.dc, 13, 2, 26, 3);
    EXPECT_EQ(0, Mismatches(target, [](int x, int y) { return Inside(x, y, 2, 3, 15, 16) ? 0 : Marker; }));
}

INSTANTIATE_TEST_SUITE_P(Variants, FrameTest,
    ::testing::Values(FrameCase{ "Opaque", CopyFrame, false, false },
                      FrameCase{ "Transparent", CopyFrameTransparent, true, false },
                      FrameCase{ "Transposed", CopyFrameTransposed, false, true }),
    [](const ::testing::TestParamInfo<FrameCase> &i) { return std::string(i.param.name); });

TEST_F(BitmapCacheTest, TransposedFrameNarrowerThanHighReadsHColumnsAndWritesThemAsRows)
{
    JBitmap b;
    AcquireBitmap(IDB_STRIP, &b, Module(), NULL);
    MemoryTarget target(30, 30);
    CopyFrameTransposed(&b, target.dc, 13, 1, 20, 2); // source columns 13..25, rows 0..6
    EXPECT_EQ(0, Mismatches(target, [](int x, int y) {
        return Inside(x, y, 1, 2, 8, 15) ? StripPixel(13 + (y - 2), x - 1) : Marker;
    }));
    ReleaseBitmap(&b);
}

struct RegionCase {
    const char *name;
    bool transposed;
    RECT area; // left, top, right, bottom given to the copy
};

class RegionTest : public BitmapCacheTest, public ::testing::WithParamInterface<RegionCase> {};

TEST_P(RegionTest, CopiesTheSourceRectangleAtItsCorner)
{
    const RegionCase &c = GetParam();
    const RECT a = c.area;
    const int sx = 52, sy = 26, w = a.right - a.left, h = a.bottom - a.top;
    JBitmap b;
    AcquireBitmap(IDB_GRID, &b, Module(), NULL);
    MemoryTarget target(60, 60);
    (c.transposed ? CopyRegionTransposed : CopyRegion)(&b, target.dc, a.left, a.top, a.right, a.bottom, sx, sy);
    EXPECT_EQ(0, Mismatches(target, [&](int x, int y) {
        if (!c.transposed)
            return Inside(x, y, a.left, a.top, a.right, a.bottom) ? GridPixel(sx + x - a.left, sy + y - a.top) : Marker;
        // bottom-top wide, right-left high
        return Inside(x, y, a.left, a.top, a.left + h, a.top + w) ? GridPixel(sx + y - a.top, sy + x - a.left) : Marker;
    }));
    ReleaseBitmap(&b);
}

INSTANTIATE_TEST_SUITE_P(Variants, RegionTest,
    ::testing::Values(RegionCase{ "Cell", false, { 10, 20, 36, 46 } },
                      RegionCase{ "CellTransposed", true, { 10, 20, 36, 46 } },
                      RegionCase{ "Oblong", false, { 4, 6, 24, 14 } },
                      RegionCase{ "OblongTransposed", true, { 4, 6, 24, 14 } }),
    [](const ::testing::TestParamInfo<RegionCase> &i) { return std::string(i.param.name); });

TEST(CopyRegion, ARecordWithoutDCWritesBlack)
{
    JBitmap b = { 104, 78, NULL, NULL };
    MemoryTarget target(40, 40);
    CopyRegion(&b, target.dc, 3, 4, 9, 8, 0, 0);
    CopyRegionTransposed(&b, target.dc, 20, 20, 26, 24, 0, 0);
    EXPECT_EQ(0, Mismatches(target, [](int x, int y) {
        return (Inside(x, y, 3, 4, 9, 8) || Inside(x, y, 20, 20, 24, 26)) ? 0 : Marker;
    }));
}
