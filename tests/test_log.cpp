#include "app/LogHandler.h"
#include "support/TestEnvironment.h"

#include <QRegularExpression>
#include <QSet>
#include <thread>

namespace {

const QString kTime = QStringLiteral(R"(\(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\))");

// The lines after offset; every line must end in CR LF.
QStringList linesOf(const QString& path, int offset = 0)
{
    const QByteArray tail = readAll(path).mid(offset);
    QStringList lines = QString::fromUtf8(tail).split(QStringLiteral("\r\n"));
    if (!tail.endsWith("\r\n") || tail.count('\n') != lines.size() - 1)
        return {QStringLiteral("<broken line ends>")};
    lines.removeLast();
    return lines;
}

} // namespace

class TestLog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qInstallMessageHandler(logMessageHandler); }

    void firstMessagesCreateFolderAndFormat()
    {
        QVERIFY(!QFileInfo::exists(QFileInfo(logFilePath()).path()));
        qDebug() << "param>>>>>" << QString();
        qInfo("info");
        qWarning().noquote() << "careful %1 %2";
        QStringList pattern;
        for (const char* line : {"Debug: File:() Line:(0) param>>>>> \"\"", " File:() Line:(0) info",
                                 "Warning: File:() Line:(0) careful %1 %2"})
            pattern << kTime + ' ' + QRegularExpression::escape(QLatin1String(line));
        const QString lines = linesOf(logFilePath()).join('\n');
        QVERIFY2(QRegularExpression('^' + pattern.join('\n') + '$').match(lines).hasMatch(),
                 qPrintable(lines));
    }

    void recordWithContext()
    {
        const QMessageLogContext context("x%1%4.cpp", 7, nullptr, nullptr);
        QCOMPARE(formatLogRecord(QtFatalMsg, context, QStringLiteral("m %1"), QStringLiteral("T")),
                 QStringLiteral("(T) Fatal: File:(x%1%4.cpp) Line:(7) m %1"));
    }

    void eightThreadsLoseNoLine()
    {
        const int offset = int(QFileInfo(logFilePath()).size());
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([t] {
                for (int n = 0; n < 2000; ++n)
                    qDebug().noquote() << QStringLiteral("t%1 n%2 ").arg(t).arg(n) + QString(40, 'x');
            });
        for (std::thread& thread : threads)
            thread.join();
        const QRegularExpression pattern(
            kTime + QStringLiteral(" Debug: File:\\(\\) Line:\\(0\\) (t\\d n\\d+) x{40}$"));
        QSet<QString> seen;
        for (const QString& line : linesOf(logFilePath(), offset)) {
            const QRegularExpressionMatch match = pattern.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line));
            seen.insert(match.captured(1));
        }
        QCOMPARE(seen.size(), 8 * 2000);
    }
};

NERIX_TEST_MAIN(TestLog)
#include "test_log.moc"
