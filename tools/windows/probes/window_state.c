/* Prints the Windows-side state of every visible top-level window with the
 * given title, one line each: "visible iconic foreground" as 0/1 digits.
 * The Wine run asks it whether a window is minimised, since without a window
 * manager the X side shows no difference. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

static const wchar_t* wanted;

static BOOL CALLBACK report(HWND window, LPARAM unused)
{
    (void)unused;
    wchar_t title[256];
    if (GetWindowTextW(window, title, 256) && !wcscmp(title, wanted) && IsWindowVisible(window))
        printf("%d %d %d\n", 1, IsIconic(window) ? 1 : 0, GetForegroundWindow() == window ? 1 : 0);
    return TRUE;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    wanted = argv[1];
    EnumWindows(report, 0);
    fflush(stdout);
    return 0;
}
