#include "platform/FileCopy.h"

#include <windows.h>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <aclapi.h>
#include <string>

namespace {

// A move keeps the file's own security descriptor: moved from the user's
// profile into Program Files, the product would grant the installing user
// alone, so other accounts could not run it and the user's unelevated
// programs could replace it. An empty, unprotected DACL makes the file take
// its new folder's inheritable permissions, as a copy made there would.
bool inheritFolderPermissions(const std::wstring& path)
{
    ACL empty;
    if (!InitializeAcl(&empty, sizeof empty, ACL_REVISION))
        return false;
    const DWORD result = SetNamedSecurityInfoW(
        const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
        DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, &empty, nullptr);
    if (result != ERROR_SUCCESS)
        qDebug() << "permissions not inherited" << QString::fromStdWString(path) << result;
    return result == ERROR_SUCCESS;
}

} // namespace

bool FileCopy::copyNew(const QString& source, const QString& destination)
{
    // CopyFileW underneath, which does not flush every file; the copy takes
    // the permissions of the folder it is made in.
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
        if (::MoveFileExW(from.c_str(), to.c_str(), 0)) {
            if (inheritFolderPermissions(to))
                return true;
            // Back where it was, and copied like a file from another volume.
            if (!::MoveFileExW(to.c_str(), from.c_str(), 0))
                return false;
        } else {
            const DWORD error = ::GetLastError();
            if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
                return false;
        }
    }
    return copyNew(source, destination);
}
