// Release benchmark: LumivortexSetup.exe beside an NSIS installer of the same two payloads,
// run alternately in one prefix under the same Wine and display. Prints a Markdown table.
// Usage: release_bench OURS.exe PEER.exe PAYLOAD32 PAYLOAD64 "INSTALL FOLDER" RUNS
//   INSTALL FOLDER: where both installers put the files in this prefix (their default, from
//   the seeded Photoshop PluginPath); the benchmark empties it after every run.
#include <windows.h>

#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/mainwindow/driver.h"

namespace {

const char *const PeerTitle = "Lumivortex filter Setup"; // NSIS: Name + " Setup", then ": " + the page
const int PollMs = 1;
const int TimeoutMs = 20000;
const char *const PayloadNames[2] = {"Lumivortex.8bf", "Lumivortex(x64).8bf"};

// Client positions of the installer's elements (its layout for the 600 x 320 background).
const POINT CancelAt = {537, 299}, InstallAt = {475, 299}, FinishAt = {535, 299};
const POINT Badge32At = {480, 236}, Badge64At = {510, 236}, CheckBoxAt = {290, 100};
const POINT InstallClick = {475 + 30, 299 + 9}, FinishClick = {535 + 30, 299 + 9};
const int CheckFrame = 13, TickedFrame = 2;

double Now()
{
    static LARGE_INTEGER freq = {};
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

// A pixel of the client area that must show a given colour once a screen is fully drawn.
struct Probe {
    int x, y;
    DWORD rgb; // 0x00RRGGBB
};

DWORD ScreenPixel(HDC screen, int x, int y)
{
    COLORREF c = GetPixel(screen, x, y);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

bool ProbesMatch(HWND window, const std::vector<Probe> &probes)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(NULL);
    bool all = true;
    for (size_t i = 0; i < probes.size() && all; i++)
        all = ScreenPixel(screen, origin.x + probes[i].x, origin.y + probes[i].y) == probes[i].rgb;
    ReleaseDC(NULL, screen);
    return all;
}

// What a screen is: element bitmaps (white transparent) at client positions, over a background.
struct Layer {
    const Capture *image;
    int x, y;      // where it is drawn
    int sx, sw;    // the columns of the image used (a frame of a strip)
};

DWORD Composite(const Capture &background, const std::vector<Layer> &layers, int x, int y)
{
    DWORD rgb = background.At(x, y);
    for (const Layer &l : layers) {
        int i = x - l.x, j = y - l.y;
        if (i >= 0 && i < l.sw && j >= 0 && j < l.image->height) {
            DWORD p = l.image->At(l.sx + i, j);
            if (p != 0xFFFFFF)
                rgb = p;
        }
    }
    return rgb;
}

// Parts of the choosing screen that are not art: the folder list, the prompt, the link, the check
// box label and the hint line. Background probes stay out of them.
bool OverText(int x, int y)
{
    static const RECT text[] = {
        {12, 256, 588, 286}, {16, 232, 470, 258}, {450, 12, 600, 38}, {300, 94, 600, 118}, {16, 298, 456, 322}};
    for (const RECT &r : text)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}

// Probes on a grid over each layer (and the background itself): pixels the layer decides,
// which differ from what was there before (before), so a match means the layer is on screen.
std::vector<Probe> MakeProbes(const Capture &background, const std::vector<Layer> &layers,
    const std::vector<Layer> &before, bool backgroundToo)
{
    std::vector<Probe> probes;
    auto add = [&](int x, int y) {
        if (backgroundToo && OverText(x, y))
            return;
        DWORD want = Composite(background, layers, x, y);
        DWORD old = Composite(background, before, x, y);
        if (want != old || backgroundToo)
            probes.push_back({x, y, want});
    };
    if (backgroundToo)
        for (int gy = 8; gy < background.height; gy += 52)
            for (int gx = 8; gx < background.width; gx += 97)
                add(gx, gy);
    for (const Layer &l : layers) {
        // Up to 5 x 5 pixels of the layer, each the first non-white one at or after a grid point.
        for (int gy = 0; gy < 5; gy++)
            for (int gx = 0; gx < 5; gx++) {
                int y = l.image->height * gy / 5, x0 = l.sw * gx / 5;
                for (int i = x0; i < l.sw; i++)
                    if (l.image->At(l.sx + i, y) != 0xFFFFFF) {
                        if (l.x + i < background.width && l.y + y < background.height)
                            add(l.x + i, l.y + y);
                        break;
                    }
            }
    }
    return probes;
}

// Pixels of a whole-window grab that differ from the expected composite (elements only).
int Mismatches(const Capture &grab, const Capture &background, const std::vector<Layer> &layers)
{
    int bad = 0;
    for (const Layer &l : layers)
        for (int j = 0; j < l.image->height; j++)
            for (int i = 0; i < l.sw; i++) {
                int x = l.x + i, y = l.y + j;
                if (l.image->At(l.sx + i, j) == 0xFFFFFF || x >= grab.width || y >= grab.height)
                    continue;
                if (grab.At(x, y) != Composite(background, layers, x, y))
                    bad++;
            }
    return bad;
}

template <class F> double PollUntil(F cond, int ms = TimeoutMs)
{
    double start = Now();
    while (Now() - start < ms) {
        if (cond())
            return Now();
        Sleep(PollMs);
    }
    return -1;
}

struct Series {
    std::vector<double> v;
    void Add(double x) { v.push_back(x); }
    double Median() const
    {
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        if (s.empty())
            return 0;
        return s.size() % 2 ? s[s.size() / 2] : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
    }
    double Min() const { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }
    double Max() const { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
};

struct Figures {
    Series shown, painted, install, peakWorkingSet, peakPagefile;
    int failures = 0;
};

std::string InstallFolder;
std::string OurDefaultFolder, PeerDefaultFolder; // entry 0 of our folder list; the peer's directory field

void EmptyInstallFolder()
{
    for (const char *name : PayloadNames)
        DeleteFileA((InstallFolder + "\\" + name).c_str());
    RemoveDirectoryA(InstallFolder.c_str());
}

bool BothPayloadsInstalled()
{
    for (const char *name : PayloadNames)
        if (GetFileAttributesA((InstallFolder + "\\" + name).c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
    return true;
}

void PressAndRelease()
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof in[0]);
}

void Peak(HANDLE process, Figures *f)
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(process, &pmc, sizeof pmc)) {
        f->peakWorkingSet.Add(pmc.PeakWorkingSetSize / 1024.0);
        f->peakPagefile.Add(pmc.PeakPagefileUsage / 1024.0);
    }
}

struct Art {
    Capture background, finishPicture, cancel, install, finish, badge32, badge64, checkBox;
    std::vector<Layer> choosing, finished;
    std::vector<Probe> paintProbes, finishProbes;
};

bool LoadArt(const std::string &exe, Art *a)
{
    HMODULE m = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!m)
        return false;
    a->background = LoadBitmapPixels(m, 222);
    a->finishPicture = LoadBitmapPixels(m, 213);
    a->cancel = LoadBitmapPixels(m, 203);
    a->install = LoadBitmapPixels(m, 219);
    a->finish = LoadBitmapPixels(m, 220);
    a->badge32 = LoadBitmapPixels(m, 224);
    a->badge64 = LoadBitmapPixels(m, 225);
    a->checkBox = LoadBitmapPixels(m, 128);
    FreeLibrary(m);
    if (!a->background.width || !a->finishPicture.width || !a->finish.width || !a->checkBox.width)
        return false;
    // The bench's folder has neither "(64" nor "86)": on 64-bit Windows both badges show.
    a->choosing = {{&a->cancel, CancelAt.x, CancelAt.y, 0, a->cancel.width},
        {&a->install, InstallAt.x, InstallAt.y, 0, a->install.width},
        {&a->badge32, Badge32At.x, Badge32At.y, 0, a->badge32.width},
        {&a->badge64, Badge64At.x, Badge64At.y, 0, a->badge64.width},
        {&a->checkBox, CheckBoxAt.x, CheckBoxAt.y, TickedFrame * CheckFrame, CheckFrame}};
    a->finished = {{&a->finish, FinishAt.x, FinishAt.y, 0, a->finish.width},
        {&a->finishPicture, 0, 0, 0, a->finishPicture.width}};
    a->paintProbes = MakeProbes(a->background, a->choosing, {}, true);
    a->finishProbes = MakeProbes(a->background, a->finished, a->choosing, false);
    return true;
}

// One run of ours: launch, window shown, first complete paint, INSTALL, finish screen, FINISH.
void RunOurs(const std::string &exe, const Art &art, Figures *f)
{
    EmptyInstallFolder();
    SetCursorPos(0, 0);
    InstallerProcess p(exe);
    double t0 = Now();
    if (!p.Start()) {
        fprintf(stderr, "cannot start %s: error %lu\n", exe.c_str(), GetLastError());
        f->failures++;
        return;
    }
    HWND w = 0;
    double shown = PollUntil([&] { return (w = p.FindWindowTitled(nullptr)) != 0; });
    double painted = shown < 0 ? -1 : PollUntil([&] { return ProbesMatch(w, art.paintProbes); });
    if (painted < 0) {
        fprintf(stderr, "ours: %s\n", shown < 0 ? "no window" : "the window never showed its art");
        f->failures++;
        return;
    }
    // A probe match is confirmed by the whole picture; a late pixel moves the moment on.
    // (A borderless popup: the whole window is its client area.)
    while (Mismatches(GrabWindow(w), art.background, art.choosing) != 0 && Now() - t0 < TimeoutMs)
        painted = Now();
    f->shown.Add(shown - t0);
    f->painted.Add(painted - t0);
    p.WaitForMainWindow(1000); // binds the driver to the window (it then pauses 400 ms)
    std::vector<std::string> entries = p.ListEntries();
    OurDefaultFolder = entries.empty() ? "" : entries[0];

    p.MoveTo(InstallClick.x, InstallClick.y);
    Sleep(200); // hover feedback settles before the timed click
    double click = Now();
    PressAndRelease();
    double done = PollUntil([&] { return ProbesMatch(w, art.finishProbes); });
    while (done >= 0 && Mismatches(GrabWindow(w), art.background, art.finished) != 0 && Now() - click < TimeoutMs)
        done = Now();
    if (done < 0 || !BothPayloadsInstalled()) {
        fprintf(stderr, "ours: %s\n", done < 0 ? "no finish screen" : "payloads missing after install");
        f->failures++;
    } else {
        f->install.Add(done - click);
    }
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, p.Pid());
    if (h) {
        Peak(h, f);
        CloseHandle(h);
    }
    p.Click(FinishClick.x, FinishClick.y);
    DWORD code = 0;
    if (!p.WaitForExit(5000, &code)) {
        fprintf(stderr, "ours: FINISH did not end the installer\n");
        f->failures++;
    }
}

struct PeerSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindPeerWindow(HWND w, LPARAM p)
{
    PeerSearch *s = (PeerSearch *)p;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char title[256] = "";
    GetWindowTextA(w, title, sizeof title);
    if (pid != s->pid || !IsWindowVisible(w) || strncmp(title, PeerTitle, strlen(PeerTitle)) != 0)
        return TRUE;
    s->found = w;
    return FALSE;
}

HWND PeerWindow(DWORD pid)
{
    PeerSearch s = {pid, 0};
    EnumWindows(FindPeerWindow, (LPARAM)&s);
    return s.found;
}

BOOL CALLBACK FindEdit(HWND child, LPARAM p)
{
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") != 0)
        return TRUE;
    *(HWND *)p = child;
    return FALSE;
}

std::string ReadDirectoryPage(HWND window)
{
    // The directory page is a child dialog; its folder field is the first edit control.
    HWND edit = 0;
    EnumChildWindows(window, FindEdit, (LPARAM)&edit);
    WCHAR wide[1024] = L"";
    if (edit)
        SendMessageW(edit, WM_GETTEXT, 1024, (LPARAM)wide);
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
    return text;
}


// One run of the peer: launch to its window (directory page), then cancel it.
void RunPeerWindow(const std::string &exe, Figures *f)
{
    SetCursorPos(0, 0);
    InstallerProcess p(exe);
    double t0 = Now();
    if (!p.Start()) {
        fprintf(stderr, "cannot start %s: error %lu\n", exe.c_str(), GetLastError());
        f->failures++;
        return;
    }
    HWND w = 0;
    double shown = PollUntil([&] { return (w = PeerWindow(p.Pid())) != 0; });
    if (shown < 0) {
        fprintf(stderr, "peer: no window titled %s\n", PeerTitle);
        f->failures++;
        return;
    }
    f->shown.Add(shown - t0);
    Sleep(300);
    PeerDefaultFolder = ReadDirectoryPage(w);
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, p.Pid());
    if (h) {
        Peak(h, f);
        CloseHandle(h);
    }
    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    DWORD code = 0;
    if (!p.WaitForExit(5000, &code)) {
        fprintf(stderr, "peer: cancel did not end it\n");
        f->failures++;
    }
}

// One silent install of the peer into the install folder: launch to exit.
void RunPeerSilent(const std::string &exe, Figures *f)
{
    EmptyInstallFolder();
    std::string cmd = "\"" + exe + "\" /S /D=" + InstallFolder; // /D= comes last, unquoted
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    double t0 = Now();
    if (!CreateProcessA(exe.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, "C:\\", &si, &pi)) {
        f->failures++;
        return;
    }
    DWORD wait = WaitForSingleObject(pi.hProcess, TimeoutMs);
    double t1 = Now();
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    if (wait != WAIT_OBJECT_0 || !BothPayloadsInstalled()) {
        fprintf(stderr, "peer: silent install %s\n", wait != WAIT_OBJECT_0 ? "did not end" : "left payloads missing");
        f->failures++;
    }
    else
        f->install.Add(t1 - t0);
}

long FileBytes(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d))
        return -1;
    return (long)d.nFileSizeLow;
}

struct Sizes {
    long exe = 0, payload = 0, art = 0, otherResources = 0;
};

BOOL CALLBACK AddResource(HMODULE m, LPCSTR type, LPSTR name, LONG_PTR p)
{
    HRSRC r = FindResourceA(m, name, type);
    long bytes = r ? (long)SizeofResource(m, r) : 0;
    Sizes *s = (Sizes *)p;
    ULONG_PTR t = IS_INTRESOURCE(type) ? (ULONG_PTR)type : 0;
    if (t == 3000 || t == 3001)
        s->payload += bytes;
    else if (t == (ULONG_PTR)RT_BITMAP || t == (ULONG_PTR)RT_CURSOR || t == (ULONG_PTR)RT_GROUP_CURSOR
             || t == (ULONG_PTR)RT_ICON || t == (ULONG_PTR)RT_GROUP_ICON)
        s->art += bytes;
    else
        s->otherResources += bytes;
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE m, LPSTR type, LONG_PTR p)
{
    EnumResourceNamesA(m, type, AddResource, p);
    return TRUE;
}

Sizes MeasureOurs(const std::string &exe)
{
    Sizes s;
    s.exe = FileBytes(exe);
    HMODULE m = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (m) {
        EnumResourceTypesA(m, AddType, (LONG_PTR)&s);
        FreeLibrary(m);
    }
    return s;
}

void Row(const char *what, const Series &ours, const Series &peer, const char *unit)
{
    printf("| %s | %.0f (%.0f-%.0f) | ", what, ours.Median(), ours.Min(), ours.Max());
    if (peer.v.empty())
        printf("- | ");
    else
        printf("%.0f (%.0f-%.0f) | ", peer.Median(), peer.Min(), peer.Max());
    if (peer.v.empty() || peer.Median() <= 0)
        printf("- | %s |\n", unit);
    else
        printf("%.2f | %s |\n", ours.Median() / peer.Median(), unit);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 7) {
        fprintf(stderr, "usage: release_bench OURS.exe PEER.exe PAYLOAD32 PAYLOAD64 FOLDER RUNS\n");
        return 2;
    }
    std::string ours = argv[1], peer = argv[2];
    long payload = FileBytes(argv[3]) + FileBytes(argv[4]);
    InstallFolder = argv[5];
    int runs = atoi(argv[6]);
    Art art;
    if (!LoadArt(ours, &art)) {
        fprintf(stderr, "cannot read the art of %s\n", ours.c_str());
        return 1;
    }

    Figures us, them, discard;
    // Warm-up: the first start of each loads DLLs and fonts into the server's caches.
    RunOurs(ours, art, &discard);
    RunPeerWindow(peer, &discard);
    RunPeerSilent(peer, &discard);
    for (int i = 0; i < runs; i++) { // alternate, so that drift of the machine hits both alike
        RunOurs(ours, art, &us);
        RunPeerWindow(peer, &them);
        RunPeerSilent(peer, &them);
    }
    EmptyInstallFolder();

    Sizes s = MeasureOurs(ours);
    long peerExe = FileBytes(peer);
    long ourCode = s.exe - s.payload - s.art;
    long peerOverhead = peerExe - payload;

    printf("Runs: %d of each (after one warm-up), medians with (min-max); times from CreateProcess.\n", runs);
    printf("Default folder: ours \"%s\", the peer's \"%s\"\n\n", OurDefaultFolder.c_str(), PeerDefaultFolder.c_str());
    printf("| figure | LumivortexSetup | NSIS peer | ratio | unit |\n|---|---|---|---|---|\n");
    printf("| executable | %ld | %ld | %.2f | bytes |\n", s.exe, peerExe, (double)s.exe / peerExe);
    printf("| payload inside | %ld | %ld | | bytes |\n", s.payload, payload);
    printf("| overhead (exe minus payload) | %ld | %ld | %.2f | bytes |\n", s.exe - s.payload, peerOverhead,
        (double)(s.exe - s.payload) / peerOverhead);
    printf("| - art resources (bitmaps, cursor, icon) | %ld | | | bytes |\n", s.art);
    printf("| - code and the rest (goal: at most 1/3 of the peer's overhead) | %ld | %ld | %.2f | bytes |\n",
        ourCode, peerOverhead, (double)ourCode / peerOverhead);
    Row("launch to window shown (goal: ratio at most 0.80)", us.shown, them.shown, "ms");
    Row("launch to first complete paint (beside the peer's window shown)", us.painted, them.shown, "ms");
    Row("install: INSTALL click to finish screen drawn / peer: silent install /S", us.install, them.install, "ms");
    Row("peak working set (ours: at the finish screen; peer: at its directory page)", us.peakWorkingSet,
        them.peakWorkingSet, "KB");
    Row("peak pagefile usage (same moments)", us.peakPagefile, them.peakPagefile, "KB");
    printf("\nprobe pixels: %d for the first paint, %d for the finish screen; poll interval %d ms\n",
        (int)art.paintProbes.size(), (int)art.finishProbes.size(), PollMs);
    if (us.failures || them.failures)
        printf("FAILED RUNS: ours %d, peer %d (left out of the figures)\n", us.failures, them.failures);
    return 0;
}
