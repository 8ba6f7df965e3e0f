#include "ui/element.h"

#include <new>

#include "core/text.h"

JElement::JElement(JCanvas *canvas, const char *hint)
{
    this->canvas = canvas;
    RegisterElement(canvas, this);
    shown = 1;
    active = 1;
    erased = 0;
    hintShown = 0;
    commandId = 0;
    BufSet(this->hint, sizeof this->hint, hint ? hint : "");
}

int JElement::Reserved1() { return 0; }
int JElement::GetValue() { return 0; }
int JElement::Reserved2() { return 0; }
int JElement::Reserved3() { return 0; }
void JElement::SetValue(int) {}
JElement::~JElement() {}

void SetShown(JElement *element, int show)
{
    if (show) {
        element->shown = 1;
        element->active = 1;
        element->erased = 0;
    } else {
        element->shown = 0;
        element->active = 0;
    }
    Repaint(element);
}

void DrawOnWindow(JElement *element)
{
    JCanvas *canvas = element->canvas;
    if (canvas->windowDC) {
        element->Draw(canvas->windowDC);
        return;
    }
    HDC dc = GetDC(canvas->window);
    PrepareWindowDC(dc);
    element->Draw(dc);
    ReleaseDC(canvas->window, dc);
}

void Repaint(JElement *element)
{
    if (element->erased)
        return;
    DrawOnWindow(element);
    if (!element->shown)
        element->erased = 1;
}

RECT MakeRect(short x, short y, short width, short height)
{
    RECT r = { x, y, (LONG)x + width, (LONG)y + height };
    return r;
}

void PostNotify(HWND window, int command)
{
    if (command)
        PostMessageA(window, WM_JNOTIFY, (WPARAM)command, 0);
}

JBitmap *AcquireElementImage(JCanvas *canvas, UINT id)
{
    if (!id)
        return NULL;
    JBitmap *image = new (std::nothrow) JBitmap;
    if (image)
        AcquireBitmap(id, image, canvas->module, canvas->windowDC);
    return image;
}

void ReleaseElementImage(JBitmap *image)
{
    if (!image)
        return;
    ReleaseBitmap(image);
    delete image;
}
