// Drives the real installer from another process: start it, find its window,
// read its folder list and pixels, send it real mouse and keyboard input.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A captured area of the screen, 0x00RRGGBB per pixel.
struct Capture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[y * width + x]; }
    bool SaveBmp(const std::string &path) const;
};

// What the screen shows of a window (whole window, frame included).
Capture GrabWindow(HWND window);

// 0x00RRGGBB pixels of a bitmap resource of another module (the installer's art).
Capture LoadBitmapPixels(HMODULE module, int id);

// Windows path of a Unix path (Z: maps to / in a Wine prefix).
std::string WindowsPath(const std::string &unixPath);

// Polls cond every 20 ms for up to ms milliseconds; true when it held.
template <class F> bool WaitFor(F cond, int ms = 10000)
{
    for (int t = 0; t < ms; t += 20) {
        if (cond())
            return true;
        Sleep(20);
    }
    return cond();
}

class InstallerProcess {
public:
    explicit InstallerProcess(const std::string &exe) : exe_(exe) {}
    ~InstallerProcess();
    bool Start();
    HWND WaitForMainWindow(int ms = 20000); // the visible 600 x 320 dialog of this process
    HWND FindWindowTitled(const char *title) const; // a visible top-level window of this process
    bool WaitForExit(int ms, DWORD *exitCode);
    bool Running() const;
    DWORD Pid() const { return pi_.dwProcessId; }
    HWND Window() const { return window_; }
    HWND List() const { return GetDlgItem(window_, 1033); }

    std::vector<std::string> ListEntries() const; // the folder list's texts, in order
    int ListSelection() const;
    Capture Grab() const;                          // the main window's client area as on screen
    void Click(int x, int y, bool right = false) const; // client coordinates
    void MoveTo(int x, int y) const;
    void Key(WORD vk) const;
    void Choose(int index) const;                  // picks a folder-list entry as the user does

private:
    std::string exe_;
    PROCESS_INFORMATION pi_ = {};
    HWND window_ = 0;
};

// Pixels of cap inside (x, y, w, h) that differ from the non-white pixels of the element bitmap drawn there.
int CountMismatches(const Capture &cap, const Capture &element, int x, int y);
