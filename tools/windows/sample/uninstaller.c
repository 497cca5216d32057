/* Sample uninstaller for the Wine run: removes what an installation made
 * (its folder, the three shortcuts, the uninstall entry in either hive) and
 * records that it ran in %LOCALAPPDATA%\<word>-uninstalled.txt.
 * Built with -DPRODUCT_WORD=L"corvane" -DNAME_ZH=L"Corvane" -DNAME_EN=L"Corvanix". */
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <wchar.h>

static const wchar_t* const kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

static void removeTree(const wchar_t* folder, const wchar_t* keep)
{
    wchar_t pattern[MAX_PATH], path[MAX_PATH];
    WIN32_FIND_DATAW entry;
    _snwprintf(pattern, MAX_PATH, L"%ls\\*", folder);
    HANDLE find = FindFirstFileW(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!wcscmp(entry.cFileName, L".") || !wcscmp(entry.cFileName, L".."))
            continue;
        _snwprintf(path, MAX_PATH, L"%ls\\%ls", folder, entry.cFileName);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            removeTree(path, keep);
        else if (_wcsicmp(path, keep) != 0)
            DeleteFileW(path);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    RemoveDirectoryW(folder);
}

/* The entry may belong to another installation of the product. */
static void removeEntry(HKEY hive, const wchar_t* name, const wchar_t* folder)
{
    wchar_t key[MAX_PATH], value[MAX_PATH + 2] = L"";
    DWORD size = sizeof value - sizeof(wchar_t);
    HKEY handle;
    _snwprintf(key, MAX_PATH, L"%ls%ls", kUninstallKey, name);
    if (RegOpenKeyExW(hive, key, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &handle))
        return;
    const LONG read = RegQueryValueExW(handle, L"UninstallString", NULL, NULL, (BYTE*)value, &size);
    RegCloseKey(handle);
    if (read)
        return;
    const wchar_t* path = value[0] == L'"' ? value + 1 : value;
    if (_wcsnicmp(path, folder, wcslen(folder)) == 0)
        RegDeleteKeyExW(hive, key, KEY_WOW64_32KEY, 0);
}

static void removeLinks(const wchar_t* name)
{
    wchar_t desktop[MAX_PATH], programs[MAX_PATH], path[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(NULL, CSIDL_DESKTOPDIRECTORY, NULL, 0, desktop))) {
        _snwprintf(path, MAX_PATH, L"%ls\\%ls.lnk", desktop, name);
        DeleteFileW(path);
    }
    if (SUCCEEDED(SHGetFolderPathW(NULL, CSIDL_PROGRAMS, NULL, 0, programs))) {
        _snwprintf(path, MAX_PATH, L"%ls\\%ls\\%ls.lnk", programs, name, name);
        DeleteFileW(path);
        _snwprintf(path, MAX_PATH, L"%ls\\%ls\\\u5378\u8f7d%ls.lnk", programs, name, name);
        DeleteFileW(path);
        _snwprintf(path, MAX_PATH, L"%ls\\%ls", programs, name);
        RemoveDirectoryW(path);
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show)
{
    (void)instance, (void)previous, (void)commandLine, (void)show;
    wchar_t self[MAX_PATH], folder[MAX_PATH], list[MAX_PATH], marker[MAX_PATH], appdata[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    wcscpy(folder, self);
    *wcsrchr(folder, L'\\') = 0;

    /* Never remove a folder that the installer did not make. */
    _snwprintf(list, MAX_PATH, L"%ls\\Uninstall.list", folder);
    if (GetFileAttributesW(list) == INVALID_FILE_ATTRIBUTES)
        return 2;

    const wchar_t* names[] = {NAME_ZH, NAME_EN};
    for (int i = 0; i < 2; ++i) {
        removeLinks(names[i]);
        removeEntry(HKEY_LOCAL_MACHINE, names[i], folder);
        removeEntry(HKEY_CURRENT_USER, names[i], folder);
    }
    /* A running program cannot delete itself on Windows: it goes at the next restart. */
    removeTree(folder, self);
    if (!DeleteFileW(self))
        MoveFileExW(self, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    RemoveDirectoryW(folder);

    if (SUCCEEDED(SHGetFolderPathW(NULL, CSIDL_LOCAL_APPDATA, NULL, 0, appdata))) {
        _snwprintf(marker, MAX_PATH, L"%ls\\%ls-uninstalled.txt", appdata, PRODUCT_WORD);
        HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written;
            char text[MAX_PATH * 3];
            const int bytes = WideCharToMultiByte(CP_UTF8, 0, folder, -1, text, sizeof text, NULL, NULL);
            WriteFile(file, text, (DWORD)(bytes > 0 ? bytes - 1 : 0), &written, NULL);
            CloseHandle(file);
        }
    }
    return 0;
}
