#include "app/ChannelManager.h"
#include "support/TestEnvironment.h"

#include <thread>

namespace {

QStringList g_captured;

void captureMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_captured.append(message);
}

} // namespace

class TestChannel : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("param");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("mode");
        const QString none = QStringLiteral("0000000000000000");
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("empty") << ""
                               << "Default" << none << 1;
        QTest::newRow("empty id") << "abc-"
                                  << "abc"
                                  << "" << 1;
        QTest::newRow("leading dash") << "-1234"
                                      << "-1234" << none << 1;
        QTest::newRow("only a dash") << "-"
                                     << "-" << none << 1;
        QTest::newRow("last dash wins") << "a-b-c"
                                        << "a-b"
                                        << "c" << 1;
        QTest::newRow("first underscore") << "x_y_z"
                                          << "y_z" << none << 1;
        QTest::newRow("underscore in id") << "a_b-c_d"
                                          << "b"
                                          << "c_d" << 1;
        QTest::newRow("underscore after hash") << "a#b_c"
                                               << "c" << none << 1;
        QTest::newRow("type is case-sensitive") << "a_b#QOTAB-1"
                                                << "b"
                                                << "1" << 1;
        QTest::newRow("type with second hash") << "a_b#qotab#x"
                                               << "b" << none << 1;
        QTest::newRow("test channel") << "promo_spring#qotab-a1b2c3d4e5f60718"
                                      << "spring"
                                      << "a1b2c3d4e5f60718" << 0;
        QTest::newRow("plain channel") << "site_partner01"
                                       << "partner01" << none << 1;
        QTest::newRow("empty name") << "abc_"
                                    << "" << none << 1;
        QTest::newRow("empty name, test type") << "#qotab"
                                               << "" << none << 0;
        QTest::newRow("long id") << "n-0123456789abcdefghij"
                                 << "n"
                                 << "0123456789abcdef" << 1;
        QTest::newRow("long name") << "abcdefghijklmnopqrstuvwxy"
                                   << "abcdefghijklmnopqrs" << none << 1;
        QTest::newRow("long name, typed") << "p_abcdefghijklmnopqrstuvwxy#qotab"
                                          << "abcdefghijklmnopqrs" << none << 0;
        QTest::newRow("non-ASCII") << QString::fromUtf8("渠道_春季推广#qotab-编号")
                                   << QString::fromUtf8("春季推广") << QString::fromUtf8("编号") << 0;
        QTest::newRow("pair kept whole in name")
            << QString(18, QLatin1Char('n')) + emoji << QString(18, QLatin1Char('n')) << none << 1;
        QTest::newRow("pair kept whole in id")
            << "a-" + QString(15, QLatin1Char('i')) + emoji << "a" << QString(15, QLatin1Char('i')) << 1;
        QTest::newRow("control characters") << QStringLiteral("\x01_\t\n#qotab-\x7f\r") << "\t\n"
                                            << "\x7f\r" << 0;
        QTest::newRow("1 MiB") << "p_" + QString(1 << 20, QLatin1Char('n')) + "#qotab-" +
                                      QString(1 << 20, QLatin1Char('i'))
                               << QString(19, QLatin1Char('n')) << QString(16, QLatin1Char('i')) << 0;
        QTest::newRow("invalid UTF-8")
            << QString::fromUtf8("\xff_n\xc3-\x80\x80") << QString::fromUtf8("n\xEF\xBF\xBD")
            << QString::fromUtf8("\xEF\xBF\xBD\xEF\xBF\xBD") << 1;
    }

    void parse()
    {
        QFETCH(QString, param);
        const ChannelFields fields = ChannelManager::parse(param);
        QTEST(fields.channelName, "name");
        QTEST(fields.channelId, "id");
        QTEST(fields.mode, "mode");
        QVERIFY(fields.channelName.isValidUtf16() && fields.channelId.isValidUtf16());
    }

    // Only an explicit type other than "qotab" keeps the mode; an empty
    // parameter keeps the id.
    void parseKeepsCurrentValues()
    {
        ChannelFields current;
        current.mode = 0;
        current.channelId = QStringLiteral("abc");
        QCOMPARE(ChannelManager::parse(QStringLiteral("a_b#other"), current).mode, 0);
        QCOMPARE(ChannelManager::parse(QStringLiteral("a_b"), current).mode, 1);
        QCOMPARE(ChannelManager::parse(QString(), current).channelId, QStringLiteral("abc"));
        QCOMPARE(ChannelManager::parse(QString(), current).mode, 1);
    }

    void signatures()
    {
        QCOMPARE(ChannelManager::signatureFor(1), QStringLiteral("b1c1a2dc14b159a0b5414adfcaa1db5d"));
        QCOMPARE(ChannelManager::signatureFor(0), QStringLiteral("bca4ecfba9c8d57d5644f685a250a0a0"));
        QCOMPARE(ChannelManager::signatureFor(7), ChannelManager::signatureFor(0));
    }

    void singletonParsesAndLogs()
    {
        ChannelManager* fromThread = nullptr;
        std::thread thread([&fromThread] { fromThread = ChannelManager::instance(); });
        ChannelManager* manager = ChannelManager::instance();
        thread.join();
        QCOMPARE(fromThread, manager);

        const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
        manager->parseChannel(QStringLiteral("promo_spring#qotab-a1b2c3d4e5f60718"));
        const QString signature = manager->channelSignature();
        manager->parseChannel(QString());
        qInstallMessageHandler(previous);

        QCOMPARE(
            g_captured,
            QStringList({QStringLiteral("CCCCCCCCCCCCCCCCCCC \"spring\" \"qotab\" 0 \"a1b2c3d4e5f60718\""),
                         QStringLiteral("\"Default\" 1")}));
        QCOMPARE(signature, ChannelManager::signatureFor(0));
        QCOMPARE(manager->channelName(), QStringLiteral("Default"));
        QCOMPARE(manager->channelId(), QStringLiteral("a1b2c3d4e5f60718"));
        QCOMPARE(manager->mode(), 1);
    }
};

NERIX_TEST_MAIN(TestChannel)
#include "test_channel.moc"
