// The launch parameter turned into a channel name, id and mode.
#include "core/ChannelManager.h"
#include "support/TestEnvironment.h"

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
};

NERIX_TEST_MAIN(TestChannel)
#include "test_channel.moc"
