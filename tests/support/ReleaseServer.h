#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

// Runs tools/release_server.py on 127.0.0.1 for the length of a test: files
// from a folder, the agreement page, the operation-log receiver and the
// misbehaving paths under /test/.
class ReleaseServer
{
public:
    struct Options
    {
        QString root;
        QList<quint16> ports{0};
        bool tls = false; // with a self-signed certificate, see certificatePath()
        QString telemetryMode = QStringLiteral("ok");
    };

    // Waits until every port listens; false (with a warning) otherwise.
    bool start(const Options& options);
    void stop();

    QString baseUrl() const
    {
        return QString("%1://127.0.0.1:%2").arg(m_options.tls ? "https" : "http").arg(m_ports.value(0));
    }
    QString certificatePath() const { return m_workDir ? m_workDir->filePath("cert.pem") : QString(); }

    // The operation-log posts received so far: "port", "body" and "headers".
    QList<QJsonObject> telemetry() const { return readLog("telemetry.jsonl"); }
    // Their events (btnId), sorted: posts travel on parallel connections, so
    // arrival order says nothing. Port 0: on every port.
    QStringList telemetryEvents(quint16 port = 0) const;
    // Every GET so far: its "path" (with query), "range" and "ifRange" headers.
    QList<QJsonObject> requests() const { return readLog("requests.jsonl"); }

    // Distinct ports of the build's endpoint roots, in a stable order, and
    // the port of one endpoint root.
    static QList<quint16> endpointPorts();
    static quint16 endpointPort(const char* endpointRoot);

private:
    QList<QJsonObject> readLog(const QString& name) const;

    Options m_options;
    QList<quint16> m_ports;
    std::unique_ptr<QTemporaryDir> m_workDir;
    std::unique_ptr<QProcess> m_process;
};
