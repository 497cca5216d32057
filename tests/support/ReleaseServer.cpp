#include "support/ReleaseServer.h"

#include "BuildConfig.h"
#include "support/TestEnvironment.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QJsonDocument>
#include <QUrl>

bool ReleaseServer::makeCertificate()
{
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                              "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                              m_workDir->filePath("key.pem"), "-out", certificatePath()});
    if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        qWarning() << "openssl failed:" << openssl.readAll();
        return false;
    }
    return true;
}

bool ReleaseServer::start(const Options& options)
{
    stop();
    m_options = options;
    m_workDir = std::make_unique<QTemporaryDir>();
    if (!m_workDir->isValid() || (options.tls && !makeCertificate()))
        return false;

    QStringList args{qEnvironmentVariable("NERIX_SOURCE_DIR") + "/tools/release_server.py",
                     "--root",
                     options.root,
                     "--telemetry-log",
                     m_workDir->filePath("telemetry.jsonl"),
                     "--telemetry-mode",
                     options.telemetryMode,
                     "--request-log",
                     m_workDir->filePath("requests.jsonl")};
    for (quint16 p : options.ports)
        args << "--port" << QString::number(p);
    if (options.tls)
        args << "--tls-cert" << certificatePath() << "--tls-key" << m_workDir->filePath("key.pem");

    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start("python3", args);

    QDeadlineTimer deadline(15000);
    while (!m_process->canReadLine()) {
        // False too once the server has exited.
        if (!m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            qWarning() << "release server did not start";
            stop();
            return false;
        }
    }
    const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
    const QStringList words = line.split(' ', Qt::SkipEmptyParts);
    if (words.value(0) != "listening" || words.size() != options.ports.size() + 1) {
        qWarning() << "unexpected release server output:" << line;
        stop();
        return false;
    }
    for (int i = 1; i < words.size(); ++i)
        m_ports << quint16(words.at(i).toUInt());
    return true;
}

void ReleaseServer::stop()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(10000)) {
            m_process->kill();
            m_process->waitForFinished();
        }
    }
    m_process.reset();
    m_ports.clear();
}

QString ReleaseServer::baseUrl() const
{
    return QString("%1://127.0.0.1:%2").arg(m_options.tls ? "https" : "http").arg(m_ports.value(0));
}

QString ReleaseServer::certificatePath() const
{
    return m_workDir ? m_workDir->filePath("cert.pem") : QString();
}

QList<QJsonObject> ReleaseServer::requests() const
{
    return readLog("requests.jsonl");
}

QList<QJsonObject> ReleaseServer::readLog(const QString& name) const
{
    QList<QJsonObject> records;
    // A line still being written has no newline yet; leave it for the next call.
    const QByteArray text = m_workDir ? readAll(m_workDir->filePath(name)) : QByteArray();
    const QList<QByteArray> lines = text.left(text.lastIndexOf('\n') + 1).split('\n');
    for (const QByteArray& line : lines) {
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject())
            records << doc.object();
    }
    return records;
}

QStringList ReleaseServer::telemetryEvents(quint16 port) const
{
    QStringList ids;
    for (const QJsonObject& post : readLog("telemetry.jsonl")) {
        if (port != 0 && post.value("port").toInt() != port)
            continue;
        const QJsonDocument body = QJsonDocument::fromJson(post.value("body").toString().toUtf8());
        ids << body.object().value("btnId").toString();
    }
    ids.sort();
    return ids;
}

QList<quint16> ReleaseServer::endpointPorts()
{
    QList<quint16> ports;
    for (const char* root : {endpoints::packageHost, endpoints::telemetry, endpoints::telemetryTest,
                             endpoints::agreementHost, endpoints::productHost}) {
        if (!ports.contains(endpointPort(root)))
            ports << endpointPort(root);
    }
    return ports;
}

quint16 ReleaseServer::endpointPort(const char* endpointRoot)
{
    const QUrl url(QString::fromLatin1(endpointRoot));
    return quint16(url.port(url.scheme() == "https" ? 443 : 80));
}
