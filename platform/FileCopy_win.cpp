#include "platform/FileCopy.h"

#include <QDir>
#include <QFile>
#include <string>
#include <windows.h>

bool FileCopy::copyNew(const QString& source, const QString& destination)
{
    // CopyFileW underneath, which does not flush every file.
    return QFile::copy(source, destination);
}

bool FileCopy::moveOrCopyNew(const QString& source, const QString& destination)
{
    const std::wstring from = QDir::toNativeSeparators(source).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(destination).toStdWString();
    const DWORD attributes = ::GetFileAttributesW(from.c_str());
    // A link must arrive as the file it names, as a copy brings it.
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        // Without MOVEFILE_REPLACE_EXISTING an existing destination is an
        // error; without MOVEFILE_COPY_ALLOWED another volume is one too.
        if (::MoveFileExW(from.c_str(), to.c_str(), 0))
            return true;
        const DWORD error = ::GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            return false;
    }
    return copyNew(source, destination);
}
