#include "support/ReleaseServer.h"

#include "BuildConfig.h"
#include "support/TestEnvironment.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QUrl>

namespace {

constexpr int kStartTimeoutMs = 15000;

quint16 portOf(const char* endpointRoot)
{
    const QUrl url(QString::fromLatin1(endpointRoot));
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    return quint16(url.port(defaultPort));
}

} // namespace

ReleaseServer::ReleaseServer() = default;

ReleaseServer::~ReleaseServer()
{
    stop();
}

bool ReleaseServer::makeCertificate()
{
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                   QStringLiteral("-keyout"), m_workDir->filePath(QStringLiteral("key.pem")),
                   QStringLiteral("-out"), certificatePath()});
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

    QStringList args{TestEnvironment::sourceDir() + QStringLiteral("/tools/release_server.py"),
                     QStringLiteral("--root"),
                     options.root,
                     QStringLiteral("--telemetry-log"),
                     m_workDir->filePath(QStringLiteral("telemetry.jsonl")),
                     QStringLiteral("--telemetry-mode"),
                     options.telemetryMode,
                     QStringLiteral("--request-log"),
                     m_workDir->filePath(QStringLiteral("requests.jsonl"))};
    for (quint16 p : options.ports)
        args << QStringLiteral("--port") << QString::number(p);
    if (options.tls)
        args << QStringLiteral("--tls-cert") << certificatePath() << QStringLiteral("--tls-key")
             << m_workDir->filePath(QStringLiteral("key.pem"));

    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(QStringLiteral("python3"), args);

    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!m_process->canReadLine()) {
        if (m_process->state() == QProcess::NotRunning ||
            !m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            if (!m_process->canReadLine()) {
                qWarning() << "release server did not start";
                stop();
                return false;
            }
        }
    }
    const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.value(0) != QLatin1String("listening") || words.size() != options.ports.size() + 1) {
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
    if (m_process) {
        if (m_process->state() != QProcess::NotRunning) {
            m_process->terminate();
            if (!m_process->waitForFinished(10000)) {
                m_process->kill();
                m_process->waitForFinished();
            }
        }
        m_process.reset();
    }
    m_ports.clear();
}

quint16 ReleaseServer::port(int index) const
{
    return m_ports.value(index);
}

QString ReleaseServer::baseUrl(int index) const
{
    return QStringLiteral("%1://127.0.0.1:%2")
        .arg(m_options.tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(port(index));
}

QString ReleaseServer::certificatePath() const
{
    return m_workDir ? m_workDir->filePath(QStringLiteral("cert.pem")) : QString();
}

QList<QJsonObject> ReleaseServer::telemetry() const
{
    return readLog(QStringLiteral("telemetry.jsonl"));
}

QList<QJsonObject> ReleaseServer::requests() const
{
    return readLog(QStringLiteral("requests.jsonl"));
}

QList<QJsonObject> ReleaseServer::readLog(const QString& name) const
{
    QList<QJsonObject> records;
    if (!m_workDir)
        return records;
    QFile log(m_workDir->filePath(name));
    if (!log.open(QIODevice::ReadOnly))
        return records;
    // A line still being written has no newline yet; leave it for the next call.
    const QByteArray text = log.readAll();
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
    for (const QJsonObject& post : telemetry()) {
        if (port != 0 && post.value(QStringLiteral("port")).toInt() != port)
            continue;
        const QJsonDocument body =
            QJsonDocument::fromJson(post.value(QStringLiteral("body")).toString().toUtf8());
        ids << body.object().value(QStringLiteral("btnId")).toString();
    }
    ids.sort();
    return ids;
}

QList<quint16> ReleaseServer::endpointPorts()
{
    QList<quint16> ports;
    for (const char* root : {endpoints::packageHost, endpoints::telemetry, endpoints::telemetryTest,
                             endpoints::agreementHost, endpoints::productHost}) {
        const quint16 p = portOf(root);
        if (!ports.contains(p))
            ports << p;
    }
    return ports;
}

int ReleaseServer::endpointPortIndex(const char* endpointRoot)
{
    return endpointPorts().indexOf(portOf(endpointRoot));
}
