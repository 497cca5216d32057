// Units without a window or a server: the window's decisions, the compiled
// catalogues, the download's progress rule and retry decisions, the disk-space
// scan, an earlier installation found at start-up, and what every
// operation-log record carries (channel, machine identifier, body). The green
// build (test_record_green) runs the body alone.
#include "BuildConfig.h"
#include "app/ChannelManager.h"
#include "app/ExistingInstall.h"
#include "app/QuestionBox.h"
#include "app/Translator.h"
#include "download/ProgressThrottle.h"
#include "download/RetryPolicy.h"
#include "download/TaskThread.h"
#include "install/UninstallRegistry.h"
#include "nerixSetupOnline/FreeSpaceModel.h"
#include "nerixSetupOnline/WindowLogic.h"
#include "platform/DiskSpace.h"
#include "platform/ExternalTools.h"
#include "platform/Registry.h"
#include "platform/Smbios.h"
#include "support/FreshMachineIdentifier.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"
#include "telemetry/OperationLogRecord.h"

#include <QCryptographicHash>
#include <QSemaphore>
#include <curl/curl.h>
#include <limits>
#include <tuple>

using Next = RetryPolicy::Next;
using Body = RetryPolicy::Body;

namespace {

// In the catalogue table: any translation other than the key itself.
const QString kAny = QStringLiteral("*");

enum Flags { kBytes = 1, kRejected = 2 };

} // namespace

class TestUnits : public QObject
{
    Q_OBJECT

private slots:
    void decisions()
    {
        using namespace WindowLogic;
        // Download fills the bar to 80, extraction from 80 on; the slots truncate the worker's double first.
        QCOMPARE(barValue(0, int(99.9)), 79);
        QCOMPARE(barValue(1, 0), 80);
        QCOMPARE(barValue(2, 70), 94); // a late progress after success
        QCOMPARE(freeSpaceText(1234.567), QStringLiteral("1234.57GB"));
        QCOMPARE(installPathFor("D:/", false), QStringLiteral("D:/corvaneMasterRecovery"));
        // Later rules win: the test channel, then the green edition, then the free one.
        const QString pkg = QLatin1String(endpoints::packageHost) + QStringLiteral("/upload/pc/");
        const QString product = QLatin1String(endpoints::productHost) + QStringLiteral("/upload/pc/");
        QCOMPARE(packageUrl(1, false, false), pkg + "corvaneSetupx64_min.7z");
        QCOMPARE(packageUrl(0, false, false), pkg + "corvaneSetupx64_min_test.7z");
        QCOMPARE(packageUrl(0, true, false), product + "quorbelSetupx64_min.7z");
        QCOMPARE(packageUrl(0, true, true), product + "corvaneSetupFreex64_min.7z");
    }

    void languageAndCaptions()
    {
        // The locale codec is UTF-8 here, which would turn the GBK bytes into garbage.
        QCOMPARE(yesCaption(), QString::fromUtf8("是"));
        QCOMPARE(noCaption(), QString::fromUtf8("否"));
        QVERIFY(translationFileFor(QLocale::English).endsWith("_en.qm"));
        for (QLocale::Language other : {QLocale::Chinese, QLocale::German})
            QVERIFY(translationFileFor(other).endsWith("_zh.qm") && QFile::exists(translationFileFor(other)));
    }

    void translate_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        const auto row = [](const char* context, const char* key, const QString& zh, const QString& en) {
            QTest::addRow("%s/%s", context, key)
                << QString::fromLatin1(context) << QString::fromUtf8(key) << zh << en;
        };
        // Every key the code asks for, in the context it asks in.
        for (const char* key : {"language2", "language6", "language7", "language10"})
            row("QObject", key, kAny, kAny);
        for (const char* key :
             {"language2", "language3", "language4", "language5", "language11", "language12"})
            row("nerixSetupOnline", key, kAny, kAny);
        row("nerixSetupOnline", "language6", "Quorbel", "Corvanix2");
        row("InstallThread", "language6", "Quorbel", "Corvanix2");
        row("InstallThread", "language7", "Corvane", "Corvanix");
        // The uninstall shortcut keeps its Chinese prefix in English.
        row("InstallThread", "language8", QString::fromUtf8("卸载"), QString::fromUtf8("卸载"));
    }

    // Each compiled file as Qt reads it.
    void translate()
    {
        QFETCH(QString, context);
        QFETCH(QString, key);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        for (const auto& [language, expected] : {std::pair{"zh", chinese}, std::pair{"en", english}}) {
            QTranslator translator;
            QVERIFY(
                translator.load(":/nerixSetupOnline/language/nerixsetuponline_" + QLatin1String(language)));
            const QString found =
                translator.translate(context.toUtf8().constData(), key.toUtf8().constData());
            // An empty but non-null translation would blank the text on screen.
            QVERIFY2(expected == kAny ? !found.isEmpty() && found != key : found == expected,
                     qPrintable(language + QStringLiteral(": ") + found));
        }
    }

    void throttle()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const std::pair<QList<double>, QList<double>> rows[] = {
            {{0.5, 1.0, 1.7, 2.2, 2.9}, {1.0, 2.2}},       // first at 1.0, exact values
            {{nan, inf, -inf, 0.5, 1.2, nan, inf}, {1.2}}, // not a number, infinities
            {{50.0, 99.2, 99.9, 100.0}, {50.0, 99.2}},     // no 100 within a point of it
            {{10.0, 5.0, 10.5, 11.0}, {10.0, 11.0}},       // going back is ignored
        };
        for (const auto& [input, expected] : rows) {
            ProgressThrottle throttle;
            QList<double> out;
            for (double per : input) {
                if (throttle.accept(per))
                    out << per;
            }
            QCOMPARE(out, expected);
        }
    }

    // earlier: how many attempts ended the same way before this one.
    void retryPolicy()
    {
        const std::tuple<const char*, int, long, int, int, Next> rows[] = {
            {"reset, 4th time", CURLE_RECV_ERROR, 206, kBytes, 3, Next::Resume},
            {"reset, 5th time", CURLE_RECV_ERROR, 206, kBytes, 4, Next::Fail},
            {"503 at first", CURLE_HTTP_RETURNED_ERROR, 503, 0, 0, Next::Fail},
            {"404 to a range", CURLE_HTTP_RETURNED_ERROR, 404, kBytes, 0, Next::Fail},
            {"416", CURLE_HTTP_RETURNED_ERROR, 416, kBytes, 0, Next::Restart},
            {"416 again", CURLE_HTTP_RETURNED_ERROR, 416, kBytes, 1, Next::Fail},
            {"range misfit", CURLE_WRITE_ERROR, 206, kBytes | kRejected, 0, Next::Restart},
            {"disk full", CURLE_WRITE_ERROR, 200, kBytes, 0, Next::Fail},
            {"reset before a byte", CURLE_RECV_ERROR, 0, 0, 0, Next::Fail},
            {"refused on resume", CURLE_COULDNT_CONNECT, 0, kBytes, 0, Next::Fail},
            {"cancelled", CURLE_ABORTED_BY_CALLBACK, 200, kBytes, 0, Next::Fail},
        };
        for (const auto& [name, code, status, flags, earlier, next] : rows) {
            const RetryPolicy::AttemptEnd end{code, status, (flags & kRejected) != 0};
            RetryPolicy policy;
            for (int i = 0; i < earlier; ++i)
                policy.afterAttempt(end, flags & kBytes);
            QVERIFY2(policy.afterAttempt(end, flags & kBytes) == next, name);
        }

        // A response to "Range: bytes=100-" of a file first seen with total bytes.
        const std::tuple<const char*, long, const char*, qint64, Body> responses[] = {
            {"200", 200, "bytes 100-999/1000", 1000, Body::FromZero},
            {"fits", 206, "bytes 100-999/1000", 1000, Body::Append},
            {"total unknown", 206, "bytes 100-999/*", -1, Body::Append},
            {"other start", 206, "bytes 0-999/1000", 1000, Body::Reject},
            {"other total", 206, "bytes 100-1999/2000", 1000, Body::Reject},
            {"short of the end", 206, "bytes 100-499/1000", 1000, Body::Reject},
            {"no header", 206, "", 1000, Body::Reject},
        };
        for (const auto& [name, status, contentRange, total, body] : responses)
            QVERIFY2(RetryPolicy::forResponse(status, contentRange, 100, total) == body, name);
    }

    // The scan holds the volume of every folder, also those Qt leaves out of
    // its list (a tmpfs under /dev); a folder yet to be created counts on
    // the volume it will be on; no path is on no volume.
    void everyFolderIsOnAScannedVolume()
    {
        for (const QString& parent : {QDir::tempPath(), QStringLiteral("/dev/shm")}) {
            QTemporaryDir dir(parent + QStringLiteral("/nerix-XXXXXX"));
            const QString folder = dir.filePath(QStringLiteral("not/yet/there"));
            QVERIFY2(dir.isValid() && DiskSpace::driveRoots().contains(DiskSpace::driveKey(folder)),
                     qPrintable(folder));
            QVERIFY(DiskSpace::freeBytes(folder) > 0);
        }
        QCOMPARE(DiskSpace::driveKey(QString()), QString());
        QCOMPARE(DiskSpace::freeBytes(QString()), quint64(0));
    }

    // A drive that does not answer (a disconnected network drive) holds up
    // neither the caller nor the model's end.
    void slowDriveHoldsNothingUp()
    {
        const auto answer = std::make_shared<QSemaphore>();
        DiskSpace::setFreeBytesProvider([answer](const QString&) {
            if (QThread::currentThread() != qApp->thread())
                answer->acquire();
            return quint64(300) << 20;
        });
        FreeSpaceModel model;
        QSignalSpy known(&model, &FreeSpaceModel::known);
        const QString key = DiskSpace::driveKey(QDir::tempPath());
        model.query(QDir::tempPath());
        QVERIFY(!model.isKnown(key));
        answer->release();
        QVERIFY(known.wait());
        QCOMPARE(model.freeText(key), QStringLiteral("0.29GB"));

        auto gone = std::make_unique<FreeSpaceModel>();
        gone->query(QDir::tempPath());
        gone.reset();
        answer->release();
        DiskSpace::setFreeBytesProvider({});
    }

    // The key is the translated product name. Where the machine's list is
    // closed (no administrator rights) the entry is the user's, and found there.
    void foundOnlyInTheSameLanguage_data()
    {
        QTest::addColumn<bool>("machineClosed");
        QTest::newRow("machine's entry") << false;
        QTest::newRow("machine's list closed: the user's entry") << true;
    }

    void foundOnlyInTheSameLanguage()
    {
        QFETCH(bool, machineClosed);
        const QString registry =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/registry";
        QDir(registry).removeRecursively();
        // A file where the machine's hive would be: no key can be made below it.
        if (machineClosed)
            QVERIFY(PackageBuilder::writeTree(registry, {{"HKEY_LOCAL_MACHINE", ""}}));
        QTranslator zh, en;
        QVERIFY(zh.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_zh.qm")));
        QVERIFY(en.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_en.qm")));
        QCoreApplication::installTranslator(&zh);
        writeUninstallEntry(QStringLiteral("Corvane"), QStringLiteral("/opt/c d/corvaneMasterRecovery.exe"),
                            QStringLiteral("/opt/c d/corvaneMasterUninst.exe"));
        const QString user = Registry::backingFile(
            Registry::uninstallKey(Registry::Hive::CurrentUser, QStringLiteral("Corvane")));
        QCOMPARE(QFileInfo::exists(user), machineClosed);
        QCOMPARE(checkAlreadyInstall(), QStringLiteral("\"/opt/c d/corvaneMasterUninst.exe\""));
        QCoreApplication::installTranslator(&en);
        QCOMPARE(checkAlreadyInstall(), QString());
        QCoreApplication::removeTranslator(&en);
        QCoreApplication::removeTranslator(&zh);
        QDir(registry).removeRecursively();
        QFile::remove(registry);
    }

    void answer_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("button");
        QTest::newRow("yes, folder with spaces")
            << QStringLiteral("my apps/Corvane Recovery") << int(QMessageBox::Yes);
        QTest::newRow("no") << QStringLiteral("apps") << int(QMessageBox::No);
    }

    void answer()
    {
        QFETCH(QString, folder);
        QFETCH(int, button);
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("ran"));
        // It asks on the console before it finishes: the marker proves it ran to its end.
        QVERIFY(PackageBuilder::writeTree(
            dir.filePath(folder), {{"corvaneMasterUninst.exe", "#!/bin/sh\nread answer\necho finished > \"" +
                                                                   marker.toUtf8() + "\"\n"}}));
        const QString uninstaller = dir.filePath(folder) + "/corvaneMasterUninst.exe";
        answerNextBox(QMessageBox::StandardButton(button));
        offerUninstall(quotedCommand(uninstaller));
        QCOMPARE(QFile::exists(marker), button == QMessageBox::Yes);
        runUninstaller(QStringLiteral("/nonexistent/folder/corvaneMasterUninst.exe"));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("param");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("mode");
        const QString none = QStringLiteral("0000000000000000");
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        const QString bad = QString::fromUtf8("\xEF\xBF\xBD");
        const auto row = [](const char* tag, const QString& param, const QString& name, const QString& id,
                            int mode) {
            QTest::newRow(tag) << param << name << id << mode;
        };
        row("test channel", "promo_spring#qotab-a1b2c3d4e5f60718", "spring", "a1b2c3d4e5f60718", 0);
        row("last dash wins", "a-b-c", "a-b", "c", 1);
        row("type is case-sensitive", "a_b#QOTAB-1", "b", "1", 1);
        row("long name, typed", "p_abcdefghijklmnopqrstuvwxy#qotab", "abcdefghijklmnopqrs", none, 0);
        // A surrogate pair is never cut in half.
        row("pair kept whole in name", QString(18, 'n') + emoji, QString(18, 'n'), none, 1);
        row("control characters", "\x01_\t\n#qotab-\x7f\r", "\t\n", "\x7f\r", 0);
        row("invalid UTF-8", QString::fromUtf8("\xff_n\xc3-\x80\x80"), "n" + bad, bad + bad, 1);
    }

    void parse()
    {
        QFETCH(QString, param);
        const ChannelFields fields = ChannelManager::parse(param);
        QTEST(fields.channelName, "name");
        QTEST(fields.channelId, "id");
        QTEST(fields.mode, "mode");
    }

    // Only an explicit type other than "qotab" keeps the mode; an empty
    // parameter keeps the id.
    void parseKeepsCurrentValues()
    {
        const ChannelFields current = ChannelManager::parse(QStringLiteral("#qotab-abc"));
        QCOMPARE(ChannelManager::parse(QStringLiteral("a_b#other"), current).mode, 0);
        QCOMPARE(ChannelManager::parse(QStringLiteral("a_b"), current).mode, 1);
        QCOMPARE(ChannelManager::parse(QString(), current).channelId, QStringLiteral("abc"));
    }

    // Where a source must not be asked, its answer "x" would change the digest.
    void identifier_data()
    {
        QTest::addColumn<QByteArray>("uuidOut");
        QTest::addColumn<QByteArray>("cpuOut");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const QByteArray& uuid, const char* cpu, const char* firmware,
                            const char* md5) {
            QTest::newRow(tag) << uuid << QByteArray(cpu) << QString::fromLatin1(firmware)
                               << QString::fromLatin1(md5);
        };
        const char* uuid = "4C4C4544-0051-3510-8057-B4C04F4B4A32";
        const char* uuidMd5 = "1ddaa8f825ef9c4d0d8b329d979d63cf";
        const char* installMd5 = "19ad89bc3e3c9d7ef68b89523eff1987";
        row("hardware UUID", "UUID       \r\n4C4C4544-0051-3510-8057-B4C04F4B4A32  \r\n\r\n", "x", "x",
            uuidMd5);
        row("placeholder inside, two processors", "UUID\r\n03000200-FFFFFFFF-0500\r\n",
            "PROCESSORID  \r\nBFEBFBFF000906EA  \r\nBFEBFBFF000906ED  \r\n\r\n", "x",
            "b713e7495042c05cf94c3ff68f2c3b6f");
        row("lower-case f is a real id", "uuid\r\n4c4c4544-ffffffff-3510-8057-b4c04f4b4a32\r\n", "x", "x",
            "bbf65b305422009089fa3e20c5ec738f");
        row("header word anywhere, any case", "UUID\r\nab-UuId-cd  \r\n", "x", "x",
            "a667afad714a91704b2005eb10d124ac");
        // Wine's tool answers in UTF-16.
        row("UTF-16 with byte-order mark",
            QByteArray("\xFF\xFE") +
                QByteArray::fromRawData(reinterpret_cast<const char*>(u"UUID \r\n"), 14) +
                QByteArray::fromRawData(
                    reinterpret_cast<const char*>(u"4C4C4544-0051-3510-8057-B4C04F4B4A32"), 72),
            "x", "x", uuidMd5);
        // No tool, or one that does not answer this query.
        row("no answer: the firmware's UUID", "", "x", uuid, uuidMd5);
        row("no answer, no firmware UUID: the installation's id", "", "x", "", installMd5);
        row("placeholder, no processor id: the installation's id", "UUID\r\nFFFFFFFF\r\n", "", "x",
            installMd5);
    }

    void identifier()
    {
        QFETCH(QByteArray, uuidOut);
        QFETCH(QByteArray, cpuOut);
        QFETCH(QString, firmware);
        // A query with any other text gets an answer that changes the digest.
        const auto answer = [&](const QString& query) {
            return query == "wmic csproduct get UUID"    ? uuidOut
                   : query == "wmic cpu get processorid" ? cpuOut
                                                         : "?";
        };
        QTEST(computeMachineIdentifier({answer, [&] { return firmware; },
                                        [] {
                                            return QStringLiteral("install");
                                        }}),
              "expected");
    }

    // As the firmware tool prints it: the first three fields little-endian.
    void firmwareUuid_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("expected");
        const QByteArray uuid = QByteArray::fromHex("44454c4c51001035805"
                                                    "7b4c04f4b4a32");
        // A BIOS structure with two strings, then the system structure, then the end.
        const QByteArray bios = QByteArray::fromHex("0018000001020000") + QByteArray(16, '\0') +
                                QByteArrayLiteral("Vendor\0"
                                                  "1.0\0\0");
        const QByteArray system = QByteArray::fromHex("011b0100010203") + QByteArray(1, '\0') + uuid +
                                  QByteArray::fromHex("0600000000");
        const QByteArray end = QByteArray::fromHex("7f040200") + QByteArray(2, '\0');
        const auto raw = [](const QByteArray& structures) {
            QByteArray header = QByteArray::fromHex("00030400");
            const quint32 size = quint32(structures.size());
            for (int shift = 0; shift < 32; shift += 8)
                header += char((size >> shift) & 0xff);
            return header + structures;
        };
        QTest::newRow("after another structure")
            << raw(bios + system + end) << "4C4C4544-0051-3510-8057-B4C04F4B4A32";
        QTest::newRow("all zero: not present")
            << raw(QByteArray(system).replace(uuid, QByteArray(16, '\0')) + end) << QString();
        QTest::newRow("all F: kept for the placeholder rule")
            << raw(QByteArray(system).replace(uuid, QByteArray(16, '\xff')))
            << "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF";
        QTest::newRow("no system structure") << raw(bios + end) << QString();
        QTest::newRow("structure running past the end") << raw(system.left(20)) << QString();
        QTest::newRow("declared length beyond the data") << raw(bios).left(30) << QString();
    }

    void firmwareUuid()
    {
        QFETCH(QByteArray, table);
        QTEST(Smbios::systemUuid(table), "expected");
    }

    // Without the query tool the identity must not depend on who asks: the
    // firmware UUID is readable by root only, the system's id by everyone.
    void withoutQueryToolEveryUserGetsTheSameId()
    {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
        FreshMachineIdentifier::forget();
        const QString id = MachineIdentifier::value();
        qputenv("PATH", path);
        QByteArray machineId = readAll(QStringLiteral("/etc/machine-id")).trimmed();
        machineId =
            machineId.isEmpty() ? readAll(QStringLiteral("/var/lib/dbus/machine-id")).trimmed() : machineId;
        QCOMPARE(id,
                 QString::fromLatin1(QCryptographicHash::hash(machineId, QCryptographicHash::Md5).toHex()));
    }

    // The whole body byte for byte; quotes and non-ASCII in the channel stay valid JSON.
    void body()
    {
        const QString expected = QString::fromUtf8(
            "{\"apkChannel\":\"春季\\\"推广\\\\\",\"apkId\":%1,\"apkVersionCode\":1,\"apkVersionName\":\"1.2."
            "1\","
            "\"btnId\":\"pc-install-go\",\"pcId\":\"%2\",\"phoneId\":\"a1\\\"b2\",\"phoneMaker\":\"\","
            "\"phoneModel\":\"\",\"phoneOs\":2,\"phoneOsVersion\":\"\",\"type\":38}");
        const OperationLogRecord record(QStringLiteral("pc-install-go"), QString::fromUtf8("春季\"推广\\"),
                                        QStringLiteral("a1\"b2"));
        QCOMPARE(record.toJson("c0ffee"), expected.arg(greenTheme ? 27 : 25).arg("c0ffee"));
    }
};

NERIX_TEST_MAIN(TestUnits)
#include "test_units.moc"
