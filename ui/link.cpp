#include "ui/link.h"

#include "core/text.h"

JAncor::JAncor(JCanvas *canvas, const char *hint, RECT position, const char *caption, int commandId)
    : JElement(canvas, hint)
{
    textRect.left = textRect.right = position.left;
    textRect.top = textRect.bottom = position.top;
    BufSet(this->caption, sizeof this->caption, caption ? caption : "");
    this->commandId = commandId;
    visited = 0;
}

int JAncor::HitTest(LPARAM lParam) const
{
    int x = LOWORD(lParam), y = HIWORD(lParam);
    return textRect.left <= x && x <= textRect.right && textRect.top <= y && y <= textRect.bottom;
}

int JAncor::OnMouse(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    int inside = HitTest(lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        UpdateHintLine(this, inside);
        if (!inside)
            return 0;
        SetCursor(HandCursor);
        return 1;
    case WM_LBUTTONDOWN:
        if (!inside)
            return 0;
        visited = 1;
        PostNotify(window, commandId);
        return 1;
    default:
        return 0;
    }
}

void JAncor::Draw(HDC dc)
{
    if (!shown) {
        // The caption covers left..right-1, top..bottom-1 of the measured extent.
        TileBitmap(canvas->background, dc, textRect.left, textRect.top, textRect.right, textRect.bottom);
        return;
    }
    HGDIOBJ oldFont = UnderlinedFont ? SelectObject(dc, UnderlinedFont) : NULL;
    SetTextColor(dc, visited ? VisitedLinkColor : LinkColor);
    int length = lstrlenA(caption);
    TextOutA(dc, textRect.left, textRect.top, caption, length);
    SetTextColor(dc, 0);
    SIZE extent = { 0, 0 };
    GetTextExtentPoint32A(dc, caption, length, &extent);
    textRect.right = textRect.left + extent.cx;
    textRect.bottom = textRect.top + extent.cy;
    if (oldFont)
        SelectObject(dc, oldFont);
}
