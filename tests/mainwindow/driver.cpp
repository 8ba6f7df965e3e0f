#include "tests/mainwindow/driver.h"

#include <stdio.h>

InstallerProcess::~InstallerProcess()
{
    if (pi_.hProcess) {
        if (Running())
            TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
}

bool InstallerProcess::Start()
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string cmd = "\"" + exe_ + "\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    return CreateProcessA(exe_.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, "C:\\", &si, &pi_) != 0;
}

bool InstallerProcess::Running() const
{
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool InstallerProcess::WaitForExit(int ms, DWORD *exitCode)
{
    if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(pi_.hProcess, exitCode);
    return true;
}

namespace {
struct FindArgs {
    DWORD pid;
    const char *title; // null: the 600 x 320 main dialog
    HWND found;
};

BOOL CALLBACK FindProc(HWND w, LPARAM p)
{
    FindArgs *a = (FindArgs *)p;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != a->pid || !IsWindowVisible(w))
        return TRUE;
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    RECT r;
    GetClientRect(w, &r);
    if (a->title ? strcmp(text, a->title) == 0 : (r.right == 600 && r.bottom == 320)) {
        a->found = w;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND InstallerProcess::FindWindowTitled(const char *title) const
{
    FindArgs a = {pi_.dwProcessId, title, 0};
    EnumWindows(FindProc, (LPARAM)&a);
    return a.found;
}

HWND InstallerProcess::WaitForMainWindow(int ms)
{
    WaitFor([&] { return (window_ = FindWindowTitled(nullptr)) != 0; }, ms);
    if (window_)
        Sleep(400); // the first paint cycle starts with a 50 ms pause; let it finish
    return window_;
}

std::vector<std::string> InstallerProcess::ListEntries() const
{
    // Cross-process ANSI CB_GETLBTEXT is broken in Wine; the wide form works.
    std::vector<std::string> entries;
    HWND list = List();
    LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; i++) {
        WCHAR wide[1024] = {};
        if (SendMessageW(list, CB_GETLBTEXTLEN, i, 0) >= 1000)
            continue;
        SendMessageW(list, CB_GETLBTEXT, i, (LPARAM)wide);
        char text[2048] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
        entries.push_back(text);
    }
    return entries;
}

int InstallerProcess::ListSelection() const
{
    return (int)SendMessageW(List(), CB_GETCURSEL, 0, 0);
}

static Capture GrabScreen(int left, int top, int width, int height)
{
    Capture cap;
    cap.width = width;
    cap.height = height;
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = 0;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, width, height, screen, left, top, SRCCOPY);
    GdiFlush();
    cap.pixels.assign((DWORD *)bits, (DWORD *)bits + width * height);
    for (DWORD &p : cap.pixels)
        p &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return cap;
}

Capture InstallerProcess::Grab() const
{
    RECT r;
    GetClientRect(window_, &r);
    POINT origin = {0, 0};
    ClientToScreen(window_, &origin);
    return GrabScreen(origin.x, origin.y, r.right, r.bottom);
}

Capture GrabWindow(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return GrabScreen(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool Capture::SaveBmp(const std::string &path) const
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    int row = width * 3 + (4 - width * 3 % 4) % 4;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + row * height;
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&ih, sizeof ih, 1, f);
    std::vector<unsigned char> line(row, 0);
    for (int y = height - 1; y >= 0; y--) {
        for (int x = 0; x < width; x++) {
            DWORD p = At(x, y);
            line[x * 3] = (unsigned char)(p & 0xFF);
            line[x * 3 + 1] = (unsigned char)((p >> 8) & 0xFF);
            line[x * 3 + 2] = (unsigned char)((p >> 16) & 0xFF);
        }
        fwrite(line.data(), 1, row, f);
    }
    fclose(f);
    return true;
}

Capture LoadBitmapPixels(HMODULE module, int id)
{
    Capture cap;
    HBITMAP bmp = LoadBitmapA(module, MAKEINTRESOURCEA(id));
    if (!bmp)
        return cap;
    BITMAP info;
    GetObjectA(bmp, sizeof info, &info);
    cap.width = info.bmWidth;
    cap.height = info.bmHeight;
    cap.pixels.resize(cap.width * cap.height);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cap.width;
    bi.bmiHeader.biHeight = -cap.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(NULL);
    GetDIBits(dc, bmp, 0, cap.height, cap.pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    for (DWORD &p : cap.pixels)
        p &= 0xFFFFFF;
    DeleteObject(bmp);
    return cap;
}

int CountMismatches(const Capture &cap, const Capture &element, int x, int y)
{
    int bad = 0;
    for (int j = 0; j < element.height; j++)
        for (int i = 0; i < element.width; i++) {
            DWORD want = element.At(i, j);
            if (want == 0xFFFFFF || x + i >= cap.width || y + j >= cap.height)
                continue; // white is transparent
            if (cap.At(x + i, y + j) != want)
                bad++;
        }
    return bad;
}

std::string WindowsPath(const std::string &unixPath)
{
    std::string p = "Z:" + unixPath;
    for (char &c : p)
        if (c == '/')
            c = '\\';
    return p;
}

static void SendMouse(DWORD flags)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
    Sleep(30);
}

void InstallerProcess::MoveTo(int x, int y) const
{
    POINT p = {x, y};
    ClientToScreen(window_, &p);
    SetCursorPos(p.x, p.y);
    SendMouse(MOUSEEVENTF_MOVE); // a zero move makes sure the window sees the position
    Sleep(80);
}

void InstallerProcess::Click(int x, int y, bool right) const
{
    MoveTo(x, y);
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    Sleep(150);
}

void InstallerProcess::Key(WORD vk) const
{
    SetForegroundWindow(window_);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Sleep(200);
}

void InstallerProcess::Choose(int index) const
{
    // As the list does when the user picks an entry: select, then notify the dialog.
    SendMessageW(List(), CB_SETCURSEL, index, 0);
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(1033, CBN_SELCHANGE), (LPARAM)List());
    Sleep(300);
}
