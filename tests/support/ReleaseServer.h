#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
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
        bool tls = false;
        QString telemetryMode = QStringLiteral("ok");
    };

    ReleaseServer() = default;
    ~ReleaseServer() { stop(); }
    ReleaseServer(const ReleaseServer&) = delete;
    ReleaseServer& operator=(const ReleaseServer&) = delete;

    // Waits until every port listens; false (with a warning) otherwise.
    bool start(const Options& options);
    void stop();

    QString baseUrl() const;
    // With tls: the self-signed certificate the server presents.
    QString certificatePath() const;

    // The events (btnId) received so far, sorted: posts travel on parallel
    // connections, so arrival order says nothing. Port 0: on every port.
    QStringList telemetryEvents(quint16 port = 0) const;
    // Every GET so far: its "path" (with query), "range" and "ifRange" headers.
    QList<QJsonObject> requests() const;

    // Distinct ports of the build's endpoint roots, in a stable order, and
    // the port of one endpoint root.
    static QList<quint16> endpointPorts();
    static quint16 endpointPort(const char* endpointRoot);

private:
    bool makeCertificate();
    QList<QJsonObject> readLog(const QString& name) const;

    Options m_options;
    QList<quint16> m_ports;
    std::unique_ptr<QTemporaryDir> m_workDir;
    std::unique_ptr<QProcess> m_process;
};
