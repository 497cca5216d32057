#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// A 10 ms timer on the calling thread's event loop; records by how much its
// ticks come late, which is how long that loop was kept from running.
class LatenessProbe : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 10;

    explicit LatenessProbe(QObject* parent = nullptr);

    void start();
    void stop();

    double maxLatenessMs() const { return m_maxLatenessNs / 1e6; }
    int ticks() const { return m_ticks; }

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_maxLatenessNs = 0;
    int m_ticks = 0;
};
