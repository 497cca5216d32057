#include "support/ReleaseServer.h"

#include "BuildConfig.h"
#include "support/TestEnvironment.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QUrl>

bool ReleaseServer::start(const Options& options)
{
    stop();
    m_options = options;
    m_workDir = std::make_unique<QTemporaryDir>();
    QStringList args{qEnvironmentVariable("NERIX_SOURCE_DIR") + "/tools/release_server.py", "--root",
                     options.root, "--telemetry-mode", options.telemetryMode};
    args << "--telemetry-log" << m_workDir->filePath("telemetry.jsonl") << "--request-log"
         << m_workDir->filePath("requests.jsonl");
    for (quint16 p : options.ports)
        args << "--port" << QString::number(p);
    if (options.tls)
        args << "--tls-dir" << m_workDir->path();

    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start("python3", args);
    QDeadlineTimer deadline(60000); // making a certificate can take a while
    // waitForReadyRead is false too once the server has exited.
    while (!m_process->canReadLine() &&
           m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
    }
    const QStringList words = QString::fromUtf8(m_process->readLine()).split(' ', Qt::SkipEmptyParts);
    for (int i = 1; i < words.size(); ++i)
        m_ports << quint16(words.at(i).toUInt());
    if (words.value(0) != "listening" || m_ports.size() != options.ports.size()) {
        qWarning("release server did not start: %s", qPrintable(words.join(' ')));
        stop();
        return false;
    }
    return true;
}

void ReleaseServer::stop()
{
    m_process.reset(); // kills the server and waits for it
    m_ports.clear();
}

QList<QJsonObject> ReleaseServer::readLog(const QString& name) const
{
    QList<QJsonObject> records;
    // A line still being written has no newline yet; leave it for the next call.
    const QByteArray text = m_workDir ? readAll(m_workDir->filePath(name)) : QByteArray();
    for (const QByteArray& line : text.left(text.lastIndexOf('\n') + 1).split('\n')) {
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject())
            records << doc.object();
    }
    return records;
}

QStringList ReleaseServer::telemetryEvents(quint16 port) const
{
    QStringList ids;
    for (const QJsonObject& post : telemetry())
        if (port == 0 || post["port"].toInt() == port)
            ids << QJsonDocument::fromJson(post["body"].toString().toUtf8())["btnId"].toString();
    ids.sort();
    return ids;
}

QList<quint16> ReleaseServer::endpointPorts()
{
    QList<quint16> ports;
    for (const char* root : {endpoints::packageHost, endpoints::telemetry, endpoints::telemetryTest,
                             endpoints::agreementHost, endpoints::productHost})
        if (!ports.contains(endpointPort(root)))
            ports << endpointPort(root);
    return ports;
}

quint16 ReleaseServer::endpointPort(const char* endpointRoot)
{
    const QUrl url(QString::fromLatin1(endpointRoot));
    return quint16(url.port(url.scheme() == "https" ? 443 : 80));
}
