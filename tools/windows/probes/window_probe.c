/* Asks Windows about the installer's window, as the Wine run cannot from
 * the X side.
 *   window_probe TITLE              one line per visible top-level window with
 *                                   that title: "visible iconic foreground", 0/1
 *   window_probe --end-session TITLE  sends it what Windows sends when the user
 *                                   ends the session anyway (WM_ENDSESSION), and
 *                                   returns once the window has handled it */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

static const wchar_t* wanted;
static BOOL endSession;

static BOOL CALLBACK visit(HWND window, LPARAM unused)
{
    (void)unused;
    wchar_t title[256];
    if (!GetWindowTextW(window, title, 256) || wcscmp(title, wanted) || !IsWindowVisible(window))
        return TRUE;
    if (endSession) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 30000, &result);
        printf("ended\n");
    } else {
        printf("%d %d %d\n", 1, IsIconic(window) ? 1 : 0, GetForegroundWindow() == window ? 1 : 0);
    }
    return TRUE;
}

int wmain(int argc, wchar_t** argv)
{
    endSession = argc == 3 && !wcscmp(argv[1], L"--end-session");
    if (argc != 2 && !endSession)
        return 2;
    wanted = argv[argc - 1];
    EnumWindows(visit, 0);
    fflush(stdout);
    return 0;
}
