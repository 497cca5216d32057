// The Windows platform layer against Windows' own services, run under Wine
// by tools/windows/wine_flow.py: what the Linux suites cannot reach.
#include "platform/DiskSpace.h"
#include "platform/FileCopy.h"
#include "platform/InstanceLock.h"
#include "platform/Registry.h"

#include <windows.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <aclapi.h>
#include <sddl.h>
#include <thread>

namespace {

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool setDacl(const QString& path, const wchar_t* sddl, SECURITY_INFORMATION protection)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    const DWORD result =
        SetNamedSecurityInfoW(const_cast<wchar_t*>(wide(native(path))), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | protection, nullptr, nullptr, dacl, nullptr);
    LocalFree(descriptor);
    return result == ERROR_SUCCESS;
}

// The DACL as SDDL text, e.g. "D:AI(A;ID;0x1200a9;;;BU)".
QString daclOf(const QString& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(wide(native(path)), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return QString();
    LPWSTR text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                         DACL_SECURITY_INFORMATION, &text, nullptr);
    const QString result = QString::fromWCharArray(text);
    LocalFree(text);
    LocalFree(descriptor);
    return result;
}

} // namespace

class TestPlatformWin : public QObject
{
    Q_OBJECT

private slots:
    // A lock file that is being deleted answers "access denied" for a
    // moment (Windows; Wine answers a sharing violation instead), which is
    // no reason to run twice; a place that stays closed is given up on. Wine
    // denies an open of a folder the same way.
    void lockRetriesWhileAccessIsDenied_data()
    {
        QTest::addColumn<int>("openAfterMs");
        QTest::addColumn<int>("expected");
        QTest::newRow("free again after 200 ms") << 200 << int(InstanceLock::Result::Acquired);
        QTest::newRow("never free") << -1 << int(InstanceLock::Result::Unavailable);
    }

    void lockRetriesWhileAccessIsDenied()
    {
        QFETCH(int, openAfterMs);
        QFETCH(int, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("onlinesetup.lock");
        QVERIFY(QDir().mkdir(path));
        std::thread freer([path, openAfterMs] {
            if (openAfterMs >= 0) {
                Sleep(DWORD(openAfterMs));
                RemoveDirectoryW(wide(native(path)));
            }
        });
        InstanceLock lock;
        const int result = int(lock.tryLock(path));
        freer.join();
        QCOMPARE(result, expected);
    }

    // A file moved in from the user's profile must not keep its own
    // permissions: it takes the install folder's, as a copy would.
    void movedFileTakesItsFolderPermissions()
    {
        QTemporaryDir dir;
        const QString from = dir.filePath("download/product.exe"), to = dir.filePath("apps");
        QVERIFY(QDir().mkpath(dir.filePath("download")) && QDir().mkpath(to));
        // The profile's file: the installing user alone; the folder: readable by every user.
        QVERIFY(QFile(from).open(QIODevice::WriteOnly) &&
                setDacl(from, L"D:P(A;;FA;;;OW)", PROTECTED_DACL_SECURITY_INFORMATION));
        QVERIFY(
            setDacl(to, L"D:P(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", PROTECTED_DACL_SECURITY_INFORMATION) &&
            QFile(to + "/fresh.exe").open(QIODevice::WriteOnly));
        // Wine gives a new file its default permissions rather than the
        // folder's inheritable ones; either way the two must agree.
        QVERIFY(FileCopy::moveOrCopyNew(from, to + "/product.exe"));
        QCOMPARE(daclOf(to + "/product.exe"), daclOf(to + "/fresh.exe"));
    }

    // Reading never creates the key; the machine's entry lands in the
    // 32-bit view, which 64-bit Windows keeps below WOW6432Node.
    void uninstallEntryWhereWindowsLooks()
    {
        const QString name = "NerixPlatformTest";
        const Registry::Key user = Registry::uninstallKey(Registry::Hive::CurrentUser, name);
        QCOMPARE(Registry::readString(user, "UninstallString"), QString());
        HKEY handle = nullptr;
        QCOMPARE(RegOpenKeyExW(HKEY_CURRENT_USER, wide(user.path), 0, KEY_READ, &handle),
                 LONG(ERROR_FILE_NOT_FOUND));

        const Registry::Key machine = Registry::uninstallKey(Registry::Hive::LocalMachine, name);
        QVERIFY(Registry::writeStrings(machine, {{"DisplayName", name}}));
        const QString physical =
            "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
        QCOMPARE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(physical), 0, KEY_READ | KEY_WOW64_64KEY, &handle),
                 LONG(ERROR_SUCCESS));
        RegCloseKey(handle);
        QCOMPARE(Registry::readString(machine, "DisplayName"), name);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, wide(machine.path), KEY_WOW64_32KEY, 0);
    }

    // The user's programs folder often does not exist yet.
    void freeSpaceOfAFolderYetToBeMade()
    {
        QTemporaryDir dir;
        QVERIFY(DiskSpace::freeBytes(dir.filePath("Programs/corvaneMasterRecovery")) > 0);
    }
};

QTEST_GUILESS_MAIN(TestPlatformWin)
#include "test_platform_win.moc"
