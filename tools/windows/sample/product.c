/* Sample product for the Wine run: records how it was started (its command
 * line, working folder and own path) in %LOCALAPPDATA%\<word>-launched.txt
 * and exits. Built with -DPRODUCT_WORD=L"corvane" or L"quorbel"; -DEXIT_CODE=N
 * makes it end with that code. */
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>

#ifndef EXIT_CODE
#define EXIT_CODE 0
#endif

static void appendUtf8(HANDLE file, const wchar_t* text)
{
    char buffer[8192];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    DWORD written;
    if (bytes > 1)
        WriteFile(file, buffer, (DWORD)(bytes - 1), &written, NULL);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show)
{
    (void)instance, (void)previous, (void)show;
    wchar_t folder[MAX_PATH], cwd[MAX_PATH], self[MAX_PATH], path[MAX_PATH], line[4096];
    if (FAILED(SHGetFolderPathW(NULL, CSIDL_LOCAL_APPDATA, NULL, 0, folder)))
        return 1;
    GetCurrentDirectoryW(MAX_PATH, cwd);
    GetModuleFileNameW(NULL, self, MAX_PATH);
    _snwprintf(path, MAX_PATH, L"%ls\\%ls-launched.txt", folder, PRODUCT_WORD);
    _snwprintf(line, 4096, L"exe=%ls\r\ncwd=%ls\r\nargs=%ls\r\n", self, cwd, commandLine);

    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    appendUtf8(file, line);
    CloseHandle(file);
    return EXIT_CODE;
}
