#include "ui/button.h"

#include "core/text.h"

enum { Pressed = 1, Clicked = 3 };

JButton::JButton(JCanvas *canvas, const char *hint, RECT position, UINT normalId, UINT pressedId,
                 int commandId, const char *label, const RECT *labelRect)
    : JElement(canvas, hint)
{
    BufSet(this->label, sizeof this->label, label ? label : "");
    SetRectEmpty(&this->labelRect);
    if (labelRect) {
        this->labelRect.left = position.left + labelRect->left;
        this->labelRect.top = position.top + labelRect->top;
        this->labelRect.right = this->labelRect.left + labelRect->right;
        this->labelRect.bottom = this->labelRect.top + labelRect->bottom;
    }
    rect = position;
    normalImage = AcquireElementImage(canvas, normalId);
    pressedImage = AcquireElementImage(canvas, pressedId);
    imageX = position.left;
    imageY = position.top;
    if (normalImage) {
        rect.right = imageX + normalImage->width;
        rect.bottom = imageY + normalImage->height;
    }
    pressState = 0;
    transparent = 0;
    pressOffset = 0;
    if (normalId == pressedId) { // room for the face moved one pixel down and right
        rect.right++;
        rect.bottom++;
        pressOffset = 1;
    }
    this->commandId = commandId;
}

JButton::~JButton()
{
    ReleaseElementImage(pressedImage);
    ReleaseElementImage(normalImage);
}

int JButton::HitTest(LPARAM lParam) const
{
    int x = LOWORD(lParam), y = HIWORD(lParam);
    return imageX < x && x < imageX + (rect.right - rect.left) &&
           imageY < y && y < imageY + (rect.bottom - rect.top);
}

int JButton::OnMouse(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (HitTest(lParam)) {
            UpdateHintLine(this, 1);
            return 0;
        }
        if (pressState == Pressed) {
            DrawPressed(0);
            pressState = 0;
        }
        UpdateHintLine(this, 0);
        return 0;
    case WM_LBUTTONDOWN:
        if (HitTest(lParam)) {
            DrawPressed(1);
            pressState = Pressed;
        }
        return 0;
    case WM_LBUTTONUP: // no capture is taken: wherever the release lands, it completes a press
        if (pressState == Pressed) {
            DrawPressed(0);
            PostNotify(window, commandId);
            pressState = Clicked;
            return 1;
        }
        pressState = 0;
        return 0;
    default:
        return 0;
    }
}

void JButton::DrawLabel(HDC dc)
{
    TileBitmap(canvas->background, canvas->backDC, labelRect.left, labelRect.top, labelRect.right, labelRect.bottom);
    TextOutA(canvas->backDC, labelRect.left, labelRect.top, label, lstrlenA(label));
    BlitRect(&labelRect, dc, canvas->backDC);
}

void JButton::Draw(HDC dc)
{
    if (!shown) {
        TileBitmap(canvas->background, dc, rect.left, rect.top, rect.right, rect.bottom);
        // A hidden button hides its label too.
        if (label[0])
            TileBitmap(canvas->background, dc, labelRect.left, labelRect.top, labelRect.right, labelRect.bottom);
        return;
    }
    if (normalImage) {
        TileBitmap(canvas->background, canvas->backDC, rect.left, rect.top, rect.right, rect.bottom);
        if (transparent) {
            // Straight onto dc: the caller has painted the background there.
            DrawBitmapTransparentDirect(normalImage, dc, imageX, imageY);
        } else {
            DrawBitmapTransparent(normalImage, canvas->backDC, imageX, imageY, 0, 0);
            BlitRect(&rect, dc, canvas->backDC);
        }
    }
    if (label[0])
        DrawLabel(dc);
}

void JButton::DrawPressed(int pressed)
{
    if (!normalImage || !pressedImage)
        return;
    TileBitmap(canvas->background, canvas->backDC, rect.left, rect.top, rect.right, rect.bottom);
    if (pressed)
        DrawBitmapTransparent(pressedImage, canvas->backDC, imageX, imageY, pressOffset, pressOffset);
    else
        DrawBitmapTransparent(normalImage, canvas->backDC, imageX, imageY, 0, 0);
    BlitRect(&rect, canvas->windowDC, canvas->backDC);
    if (label[0])
        DrawLabel(canvas->windowDC);
}
