// Resource ids of the toolkit tests' bitmaps and cursor (made by make_test_bitmaps.py).
#pragma once

#define IDB_PATTERN100 101 // 100 x 100, PatternPixel
#define IDB_TRANS6X4 102   // 6 x 4, TransPixel: white where (x + y) % 3 == 0
#define IDB_ODD5X3 103     // 5 x 3, OpaquePixel
#define IDB_EVEN4X2 104    // 4 x 2, OpaquePixel
#define IDB_STRIP 110      // 52 x 13: four 13 x 13 frames, StripPixel, white outer ring
#define IDB_GRID 111       // 104 x 78: 4 x 3 cells of 26 x 26, GridPixel
#define IDB_BACKGROUND 120 // 48 x 36, BackgroundPixel
#define IDB_FACE 130       // 60 x 19, FacePixel, white corners
#define IDB_PRESSED 131    // 60 x 19, PressedPixel, white corners
#define IDB_BADGE 132      // 20 x 19, BadgePixel
#define IDC_TESTHAND 140       // 32 x 32 cursor
