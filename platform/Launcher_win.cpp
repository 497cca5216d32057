#include "platform/Launcher.h"

#include <windows.h>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <shellapi.h>

namespace {

// The shell's start: the "open" verb, the file's own folder as the working
// directory. Returns the process to wait on when asked for it.
HANDLE shellStart(const QString& program, bool wantProcess)
{
    const QString file = QDir::toNativeSeparators(program);
    const QString folder = QDir::toNativeSeparators(QFileInfo(program).absolutePath());
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | (wantProcess ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.lpFile = reinterpret_cast<const wchar_t*>(file.utf16());
    info.lpDirectory = reinterpret_cast<const wchar_t*>(folder.utf16());
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        qDebug() << "shell start failed" << program << GetLastError();
        return nullptr;
    }
    return wantProcess ? info.hProcess : INVALID_HANDLE_VALUE;
}

} // namespace

bool Launcher::openProduct(const QString& program)
{
    return shellStart(program, false) != nullptr;
}

void Launcher::runAndWait(const QString& program)
{
    QProcess process;
    process.setProgram(program);
    process.start(QIODevice::ReadWrite);
    if (process.waitForStarted(-1)) {
        process.closeWriteChannel();
        process.waitForFinished(-1);
        return;
    }
    // Most often ERROR_ELEVATION_REQUIRED: the uninstaller wants administrator rights.
    qDebug() << "uninstaller start failed" << process.errorString() << "- through the shell";
    if (HANDLE started = shellStart(program, true)) {
        WaitForSingleObject(started, INFINITE);
        CloseHandle(started);
    }
}
