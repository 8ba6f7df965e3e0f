#include "ui/selector.h"

#include "core/text.h"
#include "ui/picker.h"

DWORD PackLabelOffset(int dx, int dy)
{
    return ((DWORD)(WORD)(dx + 0x8000) << 16) | (WORD)(dy + 0x8000);
}

JSelector::JSelector(JCanvas *canvas, const char *hint, RECT area, UINT imageId, DWORD labelOffset,
                     const char *label, int minimum, int signedMaximum, int commandId, DWORD flags,
                     const char *name)
    : JElement(canvas, hint)
{
    // A value-only selector stops early; its other fields still get defined values.
    SetRectEmpty(&frameRect);
    SetRectEmpty(&areaRect);
    this->minimum = 0;
    maximum = 0;
    pressFrames = 0;
    labelDx = 0;
    labelDy = 0;
    this->label[0] = 0;

    this->flags = flags;
    image = NULL;
    value = 0;
    BufSet(this->name, sizeof this->name, name ? name : "");
    if (flags & JSEL_VALUE_ONLY)
        return;

    frameRect = area;
    image = AcquireElementImage(canvas, imageId);
    const int x = area.left, y = area.top;
    areaRect.left = x;
    areaRect.top = y;
    areaRect.right = x + area.right;
    areaRect.bottom = y + area.bottom;
    const int h = image ? image->height : 0;
    if (flags & JSEL_GRID) {
        frameRect.right = x + GridCellSize;
        frameRect.bottom = y + GridCellSize;
    } else {
        frameRect.right = x + h;
        frameRect.bottom = y + h;
    }
    if (flags & JSEL_WIDE)
        frameRect.right = x + 2 * h;
    this->commandId = commandId;
    this->minimum = minimum;
    if (signedMaximum > 0) {
        pressFrames = 0;
        maximum = signedMaximum;
    } else {
        pressFrames = 1;
        maximum = -signedMaximum;
    }
    value = minimum;
    labelDx = (int)(labelOffset >> 16) - 0x8000;
    labelDy = (int)(labelOffset & 0xFFFF) - 0x8000;
    BufSet(this->label, sizeof this->label, label ? label : "");
}

JSelector::~JSelector()
{
    ReleaseElementImage(image);
}

int JSelector::GetValue()
{
    return (flags & JSEL_VALUE_ONLY) ? value : value - minimum;
}

void JSelector::SetValue(int v)
{
    if (flags & JSEL_VALUE_ONLY) {
        value = v;
        return;
    }
    value = v + minimum;
    if (value < minimum)
        value = minimum;
    if (value > maximum)
        value = maximum;
}

int JSelector::HitTest(LPARAM lParam) const
{
    int x = LOWORD(lParam), y = HIWORD(lParam);
    return frameRect.left <= x && x <= frameRect.right && frameRect.top <= y && y <= frameRect.bottom;
}

void JSelector::Wrap()
{
    if (value > maximum)
        value = minimum;
    if (value < 0)
        value = maximum;
}

void JSelector::Redraw()
{
    DrawOnWindow(this);
}

void JSelector::Step(int delta)
{
    value += delta;
    Wrap();
    Redraw();
}

void JSelector::Draw(HDC dc)
{
    if (flags & JSEL_VALUE_ONLY)
        return;
    if (!shown) {
        TileBitmap(canvas->background, dc, areaRect.left, areaRect.top, areaRect.right, areaRect.bottom);
        return;
    }
    // A value whose frame lies outside the image (negative values included) draws nothing.
    if (!image || value < 0)
        return;
    if (flags & JSEL_GRID) {
        const int sx = GridCellSize * (value % PickerColumns), sy = GridCellSize * (value / PickerColumns);
        if (sx + GridCellSize > image->width || sy + GridCellSize > image->height)
            return;
        if (flags & JSEL_TRANSPOSED)
            CopyRegionTransposed(image, canvas->backDC, frameRect.left, frameRect.top, frameRect.right, frameRect.bottom, sx, sy);
        else
            CopyRegion(image, canvas->backDC, frameRect.left, frameRect.top, frameRect.right, frameRect.bottom, sx, sy);
        BlitRect(&frameRect, dc, canvas->backDC);
        return;
    }
    const int frameWidth = (flags & JSEL_WIDE) ? 2 * image->height : image->height;
    const int start = value * frameWidth, end = start + frameWidth;
    if (end > image->width)
        return;
    if (flags & JSEL_TRANSPOSED) {
        CopyFrameTransposed(image, canvas->backDC, start, frameRect.left, end, frameRect.top);
    } else if (flags & JSEL_TRANSPARENT) {
        if (canvas->background)
            TileBitmap(canvas->background, canvas->backDC, frameRect.left, frameRect.top, frameRect.right, frameRect.bottom);
        CopyFrameTransparent(image, canvas->backDC, start, frameRect.left, end, frameRect.top);
    } else {
        CopyFrame(image, canvas->backDC, start, frameRect.left, end, frameRect.top);
    }
    BlitRect(&frameRect, dc, canvas->backDC);
    if (label[0])
        PutText(label, dc, frameRect.left + labelDx, frameRect.top - labelDy);
}

int JSelector::OnMouse(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    if (flags & JSEL_VALUE_ONLY)
        return 0;
    if (!HitTest(lParam)) {
        if (message == WM_MOUSEMOVE)
            UpdateHintLine(this, 0);
        if (pressFrames && value % 2 != 0) { // leaving while pressed: back to the unpressed look, no step
            value--;
            Redraw();
        }
        return 0;
    }
    if (message == WM_MOUSEMOVE) {
        UpdateHintLine(this, 1);
        return 0;
    }
    if (flags & JSEL_GRID) {
        if (message == WM_RBUTTONDOWN) {
            PostNotify(window, commandId ? commandId + 1 : 0);
            return 0;
        }
        if (message != WM_LBUTTONDOWN)
            return 0;
        // The picker's modal loop may run a paint cycle of the window, which takes the canvas's
        // held DC and clears it; the dispatch that handed it to us still owns it, so put it back.
        HDC held = canvas->windowDC;
        DWORD click = GridPicker(this, window);
        canvas->windowDC = held;
        if (!click)
            return 0;
        value = PickerCell(click);
        if (value > maximum)
            value = maximum;
        Wrap();
        Redraw();
        PostNotify(window, commandId);
        return 1;
    }
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        Step(message == WM_LBUTTONDOWN ? 1 : -1);
        if (!pressFrames) // press frames complete the step, and notify, on the release
            PostNotify(window, commandId);
        return 1;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (!pressFrames || value % 2 == 0)
            return 0;
        Step(message == WM_LBUTTONUP ? 1 : -1);
        PostNotify(window, commandId);
        return 1;
    default:
        return 0;
    }
}
