#include "mainwindow/mainwindow.h"

#include <shellapi.h>
#include <shlobj.h>

#include "core/install.h"
#include "core/state.h"
#include "core/text.h"
#include "discovery/candidates.h"
#include "discovery/scan.h"
#include "ui/canvas.h"
#include "ui/elements.h"

JElement *ElementSlots[ElementSlotCount];
int LayoutMargin = 16;
int PromptTop = -26;

static const char BrowseEntry[] = "******** BROWSE ********";
static const char VendorFolder[] = "Kestovan\\";
static const char PromptText[] = "Select folder where setup will install files:";
static const char HelpPage[] = "https://www.kestovan.example/help/install";

enum {
    CmdClose = 2,     // CANCEL and FINISH
    CmdHelp = 215,    // F1: no action
    CmdInstall = 219, // INSTALL
    CmdLink = 1029,   // the maker's link
    CmdSelector = 2000
};

static JButton *Button(int slot)
{
    return (JButton *)ElementSlots[slot];
}

static JSelector *Selector(int slot)
{
    return (JSelector *)ElementSlots[slot];
}

static HWND FolderList(HWND window)
{
    return GetDlgItem(window, IDC_FOLDERLIST);
}

// Reads the selected entry of the folder list into ChosenFolder. An entry that
// would not fit leaves ChosenFolder empty, which names no folder.
static void ReadChosenFolder(HWND window)
{
    HWND list = FolderList(window);
    LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, (WPARAM)index, 0);
    ChosenFolder[0] = 0;
    if (index == CB_ERR || length == CB_ERR || length >= (LRESULT)sizeof ChosenFolder)
        return;
    SendMessageA(list, CB_GETLBTEXT, (WPARAM)index, (LPARAM)ChosenFolder);
}

static int SumOfSelectorValues()
{
    int sum = 0;
    for (int slot = SlotFirstSelector; slot <= SlotLastSelector; slot++)
        if (ElementSlots[slot])
            sum += Selector(slot)->value;
    return sum;
}

static void ShowBadge(int slot, int show)
{
    SetShown(ElementSlots[slot], show);
}

void UpdateBitnessBadges()
{
    if (!RunningOnWow64()) {
        ShowBadge(SlotBadge32, 1);
    } else if (TextContains(ChosenFolder, "(64")) {
        ShowBadge(SlotBadge64, 1);
        if (ElementSlots[SlotBadge32]->shown)
            ShowBadge(SlotBadge32, 0);
    } else if (TextContains(ChosenFolder, "86)")) {
        if (ElementSlots[SlotBadge64]->shown)
            ShowBadge(SlotBadge64, 0);
        ShowBadge(SlotBadge32, 1);
    } else {
        ShowBadge(SlotBadge32, 1);
        ShowBadge(SlotBadge64, 1);
    }
}

// ---- start-up

static int CreateElements(JCanvas *canvas, int W, int H)
{
    for (JElement *&slot : ElementSlots)
        slot = 0;
    ElementSlots[SlotCancel] = new JButton(canvas, 0, MakeRect(W - 63, H - 21, 0, 0), 203, 203, CmdClose);
    ElementSlots[SlotInstall] = new JButton(canvas, 0, MakeRect(W - 125, H - 21, 0, 0), 219, 219, CmdInstall);
    ElementSlots[SlotFinish] = new JButton(canvas, 0, MakeRect(W - 65, H - 21, 0, 0), 220, 220, CmdClose);
    if (!ElementSlots[SlotCancel] || !ElementSlots[SlotInstall] || !ElementSlots[SlotFinish])
        return 0;
    SetShown(ElementSlots[SlotFinish], 0);

    // The badges sit right of the prompt line, from the base point (290, 238).
    ElementSlots[SlotBadge32] = new JButton(canvas, "Install 32-bit version", MakeRect(290 + 190, 238 - 2, 0, 0), 224, 224, 0);
    ElementSlots[SlotBadge64] = new JButton(canvas, "Install 64-bit version", MakeRect(290 + 220, 238 - 2, 0, 0), 225, 225, 0);
    if (!ElementSlots[SlotBadge32] || !ElementSlots[SlotBadge64])
        return 0;
    SetShown(ElementSlots[SlotBadge32], 0);
    SetShown(ElementSlots[SlotBadge64], 0);

    ElementSlots[SlotLink] = new JAncor(canvas, "Visit kestovan.example", MakeRect(458, 20, 0, 0), "www.kestovan.example", CmdLink);
    JButton *picture = new JButton(canvas, 0, MakeRect(0, 0, 0, 0), 213, 213, 1);
    ElementSlots[SlotFinishPicture] = picture;
    if (!ElementSlots[SlotLink] || !picture)
        return 0;
    picture->transparent = 1;
    picture->active = 0;
    picture->shown = 0;

    JSelector *plugin = new JSelector(canvas, "Select to install Lumivortex filter", MakeRect(290, 100, 310, 112), 128,
        PackLabelOffset(20, 0), "Lumivortex plug-in", 0, -3, CmdSelector, JSEL_TRANSPARENT, "Lumivortex");
    ElementSlots[SlotFirstSelector] = plugin;
    if (!plugin)
        return 0;
    plugin->value = 2; // ticked
    return 1;
}

static void FillFolderBrowseInfo(HWND window)
{
    ZeroMemory(&FolderBrowseInfo, sizeof FolderBrowseInfo);
    FolderBrowseInfo.hwndOwner = window;
    FolderBrowseInfo.pszDisplayName = ScratchPath;
    FolderBrowseInfo.lpszTitle = "Please Select Your Plug-Ins Folder";
    FolderBrowseInfo.ulFlags = BIF_RETURNONLYFSDIRS;
}

static void FillFolderList(HWND window)
{
    HWND list = FolderList(window);
    int added = 0;
    for (int i = 0; i < MaxFolders && CandidateList[i].path[0]; i++) {
        // A folder whose entry would not fit the 400-byte buffers is left out
        // rather than listed cut short: installing there would miss the folder.
        if (!BufSet(ScratchPath, sizeof ScratchPath, CandidateList[i].path))
            continue;
        if (CandidateList[i].addVendorFolder && !BufAppend(ScratchPath, sizeof ScratchPath, VendorFolder))
            continue;
        SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)ScratchPath);
        added++;
    }
    SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)BrowseEntry);
    BrowseIndex = added;
    BrowsedFolderListed = 0;
}

// Sizes the window so that its client area is W x H, keeping its centre.
static void SizeAndCentre(HWND window, int W, int H)
{
    RECT wr, cr;
    GetWindowRect(window, &wr);
    GetClientRect(window, &cr);
    int fw = wr.right - wr.left - cr.right;
    int fh = wr.bottom - wr.top - cr.bottom;
    MoveWindow(window, (wr.left + wr.right - W - fw) / 2, (wr.top + wr.bottom - H - fh) / 2, W + fw, H + fh, TRUE);
}

static INT_PTR OnInitDialog(HWND window)
{
    InstallDone = 0;
    JCanvas *canvas = MainPainter->canvas;
    canvas->windowDC = GetDC(window);
    RECT firstHint = {0, 0, 100, 20};
    AttachWindow(window, 222, 120, &firstHint);
    HintColor = 0xFFFFFF;

    int W = canvas->background ? canvas->background->width : 600;
    int H = canvas->background ? canvas->background->height : 320;
    int listWidth = W - 2 * LayoutMargin - 3;
    int listTop = H - 60;
    TextLeft += LayoutMargin;
    PromptTop += listTop;
    SetRect(&canvas->hintRect, TextLeft, H - 19, listWidth + LayoutMargin - 130, H - 19 + 20);

    int created = CreateElements(canvas, W, H);
    if (!created) {
        ReleaseDC(window, canvas->windowDC);
        canvas->windowDC = 0;
        EndDialog(window, -1); // the entry reports it
        return FALSE;
    }
    FillFolderBrowseInfo(window);
    ScanHostFolders();
    FillFolderList(window);
    SendMessageA(FolderList(window), CB_SETCURSEL, 0, 0);
    SendMessageA(GetDlgItem(window, IDC_FOCUSSINK), BM_CLICK, 0, 0);
    ReadChosenFolder(window);
    UpdateBitnessBadges(); // both badges are hidden here, so this is the first state

    ReleaseDC(window, canvas->windowDC);
    canvas->windowDC = 0;
    MoveWindow(FolderList(window), LayoutMargin, listTop, listWidth, 10, TRUE);
    SizeAndCentre(window, W, H);
    return FALSE; // no default focus
}

// ---- events

static void BrowseForFolder(HWND window)
{
    HWND list = FolderList(window);
    LPITEMIDLIST item = SHBrowseForFolderA(&FolderBrowseInfo);
    if (!item) {
        SendMessageA(list, CB_SETCURSEL, 0, 0);
        return;
    }
    BOOL gotPath = SHGetPathFromIDListA(item, ScratchPath); // at most MAX_PATH characters
    CoTaskMemFree(item);
    if (!gotPath || !AddTrailingBackslash(ScratchPath, sizeof ScratchPath) || !SetCurrentDirectoryA(ScratchPath)) {
        SendMessageA(list, CB_SETCURSEL, 0, 0);
        return;
    }
    if (BrowsedFolderListed)
        SendMessageA(list, CB_DELETESTRING, (WPARAM)BrowseIndex, 0);
    SendMessageA(list, CB_INSERTSTRING, (WPARAM)BrowseIndex, (LPARAM)ScratchPath);
    SendMessageA(list, CB_SETCURSEL, (WPARAM)BrowseIndex, 0);
    BrowsedFolderListed = 1;
}

static void OnFolderSelected(HWND window)
{
    LRESULT index = SendMessageA(FolderList(window), CB_GETCURSEL, 0, 0);
    if (index == BrowseIndex + BrowsedFolderListed)
        BrowseForFolder(window);
    ReadChosenFolder(window);
    UpdateBitnessBadges();
}

static void TellFolderNotWritable(HWND window)
{
    char text[PathBufSize + 200];
    BufSet(text, sizeof text, "The Lumivortex plug-in could not be written into this folder:\n\n");
    BufAppend(text, sizeof text, ChosenFolder);
    BufAppend(text, sizeof text, "\n\nPlease choose another folder.");
    MessageBoxA(window, text, "Lumivortex Setup", MB_OK | MB_ICONWARNING);
}

void RunInstallAction(HWND window)
{
    if (!ElementSlots[SlotInstall]->shown || SumOfSelectorValues() == 0)
        return;
    ReadChosenFolder(window);
    const char *unticked[SlotLastSelector - SlotFirstSelector + 1];
    int count = 0;
    for (int slot = SlotFirstSelector; slot <= SlotLastSelector; slot++)
        if (ElementSlots[slot] && Selector(slot)->value == 0)
            unticked[count++] = Selector(slot)->name;
    int result = InstallIntoFolder(unticked, count);
    if (result == INSTALL_FOLDER_UNUSABLE)
        return; // the user may choose another folder
    if (result == INSTALL_INCOMPLETE) {
        // Never claim success for a plug-in that is not there.
        TellFolderNotWritable(window);
        return;
    }
    EnterFinishedState(window);
}

void EnterFinishedState(HWND window)
{
    InstallDone = 1;
    for (int slot = 0; slot <= SlotLastSelector; slot++) {
        if (ElementSlots[slot]) {
            ElementSlots[slot]->active = 0;
            ElementSlots[slot]->shown = 0;
        }
    }
    ElementSlots[SlotLink]->active = 1;
    ElementSlots[SlotLink]->shown = 1;
    ElementSlots[SlotFinish]->active = 1;
    ElementSlots[SlotFinish]->shown = 1;
    ElementSlots[SlotFinishPicture]->shown = 1;
    MoveWindow(FolderList(window), LayoutMargin, 1000, 50, 10, TRUE); // out of sight
    // The old font stays alive: the back buffer still has it selected, and a
    // font must not be deleted while a device context uses it.
    NormalFont = MakeFont(16, 0);
    InvalidateRect(window, NULL, TRUE);
}

static void RecountSelectors(HWND window)
{
    JElement *install = ElementSlots[SlotInstall];
    if (SumOfSelectorValues() == 0) {
        if (install->shown)
            SetShown(install, 0);
        InvalidateRect(window, &Button(SlotInstall)->rect, TRUE);
    } else if (!install->shown) {
        SetShown(install, 1);
    }
}

static INT_PTR OnNotify(HWND window, WPARAM command)
{
    switch (command) {
    case CmdClose: SendMessageA(window, WM_COMMAND, IDCANCEL, 0); break;
    case CmdInstall: SendMessageA(window, WM_COMMAND, IDOK, 0); break;
    case CmdLink: ShellExecuteA(window, "open", HelpPage, NULL, NULL, SW_SHOWMAXIMIZED); break;
    case CmdSelector: RecountSelectors(window); break;
    default: break; // CmdHelp and unknown commands do nothing
    }
    return FALSE;
}

static INT_PTR OnCommand(HWND window, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        if (InstallDone) {
            EndDialog(window, 0);
            return TRUE;
        }
        RunInstallAction(window);
        return FALSE;
    case IDCANCEL:
        EndDialog(window, 0);
        return TRUE;
    case IDC_FOLDERLIST:
        if (HIWORD(wParam) == CBN_SELCHANGE || HIWORD(wParam) == CBN_SELENDCANCEL)
            SendMessageA(GetDlgItem(window, IDC_FOCUSSINK), BM_CLICK, 0, 0); // focus off the list
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnFolderSelected(window);
        return FALSE;
    default:
        return FALSE;
    }
}

static INT_PTR OnPaint()
{
    BeginCanvasPaint(MainPainter);
    PaintElements(MainPainter);
    if (!InstallDone)
        DrawCanvasText(PromptText, PromptTop + 4);
    EndCanvasPaint(MainPainter);
    return FALSE;
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (DispatchMouse(MainPainter, window, message, wParam, lParam))
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(window);
    case WM_COMMAND: return OnCommand(window, wParam);
    case WM_JNOTIFY: return OnNotify(window, wParam);
    case WM_PAINT: return OnPaint();
    case WM_HELP: SendMessageA(window, WM_JNOTIFY, CmdHelp, 0); return FALSE;
    default: return FALSE;
    }
}
