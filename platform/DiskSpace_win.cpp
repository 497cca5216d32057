#include "platform/DiskSpace.h"

#include <windows.h>
#include <QDir>
#include <QFileInfo>
#include <QUuid>
#include <knownfolders.h>
#include <shlobj.h>

namespace {

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

// An empty card reader or floppy drive answers "not ready" instead of
// raising the system's "insert a disk" box.
class NoCriticalErrorBoxes
{
public:
    NoCriticalErrorBoxes() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &m_previous); }
    ~NoCriticalErrorBoxes() { SetThreadErrorMode(m_previous, nullptr); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

private:
    DWORD m_previous = 0;
};

QString knownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}

// Whether this process may make a folder in parent: a standard user under
// UAC may not in Program Files.
bool canCreateFolderIn(const QString& parent)
{
    const QString probe = QDir::toNativeSeparators(parent + QStringLiteral("/nerix-") +
                                                   QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (!CreateDirectoryW(wide(probe), nullptr))
        return false;
    RemoveDirectoryW(wide(probe));
    return true;
}

} // namespace

QStringList DiskSpace::driveRoots()
{
    QStringList roots;
    const QFileInfoList drives = QDir::drives();
    for (const QFileInfo& drive : drives) {
        const QString root = drive.absoluteDir().absolutePath();
        // A letter that names nothing (a drive that went away) is no choice.
        if (GetDriveTypeW(wide(QDir::toNativeSeparators(root))) != DRIVE_NO_ROOT_DIR)
            roots.append(root);
    }
    return roots;
}

QString DiskSpace::driveKey(const QString& path)
{
    return windowsDriveKey(path);
}

quint64 DiskSpace::freeBytes(const QString& path)
{
    quint64 provided = 0;
    if (providedFreeBytes(path, &provided))
        return provided;
    // An empty card reader must not raise a box while its path is looked at either.
    const NoCriticalErrorBoxes quiet;
    // The query fails on a folder that is not there yet.
    const QString existing = nearestExistingFolder(path);
    if (existing.isEmpty())
        return 0;
    // The volume's own free count, not the caller's quota-limited share.
    ULARGE_INTEGER available;
    ULARGE_INTEGER total;
    ULARGE_INTEGER totalFree;
    if (!GetDiskFreeSpaceExW(wide(QDir::toNativeSeparators(existing)), &available, &total, &totalFree))
        return 0;
    return static_cast<quint64>(totalFree.QuadPart);
}

QString DiskSpace::defaultInstallParent()
{
    // Elevated, the machine's programs folder; a double-clicked installer
    // under UAC cannot write there, and gets the user's own, which needs no
    // administrator rights (%LOCALAPPDATA%\Programs).
    const QString machine = knownFolder(FOLDERID_ProgramFiles);
    if (!machine.isEmpty() && canCreateFolderIn(machine))
        return machine;
    const QString user = knownFolder(FOLDERID_UserProgramFiles);
    if (!user.isEmpty())
        return user;
    // Where the system does not know that folder yet (Wine), its documented place.
    const QString local = knownFolder(FOLDERID_LocalAppData);
    return local.isEmpty() ? machine : local + QStringLiteral("/Programs");
}
